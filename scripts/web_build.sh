#!/usr/bin/env bash
# Builds the WebAssembly programs with emscripten: the page in
# BUILD_FOLDER/site/, intro-capture for node and web-bench.
#   bash scripts/web_build.sh [BUILD_FOLDER [CMAKE_OPTION...]]
# The pictures, the instrument bank and the icon come from the native build folder
# ($TORVELIN_HOST_BUILD, default build), whose generators are built first.
# WEB_TARGETS limits the build to some targets.
set -euo pipefail
cd "$(dirname "$0")/.."
web=${1:-build-web}
shift || true
host=${TORVELIN_HOST_BUILD:-build}
jobs=$(nproc)

# emcc's JavaScript optimizer finds its acorn module in Debian's node folder;
# emcc itself wants Debian's python.
export NODE_PATH=/usr/share/nodejs
export EMSDK_PYTHON=/usr/bin/python3

[ -f "$host/CMakeCache.txt" ] || cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$host" -j"$jobs" --target tv_pictures tv_bank tv_icon >/dev/null
emcmake cmake -S . -B "$web" -DCMAKE_BUILD_TYPE=Release -DTORVELIN_HOST_BUILD="$PWD/$host" "$@" >/dev/null
targets=()
for target in ${WEB_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$web" -j"$jobs" "${targets[@]}"
