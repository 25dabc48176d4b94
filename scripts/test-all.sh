#!/usr/bin/env bash
# Builds everything and runs every test: the Release build with the viewer, the Windows cross
# build under Wine, the install check of its Debian package, a short fuzz smoke run, then the
# core tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# Windows: the core, tessarydump and insloggen cross-built with MinGW-w64, the core test suites
# run under Wine, and the demo decode compared byte for byte with the Linux build's.
bash scripts/test-windows.sh build

# Install check: the Debian package from the Release build, unpacked into a temporary root;
# the installed programs against the build tree's (scripts/check-install.sh).
bash scripts/check-install.sh build

# Fuzz smoke run: every fuzz target for a few seconds (clang, libFuzzer, ASan + UBSan).
FUZZ_FRESH=1 bash fuzz/run 12

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARY_SANITIZE=ON \
    -DTESSARY_BUILD_BENCH=OFF -DTESSARY_BUILD_GUI=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
