#!/usr/bin/env bash
# Without a display the program says why on standard error and exits 1,
# printing nothing on standard output.
source "$(dirname "$0")/common.bash"

status=0
env -u DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy timeout 20 "$INTRO" \
  >"$WORK/nodisplay.out" 2>"$WORK/nodisplay.err" </dev/null || status=$?
[ "$status" = "1" ] || fail "exit status $status without a display"
[ ! -s "$WORK/nodisplay.out" ] || fail "something was printed on standard output"
[ "$(wc -l <"$WORK/nodisplay.err")" = "1" ] || fail "expected one line on standard error"
grep -q "^TORVELIN: cannot open the 256 x 256 window: ." "$WORK/nodisplay.err" || fail "unclear message"
echo "no display: $(cat "$WORK/nodisplay.err")"
