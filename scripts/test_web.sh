#!/usr/bin/env bash
# The web build's tests. intro-capture built to WebAssembly, with wasm SIMD
# and without (the plain scalar code), plays the whole loop under node and
# must give the native digests of its frames and sound; the page plays in
# headless Chromium, driven through puppeteer-core, with its screenshots
# kept in build-web/screenshots/. Expects the native build folder `build`
# (scripts/test.sh makes it).
set -euo pipefail
cd "$(dirname "$0")/.."

step() { echo; echo "=== $*"; }

step "web build (WebAssembly SIMD)"
bash scripts/web_build.sh build-web -DTORVELIN_WERROR=ON
step "web build (scalar)"
WEB_TARGETS=intro-capture bash scripts/web_build.sh build-web-scalar -DTORVELIN_WERROR=ON -DTORVELIN_WEB_SIMD=OFF

cmake --build build -j"$(nproc)" --target test_capture >/dev/null
for folder in build-web build-web-scalar; do
  step "$folder/intro-capture under node against the native digests"
  TORVELIN_CAPTURE_PROGRAM="$PWD/$folder/intro-capture-node" ./build/test_capture --gtest_filter='Regression.*'
done

step "the page in headless Chromium"
# The system's Chromium is used: puppeteer must never download a browser.
(cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
TORVELIN_SITE="$PWD/build-web/site" TORVELIN_SHOTS="$PWD/build-web/screenshots" \
  node --test tests/web/
