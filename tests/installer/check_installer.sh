#!/usr/bin/env bash
# The Windows installer in a throw-away copy of a booted Wine prefix: a silent install puts the
# plug-in, the licences and the README into the folder After Effects and Premiere Pro share,
# the OpenFX bundle into Common Files\OFX\Plugins, and registers its uninstaller; a second run
# replaces an earlier version; the silent uninstall removes exactly that; with /NOOFX (the
# OpenFX component unticked) no bundle is installed or recorded, and the uninstall still
# removes the rest; a target that cannot be written is refused with exit code 2.
#   check_installer.sh <setup.exe> <the kelvrix.aex it must install> <booted prefix> <scratch>
# (the kelvrix.ofx it must install lies beside that kelvrix.aex)
set -euo pipefail
setup=$1 aex=$2 base=$3 scratch=$(realpath -m "$4")  # Wine wants an absolute prefix
repo=$(cd "$(dirname "$0")/../.." && pwd)

export WINEPREFIX=$scratch/prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe,winemenubuilder.exe="
programs=$WINEPREFIX/drive_c/Program\ Files
mediacore=$programs/Adobe/Common/Plug-ins/7.0/MediaCore
target=$mediacore/kelvrix
ofx=$(dirname "$aex")/kelvrix.ofx
ofxplugins=$programs/Common\ Files/OFX/Plugins
bundle=$ofxplugins/kelvrix.ofx.bundle
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\kelvrix'
uninstaller='C:\Program Files\Adobe\Common\Plug-ins\7.0\MediaCore\kelvrix\Uninstall kelvrix.exe'

chattr -i "$target" 2>/dev/null || true  # left by an interrupted run
rm -rf "$scratch" && mkdir -p "$scratch" && cp -a "$base" "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1 || true  # already running is fine
trap 'wineserver -k 2>/dev/null || true; chattr -i "$target" 2>/dev/null || true' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

install_and_check() {
  wine "$setup" /S </dev/null || fail "silent install exited with $?"
  cmp "$aex" "$target/kelvrix.aex" || fail "installed kelvrix.aex is not the built one"
  for doc in LICENSE.txt resources/font/OpenSans-LICENSE-Apache-2.0.txt README.md; do
    cmp "$repo/$doc" "$target/${doc##*/}" || fail "installed ${doc##*/} differs"
  done
  [[ $(ls "$target" | wc -l) == 5 ]] || fail "installed: $(ls "$target")"  # and the uninstaller
  cmp "$ofx" "$bundle/Contents/Win64/kelvrix.ofx" || fail "installed kelvrix.ofx is not the built one"
  cmp "$repo/resources/com.torvendale.kelvrix.png" \
    "$bundle/Contents/Resources/com.torvendale.kelvrix.png" || fail "bundle icon differs"
  [[ $(find "$bundle" -type f | wc -l) == 2 ]] || fail "bundle holds: $(find "$bundle" -type f)"
  local entry
  entry=$(wine reg query "$key" </dev/null | tr -d "\r") || fail "no uninstall entry"
  for value in "DisplayName REG_SZ kelvrix" "DisplayVersion REG_SZ 1.1.0" \
    "Publisher REG_SZ Torvendale"; do
    grep -Eq "^ +${value// / +} *\$" <<<"$entry" || fail "uninstall entry lacks $value"
  done
}

# An After Effects with its own Plug-ins folder changes nothing in a silent install.
mkdir -p "$programs/Adobe/Adobe After Effects 2024/Support Files/Plug-ins"
wine reg add 'HKLM\Software\Adobe\After Effects\24.0' /v InstallPath /f \
  /d 'C:\Program Files\Adobe\Adobe After Effects 2024\Support Files' </dev/null >/dev/null
install_and_check
echo "an earlier kelvrix" >"$target/kelvrix.aex"
rm "$target/README.md"
touch "$mediacore/another-plugin.aex"
echo "an earlier kelvrix" >"$bundle/Contents/Win64/kelvrix.ofx"
mkdir -p "$ofxplugins/another.ofx.bundle" && touch "$ofxplugins/another.ofx.bundle/keep"
install_and_check

uninstall() {
  wine "$uninstaller" /S </dev/null || fail "silent uninstall exited with $?"
  for _ in $(seq 150); do  # it carries on from a copy of itself after the command returns
    [[ -e $target ]] || break
    sleep 0.2
  done
  [[ ! -e $target ]] || fail "left after uninstall: $(ls "$target")"
}
uninstall
[[ -f $mediacore/another-plugin.aex ]] || fail "uninstall removed a file it did not install"
[[ ! -e $bundle ]] || fail "left after uninstall: $(find "$bundle")"
[[ -f $ofxplugins/another.ofx.bundle/keep ]] || fail "uninstall removed another OpenFX bundle"
! wine reg query "$key" </dev/null >/dev/null 2>&1 || fail "uninstall entry still there"

# The OpenFX component unticked: the After Effects plug-in alone.
wine "$setup" /S /NOOFX </dev/null || fail "silent install without OpenFX exited with $?"
cmp "$aex" "$target/kelvrix.aex" || fail "without OpenFX: kelvrix.aex not installed"
[[ ! -e $bundle ]] || fail "without OpenFX: installed $(find "$bundle")"
! wine reg query "$key" /v OfxBundle </dev/null >/dev/null 2>&1 ||
  fail "without OpenFX: the uninstall entry records a bundle"
uninstall
[[ -f $ofxplugins/another.ofx.bundle/keep ]] || fail "uninstall removed another OpenFX bundle"

# We run as root, whom permissions do not stop: a file where the folder goes stops anyone, and
# so does an immutable folder (where the file system and our capabilities allow chattr).
refused() {  # what was done to the target
  local output status=0
  output=$(wine "$setup" /S </dev/null 2>&1) || status=$?
  [[ $status == 2 ]] || fail "$1: exit status $status, expected 2"
  grep -q "kelvrix was not installed: cannot" <<<"$output" || fail "$1: said '$output'"
  ! wine reg query "$key" </dev/null >/dev/null 2>&1 || fail "$1: registered anyway"
  echo "refused ($1): $output"
}
touch "$target"
refused "a file named kelvrix"
rm "$target" && mkdir "$target"
if chattr +i "$target" 2>/dev/null; then
  refused "an immutable kelvrix folder"
  [[ -z $(ls -A "$target") ]] || fail "wrote into the immutable folder"
  chattr -i "$target"
else
  echo "chattr +i not possible here: the immutable folder is not tried"
fi
wineserver -k 2>/dev/null || true
rm -rf "$scratch"
echo "installer checks passed"
