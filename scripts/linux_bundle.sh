#!/usr/bin/env bash
# Builds the Linux release for any x86-64 distribution on a Debian 12
# machine: BUILD_FOLDER/torvelin-<version>-linux-x86_64.tar.gz, one folder
# holding torvelin, torvelin-fullscreen, torvelin-capture, an SDL 1.2 of
# its own in lib/ (scripts/linux_sdl.sh, kept in the build folder for the
# next run), README.txt, the licence texts and the archives' description
# files where packaging/ has them. The programs find the SDL through their
# run path ($ORIGIN/lib) and carry the C++ runtime, libpng and zlib (the
# build's TORVELIN_PORTABLE, cmake/portable.cmake), so they need only the
# C library (2.34 or later, checked here), X11 and a sound system. Prints
# the tarball's path on its last line.
#   bash scripts/linux_bundle.sh [BUILD_FOLDER]     (default build-linux)
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build-linux}
oldest_glibc=2.34
fail() { echo "linux_bundle: $*" >&2; exit 1; }

bash scripts/setup.sh linux
bash scripts/linux_sdl.sh "$folder"
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release -DTORVELIN_PORTABLE=ON -DTORVELIN_BENCH=OFF >/dev/null
cmake --build "$folder" -j"$(nproc)" --target intro intro-fullscreen intro-capture >/dev/null

version=$(cat "$folder/torvelin-version.txt")
name=torvelin-$version-linux-x86_64
stage=$folder/tarball/$name
rm -rf "$folder/tarball"
mkdir -p "$stage/lib"
strip_into() { strip --strip-unneeded --remove-section=.comment -o "$2" "$1"; }
strip_into "$folder/intro" "$stage/torvelin"
strip_into "$folder/intro-fullscreen" "$stage/torvelin-fullscreen"
strip_into "$folder/tools/capture/intro-capture" "$stage/torvelin-capture"
strip_into "$folder/sdl/lib/libSDL-1.2.so.0" "$stage/lib/libSDL-1.2.so.0"
sdl_source=$(find "$folder/sdl-source" -maxdepth 1 -type d -name 'libsdl1.2-*' | head -n 1)
sdl_version=$(basename "$(ls "$folder"/sdl-source/libsdl1.2_*.dsc | head -n 1)" .dsc | sed 's/^libsdl1.2_//')
sed -e "s/@VERSION@/$version/" -e "s/@SDL_VERSION@/$sdl_version/" packaging/linux-readme.txt >"$stage/README.txt"
cp LICENSE "$stage/LICENSE.txt"
cp "$sdl_source/COPYING" "$stage/SDL-LICENSE.txt"
for kit in packaging/file_id.diz packaging/torvelin.nfo; do
  [ ! -f "$kit" ] || cp "$kit" "$stage/"
done

# Every binary: no C library symbol newer than the oldest one promised,
# and no library needed but the C library's, libgcc_s (which every
# distribution has, here asked for nothing newer than GCC 4.2's) and the
# SDL beside them.
for binary in "$stage"/torvelin "$stage"/torvelin-fullscreen "$stage"/torvelin-capture "$stage/lib/libSDL-1.2.so.0"; do
  newest=$(objdump -T "$binary" | grep -o 'GLIBC_[0-9.]*' | sed 's/GLIBC_//' | sort -uV | tail -n 1)
  [ "$(printf '%s\n%s\n' "$newest" "$oldest_glibc" | sort -V | tail -n 1)" = "$oldest_glibc" ] ||
    fail "$(basename "$binary") needs GLIBC_$newest, newer than $oldest_glibc: $(objdump -T "$binary" |
      grep -E "GLIBC_$newest[^.0-9]" | awk '{print $NF}' | tr '\n' ' ')"
  needed=$(objdump -p "$binary" | awk '$1 == "NEEDED" {print $2}' |
           grep -vxE 'lib(c|m)\.so\.6|ld-linux-x86-64\.so\.2|libgcc_s\.so\.1|libSDL-1\.2\.so\.0' || true)
  [ -z "$needed" ] || fail "$(basename "$binary") needs $(echo $needed) from the system"
  echo "$(basename "$binary"): GLIBC_$newest at most" >&2
done

# The same sources give the same tarball: fixed modes, owners, order and
# time (the last commit's), no name or time in the gzip header.
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
chmod 755 "$stage"/torvelin*
tarball=$PWD/$folder/$name.tar.gz
(cd "$folder/tarball" && tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -cf - "$name" |
   gzip -9n >"$tarball")
echo "$folder/$name.tar.gz"
