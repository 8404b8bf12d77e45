#!/usr/bin/env bash
# The frei0r edition in ffmpeg against kelvrix-render, on the same frames: FRAMES frames of
# 1920x1080 at Size 150, Zesty, 8 bpc; ffmpeg from testsrc through frei0r=kelvrix into the
# null muxer, kelvrix-render with --no-output; neither encodes. Each is run three times,
# alternating, and its best wall-clock time taken; the ratio of the frame rates is printed.
#
# Usage: bench/frei0r_vs_render.sh [BUILD_DIR] [FRAMES]   (default build/bench, 120)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
frames=${2:-120}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVRIX_BUILD_TESTS=OFF \
  -DKELVRIX_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j 2 --target kelvrix_frei0r kelvrix-render kelvrix >/dev/null
export FREI0R_PATH=$PWD/$build/frei0r-1

seconds() {  # command... -> wall-clock seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  awk "BEGIN{printf \"%.3f\", $end - $start}"
}
through_ffmpeg() {
  ffmpeg -nostdin -v error -f lavfi -i "testsrc=size=1920x1080:rate=25" -frames:v "$frames" \
    -vf "frei0r=filter_name=kelvrix:filter_params=0.15|zesty" -f null -
}
through_render() {
  "$build/cli/kelvrix-render" --no-output -q --frames "$frames" --size 150 --style 8 --depth 8 \
    --width 1920 --height 1080
}

best_ffmpeg=999999 best_render=999999
for run in 1 2 3; do
  f=$(seconds through_ffmpeg)
  r=$(seconds through_render)
  echo "run $run: ffmpeg ${f} s, kelvrix-render ${r} s"
  best_ffmpeg=$(awk "BEGIN{print ($f < $best_ffmpeg) ? $f : $best_ffmpeg}")
  best_render=$(awk "BEGIN{print ($r < $best_render) ? $r : $best_render}")
done
awk -v n="$frames" -v f="$best_ffmpeg" -v r="$best_render" 'BEGIN {
  printf "ffmpeg + kelvrix.so: %.1f fps; kelvrix-render: %.1f fps; ratio %.2f (target >= 0.8)\n",
         n / f, n / r, (n / f) / (n / r)
}'
