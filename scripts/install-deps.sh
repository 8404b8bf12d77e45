#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
# Skips apt entirely when everything is already present.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  libfreetype-dev libstb-dev python3-fonttools python3-pefile python3-pil
  libpng-dev libopenexr-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64
  nsis lintian
  frei0r-plugins-dev ffmpeg melt gstreamer1.0-tools gstreamer1.0-plugins-bad
)

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
