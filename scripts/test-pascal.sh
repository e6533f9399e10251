#!/usr/bin/env bash
# The Pascal unit include/impordano.pas with Debian's Free Pascal on Linux
# x86-64: tests/pascal/pascal_host.pas, built against the unit (which does
# not compile when a record's size or a field's offset is wrong), loads
# build/src/libimpordano.so and imports both samples and the generated one
# (scripts/write-generated-sample.sh); scripts/check-host-output.py holds
# what it prints to what impordano-dump shows for the same file. The C
# sample host, samples/host.c, is held to the same natively.
#
# Needs the native build (run-tests.sh makes it; run on its own, this
# script builds it). The unit's i386-win32 build is not tried: Debian ships
# no 32-bit Windows units for Free Pascal.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/targets-common.sh

timed "pascal: packages" bash scripts/setup-debian.sh pascal
ensure_native_build

out=$PWD/build/pascal-check
rm -rf "$out"
mkdir -p "$out/units"
tool=build/src/impordano-dump

timed "pascal: compile" fpc -v0ew -Sew -Fuinclude -Flbuild/src -FU"$out/units" -FE"$out" \
  tests/pascal/pascal_host.pas >"$out/fpc.log" || { cat "$out/fpc.log" >&2; exit 1; }
cc -std=c11 -Wall -Wextra -pedantic -Werror -Iinclude -o "$out/host" samples/host.c \
  -Lbuild/src -limpordano -Wl,-rpath,"$PWD/build/src"
bash scripts/write-generated-sample.sh "$out/generated.txt"

checks=0
for input in samples/fence.txt samples/house.txt "$out/generated.txt"; do
  name=$(basename "$input" .txt)
  progress=0
  [[ $name == generated ]] && progress=1
  "$tool" --describe "$input" >"$out/$name.describe.jsonl"
  "$tool" "$input" >"$out/$name.jsonl"
  LD_LIBRARY_PATH=$PWD/build/src "$out/pascal_host" "$input" >"$out/$name.pascal.out"
  echo "pascal: pascal_host $name.txt: $(python3 scripts/check-host-output.py \
    "$out/$name.describe.jsonl" "$out/$name.jsonl" "$out/$name.pascal.out" "$progress")"
  "$out/host" "$input" >"$out/$name.c.out"
  echo "pascal: samples/host.c $name.txt: $(python3 scripts/check-host-output.py \
    "$out/$name.describe.jsonl" "$out/$name.jsonl" "$out/$name.c.out" "$progress")"
  checks=$((checks + 2))
done
echo "== pascal: $checks host runs agree with impordano-dump"
