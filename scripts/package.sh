#!/usr/bin/env bash
# Makes the release packages, each from a build of its own:
#   impordano-VERSION-win32.zip            impordano.dll for 32-bit Windows (the product)
#   impordano-VERSION-win64.zip            the same for 64-bit Windows
#   impordano-VERSION-Linux-x86_64.tar.gz  the installed tree of a Linux build
# and NAME.sha256 beside each, in build-packages/ (or $IMPORDANO_PACKAGE_DIR).
# VERSION is the project() version of CMakeLists.txt. CPack makes them from
# the install rules (cmake/Install.cmake, cmake/Packaging.cmake). The builds
# are RelWithDebInfo like the tested ones, without the tests; CPack strips
# the debug information from the packaged binaries.
# scripts/test-packages.sh unpacks and checks them.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${IMPORDANO_JOBS:-$(nproc)}

out=${IMPORDANO_PACKAGE_DIR:-build-packages}
mkdir -p "$out"
out=$(cd "$out" && pwd)

bash scripts/setup-debian.sh packages

# Packages of an earlier run, perhaps of another version, would be taken for
# this run's.
rm -f "$out"/impordano-*.zip "$out"/impordano-*.tar.gz "$out"/impordano-*.sha256

# logged LOG COMMAND...: runs the command with its output in LOG, shown
# only when it fails, and prints how long it took.
logged() {
  local log=$1 start=$SECONDS
  shift
  "$@" >"$log" 2>&1 || { cat "$log" >&2; return 1; }
  echo "$(basename "$log" .log): $((SECONDS - start))s"
}

# package NAME [CMAKE ARGUMENT...]: configures and builds $out/NAME, then
# lets CPack write its package into $out.
package() {
  local name=$1 dir="$out/$1"
  shift
  logged "$dir.configure.log" cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF -DIMPORDANO_BUILD_TOOLS=ON "$@"
  logged "$dir.build.log" cmake --build "$dir" -j"$jobs"
  logged "$dir.cpack.log" cpack --config "$dir/CPackConfig.cmake" -B "$out"
}
package linux
package win32 -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/i686-w64-mingw32.cmake"
package win64 -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/x86_64-w64-mingw32.cmake"

echo "== packages in $out"
(cd "$out" && ls -l impordano-*.zip impordano-*.tar.gz && cat impordano-*.sha256)
