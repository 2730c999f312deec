#!/usr/bin/env bash
# Cross-builds zlib and libpng for 64-bit Windows from Debian's source
# packages (zlib, libpng1.6), with Debian's patches applied in order, as
# static libraries into BUILD_FOLDER/png (headers and lib/libpng16.a,
# lib/libz.a) for torvelin-capture.exe's PNG frames. A finished build is
# reused.
#   bash scripts/windows_png.sh BUILD_FOLDER
set -euo pipefail
cd "$(dirname "$0")/.."
win=$(realpath -m "$1")
prefix=$win/png
host=x86_64-w64-mingw32
[ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/lib/libz.a" ] && exit 0
jobs=$(nproc)
logs=$win/png-build
rm -rf "$logs"
mkdir -p "$logs" "$prefix/include" "$prefix/lib"
failed() { echo "$1's build failed; see $logs/$1.log" >&2; exit 1; }

zlib=$(bash scripts/debian_source.sh zlib "$win/png-source")
echo "building zlib for $host" >&2
rm -rf "$logs/zlib" && cp -r "$zlib" "$logs/zlib"
# The library's C files straight into a static archive: its own makefiles
# build for the machine they run on.
(cd "$logs/zlib" && for c in *.c; do
   case $c in example.c | minigzip.c) continue ;; esac
   $host-gcc -O2 -c "$c" -o "${c%.c}.o" || exit 1
 done && $host-ar rcs libz.a ./*.o &&
 cp zlib.h zconf.h "$prefix/include/" && cp libz.a "$prefix/lib/") >"$logs/zlib.log" 2>&1 || failed zlib

libpng=$(bash scripts/debian_source.sh libpng1.6 "$win/png-source")
echo "building libpng for $host" >&2
mkdir -p "$logs/libpng"
(cd "$logs/libpng" && "$libpng/configure" --host=$host --prefix="$prefix" --disable-shared --enable-static \
   CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" && make -j"$jobs" && make install) \
  >"$logs/libpng.log" 2>&1 || failed libpng
