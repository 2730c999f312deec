#!/usr/bin/env bash
# Installs what building and playing need, builds the windowed intro
# (showing the build as it goes) and plays it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh run
cmake --preset run
cmake --build --preset run
exec ./build-run/intro
