#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test three ways: a plain build with
# warnings as errors, AddressSanitizer + UndefinedBehaviorSanitizer, and ThreadSanitizer
# (the concurrency tests); then the Windows build under Wine, the Mac build with its checks and
# the suite built by Zig, and the fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-deps.sh

jobs=$(nproc)
step() { printf '\n==== %s ====\n' "$*"; }

configure_and_build() {  # dir, extra cmake args...
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DKELVRIX_WERROR=ON -DKELVRIX_BUILD_BENCH=OFF "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

step "plain build (RelWithDebInfo, -Werror)"
configure_and_build build/ci-plain -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build/ci-plain --output-on-failure -j "$jobs"

step "OpenFX: the .deb installed with dpkg -i and its bundle loaded from /usr/OFX/Plugins"
bash tests/packaging/check_deb.sh build/ci-plain

step "frei0r: kelvrix.so in ffmpeg, melt and GStreamer; its .deb"
bash tests/frei0r/real_hosts.sh build/ci-plain
cmake --build build/ci-plain --target package >/dev/null
bash tests/frei0r/check_deb.sh build/ci-plain/kelvrix-frei0r_1.1.0_amd64.deb

step "AddressSanitizer + UndefinedBehaviorSanitizer"
configure_and_build build/ci-asan -DCMAKE_BUILD_TYPE=Debug -DKELVRIX_SANITIZE=address,undefined
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/ci-asan --output-on-failure -j "$jobs"

step "ThreadSanitizer (concurrency tests)"
configure_and_build build/ci-tsan -DCMAKE_BUILD_TYPE=Debug -DKELVRIX_SANITIZE=thread
# Address-space randomisation on newer kernels confuses this TSan runtime; run without it.
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  setarch "$(uname -m)" -R ctest --test-dir build/ci-tsan --output-on-failure -L concurrency

step "Windows: kelvrix.aex with MinGW-w64, its tests under Wine, the PE checks, the package"
bash scripts/test-windows.sh

step "macOS: both bundles cross-built with Zig and checked by independent readers; the Zig-built suite"
bash scripts/test-macos.sh

step "fuzzing the text engine's parsers (${KELVRIX_FUZZ_SECONDS:-60} s per target)"
bash scripts/fuzz-text.sh "${KELVRIX_FUZZ_SECONDS:-60}" build/ci-fuzz

step "all test runs passed"
