#!/usr/bin/env python3
"""The summary of run-tests.sh, from the JUnit reports that the test presets
write (build-reports/PRESET.xml):

  summarize-reports.py [--failed-stage NAME]... PRESET...

For each preset: its tests passed, failed and skipped as ctest counted
them, the reason of each skipped test and the name of each failed one; then
what the benchmarks (tests bench.*, which assert nothing) printed, the wine
retries, and the total, in which a failed stage without a failed test of
its own (a build, a configuration) counts as one failure. Exits 1 when
anything failed.
"""
import argparse
import glob
import os
import xml.etree.ElementTree as ElementTree


def skip_reason(case):
    """The line that says why: a "skipped: " line of our own tests, the
    line after GoogleTest's "Skipped", else ctest's own word for it."""
    lines = [line.strip() for line in (case.findtext("system-out") or "").splitlines()]
    for number, line in enumerate(lines):
        if line.startswith("skipped: "):
            return line[len("skipped: "):]
        if line.endswith(": Skipped") and number + 1 < len(lines) and lines[number + 1]:
            return lines[number + 1]
    return case.find("skipped").get("message", "")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--failed-stage", action="append", default=[])
    parser.add_argument("presets", nargs="*")
    args = parser.parse_args()
    passed = failed = 0
    failing, figures = set(), []
    for preset in args.presets:
        path = os.path.join("build-reports", preset + ".xml")
        if not os.path.exists(path):
            continue  # a workflow without tests, or one that stopped before them
        cases = ElementTree.parse(path).getroot().findall("testcase")
        status = [case.get("status") for case in cases]
        counts = {word: status.count(word) for word in ("run", "fail", "notrun", "disabled")}
        print(f"{preset:<16} {counts['run']:4d} passed, {counts['fail']} failed, "
              f"{counts['notrun'] + counts['disabled']} skipped")
        for case in cases:
            name = case.get("name").split("  # ")[0]  # without gtest's parameter note
            if case.get("status") == "notrun":
                print(f"  skipped {name}: {skip_reason(case)}")
            elif case.get("status") == "fail":
                print(f"  FAILED  {name}")
            if case.get("name").startswith("bench."):
                figures.append(f"-- {preset}: {case.get('name')}\n"
                               + (case.findtext("system-out") or "").rstrip())
        passed += counts["run"]
        failed += counts["fail"]
        if counts["fail"]:
            failing.add(preset)
    for stage in args.failed_stage:
        if stage not in failing:
            failed += 1
    if figures:
        print("== figures (benchmarks: nothing asserted)")
        print("\n".join(figures))
    retries = 0
    for path in glob.glob("build*/wineprefix.retries"):
        with open(path) as f:
            retries += len(f.readlines())
    print(f"wine retries: {retries}")
    if args.failed_stage:
        print("failed stages: " + " ".join(args.failed_stage))
    print(f"total: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    raise SystemExit(main())
