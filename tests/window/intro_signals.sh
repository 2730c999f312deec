#!/usr/bin/env bash
# ctest-labels: compat (also run on the SDL 1.2 compatibility layer)
# A terminate or interrupt signal stops the intro promptly, without the
# fade, with status 128 + the signal's number, although a window close
# request is ignored: the session and a terminal can end it. The full-screen
# program leaves the screen as it found it.
source "$(dirname "$0")/common.bash"
: "${INTRO_FULLSCREEN:?INTRO_FULLSCREEN must name the full-screen program}"
# Job control, so that the background program does not start with Ctrl+C
# ignored, as a script's background jobs otherwise do.
set -m

start_x
# Sends the signal to a running program and checks how it ended.
stop_with() {
  local signal=$1 number=$2 name=$3 started elapsed_ms
  sleep 0.5
  still_running || fail "$name ended on its own"
  started=$(date +%s%N)
  kill "-$signal" "$PROGRAM_PID"
  local pid=$PROGRAM_PID
  wait_exit 3
  elapsed_ms=$((($(date +%s%N) - started) / 1000000))
  [ "$EXIT_STATUS" = "$((128 + number))" ] || fail "$name: exit status $EXIT_STATUS after SIG$signal"
  # Far less than the 1.3 s fade.
  [ "$elapsed_ms" -lt 1000 ] || fail "$name took $elapsed_ms ms to end after SIG$signal"
  ! kill -0 "$pid" 2>/dev/null || fail "$name is still there after SIG$signal"
  echo "$name: status $EXIT_STATUS $elapsed_ms ms after SIG$signal"
}

start_program "$INTRO" intro
wait_window >/dev/null
stop_with TERM 15 intro

start_program "$INTRO" intro-int
wait_window >/dev/null
stop_with INT 2 intro

start_program "$INTRO_FULLSCREEN" fullscreen
wait_window >/dev/null
stop_with TERM 15 intro-fullscreen
# The full-screen window is gone with the program.
x_try xdotool search --onlyvisible --name '^TORVELIN$' >/dev/null && fail "the full-screen window stayed"
[ ! -s "$WORK/intro.out" ] && [ ! -s "$WORK/fullscreen.out" ] || fail "something was printed on standard output"
