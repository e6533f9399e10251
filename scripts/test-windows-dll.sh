#!/usr/bin/env bash
# The product: impordano.dll for 32-bit Windows, cross-built with MinGW-w64
# into build-mingw32. Its export and import tables are checked by ctest
# (tests/platform/check_dll_tables.cmake); every static_assert on the record
# layouts has compiled for a 32-bit target on the way. No 32-bit Windows
# program can run on this machine, so the suite itself runs in the linux32
# and wine64 builds.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/targets-common.sh

timed "windows-dll: packages" bash scripts/setup-debian.sh windows-dll

dir=build-mingw32
timed "windows-dll: configure" cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/i686-w64-mingw32.cmake \
  -DIMPORDANO_BUILD_TOOLS=OFF
timed "windows-dll: build" cmake --build "$dir" -j"$jobs"

echo "== windows-dll: export and import tables of $dir/src/impordano.dll"
i686-w64-mingw32-objdump -p "$dir/src/impordano.dll" > "$dir/impordano.dll.txt"
sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' "$dir/impordano.dll.txt"
sed -n 's/^\tDLL Name: /imports /p' "$dir/impordano.dll.txt"

timed "windows-dll: tests" run_ctest "$dir"
echo "== windows-dll: $(test_count "$dir") tests passed"
