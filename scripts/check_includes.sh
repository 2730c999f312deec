#!/usr/bin/env bash
# Checks that every quoted include under src/ points down the graph
#   driver -> effects -> text -> image -> containers -> core,
# with audio and platform beside text and effects (above image), and the
# backends (src/platform/<kind>/, src/audio/<kind>/) at the top beside the
# driver's programs, never including the driver; the sound's device side
# stays out of the platform. Only src/platform/ and the device side of the
# sound output (src/audio/<kind>/) may include SDL.
# Prints every include that breaks the rule and fails if there is one.
# Usage: check_includes.sh [SRC_DIR]
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
cd "$src"

# What each part may include, itself first.
declare -A may_include=(
  [core]="core"
  [containers]="containers core"
  [image]="image containers core"
  [text]="text image containers core"
  [effects]="effects text image containers core"
  [audio]="audio image containers core"
  [platform]="platform image containers core"
  [driver]="driver effects text audio platform image containers core"
  [platform-backend]="platform audio image containers core"
  [audio-backend]="audio image containers core"
)

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
