#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: the plug-in module loaded by the
# simulated host, which prints what the plug-in reports to After Effects and Premiere Pro.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVRIX_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"
./build/release/cli/kelvrix-info "$@"
echo
./build/release/cli/kelvrix-info --premiere "$@"
