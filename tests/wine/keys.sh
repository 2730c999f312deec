#!/usr/bin/env bash
# The windowed program's keys, for builds run through a wrapper (the
# Windows build under wine). F shows the frame rate in two digits at the
# top left and F again hides it; SPACE leaves the laser beams, which light
# much of the upper half, for the scroller's scene: after its title card,
# stars on black; Escape ends
# with status 0. Where the pacing is rough (wine on a busy machine) the
# rate wavers, so only the first digit is looked at, and a 3 or a 2 (32 to
# 63 frames a second) both count. intro-capture draws "32" on the headless
# backend, which gives both figures' pixels.
source "$(dirname "$(readlink -f "$0")")/../window/common.bash"

: "${BUILD_DIR:?BUILD_DIR must name the native build folder}"
CAPTURE="$BUILD_DIR/tools/capture/intro-capture"

"$CAPTURE" -q --keys 0:f --from 149 --frames 150 --png "$WORK/on" || fail "capture with F"
"$CAPTURE" -q --from 149 --frames 150 --png "$WORK/off" || fail "capture without F"
read -r -a on <<<"$(corner "$WORK/on/frame_000149.png")"
read -r -a off <<<"$(corner "$WORK/off/frame_000149.png")"
# The pixels of the 3 (left 8 columns) and of the 2 (right 8 columns, moved
# to the left), as pixel numbers in the corner.
three=()
two=()
for ((p = 0; p < 128; p++)); do
  [ "${on[*]:3*p:3}" != "${off[*]:3*p:3}" ] || continue
  if ((p % 16 < 8)); then three+=("$p"); else two+=("$((p - 8))"); fi
done
[ "${#three[@]}" -ge 6 ] && [ "${#two[@]}" -ge 6 ] || fail "the capture shows no digits with F on"
ink="${on[*]:3*${three[0]}:3}"

# True when the shot's first figure is a whole 3 or 2 in the digits' colour.
shows_figure() {
  local -a shot
  read -r -a shot <<<"$(corner "$1")"
  local glyph p whole
  for glyph in "${three[*]}" "${two[*]}"; do
    whole=1
    for p in $glyph; do
      [ "${shot[*]:3*p:3}" = "$ink" ] || { whole=0; break; }
    done
    [ "$whole" = 1 ] && return 0
  done
  return 1
}

# How many of ten shots, a fifth of a second apart, show a figure.
count_figures() {
  local n=0 k
  for k in $(seq 1 10); do
    x_try import -window "$window" "$WORK/shot.png" || fail "screenshot"
    shows_figure "$WORK/shot.png" && n=$((n + 1))
    sleep 0.2
  done
  echo "$n"
}

# The share of the window's upper half that is not black, in percent.
lit_top() {
  x_try import -window "$window" "$WORK/top.png" || fail "screenshot"
  convert "$WORK/top.png" -crop 256x128+0+0 +repage -colorspace gray -threshold 0 -format '%[fx:int(100*mean)]' info:
}

start_x
start_program "$INTRO" intro
window=$(wait_window)
sleep 0.5
# The brightest of three shots: the beams have darker moments.
lit_before=0
for _ in 1 2 3; do
  lit=$(lit_top)
  ((lit > lit_before)) && lit_before=$lit
  sleep 0.2
done
press space "$window"
# The scene opens on its title card; the stars follow within seconds.
for _ in $(seq 1 15); do
  sleep 0.3
  lit_after=$(lit_top)
  [ "$lit_after" -le 10 ] && break
done
before=$(count_figures)
press f "$window"
sleep 1.5
shown=$(count_figures)
press f "$window"
sleep 0.5
hidden=$(count_figures)
press Escape "$window"
wait_exit 10
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after Escape"
[ "$lit_before" -ge 15 ] && [ "$lit_after" -le 10 ] ||
  fail "SPACE: the upper half was $lit_before% lit before and $lit_after% after"
[ "$shown" -ge 5 ] || fail "F on: only $shown of 10 shots show a 3 or a 2 at the top left"
[ "$before" -le 1 ] && [ "$hidden" -le 1 ] || fail "a figure shows without F ($before of 10 before, $hidden after F again)"
echo "SPACE: the upper half $lit_before% lit by the beams, then $lit_after% by the stars"
echo "F: the rate's first digit in $shown of 10 shots, in $before and $hidden of 10 without"
