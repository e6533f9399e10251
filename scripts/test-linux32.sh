#!/usr/bin/env bash
# The whole suite in a 32-bit process: a -m32 build in build-linux32 with
# GoogleTest built from source with the same flags. ctest and
# gtest_discover_tests start every test under qemu-i386-static (the
# toolchain's CMAKE_CROSSCOMPILING_EMULATOR), whether or not the kernel runs
# 32-bit programs itself. impordano-dump's output is compared with the
# native 64-bit build's.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/targets-common.sh

timed "linux32: packages" bash scripts/setup-debian.sh linux32
ensure_native_build

dir=build-linux32
timed "linux32: configure" cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/linux-i386.cmake \
  -DIMPORDANO_GTEST_FROM_SOURCE=/usr/src/googletest \
  -DIMPORDANO_REFERENCE_BUILD="$PWD/build"
timed "linux32: build" cmake --build "$dir" -j"$jobs"
file "$dir/src/libimpordano.so"

timed "linux32: tests" run_ctest "$dir"
echo "== linux32: $(test_count "$dir") tests passed"
