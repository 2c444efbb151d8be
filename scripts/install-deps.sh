#!/usr/bin/env bash
# Installs the Debian 12 packages Tumbla needs to build, run and test, asking
# apt only for what is missing (through sudo when not run as root).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool openbox dpkg-dev file
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
