#!/usr/bin/env bash
# Cross-builds SDL 1.2 for 64-bit Windows from Debian's source package, with
# Debian's patches applied in order (scripts/debian_source.sh), into
# BUILD_FOLDER/sdl (headers, import library, SDL.dll, SDLmain). A finished
# build is reused.
#   bash scripts/windows_sdl.sh BUILD_FOLDER
set -euo pipefail
win=$(realpath -m "$1")
prefix=$win/sdl
host=x86_64-w64-mingw32
[ -f "$prefix/bin/SDL.dll" ] && [ -f "$prefix/lib/libSDLmain.a" ] && exit 0

source_dir=$(bash "$(dirname "$0")/debian_source.sh" libsdl1.2 "$win/sdl-source")

echo "building SDL 1.2 for $host" >&2
rm -rf "$win/sdl-build"
mkdir -p "$win/sdl-build"
# Standard output and error stay where the program's starter points them,
# not in files beside the program.
# No link time in SDL.dll's PE header and no build folder in what the
# compiler writes: the same source gives the same DLL.
(cd "$win/sdl-build" && "$source_dir/configure" --host="$host" --prefix="$prefix" \
   --disable-stdio-redirect --disable-static \
   CFLAGS="-g -O2 -ffile-prefix-map=$source_dir=sdl -ffile-prefix-map=$win=." \
   LDFLAGS="-Wl,--no-insert-timestamp" >"$win/sdl-build/configure.log" 2>&1 &&
 make -j"$(nproc)" >"$win/sdl-build/make.log" 2>&1 && make install >"$win/sdl-build/install.log" 2>&1) || {
  echo "SDL's build failed; see $win/sdl-build/*.log" >&2
  exit 1
}
