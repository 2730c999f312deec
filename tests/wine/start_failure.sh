#!/usr/bin/env bash
# A windowed program that cannot open its window (here: no such video
# driver) says why in a message box, which waits for OK, as well as in one
# line on standard error, and ends with status 1. For the Windows build,
# whose windowed programs have no console to show the line on.
source "$(dirname "$(readlink -f "$0")")/../window/common.bash"

start_x
SDL_VIDEODRIVER=none-such start_program "$INTRO" intro
box=""
for _ in $(seq 1 150); do
  box=$(xdotool search --name '^TORVELIN$' 2>/dev/null | head -n 1 || true)
  [ -n "$box" ] && break
  still_running || fail "the program ended without a message box"
  sleep 0.1
done
[ -n "$box" ] || fail "no message box titled TORVELIN appeared"
sleep 0.5
still_running || fail "the program ended before OK was pressed"
# The box stands lit in the middle of the black screen.
x_try import -window root "$WORK/screen.png" || fail "screenshot"
lit=$(convert "$WORK/screen.png" -crop 200x40+412+364 +repage -colorspace gray -format '%[fx:int(100*mean)]' info:)
[ "$lit" -ge 50 ] || fail "no message box to be seen in the middle of the screen ($lit% light)"
x_try xdotool windowfocus --sync "$box" 2>/dev/null || true
press Return
wait_exit 10
[ "$EXIT_STATUS" = 1 ] || fail "exit status $EXIT_STATUS after OK"
[ "$(cat "$WORK/intro.err")" = "TORVELIN: cannot open the 256 x 256 window: No available video device" ] ||
  fail "unclear message on standard error"
echo "start-up failure: a message box, then status 1 with: $(cat "$WORK/intro.err")"
