#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
set -euo pipefail
packages=(
  cmake g++ clang libclang-rt-14-dev make pkg-config
  libsdl1.2-dev libpng-dev
  googletest libgtest-dev libbenchmark-dev
  xvfb xdotool x11-utils imagemagick netpbm sox ffmpeg
  dpkg-dev lintian man-db desktop-file-utils
  emscripten chromium nodejs
  crossbuild-essential-arm64 qemu-user
  g++-mingw-w64-x86-64-posix wine wine64 zip icoutils
)
# Debian's nodejs comes without npm; other builds of it bring their own.
command -v npm >/dev/null 2>&1 || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >&2
fi
