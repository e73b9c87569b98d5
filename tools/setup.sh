#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when something is missing.
# Safe to run again and again: a machine that has everything returns at once.
set -euo pipefail

packages=(
  make cmake ninja-build pkg-config
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  g++ clang libclang-rt-14-dev zlib1g-dev libstb-dev googletest
  wine wine32:i386 wine64 xvfb xauth x11-utils xdotool imagemagick python3
  nsis fonts-dejavu-core fonts-liberation2 fonts-noto-core libfreetype-dev
  libmpg123-dev libmp3lame-dev
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
