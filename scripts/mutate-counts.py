#!/usr/bin/env python3
"""Leaves out, one at a time, each count the first reading makes, and runs
the suite: every such mutant must fail it. Works on a copy of the tree at
HEAD (so the worktree stays untouched) with a Debug build of its own, and
prints each mutant with the tests that caught it.

    python3 scripts/mutate-counts.py [WORKDIR]      (default /tmp/impordano-mutants)
"""
import os, re, subprocess, sys

KW = "if constexpr (Reading::kWrites) "
# (name, file, text as it stands, text of the mutant)
MUTANTS = [
    ("every text count", "src/records/section_reading.h",
     "    plan_.CountText(reader_, index, N);\n", "\n"),
    ("every block count", "src/records/section_reading.h",
     "    plan_.CountBlock(sizeof(Block));\n", "\n"),
    ("take-off line text", "src/records/section_reading.h",
     "    plan_.CountText(reader_, 0, kTakeOffFieldSize);\n", "\n"),
    ("take-off line number", "src/records/section_reading.h", "    ++takeOffLines_;\n", "\n"),
    ("take-off text bytes", "src/records/section_reading.h",
     "    takeOffTextBytes_ += reader_.FieldLength(0);\n", "\n"),
    ("take-off most lines", "src/records/section_reading.h",
     "    if (takeOffLines_ > plan_.takeOffLines) plan_.takeOffLines = takeOffLines_;\n", "\n"),
    ("take-off most text bytes", "src/records/section_reading.h",
     "    if (takeOffTextBytes_ > plan_.takeOffTextBytes) plan_.takeOffTextBytes = takeOffTextBytes_;\n",
     "\n"),
    ("surcharge rates", "src/records/section_reading.h",
     "    addRate(plan_.tallies, reader_.FieldDouble(0, 0.0));\n", "\n"),
    ("CountText body", "src/records/import_plan.cc",
     "  if (IsCut(length, size)) longTextBytes += texts_.Footprint(length);\n", "  (void)length;\n"),
    ("CountBlock body", "src/records/import_plan.h",
     "{ blockBytes += blocks_.Footprint(size); }", "{ (void)size; }"),
    ("summary block", "src/records/summary_record.cc",
     "void CountSummary(ImportPlan& plan) { plan.CountBlock(kCostItemsBytes); }",
     "void CountSummary(ImportPlan&) {}"),
    ("estimate sections", "src/host/survey_pass.cc",
     "    if (kind == kEstimateHeader) ++plan.estimateCount;\n", "\n"),
]
# Each key that a section reads into memory, left out of the first reading
# only: the count of that key alone goes.
KEYS = [
    ("[Kosztorys] Nazwa", "src/records/estimate_record.cc", "        reading.Text(record->name, 0);\n"),
    ("[Element] Opis", "src/records/element_record.cc", "        reading.Text(record->description, 0);\n"),
    ("[Element] Obmiar item", "src/records/element_record.cc",
     "        ItemOf(record, &item, reading)->quantity = reading.Double(0);\n"),
    ("[Element] JM item and text", "src/records/element_record.cc",
     "        reading.Text(ItemOf(record, &item, reading)->unit, 1);\n"),
    ("[Pozycja] Katalog", "src/records/position_record.cc", "        reading.Text(detail.catalogue, 0);\n"),
    ("[Pozycja] Kolumna", "src/records/position_record.cc", "        reading.Text(detail.tableColumn, 0);\n"),
    ("[Pozycja] Opis", "src/records/position_record.cc", "        reading.Text(record->description, 0);\n"),
    ("[Pozycja] JM unit", "src/records/position_record.cc", "        reading.Text(record->unit, 0);\n"),
    ("[Pozycja] JM second unit", "src/records/position_record.cc", "        reading.Text(record->secondUnit, 1);\n"),
    ("[Pozycja] Przedmiar/Komentarz n", "src/records/position_record.cc",
     "        reading.TakeOffLine(number, key == Key::kMeasurementLine);\n"),
    ("[Pozycja] KNR catalogue detail", "src/records/position_record.cc",
     "    kept = reading.template NewBlock<CatalogueDetail>(&record->catalogueDetail);\n"),
    ("[RMS] Nazwa", "src/records/resource_record.cc", "        reading.Text(record->name, 0);\n"),
    ("[RMS] Indeks", "src/records/resource_record.cc", "        reading.Text(record->indexCode, 0);\n"),
    ("[RMS] JM", "src/records/resource_record.cc", "        reading.Text(record->unit, 0);\n"),
    ("[RMS] Tarvo text", "src/records/resource_record.cc",
     "        reading.Text(record->consumptionText, 0, LineReader::Point::kDecimalSymbolAsPoint);\n"),
]
for name, path, line in KEYS:
    stripped = line.lstrip(" ")
    indent = line[: len(line) - len(stripped)]
    MUTANTS.append((name, path, line, indent + KW + stripped))


def run(cmd, cwd, **kw):
    return subprocess.run(cmd, cwd=cwd, shell=True, capture_output=True, text=True, **kw)


def main():
    work = sys.argv[1] if len(sys.argv) > 1 else "/tmp/impordano-mutants"
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    tree = os.path.join(work, "tree")
    run(f"rm -rf {tree} && mkdir -p {tree} && git -C {repo} archive HEAD | tar -x -C {tree}", work if os.path.isdir(work) else "/")
    build = os.path.join(work, "build")
    r = run(f"cmake -S {tree} -B {build} -DCMAKE_BUILD_TYPE=Debug -DIMPORDANO_BUILD_TOOLS=OFF", "/")
    assert r.returncode == 0, r.stderr
    r = run(f"cmake --build {build} -j2 --target impordano_tests", "/")
    assert r.returncode == 0, r.stdout[-3000:]
    survivors = 0
    for name, path, old, new in MUTANTS:
        full = os.path.join(tree, path)
        original = open(full).read()
        assert original.count(old) == 1, f"{name}: {old!r} found {original.count(old)} times"
        open(full, "w").write(original.replace(old, new))
        try:
            r = run(f"cmake --build {build} -j2 --target impordano_tests", "/")
            if r.returncode != 0:
                print(f"{name}: DOES NOT COMPILE\n{r.stdout[-2000:]}")
                survivors += 1
                continue
            r = run(f"ctest --test-dir {build} -j2 -R '^[A-Z]' --timeout 120", "/")
            failed = re.findall(r"^\s*\d+ - (\S+) \(", r.stdout, re.M)
            caught = ", ".join(failed[:6]) + (f" (+{len(failed) - 6} more)" if len(failed) > 6 else "")
            print(f"{name} ({path}): " + (f"caught by {len(failed)}: {caught}" if failed else "SURVIVED"),
                  flush=True)
            survivors += not failed
        finally:
            open(full, "w").write(original)
    print(f"{len(MUTANTS)} mutants, {survivors} survived")
    return 1 if survivors else 0


if __name__ == "__main__":
    sys.exit(main())
