#!/usr/bin/env bash
# Renders the PNG sizes of the hicolor theme from tessaryview.svg (rsvg-convert, Debian package librsvg2-bin).
# The PNGs are committed, so the build and the install need no renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}"
    rsvg-convert -w "$size" -h "$size" tessaryview.svg -o "hicolor/${size}x${size}/tessaryview.png"
done
