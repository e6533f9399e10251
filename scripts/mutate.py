#!/usr/bin/env python3
"""Mutation runs: plants one plausible fault at a time in a copy of the tree
and runs the tests on it; every mutant must make a test fail.

Two sets:
  counts   leaves out, one at a time, each count the plan reading makes
           (the plan must equal what the records use);
  records  one-line faults in the builders, the reader, the text fields, the
           summary and the progress reports: what a host would meet.

Each mutant is found in the code by a pattern that must match exactly once,
so that a change of the code cannot make a mutant vanish unnoticed:

    python3 scripts/mutate.py --check             # every pattern matches once
    python3 scripts/mutate.py [SET...] [--work DIR] [--only NAME]...

The runs work on a copy of the tree at HEAD (the worktree stays untouched),
with a Debug build of their own and the native tests of ctest (not the
browsers, the packages or the Pascal host). `--check` is a CTest test.
"""
import argparse, os, re, subprocess, sys

# Whole lines: a pattern is a regular expression in re.M mode.
# Runs the line that follows in the record reading only: the plan reading
# no longer counts what it uses.
KW = "if constexpr (std::is_same_v<Reading, RecordReading>) "

# (set, name, file, pattern, replacement); the replacement may use \1 etc.
MUTANTS = []


def mutant(kind, name, path, pattern, replacement):
    MUTANTS.append((kind, name, path, pattern, replacement))


# --- counts: each count of the plan reading left out -------------------------
READING = "src/records/section_reading.h"
LINES = "src/records/measurement_lines.cc"
for name, path, pattern in [
    ("every text count", READING, r"^(\s*)plan_\.CountText\(reader_, index, N\);$"),
    ("every block count", READING, r"^(\s*)plan_\.CountBlock\(sizeof\(Block\)\);$"),
    ("measurement line text", LINES, r"^(\s*)plan_\.CountText\(reader, 0, kMeasurementFieldSize\);$"),
    ("measurement line number", LINES, r"^(\s*)\+\+position_\.lines;$"),
    ("measurement text bytes", LINES, r"^(\s*)position_\.textBytes \+= reader\.FieldLength\(0\);$"),
    ("measurement most lines", LINES, r"^(\s*)if \(position_\.lines > most\.lines\).*$"),
    ("measurement most text bytes", LINES, r"^(\s*)if \(position_\.textBytes > most\.textBytes\).*$"),
    ("surcharge rates", READING, r"^(\s*)addRate\(plan_\.tallies, reader_\.FieldDouble\(0, 0\.0\)\);$"),
]:
    mutant("counts", name, path, pattern, r"\1")
mutant("counts", "CountText body", "src/records/import_plan.cc",
       r"^(\s*)if \(IsCut\(length, size\)\) longTextBytes \+= .*$", r"\1(void)length;")
mutant("counts", "CountBlock body", "src/records/import_plan.h",
       r"\{ blockBytes \+= blocks_\.Footprint\(size\); \}", "{ (void)size; }")
mutant("counts", "summary block", "src/host/plan_reading.cc",
       r"^(\s*)BuildSummary\(&summary, plan\.tallies, reading\);$", r"\1(void)summary;")
mutant("counts", "estimate sections", READING,
       r"\{ plan_\.summaryPlace\.CountEstimateSection\(\); \}", "{}")
# Each key that a section reads into memory, counted by the plan reading
# no more: the key's line runs in the record reading only.
for name, path, line in [
    ("[Kosztorys] Nazwa", "src/records/estimate_record.h", r"reading\.Text\(record->name, 0\);"),
    ("[Element] Opis", "src/records/element_record.h", r"reading\.Text\(record->description, 0\);"),
    ("[Element] Obmiar item", "src/records/element_record.h",
     r"ItemOf\(record, &item, reading\)->quantity = reading\.Double\(0\);"),
    ("[Element] JM item and text", "src/records/element_record.h",
     r"reading\.Text\(ItemOf\(record, &item, reading\)->unit, 1\);"),
    ("[Pozycja] Katalog", "src/records/position_record.h", r"reading\.Text\(detail\.catalogue, 0\);"),
    ("[Pozycja] Kolumna", "src/records/position_record.h", r"reading\.Text\(detail\.tableColumn, 0\);"),
    ("[Pozycja] Opis", "src/records/position_record.h", r"reading\.Text\(record->description, 0\);"),
    ("[Pozycja] JM unit", "src/records/position_record.h", r"reading\.Text\(record->unit, 0\);"),
    ("[Pozycja] JM second unit", "src/records/position_record.h",
     r"reading\.Text\(record->secondUnit, 1\);"),
    ("[Pozycja] Przedmiar/Komentarz n", "src/records/position_record.h",
     r"reading\.MeasurementLine\(number, key == Key::kLineMeasurement\);"),
    ("[Pozycja] KNR catalogue detail", "src/records/position_record.h",
     r"kept = reading\.template NewBlock<CatalogueDetail>\(&record->catalogueDetail\);"),
    ("[RMS] Nazwa", "src/records/resource_record.h", r"reading\.Text\(record->name, 0\);"),
    ("[RMS] Indeks", "src/records/resource_record.h", r"reading\.Text\(record->indexCode, 0\);"),
    ("[RMS] JM", "src/records/resource_record.h", r"reading\.Text\(record->unit, 0\);"),
    ("[RMS] Tarvo text", "src/records/resource_record.h",
     r"reading\.Text\(record->consumptionText, 0, LineReader::DecimalSymbolAs::kPoint\);"),
]:
    mutant("counts", name, path, r"^(\s*)(" + line + r")$", r"\1" + KW + r"\2")

# --- records: faults a host would meet --------------------------------------
EST, ELE = "src/records/estimate_record.cc", "src/records/element_record.cc"
POS, RES = "src/records/position_record.cc", "src/records/resource_record.cc"
# The descriptions, templates over the reading, are in the record headers.
EST_H, ELE_H = "src/records/estimate_record.h", "src/records/element_record.h"
POS_H, RES_H = "src/records/position_record.h", "src/records/resource_record.h"
SUM, MEA = "src/records/summary_record.cc", "src/records/measurement_lines.cc"
LR, TF = "src/reader/line_reader.cc", "src/reader/text_field.cc"
for name, path, pattern, replacement in [
    ("estimate: levels not less one", EST_H,
     r"SaturatingSubtract\(reading\.Int\(0\), 1\)", "reading.Int(0)"),
    ("estimate: remarks unread", EST_H, r"record->remarks = reading\.Int\(0\);", "(void)0;"),
    ("estimate: reserved 32 at 792", EST, r"r->reserved792 = 32;", "r->reserved792 = 0;"),
    ("element: depth one less", ELE, r"record->depth = reader_\.FieldCount\(\);",
     "record->depth = reader_.FieldCount() - 1;"),
    ("element: unit from field 0", ELE_H, r"(->unit), 1\);", r"\1, 0);"),
    ("element: reserved 384", ELE, r"0x7FFFFFFF;", "0x7FFFFFFE;"),
    ("position: multiplicity starts at 0", POS, r"record->multiplicity = 1\.0;",
     "record->multiplicity = 0.0;"),
    ("position: KNR column dash anywhere after 4", POS_H, r"dash - column == 4", "dash - column >= 4"),
    ("position: simplified unmasked", POS_H, r"static_cast<uint32_t>\(reading\.Int\(0\)\) & 1u",
     "static_cast<uint32_t>(reading.Int(0))"),
    ("position: second unit from field 0", POS_H, r"(record->secondUnit), 1\);", r"\1, 0);"),
    ("position: measurement line 0 taken", POS_H, r"if \(number < 1\) \{", "if (number < 0) {"),
    ("position: catalogue number tens", POS, r"const int hundreds = k / 100, rest = k % 100;",
     "const int hundreds = k / 100, rest = k % 10;"),
    ("resource: tolerance 6 %", RES, r"kInvestorTolerance = 0\.05;", "kInvestorTolerance = 0.06;"),
    ("resource: tolerance measured against the total", RES,
     r"/ std::fabs\(investorQuantity\) < kInvestorTolerance", "/ std::fabs(total) < kInvestorTolerance"),
    ("resource: not-auxiliary inverted", RES_H, r"reading\.Int\(0\) == 0 \? 1 : 0",
     "reading.Int(0) == 0 ? 0 : 1"),
    ("resource: factor not applied", RES,
     r"^(\s*)record->consumption = correctionFactor \* record->consumption;$", r"\1"),
    ("resource: formula keeps trailing zeros", RES,
     r"^(\s*)while \(formula\[length - 1\] == '0'\) --length;$", r"\1"),
    ("resource: whole formula not marked", RES,
     r"if \(length == IMP_LONG_TEXT_CUT_LENGTH\(kSize\)\)", "if (length + 1 == IMP_LONG_TEXT_CUT_LENGTH(kSize))"),
    ("resource: empty kind reads 'A'", RES_H, r"kind = reading\.Char\(0, 0\);",
     "kind = reading.Char(0, 'A');"),
    ("measurement lines: sort without its tie-break", MEA,
     r"a\.number != b\.number \? a\.number < b\.number : a\.order < b\.order", "a.number < b.number"),
    ("measurement lines: a zero auxiliary value counts", MEA,
     r"^(\s*)if \(consumption == 0\.0\) return;.*$", r"\1"),
    ("measurement lines: entry kinds swapped", MEA,
     r"measured \? IMP_ENTRY_MEASUREMENT : IMP_ENTRY_COMMENT_ONLY",
     "measured ? IMP_ENTRY_COMMENT_ONLY : IMP_ENTRY_MEASUREMENT"),
    ("summary: rate through a float", SUM,
     r"purchase->rate = t\.purchaseCost\.MostFrequent\(\);",
     "purchase->rate = static_cast<float>(t.purchaseCost.MostFrequent());"),
    ("summary: profit basis inverted", SUM, r"basisRate == profitRate \?", "basisRate != profitRate ?"),
    ("summary: equal S never joins", SUM, r"if \(indirectS == indirectR\)", "if (false)"),
    ("summary: M always its own item", SUM, r"if \(profitM != profitR\)", "if (true)"),
    ("tally: later of equal counts wins", "src/support/value_tally.cc",
     r"if \(item\.count > best\)", "if (item.count >= best)"),
    ("reader: line limit one less", "src/reader/line_reader.h",
     r"kMaxLine = 9191;", "kMaxLine = 9190;"),
    ("reader: key limit one more", "src/reader/line_reader.h", r"kKeyLimit = 63;", "kKeyLimit = 64;"),
    ("reader: nine fields", "src/reader/line_reader.h", r"kMaxFields = 10;", "kMaxFields = 9;"),
    ("reader: first byte signed", LR, r"static_cast<unsigned char>\(fields_\[index\]\[0\]\)",
     "fields_[index][0]"),
    ("reader: 0x1B ends the input", LR, r"kEndOfText = 0x1A;", "kEndOfText = 0x1B;"),
    ("reader: RMS prefix without its blank", LR, r'\{"\[RMS ", 5, kResourceHeader\}',
     '{"[RMS ", 4, kResourceHeader}'),
    ("reader: an empty field is no default", "src/reader/line_reader.h",
     r"index < fieldCount_ && fields_\[index\]\[0\] != '\\0';", "index < fieldCount_;"),
    ("reader: CR LF kept", LR,
     r"^(\s*)const bool crLf = lineFeed >= 1 && start\[lineFeed - 1\] == '\\r';$",
     r"\1const bool crLf = false;"),
    ("text field: no 0 slot at N-5", TF, r"^(\s*)if \(length == cutLength\) WriteSlot\(slot, nullptr\);$",
     r"\1"),
    ("text field: a text of N bytes whole", "src/reader/text_field.h",
     r"return length >= size;", "return length > size;"),
    ("progress: due at exactly 5,000 bytes", "src/host/import_session.cc",
     r"inputPosition_ > lastProgressPosition_ \+ kProgressStep",
     "inputPosition_ >= lastProgressPosition_ + kProgressStep"),
    ("file section: decimal symbol default ','", "src/host/sections.h",
     r"reading\.Char\(0, '\.'\)", "reading.Char(0, ',')"),
    ("file section: a description takes the decimal symbol", "src/host/import_session.cc",
     r"ReadFileSection\(lines, FileDecimalSymbol::kLeft,", "ReadFileSection(lines, FileDecimalSymbol::kTaken,"),
]:
    mutant("records", name, path, pattern, replacement)


def apply(text, pattern, replacement):
    """The text with the one match of `pattern` replaced; None unless the
    pattern matches exactly once."""
    found = list(re.finditer(pattern, text, re.M))
    if len(found) != 1:
        return None, len(found)
    return text[: found[0].start()] + found[0].expand(replacement) + text[found[0].end():], 1


def check(root, chosen):
    bad = 0
    for kind, name, path, pattern, replacement in chosen:
        text = open(os.path.join(root, path), encoding="latin-1").read()
        changed, count = apply(text, pattern, replacement)
        if changed is None:
            print(f"{kind}: {name} ({path}): the pattern matches {count} times, not once")
            bad += 1
    print(f"{len(chosen)} mutants, {bad} without their line")
    return bad


def run(cmd, **kw):
    return subprocess.run(cmd, shell=True, capture_output=True, text=True, **kw)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("sets", nargs="*", default=["counts", "records"])
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--work", default="/tmp/impordano-mutants")
    parser.add_argument("--only", action="append",
                        help="the mutants whose names hold this text (may be repeated)")
    parser.add_argument("--tree", help="mutate this tree as it is, not a copy of HEAD")
    args = parser.parse_args()
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    chosen = [m for m in MUTANTS if m[0] in args.sets and (not args.only or any(o in m[1] for o in args.only))]
    if args.check:
        return 1 if check(repo, chosen) else 0

    tree = args.tree or os.path.join(args.work, "tree")
    build = os.path.join(args.work, "build")
    os.makedirs(args.work, exist_ok=True)
    if not args.tree:
        # Extracted files get the time of now (-m), not of the commit: an
        # object that a reused build folder compiled from the last run's
        # mutant is then older than its source, and is compiled again.
        r = run(f"rm -rf {tree} && mkdir -p {tree} && git -C {repo} archive HEAD | tar -xm -C {tree}")
        assert r.returncode == 0, r.stderr
    if check(tree, chosen):
        return 1
    r = run(f"cmake -S {tree} -B {build} -DCMAKE_BUILD_TYPE=Debug")
    assert r.returncode == 0, r.stderr
    r = run(f"cmake --build {build} -j2")
    assert r.returncode == 0, r.stdout[-3000:]
    # The native tests but those of whole programs in browsers, packages
    # and other compilers, and this script's own check.
    tests = f"ctest --test-dir {build} -j2 --timeout 300 -LE '^(html|pascal|package|browser)$' -E '^(mutants|package[.])'"
    survivors = []
    for kind, name, path, pattern, replacement in chosen:
        full = os.path.join(tree, path)
        original = open(full, encoding="latin-1").read()
        open(full, "w", encoding="latin-1").write(apply(original, pattern, replacement)[0])
        try:
            r = run(f"cmake --build {build} -j2")
            if r.returncode != 0:
                print(f"{kind}: {name}: DOES NOT COMPILE\n{r.stdout[-2000:]}", flush=True)
                survivors.append(name)
                continue
            r = run(tests)
            failed = re.findall(r"^\s*\d+ - (\S+) \(", r.stdout, re.M)
            caught = ", ".join(failed[:4]) + (f" (+{len(failed) - 4} more)" if len(failed) > 4 else "")
            print(f"{kind}: {name}: " + (f"caught by {len(failed)}: {caught}" if failed else "SURVIVED"),
                  flush=True)
            if not failed:
                survivors.append(name)
        finally:
            open(full, "w", encoding="latin-1").write(original)
            os.utime(full)
    print(f"{len(chosen)} mutants, {len(survivors)} survived" +
          (": " + "; ".join(survivors) if survivors else ""))
    return 1 if survivors else 0


if __name__ == "__main__":
    sys.exit(main())
