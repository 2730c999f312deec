#!/usr/bin/env bash
# Sets everything up, builds and runs the windowed intro.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target intro >/dev/null
exec ./build/intro
