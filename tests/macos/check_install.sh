#!/usr/bin/env bash
# install.command from the Mac zip, run under bash with --root and stand-ins for codesign, xattr
# and sudo that record their calls: where the bundles land, that an upgrade replaces the old copy
# without writing into it, the calls' arguments, a failing codesign, --uninstall beside another
# vendor's bundles, and the trip through sudo for a user who may not write /Library.
# Usage: tests/macos/check_install.sh <kelvrix-VERSION-macos.zip>
set -euo pipefail
zip=$(realpath "$1")
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
chmod 755 "$t"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_eq() {  # what, got, want
  [ "$2" = "$3" ] || fail "$1: got [$2], want [$3]"
}

(cd "$t" && unzip -q "$zip")
pkg=$(echo "$t"/kelvrix-*-macos)
script=$pkg/install.command

# Stand-ins: each records its name and arguments, one call a line. codesign fails on request,
# as a real one does when it cannot sign; xattr can say the attribute is not there.
mkdir "$t/bin"
for tool in codesign xattr sudo; do
  cat >"$t/bin/$tool" <<EOF
#!/bin/bash
echo "$tool \$*" >>"$t/calls"
case "$tool:\${STANDIN_MODE:-}" in
  codesign:fail-sign) [ "\$1" = --force ] && { echo "standin: code object is not signed at all" >&2; exit 1; } ;;
  xattr:no-attribute) echo "No such xattr: com.apple.quarantine" >&2; exit 1 ;;
esac
exit 0
EOF
done
chmod 755 "$t/bin"/*
touch "$t/calls" && chmod 666 "$t/calls"

root=$t/root
adobe="$root/Library/Application Support/Adobe/Common/Plug-ins/7.0/MediaCore"
ofx=$root/Library/OFX/Plugins
run() {  # expected status, then install.command's arguments
  local want=$1 status=0
  shift
  : >"$t/calls"
  PATH="$t/bin:$PATH" bash "$script" "$@" >"$t/out" 2>"$t/err" || status=$?
  [ "$status" = "$want" ] || fail "install.command $*: status $status, want $want: $(cat "$t/err")"
}
same_tree() {  # what, installed, shipped
  diff -r "$2" "$3" >/dev/null || fail "$1 differs from the shipped bundle"
}
leftovers() { find "$root" -name '.kelvrix*' | wc -l; }

echo "== a first install"
run 0 --root "$root"
same_tree "kelvrix.plugin" "$adobe/kelvrix.plugin" "$pkg/kelvrix.plugin"
same_tree "kelvrix.ofx.bundle" "$ofx/kelvrix.ofx.bundle" "$pkg/kelvrix.ofx.bundle"
expect_eq "staged copies left" "$(leftovers)" 0
# Every bundle is cleared, signed and verified under its temporary name, before it takes its
# place; sudo is not needed where the user may write.
calls=$(sed -E 's/\.new-[0-9]+/.new-PID/' "$t/calls")
expect_eq "calls" "$calls" "xattr -dr com.apple.quarantine $adobe/.kelvrix.plugin.new-PID
codesign --force --deep --sign - $adobe/.kelvrix.plugin.new-PID
codesign --verify --strict $adobe/.kelvrix.plugin.new-PID
xattr -dr com.apple.quarantine $ofx/.kelvrix.ofx.bundle.new-PID
codesign --force --deep --sign - $ofx/.kelvrix.ofx.bundle.new-PID
codesign --verify --strict $ofx/.kelvrix.ofx.bundle.new-PID"
grep -q "Installed kelvrix.plugin in $adobe" "$t/out" || fail "no report of the plug-in's install"
grep -q "Installed kelvrix.ofx.bundle in $ofx" "$t/out" || fail "no report of the bundle's install"

echo "== an upgrade over an older copy that a host still has open"
touch "$adobe/kelvrix.plugin/Contents/Resources/from-the-old-version"
ln "$adobe/kelvrix.plugin/Contents/MacOS/kelvrix" "$t/open-binary"
echo "old bytes" >"$adobe/kelvrix.plugin/Contents/MacOS/kelvrix"
STANDIN_MODE=no-attribute run 0 --root "$root"
same_tree "upgraded kelvrix.plugin" "$adobe/kelvrix.plugin" "$pkg/kelvrix.plugin"
expect_eq "the open file" "$(cat "$t/open-binary")" "old bytes"
expect_eq "staged or old copies left" "$(leftovers)" 0
[ -s "$t/err" ] && fail "a quarantine that is not there is not worth a warning: $(cat "$t/err")"

echo "== codesign refuses"
touch "$adobe/kelvrix.plugin/Contents/Resources/installed-before"
STANDIN_MODE=fail-sign run 1 --root "$root"
grep -q "codesign could not sign kelvrix.plugin: standin: code object is not signed at all" \
  "$t/err" || fail "codesign's message not passed on: $(cat "$t/err")"
[ -e "$adobe/kelvrix.plugin/Contents/Resources/installed-before" ] ||
  fail "the installed copy did not survive a failed install"
expect_eq "calls after the refusal" "$(grep -c . "$t/calls")" 2
expect_eq "staged copies left" "$(leftovers)" 0

echo "== uninstall beside another vendor's bundles"
mkdir -p "$adobe/Other.plugin/Contents" "$ofx/other.ofx.bundle/Contents"
echo theirs >"$adobe/Other.plugin/Contents/Info.plist"
echo theirs >"$ofx/other.ofx.bundle/Contents/Info.plist"
run 0 --uninstall --root "$root"
expect_eq "our files left" "$(find "$root" -iname '*kelvrix*' | wc -l)" 0
expect_eq "their plug-in" "$(cat "$adobe/Other.plugin/Contents/Info.plist")" theirs
expect_eq "their bundle" "$(cat "$ofx/other.ofx.bundle/Contents/Info.plist")" theirs
expect_eq "calls" "$(cat "$t/calls")" ""
run 0 --uninstall --root "$root"  # nothing left to remove is no error

echo "== a user who may not change what is there goes through sudo, once"
as_user() {  # root folder, install.command's arguments: run as nobody, expect one call of sudo
  local where=$1 status=0
  shift
  : >"$t/calls"
  PATH="$t/bin:$PATH" setpriv --reuid=65534 --regid=65534 --clear-groups \
    bash "$script" "$@" --root "$where" >"$t/out" 2>"$t/err" || status=$?
  expect_eq "status through sudo ($where $*)" "$status" 0
  expect_eq "calls ($where $*)" "$(cat "$t/calls")" "sudo /bin/bash $script --root $where${*:+ $*}"
}
chmod -R a+rX "$t"
# /Library as on a Mac: not the user's.
mkdir -p "$t/locked/Library" && chmod 755 "$t/locked/Library"
as_user "$t/locked" --uninstall
# Folders the user may write, but a plug-in installed through sudo, which belongs to root.
PATH="$t/bin:$PATH" bash "$script" --root "$t/open" >/dev/null
chmod 777 "$t/open/Library/Application Support/Adobe/Common/Plug-ins/7.0/MediaCore" \
  "$t/open/Library/OFX/Plugins"
chown -R 65534 "$t/open/Library/OFX/Plugins/kelvrix.ofx.bundle"
as_user "$t/open"

echo "== bad arguments"
run 2 --frobnicate
run 2 --root

if ((failures)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "install.command: all checks passed"
