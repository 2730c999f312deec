#!/usr/bin/env bash
# Makes the Debian package from a build folder, checks it with lintian (no
# errors allowed), installs it, runs the installed intro under Xvfb through
# the window test, and removes it again, leaving none of its files behind.
# Then makes the package of the last commit twice more, from two copies of
# its sources in other folders and under another umask, and holds the two
# to the same bytes.
# Usage: scripts/test_deb.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -f "$build"/torvelin_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/torvelin_*_"$(dpkg --print-architecture)".deb)
[ -f "${debs[0]}" ] || fail "cpack made no torvelin_<version>_$(dpkg --print-architecture).deb"
deb=${debs[0]}
echo "package: $(basename "$deb")"

echo "lintian:"
lintian -I --fail-on error "$deb" 2>&1 | grep -v "root privileges" || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian reports errors"

dpkg -s torvelin >/dev/null 2>&1 && fail "torvelin is installed already; remove it first"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}')
$sudo dpkg -i "$deb" >/dev/null
removed=0
remove() { [ "$removed" = 1 ] || { $sudo dpkg -r torvelin >/dev/null; removed=1; }; }
trap remove EXIT
for f in $files; do [ -e "$f" ] || fail "$f is not installed"; done
man -w 6 torvelin >/dev/null || fail "man cannot find torvelin(6)"

INTRO=/usr/games/torvelin INTRO_FULLSCREEN=/usr/games/torvelin-fullscreen BUILD_DIR="$build" \
  bash tests/window/intro_window.sh
INTRO=/usr/games/torvelin INTRO_FULLSCREEN=/usr/games/torvelin-fullscreen BUILD_DIR="$build" \
  bash tests/window/intro_fullscreen.sh

remove
dpkg -s torvelin >/dev/null 2>&1 && fail "torvelin is still installed"
for f in $files; do [ ! -e "$f" ] || fail "$f is left behind"; done
echo "installed, ran and removed cleanly"

echo "the package from two folders:"
twice=$(mktemp -d)
stamp=$(git log -1 --format=%ct)
for copy in "$twice/first/torvelin:022" "$twice/second/another-folder:002"; do
  folder=${copy%:*}
  mkdir -p "$folder"
  git archive HEAD | tar -x -C "$folder"
  (umask "${copy##*:}" && SOURCE_DATE_EPOCH=$stamp bash "$folder/scripts/package_deb.sh" "$folder/build" >"$folder.deb")
done
first=$(cat "$twice/first/torvelin.deb")
second=$(cat "$twice/second/another-folder.deb")
cmp "$first" "$second" || fail "$(basename "$first") differs between $twice/first and $twice/second"
echo "$(basename "$first") is the same from both"
rm -rf "$twice"
