#!/usr/bin/env bash
# Walks once round the whole loop in a real window with SPACE and on into
# the next round: a screenshot per scene, each a real picture, the sixth
# (the lasers again) proving the loop starts over. Escape then ends the
# program with status 0. The pictures stay in $BUILD_DIR/screens/.
source "$(dirname "$0")/common.bash"

SCREENS="${BUILD_DIR:-$WORK}/screens"
mkdir -p "$SCREENS"

start_x
start_program "$INTRO" intro
window=$(wait_window)

# seconds each scene runs before its shot: lasers, scroller, logos (early,
# while the swing still has the copies on screen), tiles,
# noise, lasers
waits=(2 3 0.6 2.5 1.5 2)
for i in "${!waits[@]}"; do
  n=$((i + 1))
  [ "$i" -gt 0 ] && press space "$window"
  sleep "${waits[$i]}"
  still_running || fail "the program ended in scene $n"
  shot="$SCREENS/loop_$n.png"
  x_try import -window "$window" "$shot" || fail "screenshot $n"
  colours=$(identify -format '%k' "$shot")
  [ "$colours" -gt 1 ] || fail "scene $n is one flat colour"
  spread=$(convert "$shot" -colorspace Gray -format '%[fx:int(1000*standard_deviation)]' info:)
  [ "$spread" -ge 20 ] || fail "scene $n is nearly uniform (spread $spread)"
  echo "loop_$n: $colours colours, spread $spread"
done

# The sixth shot is the first scene again: beams on a black ground, where
# the noise before it leaves hardly a pixel black.
black() { convert "$1" -fill white +opaque black -format '%[fx:int(1000*(1-mean))]' info:; }
black_noise=$(black "$SCREENS/loop_5.png")
black_again=$(black "$SCREENS/loop_6.png")
echo "black per mille: noise $black_noise, after it $black_again"
[ "$black_again" -ge 100 ] && [ "$black_again" -gt $((black_noise * 4)) ] ||
  fail "the loop did not start over with the first scene"

press Escape "$window"
wait_exit 10
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after Escape"
echo "loop screenshots in $SCREENS"
