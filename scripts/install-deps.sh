#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when some are missing.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev python3 tshark
    clang libclang-rt-14-dev qt6-base-dev fonts-ipafont-gothic qt6-translations-l10n
    xvfb xauth xdotool desktop-file-utils appstream shared-mime-info)

# The Debian package of the install check (cpack -G DEB: dpkg-shlibdeps, file).
packages+=(dpkg-dev file)

# The Windows step: the MinGW-w64 cross compiler (POSIX threads), Wine to run its programs, and
# the GoogleTest sources that scripts/test-windows.sh builds with it.
packages+=(g++-mingw-w64-x86-64-posix wine64 googletest)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
