#!/usr/bin/env bash
# Sets up, builds and runs every test of impordano: the native build, then
# the three other targets (see "Platforms" in README.md). Each part prints
# how long it took; the last line counts the tests of all builds.
#
# IMPORDANO_TARGETS="sanitizers windows-dll linux32 wine64 packages" chooses
# the other targets (empty: native only); packages makes the release packages
# and checks them unpacked (scripts/test-packages.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/targets-common.sh

start=$(date +%s)
targets=${IMPORDANO_TARGETS-sanitizers windows-dll linux32 wine64 packages}

timed "native: packages" bash scripts/setup-debian.sh native
timed "native: configure" cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DIMPORDANO_BUILD_BENCHMARKS=ON
timed "native: build" cmake --build build -j"$jobs"
timed "native: tests" ctest --test-dir build --output-on-failure -j"$jobs"
# Speed and memory of whole imports on small generated estimates, and the
# tallies' throughput: figures for the record, nothing asserted.
timed "native: benchmarks" bash -c 'build/bench/impordano_speed --smoke --dir build &&
  build/bench/impordano_bench --benchmark_min_time=0.05' 

dirs=(build)
for target in $targets; do
  case "$target" in
    sanitizers) bash scripts/test-sanitizers.sh ;;
    windows-dll) bash scripts/test-windows-dll.sh; dirs+=(build-mingw32) ;;
    linux32) bash scripts/test-linux32.sh; dirs+=(build-linux32) ;;
    wine64) bash scripts/test-wine64.sh; dirs+=(build-mingw64) ;;
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
