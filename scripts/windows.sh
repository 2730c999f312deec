#!/usr/bin/env bash
# Builds the Windows release on a Debian 12 machine, installing what it
# needs: SDL 1.2, zlib and libpng cross-built from Debian's source packages
# (kept in the build folder for the next run), the programs cross-built with mingw-w64
# through the preset windows, and
# build-windows/torvelin-<version>-windows-x64.zip holding torvelin.exe,
# torvelin-fullscreen.exe, torvelin-capture.exe, SDL.dll, README.txt and
# the licence texts in a folder, file_id.diz and torvelin.nfo beside it;
# its last line is the zip's name.
#   bash scripts/windows.sh
# The pictures, the icon and the instrument bank come from the native build
# folder build/, whose generators are built first (configured without the
# tests if it is not there yet).
set -euo pipefail
cd "$(dirname "$0")/.."
win=build-windows
triple=x86_64-w64-mingw32
[ $# -eq 0 ] || [ "$1" = "$win" ] || { echo "windows: the build folder is $win, not $1" >&2; exit 2; }
# strip writes this time into the programs' and SDL.dll's PE headers, and
# the zip dates its files by it: the last commit's, the same on every build.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}

bash scripts/setup.sh windows
[ -f build/CMakeCache.txt ] || cmake --preset default -DBUILD_TESTING=OFF >&2
cmake --build build --target tv_pictures tv_bank tv_icon >&2
bash scripts/windows_sdl.sh "$win"
bash scripts/windows_png.sh "$win"
cmake --preset windows >&2
cmake --build --preset windows >&2

# The zip: one folder named as the zip, and beside it, where the demo
# archives look for them, the file_id.diz and the .nfo.
version=$(cat "$win/torvelin-version.txt")
name=torvelin-$version-windows-x64
stage=$win/zip/$name
rm -rf "$win/zip"
mkdir -p "$stage"
for program in torvelin torvelin-fullscreen torvelin-capture; do
  $triple-strip --strip-unneeded -o "$stage/$program.exe" "$win/$program.exe"
done
$triple-strip --strip-unneeded -o "$stage/SDL.dll" "$win/sdl/bin/SDL.dll"
sdl_source=$(find "$win/sdl-source" -maxdepth 1 -type d -name 'libsdl1.2-*' | head -n 1)
# Text files with Windows line ends, for every editor there.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf LICENSE "$stage/LICENSE.txt"
crlf "$sdl_source/COPYING" "$stage/SDL-LICENSE.txt"
sdl_version=$(basename "$(ls "$win"/sdl-source/libsdl1.2_*.dsc | head -n 1)" .dsc | sed 's/^libsdl1.2_//')
sed -e "s/@VERSION@/$version/" -e "s/@SDL_VERSION@/$sdl_version/" packaging/windows-readme.txt >"$win/README.txt"
crlf "$win/README.txt" "$stage/README.txt"
crlf packaging/file_id.diz "$win/zip/file_id.diz"
crlf packaging/torvelin.nfo "$win/zip/torvelin.nfo"
bash scripts/zip_tree.sh "$win/$name.zip" "$win/zip"
echo "$win/$name.zip"
