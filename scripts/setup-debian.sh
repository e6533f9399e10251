#!/usr/bin/env bash
# Installs what building and testing impordano needs on Debian 12.
# Runs apt-get only when a package is missing, so a second run is quick.
set -euo pipefail

packages=(
  cmake g++ make pkg-config libgtest-dev libbenchmark-dev nlohmann-json3-dev
  locales
)
if [[ "${IMPORDANO_ALL_TARGETS:-0}" == 1 ]]; then
  packages+=(g++-multilib g++-mingw-w64-i686 g++-mingw-w64-x86-64 qemu-user-static wine64)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) == 0 ]] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi
