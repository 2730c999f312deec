#!/usr/bin/env bash
# ctest-labels: compat (also run on the SDL 1.2 compatibility layer)
# The program's sound through a real audio layer: SDL's disk driver writes
# what the device would play, in the format the runtime chose (classic SDL
# keeps the program's 16-bit mono; an SDL2-based runtime may write stereo
# or floating point): the test reads which. The stream starts silent, then holds the
# music, repeats with the loop's period of 40000 values between rebuilds and
# stays within the instruments' range. Without any audio device the program
# runs on, silent.
source "$(dirname "$0")/common.bash"

start_x
# One 4096-value buffer every 93 ms plays the stream in real time.
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/stream.raw" SDL_DISKAUDIODELAY=93 \
  "$INTRO" >"$WORK/intro.out" 2>"$WORK/intro.err" &
PROGRAM_PID=$!
window=$(wait_window)
sleep 10
press Escape "$window"
wait_exit 10
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS"
[ -s "$WORK/stream.raw" ] || fail "the disk driver wrote nothing"

python3 - "$WORK/stream.raw" <<'PY' || fail "the written stream is not the music"
import math, struct, sys
data = open(sys.argv[1], "rb").read()

def read(kind, size):
    count = len(data) // size
    return struct.unpack("<%d%s" % (count, kind), data[: count * size])

# 32-bit floats of sound lie within -1 to 1; 16-bit words read as floats
# do not. Interleaved stereo of one mono source has left = right.
floats = read("f", 4) if len(data) % 4 == 0 else ()
if floats and all(math.isfinite(v) and abs(v) <= 1.0 for v in floats):
    samples, kind = [int(round(v * 32768)) for v in floats], "32-bit float"
else:
    samples, kind = list(read("h", 2)), "16-bit"
sounding = [(samples[i], samples[i + 1]) for i in range(0, len(samples) - 1, 2) if samples[i] or samples[i + 1]]
stereo = len(sounding) > 1000 and sum(l == r for l, r in sounding) >= 0.999 * len(sounding)
values = samples[::2] if stereo else samples
print("the disk driver wrote %s %s" % (kind, "stereo, left = right" if stereo else "mono"))
n = len(values)
assert n > 5 * 44100, "only %d values written" % n
first = next((i for i, v in enumerate(values) if v != 0), None)
assert first is not None, "the stream is silent"
assert max(abs(v) for v in values) <= 31592, "a value left the instruments' range"
# Period: past the first sound, nearly every value equals the one 40000
# later (a rebuild every 6 s changes the loop in between).
span = range(first, n - 40000)
same = sum(values[i] == values[i + 40000] for i in span)
assert same >= 0.6 * len(span), "only %d of %d values repeat after 40000" % (same, len(span))
loud = sum(abs(v) > 200 for v in values[first:])
assert loud > 0.05 * (n - first), "the music is nearly silent"
print("values %d, first sound at %d, repeats %.3f" % (n, first, same / len(span)))
PY

# No audio device (no such driver; ALSA with no card, which an empty
# configuration stands for): the program still runs and ends normally, and
# says so in its own one line, with nothing of ALSA's before it.
: >"$WORK/no-card.conf"
for case in "SDL_AUDIODRIVER=nonexistent" "SDL_AUDIODRIVER=alsa ALSA_CONFIG_PATH=$WORK/no-card.conf"; do
  env $case "$INTRO" >"$WORK/silent.out" 2>"$WORK/silent.err" &
  PROGRAM_PID=$!
  window=$(wait_window)
  sleep 2
  still_running || fail "the program ended without an audio device ($case)"
  press Escape "$window"
  wait_exit 10
  [ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS without an audio device ($case)"
  [ "$(wc -l <"$WORK/silent.err")" = 1 ] && grep -q "^TORVELIN: no sound: " "$WORK/silent.err" ||
    fail "without an audio device ($case) standard error holds: $(cat "$WORK/silent.err")"
  [ ! -s "$WORK/intro.out" ] && [ ! -s "$WORK/silent.out" ] || fail "something was printed on standard output"
done
