#!/usr/bin/env bash
# Makes the release packages from the builds that the presets test, with
# CPack's package presets (CMakePresets.json), in build-packages/:
#   impordano-VERSION-Linux-x86_64.tar.gz  the release preset's installed tree
#   impordano-VERSION-win32.zip            the mingw32 preset's: the product
#   impordano-VERSION-win64.zip            the mingw64 preset's
#   impordano-viewer-VERSION.html          the wasm preset's browser viewer,
#                                          which each package holds too
# each with NAME.sha256 beside it. VERSION is the project() version of
# CMakeLists.txt. CPack makes them from the install rules
# (cmake/Install.cmake, cmake/Packaging.cmake) and strips the binaries.
# scripts/test-packages.sh unpacks and checks them.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh release mingw32 mingw64 packages
# Packages of an earlier run, perhaps of another version, would be taken
# for this run's.
rm -f build-packages/impordano-*
# The viewer first: the packages take it from build-wasm.
cmake --preset wasm >/dev/null
cmake --build --preset wasm --target impordano_viewer
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-wasm/CMakeCache.txt)
mkdir -p build-packages
cp build-wasm/impordano-viewer.html "build-packages/impordano-viewer-$version.html"
(cd build-packages && sha256sum "impordano-viewer-$version.html" >"impordano-viewer-$version.html.sha256")
for preset in release mingw32 mingw64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  cpack --preset "$preset"
done
