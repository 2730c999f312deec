#!/usr/bin/env bash
# ctest-labels: compat (also run on the SDL 1.2 compatibility layer)
# Without a display, or with a display nobody answers on, the program says
# why on standard error in one line and exits 1, printing nothing on
# standard output: it neither draws text art on the terminal nor runs on
# where no picture can be seen.
source "$(dirname "$0")/common.bash"

# Runs the program without a screen and expects REASON after the window's
# refusal; the rest of the arguments go to env.
expect_refusal() {
  local name=$1 reason=$2 status=0
  shift 2
  env -u SDL_VIDEODRIVER "$@" SDL_AUDIODRIVER=dummy timeout 20 "$INTRO" \
    >"$WORK/$name.out" 2>"$WORK/$name.err" </dev/null || status=$?
  [ "$status" = "1" ] || fail "exit status $status $name"
  [ ! -s "$WORK/$name.out" ] || fail "something was printed on standard output $name"
  [ "$(wc -l <"$WORK/$name.err")" = "1" ] || fail "expected one line on standard error $name"
  grep -qF "TORVELIN: cannot open the 256 x 256 window: $reason" "$WORK/$name.err" || fail "unclear message $name"
  echo "$name: $(cat "$WORK/$name.err")"
}

expect_refusal "without a display" "" -u DISPLAY
# A display number no server listens on.
silent=:$((9000 + RANDOM % 900))
expect_refusal "with a silent display" "cannot reach the X server at $silent" DISPLAY=$silent
