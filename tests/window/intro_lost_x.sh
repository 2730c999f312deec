#!/usr/bin/env bash
# ctest-labels: compat (also run on the SDL 1.2 compatibility layer)
# The X server goes away under a playing window: the program ends at once
# with one line that says so and status 1, rather than staying behind.
source "$(dirname "$0")/common.bash"

start_x
start_program "$INTRO" intro
wait_window >/dev/null
sleep 0.5
kill "$XVFB_PID"
wait_exit 10
[ "$EXIT_STATUS" = 1 ] || fail "exit status $EXIT_STATUS after the X server went"
[ "$(cat "$WORK/intro.err")" = "TORVELIN: lost the X server at $DISPLAY" ] ||
  fail "unclear message: $(cat "$WORK/intro.err")"
echo "lost X server: status 1 with: $(cat "$WORK/intro.err")"
