#!/usr/bin/env bash
# The frei0r edition's .deb, read with dpkg-deb: its control fields, exactly the files it
# installs, no error from lintian, the changelog at this version, and the packaged (stripped)
# kelvrix.so, unpacked into a scratch root, exporting only the frei0r entry points and rendering
# a memory picture in ffmpeg from there.
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
./usr/share/doc/kelvrix-frei0r/changelog.gz
./usr/share/doc/kelvrix-frei0r/copyright
./usr/share/kdenlive/effects/frei0r_kelvrix.xml
LIST
diff -u "$work/expected" "$work/files" || fail "installs other files than expected"

# lintian's errors are Debian policy violations; its output is shown whatever it finds. (Its
# exit status only says whether it ran: root needs --allow-root.)
lint=$(lintian --allow-root --fail-on none "$deb" 2>&1) || fail "lintian did not run: $lint"
[ -z "$lint" ] || echo "$lint"
! grep -q '^E: ' <<<"$lint" || fail "lintian reports errors"

dpkg-deb -x "$deb" "$work/root"
# The changelog's latest entry is the version being packaged.
latest=$(zcat "$work/root/usr/share/doc/kelvrix-frei0r/changelog.gz" | sed -n 1p)
[[ $latest == "kelvrix (1.1.0) "* ]] || fail "changelog starts: $latest"
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
# Kdenlive's description names the filter and its parameters as MLT reports them from the
# module itself.
FREI0R_PATH=$work/root/usr/lib/frei0r-1 melt -query filter=frei0r.kelvrix 2>/dev/null \
  >"$work/mlt.yml"
/usr/bin/python3 - "$work/root/usr/share/kdenlive/effects/frei0r_kelvrix.xml" "$work/mlt.yml" <<'PY'
import re, sys
import xml.etree.ElementTree as ET
effect = ET.parse(sys.argv[1]).getroot()
mlt = open(sys.argv[2]).read()
names = [p.get("name") for p in effect.findall("parameter")]
titles = re.findall(r"^\s+title: (.*)$", mlt, re.M)
if effect.get("tag") != "frei0r.kelvrix" or "identifier: frei0r.kelvrix" not in mlt:
    sys.exit(f"tag {effect.get('tag')} is not the filter MLT lists")
if names != titles:
    sys.exit(f"Kdenlive parameters {names}, MLT's {titles}")
PY
echo "$deb: control, files, exports and the packaged module in ffmpeg all as expected"
echo "  (and Kdenlive's description matches the parameters MLT reads from the module)"
