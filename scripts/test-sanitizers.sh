#!/usr/bin/env bash
# The test suite built with AddressSanitizer (with its leak checker) and
# UndefinedBehaviorSanitizer: any out-of-bounds access, leak or undefined
# operation fails the run. Only the suite's own binary: the shared library
# and the tools need the sanitizer runtime loaded first, which a host is not.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/targets-common.sh

timed "sanitizers: configure" cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug \
  -DIMPORDANO_BUILD_TOOLS=OFF \
  "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
timed "sanitizers: build" cmake --build build-asan -j"$jobs" --target impordano_tests
timed "sanitizers: tests" env ASAN_OPTIONS=detect_leaks=1 \
  build-asan/tests/impordano_tests --gtest_brief=1 "$(gtest_report build-asan suite)"
echo "== sanitizers: $(test_count build-asan) tests passed"
