#!/usr/bin/env bash
# Fails at once, with one line naming the Debian package to add to scripts/install-deps.sh,
# when a tool or Python module that the build or the tests use is missing. Run after
# install-deps.sh, so that a package the tests need but the install script forgot shows up
# here and not halfway through CI.
set -uo pipefail

# Debian's Python modules belong to Debian's interpreter, whatever python3 is first on PATH.
python=/usr/bin/python3

# what to probe                 Debian package
requirements=(
  "cmd:cmake                    cmake"
  "cmd:ninja                    ninja-build"
  "cmd:g++                      g++"
  "cmd:clang++                  clang"
  "cmd:x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix"
  "cmd:x86_64-w64-mingw32-windres binutils-mingw-w64-x86-64"
  "cmd:wine                     wine"
  "cmd:wineserver               wine"
  "cmd:makensis                 nsis"
  "cmd:$python                  python3"
  "py:PIL.Image                 python3-pil"
  "py:fontTools.ttLib          python3-fonttools"
  "py:pefile                    python3-pefile"
  "file:/usr/include/gtest/gtest.h libgtest-dev"
  "file:/usr/include/benchmark/benchmark.h libbenchmark-dev"
  "file:/usr/include/freetype2/ft2build.h libfreetype-dev"
  "file:/usr/include/stb/stb_truetype.h libstb-dev"
  "file:/usr/include/png.h      libpng-dev"
  "file:/usr/include/OpenEXR/ImfRgbaFile.h libopenexr-dev"
  "file:/usr/include/frei0r.h   frei0r-plugins-dev"
  "cmd:ffmpeg                   ffmpeg"
  "cmd:melt                     melt"
  "cmd:gst-launch-1.0           gstreamer1.0-tools"
  "file:/usr/lib/$(uname -m)-linux-gnu/gstreamer-1.0/libgstfrei0r.so gstreamer1.0-plugins-bad"
  "cmd:dpkg-deb                 dpkg"
  "cmd:lintian                  lintian"
  "cmd:llvm-lipo-14             llvm-14"
  "py:macholib.MachO            python3-macholib"
  "cmd:zip                      zip"
  "cmd:unzip                    unzip"
)

present() {  # kind:what
  local what=${1#*:}
  case $1 in
    cmd:*) command -v "$what" >/dev/null 2>&1 ;;
    py:*) "$python" -c "import $what" >/dev/null 2>&1 ;;
    file:*) [ -e "$what" ] ;;
  esac
}

for entry in "${requirements[@]}"; do
  read -r probe package <<<"$entry"
  if ! present "$probe"; then
    echo "missing ${probe#*:} (${probe%%:*}): add the Debian package '$package' to scripts/install-deps.sh" >&2
    exit 1
  fi
done
