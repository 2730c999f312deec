#!/usr/bin/env bash
# A storm of a few thousand random key presses over about thirty seconds
# (letters, digits, space, o, p and f; never an exit key) leaves the intro
# running; Escape then still fades it out and ends it with status 0.
source "$(dirname "$0")/common.bash"

PRESSES=${KEY_STORM_PRESSES:-2400}
BATCH=200
# Letters without q, the digits, and the keys that do something.
KEYS=(a b c d e f g h i j k l m n o p r s t u v w x y z 0 1 2 3 4 5 6 7 8 9 space space o p f)

start_x
start_program "$INTRO" intro
window=$(wait_window)
sleep 0.5

sent=0
started=$(date +%s)
while [ "$sent" -lt "$PRESSES" ]; do
  batch=()
  for _ in $(seq 1 "$BATCH"); do batch+=("${KEYS[RANDOM % ${#KEYS[@]}]}"); done
  # A press and its release every 12 ms: several keys land in most frames.
  x_try xdotool key --window "$window" --delay 12 "${batch[@]}" 2>/dev/null ||
    fail "xdotool could not send keys after $sent presses"
  sent=$((sent + BATCH))
  still_running || fail "the intro ended during the key storm after $sent presses"
done
elapsed=$(($(date +%s) - started))
echo "$sent key presses in ${elapsed} s"

sleep 1
still_running || fail "the intro ended right after the key storm"
press Escape "$window"
wait_exit 10
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after Escape"
[ ! -s "$WORK/intro.out" ] || fail "something was printed on standard output"
echo "still running after the storm; Escape ended it with status 0"
