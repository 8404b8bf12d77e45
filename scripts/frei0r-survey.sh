#!/usr/bin/env bash
# Where memory stops turning up in the real frei0r hosts: renders FRAMES frames through
# kelvrix.so in ffmpeg, melt and gst-launch-1.0 at 640x360 and 1920x1080, every style, a sweep
# of sizes, and prints one line per run: host, frame size, style, size, the frames that showed
# the card (C) or memory (M) in order. Not a test: the figures describe this machine's heap.
#
#   bash scripts/frei0r-survey.sh [BUILD_DIR] [FRAMES]    (build/ci-plain, 10)
#
# HOSTS, RESES, STYLES and SIZES (space-separated) narrow the sweep.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build/ci-plain}" && pwd)
frames=${2:-10}
export FREI0R_PATH=$build/frei0r-1
[ -f "$FREI0R_PATH/kelvrix.so" ] || { echo "no $FREI0R_PATH/kelvrix.so" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export GST_REGISTRY=$work/gst-registry.bin
read -r -a hosts <<<"${HOSTS:-ffmpeg melt gst}"
read -r -a reses <<<"${RESES:-640x360 1920x1080}"
read -r -a styles <<<"${STYLES:-zesty cloudy tripping}"
read -r -a sizes <<<"${SIZES:-0.05 0.1 0.15 0.2 0.3 0.4 0.45 0.5 0.6 0.7 0.8 0.9 1.0}"

render() {  # host WxH size style out
  local w=${2%x*} h=${2#*x}
  case $1 in
    ffmpeg) ffmpeg -nostdin -v error -f lavfi -i "testsrc=size=$2:rate=25" -frames:v "$frames" \
      -vf "frei0r=filter_name=kelvrix:filter_params=$3|$4" -f rawvideo -pix_fmt rgba -y "$5" ;;
    melt) melt -silent color:0xff8000ff out=$((frames - 1)) -attach-track frei0r.kelvrix 0="$3" \
      1="$4" -consumer "avformat:$5" f=rawvideo vcodec=rawvideo pix_fmt=rgba width="$w" \
      height="$h" frame_rate_num=25 frame_rate_den=1 >/dev/null 2>&1 ;;
    gst) gst-launch-1.0 -q videotestsrc num-buffers="$frames" ! \
      "video/x-raw,format=RGBA,width=$w,height=$h,framerate=25/1" ! \
      frei0r-filter-kelvrix size="$3" style="$4" ! filesink location="$5" ;;
  esac
}

input() {  # host WxH: the input frames as the host makes them
  local w=${2%x*} h=${2#*x}
  case $1 in
    ffmpeg) ffmpeg -nostdin -v error -f lavfi -i "testsrc=size=$2:rate=25" -frames:v "$frames" \
      -f rawvideo -pix_fmt rgba -y "$work/in.rgba" && echo "$work/in.rgba" ;;
    melt) echo rgba:ff8000ff ;;
    gst) gst-launch-1.0 -q videotestsrc num-buffers="$frames" ! \
      "video/x-raw,format=RGBA,width=$w,height=$h,framerate=25/1" ! \
      filesink location="$work/in.rgba" && echo "$work/in.rgba" ;;
  esac
}

printf 'host\tframe\tstyle\tsize\tframes (C card, M memory, ? neither)\n'
for host in "${hosts[@]}"; do
  for res in "${reses[@]}"; do
    in=$(input "$host" "$res")
    for style in "${styles[@]}"; do
      for size in "${sizes[@]}"; do
        render "$host" "$res" "$size" "$style" "$work/out.rgba"
        seq=$(/usr/bin/python3 - "$work/out.rgba" "$in" "${res%x*}" "${res#*x}" "$size" "$style" <<'PY'
import sys
sys.path.insert(0, "tests/frei0r")
import check_frames as cf
out, src, w, h, size, style = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), float(sys.argv[5]) * 1000, sys.argv[6]
outs = cf.frames(out, w * h * 4)
kinds = cf.classified(outs, cf.sources_of(src, w, h), w, h, cf.memory_image(w, h, size, style))
print("".join({"card": "C", "memory": "M"}.get(kind, "?") for kind, _, _ in kinds))
PY
)
        printf '%s\t%s\t%s\t%s\t%s\n' "$host" "$res" "$style" "$size" "$seq"
      done
    done
  done
done
