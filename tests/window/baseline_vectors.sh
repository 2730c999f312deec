#!/usr/bin/env bash
# The pixel operations and the noise fill have a scalar path, an SSE2 path
# (the baseline x86-64 one) and, chosen at run time, AVX2 and AVX-512
# paths. A whole loop captured with each this processor can run, with key
# presses that reach every scene twice, must give the same bytes.
set -euo pipefail
: "${BUILD_DIR:?BUILD_DIR must name the build folder}"
CAPTURE="$BUILD_DIR/tools/capture/intro-capture"
[ -x "$CAPTURE" ] || { echo "FAIL: intro-capture is not built at $CAPTURE" >&2; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

KEYS=120:f,400:p,900:o,1500:space,2500:space,4000:space,7600:p,7700:p,9100:f
run() {
  "$CAPTURE" -q --raw --frames 12000 --keys "$KEYS" --wav "$WORK/$1.wav" | sha256sum | cut -d' ' -f1
}
widest=$(run widest)
for path in wide baseline scalar; do
  case $path in
    wide) frames=$(TORVELIN_NO_AVX512=1 run $path) ;;
    baseline) frames=$(TORVELIN_NO_AVX2=1 run $path) ;;
    scalar) frames=$(TORVELIN_NO_SSE2=1 run $path) ;;
  esac
  [ "$frames" = "$widest" ] || { echo "FAIL: the frames differ between the widest and the $path path" >&2; exit 1; }
  cmp -s "$WORK/$path.wav" "$WORK/widest.wav" || { echo "FAIL: the sound differs between the widest and the $path path" >&2; exit 1; }
done
echo "12000 frames and their sound identical on every path ($widest)"
