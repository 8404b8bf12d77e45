#!/usr/bin/env bash
# The frei0r edition's .deb, read with dpkg-deb: its control fields, exactly the files it
# installs, and the packaged (stripped) kelvrix.so, unpacked into a scratch root, exporting
# only the frei0r entry points and rendering a memory picture in ffmpeg from there.
#
# Usage: tests/frei0r/check_deb.sh PACKAGE.deb
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$deb: $*" >&2; exit 1; }

for field in "Package=kelvrix-frei0r" "Version=1.1.0" "Architecture=amd64" "Section=video"; do
  got=$(dpkg-deb -f "$deb" "${field%%=*}")
  [ "$got" = "${field#*=}" ] || fail "${field%%=*} is '$got', expected '${field#*=}'"
done
dpkg-deb -f "$deb" Depends | grep -q 'libstdc++6' || fail "Depends does not name libstdc++6"

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}' | sort >"$work/files"
cat >"$work/expected" <<'LIST'
./usr/lib/frei0r-1/kelvrix.so
./usr/share/doc/kelvrix-frei0r/OpenSans-LICENSE-Apache-2.0.txt
./usr/share/doc/kelvrix-frei0r/README.md
./usr/share/doc/kelvrix-frei0r/copyright
LIST
diff -u "$work/expected" "$work/files" || fail "installs other files than expected"

dpkg-deb -x "$deb" "$work/root"
so=$work/root/usr/lib/frei0r-1/kelvrix.so
exports=$(nm -D --defined-only "$so" | awk '{print $3}' | sort | tr '\n' ' ')
want="f0r_construct f0r_deinit f0r_destruct f0r_get_param_info f0r_get_param_value f0r_get_plugin_info f0r_init f0r_set_param_value f0r_update "
[ "$exports" = "$want" ] || fail "exports '$exports'"
nm "$so" 2>&1 | grep -q "no symbols" || fail "kelvrix.so is not stripped"

FREI0R_PATH=$work/root/usr/lib/frei0r-1 ffmpeg -nostdin -v error \
  -f lavfi -i testsrc=size=640x360:rate=25 -frames:v 4 \
  -vf "frei0r=filter_name=kelvrix:filter_params=0.15|zesty" -f rawvideo -pix_fmt rgba \
  -y "$work/out.rgba"
ffmpeg -nostdin -v error -f lavfi -i testsrc=size=640x360:rate=25 -frames:v 4 -f rawvideo \
  -pix_fmt rgba -y "$work/in.rgba"
/usr/bin/python3 "$here/check_frames.py" "$work/out.rgba" "$work/in.rgba" 640 360 150 zesty \
  memory 2
echo "$deb: control, files, exports and the packaged module in ffmpeg all as expected"
