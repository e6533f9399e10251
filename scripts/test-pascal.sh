#!/usr/bin/env bash
# The Pascal unit include/impordano.pas with Debian's Free Pascal on Linux
# x86-64: tests/pascal/pascal_host.pas, built against the unit (which does
# not compile when a record's size or a field's offset is wrong), loads
# build/src/libimpordano.so and imports both samples and the generated one
# (scripts/write-generated-sample.sh); scripts/check-host-output.py holds
# what it prints to what impordano-dump shows for the same file. The C
# sample host, samples/host.c, is held to the same natively.
#
# Uses the release preset's build, brought up to date here. The unit's i386-win32 build is not tried: Debian ships
# no 32-bit Windows units for Free Pascal.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh pascal
[[ -f build/CMakeCache.txt ]] || cmake --preset release
cmake --build --preset release

out=$PWD/build/pascal-check
rm -rf "$out"
mkdir -p "$out/units"
tool=build/src/impordano-dump

fpc -v0ew -Sew -Fuinclude -Flbuild/src -FU"$out/units" -FE"$out" \
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
  said=$(python3 scripts/check-host-output.py \
    "$out/$name.describe.jsonl" "$out/$name.jsonl" "$out/$name.pascal.out" "$progress") ||
    { echo "pascal: pascal_host $name.txt: $said" >&2; exit 1; }
  echo "pascal: pascal_host $name.txt: $said"
  "$out/host" "$input" >"$out/$name.c.out"
  said=$(python3 scripts/check-host-output.py \
    "$out/$name.describe.jsonl" "$out/$name.jsonl" "$out/$name.c.out" "$progress") ||
    { echo "pascal: samples/host.c $name.txt: $said" >&2; exit 1; }
  echo "pascal: samples/host.c $name.txt: $said"
  checks=$((checks + 2))
done
echo "== pascal: $checks host runs agree with impordano-dump"
