#!/usr/bin/env bash
# Cross-builds the Mac editions with Zig: kelvrix.plugin (After Effects, Premiere Pro) and
# kelvrix.ofx.bundle, each with one universal binary (x86_64 + arm64), and the zip that carries
# them with install.command. Usage: scripts/macos-build.sh [output folder, default build/macos]
#
# Each architecture is its own build; the universal binaries are made with llvm-lipo, which keeps
# every slice byte for byte, so the linker's signature of the arm64 slice stays valid. Nothing
# rewrites a slice afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/macos}
jobs=$(nproc)

# The PiPL's resource file comes from the same writer as the Windows PiPL, built for this
# machine.
cmake -S . -B "$out/tools" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVRIX_BUILD_TESTS=OFF \
  -DKELVRIX_BUILD_BENCH=OFF >/dev/null
cmake --build "$out/tools" --target kelvrix_write_pipl -j "$jobs" >/dev/null

for arch in x86_64 aarch64; do
  cmake -S . -B "$out/$arch" -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/zig.cmake \
    -DKELVRIX_ZIG_TARGET="$arch-macos.11.0" -DCMAKE_BUILD_TYPE=Release -DKELVRIX_WERROR=ON \
    -DKELVRIX_BUILD_TESTS=OFF -DKELVRIX_BUILD_BENCH=OFF >/dev/null
  cmake --build "$out/$arch" --target kelvrix kelvrix_ofx -j "$jobs"
done

stage=$out/aarch64/macos-stage
version=$(cat "$stage/version")
universal() {  # output, the slice's path inside each build
  llvm-lipo-14 -create "$out/x86_64/$2" "$out/aarch64/$2" -output "$1"
}

plugin=$out/kelvrix.plugin
rm -rf "$plugin" && mkdir -p "$plugin/Contents/MacOS" "$plugin/Contents/Resources"
cp "$stage/kelvrix.plugin/Info.plist" "$stage/kelvrix.plugin/PkgInfo" "$plugin/Contents/"
universal "$plugin/Contents/MacOS/kelvrix" plugin/kelvrix
# Mac hosts find the PiPL as Resources/<executable name>.rsrc.
"$out/tools/resources/kelvrix_write_pipl" --macos "$plugin/Contents/Resources/kelvrix.rsrc"

ofx=$out/kelvrix.ofx.bundle
rm -rf "$ofx" && mkdir -p "$ofx/Contents/MacOS" "$ofx/Contents/Resources"
cp "$stage/kelvrix.ofx.bundle/Info.plist" "$ofx/Contents/"
universal "$ofx/Contents/MacOS/kelvrix.ofx" kelvrix.ofx.bundle/Contents/MacOS/kelvrix.ofx
cp resources/com.torvendale.kelvrix.png "$ofx/Contents/Resources/"

# The zip: one folder with both bundles, the install script, the install note, the README and
# the licence notices. zip keeps the Unix modes, so the binaries and the script stay executable.
name=kelvrix-$version-macos
package=$out/package/$name
rm -rf "$out/package" && mkdir -p "$package"
cp -R "$plugin" "$ofx" "$package/"
cp README.md LICENSE.txt resources/font/OpenSans-LICENSE-Apache-2.0.txt \
  "$stage/INSTALL-macOS.txt" "$package/"
install -m 755 packaging/macos/install.command "$package/"
rm -f "$out/$name.zip"
(cd "$out/package" && zip -q -r -X "../$name.zip" "$name")
echo "built $out/$name.zip ($(stat -c %s "$out/$name.zip") bytes)"
