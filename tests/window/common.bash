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

# A runtime folder of the test's own, as every desktop session has one:
# without it the SDL2-based runtime's Wayland probe complains on standard
# error, and with the session's own it could reach a real compositor.
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY

fail() {
  echo "FAIL: $*" >&2
  for f in "$WORK"/*.out "$WORK"/*.err; do [ -s "$f" ] && { echo "--- $f" >&2; head -c 2000 "$f" >&2; }; done
  exit 1
}

# Starts Xvfb on a display number nobody uses (the server picks it and
# writes it to the given descriptor) and points DISPLAY at it.
start_x() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do
    if [ -s "$WORK/display" ]; then
      export DISPLAY=":$(head -n 1 "$WORK/display")"
      xdpyinfo >/dev/null 2>&1 && return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  fail "could not start Xvfb: $(cat "$WORK/xvfb.log")"
}

# Runs an X client, trying again a few times: a busy X server now and then
# refuses a connection, which is not what the tests are about.
x_try() {
  local attempt
  for attempt in 1 2 3 4 5; do
    "$@" && return 0
    sleep 0.1
  done
  return 1
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
  x_try xdotool keydown "${target[@]}" "$key" 2>/dev/null
  sleep 0.1
  x_try xdotool keyup "${target[@]}" "$key" 2>/dev/null
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

# A picture's top-left 16 x 8 corner, where the rate figure sits, as one
# line of decimal bytes: red, green, blue per pixel.
corner() {
  convert "$1" -crop 16x8+0+0 +repage -depth 8 rgb:- | od -An -v -tu1 | tr -s ' \n' ' '
}

# Why the shot is not a 256 x 256 scene enlarged `factor` times, or nothing.
not_enlarged() {
  local shot=$1 factor=$2 side=$((256 * $2)) differ colours
  convert "$shot" -sample 256x256 "$WORK/frame.png"
  convert "$WORK/frame.png" -sample "${side}x${side}" "$WORK/again.png"
  differ=$(compare -metric AE "$shot" "$WORK/again.png" null: 2>&1 || true)
  [ "$differ" = 0 ] || { echo "$differ pixels differ from whole ${factor}x${factor} squares"; return; }
  colours=$(identify -format '%k' "$WORK/frame.png")
  [ "$colours" -ge 16 ] || echo "only $colours colours"
}

# Takes shots until one shows an enlarged scene (a busy machine may catch
# the first frames or a dark moment); fails with the last reason.
expect_enlarged() {
  local what=$1 factor=$2 crop=$3 why="not taken"
  shift 3
  for _ in 1 2 3 4 5 6; do
    x_try import "$@" "$WORK/shot_full.png" || fail "$what: screenshot"
    convert "$WORK/shot_full.png" -crop "$crop" +repage "$WORK/shot.png"
    why=$(not_enlarged "$WORK/shot.png" "$factor")
    [ -z "$why" ] && break
    sleep 0.5
  done
  [ -z "$why" ] || fail "$what: $why"
  cp "$WORK/shot_full.png" "${BUILD_DIR:-$WORK}/enlarged_$what.png" 2>/dev/null || true
}

# Fails unless the shot shows a scene playing: many colours, and something
# lit in each quarter, not only in a corner. Sets COLOURS.
expect_scene_shown() {
  local shot=$1 quarter lit
  COLOURS=$(identify -format '%k' "$shot")
  [ "$COLOURS" -ge 64 ] || fail "the window shows only $COLOURS colours"
  for quarter in 128x128+0+0 128x128+128+0 128x128+0+128 128x128+128+128; do
    lit=$(convert "$shot" -crop "$quarter" +repage -format '%[fx:int(255*maxima)]' info:)
    [ "$lit" -gt 64 ] || fail "nothing lit in the quarter $quarter"
  done
}

# Waits for the program's message box titled TORVELIN, checks that it
# stands lit in the middle of the screen while it waits, then presses OK.
answer_message_box() {
  local what=$1 box="" status lit
  for _ in $(seq 1 150); do
    box=$(xdotool search --name '^TORVELIN$' 2>/dev/null | head -n 1 || true)
    [ -n "$box" ] && break
    if ! still_running; then
      status=0
      wait "$PROGRAM_PID" || status=$?
      fail "$what ended with status $status without a message box"
    fi
    sleep 0.1
  done
  [ -n "$box" ] || fail "no message box titled TORVELIN appeared for $what"
  sleep 0.5
  still_running || fail "$what ended before OK was pressed"
  x_try import -window root "$WORK/screen.png" || fail "screenshot"
  lit=$(convert "$WORK/screen.png" -crop 200x40+412+364 +repage -colorspace gray -format '%[fx:int(100*mean)]' info:)
  [ "$lit" -ge 50 ] || fail "no message box to be seen in the middle of the screen ($lit% light)"
  x_try xdotool windowfocus --sync "$box" 2>/dev/null || true
  press Return
}
