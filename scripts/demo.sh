#!/usr/bin/env bash
# Builds the programs and runs the main job on the demo log: the viewer when a display is
# available, otherwise the same decode as text from tessarydump.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/src/app/TessaryView ]; then
    exec build/src/app/TessaryView samples/demo.dat
fi
echo "No display (\$DISPLAY / \$WAYLAND_DISPLAY unset): the decode of samples/demo.dat as text." >&2
exec build/src/cli/tessarydump samples/demo.dat
