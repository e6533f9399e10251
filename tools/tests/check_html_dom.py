#!/usr/bin/env python3
"""Checks the DOM a browser built from an impordano-dump --html page.

Usage: check_html_dom.py NAME DOM RECORDS DESCRIPTION

DOM is what the browser's --dump-dom printed, RECORDS the tool's JSON Lines
for the same file and DESCRIPTION its --describe line. The page must have one
position row per PositionRecord and one <details> per ElementRecord, hold
every text of the records and the description as text (Polish letters
intact, markup in the file shown, not run), and contain no element but
those the tool writes: no <script>, no event-handler attribute, nothing that
loads from elsewhere. Prints the counts it compared; exits 1 on a mismatch.
"""
import collections
import html.parser
import json
import re
import sys

# Every element the tool writes; anything else got in from the file.
ALLOWED = {
    "html", "head", "meta", "title", "style", "body", "header", "main", "section",
    "h1", "h2", "h3", "p", "dl", "div", "dt", "dd", "table", "caption", "thead",
    "tbody", "tr", "th", "td", "details", "summary", "span",
}
# Attributes that make a browser fetch or run something.
LOADING = {"src", "href", "srcset", "action", "formaction", "data", "poster",
           "background", "style", "http-equiv"}
TEXT_FIELDS = {"name", "description", "catalogueReference", "unit", "secondUnit",
               "comment", "measurement", "indexCode", "consumptionText",
               "catalogue", "catalogueNumber", "tableColumn"}
# Formula texts the page shows with the decimal comma: a point between two
# digits becomes a comma.
FORMULA_FIELDS = {"measurement", "consumptionText"}
POLISH = set("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ")


class Dom(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags = collections.Counter()
        self.texts = []
        self.handlers = []
        self.loading = []
        self.position_rows = 0

    def handle_starttag(self, tag, attrs):
        self.tags[tag] += 1
        for name, value in attrs:
            if name.startswith("on"):
                self.handlers.append(f"<{tag} {name}>")
            if name in LOADING:
                self.loading.append(f"<{tag} {name}={value!r}>")
            if tag == "tr" and name == "class" and "position" in (value or "").split():
                self.position_rows += 1

    def handle_data(self, data):
        self.texts.append(data)


def shown(text):
    """A text as the page shows it: control characters as their pictures."""
    return "".join(chr(0x2400 + ord(c)) if ord(c) < 0x20 and c != "\t"
                   else "\u2421" if c == "\x7f" else c for c in text)


def texts_of(value):
    if isinstance(value, dict):
        for key, item in value.items():
            if key in FORMULA_FIELDS and isinstance(item, str):
                yield re.sub(r"(?<=[0-9])\.(?=[0-9])", ",", item)
            elif key in TEXT_FIELDS and isinstance(item, str):
                yield item
            elif isinstance(item, (dict, list)):
                yield from texts_of(item)
    elif isinstance(value, list):
        for item in value:
            yield from texts_of(item)


def main(name, dom_path, records_path, description_path):
    with open(records_path, encoding="utf-8") as f:
        records = [json.loads(line) for line in f]
    with open(description_path, encoding="utf-8") as f:
        description = json.loads(f.readline())["description"]
    dom = Dom()
    with open(dom_path, encoding="utf-8") as f:
        dom.feed(f.read())
    dom.close()

    kinds = collections.Counter(r["record"] for r in records)
    expected = [t for t in texts_of(records) if t] + ([description] if description else [])
    page_text = "\0".join(dom.texts)
    missing = [t for t in expected if shown(t) not in page_text]
    foreign = sorted(set(dom.tags) - ALLOWED)
    polish = sum(page_text.count(c) for c in POLISH)

    failures = []
    if dom.position_rows != kinds["PositionRecord"]:
        failures.append(f"{dom.position_rows} position rows, "
                        f"{kinds['PositionRecord']} PositionRecords")
    if dom.tags["details"] != kinds["ElementRecord"]:
        failures.append(f"{dom.tags['details']} <details>, {kinds['ElementRecord']} ElementRecords")
    if dom.tags["script"]:
        failures.append(f"{dom.tags['script']} <script> elements")
    if dom.handlers:
        failures.append("event-handler attributes: " + ", ".join(dom.handlers))
    if dom.loading:
        failures.append("attributes that load or style: " + ", ".join(dom.loading))
    if foreign:
        failures.append("elements the tool does not write: " + ", ".join(foreign))
    for text in missing:
        failures.append(f"text not on the page: {text!r}")
    if any(c in POLISH for t in expected for c in t) and polish == 0:
        failures.append("no Polish letter on the page")

    print(f"{name}: {dom.position_rows} position rows = {kinds['PositionRecord']} PositionRecords; "
          f"{dom.tags['details']} <details> = {kinds['ElementRecord']} ElementRecords; "
          f"{dom.tags['script']} <script>, {len(dom.handlers)} event-handler attributes, "
          f"{len(foreign)} foreign elements; {len(expected) - len(missing)}/{len(expected)} "
          f"texts of the file found; {polish} Polish letters")
    for failure in failures:
        print(f"{name}: FAILED: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
