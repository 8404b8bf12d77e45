#!/usr/bin/env bash
# Builds the text engine's libFuzzer targets with clang (address + undefined behaviour sanitizers)
# in a separate build directory and runs each for the given time. Prints executions per target;
# exits non-zero when any target finds a crash, leak, timeout or sanitizer report.
#   scripts/fuzz-text.sh <seconds-per-target> <build-dir>
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 <seconds-per-target> <build-dir>" >&2
  exit 2
fi
seconds=$1
build=$2
repo=$(cd "$(dirname "$0")/.." && pwd)
clangxx=$(command -v clang++-14 || command -v clang++)
python=/usr/bin/python3  # Debian's interpreter; the seed writer needs only its standard library

cmake -S "$repo/tests/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$clangxx" >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

corpus=$build/corpus
"$python" "$repo/tests/fuzz/make_seeds.py" "$build/seeds"
declare -A seeds=([FuzzTextCanvas]=canvas [FuzzBase64]=base64 [FuzzUtf8]=utf8)
status=0
for target in FuzzTextCanvas FuzzBase64 FuzzUtf8; do
  mkdir -p "$corpus/$target" "$build/artifacts/$target"
  log=$build/$target.log
  set +e
  "$build/$target" "$corpus/$target" "$build/seeds/${seeds[$target]}" \
    "$repo/tests/fuzz/regressions/$target" \
    -max_total_time="$seconds" -timeout=30 -rss_limit_mb=3072 -max_len=1048576 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target/" >"$log" 2>&1
  result=$?
  set -e
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  echo "$target: ${runs:-?} executions in ${seconds}s, exit $result"
  if [[ $result -ne 0 ]]; then
    echo "$target failed; log: $log, artifacts: $build/artifacts/$target" >&2
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" >&2 || true
    status=1
  fi
done
exit $status
