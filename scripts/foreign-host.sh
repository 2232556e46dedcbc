#!/usr/bin/env bash
# Loads the sanitizer build of the module into a host that was built without the sanitizers, as the platform
# would: the default build's test host, with the sanitizer runtimes preloaded, runs the demonstration scenario.
set -euo pipefail
cd "$(dirname "$0")/.."
host=build/default/testhost/veltrano-host
module=build/asan/src/libVeltrano.so
[ -x "$host" ] && [ -f "$module" ] || { echo "build the default and asan presets first" >&2; exit 2; }
data=$(mktemp -d -t veltrano-foreign.XXXXXX)
trap 'rm -rf "$data"' EXIT
out="$data/run.txt"
LD_PRELOAD="$(gcc -print-file-name=libasan.so) $(gcc -print-file-name=libubsan.so)" \
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  "$host" --module "$module" --data "$data/data" --max-lines 1 scenarios/demo.txt >"$out" 2>&1 || {
  tail -n 30 "$out" >&2
  exit 1
}
if grep -q "runtime error" "$out"; then
  grep -m 5 "runtime error" "$out" >&2
  exit 1
fi
echo "The sanitizer build of the module ran the demonstration in a host built without sanitizers."
