#!/usr/bin/env bash
# Configures BUILD_FOLDER as a Release build of what the Debian package
# holds (no tests, no benchmarks), builds it with the generators the other
# builds take their pictures from, makes the package and prints its path.
#   bash scripts/package_deb.sh BUILD_FOLDER
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTORVELIN_BENCH=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
# The compiler's output only when the build fails.
cmake --build "$build" -j"$(nproc)" --target intro intro-fullscreen intro-capture tv_packaging tv_icon \
  tv_pictures tv_bank >"$build/package.log" 2>&1 || { cat "$build/package.log" >&2; exit 1; }
rm -f "$build"/torvelin_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/torvelin_"$(cat "$build/torvelin-version.txt")"_*.deb)

# CPack dates every file by the build. dpkg-deb puts the same files
# together again, in byte order, owned by root and dated by
# $SOURCE_DATE_EPOCH (default: the last commit), the same on every build.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
tree=$build/deb-tree
rm -rf "$tree"
dpkg-deb -R "$deb" "$tree"
chmod 755 "$tree" "$tree/DEBIAN"
find "$tree" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
dpkg-deb --root-owner-group -b "$tree" "$deb" >/dev/null
rm -rf "$tree"
echo "$deb"
