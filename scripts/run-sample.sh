#!/usr/bin/env bash
# Sets up, builds the module and impordano-dump, and shows what the module
# makes of the house-renovation sample: one JSON object a record, and the
# whole estimate as an HTML page and as a workbook in the build folder; and
# builds the browser viewer, impordano-viewer.html, with Emscripten (the
# workflow preset viewer, in build-wasm, where the packages take it from).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh viewer
cmake --preset release
cmake --build --preset release --target impordano-dump
echo
echo "== build/src/impordano-dump samples/house.txt"
build/src/impordano-dump samples/house.txt

page=$PWD/build/house.html
build/src/impordano-dump --html samples/house.txt >"$page"
echo
echo "== build/src/impordano-dump --html samples/house.txt > build/house.html"
echo "The house estimate as a page to open in a browser: $page"

workbook=$PWD/build/house.xlsx
build/src/impordano-dump --xlsx -o "$workbook" samples/house.txt
echo
echo "== build/src/impordano-dump --xlsx -o build/house.xlsx samples/house.txt"
echo "The house estimate as a workbook to open in a spreadsheet: $workbook"

cmake --workflow --preset viewer >/dev/null
echo "The browser viewer, to open and choose samples/house.txt in: $PWD/build-wasm/impordano-viewer.html"
