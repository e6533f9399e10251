#!/usr/bin/env bash
# Runs a 32-bit Windows program under the 32-bit wine (wine32:i386); the
# i686 toolchain makes it CMake's cross-compiling emulator.
# Options as wine-run.sh describes:
#
#   wine32-run.sh [--prefix DIR] [--binary] PROGRAM.exe ARGS...
#   wine32-run.sh [--prefix DIR] --boot | --kill-server
exec "$(dirname "$0")/wine-run.sh" --arch win32 "$@"
