#!/usr/bin/env bash
# Runs a 64-bit Windows program under wine64; its toolchain
# makes it CMake's cross-compiling emulator. Options: wine-run.sh.
exec "$(dirname "$0")/wine-run.sh" --arch win64 "$@"
