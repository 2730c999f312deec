#!/usr/bin/env bash
# Writes a release into dist/, on a Debian 12 machine (installing what is
# missing), from Release build folders configured by the release itself
# (the package's own, and the presets windows and web):
#   torvelin_<version>_<arch>.deb          the Debian package (build-release/)
#   torvelin-<version>-windows-x64.zip     the Windows programs (build-windows/, scripts/windows.sh)
#   torvelin-<version>-linux-x86_64.tar.gz the Linux programs for any distribution (build-linux/, scripts/linux_bundle.sh)
#   torvelin-<version>-web.zip             the web page's folder (build-web/, scripts/web_build.sh)
#   torvelin-<version>.html                the page as one file, where the web build makes it
#   torvelin-<version>.tar.gz              the sources of the commit (git archive)
#   torvelin-<version>.png                 a screenshot, enlarged twice
#   torvelin-<version>.mp4                 with --video: the whole loop as a video
#   file_id.diz, torvelin.nfo              the demo archives' description
#   SHA256SUMS                             the digests of all of them
#   bash scripts/release.sh [--video]
# The same commit gives the same bytes in every file, whatever the folder,
# the time, the time zone, the locale or the umask: every time written is
# the last commit's (SOURCE_DATE_EPOCH), the compilers map the folders out,
# and every archive has fixed names, order, owners and modes.
set -euo pipefail
cd "$(dirname "$0")/.."
video=0
case ${1:-} in
  --video) video=1 ;;
  '') ;;
  *) echo "usage: bash scripts/release.sh [--video]" >&2; exit 2 ;;
esac
jobs=$(nproc)
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  echo "release: warning: uncommitted changes are in the builds but not in the source tarball" >&2
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export TZ=UTC LC_ALL=C
umask 022
native=build-release
dist=dist
bash scripts/setup.sh release
rm -rf "$dist"
mkdir -p "$dist"

echo "Debian package" >&2
deb=$(bash scripts/package_deb.sh "$native")
cp "$deb" "$dist/"
version=$(cat "$native/torvelin-version.txt")

echo "Windows zip" >&2
windows_zip=$(bash scripts/windows.sh | tail -n 1)
cp "$windows_zip" "$dist/"

echo "Linux tarball" >&2
cp "$(bash scripts/linux_bundle.sh build-linux | tail -n 1)" "$dist/"

echo "web page" >&2
bash scripts/web_build.sh web >/dev/null
web_build=build-web
site=$web_build/site
web=torvelin-$version-web
rm -rf "$web_build/release"
mkdir -p "$web_build/release"
cp -r "$site" "$web_build/release/$web"
bash scripts/zip_tree.sh "$dist/$web.zip" "$web_build/release"
[ ! -f "$site/torvelin.html" ] || cp "$site/torvelin.html" "$dist/torvelin-$version.html"

echo "source tarball" >&2
git archive --format=tar --prefix="torvelin-$version/" HEAD | gzip -9n >"$dist/torvelin-$version.tar.gz"

echo "screenshot" >&2
# The tile scene with its chain of sprites, each pixel a 2 x 2 square.
shot_frame=4400
shots=$native/screenshot
rm -rf "$shots"
"$native/tools/capture/intro-capture" --quiet --from "$shot_frame" --frames $((shot_frame + 1)) \
  --scale 2 --png "$shots"
cp "$shots/frame_$(printf %06d "$shot_frame").png" "$dist/torvelin-$version.png"

if [ "$video" = 1 ]; then
  echo "video (the whole loop)" >&2
  "$native/tools/capture/intro-capture" --quiet --video "$dist/torvelin-$version.mp4"
fi

cp packaging/file_id.diz packaging/torvelin.nfo "$dist/"
chmod 644 "$dist"/*
(cd "$dist" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | sort | xargs sha256sum -- >SHA256SUMS)
ls -l "$dist"
