#!/usr/bin/env bash
# kelvrix.so in the real frei0r hosts: ffmpeg, melt (MLT) and gst-launch-1.0 (GStreamer) each
# render frames through it into raw RGBA, and check_frames.py says what every frame shows.
# A host's first frames may show the card: until the process has freed memory of the block's
# size, the heap gives fresh, zeroed pages (see the README).
#
# Usage: tests/frei0r/real_hosts.sh BUILD_DIR    (the directory holding frei0r-1/kelvrix.so)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
export FREI0R_PATH=$build/frei0r-1
[ -f "$FREI0R_PATH/kelvrix.so" ] || { echo "no $FREI0R_PATH/kelvrix.so" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
check() { /usr/bin/python3 "$here/check_frames.py" "$@"; }
warmup=2  # leading card frames a fresh host process may show

# ffmpeg's own run must be clean: exit 0 and nothing on standard error at level "error".
ffmpeg_frames() {  # WxH FRAMES PARAMS OUT [env...]
  local size=$1 count=$2 params=$3 out=$4
  shift 4
  env "$@" ffmpeg -nostdin -v error -f lavfi -i "testsrc=size=$size:rate=25" -frames:v "$count" \
    -vf "frei0r=filter_name=kelvrix:filter_params=$params" -f rawvideo -pix_fmt rgba -y "$out" \
    2>"$work/ffmpeg.err"
  if [ -s "$work/ffmpeg.err" ]; then
    echo "ffmpeg reported errors:" >&2
    cat "$work/ffmpeg.err" >&2
    exit 1
  fi
}

echo "ffmpeg $(ffmpeg -version | head -1 | cut -d' ' -f3): memory pictures at two frame sizes, three styles, two Sizes"
for size in 640x360 1280x720; do
  w=${size%x*} h=${size#*x}
  ffmpeg -nostdin -v error -f lavfi -i "testsrc=size=$size:rate=25" -frames:v 8 \
    -f rawvideo -pix_fmt rgba -y "$work/in-$size.rgba"
  runs=("0.15 zesty" "0.15 cloudy" "0.15 tripping")
  [ "$size" = 1280x720 ] && runs+=("0.3 zesty" "0.3 tripping")
  for run in "${runs[@]}"; do
    read -r param style <<<"$run"
    ffmpeg_frames "$size" 8 "$param|$style" "$work/out.rgba"
    check "$work/out.rgba" "$work/in-$size.rgba" "$w" "$h" "$(awk "BEGIN{print $param*1000}")" \
      "$style" memory "$warmup"
  done
done
# The last zesty run was at Size 300: its image is twice as wide as Size 150's, which it must
# not pass for.
ffmpeg_frames 1280x720 8 "0.3|zesty" "$work/out.rgba"
if check "$work/out.rgba" "$work/in-1280x720.rgba" 1280 720 150 zesty memory "$warmup" \
  >/dev/null 2>&1; then
  echo "Size 300's frames pass for Size 150's: the parameter did not change the scale" >&2
  exit 1
fi
echo "  Size 300's frames are not Size 150's"

echo "ffmpeg at the smallest Size with Cloudy: a memory image of one pixel's height, not none"
ffmpeg_frames 640x360 3 "0.001|cloudy" "$work/out.rgba"
check "$work/out.rgba" "$work/in-640x360.rgba" 640 360 1 cloudy memory "$warmup"

echo "ffmpeg with every block fresh from the system (MALLOC_MMAP_THRESHOLD_=65536, Size 1000): the card"
ffmpeg_frames 640x360 1 "1.0|zesty" "$work/card.rgba" MALLOC_MMAP_THRESHOLD_=65536
check "$work/card.rgba" "$work/in-640x360.rgba" 640 360 1000 zesty card

echo "melt $(melt -version 2>&1 | head -1 | awk '{print $NF}'): frei0r.kelvrix over a colour producer"
melt -silent color:0xff8000ff out=7 -attach-track frei0r.kelvrix 0=0.15 1=cloudy \
  -consumer "avformat:$work/melt.rgba" f=rawvideo vcodec=rawvideo pix_fmt=rgba width=640 \
  height=360 frame_rate_num=25 frame_rate_den=1 >/dev/null 2>&1
check "$work/melt.rgba" rgba:ff8000ff 640 360 150 cloudy memory "$warmup"
# melt sets every parameter on every frame: an unknown style is reported once, not per frame.
melt -silent color:0xff8000ff out=24 -attach-track frei0r.kelvrix 0=0.15 1=rainbow \
  -consumer "avformat:$work/melt.rgba" f=rawvideo vcodec=rawvideo pix_fmt=rgba width=64 \
  height=36 frame_rate_num=25 frame_rate_den=1 >/dev/null 2>"$work/melt.err"
said=$(grep -c 'unknown style "rainbow"' "$work/melt.err" || true)
[ "$said" = 1 ] || { echo "melt: the unknown style was reported $said times in 25 frames" >&2; exit 1; }
echo "  an unknown style over 25 frames: reported once"

echo "gst-launch-1.0 $(gst-launch-1.0 --version | head -1 | awk '{print $NF}'): frei0r-filter-kelvrix"
export GST_REGISTRY=$work/gst-registry.bin  # a registry of its own, scanned with FREI0R_PATH
caps="video/x-raw,format=RGBA,width=640,height=360,framerate=25/1"
gst-launch-1.0 -q videotestsrc num-buffers=8 ! "$caps" ! filesink location="$work/gst-in.rgba"
gst-launch-1.0 -q videotestsrc num-buffers=8 ! "$caps" ! \
  frei0r-filter-kelvrix size=0.3 style=tripping ! filesink location="$work/gst.rgba"
check "$work/gst.rgba" "$work/gst-in.rgba" 640 360 300 tripping memory "$warmup"
