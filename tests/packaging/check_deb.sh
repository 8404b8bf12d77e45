#!/usr/bin/env bash
# The Linux OpenFX package: built with CPack, it holds exactly the bundle under
# /usr/OFX/Plugins, its copyright file, changelog and lintian overrides, and lintian finds no
# error in it; installed with dpkg -i, the bundle there passes the simulated OpenFX host's
# tests; dpkg -r takes it all away again.
#   check_deb.sh <build dir>
set -euo pipefail
dir=$(realpath "$1")
bundle=/usr/OFX/Plugins/kelvrix.ofx.bundle
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --build "$dir" --target package >/dev/null
deb=$(ls "$dir"/kelvrix-ofx_*_amd64.deb)
echo "built $deb ($(stat -c %s "$deb") bytes)"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
expected=$(printf '%s\n' ".$bundle/Contents/Linux-x86-64/kelvrix.ofx" \
  ".$bundle/Contents/Resources/com.torvendale.kelvrix.png" \
  ./usr/share/doc/kelvrix-ofx/changelog.gz ./usr/share/doc/kelvrix-ofx/copyright \
  ./usr/share/lintian/overrides/kelvrix-ofx | sort)
[[ $files == "$expected" ]] || fail "package holds: $files"
[[ $(dpkg-deb -f "$deb" Package Architecture | tr '\n' ' ') == "Package: kelvrix-ofx Architecture: amd64 " ]] ||
  fail "control: $(dpkg-deb -f "$deb")"
# The changelog's latest entry is the version being packaged.
latest=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/kelvrix-ofx/changelog.gz |
  zcat | sed -n 1p)
[[ $latest == "kelvrix ($(dpkg-deb -f "$deb" Version)) "* ]] || fail "changelog starts: $latest"
# lintian's errors are Debian policy violations; its output is shown whatever it finds. (Its
# exit status only says whether it ran: root needs --allow-root.)
lint=$(lintian --allow-root --fail-on none "$deb" 2>&1) || fail "lintian did not run: $lint"
[[ -z $lint ]] || echo "$lint"
! grep -q '^E: ' <<<"$lint" || fail "lintian reports errors"

trap 'dpkg -r kelvrix-ofx >/dev/null 2>&1 || true' EXIT
dpkg -i "$deb" >/dev/null
[[ -f $bundle/Contents/Linux-x86-64/kelvrix.ofx ]] || fail "not installed at $bundle"
KELVRIX_OFX_BUNDLE_UNDER_TEST=$bundle "$dir/tests/ofx/kelvrix_ofx_bundle_tests" --gtest_brief=1 ||
  fail "the installed bundle failed the simulated host's tests"
dpkg -r kelvrix-ofx >/dev/null
[[ ! -e $bundle ]] || fail "left after dpkg -r: $(find "$bundle")"
trap - EXIT
echo "Debian package checks passed"
