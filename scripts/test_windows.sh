#!/usr/bin/env bash
# Tests a built Windows build folder (scripts/windows.sh builds it) under
# wine, with a wine prefix of its own in the build folder: the capture
# tool's whole loop against the stored digests and byte for byte against
# the native build's, its PNG frames, --wav - and the one-output check,
# Unicode folders, --video through a stand-in ffmpeg.exe, its option
# errors and `--raw > NUL`; the windowed program under Xvfb (window,
# picture, F, SPACE, ESC and its exit status, a start-up failure's message
# box, --help and --version) and the
# full-screen one on a 1024 x 768 screen,
# on desktops scaled to 100, 150 and 200 %; and that the programs are
# windowed or console ones as they should be, with the icon, version and
# manifest; and a non-ASCII file name.
#   bash scripts/test_windows.sh [BUILD_FOLDER]     (default build-windows)
# The native build folder ($TORVELIN_HOST_BUILD, default build) supplies
# the generated data, the capture tests and the reference capture.
set -euo pipefail
cd "$(dirname "$0")/.."
win=$(realpath -m "${1:-build-windows}")
host=$(realpath -m "${TORVELIN_HOST_BUILD:-build}")
started=$(date +%s)
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$win/torvelin-capture.exe" ] || fail "$win holds no Windows build: run scripts/windows.sh first"
cmake --build "$host" --target test_capture intro-capture >/dev/null

# Wrappers that run each program under wine like a native one. Windows
# programs end lines of text in CR LF, the tests expect LF: standard error
# loses its CRs (standard output carries binary frames and is left alone).
export WINEPREFIX=$win/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
run=$win/wine-run
mkdir -p "$run"
for program in torvelin torvelin-fullscreen torvelin-capture; do
  printf '#!/bin/bash\nset -o pipefail\n{ wine %s "$@" 2>&1 1>&3 3>&- | tr -d "\\r" >&2; } 3>&1\n' \
    "$win/$program.exe" >"$run/$program"
  chmod +x "$run/$program"
done
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
# One wine server for all the capture tool's runs: left to itself it ends
# a few seconds after its last program, and a program that starts as it
# ends loses its connection to it ("recvmsg: Connection reset by peer").
# Its services start here, away from any program's standard error, which
# they would otherwise hold open for as long as the server lives.
wineserver -k 2>/dev/null || true
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
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
  tr -d '\0' <"$exe" | grep -a "ProductVersion$(cat "$win/torvelin-version.txt")" >/dev/null ||
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
TORVELIN_CAPTURE_PROGRAM="$run/torvelin-capture" ctest --test-dir "$host" -L '^regression$' --no-tests=error \
  >"$work/regression.out" ||
  { cat "$work/regression.out"; fail "the loop under wine does not match the stored digests"; }

echo "capture tool: a whole loop against the native build's"
native=$("$host/tools/capture/intro-capture" --quiet --raw --wav "$work/native.wav" | sha256sum)
wine=$("$run/torvelin-capture" --quiet --raw --wav "$work/wine.wav" | sha256sum)
[ "$native" = "$wine" ] || fail "the raw frames differ from the native build's"
cmp -s "$work/native.wav" "$work/wine.wav" || fail "the sound differs from the native build's"

echo "capture tool: --wav -, and one thing on standard output"
"$run/torvelin-capture" --quiet --wav - --frames 20 >"$work/stdout.wav" || fail "--wav - failed"
"$host/tools/capture/intro-capture" --quiet --wav - --frames 20 | cmp -s - "$work/stdout.wav" ||
  fail "--wav - wrote other bytes than the native build's"
for wav in - CON 'C:\con.wav'; do
  status=0
  "$run/torvelin-capture" --quiet --raw --wav "$wav" --frames 20 >"$work/out" 2>"$work/err" || status=$?
  [ "$status" = 2 ] && [ ! -s "$work/out" ] && grep -q "would both write to standard output" "$work/err" ||
    fail "--raw --wav $wav: status $status, $(wc -c <"$work/out") bytes out, $(cat "$work/err")"
done

# Decoded, not compared as files: the two builds' libraries may pack the
# same pixels differently.
pixels() { /usr/bin/convert "$1" -depth 8 rgb:- | sha256sum; }
same_frames() {
  local names
  names=$(cd "$2" && ls)
  [ -n "$names" ] && [ "$names" = "$(cd "$1" && ls)" ] || fail "$3: frames $(echo $names) against $(ls "$1" | xargs)"
  for name in $names; do
    [ "$(pixels "$1/$name")" = "$(pixels "$2/$name")" ] || fail "$3: $name differs from the native frame"
  done
}
echo "capture tool: PNG frames with the native build's pixels"
"$host/tools/capture/intro-capture" --quiet --png "$work/native-png" --from 3499 --frames 3502 --scale 2
"$run/torvelin-capture" --quiet --png "$work/wine-png" --from 3499 --frames 3502 --scale 2 ||
  fail "--png failed under wine"
same_frames "$work/native-png" "$work/wine-png" "--png"

echo "capture tool: Cyrillic and Polish folders"
"$host/tools/capture/intro-capture" --quiet --raw --wav "$work/uni-native.wav" --frames 30 >"$work/uni-native.raw"
for folder in "Дмитрий Иванов" "Łódź żółć"; do
  mkdir -p "$work/$folder"
  windows=$(winepath -w "$work/$folder")
  # An older sound to replace: the .part takes its place.
  echo old >"$work/$folder/звук.wav"
  LC_ALL=C.UTF-8 "$run/torvelin-capture" --quiet --raw --frames 30 --wav "$windows\\звук.wav" \
    --png "$windows\\кадры" >"$work/$folder/кадры.raw" 2>"$work/err" || fail "$folder: $(cat "$work/err")"
  cmp -s "$work/$folder/звук.wav" "$work/uni-native.wav" || fail "$folder: the sound is not the native one"
  cmp -s "$work/$folder/кадры.raw" "$work/uni-native.raw" || fail "$folder: the raw frames are not the native ones"
  [ "$(ls "$work/$folder/кадры" | wc -l)" = 30 ] || fail "$folder: $(ls "$work/$folder/кадры" | wc -l) PNG frames"
  ls "$work/$folder" | grep -q '\.part$' && fail "$folder: a temporary was left: $(ls "$work/$folder")"
done

echo "capture tool: --video through a stand-in ffmpeg.exe"
mkdir -p "$work/ffmpeg"
$triple-g++-posix -O2 -static -municode -o "$work/ffmpeg/ffmpeg.exe" tests/wine/standin/ffmpeg.cpp
for folder in "Дмитрий Иванов" "Łódź żółć"; do
  windows=$(winepath -w "$work/$folder")
  LC_ALL=C.UTF-8 WINEPATH=$(winepath -w "$work/ffmpeg") "$run/torvelin-capture" --quiet --from 10 --frames 60 \
    --video "$windows\\видео.mp4" 2>"$work/err" || fail "--video in $folder: $(cat "$work/err")"
  got=$(tr '\n' ' ' <"$work/$folder/видео.mp4")
  [[ $got == "size=1920x1080 frames=50 sound_values=44100 profile=high keyframes=100 audio_rate=48000 "* ]] &&
    [[ $got == *"filter=volume=17.00dB,"*"alimiter"*"aresample=48000"* ]] || fail "--video handed ffmpeg: $got"
  ls "$work/$folder" | grep -q '\.part$' && fail "$folder: the video left a temporary: $(ls "$work/$folder")"
done
# An ffmpeg that gives up: its reason in one line, no file, no temporary.
where=$(winepath -w "$work")
status=0
STANDIN_GIVE_UP=1 WINEPATH=$(winepath -w "$work/ffmpeg") "$run/torvelin-capture" --quiet --frames 200 \
  --video "$where\\broken.mp4" 2>"$work/err" || status=$?
[ "$status" = 1 ] && [ "$(cat "$work/err")" = "torvelin-capture: ffmpeg could not make $where\\broken.mp4: no encoder here" ] ||
  fail "an ffmpeg.exe that gives up: status $status, $(cat "$work/err")"
status=0
"$run/torvelin-capture" --quiet --frames 10 --video "$where\\none.mp4" 2>"$work/err" || status=$?
[ "$status" = 2 ] && [ "$(wc -l <"$work/err")" = 1 ] && grep -q "ffmpeg.org" "$work/err" ||
  fail "without ffmpeg.exe: status $status, $(cat "$work/err")"
ls "$work" | grep -q -e none -e broken -e '\.part$' && fail "a failed or refused video left: $(ls "$work")"

# Each real-window test starts an X server of its own; wine's own server
# goes with it, so that the next program meets the next display (and one
# left by the capture tool's runs, which had none, goes before the first).
window_test() {
  wineserver -k 2>/dev/null || true
  INTRO="$run/torvelin" INTRO_FULLSCREEN="$run/torvelin-fullscreen" BUILD_DIR="$host" bash "$@"
  wineserver -k 2>/dev/null || true
}
echo "windowed program: window, picture, SPACE, ESC"
window_test tests/window/intro_window.sh
echo "windowed program: F and SPACE"
window_test tests/wine/keys.sh
echo "windowed program: a start-up failure in a message box"
window_test tests/wine/start_failure.sh
echo "windowed program: --help and --version shown"
$triple-g++-posix -O2 -static -municode -mwindows -o "$work/detached.exe" tests/wine/standin/detached.cpp
INTRO_EXE="$win/torvelin.exe" DETACHED="$work/detached.exe" window_test tests/wine/answers.sh
echo "full-screen program and TORVELIN_SCALE: whole-factor enlargement"
window_test tests/window/intro_enlarged.sh
echo "scaled desktops: 96, 144 and 192 pixels per inch"
window_test tests/wine/desktop_scale.sh

echo "Windows build under wine: all checks passed in $(($(date +%s) - started)) s"
