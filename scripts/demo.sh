#!/usr/bin/env bash
# Builds the add-in and runs the demonstration scenario through the test host on a temporary data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target veltrano veltrano-host
data=$(mktemp -d -t veltrano-demo.XXXXXX)
echo "Data folder: $data"
build/default/testhost/veltrano-host --data "$data" --max-lines 24 scenarios/demo.txt
# The preview needs a desktop: with one, the same device shows its documents in the preview window.
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo
  echo "The preview window (about half a minute):"
  build/default/testhost/veltrano-host --data "$data" --max-lines 4 scenarios/demo-preview.txt
else
  echo
  echo "The preview step is skipped: no display (DISPLAY and WAYLAND_DISPLAY are not set)."
fi
