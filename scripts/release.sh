#!/usr/bin/env bash
# Writes a release into dist/, on a Debian 12 machine (installing what is
# missing), from the committed sources:
#   torvelin_<version>_<arch>.deb          the Debian package (from build/)
#   torvelin-<version>-windows-x64.zip     the Windows programs (scripts/windows.sh)
#   torvelin-<version>-linux-x86_64.tar.gz the Linux programs for any distribution (scripts/linux_bundle.sh)
#   torvelin-<version>-web.zip             the web page's folder (scripts/web_build.sh)
#   torvelin-<version>.html                the page as one file, where the web build makes it
#   torvelin-<version>.tar.gz              the sources of the commit (git archive)
#   SHA256SUMS                             the digests of all of them
#   bash scripts/release.sh
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  echo "release: warning: uncommitted changes are in the builds but not in the source tarball" >&2
stamp=$(git log -1 --format=%ct)
dist=dist
bash scripts/setup.sh release
rm -rf "$dist"
mkdir -p "$dist"

echo "Debian package" >&2
[ -f build/CMakeCache.txt ] || cmake --preset default -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$jobs" >/dev/null
version=$(cat build/torvelin-version.txt)
rm -f build/torvelin_*.deb
(cd build && cpack -G DEB >/dev/null)
cp build/torvelin_"$version"_*.deb "$dist/"

echo "Windows zip" >&2
cp "$(bash scripts/windows.sh build-windows | tail -n 1)" "$dist/"

echo "Linux tarball" >&2
cp "$(bash scripts/linux_bundle.sh build-linux | tail -n 1)" "$dist/"

echo "web page" >&2
bash scripts/web_build.sh web >/dev/null
site=build-web/site
web=torvelin-$version-web
rm -rf build-web/release
mkdir -p build-web/release
cp -r "$site" "build-web/release/$web"
find "build-web/release/$web" -exec touch -h -d "@$stamp" {} +
(cd build-web/release && find "$web" -type f | LC_ALL=C sort | TZ=UTC zip -q -X -D -9 "$OLDPWD/$dist/$web.zip" -@)
[ ! -f "$site/torvelin.html" ] || cp "$site/torvelin.html" "$dist/torvelin-$version.html"

echo "source tarball" >&2
git archive --format=tar.gz --prefix="torvelin-$version/" -o "$dist/torvelin-$version.tar.gz" HEAD

(cd "$dist" && sha256sum -- * >SHA256SUMS)
ls -l "$dist"
