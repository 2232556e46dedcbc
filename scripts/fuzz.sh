#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer with ASan and UBSan) and runs every fuzz target, one after the
# other, for a bounded time: the first argument is the total for the whole stage, split evenly between the
# targets (at least one second each). A target is fuzz/<name>_fuzz.cpp, built as fuzz_<name>; its seed
# corpus fuzz/corpus/<name> stays as it is and its dictionary fuzz/<name>.dict is used when there is one.
# What the fuzzer learns goes to build/fuzz/corpus/<name>. A finding is written to build/fuzz/artifacts and
# fails the script (after the other targets have run).
# Usage: scripts/fuzz.sh [total seconds for all targets, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
total="${1:-60}"
case "$total" in
  '' | *[!0-9]*) echo "fuzz.sh: the total time must be a whole number of seconds, not '$total'" >&2; exit 2 ;;
esac
scripts/install-deps.sh
cmake --preset fuzz >/dev/null

targets=()
for source in fuzz/*_fuzz.cpp; do
  name="$(basename "$source" _fuzz.cpp)"
  targets+=("$name")
done
cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}"

# The targets keep their temporary storage files in memory where the machine allows it, in a folder of this
# run that goes with it (a target stopped by a finding cannot remove its own).
scratch_parent="${TMPDIR:-/tmp}"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  scratch_parent=/dev/shm
fi
scratch="$(mktemp -d "$scratch_parent/veltrano-fuzz-run-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"
each=$(( total / ${#targets[@]} ))
[ "$each" -ge 1 ] || each=1
echo "fuzz.sh: ${#targets[@]} targets, ${each} s each (${total} s in all)"

artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
failed=()
for target in "${targets[@]}"; do
  work="build/fuzz/corpus/$target"
  mkdir -p "$work"
  options=(-max_total_time="$each" -artifact_prefix="$artifacts/${target}-" -print_final_stats=1)
  [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")
  echo "== fuzz_$target"
  if ! "build/fuzz/fuzz/fuzz_$target" "$work" "fuzz/corpus/$target" "${options[@]}"; then
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: findings in ${failed[*]} (see $artifacts)" >&2
  exit 1
fi
