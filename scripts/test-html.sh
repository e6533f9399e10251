#!/usr/bin/env bash
# The HTML page of impordano-dump in a real browser. Debian's chromium,
# headless, loads the page of each sample and of a hostile file and dumps
# the DOM it built; tools/tests/check_html_dom.py compares that DOM with the
# tool's JSON for the same file (position rows, elements, every text with its
# Polish letters, no script, no event-handler attribute, nothing that loads
# from elsewhere). The house page is printed to PDF, open and collapsed, and a
# screenshot of it goes to build/house.png.
#
# Uses impordano-dump of the release preset's build, brought up to date
# here. Installs chromium and python3 when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh html
[[ -f build/CMakeCache.txt ]] || cmake --preset release
cmake --build --preset release --target impordano-dump

tool=build/src/impordano-dump
out=$PWD/build/html-check
rm -rf "$out"
mkdir -p "$out"

# No network here and no desktop session: nothing in the background, a fresh
# profile for each start. --no-sandbox because CI runs as root, where
# Chromium's sandbox cannot start.
browser() {
  local profile
  profile=$(mktemp -d "$out/profile.XXXXXX")
  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" "$@" 2>>"$out/chromium.log"
  rm -rf "$profile"
}

status=0
for input in samples/*.txt tools/tests/data/html-hostile.txt; do
  name=$(basename "$input" .txt)
  "$tool" --html "$input" >"$out/$name.html"
  "$tool" "$input" >"$out/$name.jsonl"
  "$tool" --describe "$input" >"$out/$name.describe.jsonl"
  # An empty DOM means the page never finished loading: a dialog of a script
  # that got in would stop it so.
  browser --dump-dom "file://$out/$name.html" >"$out/$name.dom.html" || true
  if [[ ! -s $out/$name.dom.html ]]; then
    echo "test-html.sh: chromium gave no DOM for $name; its messages:" >&2
    cat "$out/chromium.log" >&2
    exit 1
  fi
  python3 tools/tests/check_html_dom.py "$name" "$out/$name.dom.html" "$out/$name.jsonl" \
    "$out/$name.describe.jsonl" || status=1
done

# Printing: the house page with every element collapsed prints as many pages
# as the open one (printing opens them), and there is a page at least for
# each top-level element (a page break between them).
sed 's/<details \(class="element[^"]*"\) open>/<details \1>/' "$out/house.html" \
  >"$out/house-collapsed.html"
for page in house house-collapsed; do
  browser --no-pdf-header-footer --print-to-pdf="$out/$page.pdf" "file://$out/$page.html" \
    >/dev/null
done
python3 - "$out/house.pdf" "$out/house-collapsed.pdf" \
  "$(grep -c '<details class="element level-1"' "$out/house.html")" <<'PY' || status=1
import re, sys
pages = [len(re.findall(rb"/Type\s*/Page[^s]", open(p, "rb").read())) for p in sys.argv[1:3]]
elements = int(sys.argv[3])
print(f"house printed: {pages[0]} pages open, {pages[1]} pages collapsed, "
      f"{elements} top-level elements")
sys.exit(0 if pages[0] == pages[1] >= elements else 1)
PY

browser --window-size=1280,3800 --hide-scrollbars --screenshot="$PWD/build/house.png" \
  "file://$out/house.html" >/dev/null
[[ -s build/house.png ]] || { echo "test-html.sh: no screenshot" >&2; exit 1; }
echo "screenshot of the house page: $PWD/build/house.png"
exit $status
