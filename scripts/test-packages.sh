#!/usr/bin/env bash
# Makes the release packages (scripts/package.sh) and checks each one as a
# host developer gets it: its SHA-256 file agrees, its name carries the
# version of CMakeLists.txt, and unpacked into a fresh folder it holds the
# installed tree (the module, impordano-dump, the header, the import
# library and .def file on Windows, the CMake and pkg-config files, every
# sample with its JSON Lines, README.txt). Then, from the unpacked tree:
# - win32, win64: the DLL and impordano-dump.exe carry the project's
#   version in their version resource; impordano-dump.exe, under the 32-bit
#   wine or wine64, prints for every sample exactly the sample's JSON Lines;
#   for win32 a C host (tests/consumer) is built with MinGW through
#   find_package and runs under the 32-bit wine; the sample host
#   (samples/host.c) is built with the MinGW line of README.txt, runs under
#   the 32-bit wine on both samples and a generated estimate that brings
#   every kind of token, progress included, and prints what the unpacked
#   impordano-dump.exe shows (scripts/check-host-output.py); it runs once
#   more on a sample under a path with Polish letters, in a Polish locale;
# - Linux: impordano-dump prints every sample's JSON Lines; tests/consumer
#   builds through find_package and through pkg-config, and runs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/package.sh
out=$PWD/build-packages
check=$out/check
src=$PWD

wine32=(cmake/toolchains/wine32-run.sh --prefix "$out/wine32")
wine64=(cmake/toolchains/wine64-run.sh --prefix "$out/wine64")
trap '"${wine32[@]}" --kill-server || true; "${wine64[@]}" --kill-server || true' EXIT

checks=0
ok() {
  checks=$((checks + 1))
  echo "ok: $*"
}
fail() {
  echo "test-packages.sh: $*" >&2
  exit 1
}

version=$(sed -n 's/^project(impordano VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || fail "no project(impordano VERSION ...) in CMakeLists.txt"
samples=()
for golden in samples/*.jsonl; do
  samples+=("$(basename "$golden" .jsonl)")
done

# unpack FILE: unpacks the package FILE into a fresh folder and sets root
# to the folder of the package's name inside it, the only thing there.
unpack() {
  local file=$1 name
  name=$(basename "$file")
  name=${name%.zip}
  name=${name%.tar.gz}
  (cd "$out" && sha256sum -c "$(basename "$file").sha256") || fail "$file: checksum differs"
  ok "$(basename "$file"): SHA-256 agrees"
  rm -rf "$check/$name"
  mkdir -p "$check/$name"
  (cd "$check/$name" && cmake -E tar xf "$file")
  [[ "$(ls -A "$check/$name")" == "$name" ]] || fail "$file: holds more than the folder $name"
  root=$check/$name/$name
}

# expect_listing DIR ENTRY...: DIR holds exactly these entries.
expect_listing() {
  local dir=$1 got want
  shift
  got=$(cd "$dir" && ls -A | LC_ALL=C sort | tr '\n' ' ')
  want=$(printf '%s\n' "$@" | LC_ALL=C sort | tr '\n' ' ')
  [[ $got == "$want" ]] || fail "$dir holds '$got', not '$want'"
}

# expect_files FILE...: each exists under $root.
expect_files() {
  local file
  for file in "$@"; do
    [[ -f "$root/$file" ]] || fail "$root: no $file"
  done
}

# expect_samples DIR RUN...: DIR holds every sample and its JSON Lines as in
# the source tree, and RUN (the unpacked impordano-dump, through its
# emulator) prints exactly those JSON Lines for each.
expect_samples() {
  local dir=$1 name
  shift
  for name in "${samples[@]}"; do
    cmp "$root/$dir/$name.txt" "samples/$name.txt" || fail "$dir/$name.txt differs from the source"
    cmp "$root/$dir/$name.jsonl" "samples/$name.jsonl" || fail "$dir/$name.jsonl differs from the source"
    "$@" "$root/$dir/$name.txt" >"$check/$name.out" || fail "$* $dir/$name.txt failed"
    cmp "$check/$name.out" "samples/$name.jsonl" || fail "$* $dir/$name.txt prints other than samples/$name.jsonl"
  done
  ok "$(basename "${@: -1}") prints each sample's JSON Lines: ${samples[*]}"
}

# expect_version RUN...: impordano-dump --version names the project's version.
expect_version() {
  local said
  said=$("$@" --version | head -n 1)
  [[ $said == "impordano-dump $version"* ]] || fail "$* --version says '$said'"
  ok "$said"
}

windows_zip() {
  local bits=$1 file
  file=$out/impordano-$version-win$bits.zip
  [[ -f $file ]] || fail "no $file"
  echo "== packages: unzip -l $(basename "$file")"
  unzip -l "$file"
  unpack "$file"
  expect_listing "$root" README.txt bin impordano-viewer.html include lib samples
  cmp "$root/impordano-viewer.html" "$out/impordano-viewer-$version.html" ||
    fail "win$bits: impordano-viewer.html is not the released viewer"
  expect_listing "$root/bin" impordano.dll impordano-dump.exe
  expect_files include/impordano.h include/impordano.pas samples/host.c \
    lib/libimpordano.dll.a lib/impordano.def \
    lib/cmake/impordano/impordanoConfig.cmake lib/cmake/impordano/impordanoConfigVersion.cmake \
    lib/cmake/impordano/impordanoTargets.cmake lib/pkgconfig/impordano.pc
  ok "win$bits: the tree holds what a host developer needs"
  local wine=(cmake/toolchains/wine$bits-run.sh --prefix "$out/wine$bits" --binary)
  expect_version "${wine[@]}" "$root/bin/impordano-dump.exe"
  # The version resource of the packaged binaries, read as Explorer reads it.
  local compiler=i686-w64-mingw32-gcc-win32 binary
  ((bits == 64)) && compiler=x86_64-w64-mingw32-gcc-posix
  "$compiler" -std=c11 -O1 -static -o "$check/version_info$bits.exe" \
    tests/platform/version_info.c -lversion
  for binary in impordano.dll impordano-dump.exe; do
    "${wine[@]}" "$check/version_info$bits.exe" "$root/bin/$binary" "$version" "$binary" |
      tr -d '\r' || fail "win$bits: the version resource of bin/$binary is missing or wrong"
    ok "win$bits: bin/$binary carries version $version"
  done
  expect_samples samples "${wine[@]}" "$root/bin/impordano-dump.exe"
}

"${wine32[@]}" --boot
"${wine64[@]}" --boot

windows_zip 32
# A host built against the unpacked tree with its CMake files and import
# library, run with the DLL beside it, as the README of the package says.
consumer=$check/consumer-win32
rm -rf "$consumer"
cmake -S tests/consumer -B "$consumer" \
  -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchains/i686-w64-mingw32.cmake" \
  -Dimpordano_DIR="$root/lib/cmake/impordano" >"$consumer.log"
cmake --build "$consumer" >>"$consumer.log"
cp "$root/bin/impordano.dll" "$consumer/"
"${wine32[@]}" "$consumer/consumer.exe" "$root/samples/house.txt"
ok "win32: a host linked through find_package and lib/libimpordano.dll.a runs"

# The sample host as README.txt builds it, the DLL beside it.
host=$check/host-win32
rm -rf "$host"
mkdir -p "$host"
(cd "$root" && i686-w64-mingw32-gcc -std=c11 -Wall -Wextra -pedantic -Werror \
  samples/host.c -Iinclude -Llib -limpordano -o "$host/host.exe")
cp "$root/bin/impordano.dll" "$host/"
bash scripts/write-generated-sample.sh "$host/generated.txt"
wine=("${wine32[@]}" --binary)
for input in "$root/samples/fence.txt" "$root/samples/house.txt" "$host/generated.txt"; do
  name=$(basename "$input" .txt)
  progress=0
  [[ $name == generated ]] && progress=1
  "${wine[@]}" "$root/bin/impordano-dump.exe" --describe "$input" >"$host/$name.describe.jsonl"
  "${wine[@]}" "$root/bin/impordano-dump.exe" "$input" >"$host/$name.jsonl"
  "${wine[@]}" "$host/host.exe" "$input" >"$host/$name.out" || fail "host.exe $name.txt failed"
  said=$(python3 scripts/check-host-output.py "$host/$name.describe.jsonl" "$host/$name.jsonl" \
    "$host/$name.out" "$progress") || fail "host.exe $name.txt: $said"
  ok "win32: samples/host.c under wine32, $name.txt: $said"
done
# A path with Polish letters in a Polish locale, where the ANSI code page is
# 1250: wine hands the program the path in Windows-1250, as Windows does,
# and the module opens it. Wine takes the code page from the glibc locale,
# which is made here (Debian's locales package holds its source).
mkdir -p "$host/locale"
localedef -i pl_PL -f UTF-8 "$host/locale/pl_PL.UTF-8" 2>/dev/null ||
  [[ -f "$host/locale/pl_PL.UTF-8/LC_CTYPE" ]] || fail "localedef cannot make pl_PL.UTF-8"
# The folder "Kosztorysy \u0141\u00f3d\u017a" and the file "\u017c\u00f3\u0142\u0107.txt", named in UTF-8
# on this file system; the program sees them in Windows-1250.
polish=$host/$'Kosztorysy \xc5\x81\xc3\xb3d\xc5\xba'/$'\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87.txt'
mkdir -p "$(dirname "$polish")"
cp "$root/samples/house.txt" "$polish"
LOCPATH=$host/locale LC_ALL=pl_PL.UTF-8 "${wine[@]}" "$host/host.exe" "$polish" \
  >"$host/polish-path.out" || fail "host.exe cannot import $polish"
cmp "$host/polish-path.out" "$host/house.out" || fail "host.exe prints other for $polish than for house.txt"
ok "win32: samples/host.c under wine32 in a Polish locale imports $polish"

windows_zip 64

file=$out/impordano-$version-Linux-x86_64.tar.gz
[[ -f $file ]] || fail "no $file"
echo "== packages: tar tzf $(basename "$file")"
tar tzf "$file"
unpack "$file"
expect_listing "$root" bin include lib share
expect_listing "$root/bin" impordano-dump
expect_files include/impordano.h include/impordano.pas share/impordano/samples/host.c \
  lib/libimpordano.so "lib/libimpordano.so.$version" \
  lib/cmake/impordano/impordanoConfig.cmake lib/pkgconfig/impordano.pc \
  share/doc/impordano/README.txt share/impordano/impordano-viewer.html
cmp "$root/share/impordano/impordano-viewer.html" "$out/impordano-viewer-$version.html" ||
  fail "Linux: impordano-viewer.html is not the released viewer"
(cd "$out" && sha256sum -c "impordano-viewer-$version.html.sha256" >/dev/null) ||
  fail "impordano-viewer-$version.html does not match its .sha256"
ok "Linux: the installed tree"
expect_version "$root/bin/impordano-dump"
expect_samples share/impordano/samples "$root/bin/impordano-dump"
consumer=$check/consumer-linux
rm -rf "$consumer"
cmake -S tests/consumer -B "$consumer" -DCMAKE_PREFIX_PATH="$root" >"$consumer.log"
cmake --build "$consumer" >>"$consumer.log"
"$consumer/consumer" "$root/share/impordano/samples/house.txt"
ok "Linux: tests/consumer built through find_package runs"
read -r -a flags <<<"$(PKG_CONFIG_PATH=$root/lib/pkgconfig pkg-config --cflags --libs impordano)"
cc -std=c11 -Wall -Wextra -pedantic -Werror -o "$consumer/consumer-pc" tests/consumer/consumer.c \
  "${flags[@]}" -Wl,-rpath,"$root/lib"
"$consumer/consumer-pc" "$root/share/impordano/samples/house.txt"
ok "Linux: tests/consumer built through pkg-config runs"

echo "== packages: $checks checks passed"
