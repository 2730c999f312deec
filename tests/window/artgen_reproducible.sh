#!/usr/bin/env bash
# The picture generator writes the same bytes on every run, the same bytes
# the build embedded, and fails loudly when it cannot write.
set -euo pipefail
: "${BUILD_DIR:?BUILD_DIR must name the build directory}"

artgen=$(find "$BUILD_DIR/tools" -type f -name artgen -perm -u+x | head -n 1)
if [ -z "$artgen" ]; then
  echo "artgen not found under $BUILD_DIR/tools"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$artgen" "$work/first"
"$artgen" "$work/second"

diff -r "$work/first" "$work/second"
built=0
for picture in "$BUILD_DIR"/generated/pictures/*.p[bgp]m; do
  cmp "$picture" "$work/first/${picture##*/}"
  built=$((built + 1))
done
[ "$built" -gt 0 ] || { echo "no pictures in $BUILD_DIR/generated/pictures"; exit 1; }

# Bad use: no argument, and a directory that cannot be made.
if "$artgen" 2>/dev/null; then
  echo "artgen without an argument should fail"
  exit 1
fi
if "$artgen" /dev/null/pictures 2>/dev/null; then
  echo "artgen into an impossible directory should fail"
  exit 1
fi
echo "artgen output is reproducible"
