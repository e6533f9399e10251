#!/usr/bin/env bash
# Installs what building and testing impordano needs on Debian 12; runs
# apt-get only when a package is missing.
#
#   setup-debian.sh [PRESET...]    (no preset: the native build alone)
#
# The presets of CMakePresets.json that need more: mingw32 (the 32-bit wine
# of Debian's i386 architecture, added when missing), mingw64, linux32
# (qemu), fuzz (clang, llvm-symbolizer), valgrind; and two checks: packages
# (both MinGW-w64 compilers, unzip), html (headless chromium, python3).
set -euo pipefail

packages=(cmake g++ make pkg-config libgtest-dev libbenchmark-dev nlohmann-json3-dev locales)
lean=()  # installed without what they only recommend
for preset in "$@"; do
  case "$preset" in
    dev|release|no-tests|asan|benchmarks) ;;
    mingw32) packages+=(g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 googletest)
             lean+=(wine32:i386) ;;
    mingw64) packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 googletest) ;;
    linux32) packages+=(g++-multilib qemu-user-static googletest) ;;
    fuzz) packages+=(clang libclang-rt-14-dev llvm) ;;
    valgrind) packages+=(valgrind) ;;
    packages) packages+=(g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
                         g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 unzip) ;;
    html) lean+=(chromium python3) ;;
    *) echo "setup-debian.sh: unknown preset $preset" >&2; exit 2 ;;
  esac
done

missing() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t full < <(missing "${packages[@]}")
mapfile -t bare < <(missing "${lean[@]}")
((${#full[@]} + ${#bare[@]})) || exit 0
sudo=""
[[ $(id -u) == 0 ]] || sudo=sudo
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
