#!/usr/bin/env bash
# Installs what building and testing impordano needs on Debian 12; runs
# apt-get only when a package is missing.
#
#   setup-debian.sh [PRESET...]    (no preset: the native build alone)
#
# The workflow presets of CMakePresets.json that need more: dev and release
# (Free Pascal for the Pascal host; release also headless chromium for the
# page in a browser), mingw32 (the 32-bit wine of Debian's i386 architecture,
# added when missing), mingw64, linux32 (qemu), fuzz (clang,
# llvm-symbolizer), valgrind, wasm (Emscripten, GoogleTest's sources,
# chromium and firefox-esr, and puppeteer-core from npm for the browser
# tests: node and npm must be there), viewer (Emscripten alone, to build the
# viewer), package-linux, package-win32 and package-win64 (as release,
# mingw32 and mingw64); and html and pascal, the labels of the tests that
# need chromium and Free Pascal; xlsx (LibreOffice Calc without a desktop,
# and openpyxl for Debian's /usr/bin/python3: the workbook checks, which
# the release preset runs).
#
# Every build of impordano-dump also needs Debian bookworm's source packages
# of libxlsxwriter and zlib, which CMake builds for the workbook: they are
# fetched with apt-get source into IMPORDANO_SOURCES_DIR (default
# ~/.cache/impordano/sources), after adding deb-src entries that mirror the
# machine's bookworm deb entries where there are none.
set -euo pipefail

# python3 runs the checks that are scripts, cloc counts the code.
packages=(cmake g++ make pkg-config libgtest-dev libbenchmark-dev nlohmann-json3-dev locales
          python3 cloc)
lean=()  # installed without what they only recommend
npm_tests=0
for preset in "$@"; do
  case "$preset" in
    no-tests|asan|package-linux) ;;
    dev|pascal) packages+=(fp-compiler fp-units-rtl) ;;
    release) packages+=(fp-compiler fp-units-rtl)
             lean+=(chromium libreoffice-calc-nogui python3-openpyxl) ;;
    mingw32|package-win32) packages+=(g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 googletest)
                           lean+=(wine32:i386) ;;
    mingw64|package-win64) packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64
                                      googletest) ;;
    linux32) packages+=(g++-multilib qemu-user-static googletest) ;;
    fuzz) packages+=(clang libclang-rt-14-dev llvm) ;;
    valgrind) packages+=(valgrind) ;;
    html) lean+=(chromium) ;;
    xlsx) lean+=(libreoffice-calc-nogui python3-openpyxl) ;;
    viewer) packages+=(googletest)
            lean+=(emscripten) ;;
    wasm) packages+=(googletest)
          lean+=(emscripten chromium firefox-esr)
          npm_tests=1 ;;
    *) echo "setup-debian.sh: unknown preset $preset" >&2; exit 2 ;;
  esac
done

missing() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
# puppeteer-core for the viewer's browser tests, at the version of its
# package-lock.json; it drives Debian's browsers and downloads none.
install_npm_tests() {
  ((npm_tests)) || return 0
  command -v npm >/dev/null || { echo "setup-debian.sh: wasm needs node and npm" >&2; exit 1; }
  local dir
  dir="$(dirname "$0")/../web/tests"
  [[ -d $dir/node_modules/puppeteer-core && $dir/node_modules/.package-lock.json -nt $dir/package-lock.json ]] ||
    (cd "$dir" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
}

sudo=""
[[ $(id -u) == 0 ]] || sudo=sudo

# deb-src entries for the bookworm suites of the deb entries, in both forms
# apt reads: deb822 stanzas (*.sources) and one-line entries (*.list).
add_deb_src() {
  local dir=/etc/apt/sources.list.d sources lines
  sources=$(awk 'BEGIN { RS = ""; ORS = "\n\n" }
    /(^|\n)Types:[^\n]*deb/ && /(^|\n)Suites:[^\n]*bookworm/ {
      sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' \
    "$dir"/*.sources 2>/dev/null || true)
  lines=$(cat /etc/apt/sources.list "$dir"/*.list 2>/dev/null |
    sed -nE 's/^deb((\s+\[[^]]*\])?\s+\S+\s+bookworm(-updates|-security)?\s.*)$/deb-src\1/p' || true)
  [[ -z $sources ]] || printf '%s' "$sources" | $sudo tee "$dir/impordano-deb-src.sources" >/dev/null
  [[ -z $lines ]] || printf '%s\n' "$lines" | $sudo tee "$dir/impordano-deb-src.list" >/dev/null
  if [[ -z $sources && -z $lines ]]; then
    echo "setup-debian.sh: no bookworm deb entry to mirror as deb-src" >&2
    exit 1
  fi
}

# The upstream tarballs of the two source packages; CMake checks their
# SHA-256 and unpacks them (third_party/CMakeLists.txt).
fetch_sources() {
  local dir=${IMPORDANO_SOURCES_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/impordano/sources}
  [[ -f $dir/libxlsxwriter_1.1.4.orig.tar.gz && -f $dir/zlib_1.2.13.dfsg.orig.tar.bz2 ]] && return 0
  if ! grep -Eqs '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
      /etc/apt/sources.list.d/*.sources; then
    add_deb_src
  fi
  $sudo apt-get update
  mkdir -p "$dir"
  # bookworm's own versions: a security suite may list a newer one that its
  # archive no longer keeps the source of; the upstream tarballs are the same.
  (cd "$dir" && apt-get source --download-only libxlsxwriter/bookworm zlib/bookworm)
}

mapfile -t full < <(missing "${packages[@]}")
mapfile -t bare < <(missing "${lean[@]}")
if ((${#full[@]} + ${#bare[@]} == 0)); then
  fetch_sources
  install_npm_tests
  exit 0
fi
# i386 packages need their architecture known before apt-get update. They
# and chromium come without what they only recommend: sound, graphics and
# printing for the 32-bit wine (some 110 packages instead of 480), a desktop
# for chromium; programs without windows use none of it.
if [[ " ${bare[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update
export DEBIAN_FRONTEND=noninteractive
((${#full[@]} == 0)) || $sudo apt-get install -y "${full[@]}"
((${#bare[@]} == 0)) || $sudo apt-get install -y --no-install-recommends "${bare[@]}"
fetch_sources
install_npm_tests
