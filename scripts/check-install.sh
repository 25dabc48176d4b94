#!/usr/bin/env bash
# Install check: builds the Debian package from a Release build (default: build/), unpacks it
# into a temporary root with dpkg -x and runs the installed programs from there:
#   - the package's fields (name, version = project version, maintainer, section, the Qt 6
#     runtime, font and translation dependencies, each an installed package here) and files;
#   - the installed tessarydump on the installed demo log prints, byte for byte, what the build
#     tree's tessarydump prints on the same log (text and --jsonl, both --default-settings,
#     XDG_CONFIG_HOME an empty folder);
#   - the installed insloggen regenerates the installed demo log byte for byte from the command
#     line in samples/README.md;
#   - the installed viewer starts offscreen on the installed demo log and is still running
#     after a few seconds (it is a window program that does not exit by itself); then it is
#     terminated.
# Usage: bash scripts/check-install.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
build=$(cd "${1:-build}" && pwd)

fail() {
    echo "check-install: FAIL: $*" >&2
    exit 1
}

tmp=$(mktemp -d)
viewer_pid=""
cleanup() {
    if [ -n "$viewer_pid" ]; then kill "$viewer_pid" 2>/dev/null || true; fi
    rm -rf "$tmp"
}
trap cleanup EXIT

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
arch=$(dpkg --print-architecture)
deb="$build/TessaryView-$version-$arch.deb"

# --- the package --------------------------------------------------------------------------
rm -f "$deb"
(cd "$build" && cpack -G DEB >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log" >&2; fail "cpack -G DEB"; }
[ -f "$deb" ] || fail "cpack wrote no $deb"
echo "check-install: package $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tessaryview ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), project $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Section)" = net ] || fail "Section: $(field Section)"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
echo "check-install: Depends: $depends"
# The package names alone, one a line (versions and alternatives dropped).
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ |].*//' | grep -v '^$')
for need in libqt6core6 libqt6gui6 libqt6widgets6 libstdc++6 libc6 fonts-ipafont-gothic \
    qt6-translations-l10n; do
    grep -Fqx -- "$need" <<<"$names" || fail "Depends lacks $need"
done
# Every dependency names a real package: this machine has each of them installed.
while read -r name; do
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed' \
        || fail "dependency $name is not an installed package"
done <<<"$names"

root="$tmp/root"
dpkg -x "$deb" "$root"
for program in TessaryView tessarydump insloggen; do
    [ -x "$root/usr/bin/$program" ] || fail "the package has no executable usr/bin/$program"
    # No run path into the build tree (the programs link the system's Qt).
    if readelf -d "$root/usr/bin/$program" | grep -Eq 'R(UN)?PATH'; then
        fail "usr/bin/$program keeps a run path: $(readelf -d "$root/usr/bin/$program" | grep -E 'R(UN)?PATH')"
    fi
done
demo="$root/usr/share/tessaryview/demo.dat"
cmp "$demo" samples/demo.dat || fail "the installed demo log differs from samples/demo.dat"

# --- tessarydump: installed against the build tree's ----------------------------------------
mkdir -p "$tmp/config"
dump() { XDG_CONFIG_HOME="$tmp/config" "$@"; }
for mode in text jsonl; do
    args=(--default-settings)
    if [ "$mode" = jsonl ]; then args+=(--jsonl); fi
    dump "$root/usr/bin/tessarydump" "${args[@]}" "$demo" >"$tmp/installed.$mode" \
        || fail "installed tessarydump ${args[*]} exited with $?"
    dump "$build/src/cli/tessarydump" "${args[@]}" "$demo" >"$tmp/built.$mode" \
        || fail "build tree tessarydump ${args[*]} exited with $?"
    [ -s "$tmp/built.$mode" ] || fail "tessarydump ${args[*]} printed nothing"
    cmp "$tmp/installed.$mode" "$tmp/built.$mode" \
        || fail "installed and build tree tessarydump ${args[*]} differ"
    echo "check-install: tessarydump ${args[*]}: $(wc -c <"$tmp/built.$mode") bytes, identical"
done
[ -z "$(ls -A "$tmp/config")" ] || fail "tessarydump --default-settings wrote into XDG_CONFIG_HOME"

# --- insloggen: the demo log's command line from samples/README.md --------------------------
line=$(grep -m1 '^insloggen ' samples/README.md) || fail "no insloggen line in samples/README.md"
read -r -a words <<<"$line"
words=("${words[@]:1}")
replaced=0
for i in "${!words[@]}"; do
    if [ "${words[$i]}" = --out ]; then
        words[i + 1]="$tmp/regen.dat"
        replaced=1
    fi
done
[ "$replaced" = 1 ] || fail "the insloggen line has no --out"
"$root/usr/bin/insloggen" "${words[@]}" >/dev/null || fail "installed insloggen exited with $?"
cmp "$tmp/regen.dat" "$demo" || fail "installed insloggen does not regenerate the demo log"
echo "check-install: insloggen regenerates the installed demo log byte for byte"

# --- the viewer, offscreen ------------------------------------------------------------------
(cd "$tmp" && exec env XDG_CONFIG_HOME="$tmp/config" QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/TessaryView" "$demo" >"$tmp/viewer.log" 2>&1) &
viewer_pid=$!
sleep 4
if ! kill -0 "$viewer_pid" 2>/dev/null; then
    status=0
    wait "$viewer_pid" || status=$?
    viewer_pid=""
    cat "$tmp/viewer.log" >&2
    fail "the installed viewer ended by itself (exit $status) within 4 seconds"
fi
kill "$viewer_pid"
wait "$viewer_pid" 2>/dev/null || true
viewer_pid=""
echo "check-install: the installed viewer ran offscreen on the installed demo log for 4 seconds"
echo "check-install: OK"
