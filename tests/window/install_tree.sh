#!/usr/bin/env bash
# cmake --install puts the three programs under their own names in games/,
# the two desktop entries, the icon and the manual page where a desktop
# looks for them, and the installed programs run.
set -euo pipefail
: "${BUILD_DIR:?BUILD_DIR must name the build folder}"
PREFIX=$(mktemp -d)
trap 'rm -rf "$PREFIX"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$BUILD_DIR" --prefix "$PREFIX" >"$PREFIX.log" 2>&1 || { cat "$PREFIX.log" >&2; rm -f "$PREFIX.log"; fail "install failed"; }
rm -f "$PREFIX.log"

for program in torvelin torvelin-fullscreen torvelin-capture; do
  [ -x "$PREFIX/games/$program" ] || fail "games/$program is not installed"
  [ -f "$PREFIX/share/man/man6/$program.6.gz" ] || fail "no manual page for $program"
done
# The page reads as a manual page, and the other two lead to it.
grep -q "TORVELIN_SCALE" <<<"$(man -l "$PREFIX/share/man/man6/torvelin.6.gz" 2>/dev/null)" || fail "the manual page does not read"
[ "$(zcat "$PREFIX/share/man/man6/torvelin-fullscreen.6.gz")" = ".so man6/torvelin.6" ] || fail "torvelin-fullscreen(6) does not lead to torvelin(6)"

# Each desktop entry starts its own program, with the icon.
for entry in torvelin:TORVELIN torvelin-fullscreen:"TORVELIN (full screen)"; do
  desktop="$PREFIX/share/applications/${entry%%:*}.desktop"
  [ -f "$desktop" ] || fail "no desktop entry ${entry%%:*}"
  [ "$(head -n 1 "$desktop")" = "[Desktop Entry]" ] || fail "$desktop does not start with its group"
  field() { sed -n "s/^$1=//p" "$desktop"; }
  [ "$(field Type)" = Application ] || fail "Type is not Application in $desktop"
  [ "$(field Name)" = "${entry#*:}" ] || fail "Name is not ${entry#*:} in $desktop"
  exec_program=$(field Exec | cut -d' ' -f1)
  [ "$exec_program" = "${entry%%:*}" ] && [ -x "$PREFIX/games/$exec_program" ] ||
    fail "Exec names $exec_program in $desktop"
  icon=$(field Icon)
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
  fi
done

# Each icon is a PNG as wide and as tall as the folder it lies in says.
count=0
for png in "$PREFIX"/share/icons/hicolor/*/apps/"$icon".png; do
  [ -f "$png" ] || fail "no icon named $icon"
  size=$(basename "$(dirname "$(dirname "$png")")")
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
  width=$((16#$(od -An -tx1 -j16 -N4 "$png" | tr -d ' \n')))
  height=$((16#$(od -An -tx1 -j20 -N4 "$png" | tr -d ' \n')))
  [ "${width}x${height}" = "$size" ] || fail "$png is ${width}x${height}, not $size"
  count=$((count + 1))
done
[ "$count" -ge 1 ] || fail "no icon installed"
[ -f "$PREFIX/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no 48x48 icon, the size every desktop looks for"

# The installed capture program works on its own, away from the build.
"$PREFIX/games/torvelin-capture" -q --frames 2 --raw | cmp -s - <("$BUILD_DIR/tools/capture/intro-capture" -q --frames 2 --raw) ||
  fail "the installed torvelin-capture does not give the built one's frames"
# Installed, the usage names the capture tool by its installed name.
"$PREFIX/games/torvelin" --help | grep -q "torvelin-capture --help" || fail "torvelin --help does not name torvelin-capture"
echo "installed: $count icon sizes, three programs, two desktop entries, manual page"
