#!/usr/bin/env bash
# Sets up, builds and runs every test of impordano: the native build, then
# the other targets (see "Platforms" and "Reliability" in README.md). Each
# part prints how long it took; the last lines count the tests that passed
# in each build and in all of them.
#
# IMPORDANO_TARGETS="sanitizers valgrind fuzz windows-dll linux32 wine64
# pascal wasm packages" chooses the other targets (empty: native only); pascal
# runs a Free Pascal host through include/impordano.pas
# (scripts/test-pascal.sh); packages makes the release packages and checks
# them unpacked, the sample host among them (scripts/test-packages.sh);
# wasm builds for WebAssembly and tests the viewer in two browsers
# (scripts/test-wasm.sh).
# IMPORDANO_FUZZ_SECONDS sets how long the fuzz target runs (default 180).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/targets-common.sh

start=$(date +%s)
targets=${IMPORDANO_TARGETS-sanitizers valgrind fuzz windows-dll linux32 wine64 pascal wasm packages}

timed "native: packages" bash scripts/setup-debian.sh native
timed "native: configure" cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DIMPORDANO_BUILD_BENCHMARKS=ON
timed "native: build" cmake --build build -j"$jobs"
timed "native: tests" run_ctest build
# Speed and memory of whole imports on small generated estimates, and the
# tallies' throughput: figures for the record, nothing asserted.
timed "native: benchmarks" bash -c 'build/bench/impordano_speed --smoke --dir build &&
  build/bench/impordano_bench --benchmark_min_time=0.05'
# impordano-dump's HTML pages in a real browser (headless chromium).
bash scripts/test-html.sh

# The library and the tool as a build without tests makes them: GoogleTest
# must not be needed (-DBUILD_TESTING=OFF, the CTest convention).
timed "no tests: configure" cmake -S . -B build-notest -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
timed "no tests: build" cmake --build build-notest -j"$jobs"

dirs=(build)
for target in $targets; do
  case "$target" in
    sanitizers) bash scripts/test-sanitizers.sh; dirs+=(build-asan) ;;
    valgrind) bash scripts/test-valgrind.sh; dirs+=(build-valgrind) ;;
    fuzz) bash scripts/test-fuzz.sh ;;
    windows-dll) bash scripts/test-windows-dll.sh; dirs+=(build-mingw32) ;;
    linux32) bash scripts/test-linux32.sh; dirs+=(build-linux32) ;;
    wine64) bash scripts/test-wine64.sh; dirs+=(build-mingw64) ;;
    pascal) bash scripts/test-pascal.sh ;;
    wasm) bash scripts/test-wasm.sh; dirs+=(build-wasm) ;;
    packages) bash scripts/test-packages.sh ;;
    *) echo "run-tests.sh: unknown target $target" >&2; exit 2 ;;
  esac
done

total=0
for dir in "${dirs[@]}"; do
  count=$(test_count "$dir")
  printf '%-14s %5d tests passed\n' "$dir" "$count"
  total=$((total + count))
done
printf 'all builds: %ds\n' $(($(date +%s) - start))
echo "total: $total passed, 0 failed"
