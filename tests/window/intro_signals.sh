#!/usr/bin/env bash
# A terminate signal stops the intro as it stops any program, although a
# window close request is ignored: the session and a terminal can end it.
source "$(dirname "$0")/common.bash"

start_x
start_program "$INTRO" intro
wait_window >/dev/null
sleep 0.5
still_running || fail "ended on its own"
kill -TERM "$PROGRAM_PID"
wait_exit 3
[ "$EXIT_STATUS" = "$((128 + 15))" ] || fail "exit status $EXIT_STATUS after SIGTERM, expected 143"
echo "SIGTERM: ended with status $EXIT_STATUS"
