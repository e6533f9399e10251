#!/usr/bin/env bash
# Makes the release packages in build-packages/, each with NAME.sha256
# beside it, and checks them:
#   impordano-VERSION-Linux-x86_64.tar.gz  from the release preset's build
#   impordano-VERSION-win32.zip            from the mingw32 preset's: the product
#   impordano-VERSION-win64.zip            from the mingw64 preset's
#   impordano-viewer-VERSION.html          the browser viewer, which every
#                                          package holds too
# through the workflow presets viewer (the wasm build's viewer), then
# package-linux, package-win32 and package-win64: each brings its build up
# to date, makes its package with CPack from the install rules (the
# binaries stripped) and runs the package checks (tests/package) on it.
# VERSION is the project() version of CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

workflows="viewer package-linux package-win32 package-win64"
bash scripts/setup-debian.sh $workflows
# Packages of an earlier run, perhaps of another version, would be taken
# for this run's.
rm -f build-packages/impordano-*
for workflow in $workflows; do
  cmake --workflow --preset "$workflow"
done
