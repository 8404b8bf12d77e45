#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them. Frame times come with the memory floor of
# the same output world (floor_ms, x_floor), the host floor (host_ms, x_host: the design's host
# passes with empty callbacks plus the memory floor) and the process's CPU time per frame
# (cpu_ms); the block scan with memchr over the same block (x_memchr); ratios against the
# noise drawn as before and of the card across frame sizes; all measured in the same run. Then
# the card's scaling from 1080p to 4K again, here and in the Windows build under Wine, whose
# heap hands out large blocks as Windows does.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVRIX_BUILD_TESTS=OFF \
  -DKELVRIX_BUILD_BENCH=ON >/dev/null
cmake --build build/bench -j "$(nproc)"
for bench in build/bench/bench/kelvrix_*_bench build/bench/bench/*/kelvrix_*_bench; do
  [ -x "$bench" ] || continue
  echo "==== $bench"
  "$bench" "$@"
done

echo "==== build/bench/bench/kelvrix_card_scaling"
build/bench/bench/kelvrix_card_scaling

dir=build/bench-mingw
windows_cmake_args=(-DCMAKE_BUILD_TYPE=Release -DKELVRIX_BUILD_TESTS=OFF -DKELVRIX_BUILD_BENCH=ON)
source scripts/windows-build.sh
cmake --build "$dir" -j "$(nproc)" --target kelvrix_card_scaling >/dev/null
echo "==== $dir/bench/kelvrix_card_scaling.exe under Wine"
wine "$dir/bench/kelvrix_card_scaling.exe" </dev/null

echo "==== the frei0r edition in ffmpeg against kelvrix-render (1080p, Size 150)"
bash bench/frei0r_vs_render.sh build/bench
