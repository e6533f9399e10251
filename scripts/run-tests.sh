#!/usr/bin/env bash
# Sets up, builds and runs every test of impordano.
set -euo pipefail
cd "$(dirname "$0")/.."

IMPORDANO_ALL_TARGETS=1 bash scripts/setup-debian.sh

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
