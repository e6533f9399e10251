#!/usr/bin/env bash
# Runs a 32-bit Windows program under the 32-bit wine (wine32:i386); its
# toolchain makes it CMake's cross-compiling emulator. Options: wine-run.sh.
exec "$(dirname "$0")/wine-run.sh" --arch win32 "$@"
