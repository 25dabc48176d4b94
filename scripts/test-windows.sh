#!/usr/bin/env bash
# The Windows step of the test command: cross-builds the core, tessarydump, insloggen and the
# core test suites with MinGW-w64, runs every test program under Wine, and checks that the
# Windows tessarydump decodes samples/demo.dat to the very bytes of the Linux one.
#
#   scripts/test-windows.sh [LINUX_BUILD_DIR]    (default: build; its tessarydump is the reference)
#
# Builds into build-win (WINDOWS_BUILD_DIR to change it). Wine's prefix lives in the build folder
# so that only the first run pays for creating it. No display is needed: every program here is a
# console program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

linux_build=${1:-build}
win_build=${WINDOWS_BUILD_DIR:-build-win}
jobs=${JOBS:-$(nproc)}
started=$SECONDS

bash scripts/install-deps.sh

wine=""
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then
        wine=$candidate
        break
    fi
done
if [ -z "$wine" ]; then
    echo "test-windows: no wine64 found" >&2
    exit 1
fi

mkdir -p "$win_build"
export WINEPREFIX="$root/$win_build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer on the first start
export DISPLAY=""
unset WAYLAND_DISPLAY
toolchain="$root/cmake/mingw-w64-x86_64.cmake"

# GoogleTest from the sources of the Debian package, built once with the cross compiler.
gtest_prefix="$root/$win_build/googletest"
if [ ! -f "$gtest_prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$win_build/googletest-build" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$gtest_prefix" -DBUILD_GMOCK=ON >/dev/null
    cmake --build "$win_build/googletest-build" -j "$jobs" >/dev/null
    cmake --install "$win_build/googletest-build" >/dev/null
fi

# Test discovery at build time would start Wine for every program; ctest lists them on demand.
cmake -S . -B "$win_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTESSARY_BUILD_GUI=OFF -DTESSARY_BUILD_BENCH=OFF \
    -DGTest_DIR="$gtest_prefix/lib/cmake/GTest" \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null
# Not here: test_settings is the store over Qt's QSettings, which this build has no Qt for (the
# platform suite tests the build's own registry and INI store instead); test_cli starts
# tessarydump through POSIX shell lines and wait statuses, so tessarydump is checked below by
# its demo decodes against the Linux program.
suites=(test_platform test_logfile test_decode test_display test_mainwnd test_tools test_fault
    test_loggen)
cmake --build "$win_build" -j "$jobs" --target tessary_core tessarydump insloggen "${suites[@]}"
built=$SECONDS

# The first start creates the prefix; later ones find it (and a running wineserver).
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "test-windows: creating the Wine prefix (first run only)"
fi
"$wine" cmd /c exit 0 >/dev/null 2>&1 || true

failed=()
tmp="$root/$win_build/test-tmp"
rm -rf "$tmp"
mkdir -p "$tmp"
logs="$root/$win_build/test-logs"
rm -rf "$logs"
mkdir -p "$logs"
for suite in "${suites[@]}"; do
    echo "== $suite (Wine)"
    log="$logs/$suite.log"
    # The suites run from the build folder, as ctest runs them on Linux. Wine ends a program
    # that crashed with status 0 after its debugger's report, so the verdict is GoogleTest's own
    # summary line as well as the exit status.
    status=0
    (cd "$win_build" && TESSARY_TEST_TMP="$tmp" "$wine" "tests/$suite.exe" --gtest_brief=1 \
        2>&1) | tr -d '\r' >"$log" || status=$?
    if [ "$status" -ne 0 ] || grep -q "^\[  FAILED  \]" "$log" ||
        ! grep -q "^\[  PASSED  \] [0-9]* tests\?\.$" "$log" ||
        grep -q "Unhandled exception\|Unhandled page fault" "$log"; then
        cat "$log"
        failed+=("$suite")
    else
        grep -v "^Running main" "$log"
    fi
done
tested=$SECONDS

# The demo decode, written to files and compared byte for byte with the Linux program's.
linux_dump="$root/$linux_build/src/cli/tessarydump"
if [ ! -x "$linux_dump" ]; then
    echo "test-windows: no Linux tessarydump in $linux_build (build it first)" >&2
    exit 1
fi
out="$root/$win_build/demo-compare"
rm -rf "$out"
mkdir -p "$out"
# The header and summary texts show the log's folder as each system writes it: the Linux text
# with that folder in its Windows form is what the Windows program must write.
linux_folder="$root/samples/"
windows_folder=$("$wine" winepath -w "$linux_folder" 2>/dev/null | tr -d '\r')
compare() {
    local name=$1
    shift
    "$linux_dump" --default-settings "$@" samples/demo.dat >"$out/$name.linux"
    "$wine" "$win_build/src/cli/tessarydump.exe" --default-settings "$@" samples/demo.dat \
        >"$out/$name.windows"
    python3 - "$out/$name.linux" "$out/$name.expected" "$linux_folder" "$windows_folder" <<'PY'
import sys
text = open(sys.argv[1], "rb").read()
folder = ("<" + sys.argv[3] + ">").encode()
open(sys.argv[2], "wb").write(text.replace(folder, ("<" + sys.argv[4] + ">").encode()))
PY
    if cmp "$out/$name.expected" "$out/$name.windows"; then
        echo "demo decode $name: identical ($(wc -c <"$out/$name.linux") bytes)"
    else
        echo "demo decode $name: the Windows output differs from the Linux one" >&2
        failed+=("demo-$name")
    fi
}
compare text
compare crlf --crlf
compare jsonl --jsonl
compare header --header
compare summary --summary

echo "test-windows: build $((built - started)) s, tests $((tested - built)) s, total $((SECONDS - started)) s"
if ((${#failed[@]})); then
    echo "test-windows: FAILED: ${failed[*]}" >&2
    exit 1
fi
echo "test-windows: all passed"
