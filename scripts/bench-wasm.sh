#!/usr/bin/env bash
# The import's time under Node beside the native one, each best of 3 on the
# same generated estimate of 10,000 and of 100,000 positions, as a ratio;
# and the viewer's size against its 1.5 MB limit. Figures for people:
# only a missing build or an oversized viewer fails.
#
# Uses the builds of the release and wasm presets (run-tests.sh makes them;
# `cmake --workflow --preset wasm` and the release preset's build do too).
set -euo pipefail
cd "$(dirname "$0")/.."

viewer=build-wasm/impordano-viewer.html
size=$(stat -c %s "$viewer")
echo "impordano-viewer.html: $size bytes (at most 1572864)"
((size <= 1572864)) || { echo "bench-wasm.sh: the viewer is larger than 1.5 MB" >&2; exit 1; }

files=build-wasm/bench-files
mkdir -p "$files"
for positions in 10000 100000; do
  file=$files/generated-$positions.txt
  [[ -f $file ]] || build/bench/impordano_generate "$positions" "$file"
  native=$(build/bench/impordano_import_time "$file" 3)
  wasm=$(node build-wasm/bench/impordano_import_time.js "$file" 3)
  echo "native: $native"
  echo "wasm:   $wasm"
  awk -v n="${native##* best of 3: }" -v w="${wasm##* best of 3: }" -v p="$positions" \
    'BEGIN { printf "%d positions: wasm/native import time %.2f\n", p, w / n }'
done
