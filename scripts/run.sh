#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: kelvrix-render loads the plug-in
# module into the simulated host and renders the default demo into out/demo/ — the contact
# sheet of every project depth and style, and a short sequence with Size animated from 50 to
# 400 — and builds the Windows plug-in kelvrix.aex with its installer and zip, and the Mac
# bundles with their zip. Arguments are passed on to the sequence's kelvrix-render call.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVRIX_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"

demo=out/demo
mkdir -p "$demo"
render=./build/release/cli/kelvrix-render
./build/release/cli/kelvrix-info | head -n 3

echo
echo "== contact sheet: every project depth x style, 1920x1080 frames, Size 150"
"$render" --contact-sheet --output "$demo/contact-sheet.png"

echo
echo "== sequence: 24 frames, 8 bpc project, Zesty, Size 50 -> 400"
"$render" --frames 24 --size 50:400 --output "$demo/sequence-####.png" "$@"

echo
echo "== the Windows plug-in"
dir=build/windows
windows_cmake_args=(-DCMAKE_BUILD_TYPE=Release -DKELVRIX_BUILD_TESTS=OFF -DKELVRIX_BUILD_BENCH=OFF)
source scripts/windows-build.sh
cmake --build "$dir" -j "$(nproc)" --target package installer >/dev/null
echo "kelvrix.aex: $dir/plugin/kelvrix.aex"
echo "installer: $(ls "$dir"/kelvrix-*-win64-setup.exe)"
echo "or, to copy by hand, the zip: $(ls "$dir"/kelvrix-*-win64.zip)"

echo
echo "== the Mac editions (cross-built with Zig; not run on a Mac)"
bash scripts/macos-build.sh build/macos | tail -n 1

echo
echo "demo images are in $demo/"
