#!/usr/bin/env bash
# Builds the programs and runs the main job on the demo log.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
echo "The decoder (tessarydump) is not built yet; the demo log is written by insloggen:"
./build/src/loggen/insloggen --help || true
