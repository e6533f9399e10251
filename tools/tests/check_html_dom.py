#!/usr/bin/env python3
"""The HTML page of impordano-dump in a real browser (Debian's chromium,
headless): a ctest test, label html (tools/tests/CMakeLists.txt).

Usage: check_html_dom.py page|print TOOL BROWSER WORK ESTIMATE

page   The browser loads the page the tool writes for ESTIMATE and dumps the
       DOM it built, which is compared with the tool's JSON Lines and
       description for the same file: one position row per PositionRecord
       and one <details> per ElementRecord, every text of the records and
       the description as text (Polish letters intact, markup in the file
       shown, not run), no element but those the tool writes: no <script>,
       no event-handler attribute, nothing that loads from elsewhere.
print  The page printed to PDF as it is and with every element collapsed
       gives the same number of pages (printing opens them), at least one a
       top-level element; a screenshot of it goes to WORK.
Prints what it compared; exits 1 on a mismatch.
"""
import collections
import html.parser
import json
import os
import re
import subprocess
import sys
import tempfile

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


def check_dom(name, dom_text, records_text, description_text):
    records = [json.loads(line) for line in records_text.splitlines()]
    description = json.loads(description_text.splitlines()[0])["description"]
    dom = Dom()
    dom.feed(dom_text)
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


def browser(program, work, *args):
    """Runs the browser headless with a fresh profile and returns what it
    printed. No network and no desktop here: nothing in the background.
    --no-sandbox because CI runs as root, where Chromium's sandbox cannot
    start."""
    with tempfile.TemporaryDirectory(dir=work) as profile:
        return subprocess.run(
            [program, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", f"--user-data-dir={profile}", *args],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120, text=True).stdout


def main(mode, tool, program, work, estimate):
    name = os.path.splitext(os.path.basename(estimate))[0]
    os.makedirs(work, exist_ok=True)
    dump = lambda *args: subprocess.run([tool, *args, estimate], stdout=subprocess.PIPE,
                                        check=True, text=True, encoding="utf-8").stdout
    page = os.path.join(work, name + ".html")
    with open(page, "w", encoding="utf-8") as f:
        f.write(dump("--html"))
    if mode == "page":
        # An empty DOM means the page never finished loading: a dialog of a
        # script that got in would stop it so.
        dom = browser(program, work, "--dump-dom", "file://" + page)
        if not dom.strip():
            print(f"{name}: the browser gave no DOM", file=sys.stderr)
            return 1
        return check_dom(name, dom, dump(), dump("--describe"))
    collapsed = os.path.join(work, name + "-collapsed.html")
    with open(page, encoding="utf-8") as f:
        html_text = f.read()
    with open(collapsed, "w", encoding="utf-8") as f:
        f.write(re.sub(r'<details (class="element[^"]*") open>', r"<details \1>", html_text))
    pages = []
    for path in (page, collapsed):
        pdf = path[:-5] + ".pdf"
        browser(program, work, "--no-pdf-header-footer", f"--print-to-pdf={pdf}", "file://" + path)
        with open(pdf, "rb") as f:
            pages.append(len(re.findall(rb"/Type\s*/Page[^s]", f.read())))
    elements = html_text.count('<details class="element level-1"')
    screenshot = os.path.join(work, name + ".png")
    browser(program, work, "--window-size=1280,3800", "--hide-scrollbars",
            f"--screenshot={screenshot}", "file://" + page)
    print(f"{name} printed: {pages[0]} pages open, {pages[1]} pages collapsed, "
          f"{elements} top-level elements; screenshot {screenshot}")
    return 0 if pages[0] == pages[1] >= elements and os.path.getsize(screenshot) else 1


if __name__ == "__main__":
    if len(sys.argv) != 6 or sys.argv[1] not in ("page", "print"):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
