#!/usr/bin/env bash
# ctest-labels: compat (also run on the SDL 1.2 compatibility layer)
# Escape, q and Q each fade the picture out and end the program with status
# 0 within a few seconds; each key gets a run of its own.
source "$(dirname "$0")/common.bash"

start_x
for key in Escape q Q; do
  start_program "$INTRO" "intro-$key"
  window=$(wait_window)
  sleep 0.3
  still_running || fail "ended before $key was pressed"
  started=$(date +%s%N)
  press "$key" "$window"
  wait_exit 10
  elapsed_ms=$((($(date +%s%N) - started) / 1000000))
  [ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after $key"
  # The fade is paced at 50 frames per second: 64 steps take about 1.3 s.
  [ "$elapsed_ms" -ge 1000 ] || fail "$key ended after only $elapsed_ms ms: the fade was not paced"
  [ ! -s "$WORK/intro-$key.out" ] || fail "something was printed on standard output with $key"
  echo "$key: exit 0 after $elapsed_ms ms"
done
