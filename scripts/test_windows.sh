#!/usr/bin/env bash
# Tests the Windows build under wine, with a wine prefix of its own in the
# build folder: the capture tool's whole loop against the stored digests
# and byte for byte against the native build's, its option errors and
# `--raw > NUL`; the windowed program under Xvfb (window, picture, F, SPACE,
# ESC and its exit status, a start-up failure's message box) and the
# full-screen one on a 1024 x 768 screen, on desktops scaled to 100, 150
# and 200 %; and that the programs are windowed or console ones as they
# should be, with the icon, version and manifest; and a non-ASCII file name.
#   bash scripts/test_windows.sh [BUILD_FOLDER]     (default build-windows)
# The native build folder ($TORVELIN_HOST_BUILD, default build) supplies
# the generated data, the capture tests and the reference capture.
set -euo pipefail
cd "$(dirname "$0")/.."
win=${1:-build-windows}
host=${TORVELIN_HOST_BUILD:-build}
started=$(date +%s)
fail() { echo "FAIL: $*" >&2; exit 1; }

bash scripts/windows.sh "$win" >/dev/null
cmake --build "$host" -j"$(nproc)" --target test_capture intro-capture >/dev/null

# Wrappers that run each program under wine like a native one. Windows
# programs end lines of text in CR LF, the tests expect LF: standard error
# loses its CRs (standard output carries binary frames and is left alone).
export WINEPREFIX=$PWD/$win/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
run=$PWD/$win/wine-run
mkdir -p "$run"
for program in torvelin torvelin-fullscreen torvelin-capture; do
  printf '#!/bin/bash\nset -o pipefail\n{ wine %s "$@" 2>&1 1>&3 3>&- | tr -d "\\r" >&2; } 3>&1\n' \
    "$PWD/$win/$program.exe" >"$run/$program"
  chmod +x "$run/$program"
done
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
echo "wine prefix ready after $(($(date +%s) - started)) s"
work=$(mktemp -d)
trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT

echo "programs: subsystems, icon, version, manifest"
triple=x86_64-w64-mingw32
icon=$host/generated/icons/256/torvelin.png
for program in torvelin torvelin-fullscreen torvelin-capture; do
  exe=$win/$program.exe
  subsystem=$($triple-objdump -p "$exe" | sed -n 's/^Subsystem.*(\(.*\))$/\1/p')
  case $program in
    torvelin-capture) [ "$subsystem" = "Windows CUI" ] || fail "$program is a $subsystem program, not a console one" ;;
    *) [ "$subsystem" = "Windows GUI" ] || fail "$program is a $subsystem program, not a windowed one" ;;
  esac
  python3 -c 'import sys; sys.exit(open(sys.argv[1], "rb").read() not in open(sys.argv[2], "rb").read())' \
    "$icon" "$exe" || fail "$program does not carry the icon"
  tr -d '\0' <"$exe" | grep -a "ProductVersion$(sed -n 's/^project(torvelin VERSION \([^ ]*\) .*/\1/p' CMakeLists.txt)" >/dev/null ||
    fail "$program does not carry its version"
  manifest=$(wrestool -x --raw -t 24 -n 1 "$exe" 2>/dev/null | tr -s ' \n' ' ')
  for setting in '>true/pm</dpiAware>' '>PerMonitorV2, PerMonitor</dpiAwareness>' '>UTF-8</activeCodePage>' \
                 '35138b9a-5d96-4fbd-8e2d-a2440225f93a' '8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a'; do
    grep -qF -- "$setting" <<<"$manifest" || fail "$program's manifest lacks $setting"
  done
done

echo "capture tool: option errors, NUL"
status=0
"$run/torvelin-capture" --frames 0 --raw >"$work/out" 2>"$work/err" || status=$?
[ "$status" = 2 ] || fail "a bad option gave status $status"
[ "$(wc -l <"$work/err")" = 1 ] || fail "a bad option gave $(wc -l <"$work/err") lines: $(cat "$work/err")"
grep -q "^torvelin-capture: " "$work/err" || fail "the message does not start with the bare program name: $(cat "$work/err")"
[ ! -s "$work/out" ] || fail "a bad option wrote to standard output"
# NUL is a character device, for which isatty is true on Windows.
(cd "$win" && wine cmd /c "torvelin-capture.exe --quiet --raw --frames 3 > NUL") >"$work/nul.out" 2>&1 ||
  fail "--raw > NUL failed: $(cat "$work/nul.out")"

echo "capture tool: a file name in Greek and Cyrillic letters"
unicode_name="$work/ήχος звук.wav"
"$run/torvelin-capture" --quiet --frames 3 --wav "$unicode_name" >"$work/unicode.out" 2>&1 ||
  fail "--wav to a non-ASCII name failed: $(cat "$work/unicode.out")"
[ "$(stat -c %s "$unicode_name" 2>/dev/null)" = $((44 + 3 * 882 * 2)) ] ||
  fail "no 3-frame WAV file under the non-ASCII name: $(ls "$work")"

echo "capture tool: the stored digests"
TORVELIN_CAPTURE_PROGRAM="$run/torvelin-capture" "$host/test_capture" --gtest_filter='Regression.*' >"$work/regression.out" ||
  { cat "$work/regression.out"; fail "the loop under wine does not match the stored digests"; }

echo "capture tool: a whole loop against the native build's"
native=$("$host/tools/capture/intro-capture" --quiet --raw --wav "$work/native.wav" | sha256sum)
wine=$("$run/torvelin-capture" --quiet --raw --wav "$work/wine.wav" | sha256sum)
[ "$native" = "$wine" ] || fail "the raw frames differ from the native build's"
cmp -s "$work/native.wav" "$work/wine.wav" || fail "the sound differs from the native build's"

# Each real-window test starts an X server of its own; wine's own server
# goes with it, so that the next program meets the next display.
window_test() {
  INTRO="$run/torvelin" INTRO_FULLSCREEN="$run/torvelin-fullscreen" BUILD_DIR="$PWD/$host" bash "$@"
  wineserver -k 2>/dev/null || true
}
echo "windowed program: window, picture, SPACE, ESC"
window_test tests/window/intro_window.sh
echo "windowed program: F and SPACE"
window_test tests/wine/keys.sh
echo "windowed program: a start-up failure in a message box"
window_test tests/wine/start_failure.sh
echo "full-screen program and TORVELIN_SCALE: whole-factor enlargement"
window_test tests/window/intro_enlarged.sh
echo "scaled desktops: 96, 144 and 192 pixels per inch"
window_test tests/wine/desktop_scale.sh

echo "Windows build under wine: all checks passed in $(($(date +%s) - started)) s"
