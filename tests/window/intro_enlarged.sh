#!/usr/bin/env bash
# ctest-labels: compat (also run on the SDL 1.2 compatibility layer)
# Sharp enlargement on a real screen. The full-screen program on a
# 1024 x 768 screen without a 256 x 256 mode fills the 768 x 768 square in
# the middle with the frame enlarged three times, on black; TORVELIN_SCALE=2
# opens a 512 x 512 window with the frame enlarged twice. "Enlarged" means
# every frame pixel is a square of one colour: the shot equals its own
# 256 x 256 sample enlarged again, and that sample is a scene, not a flat
# shade. A bad TORVELIN_SCALE gives one line on standard error and 256 x 256;
# one too large for the screen gives way to the largest that fits, said.
source "$(dirname "$0")/common.bash"
: "${INTRO_FULLSCREEN:?INTRO_FULLSCREEN must name the full-screen program}"

start_x

# Full screen: 3 x 256 = 768 fits 1024 x 768; 128 columns of black each side.
start_program "$INTRO_FULLSCREEN" fullscreen
wait_window >/dev/null
sleep 1
expect_enlarged fullscreen 3 768x768+128+0 -window root
for margin in 128x768+0+0 128x768+896+0; do
  lit=$(convert "$WORK/shot_full.png" -crop "$margin" +repage -format '%[fx:int(255*maxima)]' info:)
  [ "$lit" = 0 ] || fail "the margin $margin is not black"
done
press Escape
wait_exit 10
[ "$EXIT_STATUS" = "0" ] || fail "full screen: exit status $EXIT_STATUS after Escape"
echo "full screen: the frame three times, centred on black"

# A window twice as large.
export TORVELIN_SCALE=2
start_program "$INTRO" scaled
window=$(wait_window)
geometry=$(x_try xwininfo -id "$window")
grep -q "Width: 512$" <<<"$geometry" && grep -q "Height: 512$" <<<"$geometry" || fail "window: $geometry"
sleep 1
expect_enlarged scale2 2 512x512+0+0 -window "$window"
press Escape "$window"
wait_exit 10
[ "$EXIT_STATUS" = "0" ] || fail "TORVELIN_SCALE=2: exit status $EXIT_STATUS after Escape"
[ ! -s "$WORK/scaled.err" ] || fail "TORVELIN_SCALE=2 printed on standard error"
echo "TORVELIN_SCALE=2: a 512 x 512 window, the frame twice"

# Too large for the 1024 x 768 screen: the largest that fits with room for
# the title bar, said in one line.
export TORVELIN_SCALE=8
start_program "$INTRO" toolarge
window=$(wait_window)
geometry=$(x_try xwininfo -id "$window")
grep -q "Width: 512$" <<<"$geometry" && grep -q "Height: 512$" <<<"$geometry" || fail "TORVELIN_SCALE=8: $geometry"
press Escape "$window"
wait_exit 10
[ "$(cat "$WORK/toolarge.err")" = "TORVELIN: TORVELIN_SCALE=8 does not fit a 1024 x 768 screen; using 2" ] ||
  fail "TORVELIN_SCALE=8 should say in one line that it does not fit"
echo "TORVELIN_SCALE=8: $(cat "$WORK/toolarge.err")"

# A bad value: one line saying so, and the plain window.
export TORVELIN_SCALE=9
start_program "$INTRO" badscale
window=$(wait_window)
geometry=$(x_try xwininfo -id "$window")
grep -q "Width: 256$" <<<"$geometry" || fail "TORVELIN_SCALE=9: $geometry"
press Escape "$window"
wait_exit 10
unset TORVELIN_SCALE
[ "$(wc -l <"$WORK/badscale.err")" = 1 ] && grep -q "TORVELIN_SCALE" "$WORK/badscale.err" ||
  fail "TORVELIN_SCALE=9 should give one line on standard error"
echo "TORVELIN_SCALE=9: $(cat "$WORK/badscale.err")"
