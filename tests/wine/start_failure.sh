#!/usr/bin/env bash
# A windowed program that cannot open its window (here: no such video
# driver) says why in a message box, which waits for OK, as well as in one
# line on standard error, and ends with status 1. For the Windows build,
# whose windowed programs have no console to show the line on.
source "$(dirname "$(readlink -f "$0")")/../window/common.bash"

start_x
SDL_VIDEODRIVER=none-such start_program "$INTRO" intro
answer_message_box "the program"
wait_exit 10
[ "$EXIT_STATUS" = 1 ] || fail "exit status $EXIT_STATUS after OK"
[ "$(cat "$WORK/intro.err")" = "TORVELIN: cannot open the 256 x 256 window: No available video device" ] ||
  fail "unclear message on standard error"
echo "start-up failure: a message box, then status 1 with: $(cat "$WORK/intro.err")"
