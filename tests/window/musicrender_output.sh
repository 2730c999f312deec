#!/usr/bin/env bash
# musicrender checks its length and its output: a full device is an error,
# not "wrote"; a length that is not a whole number of seconds, or too long
# for a WAV file, is refused; a symbolic link keeps leading to the file.
set -euo pipefail
: "${BUILD_DIR:?BUILD_DIR must name the build directory}"
render="$BUILD_DIR/tools/musicrender/musicrender"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A link in the scratch folder stands for /dev/full, which a faulty run
# must not be able to replace.
ln -s /dev/full "$work/full.wav"
status=0
"$render" "$work/full.wav" 0 >"$work/out" 2>"$work/err" || status=$?
[ "$status" = 1 ] || fail "a full device gave status $status"
grep -q wrote "$work/out" && fail "a full device was reported as written"
[ "$(cat "$work/err")" = "musicrender: cannot write $work/full.wav: No space left on device" ] ||
  fail "full device: $(cat "$work/err")"
[ -L "$work/full.wav" ] || fail "the link to the device was replaced"

for length in abc -1 1.5 99999999999 48696; do
  status=0
  "$render" "$work/bad.wav" "$length" >/dev/null 2>"$work/err" || status=$?
  [ "$status" = 2 ] || fail "length $length gave status $status"
  [ "$(wc -l <"$work/err")" = 1 ] || fail "length $length: $(cat "$work/err")"
  [ ! -e "$work/bad.wav" ] || fail "length $length left a file"
done

echo old >"$work/real.wav"
ln -s real.wav "$work/link.wav"
"$render" "$work/link.wav" 1 >/dev/null
[ -L "$work/link.wav" ] || fail "the link was replaced by a file"
[ "$(stat -c %s "$work/real.wav")" = $((44 + 44100 * 2)) ] || fail "the linked file does not hold one second"
ls "$work" | grep -q '\.part$' && fail "a temporary file was left behind"
echo "musicrender: full device, bad lengths and links handled"
