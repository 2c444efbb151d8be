#!/usr/bin/env bash
# Installs the Debian 12 packages Tumbla needs, asking apt only for what is
# missing (through sudo when not run as root).
#   install-deps.sh play   what building and playing the game needs
#   install-deps.sh        everything the tests need as well
# The Windows cross build and its smoke test under Wine come last and are not
# required: where the i386 packages cannot be had, that test skips itself.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libgtest-dev libgmock-dev
)
windows_packages=()
if [ "${1:-}" != play ]; then
  packages+=(
    libbenchmark-dev
    xvfb xdotool openbox dpkg-dev file
    clang libclang-rt-14-dev
  )
  # The 32-bit Windows build and the tools that drive it under Wine.
  windows_packages=(
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine32
    x11-utils imagemagick python3
  )
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
export DEBIAN_FRONTEND=noninteractive

missing_of() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      echo "$p"
    fi
  done
}

mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_windows < <(missing_of ${windows_packages[@]+"${windows_packages[@]}"})
[ ${#missing[@]} -eq 0 ] && [ ${#missing_windows[@]} -eq 0 ] && exit 0

# wine32 is an i386 package.
if [ ${#missing_windows[@]} -ne 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq

if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ ${#missing_windows[@]} -ne 0 ]; then
  echo "Installing for the Windows build: ${missing_windows[*]}"
  if ! "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing_windows[@]}"; then
    echo "warning: the Windows build tools could not be installed; its smoke test will be skipped" >&2
  fi
fi
