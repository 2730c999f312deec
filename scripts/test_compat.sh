#!/usr/bin/env bash
# Readies the SDL 1.2 compatibility layer over SDL2, the SDL 1.2 that
# today's distributions ship, for the compat tests (the real-window tests
# marked so, run again on it: ctest -L compat). Its libraries are fetched
# as Debian packages and unpacked into BUILD_DIR/compat/, never installed
# (they conflict with the classic development package); the programs built
# against classic SDL 1.2 load them through LD_LIBRARY_PATH, which the
# compat tests set. Fails unless the programs really load the layer.
# Usage: scripts/test_compat.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
compat="$build/compat"
packages=(libsdl1.2-compat libsdl2-2.0-0 libsamplerate0 libdecor-0-0)
lib="$compat/root/usr/lib/$(gcc -print-multiarch)"

if [ ! -e "$lib/sdl12-compat/libSDL-1.2.so.0" ]; then
  mkdir -p "$compat"
  if ! (cd "$compat" && apt-get download "${packages[@]}" >/dev/null 2>&1); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq >&2
    (cd "$compat" && apt-get download "${packages[@]}")
  fi
  for deb in "$compat"/*.deb; do dpkg -x "$deb" "$compat/root"; done
fi

export LD_LIBRARY_PATH="$lib/sdl12-compat:$lib"
# The programs must really load the layer, not classic SDL.
# (ldd's output is read whole: grep -q stopping early would break the pipe)
loaded=$(ldd "$build/intro")
grep -q "$lib/sdl12-compat/libSDL-1.2.so.0" <<<"$loaded" ||
  { echo "intro does not load the compatibility layer"; exit 1; }
echo "SDL 1.2 compatibility layer $(dpkg-deb -f "$compat"/libsdl1.2-compat_*.deb Version) over SDL2 $(dpkg-deb -f "$compat"/libsdl2-2.0-0_*.deb Version)"
