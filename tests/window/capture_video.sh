#!/usr/bin/env bash
# intro-capture --video: a short clip checked with ffprobe and ffmpeg as a
# video site would see it (streams, exact frame count, sound length, frames
# that match the capture, loudness), the note on an odd factor, and its failures: no ffmpeg, a folder
# that does not exist, an ffmpeg that gives up. Each leaves nothing behind.
set -euo pipefail
: "${BUILD_DIR:?BUILD_DIR must name the build directory}"
capture="$BUILD_DIR/tools/capture/intro-capture"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# 400 frames (8 s) across the logos scene: loud enough and long enough to
# measure, with colours and sharp edges.
from=3300 to=3700
"$capture" -q --video "$work/clip.mp4" --wav "$work/own.wav" --from $from --frames $to 2>"$work/err" ||
  fail "the clip was not made: $(cat "$work/err")"
[ ! -s "$work/err" ] || fail "a quiet run said: $(cat "$work/err")"
[ "$(ls "$work" | xargs)" = "clip.mp4 err own.wav" ] || fail "left behind: $(ls "$work")"

# The streams as ffprobe reads them, every frame counted.
probe() { ffprobe -v error -select_streams "$1" -show_entries "stream=$2" -of csv=p=0 "$work/clip.mp4" "${@:3}"; }
facts=$(probe v:0 codec_name,profile,width,height,pix_fmt,r_frame_rate,start_time,nb_read_frames -count_frames)
[ "$facts" = "h264,High,1920,1080,yuv420p,50/1,0.000000,400" ] || fail "video stream: $facts"
# Closed groups of pictures: a keyframe every 100 frames, each one a point
# a player can start from.
keyframes=$(ffprobe -v error -select_streams v:0 -show_entries frame=key_frame -of csv=p=0 "$work/clip.mp4" |
  grep . | grep -n "^1" | cut -d: -f1 | xargs)
[ "$keyframes" = "1 101 201 301" ] || fail "keyframes at frames $keyframes (counting from 1)"
facts=$(probe a:0 codec_name,profile,sample_rate,start_time,duration)
# The sound starts with the pictures and lasts as long, 8 s, within one AAC frame.
[ "${facts%,*}" = "aac,LC,48000,0.000000" ] &&
  awk -v d="${facts##*,}" 'BEGIN { exit !(d - 8 < 1024 / 48000 && 8 - d < 1024 / 48000) }' ||
  fail "sound stream: $facts"

# Frames 3500 and 3699 of the capture, as the video shows them (cut out
# and shrunk back): close to the capture's own, and closer than to the
# frame before.
"$capture" -q --png "$work/middle" --from 3499 --frames 3501
"$capture" -q --png "$work/last" --from 3698 --frames 3700
ffmpeg -v error -i "$work/clip.mp4" -vsync passthrough -vf "select=eq(n\,200)+eq(n\,399),crop=1024:1024:448:28,
scale=256:256:flags=area+accurate_rnd+full_chroma_int:in_color_matrix=bt709:in_range=tv:out_range=pc" \
  "$work/video_%d.png"
psnr() { /usr/bin/compare -metric PSNR "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true; }
check_frame() {
  local shot=$1 folder=$2 frame=$3 own before
  own=$(psnr "$shot" "$folder/frame_$(printf %06d "$frame").png")
  before=$(psnr "$shot" "$folder/frame_$(printf %06d $((frame - 1))).png")
  awk -v p="$own" -v b="$before" 'BEGIN { exit !(p >= 35 && p > b + 3) }' ||
    fail "the video's frame for capture frame $frame: $own dB against it, $before dB against the one before"
}
check_frame "$work/video_1.png" "$work/middle" 3500
check_frame "$work/video_2.png" "$work/last" 3699

# Loud enough for a video site; the --wav file is the intro's own sound.
levels=$(ffmpeg -hide_banner -nostdin -i "$work/clip.mp4" -af loudnorm=print_format=json -f null - 2>&1)
measure() { echo "$levels" | sed -n "s/.*\"$1\" : \"\\(.*\\)\".*/\\1/p"; }
awk -v i="$(measure input_i)" -v tp="$(measure input_tp)" 'BEGIN { exit !(i >= -15 && i <= -13 && tp <= -1) }' ||
  fail "loudness $(measure input_i) LUFS, true peak $(measure input_tp) dBTP"
"$capture" -q --wav "$work/alone.wav" --from $from --frames $to
cmp "$work/own.wav" "$work/alone.wav" || fail "--wav beside --video is not the intro's own sound"

# 1440 lines, factor 5: one line says the colour softens, even with the
# sound's figures off; 1080 says nothing.
status=0
"$capture" --video "$work/wide.mp4" --video-size 1440 --frames 10 --video-loudness off 2>"$work/err" || status=$?
[ $status = 0 ] && grep -c "odd factor" "$work/err" | grep -qx 1 || fail "--video-size 1440: status $status, $(cat "$work/err")"
rm -f "$work/wide.mp4"

# Without ffmpeg on PATH: one line naming the package, status 2.
status=0
PATH=/nonexistent "$capture" -q --video "$work/none.mp4" --frames 10 2>"$work/err" || status=$?
[ $status = 2 ] && [ "$(wc -l <"$work/err")" = 1 ] && grep -q "package ffmpeg" "$work/err" ||
  fail "without ffmpeg: status $status, $(cat "$work/err")"

# Into a folder that does not exist: status 1, one line.
status=0
"$capture" -q --video "$work/missing/clip.mp4" --frames 10 2>"$work/err" || status=$?
[ $status = 1 ] && [ "$(wc -l <"$work/err")" = 1 ] || fail "missing folder: status $status, $(cat "$work/err")"

# An ffmpeg that gives up: its reason in one line, no file, no temporary.
mkdir "$work/bin"
printf '#!/bin/sh\ncat >/dev/null\necho "[libx264 @ 0x5581] no encoder here" >&2\necho "Conversion failed!" >&2\nexit 1\n' \
  >"$work/bin/ffmpeg"
chmod +x "$work/bin/ffmpeg"
status=0
PATH="$work/bin:$PATH" "$capture" -q --video "$work/broken.mp4" --frames 10 --video-loudness off 2>"$work/err" || status=$?
[ $status = 1 ] && [ "$(cat "$work/err")" = "intro-capture: ffmpeg could not make $work/broken.mp4: no encoder here" ] ||
  fail "a failing ffmpeg: status $status, $(cat "$work/err")"
ls "$work" | grep -q -e broken -e '\.part$' && fail "a failed video left: $(ls "$work")"
echo "intro-capture --video: streams, frames, sound and failures as they should be"
