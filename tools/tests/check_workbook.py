#!/usr/bin/python3
"""Checks impordano-dump's workbooks with the programs people read them with.

  check_workbook.py libreoffice|openpyxl TOOL WORK SAMPLE...

For each sample the tool writes its records (JSON Lines) and its workbook,
Polish and English, into WORK. Then:

libreoffice  LibreOffice Calc, headless, converts every sheet of every
             workbook to CSV: the flat tables hold one row per record, the
             estimate sheet a row per element and position in delivery
             order, with the records' texts (Polish letters, control
             characters, "=2*3" as text) and numbers (to the 15 significant
             digits LibreOffice writes out).
openpyxl     the structure: the sheet names in both languages; number cells
             numeric and equal to the records' doubles bit for bit; texts as
             text cells, never formulas; the estimate sheet's outline levels
             follow the element depth; the frozen panes, the autofilter
             ranges, the print settings, and the created date (the file's
             modification time).

Prints the cells compared per sheet and sample. Exits 77 (skipped) when
soffice or openpyxl is missing, 1 at the first difference.
"""
import csv
import datetime
import json
import math
import os
import re
import shutil
import subprocess
import sys

SHEETS = {
    "pl": ["Kosztorys", "Pozycje", "Nakłady", "Przedmiar", "Narzuty"],
    "en": ["Estimate", "Positions", "Resources", "Quantity take-off", "Surcharges"],
}
MAX_NESTING = 16  # EstimatePage::kMaxNesting
OUTLINE_LEVELS = 7


class Mismatch(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Mismatch(message)


def unescape(text):
    """A cell's text as a spreadsheet shows it: _xHHHH_ is the character."""
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text)


class Model:
    """The records in delivery order, numbered as the page numbers them."""

    def __init__(self, records):
        self.estimate = next((r for r in records if r["record"] == "EstimateRecord"), None)
        self.summary = next((r for r in records if r["record"] == "SummaryRecord"), None)
        self.elements, self.positions, self.resources, self.lines = [], [], [], []
        self.tree = []  # ("e" or "p", element, record) in delivery order
        root = {"depth": 0, "number": "", "children": 0, "position": None}
        path = [root]
        for record in records:
            kind = record["record"]
            if kind == "ElementRecord":
                depth = min(max(record["depth"], 1), MAX_NESTING)
                while len(path) > 1 and path[-1]["depth"] >= depth:
                    path.pop()
                parent = path[-1]
                parent["children"] += 1
                number = str(parent["children"])
                if parent is not root:
                    number = parent["number"] + "." + number
                element = {"depth": len(path), "number": number, "children": 0,
                           "position": None, "strayLines": 0}
                path.append(element)
                self.elements.append((element, record))
                self.tree.append(("e", element, record))
            elif kind == "PositionRecord":
                path[-1]["position"] = len(self.positions) + 1
                path[-1]["lineCount"] = 0
                self.positions.append((path[-1], record))
                self.tree.append(("p", path[-1], record))
            elif kind == "ResourceRecord":
                self.resources.append((path[-1], path[-1]["position"], record))
            elif kind == "MeasurementLineRecord":
                element = path[-1]
                key = "lineCount" if element["position"] else "strayLines"
                element[key] = element.get(key, 0) + 1
                self.lines.append((element, element["position"], element[key], record))


def run(command, **kwargs):
    return subprocess.run(command, check=True, **kwargs)


def write_outputs(tool, work, sample):
    name = os.path.splitext(os.path.basename(sample))[0]
    records = run([tool, sample], stdout=subprocess.PIPE).stdout.decode("utf-8")
    model = Model([json.loads(line) for line in records.splitlines()])
    books = {}
    for language in ("pl", "en"):
        book = os.path.join(work, f"{name}-{language}.xlsx")
        run([tool, "--xlsx", "--lang", language, "-o", book, sample])
        books[language] = book
    return name, model, books


def number_text(value):
    """What a cell shows for a record's number that is no finite double."""
    return {"Infinity": "∞", "-Infinity": "-∞", "NaN": "NaN"}[value]


# ------------------------------------------------------------ LibreOffice

def same_number(cell, value):
    if isinstance(value, str):
        return cell == number_text(value)
    try:
        return float(cell) == float(f"{value:.15g}")
    except ValueError:
        return False


FORMULA_LIKE = [0]  # texts compared that a spreadsheet could take for a formula


def compare_row(row, expected, where):
    """expected: (column, kind, value) with kind "t" text, "n" number."""
    for column, kind, value in expected:
        if kind == "t" and value and value[0] in "=+-@":
            FORMULA_LIKE[0] += 1
        cell = row[column] if column < len(row) else ""
        if kind == "n":
            expect(same_number(cell, value), f"{where}, column {column + 1}: {cell!r} is not {value!r}")
        else:
            expect(cell == (value or ""), f"{where}, column {column + 1}: {cell!r} is not {value!r}")
    return len(expected)


def check_csv(model, sheets, words):
    counts = {}
    estimate, positions, resources, lines, surcharges = sheets

    # The flat tables: a heading row, then one row per record.
    def table(rows, items, cells, label):
        expect(len(rows) == len(items) + 1,
               f"{label}: {len(rows) - 1} rows for {len(items)} records")
        counts[label] = sum(compare_row(row, cells(item), f"{label} row {i + 2}")
                            for i, (row, item) in enumerate(zip(rows[1:], items)))

    table(positions, list(enumerate(model.positions, 1)),
          lambda item: [(0, "n", item[0]), (1, "t", item[1][0]["number"]),
                        (2, "t", item[1][1]["catalogueReference"]),
                        (3, "t", item[1][1]["description"]), (4, "t", item[1][1]["unit"]),
                        (5, "n", item[1][1]["quantity"]), (6, "n", item[1][1]["multiplicity"]),
                        (7, "n", item[1][1]["price"])], words[1])
    table(resources, model.resources,
          lambda item: ([(0, "n", item[1])] if item[1] else [(0, "t", "")]) +
          [(1, "t", item[0]["number"]), (3, "t", item[2]["indexCode"]), (4, "t", item[2]["name"]),
           (5, "t", item[2]["unit"]), (6, "n", item[2]["consumption"]),
           (7, "t", item[2]["consumptionText"]), (8, "n", item[2]["price"])], words[2])
    table(lines, model.lines,
          lambda item: ([(0, "n", item[1])] if item[1] else [(0, "t", "")]) +
          [(1, "t", item[0]["number"]), (2, "n", item[2]), (3, "t", item[3]["measurement"]),
           (4, "t", item[3]["comment"])], words[3])
    items = model.summary["items"] if model.summary else []
    table(surcharges, items, lambda item: [(0, "t", item["name"]), (1, "n", item["rate"])],
          words[4])

    # The estimate sheet: its name first, then each element and position in
    # delivery order among the other rows.
    expect(estimate[0][0] == model.estimate["name"], f"{words[0]}: the name is {estimate[0][0]!r}")
    wanted = []
    lp = 0
    for kind, element, record in model.tree:
        if kind == "e":
            cells = [(0, "t", element["number"]), (2, "t", record["description"])]
            if record["quantityItems"]:
                cells += [(3, "t", record["quantityItems"][0]["unit"]),
                          (4, "n", record["quantityItems"][0]["quantity"])]
        else:
            lp += 1
            cells = [(0, "n", lp), (1, "t", record["catalogueReference"]),
                     (2, "t", record["description"]), (3, "t", record["unit"]),
                     (4, "n", record["quantity"]), (5, "n", record["multiplicity"]),
                     (6, "n", record["price"])]
        wanted.append(cells)
    compared, at = 1, 0
    for cells in wanted:
        while at < len(estimate):
            try:
                compared += compare_row(estimate[at], cells, words[0])
                break
            except Mismatch:
                at += 1
        expect(at < len(estimate), f"{words[0]}: no row {cells}")
        at += 1
    counts[words[0]] = compared
    return counts


def check_libreoffice(tool, work, samples):
    soffice = shutil.which("soffice")
    if not soffice:
        print("skipped: soffice (libreoffice-calc-nogui) is not installed")
        return 77
    outputs = [write_outputs(tool, work, sample) for sample in samples]
    csv_dir = os.path.join(work, "csv")
    shutil.rmtree(csv_dir, ignore_errors=True)
    # Every sheet of every workbook, UTF-8, values rather than as shown. A
    # profile of its own, so that it runs as root and beside a desktop one.
    run([soffice, "--headless", f"-env:UserInstallation=file://{work}/libreoffice-profile",
         "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
         "--outdir", csv_dir] + [book for _, _, books in outputs for book in books.values()],
        stdout=subprocess.DEVNULL)
    for name, model, books in outputs:
        for language, book in books.items():
            stem = os.path.splitext(os.path.basename(book))[0]
            sheets = []
            for sheet in SHEETS[language]:
                path = os.path.join(csv_dir, f"{stem}-{sheet}.csv")
                expect(os.path.exists(path), f"{book}: LibreOffice wrote no sheet {sheet}")
                with open(path, encoding="utf-8", newline="") as f:
                    sheets.append(list(csv.reader(f)))
            counts = check_csv(model, sheets, SHEETS[language])
            print(f"{name} ({language}): " + ", ".join(f"{sheet} {counts[sheet]}" for sheet in SHEETS[language])
                  + " cells equal")
    print(f"{FORMULA_LIKE[0]} texts beginning with =, +, - or @ arrived as those texts")
    return 0


# ---------------------------------------------------------------- openpyxl

def check_number(cell, value, where):
    if isinstance(value, str):
        expect(cell.data_type == "s" and cell.value == number_text(value), f"{where}: {cell.value!r}")
    else:
        expect(cell.data_type == "n" and isinstance(cell.value, (int, float)),
               f"{where}: {cell.value!r} is not a number cell")
        expect(cell.value == value and math.copysign(1, cell.value) == math.copysign(1, value),
               f"{where}: {cell.value!r} is not {value!r}")


def check_text(cell, value, where):
    if not value:
        expect(cell.value is None, f"{where}: {cell.value!r} where there is no text")
        return
    expect(cell.data_type == "s", f"{where}: a {cell.data_type} cell, not text")
    expect(unescape(cell.value) == value, f"{where}: {cell.value!r} is not {value!r}")


def check_openpyxl(tool, work, samples):
    try:
        import openpyxl
    except ImportError:
        print("skipped: openpyxl (python3-openpyxl) is not installed for " + sys.executable)
        return 77
    for sample in samples:
        name, model, books = write_outputs(tool, work, sample)
        created = datetime.datetime.fromtimestamp(int(os.stat(sample).st_mtime), datetime.timezone.utc)
        for language, book in books.items():
            wb = openpyxl.load_workbook(book)
            names = SHEETS[language]
            expect(wb.sheetnames == names, f"{book}: sheets {wb.sheetnames}")
            expect(wb.properties.created == created.replace(tzinfo=None),
                   f"{book}: created {wb.properties.created}, the file's time is {created}")
            numbers = texts = 0
            # The flat tables.
            for sheet, rows, width in ((names[1], model.positions, "H"),
                                       (names[2], model.resources, "J"),
                                       (names[3], model.lines, "E")):
                ws = wb[sheet]
                expect(ws.freeze_panes == "A2", f"{sheet}: panes frozen at {ws.freeze_panes}")
                expect(ws.auto_filter.ref == f"A1:{width}{len(rows) + 1}",
                       f"{sheet}: autofilter {ws.auto_filter.ref}")
                expect(ws.print_title_rows == "$1:$1", f"{sheet}: print titles {ws.print_title_rows}")
            ws = wb[names[1]]
            for row, (element, record) in enumerate(model.positions, 2):
                check_number(ws.cell(row, 1), row - 1, f"{names[1]}!A{row}")
                for column, field in ((6, "quantity"), (7, "multiplicity"), (8, "price")):
                    check_number(ws.cell(row, column), record[field], f"{names[1]} row {row} {field}")
                check_text(ws.cell(row, 2), element["number"], f"{names[1]}!B{row}")
                check_text(ws.cell(row, 4), record["description"], f"{names[1]}!D{row}")
                numbers += 4
                texts += 2
            ws = wb[names[2]]
            for row, (element, lp, record) in enumerate(model.resources, 2):
                for column, field in ((7, "consumption"), (9, "price")):
                    check_number(ws.cell(row, column), record[field], f"{names[2]} row {row} {field}")
                check_text(ws.cell(row, 5), record["name"], f"{names[2]}!E{row}")
                check_text(ws.cell(row, 8), record["consumptionText"], f"{names[2]}!H{row}")
                numbers += 2
                texts += 2
            ws = wb[names[3]]
            for row, (element, lp, number, record) in enumerate(model.lines, 2):
                check_number(ws.cell(row, 3), number, f"{names[3]}!C{row}")
                check_text(ws.cell(row, 4), record["measurement"], f"{names[3]}!D{row}")
                check_text(ws.cell(row, 5), record["comment"], f"{names[3]}!E{row}")
                numbers += 1
                texts += 2
            # The estimate sheet: panes, print, outline.
            ws = wb[names[0]]
            heading = next(r for r in range(1, ws.max_row + 1) if ws.cell(r, 2).value is not None)
            expect(ws.freeze_panes == f"A{heading + 1}", f"{names[0]}: panes at {ws.freeze_panes}")
            expect(ws.print_title_rows == f"${heading}:${heading}", f"{names[0]}: {ws.print_title_rows}")
            expect(ws.page_setup.orientation == "landscape", f"{names[0]}: not landscape")
            expect(ws.sheet_properties.pageSetUpPr.fitToPage and ws.page_setup.fitToHeight == 0,
                   f"{names[0]}: not fitted to the page width")
            expect(ws.sheet_properties.outlinePr.summaryBelow is False, f"{names[0]}: summary below")
            levels = 0
            elements = {e["number"]: e for e, _ in model.elements}
            position_level = 1
            for row in range(heading + 1, ws.max_row + 1):
                level = ws.row_dimensions[row].outline_level
                first = ws.cell(row, 1)
                if first.data_type == "s" and first.value in elements:
                    depth = elements[first.value]["depth"]
                    expect(level == min(depth - 1, OUTLINE_LEVELS), f"{names[0]} row {row}: level {level}")
                    position_level = min(depth, OUTLINE_LEVELS)
                    levels += 1
                elif first.data_type == "n" and first.value is not None:
                    expect(level == position_level, f"{names[0]} row {row}: position at level {level}")
                    for column in (5, 6, 7):
                        cell = ws.cell(row, column)
                        expect(cell.data_type == "n" or cell.value in ("NaN", "∞", "-∞"),
                               f"{names[0]} row {row}: {cell.value!r} is not a number cell")
                    levels += 1
            print(f"{name} ({language}): sheets {names}; {numbers} number cells and {texts} text "
                  f"cells equal, {levels} outline levels")
    return 0


def main():
    check, tool, work, samples = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    os.makedirs(work, exist_ok=True)
    try:
        if check == "libreoffice":
            return check_libreoffice(tool, work, samples)
        return check_openpyxl(tool, work, samples)
    except Mismatch as mismatch:
        print(f"check_workbook.py {check}: {mismatch}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
