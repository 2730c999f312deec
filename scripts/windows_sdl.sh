#!/usr/bin/env bash
# Cross-builds SDL 1.2 for 64-bit Windows from Debian's source package, with
# Debian's patches applied in order, into BUILD_FOLDER/sdl (headers, import
# library, SDL.dll, SDLmain). The source comes through a sources list of the
# build folder's own; the system's lists are left alone. A finished build is
# reused.
#   bash scripts/windows_sdl.sh BUILD_FOLDER
set -euo pipefail
win=$(realpath -m "$1")
prefix=$win/sdl
host=x86_64-w64-mingw32
[ -f "$prefix/bin/SDL.dll" ] && [ -f "$prefix/lib/libSDLmain.a" ] && exit 0

# The Debian mirror this machine installs from, for the deb-src line.
mirror() {
  local url
  url=$(grep -hsE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
          /etc/apt/sources.list.d/*.list 2>/dev/null |
        grep -oE 'https?://[^ ]+/debian/?( |$)' | head -n 1 | tr -d ' ')
  echo "${url:-http://deb.debian.org/debian}"
}

apt_dir=$win/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$win/sdl-source"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $(mirror) bookworm main" \
  >"$apt_dir/sources.list"
private_apt=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")

source_dir=$(find "$win/sdl-source" -maxdepth 1 -type d -name 'libsdl1.2-*' | head -n 1)
if [ -z "$source_dir" ]; then
  echo "fetching SDL 1.2's source package" >&2
  apt-get -qq "${private_apt[@]}" update >&2
  (cd "$win/sdl-source" && apt-get -qq "${private_apt[@]}" source --download-only libsdl1.2 2>&1 |
     grep -v "unsandboxed as root" >&2 || true)
  dsc=$(ls "$win"/sdl-source/libsdl1.2_*.dsc | head -n 1)
  # apt has checked the files against the archive's signed index. Unpacked
  # without dpkg-source's own patching: the series is applied below.
  (cd "$win/sdl-source" && dpkg-source --skip-patches -x "$dsc" >"$win/sdl-source/unpack.log" 2>&1)
  source_dir=$(find "$win/sdl-source" -maxdepth 1 -type d -name 'libsdl1.2-*' | head -n 1)
  if [ -f "$source_dir/debian/patches/series" ]; then
    while read -r patch _; do
      case $patch in '' | '#'*) continue ;; esac
      patch -d "$source_dir" -p1 -s --forward <"$source_dir/debian/patches/$patch"
    done <"$source_dir/debian/patches/series"
  fi
fi

echo "building SDL 1.2 for $host" >&2
rm -rf "$win/sdl-build"
mkdir -p "$win/sdl-build"
# Standard output and error stay where the program's starter points them,
# not in files beside the program.
# No link time in SDL.dll's PE header and no build folder in what the
# compiler writes: the same source gives the same DLL.
(cd "$win/sdl-build" && "$source_dir/configure" --host="$host" --prefix="$prefix" \
   --disable-stdio-redirect --disable-static \
   CFLAGS="-g -O2 -ffile-prefix-map=$source_dir=sdl -ffile-prefix-map=$win=." \
   LDFLAGS="-Wl,--no-insert-timestamp" >"$win/sdl-build/configure.log" 2>&1 &&
 make -j"$(nproc)" >"$win/sdl-build/make.log" 2>&1 && make install >"$win/sdl-build/install.log" 2>&1) || {
  echo "SDL's build failed; see $win/sdl-build/*.log" >&2
  exit 1
}
