# Shared by the real-window tests: a private X server, the program under
# test in the background, and checks on its window and its exit.
# Each test sources this file; nothing here runs on its own.
set -euo pipefail

: "${INTRO:?INTRO must name the windowed program}"
WORK=$(mktemp -d)
XVFB_PID=""
PROGRAM_PID=""

cleanup() {
  if [ -n "$PROGRAM_PID" ] && kill -0 "$PROGRAM_PID" 2>/dev/null; then kill "$PROGRAM_PID" 2>/dev/null || true; fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for f in "$WORK"/*.out "$WORK"/*.err; do [ -s "$f" ] && { echo "--- $f" >&2; head -c 2000 "$f" >&2; }; done
  exit 1
}

# Starts Xvfb on a display number nobody uses and points DISPLAY at it.
start_x() {
  local n
  for _ in $(seq 1 20); do
    n=$((90 + RANDOM % 100))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  done
  fail "could not start Xvfb"
}

# Runs a program in the background with its output kept apart by name.
start_program() {
  local program=$1 name=$2
  SDL_AUDIODRIVER=dummy "$program" >"$WORK/$name.out" 2>"$WORK/$name.err" &
  PROGRAM_PID=$!
}

# Prints the id of the program's window once it is mapped.
wait_window() {
  local id
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name '^TORVELIN$' 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended before its window appeared"
    sleep 0.1
  done
  fail "no window titled TORVELIN appeared"
}

# Presses a key as a person does, holding it for a tenth of a second: a
# press and release within one frame (20 ms) would leave no key behind.
# With a window id the events go to that window, else through the server.
press() {
  local key=$1 window=${2:-} target=()
  [ -n "$window" ] && target=(--window "$window")
  xdotool keydown "${target[@]}" "$key" 2>/dev/null
  sleep 0.1
  xdotool keyup "${target[@]}" "$key" 2>/dev/null
}

# Waits up to $1 seconds for the program to end and sets EXIT_STATUS.
# Runs in the test's own shell: only the parent can reap the program.
wait_exit() {
  local seconds=$1
  for _ in $(seq 1 $((seconds * 10))); do
    kill -0 "$PROGRAM_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$PROGRAM_PID" 2>/dev/null && fail "still running after ${seconds} s"
  EXIT_STATUS=0
  wait "$PROGRAM_PID" || EXIT_STATUS=$?
  PROGRAM_PID=""
}

still_running() { kill -0 "$PROGRAM_PID" 2>/dev/null; }
