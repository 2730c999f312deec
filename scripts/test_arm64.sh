#!/usr/bin/env bash
# The arm64 stage: builds the libraries, the generators, the capture tool,
# the test programs and the two SDL programs for aarch64 with Debian's cross
# compiler, and runs the unit tests and the Regression test under qemu-user.
# The pictures and the instrument bank are made by the generators running
# as arm64 code, so the data tests check what arm64 made.
#
#   bash scripts/test_arm64.sh [BUILD_FOLDER]     (default build-arm64)
#
# Everything it fetches or builds besides the project stays in the build
# folder and is reused by the next run: arm64 libraries unpacked from
# Debian's packages (downloaded through an apt setup of the folder's own;
# the system's apt sources are not touched) and GoogleTest built from
# Debian's googletest sources.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build-arm64}")
deps=$build/deps
jobs=$(nproc)
start=$(date +%s)

# arm64 libraries: libpng and zlib (static, for artgen and the capture
# tool), SDL 1.2 (shared, to link intro and intro-fullscreen).
arm64_packages=(libpng-dev libpng16-16 zlib1g-dev zlib1g libsdl1.2-dev libsdl1.2debian)
if [ ! -f "$deps/.unpacked" ]; then
  apt_dir=$build/apt
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/debs" "$deps"
  # The system's Debian mirrors, for arm64.
  sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1 > "$apt_dir/mirror"
  mirror=$(cat "$apt_dir/mirror")
  mirror=${mirror:-http://deb.debian.org/debian}
  cat > "$apt_dir/sources.list" <<LIST
deb [arch=arm64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm main
deb [arch=arm64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm-updates main
deb [arch=arm64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] ${mirror%/debian}/debian-security bookworm-security main
LIST
  apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o Debug::NoLocking=1
    -o APT::Architecture=arm64 -o APT::Architectures::=arm64)
  apt-get "${apt_options[@]}" update -qq
  (cd "$apt_dir/debs" && apt-get "${apt_options[@]}" download "${arm64_packages[@]}")
  for deb in "$apt_dir"/debs/*.deb; do dpkg-deb -x "$deb" "$deps"; done
  touch "$deps/.unpacked"
fi

toolchain=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/aarch64.cmake" -DTORVELIN_ARM64_DEPS="$deps")
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
libs=$deps/usr/lib/aarch64-linux-gnu
cmake -S . -B "$build" "${toolchain[@]}" -DTORVELIN_WERROR=ON -DTORVELIN_BENCH=OFF -DTORVELIN_STATIC_TOOLS=ON \
  -DPNG_LIBRARY="$libs/libpng16.a" -DZLIB_LIBRARY="$libs/libz.a" \
  -DCMAKE_EXE_LINKER_FLAGS=-Wl,--allow-shlib-undefined >/dev/null
cmake --build "$build" -j"$jobs"
built=$(date +%s)

# The capture tests start the capture tool as a program of its own; without
# a binfmt entry for arm64 the kernel cannot start it, so it runs through
# qemu from a host script.
capture=$build/intro-capture-qemu
printf '#!/bin/sh\nexec qemu-aarch64 %s "$@"\n' "$build/tools/capture/intro-capture" > "$capture"
chmod +x "$capture"

# Left out here: the tests that re-execute their own program (gtest's
# "threadsafe" death tests, IMGAllocator.*), which qemu-user cannot start
# without a binfmt entry; they run in the native stages. The other death
# tests fork without re-executing, which works in a static program.
TORVELIN_CAPTURE_PROGRAM=$capture ctest --test-dir "$build" --output-on-failure -j"$jobs" -L unit \
  -E 'IMGAllocator\.'
echo "arm64 stage: built in $((built - start)) s, tested in $(($(date +%s) - built)) s"
