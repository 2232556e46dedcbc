#!/usr/bin/env bash
# Builds and runs every test: the layer check, the default build, the same tests under AddressSanitizer and
# UBSan, a module built with them loaded by a host built without, a bounded fuzzing run over every input, then
# the release package built in Debian 11 and its training day. Each stage prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."

stage() {
  local name=$1 start=$SECONDS
  shift
  echo "== $name"
  "$@"
  echo "== $name: $((SECONDS - start)) s"
}

build_and_test() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  ctest --preset "$1" -j2
}

# Compilations are cached between runs on one machine (ccache's own folder); the cache keys hold paths relative
# to the checkout, so another checkout of the same sources reuses them.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache

stage "set-up" scripts/install-deps.sh
stage "layers" scripts/check-layers.sh
stage "default build and tests" build_and_test default
stage "sanitizer build and tests" build_and_test asan
stage "sanitizer module in another host" scripts/foreign-host.sh
stage "fuzzing" scripts/fuzz.sh "${VELTRANO_FUZZ_SECONDS:-120}"
stage "package" scripts/package.sh --check
