#!/usr/bin/env bash
# The 64-bit Windows build in build-mingw64: the DLL, impordano-dump and
# the suite, all run under wine64. impordano-dump loads the module by
# LoadLibrary and calls it through GetProcAddress, as the real host does;
# its output is compared byte for byte with the native Linux build's.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/targets-common.sh

timed "wine64: packages" bash scripts/setup-debian.sh wine64
ensure_native_build

dir=build-mingw64
wine=(cmake/toolchains/wine64-run.sh --prefix "$PWD/$dir/wineprefix")
# The wine server outlives the programs by a few seconds; end it with us.
trap '"${wine[@]}" --kill-server || true' EXIT

timed "wine64: configure" cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-w64-mingw32.cmake \
  -DIMPORDANO_GTEST_FROM_SOURCE=/usr/src/googletest \
  -DIMPORDANO_REFERENCE_BUILD="$PWD/build"
# The first start of a wine prefix takes about ten seconds; do it once here
# rather than inside the build's test discovery.
timed "wine64: first start" "${wine[@]}" --boot
timed "wine64: build" cmake --build "$dir" -j"$jobs"

timed "wine64: tests" run_ctest "$dir"
echo "== wine64: $(test_count "$dir") tests passed"
