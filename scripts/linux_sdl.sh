#!/usr/bin/env bash
# Builds SDL 1.2 for the Linux tarball from Debian's source package, with
# Debian's patches applied in order (scripts/debian_source.sh), into
# BUILD_FOLDER/sdl (headers, sdl.pc, libSDL-1.2.so.0). Its X11, ALSA and
# PulseAudio back-ends are loaded at run time, each only if the machine has
# the library: the SDL links nothing but the C library, so it runs on any
# desktop whatever its sound system. A finished build is reused.
#   bash scripts/linux_sdl.sh BUILD_FOLDER
set -euo pipefail
folder=$(realpath -m "$1")
prefix=$folder/sdl
[ -f "$prefix/lib/libSDL-1.2.so.0" ] && [ -f "$prefix/lib/pkgconfig/sdl.pc" ] && exit 0

source_dir=$(bash "$(dirname "$0")/debian_source.sh" libsdl1.2 "$folder/sdl-source")

# SDL 1.2.15 declares libX11's _XData32 as it was before libX11 1.5 made
# its data const; only the run-time loading of X11, which Debian's own
# build leaves out, repeats the declaration. (A no-op once applied.)
sed -i 's/_XData32,(Display \*dpy,register long \*data/_XData32,(Display *dpy,register _Xconst long *data/' \
  "$source_dir/src/video/x11/SDL_x11sym.h"

echo "building SDL 1.2 for the Linux tarball" >&2
rm -rf "$folder/sdl-build"
mkdir -p "$folder/sdl-build"
# Back-ends whose libraries a stock desktop may lack are left out (or
# loaded at run time); the console ones need no library.
options=(
  --prefix="$prefix" --disable-static --disable-rpath
  --enable-x11-shared --enable-alsa-shared --enable-pulseaudio-shared
  --disable-esd --disable-arts --disable-nas
  --disable-video-directfb --disable-video-svga --disable-video-ggi --disable-video-aalib
  --disable-video-caca --disable-video-opengl --disable-input-tslib --disable-pth
)
# The source's own folder name in the library's texts (an assertion's
# file name), not this machine's path: the same tarball from any folder.
export CFLAGS="-O2 -ffile-prefix-map=$source_dir=$(basename "$source_dir")"
(cd "$folder/sdl-build" && "$source_dir/configure" "${options[@]}" >"$folder/sdl-build/configure.log" 2>&1 &&
 make -j"$(nproc)" >"$folder/sdl-build/make.log" 2>&1 && make install >"$folder/sdl-build/install.log" 2>&1) || {
  echo "SDL's build failed; see $folder/sdl-build/*.log" >&2
  exit 1
}
