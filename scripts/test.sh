#!/usr/bin/env bash
# Sets everything up and runs every check. Each stage is a workflow preset
# of CMakePresets.json (configure, build, then the tests of its labels) or,
# where a stage needs more than CMake, a script that runs presets itself.
# Any failing stage stops the run; the count comes from the stages' JUnit
# files.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}
rm -f build*/junit-*.xml

stage() { echo; echo "=== $1"; shift; "$@"; }

stage "unit and real-window tests" cmake --workflow --preset default
stage "real-window tests on the SDL 1.2 compatibility layer" cmake --workflow --preset compat
stage "Debian package: lintian, install, run, remove" cmake --workflow --preset deb
stage "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer" cmake --workflow --preset asan
stage "sound concurrency under ThreadSanitizer" cmake --workflow --preset tsan
stage "fuzz targets" cmake --workflow --preset fuzz
for arch in arm64 armhf s390x; do
  stage "$arch: generators, unit tests and the Regression test under qemu-user" bash scripts/test_cross.sh "$arch"
done
stage "web build (WebAssembly SIMD): intro-capture under node, the page in Chromium" cmake --workflow --preset web
stage "web build (scalar): intro-capture under node" cmake --workflow --preset web-scalar
stage "Windows build" bash scripts/windows.sh
stage "Windows build under wine" ctest --preset windows
stage "Linux tarball for any distribution" bash scripts/linux_bundle.sh
stage "Linux tarball: played with the system's SDL 1.2 hidden" ctest --test-dir build-linux -L '^linux$' \
  --output-on-failure --no-tests=error --output-junit junit-linux.xml

echo
python3 - build*/junit-*.xml <<'COUNT'
import sys
import xml.etree.ElementTree as ET
passed = failed = 0
for name in sys.argv[1:]:
    for case in ET.parse(name).getroot().iter("testcase"):
        if case.get("status") == "run" and case.find("failure") is None:
            passed += 1
        else:
            failed += 1
print("all tests passed" if failed == 0 else f"{failed} test(s) did not pass")
print(f"{passed} passed, {failed} failed")
sys.exit(failed != 0)
COUNT
