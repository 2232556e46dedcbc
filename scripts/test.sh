#!/usr/bin/env bash
# Builds and runs every test: the default build, the same tests under AddressSanitizer and UBSan, a bounded
# fuzzing run over the check-package path, then the release package built in Debian 11 and its training day.
set -euo pipefail
cd "$(dirname "$0")/.."

# Runs one stage and tells how long it took.
stage() {
  local name=$1 started=$SECONDS
  shift
  "$@"
  echo "Stage $name: $((SECONDS - started)) s"
}

build_and_test() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  ctest --preset "$1" -j2
}

scripts/install-deps.sh
for preset in default asan; do
  stage "$preset" build_and_test "$preset"
done
stage fuzz scripts/fuzz.sh "${VELTRANO_FUZZ_SECONDS:-60}"
stage package scripts/package.sh --check
