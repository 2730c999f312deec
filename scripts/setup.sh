#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need;
# with "cross ARCH", only what the cross stage for ARCH needs
# (scripts/test_cross.sh ARCH): its cross compiler and qemu-user.
set -euo pipefail
cross_compiler() { [ "$1" = riscv64 ] && echo g++-riscv64-linux-gnu || echo "crossbuild-essential-$1"; }
if [ "${1:-}" = cross ]; then
  arch=${2:?usage: bash scripts/setup.sh cross ARCH}
  [ -f "$(dirname "$0")/../cmake/cross/$arch.cmake" ] || { echo "setup.sh: no architecture '$arch'" >&2; exit 2; }
  packages=(cmake make pkg-config googletest "$(cross_compiler "$arch")" qemu-user)
else
packages=(
  cmake g++ clang libclang-rt-14-dev make pkg-config
  libsdl1.2-dev libpng-dev
  googletest libgtest-dev libbenchmark-dev
  xvfb xdotool x11-utils imagemagick netpbm sox ffmpeg
  dpkg-dev lintian man-db desktop-file-utils
  emscripten chromium nodejs
  crossbuild-essential-arm64 crossbuild-essential-armhf crossbuild-essential-s390x qemu-user
  g++-mingw-w64-x86-64-posix wine wine64 zip
)
# Debian's nodejs comes without npm; other builds of it bring their own.
command -v npm >/dev/null 2>&1 || packages+=(npm)
fi
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
