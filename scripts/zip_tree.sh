#!/usr/bin/env bash
# Zips everything under FOLDER into ZIP so that the same files always give
# the same bytes: names in byte order, no folder entries, no owners or
# extra time fields, folders 755 and files 644 (755 where executable), every
# time that of $SOURCE_DATE_EPOCH (default: the last commit), in UTC.
#   bash scripts/zip_tree.sh ZIP FOLDER
set -euo pipefail
zip_file=$(realpath -m "$1")
folder=$2
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
find "$folder" -type d -exec chmod 755 {} +
find "$folder" -type f -perm /111 -exec chmod 755 {} +
find "$folder" -type f ! -perm /111 -exec chmod 644 {} +
find "$folder" -exec touch -h -d "@$stamp" {} +
rm -f "$zip_file"
(cd "$folder" && find . -type f -printf '%P\n' | LC_ALL=C sort | TZ=UTC zip -q -X -D -9 "$zip_file" -@)
