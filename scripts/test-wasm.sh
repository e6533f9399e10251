#!/usr/bin/env bash
# The WebAssembly build: the suite and impordano-dump under Node (compared
# with the native build), impordano-viewer.html in Chromium and Firefox
# (web/tests, through puppeteer-core from npm), and the import's speed
# under Node beside the native one, for 10,000 and 100,000 positions.
#
# Needs the native build (run-tests.sh makes it; run on its own, this script
# builds it) with its benchmarks, for the generator and the native figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/targets-common.sh

start=$(date +%s)
timed "wasm: packages" bash scripts/setup-debian.sh wasm
# The native build with its benchmarks: the reference output, the
# generator and the native figures.
[[ -f build/CMakeCache.txt ]] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake -S . -B build -DIMPORDANO_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build -j"$jobs"
command -v npm >/dev/null || { echo "test-wasm.sh: npm is needed for the browser tests" >&2; exit 1; }
# puppeteer-core drives the browsers Debian installed; it downloads none.
timed "wasm: npm ci" bash -c 'cd web/tests && npm ci --no-audit --no-fund --loglevel=error'

timed "wasm: configure" cmake -S . -B build-wasm -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/wasm32-emscripten.cmake" \
  -DIMPORDANO_GTEST_FROM_SOURCE=/usr/src/googletest -DIMPORDANO_BUILD_BENCHMARKS=ON \
  -DIMPORDANO_REFERENCE_BUILD="$PWD/build"
timed "wasm: build" cmake --build build-wasm -j"$jobs"
timed "wasm: tests" run_ctest build-wasm

viewer=build-wasm/impordano-viewer.html
size=$(stat -c %s "$viewer")
echo "impordano-viewer.html: $size bytes (at most 1572864)"
((size <= 1572864)) || { echo "test-wasm.sh: the viewer is larger than 1.5 MB" >&2; exit 1; }

# The import under Node and natively, each best of 3 on the same file.
bench=build-wasm/bench-files
mkdir -p "$bench"
for positions in 10000 100000; do
  file=$bench/generated-$positions.txt
  [[ -f $file ]] || build/bench/impordano_generate "$positions" "$file"
  native=$(build/bench/impordano_import_time "$file" 3)
  wasm=$(node build-wasm/bench/impordano_import_time.js "$file" 3)
  echo "native: $native"
  echo "wasm:   $wasm"
  awk -v n="${native##* best of 3: }" -v w="${wasm##* best of 3: }" -v p="$positions" \
    'BEGIN { printf "%d positions: wasm/native import time %.2f\n", p, w / n }'
done
printf '== wasm: %ds\n' $(($(date +%s) - start))
