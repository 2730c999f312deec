#!/usr/bin/env bash
# --help, -h and --version are answered at once on standard output with
# status 0, before any window: run without a display, a program that tried
# to open one would fail. Any other argument is ignored, so it still goes
# on to open the window (and here fails for the missing display).
source "$(dirname "$0")/common.bash"
: "${INTRO_FULLSCREEN:?INTRO_FULLSCREEN must name the full-screen program}"
: "${BUILD_DIR:?BUILD_DIR must name the build folder}"
version=$(cat "$BUILD_DIR/torvelin-version.txt") || fail "no torvelin-version.txt in $BUILD_DIR"

answer() {
  local name=$1 status=0
  shift
  env -u DISPLAY -u SDL_VIDEODRIVER timeout 10 "$@" >"$WORK/$name.out" 2>"$WORK/$name.err" </dev/null || status=$?
  [ "$status" = 0 ] || fail "$*: exit status $status"
  [ ! -s "$WORK/$name.err" ] || fail "$*: printed on standard error"
}

for program in "$INTRO" "$INTRO_FULLSCREEN"; do
  for option in --help -h; do
    answer usage "$program" "$option"
    for word in "Usage: $(basename "$program")" SPACE ESC TORVELIN_SCALE "intro-capture --help"; do
      grep -qF -- "$word" "$WORK/usage.out" || fail "$program $option does not mention $word"
    done
  done
  answer version "$program" ignored --version
  [ "$(cat "$WORK/version.out")" = "TORVELIN $version" ] || fail "$program --version: $(cat "$WORK/version.out")"
done
echo "--help and --version: $(cat "$WORK/version.out"), no window"

status=0
env -u DISPLAY -u SDL_VIDEODRIVER timeout 20 "$INTRO" foo >"$WORK/foo.out" 2>"$WORK/foo.err" </dev/null || status=$?
[ "$status" = 1 ] && grep -q "cannot open the 256 x 256 window" "$WORK/foo.err" ||
  fail "an unknown argument should be ignored: status $status, $(cat "$WORK/foo.err")"
echo "foo: ignored, the window was tried"
