#!/usr/bin/env bash
# ctest-labels: compat (also run on the SDL 1.2 compatibility layer)
# A screenshot of each scene in a real window, SPACE moving from one to the
# next: each must show a picture (many colours, not one flat shade) that
# differs from the scene before it. The pictures stay in $BUILD_DIR/screens/.
source "$(dirname "$0")/common.bash"

SCREENS="${BUILD_DIR:-$WORK}/screens"
mkdir -p "$SCREENS"

start_x
start_program "$INTRO" intro
window=$(wait_window)

# Checks a screenshot; prints why it falls short, or nothing.
shortcoming() {
  local shot=$1 previous=$2 fewest=$3 size colours spread lit differ
  size=$(identify -format '%w x %h' "$shot")
  [ "$size" = "256 x 256" ] || { echo "size $size"; return; }
  colours=$(identify -format '%k' "$shot")
  [ "$colours" -ge "$fewest" ] || { echo "only $colours colours"; return; }
  spread=$(convert "$shot" -colorspace Gray -format '%[fx:int(1000*standard_deviation)]' info:)
  [ "$spread" -ge 20 ] || { echo "nearly uniform (spread $spread)"; return; }
  lit=$(convert "$shot" -format '%[fx:int(1000*mean)]' info:)
  [ "$lit" -ge 10 ] || { echo "nearly black (mean $lit)"; return; }
  if [ -n "$previous" ]; then
    differ=$(compare -metric AE "$previous" "$shot" null: 2>&1 || true)
    [ "${differ%% *}" -gt 1000 ] 2>/dev/null || { echo "like the scene before it ($differ pixels differ)"; return; }
  fi
}

# name, seconds to let the scene run before the first shot, fewest colours.
# The logos swing wholly off the screen for a while (from about 1.3 s to
# 3.3 s into their scene), so a dark shot is retaken half a second later, a
# few times over; that also covers a machine too busy to keep up 50 frames
# per second. Logos in one pastel tint blend into only a handful of shades.
scenes=(lasers:2.5:16 scroller:3:16 logos:4.5:4 tiles:2.5:16 noise:1.5:16)
previous=""
for i in "${!scenes[@]}"; do
  IFS=: read -r name wait fewest <<<"${scenes[$i]}"
  [ "$i" -gt 0 ] && press space "$window"
  sleep "$wait"
  shot="$SCREENS/$((i + 1))_$name.png"
  why="not taken"
  for _ in 1 2 3 4 5 6 7 8; do
    still_running || fail "the program ended during the $name scene"
    x_try import -window "$window" "$shot" || fail "screenshot of the $name scene"
    why=$(shortcoming "$shot" "$previous" "$fewest")
    [ -z "$why" ] && break
    sleep 0.5
  done
  [ -z "$why" ] || fail "$name: $why"
  echo "$name: $(identify -format '%k' "$shot") colours"
  previous=$shot
done

press Escape "$window"
wait_exit 10
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after Escape"
echo "scene screenshots in $SCREENS"
