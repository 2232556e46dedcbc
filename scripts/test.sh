#!/usr/bin/env bash
# Builds and runs every test: the default build, the same tests under AddressSanitizer and UBSan, then a bounded
# fuzzing run over the check-package path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for preset in default asan; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done
scripts/fuzz.sh "${VELTRANO_FUZZ_SECONDS:-60}"
