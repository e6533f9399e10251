#!/usr/bin/env bash
# Writes the generated sample, an estimate that brings every kind of token
# the module hands out, progress reports included: 2,000 positions (about
# 2 MB, from impordano_generate) after 3,000 blank lines. The module reads
# the whole file at its first ImpGetNextToken and reports progress only
# where it moved more than 5,000 bytes on without a record to hand out: so
# a report comes first when the file header lies that deep in the file,
# whatever the file's size. Written at test time, never committed.
#
#   write-generated-sample.sh FILE
#
# Uses build/bench/impordano_generate when a native build made it (with
# -DIMPORDANO_BUILD_BENCHMARKS=ON), else compiles the generator beside FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
file=$1
generator=build/bench/impordano_generate
if [[ ! -x $generator ]]; then
  generator=$(dirname "$file")/impordano_generate
  c++ -std=c++17 -O2 -Ibench -o "$generator" bench/generate_estimate.cc bench/estimate_generator.cc
fi
body=$(mktemp)
trap 'rm -f "$body"' EXIT
"$generator" 2000 "$body"
{ for ((i = 0; i < 3000; ++i)); do printf '\r\n'; done; cat "$body"; } >"$file"
