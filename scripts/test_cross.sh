#!/usr/bin/env bash
# A cross stage: builds the libraries, the generators, the capture tool, the
# test programs and the two SDL programs for another processor with Debian's
# cross compiler, and runs the unit tests and the Regression test under
# qemu-user. The pictures and the instrument bank are made by the generators
# running as the target's code, so the data tests check what it made.
#
#   bash scripts/test_cross.sh ARCH [BUILD_FOLDER]     (default build-ARCH)
#
# ARCH is Debian's name for the architecture, one of cmake/cross/*.cmake:
# arm64, armhf, i386, riscv64, s390x.
#
# Everything it fetches or builds besides the project stays in the build
# folder and is reused by the next run: the target's libraries unpacked from
# Debian's packages (downloaded through an apt setup of the folder's own;
# the system's apt sources are not touched) and GoogleTest built from
# Debian's googletest sources.
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:?usage: bash scripts/test_cross.sh ARCH [BUILD_FOLDER]}
toolchain_file=$PWD/cmake/cross/$arch.cmake
if [ ! -f "$toolchain_file" ]; then
  echo "test_cross.sh: no architecture '$arch' (cmake/cross/ has: $(cd cmake/cross && ls [!l]*.cmake | sed 's/\.cmake$//' | tr '\n' ' '))" >&2
  exit 2
fi
build=$(realpath -m "${2:-build-$arch}")
deps=$build/deps
jobs=$(nproc)
start=$(date +%s)
# The target's names, as its toolchain file gives them.
setting() { sed -n "s/^set($1 \(.*\))$/\1/p" "$toolchain_file"; }
triplet=$(setting TORVELIN_CROSS_TRIPLET)
qemu=$(setting TORVELIN_CROSS_QEMU)
multiarch=$(setting TORVELIN_CROSS_MULTIARCH)
multiarch=${multiarch:-$triplet}

# The target's libraries: libpng and zlib (static, for artgen and the
# capture tool), SDL 1.2 (shared, to link intro and intro-fullscreen).
# riscv64 is a Debian architecture from trixie on, where libpng's shared
# library has a new name; its static libpng and zlib link with bookworm's
# cross C library all the same.
suite=bookworm
libpng_shared=libpng16-16
if [ "$arch" = riscv64 ]; then
  suite=trixie
  libpng_shared=libpng16-16t64
fi
packages=(libpng-dev $libpng_shared zlib1g-dev zlib1g libsdl1.2-dev libsdl1.2debian)
if [ ! -f "$deps/.unpacked" ]; then
  apt_dir=$build/apt
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/debs" "$deps"
  # The system's Debian mirrors, for the target.
  mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
  mirror=${mirror:-http://deb.debian.org/debian}
  signed="arch=$arch signed-by=/usr/share/keyrings/debian-archive-keyring.gpg"
  cat > "$apt_dir/sources.list" <<LIST
deb [$signed] $mirror $suite main
deb [$signed] $mirror $suite-updates main
deb [$signed] ${mirror%/debian}/debian-security $suite-security main
LIST
  apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o Debug::NoLocking=1
    -o "APT::Architecture=$arch" -o "APT::Architectures::=$arch")
  # A list that a mirror serves half-synced is left out: the packages
  # are then taken from the other suites, and a missing one stops the download.
  apt-get "${apt_options[@]}" update -qq ||
    echo "test_cross.sh: some of Debian's package lists for $arch could not be fetched; using the others" >&2
  (cd "$apt_dir/debs" && apt-get "${apt_options[@]}" download "${packages[@]}")
  for deb in "$apt_dir"/debs/*.deb; do dpkg-deb -x "$deb" "$deps"; done
  touch "$deps/.unpacked"
fi

toolchain=(-DCMAKE_TOOLCHAIN_FILE="$toolchain_file" -DTORVELIN_CROSS_DEPS="$deps")
if [ ! -f "$deps/gtest/.built" ]; then
  cmake -S /usr/src/googletest -B "$build/googletest" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$deps/gtest" >/dev/null
  cmake --build "$build/googletest" -j"$jobs" >/dev/null
  cmake --install "$build/googletest" >/dev/null
  touch "$deps/gtest/.built"
fi

# Every program but the two SDL ones links statically (qemu-user hangs in
# the child of a dynamically linked program after fork), so libpng and zlib
# are the static ones. The SDL programs link against the shared SDL without
# its own dependencies, which only a run would need.
libs=$deps/usr/lib/$multiarch
# The preset holds the stage's settings; the folder and its libraries are
# this run's.
cmake --preset "cross-$arch" -B "$build" -DTORVELIN_CROSS_DEPS="$deps" \
  -DPNG_LIBRARY="$libs/libpng16.a" -DZLIB_LIBRARY="$libs/libz.a" >/dev/null
cmake --build "$build" -j"$jobs"
built=$(date +%s)

# The capture tests start the capture tool as a program of its own; without
# a binfmt entry for the target the kernel cannot start it, so it runs
# through qemu from a host script.
capture=$build/intro-capture-qemu
printf '#!/bin/sh\nexec %s %s "$@"\n' "$qemu" "$build/tools/capture/intro-capture" > "$capture"
chmod +x "$capture"

# Left out here: the tests that re-execute their own program (gtest's
# "threadsafe" death tests, IMGAllocator.*) or whose capture does
# (CaptureHostile.*: --video plays the run's sound in a child capture),
# which qemu-user cannot start without a binfmt entry; they run in the
# native stages. The other death
# tests fork without re-executing, which works in a static program.
TORVELIN_CAPTURE_PROGRAM=$capture ctest --test-dir "$build" --output-on-failure -j"$jobs" -L cross \
  -E 'IMGAllocator\.|CaptureHostile\.' --output-junit "$build/junit-cross-$arch.xml"
echo "$arch stage: built in $((built - start)) s, tested in $(($(date +%s) - built)) s"
