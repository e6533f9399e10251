#!/usr/bin/env bash
# The product: impordano.dll for 32-bit Windows, cross-built with MinGW-w64
# into build-mingw32 and run under the 32-bit wine (wine32:i386): the whole
# GoogleTest suite, built with the DLL's own compiler; impordano-dump.exe,
# which loads the DLL by LoadLibrary and GetProcAddress as the host does and
# must print byte for byte what the native build prints; and the checks of
# the DLL's export and import tables (tests/platform/check_dll_tables.cmake).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/targets-common.sh

timed "windows-dll: packages" bash scripts/setup-debian.sh windows-dll
ensure_native_build
# Without the 32-bit wine the toolchain builds the DLL alone, unrun.
if [[ ! -x /usr/lib/wine/wine ]]; then
  echo "windows-dll: no 32-bit wine in /usr/lib/wine/wine after installing wine32:i386" >&2
  exit 1
fi

dir=build-mingw32
wine=(cmake/toolchains/wine32-run.sh --prefix "$PWD/$dir/wineprefix")
# The wine server outlives the programs by a minute; end it with us.
trap '"${wine[@]}" --kill-server || true' EXIT

timed "windows-dll: configure" cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/i686-w64-mingw32.cmake \
  -DIMPORDANO_BUILD_TOOLS=ON \
  -DIMPORDANO_GTEST_FROM_SOURCE=/usr/src/googletest \
  -DIMPORDANO_REFERENCE_BUILD="$PWD/build"
# Creating the prefix takes seconds; do it once here rather than inside the
# build's test discovery.
timed "windows-dll: first start" "${wine[@]}" --boot
timed "windows-dll: build" cmake --build "$dir" -j"$jobs"

echo "== windows-dll: export and import tables of $dir/src/impordano.dll"
i686-w64-mingw32-objdump -p "$dir/src/impordano.dll" > "$dir/impordano.dll.txt"
sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' "$dir/impordano.dll.txt"
sed -n 's/^\tDLL Name: /imports /p' "$dir/impordano.dll.txt"

timed "windows-dll: tests" run_ctest "$dir" | tee "$dir/ctest.log"
# The comma-locale test skips where no Polish locale exists; Windows has it
# built in, so here it must have run. The comparisons of impordano-dump with
# the native build must have run too.
for test in 'Numbers\.ImportUnderACommaLocale' 'platform\.same_output\.impordano-dump\.house'; do
  if ! grep -Eq " $test \.+ +Passed" "$dir/ctest.log"; then
    echo "windows-dll: ${test//\\/} did not pass under wine32" >&2
    exit 1
  fi
done
echo "== windows-dll: $(test_count "$dir") tests passed"
