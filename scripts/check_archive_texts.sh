#!/usr/bin/env bash
# The demo archives' texts keep to their limits: file_id.diz plain ASCII in
# at most 10 lines of 45 columns, the .nfo ASCII in lines of 80 at most.
#   bash scripts/check_archive_texts.sh PACKAGING_FOLDER
set -euo pipefail
folder=$1
status=0
# check FILE MAX_LINES MAX_COLUMNS
check() {
  local file=$folder/$1 lines=$2 columns=$3
  if LC_ALL=C grep -qn '[^ -~]' "$file"; then
    echo "$1: line $(LC_ALL=C grep -n -m1 '[^ -~]' "$file" | cut -d: -f1) is not plain printable ASCII" >&2
    status=1
  fi
  local count widest
  count=$(wc -l <"$file")
  widest=$(awk '{ if (length($0) > m) { m = length($0); n = NR } } END { print m + 0 " " n + 0 }' "$file")
  [ "$count" -le "$lines" ] || { echo "$1: $count lines, at most $lines" >&2; status=1; }
  [ "${widest% *}" -le "$columns" ] ||
    { echo "$1: line ${widest#* } is ${widest% *} columns wide, at most $columns" >&2; status=1; }
}
check file_id.diz 10 45
check torvelin.nfo 1000 80
exit $status
