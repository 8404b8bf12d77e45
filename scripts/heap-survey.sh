#!/usr/bin/env bash
# What the heap gives the effect on each platform: renders a short 8 bpc sequence (Zesty,
# 1920x1080) at Sizes 150, 300, 600 and 1000 with the Linux kelvrix-render and with the
# Windows kelvrix-render.exe under Wine, each through the After Effects edition and through
# the OpenFX bundle, and prints one table row per Size, platform and edition: the share of
# frames that showed the card, the median search time, the largest number of bytes one search
# held, and the process's peak resident memory.
# Not a test: the figures describe this machine's heaps at this moment.
#
#   bash scripts/heap-survey.sh [FRAMES]          (default 3 frames per Size)
#
# Build folders: LINUX_BUILD (build/release) and WINDOWS_BUILD (build/windows), built here
# when their tools are missing. LINUX_RENDER, WINDOWS_RENDER and WINDOWS_MODULE name
# prebuilt tools instead (for surveying an older build); OFX=0 leaves the OpenFX rows out.
set -euo pipefail
cd "$(dirname "$0")/.."

frames=${1:-3}
sizes=(150 300 600 1000)
linux_build=${LINUX_BUILD:-build/release}
dir=${WINDOWS_BUILD:-build/windows}
linux_render=${LINUX_RENDER:-$linux_build/cli/kelvrix-render}
windows_render=${WINDOWS_RENDER:-$dir/cli/kelvrix-render.exe}
windows_module=${WINDOWS_MODULE:-$dir/plugin/kelvrix.aex}
ofx=${OFX:-1}

if [ -z "${LINUX_RENDER:-}" ]; then
  [ -f "$linux_build/CMakeCache.txt" ] ||
    cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVRIX_BUILD_TESTS=OFF \
      -DKELVRIX_BUILD_BENCH=OFF >/dev/null
  cmake --build "$linux_build" -j 2 --target kelvrix-render kelvrix kelvrix_ofx >/dev/null
fi
windows_cmake_args=()
[ -f "$dir/CMakeCache.txt" ] ||
  windows_cmake_args=(-DCMAKE_BUILD_TYPE=Release -DKELVRIX_BUILD_TESTS=OFF -DKELVRIX_BUILD_BENCH=OFF)
source scripts/windows-build.sh  # the Wine prefix, and the configure when the build is new
[ -n "${WINDOWS_RENDER:-}" ] ||
  cmake --build "$dir" -j 2 --target kelvrix-render kelvrix kelvrix_ofx >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT

# One line per frame in, one table row out. Frame lines read "... memory|no memory (card)
# search T ms (N blocks[, B bytes held]) ..."; a tool that does not report the bytes (an
# older build) has them estimated as N times the block size of an 8 bpc image at that Size.
summarise() {
  local size=$1 platform=$2 log=$3 peak_kb=$4
  awk -v size="$size" -v platform="$platform" -v peak_kb="$peak_kb" '
    /^frame / {
      n++
      if ($0 ~ /no memory/) cards++
      match($0, /search [0-9.]+ ms/); t[n] = substr($0, RSTART + 7, RLENGTH - 10) + 0
      match($0, /\([0-9]+ block/); blocks = substr($0, RSTART + 1, RLENGTH - 7) + 0
      if (match($0, /[0-9]+ bytes held/)) {
        bytes = substr($0, RSTART, RLENGTH - 11) + 0
      } else {
        aspect = 1920 / 1080; h = size * size / aspect; h = int(sqrt(h)); if (h * h * aspect < size * size) h++
        w = h * aspect; w = (w == int(w)) ? w : int(w) + 1
        bytes = blocks * w * h * 3; estimated = 1
      }
      if (bytes > most) most = bytes
    }
    END {
      if (n == 0) { printf "| %d | %s | no frames rendered | | | |\n", size, platform; exit }
      for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (t[j] < t[i]) { x = t[i]; t[i] = t[j]; t[j] = x }
      median = (n % 2) ? t[(n + 1) / 2] : (t[n / 2] + t[n / 2 + 1]) / 2
      printf "| %d | %s | %d of %d | %.2f ms | %.1f MiB%s | %.0f MiB |\n", size, platform, cards, n,
             median, most / 1048576, estimated ? " (est.)" : "", peak_kb / 1024
    }' "$log"
}

survey() {
  local platform=$1 size=$2
  shift 2
  local log=$work/$platform-$size.log
  /usr/bin/time -f '%M' -o "$work/peak" "$@" --size "$size" --frames "$frames" \
    --output "$work/frame-#.png" </dev/null >"$log" 2>"$work/stderr" ||
    { echo "$platform Size $size failed:" >&2; cat "$work/stderr" >&2; }
  summarise "$size" "$platform" "$log" "$(tail -n 1 "$work/peak")"
}

echo "| Size | platform | card frames | median search | largest held by one search | peak resident |"
echo "|---|---|---|---|---|---|"
for size in "${sizes[@]}"; do
  survey Linux "$size" "$linux_render"
  [ "$ofx" = 0 ] || survey "Linux, OpenFX" "$size" "$linux_render" \
    --module "$linux_build/kelvrix.ofx.bundle"
  survey "Windows (Wine)" "$size" wine "$windows_render" --module "$windows_module"
  [ "$ofx" = 0 ] || survey "Windows (Wine), OpenFX" "$size" wine "$windows_render" \
    --module "$dir/kelvrix.ofx.bundle"
done
