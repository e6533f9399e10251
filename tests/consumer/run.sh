#!/usr/bin/env bash
# Installs a built tree into a fresh prefix and builds the consumer against
# it twice, through find_package(impordano) and through pkg-config; runs
# both, and the installed impordano-dump, on an estimate file.
# Usage: run.sh BUILD_DIR WORK_DIR C_COMPILER ESTIMATE_FILE
set -euo pipefail
build=$1 work=$2 cc=$3 sample=$4
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log"

echo "== find_package(impordano)"
cmake -S "$here" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_COMPILER="$cc" >"$work/cmake-configure.log"
cmake --build "$work/cmake" >"$work/cmake-build.log"
"$work/cmake/consumer" "$sample"

echo "== pkg-config impordano"
pc=$(find "$prefix" -name impordano.pc)
export PKG_CONFIG_PATH=$(dirname "$pc")
read -r -a flags <<<"$(pkg-config --cflags --libs impordano)"
"$cc" -std=c11 -Wall -Wextra -pedantic -Werror -o "$work/consumer-pc" "$here/consumer.c" "${flags[@]}" \
  -Wl,-rpath,"$(pkg-config --variable=libdir impordano)"
"$work/consumer-pc" "$sample"

echo "== installed impordano-dump"
"$prefix/bin/impordano-dump" "$sample" >"$work/dump.jsonl"
head -n 1 "$work/dump.jsonl"
grep -q '"record":"EstimateRecord"' "$work/dump.jsonl"
