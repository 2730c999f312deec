#!/usr/bin/env bash
# ctest-labels: compat (also run on the SDL 1.2 compatibility layer)
# The full-screen program starts under Xvfb and ends with status 0 on
# Escape; where the mode is refused it exits 1 with a clear message.
source "$(dirname "$0")/common.bash"
: "${INTRO_FULLSCREEN:?INTRO_FULLSCREEN must name the full-screen program}"

start_x
start_program "$INTRO_FULLSCREEN" fullscreen
for _ in $(seq 1 100); do
  xdotool search --onlyvisible --name '^TORVELIN$' >/dev/null 2>&1 && break
  still_running || break
  sleep 0.1
done

if ! still_running; then
  wait_exit 1
  [ "$EXIT_STATUS" = "1" ] || fail "the full-screen program ended with status $EXIT_STATUS"
  grep -q "^TORVELIN: cannot open the 256 x 256 window: ." "$WORK/fullscreen.err" || fail "unclear message"
  [ ! -s "$WORK/fullscreen.out" ] || fail "something was printed on standard output"
  echo "full-screen mode refused: $(cat "$WORK/fullscreen.err")"
  exit 0
fi

sleep 0.3
# A full-screen program holds the keyboard: press through the server.
press Escape
wait_exit 10
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after Escape"
[ ! -s "$WORK/fullscreen.out" ] || fail "something was printed on standard output"
echo "full-screen: exit 0 on Escape"
