#!/usr/bin/env bash
# Builds the Windows plug-in kelvrix.aex and its tests with MinGW-w64, runs the tests under
# Wine against the real .aex, checks the .aex with an independent PE reader, and builds and
# checks the install package (a zip) and the installer, which it runs under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build/ci-mingw
jobs=$(nproc)
step() { printf '\n==== %s ====\n' "$*"; }

step "Windows build (MinGW-w64, -Werror)"
windows_cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVRIX_WERROR=ON -DKELVRIX_BUILD_BENCH=OFF)
source scripts/windows-build.sh
cmake --build "$dir" -j "$jobs"
echo "built $dir/plugin/kelvrix.aex ($(stat -c %s "$dir/plugin/kelvrix.aex") bytes)"
ofx=$dir/kelvrix.ofx.bundle/Contents/Win64/kelvrix.ofx
echo "built $ofx ($(stat -c %s "$ofx") bytes)"

step "Windows tests under Wine"
ctest --test-dir "$dir" --output-on-failure -j "$jobs" -LE pe

step "kelvrix-render.exe renders through kelvrix.aex and kelvrix.ofx.bundle under Wine"
frames=$dir/wine-frames
rm -rf "$frames" && mkdir -p "$frames"
for module in plugin/kelvrix.aex kelvrix.ofx.bundle; do
  for depth in 8 16; do
    name=${module##*/}-depth$depth
    wine "$dir/cli/kelvrix-render.exe" --module "$dir/$module" --depth "$depth" \
      --style 32 --width 160 --height 90 --frames 3 --quiet \
      --output "$frames/$name-#.png" </dev/null
    /usr/bin/python3 tests/pe/check_rendered.py 160 90 "$depth" "$frames/$name"-*.png
  done
done

step "kelvrix.aex and kelvrix.ofx read by python3-pefile"
/usr/bin/python3 tests/pe/check_aex.py "$dir/plugin/kelvrix.aex"
/usr/bin/python3 tests/pe/check_ofx.py "$dir/kelvrix.ofx.bundle/Contents/Win64/kelvrix.ofx"

step "the Windows package"
cmake --build "$dir" --target package >/dev/null
/usr/bin/python3 tests/pe/check_package.py "$dir"/kelvrix-*-win64.zip

step "the Windows installer: install, upgrade, uninstall and refusal under Wine"
cmake --build "$dir" --target installer >/dev/null
setup=$(ls "$dir"/kelvrix-*-win64-setup.exe)
echo "built $setup ($(stat -c %s "$setup") bytes)"
bash tests/installer/check_installer.sh "$setup" "$dir/packaging/installer/kelvrix.aex" \
  "$WINEPREFIX" "$dir/installer-test"

step "Windows test runs passed"
