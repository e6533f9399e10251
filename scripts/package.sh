#!/usr/bin/env bash
# Makes the release packages, each from a build of its own:
#   impordano-VERSION-win32.zip            impordano.dll for 32-bit Windows (the product)
#   impordano-VERSION-win64.zip            the same for 64-bit Windows
#   impordano-VERSION-Linux-x86_64.tar.gz  the installed tree of a Linux build
#   impordano-viewer-VERSION.html          the browser viewer, also inside each
# and NAME.sha256 beside each, in build-packages/ (or $IMPORDANO_PACKAGE_DIR).
# VERSION is the project() version of CMakeLists.txt. CPack makes them from
# the install rules (cmake/Install.cmake, cmake/Packaging.cmake). The builds
# are RelWithDebInfo like the tested ones, without the tests; CPack strips
# the debug information from the packaged binaries.
# scripts/test-packages.sh unpacks and checks them.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/targets-common.sh

out=${IMPORDANO_PACKAGE_DIR:-build-packages}
mkdir -p "$out"
out=$(cd "$out" && pwd)

timed "package: packages" bash scripts/setup-debian.sh packages

# Packages of an earlier run, perhaps of another version, would be taken for
# this run's.
rm -f "$out"/impordano-*.zip "$out"/impordano-*.tar.gz "$out"/impordano-*.sha256 \
  "$out"/impordano-viewer-*.html

# logged LOG COMMAND...: runs the command with its output in LOG, shown
# only when it fails.
logged() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { cat "$log" >&2; return 1; }
}

# The viewer first: every package ships it, and it is a release file of its
# own.
timed "package viewer: packages" bash scripts/setup-debian.sh viewer
timed "package viewer: configure" logged "$out/wasm.configure.log" \
  cmake -S . -B "$out/wasm" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/wasm32-emscripten.cmake"
timed "package viewer: build" logged "$out/wasm.build.log" \
  cmake --build "$out/wasm" -j"$jobs" --target impordano_viewer
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/wasm/CMakeCache.txt")
viewer=$out/impordano-viewer-$version.html
cp "$out/wasm/impordano-viewer.html" "$viewer"
(cd "$out" && sha256sum "$(basename "$viewer")" >"$(basename "$viewer").sha256")

# package NAME [CMAKE ARGUMENT...]: configures and builds $out/NAME, then
# lets CPack write its package into $out.
package() {
  local name=$1 dir="$out/$1"
  shift
  timed "package $name: configure" logged "$dir.configure.log" \
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF -DIMPORDANO_BUILD_TOOLS=ON -DIMPORDANO_VIEWER_HTML="$viewer" "$@"
  timed "package $name: build" logged "$dir.build.log" cmake --build "$dir" -j"$jobs"
  timed "package $name: cpack" logged "$dir.cpack.log" \
    cpack --config "$dir/CPackConfig.cmake" -B "$out"
}
package linux
package win32 -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/i686-w64-mingw32.cmake"
package win64 -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/x86_64-w64-mingw32.cmake"

echo "== packages in $out"
(cd "$out" && ls -l impordano-*.zip impordano-*.tar.gz impordano-viewer-*.html &&
  cat impordano-*.sha256)
