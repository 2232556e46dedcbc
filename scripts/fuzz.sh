#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer with ASan and UBSan) and runs every fuzz target for a bounded time.
# The seed corpus in fuzz/corpus stays as it is; what the fuzzer learns goes to build/fuzz/corpus. A finding
# is written to build/fuzz/artifacts and fails the script.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_check_package

# The targets keep their temporary storage files in memory where the machine allows it.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
for target in check_package; do
  work="build/fuzz/corpus/$target"
  mkdir -p "$work"
  "build/fuzz/fuzz/fuzz_$target" "$work" "fuzz/corpus/$target" -dict="fuzz/$target.dict" \
    -max_total_time="$seconds" -artifact_prefix="$artifacts/${target}-" -print_final_stats=1
done
