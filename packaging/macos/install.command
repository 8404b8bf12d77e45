#!/bin/bash
# Installs kelvrix on this Mac: kelvrix.plugin where After Effects and Premiere Pro look,
# kelvrix.ofx.bundle where OpenFX hosts look. Double-click it, or run it in Terminal:
#   bash install.command               install (asks for an administrator's password)
#   bash install.command --uninstall   remove both bundles again
#   bash install.command --root DIR    use DIR in place of / (for trying it out)
#
# Each bundle is copied beside its destination under a temporary name, freed from the download
# quarantine, signed ad hoc by this Mac's codesign (After Effects 25.2 and later on macOS 15 and
# later loads only signed plug-ins) and verified; only then is it moved into place, and the old
# copy removed. A signed file is never rewritten where a host may have it loaded.
set -u

root=/
action=install
usage() { echo "usage: bash install.command [--uninstall] [--root DIR]"; }
while (($#)); do
  case $1 in
    --uninstall) action=uninstall ;;
    --root)
      [ $# -ge 2 ] || { usage >&2; exit 2; }
      root=$2
      shift ;;
    -h | --help) usage; exit 0 ;;
    *) echo "kelvrix: unknown option '$1'" >&2; usage >&2; exit 2 ;;
  esac
  shift
done

here=$(cd "$(dirname "$0")" && pwd)
root=${root%/}
adobe_dir="$root/Library/Application Support/Adobe/Common/Plug-ins/7.0/MediaCore"
ofx_dir="$root/Library/OFX/Plugins"
staged=()

# Removes the copies not yet in place: on a failure, and when Terminal is closed midway.
clean_up() {
  if ((${#staged[@]})); then rm -rf "${staged[@]}"; fi
  staged=()
}
trap 'clean_up; exit 1' HUP INT TERM

fail() {
  echo "kelvrix: $*" >&2
  clean_up
  exit 1
}

# The nearest folder of `path` that exists, to tell whether this user may write there.
existing_parent() {
  local path=$1
  while [ ! -e "$path" ]; do path=$(dirname "$path"); done
  echo "$path"
}

# Whether this user may replace or remove `dir`/`name`: write the folder, and own every file of
# an installed copy (one installed through sudo belongs to root).
may_change() {
  local dir=$1 name=$2
  [ -w "$(existing_parent "$dir")" ] || return 1
  [ ! -e "$dir/$name" ] || [ -z "$(find "$dir/$name" ! -user "$(id -u)" -print 2>/dev/null | head -n 1)" ]
}

# /Library belongs to the system: ask for an administrator once and start again as one.
if [ "$(id -u)" -ne 0 ]; then
  if ! may_change "$adobe_dir" kelvrix.plugin || ! may_change "$ofx_dir" kelvrix.ofx.bundle; then
    echo "kelvrix: changing $root/Library needs an administrator's password."
    again=(--root "${root:-/}")
    [ "$action" = uninstall ] && again+=(--uninstall)
    exec sudo /bin/bash "$0" "${again[@]}"
  fi
fi

# Copies bundle `name` into `dir` as a signed, verified copy under a temporary name, then swaps
# it in for the old one.
install_bundle() {
  local name=$1 dir=$2 host=$3
  [ -d "$here/$name" ] || fail "$name is not beside install.command: unpack the whole zip first."
  mkdir -p "$dir" || fail "could not create $dir."
  local new="$dir/.$name.new-$$" old="$dir/.$name.old-$$" out
  staged+=("$new")
  cp -R "$here/$name" "$new" || fail "could not copy $name into $dir."
  # A copy that never was quarantined has nothing to remove, and xattr says so; that is fine.
  if ! out=$(xattr -dr com.apple.quarantine "$new" 2>&1); then
    case $out in
      "" | *"No such xattr"*) ;;
      *) echo "kelvrix: warning: xattr could not clear the quarantine of $name: $out" >&2 ;;
    esac
  fi
  out=$(codesign --force --deep --sign - "$new" 2>&1) || fail "codesign could not sign $name: $out"
  out=$(codesign --verify --strict "$new" 2>&1) ||
    fail "codesign does not accept the signature of $name: $out"
  if [ -e "$dir/$name" ]; then
    mv "$dir/$name" "$old" || fail "could not move the old $name aside in $dir."
  fi
  if ! mv "$new" "$dir/$name"; then
    if [ -e "$old" ] && ! mv "$old" "$dir/$name"; then
      fail "could not move $name into place in $dir, nor the old copy back from $old."
    fi
    fail "could not move $name into place in $dir."
  fi
  staged=()
  echo "Installed $name in $dir ($host)."
  rm -rf "$old" || fail "could not remove the old copy, $old: remove it by hand."
}

uninstall_bundle() {
  local name=$1 dir=$2
  rm -rf "$dir/.$name".new-* "$dir/.$name".old-*
  if [ -e "$dir/$name" ]; then
    rm -rf "$dir/$name" || fail "could not remove $dir/$name."
    echo "Removed $dir/$name."
  else
    echo "$name was not installed in $dir."
  fi
}

case $action in
  install)
    install_bundle kelvrix.plugin "$adobe_dir" "After Effects and Premiere Pro"
    install_bundle kelvrix.ofx.bundle "$ofx_dir" "OpenFX hosts: DaVinci Resolve, Nuke, Natron, ..."
    echo "Done. Start the host; the effect is \"kelvrix\" in the \"Torvendale\" category." ;;
  uninstall)
    uninstall_bundle kelvrix.plugin "$adobe_dir"
    uninstall_bundle kelvrix.ofx.bundle "$ofx_dir"
    echo "Done." ;;
esac
