#!/usr/bin/env bash
# Makes the release of the last commit twice, each from a clone of its own
# in a temporary folder and under other conditions (folder, time, time
# zone, locale, umask), and compares the two dist/ folders file by file:
# the first file that differs, or is in one only, is named and the test
# fails. Both releases are kept for a look when they differ, and removed
# when they agree.
#   bash scripts/test_reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
commit=$(git rev-parse HEAD)
work=$(mktemp -d "${TMPDIR:-/tmp}/torvelin-reproducible.XXXXXX")
fail() { echo "FAIL: $*" >&2; echo "both releases are in $work" >&2; exit 1; }

# release FOLDER UMASK VARIABLE=VALUE...: the release of $commit in FOLDER.
release() {
  local folder=$1 mask=$2
  shift 2
  git clone -q --no-local "$root" "$folder"
  git -C "$folder" checkout -q --detach "$commit"
  echo "release in $folder (umask $mask, $*)" >&2
  (umask "$mask" && cd "$folder" && env "$@" bash scripts/release.sh >"$folder.log" 2>&1) ||
    fail "the release in $folder failed; see $folder.log"
}

release "$work/first/torvelin" 022 TZ=UTC LANG=en_US.UTF-8
release "$work/second/another-folder" 002 TZ=Etc/GMT-14 LANG=C.UTF-8

first=$work/first/torvelin/dist
second=$work/second/another-folder/dist
names() { (cd "$1" && find . -type f -printf '%P\n' | LC_ALL=C sort); }
only=$(LC_ALL=C comm -3 <(names "$first") <(names "$second") | head -n 1 | tr -d '\t')
[ -z "$only" ] || fail "dist/$only is in one release only"
while read -r name; do
  cmp -s "$first/$name" "$second/$name" || fail "dist/$name differs"
done < <(names "$first")
echo "the two releases are identical: $(names "$first" | wc -l) files in dist/"
rm -rf "$work"
