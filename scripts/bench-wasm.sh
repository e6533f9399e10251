#!/usr/bin/env bash
# The import's time under Node beside the native one, each best of 3 on the
# same generated estimate of 10,000 and of 100,000 positions, as a ratio.
# Figures for people, nothing asserted: the wasm preset runs it as the ctest
# test bench.wasm_speed.
#
#   bench-wasm.sh NATIVE_BUILD WASM_BUILD
#
# NATIVE_BUILD is a native build with the benchmarks (the release preset's
# build), WASM_BUILD the WebAssembly build; the files go into WASM_BUILD.
set -euo pipefail
native_build=$1 wasm_build=$2

files=$wasm_build/bench-files
mkdir -p "$files"
for positions in 10000 100000; do
  file=$files/generated-$positions.txt
  [[ -f $file ]] || "$native_build/bench/impordano_generate" "$positions" "$file"
  native=$("$native_build/bench/impordano_import_time" "$file" 3)
  wasm=$(node "$wasm_build/bench/impordano_import_time.js" "$file" 3)
  echo "native: $native"
  echo "wasm:   $wasm"
  awk -v n="${native##* best of 3: }" -v w="${wasm##* best of 3: }" -v p="$positions" \
    'BEGIN { printf "%d positions: wasm/native import time %.2f\n", p, w / n }'
done
