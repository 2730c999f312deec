#!/usr/bin/env bash
# ctest-labels: compat (also run on the SDL 1.2 compatibility layer)
# The windowed program opens a 256 x 256 window titled TORVELIN, shows the
# frame image in it, keeps playing through SPACE presses and prints nothing.
source "$(dirname "$0")/common.bash"

start_x
start_program "$INTRO" intro
window=$(wait_window)

geometry=$(x_try xwininfo -id "$window")
grep -q "Width: 256$" <<<"$geometry" || fail "window width: $geometry"
grep -q "Height: 256$" <<<"$geometry" || fail "window height: $geometry"
[ "$(x_try xdotool getwindowname "$window")" = "TORVELIN" ] || fail "window title"

# The window shows the frame image pixel for pixel: 256 x 256, with the
# first scene's many-coloured beams drawn all over it.
sleep 1
x_try import -window "$window" "$WORK/shot.ppm" || fail "screenshot"
size=$(identify -format '%w x %h' "$WORK/shot.ppm")
[ "$size" = "256 x 256" ] || fail "screenshot size $size"
expect_scene_shown "$WORK/shot.ppm"

# SPACE moves to the next scene; the program keeps running.
for _ in 1 2 3 4 5 6; do
  press space "$window"
  sleep 0.2
done
still_running || fail "the program ended on SPACE"
x_try xdotool search --onlyvisible --name '^TORVELIN$' >/dev/null || fail "the window closed on SPACE"

press Escape "$window"
wait_exit 10
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after Escape"
[ ! -s "$WORK/intro.out" ] || fail "something was printed on standard output"
echo "window test passed"
