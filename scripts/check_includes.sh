#!/usr/bin/env bash
# Checks that every quoted include under src/ follows the modules' graph,
# cmake/module_graph.txt: a file may include its own part and the parts
# its line lists. The backends (src/platform/<kind>/, src/audio/<kind>/)
# are parts of their own, platform-backend and audio-backend. Only
# src/platform/ and the device side of the sound output (src/audio/<kind>/)
# may include SDL.
# Prints every include that breaks the rule and fails if there is one.
# Usage: check_includes.sh [SRC_DIR [GRAPH_FILE]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=${1:-"$here/../src"}
graph=$(realpath "${2:-$here/../cmake/module_graph.txt}")
cd "$src"

# What each part may include, itself first.
declare -A may_include=()
while IFS= read -r line; do
  [[ $line =~ ^([a-z-]+):(.*)$ ]] || continue
  may_include[${BASH_REMATCH[1]}]="${BASH_REMATCH[1]%-backend} ${BASH_REMATCH[2]}"
done <"$graph"
((${#may_include[@]} > 0)) || { echo "no parts in $graph"; exit 1; }

# The part a file belongs to: its folder under src/, or its backend one deeper.
part_of() {
  local file=$1 top=${1%%/*}
  if [[ ($top == platform || $top == audio) && ${file#*/} == */* ]]; then
    echo "$top-backend"
  else
    echo "$top"
  fi
}

faults=0
files=0
while IFS= read -r -d '' file; do
  file=${file#./}
  files=$((files + 1))
  part=$(part_of "$file")
  allowed=${may_include[$part]:-}
  if [[ -z $allowed ]]; then
    echo "$file: not in a known part of the graph"
    faults=$((faults + 1))
    continue
  fi
  line=0
  while IFS= read -r text; do
    line=$((line + 1))
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      target=${BASH_REMATCH[1]}
      to=${target%%/*}
      if [[ $target != */* || " $allowed " != *" $to "* ]]; then
        echo "$file:$line: $part may not include \"$target\""
        faults=$((faults + 1))
      fi
    elif [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<SDL ]]; then
      if [[ $file != platform/* && $part != audio-backend ]]; then
        echo "$file:$line: only the platform and the sound device side may include SDL"
        faults=$((faults + 1))
      fi
    fi
  done <"$file"
done < <(find . \( -name '*.cpp' -o -name '*.hpp' -o -name '*.h' \) -print0 | sort -z)

if ((faults > 0)); then
  echo "$faults include(s) point up the graph"
  exit 1
fi
echo "$files files, every include points down the graph"
