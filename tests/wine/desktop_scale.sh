#!/usr/bin/env bash
# The Windows build on a scaled desktop: with the wine prefix's screen at
# 96, 144 and 192 pixels per inch (100 %, 150 %, 200 %) the windowed
# program opens a 256, 512 and 512 pixel window, the picture enlarged
# whole pixel for whole pixel; TORVELIN_SCALE=1 still gives 256. At 192 the
# full-screen program sees the real 1024 x 768 screen and fills its middle
# 768 x 768 three times enlarged. A program that Windows took for unaware
# of the scale would be told 96 and see a smaller screen. The prefix is
# put back to 96 at the end.
source "$(dirname "$(readlink -f "$0")")/../window/common.bash"
: "${WINEPREFIX:?WINEPREFIX must name the wine prefix}"
: "${INTRO_FULLSCREEN:?INTRO_FULLSCREEN must name the full-screen program}"

# The screen's pixels per inch, in both places wine reads it from; the
# next program started reads it afresh.
set_dpi() {
  local key
  for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || return 1
  done
  wineserver -w
}
trap 'set_dpi 96; cleanup' EXIT

start_x
for case in 96:256 144:512 192:512 192:256:1; do
  IFS=: read -r dpi side scale <<<"$case"
  set_dpi "$dpi" || fail "could not set LogPixels to $dpi"
  what="dpi${dpi}${scale:+_scale$scale}"
  TORVELIN_SCALE=${scale:-} start_program "$INTRO" "$what"
  window=$(wait_window)
  geometry=$(x_try xwininfo -id "$window")
  grep -q "Width: $side$" <<<"$geometry" && grep -q "Height: $side$" <<<"$geometry" ||
    fail "$what: not a $side x $side window: $geometry"
  sleep 1
  expect_enlarged "$what" $((side / 256)) "${side}x${side}+0+0" -window "$window"
  press Escape "$window"
  wait_exit 10
  [ "$EXIT_STATUS" = 0 ] || fail "$what: exit status $EXIT_STATUS after Escape"
  [ ! -s "$WORK/$what.err" ] || fail "$what: printed on standard error"
  echo "$dpi pixels per inch${scale:+, TORVELIN_SCALE=$scale}: a $side x $side window, sharp"
done

start_program "$INTRO_FULLSCREEN" fullscreen_dpi192
wait_window >/dev/null
sleep 1
expect_enlarged fullscreen_dpi192 3 768x768+128+0 -window root
press Escape
wait_exit 10
[ "$EXIT_STATUS" = 0 ] || fail "full screen at 192: exit status $EXIT_STATUS after Escape"
echo "192 pixels per inch, full screen: the frame three times on the 1024 x 768 screen"
