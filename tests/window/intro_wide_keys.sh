#!/usr/bin/env bash
# Keys whose symbols are above 255 share their low byte with the program's
# keys (F2 with Escape, F7 with space, Ctrl, Alt and Meta with the digits):
# they must do nothing. F2 must not fade out and end the program.
source "$(dirname "$0")/common.bash"

start_x
start_program "$INTRO" intro
window=$(wait_window)
sleep 0.3
for key in F2 F7 Control_L Alt_L Meta_L; do press "$key" "$window"; done
# An exit fade takes about 1.3 s: give it more than that to show.
sleep 2
still_running || fail "a key above 255 ended the program"
press Escape "$window"
wait_exit 10
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after Escape"
echo "F2, F7, Ctrl, Alt and Meta left the program running; Escape still ends it"
