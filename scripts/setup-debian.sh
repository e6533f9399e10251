#!/usr/bin/env bash
# Installs what building and testing impordano needs on Debian 12.
# Runs apt-get only when a package is missing, so a second run is quick.
#
#   setup-debian.sh [TARGET...]
#
# Without a target it installs what the native build needs. The targets add
# their cross tools: windows-dll (the 32-bit DLL, run under the 32-bit wine
# of Debian's i386 architecture, which is added when missing), linux32 (the
# -m32 build run under qemu) and wine64 (the 64-bit Windows build run under
# wine64); fuzz adds clang with libFuzzer and the sanitizer runtimes,
# valgrind adds valgrind; packages adds what scripts/package.sh and
# test-packages.sh need beyond those: both MinGW-w64 compilers, unzip, and
# python3 for the sample host's check;
# html adds chromium (without what it only recommends) and python3 for the
# browser check of impordano-dump's pages; pascal adds Free Pascal (compiler
# and run-time units) and python3 for the Pascal host's check; viewer adds
# Emscripten (without what it only recommends), which builds the browser
# viewer; wasm adds Emscripten, GoogleTest's sources for the suite,
# and chromium and firefox-esr (without what they only recommend) for the
# viewer's browser tests, which also need node and npm.
# IMPORDANO_ALL_TARGETS=1 adds them all.
set -euo pipefail

packages=(
  cmake g++ make pkg-config libgtest-dev libbenchmark-dev nlohmann-json3-dev
  locales
)
lean=()  # installed without what they only recommend
targets=("$@")
if [[ "${IMPORDANO_ALL_TARGETS:-0}" == 1 ]]; then
  targets+=(windows-dll linux32 wine64 fuzz valgrind packages html pascal wasm)
fi
for target in "${targets[@]}"; do
  case "$target" in
    native) ;;
    windows-dll)
      packages+=(g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 wine32:i386 googletest) ;;
    linux32)
      packages+=(g++-multilib qemu-user-static googletest) ;;
    wine64)
      packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 googletest) ;;
    fuzz)
      # llvm: llvm-symbolizer, which names the source lines in reports.
      packages+=(clang libclang-rt-14-dev llvm) ;;
    valgrind)
      packages+=(valgrind) ;;
    packages)
      packages+=(g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
                 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 unzip python3) ;;
    html)
      lean+=(chromium python3) ;;
    pascal)
      packages+=(fp-compiler fp-units-rtl python3) ;;
    viewer)
      lean+=(emscripten) ;;
    wasm)
      packages+=(googletest)
      lean+=(emscripten chromium firefox-esr) ;;
    *)
      echo "setup-debian.sh: unknown target $target" >&2
      exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}" "${lean[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) == 0 ]] || sudo="sudo"
  # Packages named PACKAGE:i386 come from the i386 architecture, which dpkg
  # must know before apt-get update reads its lists. They and chromium are
  # installed without what they only recommend: for the 32-bit wine that is
  # sound, graphics and printing, which programs without windows never use
  # (the install shrinks from some 480 packages to some 110), and headless
  # chromium needs no desktop either.
  full=() bare=()
  for p in "${missing[@]}"; do
    if [[ $p == *:i386 || " ${lean[*]} " == *" $p "* ]]; then bare+=("$p"); else full+=("$p"); fi
  done
  if [[ " ${bare[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update
  if ((${#full[@]})); then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${full[@]}"
  fi
  if ((${#bare[@]})); then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${bare[@]}"
  fi
fi
