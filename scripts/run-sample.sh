#!/usr/bin/env bash
# Sets up, builds the module and impordano-dump, and shows what the module
# makes of the house-renovation sample: one JSON object a record.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs" --target impordano-dump
echo
echo "== build/src/impordano-dump samples/house.txt"
build/src/impordano-dump samples/house.txt
