#!/usr/bin/env bash
# Builds the WebAssembly programs with emscripten through the preset web
# (build-web/: the page in site/, intro-capture for node, web-bench) or
# web-scalar (build-web-scalar/: intro-capture without SIMD).
#   bash scripts/web_build.sh [web|web-scalar]
# The pictures, the instrument bank and the icon come from the native build folder
# build/, whose generators are built first (configured without the tests
# if it is not there yet).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-web}
case $preset in
  web | web-scalar) ;;
  *) echo "web_build: no web preset '$preset' (web or web-scalar)" >&2; exit 2 ;;
esac

[ -f build/CMakeCache.txt ] || cmake --preset default -DBUILD_TESTING=OFF
cmake --build build --target tv_pictures tv_bank tv_icon
cmake --preset "$preset"
cmake --build --preset "$preset"
