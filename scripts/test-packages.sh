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
#   find_package and runs under the 32-bit wine;
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
  expect_listing "$root" README.txt bin include lib samples
  expect_listing "$root/bin" impordano.dll impordano-dump.exe
  expect_files include/impordano.h lib/libimpordano.dll.a lib/impordano.def \
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

windows_zip 64

file=$out/impordano-$version-Linux-x86_64.tar.gz
[[ -f $file ]] || fail "no $file"
echo "== packages: tar tzf $(basename "$file")"
tar tzf "$file"
unpack "$file"
expect_listing "$root" bin include lib share
expect_listing "$root/bin" impordano-dump
expect_files include/impordano.h lib/libimpordano.so "lib/libimpordano.so.$version" \
  lib/cmake/impordano/impordanoConfig.cmake lib/pkgconfig/impordano.pc \
  share/doc/impordano/README.txt
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
