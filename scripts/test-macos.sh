#!/usr/bin/env bash
# The Mac editions, checked on Linux: builds both bundles and the zip with Zig, checks every slice
# made it into the universal binaries unchanged, reads the zip's bundles back with readers that
# did not write them, runs install.command against stand-ins, and runs the whole test suite built
# by the same Zig (its clang and libc++) for this machine.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/ci-macos
jobs=$(nproc)
step() { printf '\n==== %s ====\n' "$*"; }

step "Mac bundles and zip (Zig cross build, x86_64 + arm64)"
bash scripts/macos-build.sh "$out"
zip=$(ls "$out"/kelvrix-*-macos.zip)

step "each slice in the universal binaries byte for byte as its linker (and signer) left it"
for binary in plugin/kelvrix kelvrix.ofx.bundle/Contents/MacOS/kelvrix.ofx; do
  universal=$out/${binary/plugin\//kelvrix.plugin/Contents/MacOS/}
  for arch in x86_64 arm64; do
    build=$out/${arch/arm64/aarch64}/$binary
    llvm-lipo-14 -thin "$arch" "$universal" -output "$out/thin"
    cmp "$out/thin" "$build" || { echo "$universal: the $arch slice differs from $build" >&2; exit 1; }
  done
done
rm -f "$out/thin"
echo "identical"

step "the zip's bundles read back: layouts, Info.plist, PkgInfo, PiPL, Mach-O, signatures"
(cd tests/macos && /usr/bin/python3 check_package.py "$OLDPWD/$zip")

step "install.command with stand-ins for codesign, xattr and sudo"
bash tests/macos/check_install.sh "$zip"

step "the test suite built by Zig for x86_64-linux-gnu"
cmake -S . -B "$out/zig-linux" -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/zig.cmake \
  -DKELVRIX_ZIG_TARGET=x86_64-linux-gnu.2.36 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELVRIX_WERROR=ON -DKELVRIX_BUILD_BENCH=OFF -DCMAKE_DISABLE_FIND_PACKAGE_OpenEXR=ON >/dev/null
cmake --build "$out/zig-linux" -j "$jobs"
ctest --test-dir "$out/zig-linux" --output-on-failure -j "$jobs"

step "Mac test runs passed"
