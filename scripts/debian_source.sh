#!/usr/bin/env bash
# Fetches a Debian 12 source package into FOLDER and unpacks it there with
# Debian's patches applied in order, once: a later run finds it unpacked.
# Several packages may share a folder (and its package lists).
# The source comes through a sources list of the folder's own; the
# system's lists are left alone. Prints the unpacked source folder.
#   bash scripts/debian_source.sh PACKAGE FOLDER
set -euo pipefail
package=$1
folder=$(realpath -m "$2")
mkdir -p "$folder"

unpacked() { find "$folder" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n 1; }

# The Debian mirror this machine installs from, for the deb-src line.
mirror() {
  local url
  url=$(grep -hsE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
          /etc/apt/sources.list.d/*.list 2>/dev/null |
        grep -oE 'https?://[^ ]+/debian/?( |$)' | head -n 1 | tr -d ' ')
  echo "${url:-http://deb.debian.org/debian}"
}

source_dir=$(unpacked)
if [ -z "$source_dir" ]; then
  apt_dir=$folder/apt
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $(mirror) bookworm main" \
    >"$apt_dir/sources.list"
  private_apt=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
               -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
  echo "fetching the source package $package" >&2
  [ -n "$(ls "$apt_dir/lists" | grep -v partial)" ] || apt-get -qq "${private_apt[@]}" update >&2
  (cd "$folder" && apt-get -qq "${private_apt[@]}" source --download-only "$package" 2>&1 |
     grep -v "unsandboxed as root" >&2 || true)
  dsc=$(ls "$folder/${package}_"*.dsc | head -n 1)
  # apt has checked the files against the archive's signed index. Unpacked
  # without dpkg-source's own patching: the series is applied below.
  (cd "$folder" && dpkg-source --skip-patches -x "$dsc" >"$folder/unpack.log" 2>&1)
  source_dir=$(unpacked)
  if [ -f "$source_dir/debian/patches/series" ]; then
    while read -r patch _; do
      case $patch in '' | '#'*) continue ;; esac
      patch -d "$source_dir" -p1 -s --forward <"$source_dir/debian/patches/$patch" >&2
    done <"$source_dir/debian/patches/series"
  fi
fi
echo "$source_dir"
