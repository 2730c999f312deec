#!/usr/bin/env bash
# A screenshot of each scene in a real window, SPACE moving from one to the
# next: each must show a picture (many colours, not one flat shade) that
# differs from the scene before it. The pictures stay in $BUILD_DIR/screens/.
source "$(dirname "$0")/common.bash"

SCREENS="${BUILD_DIR:-$WORK}/screens"
mkdir -p "$SCREENS"

start_x
start_program "$INTRO" intro
window=$(wait_window)

# name, seconds to let the scene run before the shot (the logos swing
# wholly off the screen from about 1.3 s to 3.3 s into their scene)
scenes=(lasers:2.5 scroller:3 logos:4.5 tiles:2.5 noise:1.5)
previous=""
for i in "${!scenes[@]}"; do
  name=${scenes[$i]%%:*}
  wait=${scenes[$i]##*:}
  [ "$i" -gt 0 ] && press space "$window"
  sleep "$wait"
  still_running || fail "the program ended during the $name scene"
  shot="$SCREENS/$((i + 1))_$name.png"
  import -window "$window" "$shot" || fail "screenshot of the $name scene"
  size=$(identify -format '%w x %h' "$shot")
  [ "$size" = "256 x 256" ] || fail "$name: screenshot size $size"
  colours=$(identify -format '%k' "$shot")
  [ "$colours" -ge 16 ] || fail "$name: only $colours colours"
  spread=$(convert "$shot" -colorspace Gray -format '%[fx:int(1000*standard_deviation)]' info:)
  [ "$spread" -ge 20 ] || fail "$name: nearly uniform (spread $spread)"
  lit=$(convert "$shot" -format '%[fx:int(1000*mean)]' info:)
  [ "$lit" -ge 10 ] || fail "$name: nearly black (mean $lit)"
  if [ -n "$previous" ]; then
    differ=$(compare -metric AE "$previous" "$shot" null: 2>&1 || true)
    [ "${differ%% *}" -gt 1000 ] 2>/dev/null || fail "$name looks like the scene before it ($differ pixels differ)"
  fi
  previous=$shot
  echo "$name: $colours colours, spread $spread, mean $lit"
done

press Escape "$window"
wait_exit 10
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after Escape"
echo "scene screenshots in $SCREENS"
