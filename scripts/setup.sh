#!/usr/bin/env bash
# Installs the Debian packages one purpose needs, and only those:
#   bash scripts/setup.sh run            build and play the intro
#   bash scripts/setup.sh test           everything scripts/test.sh runs
#   bash scripts/setup.sh web            build and serve the web page
#   bash scripts/setup.sh windows        build the Windows programs
#   bash scripts/setup.sh cross ARCH     cross-build for ARCH (arm64 armhf i386 riscv64 s390x) and test under qemu-user
#   bash scripts/setup.sh linux          build the Linux tarball (scripts/linux_bundle.sh)
#   bash scripts/setup.sh release        everything scripts/release.sh builds
set -euo pipefail

run=(cmake ninja-build g++ make pkg-config libsdl1.2-dev libpng-dev)
unit=(googletest libgtest-dev libbenchmark-dev)
window=(xvfb xdotool x11-utils imagemagick netpbm sox ffmpeg)
deb=(dpkg-dev lintian man-db desktop-file-utils)
sanitizers=(clang libclang-rt-14-dev)
web=(emscripten nodejs)
browser=(chromium)
# windows_sdl.sh fetches and unpacks SDL's Debian source package.
windows=(g++-mingw-w64-x86-64-posix dpkg-dev zip)
# The wine tests read the programs' manifests with wrestool.
wine=(wine wine64 icoutils)
# linux_sdl.sh builds SDL from its Debian source package against these.
linux=(dpkg-dev libx11-dev libxext-dev libasound2-dev libpulse-dev xvfb xdotool x11-utils imagemagick)

# The cross compiler of one architecture; riscv64 has no crossbuild-essential
# package in Debian 12.
cross_packages() {
  case $1 in
    arm64 | armhf | i386 | s390x) echo "crossbuild-essential-$1 qemu-user" ;;
    riscv64) echo "gcc-riscv64-linux-gnu g++-riscv64-linux-gnu libc6-dev-riscv64-cross qemu-user" ;;
    *) echo "setup: no cross architecture '$1' (arm64 armhf i386 riscv64 s390x)" >&2; return 1 ;;
  esac
}

purpose=${1:-}
packages=()
case $purpose in
  run) packages=("${run[@]}") ;;
  test)
    packages=("${run[@]}" "${unit[@]}" "${window[@]}" "${deb[@]}" "${sanitizers[@]}" \
      "${web[@]}" "${browser[@]}" "${windows[@]}" "${wine[@]}" "${linux[@]}")
    # The cross stages test.sh runs: 64-bit, 32-bit and big-endian.
    for arch in arm64 armhf s390x; do
      read -ra more <<<"$(cross_packages "$arch")"
      packages+=("${more[@]}")
    done
    ;;
  web) packages=("${run[@]}" "${web[@]}") ;;
  windows) packages=("${run[@]}" "${windows[@]}") ;;
  linux) packages=("${run[@]}" "${linux[@]}") ;;
  cross)
    [ $# -eq 2 ] || { echo "setup: cross needs an architecture: setup.sh cross ARCH" >&2; exit 2; }
    cross=$(cross_packages "$2")
    read -ra cross <<<"$cross"
    packages=("${run[@]}" "${unit[@]}" "${cross[@]}")
    ;;
  release) packages=("${run[@]}" dpkg-dev "${web[@]}" "${windows[@]}" "${linux[@]}") ;;
  *)
    echo "setup: usage: setup.sh run|test|web|windows|linux|cross ARCH|release" >&2
    exit 2
    ;;
esac
# The page's test installs its browser driver with npm. Debian's nodejs
# comes without npm; other builds of it bring their own.
if [ "$purpose" = test ] && ! command -v npm >/dev/null 2>&1; then
  packages+=(npm)
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
