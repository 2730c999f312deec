#!/usr/bin/env bash
# The Linux tarball on a machine without SDL 1.2: unpacked, its torvelin
# opens its 256 x 256 window under Xvfb, plays (many colours in every
# quarter) on the SDL beside it, which loads X11 at run time, and ends on
# ESC with status 0. The system's own SDL 1.2 (classic or the layer over
# SDL2) is hidden in a mount namespace of the test's own, each library
# file covered by an empty one.
#   bash tests/linux/tarball_runs.sh TARBALL      (as root, or where
#   unshare may make a mount namespace)
set -euo pipefail
tarball=$(realpath "${1:?usage: tarball_runs.sh TARBALL}")
[ -f "$tarball" ] || { echo "FAIL: no $tarball: make it with scripts/linux_bundle.sh" >&2; exit 1; }

if [ -z "${TORVELIN_SDL_HIDDEN:-}" ]; then
  TORVELIN_SDL_HIDDEN=1 exec unshare --mount --propagation private bash "$0" "$tarball"
fi
empty=$(mktemp)
hidden=()
for library in $(ldconfig -p | awk '/libSDL-1\.2\.so/ {print $NF}' | sort -u); do
  real=$(realpath "$library")
  [ -s "$real" ] || continue
  mount --bind "$empty" "$real"
  hidden+=("$real")
done
unset LD_LIBRARY_PATH

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked" "$empty"' EXIT
tar -xzf "$tarball" -C "$unpacked"
folder=$(find "$unpacked" -mindepth 1 -maxdepth 1 -type d)
export INTRO=$folder/torvelin
source "$(dirname "$(readlink -f "$0")")/../window/common.bash"
trap 'cleanup; rm -rf "$unpacked" "$empty"' EXIT
for library in "${hidden[@]}"; do
  [ ! -s "$library" ] || fail "$library is still there to load"
done

start_x
start_program "$INTRO" intro
window=$(wait_window)
geometry=$(x_try xwininfo -id "$window")
grep -q "Width: 256$" <<<"$geometry" && grep -q "Height: 256$" <<<"$geometry" || fail "window: $geometry"
sleep 1
x_try import -window "$window" "$WORK/shot.png" || fail "screenshot"
cp "$WORK/shot.png" "${SHOT_DIR:-$WORK}/tarball_window.png" 2>/dev/null || true
expect_scene_shown "$WORK/shot.png"
maps=$(cat "/proc/$PROGRAM_PID/maps")
grep -q "$folder/lib/libSDL-1.2.so.0" <<<"$maps" || fail "the program did not load the SDL beside it"
grep -q "/libX11\.so\.6" <<<"$maps" || fail "the SDL did not load X11"
press Escape "$window"
wait_exit 10
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after Escape"
echo "tarball: ${#hidden[@]} system SDL 1.2 file(s) hidden; the window played on its own SDL ($COLOURS colours) and ESC gave status 0"
