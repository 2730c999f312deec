#!/usr/bin/env bash
# Sets everything up, builds and runs every test: the unit and real-window
# tests, the real-window tests again on the SDL 1.2 compatibility layer,
# the Debian package's checks (lintian, install, run, remove), the unit
# tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the sound concurrency test under
# ThreadSanitizer, a short run of every fuzz target, the tests of the
# arm64, armhf and s390x builds (64-bit, 32-bit and big-endian) under
# qemu-user, the web build, and the Windows build under wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)

step() { echo; echo "=== $*"; }

# Runs a command that ends in ctest (ctest itself, or a script that runs
# it) and adds its count of passed tests to the total.
passed=0
run_counted() {
  local log
  log=$(mktemp)
  "$@" 2>&1 | tee "$log"
  local count
  count=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  passed=$((passed + ${count:-0}))
  rm -f "$log"
}
run_ctest() { run_counted ctest "$@"; }

step "build and test"
cmake -S . -B build -DTORVELIN_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
run_ctest --test-dir build --output-on-failure -j"$jobs"

step "real-window tests on the SDL 1.2 compatibility layer"
run_counted bash scripts/test_compat.sh build

step "Debian package: lintian, install, run, remove"
bash scripts/test_deb.sh build

step "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DTORVELIN_SANITIZE=ON -DTORVELIN_PROGRAMS=OFF -DTORVELIN_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 run_ctest --test-dir build-asan --output-on-failure -j"$jobs" -L unit

if [ -d tests/audio ] && grep -rlq "Concurrency" tests/audio 2>/dev/null; then
  step "sound concurrency under ThreadSanitizer"
  cmake -S . -B build-tsan -DTORVELIN_TSAN=ON -DTORVELIN_PROGRAMS=OFF -DTORVELIN_BENCH=OFF >/dev/null
  cmake --build build-tsan -j"$jobs" --target test_audio
  TSAN_OPTIONS=halt_on_error=1 ./build-tsan/test_audio --gtest_filter='*Concurrency*'
fi

if ls fuzz/*.cpp >/dev/null 2>&1; then
  step "fuzz targets, ${FUZZ_SECONDS:-20} s each"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DTORVELIN_FUZZ=ON -DTORVELIN_SANITIZE=ON \
    -DTORVELIN_PROGRAMS=OFF -DTORVELIN_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j"$jobs" --target $(for f in fuzz/*.cpp; do basename "$f" .cpp | sed 's/^/fuzz_/'; done)
  for f in fuzz/*.cpp; do
    name=$(basename "$f" .cpp)
    work=$(mktemp -d)
    cp -r "fuzz/corpus/$name/." "$work/" 2>/dev/null || true
    echo "fuzz_$name"
    if ! ./build-fuzz/"fuzz_$name" -max_total_time="${FUZZ_SECONDS:-20}" -print_final_stats=1 \
        "$work" >"$work.log" 2>&1; then
      tail -n 40 "$work.log"
      echo "fuzz_$name failed"
      exit 1
    fi
    grep -E "stat::number_of_executed_units" "$work.log" || true
    rm -rf "$work" "$work.log"
  done
fi

for arch in arm64 armhf s390x; do
  step "$arch: generators, unit tests and the Regression test under qemu-user"
  run_counted bash scripts/test_cross.sh "$arch"
done

bash scripts/test_web.sh

step "Windows build under wine"
bash scripts/test_windows.sh

echo
echo "all tests passed"
echo "$passed passed, 0 failed"
