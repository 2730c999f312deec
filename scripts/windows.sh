#!/usr/bin/env bash
# Builds the Windows release on a Debian 12 machine, installing what it
# needs: SDL 1.2 cross-built from Debian's source package (kept in the
# build folder for the next run), the programs cross-built with mingw-w64,
# and BUILD_FOLDER/torvelin-<version>-windows-x64.zip holding torvelin.exe,
# torvelin-fullscreen.exe, torvelin-capture.exe, SDL.dll, README.txt and
# the licence texts in a folder, file_id.diz and torvelin.nfo beside it.
#   bash scripts/windows.sh [BUILD_FOLDER]     (default build-windows)
# The pictures, the icon and the instrument bank come from the native build
# folder ($TORVELIN_HOST_BUILD, default build), whose generators are built
# first.
set -euo pipefail
cd "$(dirname "$0")/.."
win=${1:-build-windows}
host=${TORVELIN_HOST_BUILD:-build}
jobs=$(nproc)
triple=x86_64-w64-mingw32
# strip writes this time into the programs' and SDL.dll's PE headers, and
# the zip dates its files by it: the last commit's, the same on every build.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}

bash scripts/setup.sh
[ -f "$host/CMakeCache.txt" ] || cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$host" -j"$jobs" --target tv_pictures tv_bank tv_icon >/dev/null
bash scripts/windows_sdl.sh "$win"
cmake --no-warn-unused-cli -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DCMAKE_BUILD_TYPE=Release \
  -DTORVELIN_HOST_BUILD="$PWD/$host" >/dev/null
cmake --build "$win" -j"$jobs" >/dev/null

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
crlf packaging/copyright "$stage/LICENSE.txt"
crlf "$sdl_source/COPYING" "$stage/SDL-LICENSE.txt"
sdl_version=$(basename "$(ls "$win"/sdl-source/libsdl1.2_*.dsc | head -n 1)" .dsc | sed 's/^libsdl1.2_//')
sed -e "s/@VERSION@/$version/" -e "s/@SDL_VERSION@/$sdl_version/" packaging/windows-readme.txt >"$win/README.txt"
crlf "$win/README.txt" "$stage/README.txt"
crlf packaging/file_id.diz "$win/zip/file_id.diz"
crlf packaging/torvelin.nfo "$win/zip/torvelin.nfo"
bash scripts/zip_tree.sh "$win/$name.zip" "$win/zip"
echo "$win/$name.zip"
