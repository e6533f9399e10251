#!/usr/bin/env bash
# Runs a 64-bit Windows program under wine64; the x86_64 toolchain makes
# it CMake's cross-compiling emulator.
# Options as wine-run.sh describes:
#
#   wine64-run.sh [--prefix DIR] [--binary] PROGRAM.exe ARGS...
#   wine64-run.sh [--prefix DIR] --boot | --kill-server
exec "$(dirname "$0")/wine-run.sh" --arch win64 "$@"
