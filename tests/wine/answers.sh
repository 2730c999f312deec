#!/usr/bin/env bash
# The windowed program's --help and --version, which a Windows user must
# see although the program has no console of its own: redirected, they go
# to the file; started as a double-click would start it (no console, no
# standard streams: DETACHED names a starter that does that), --version
# opens a message box that waits for OK, then the program ends with status
# 0 without opening its window.
source "$(dirname "$(readlink -f "$0")")/../window/common.bash"
: "${INTRO_EXE:?INTRO_EXE must name torvelin.exe}"
: "${DETACHED:?DETACHED must name the starter without console and streams}"

wine "$INTRO_EXE" --help >"$WORK/help.out" 2>/dev/null || fail "--help redirected gave status $?"
tr -d '\r' <"$WORK/help.out" | grep -q "^Usage: torvelin \[--help | --version\]$" ||
  fail "--help redirected wrote: $(head -c 200 "$WORK/help.out")"

# Wine's server, started without a display for the run above, goes first:
# the box must open on the new one.
wineserver -k 2>/dev/null || true
start_x
windows_path=$(winepath -w "$INTRO_EXE" 2>/dev/null)
wine "$DETACHED" "$windows_path" --version >/dev/null 2>&1 &
PROGRAM_PID=$!
answer_message_box "--version"
wait_exit 10
[ "$EXIT_STATUS" = 0 ] || fail "--version ended with status $EXIT_STATUS after OK"
echo "--help and --version: in a redirected file, and in a message box when nothing shows standard output"
