#!/usr/bin/env bash
# Renders the icon's PNG sizes for the hicolor theme from packaging/icons/parlevo.svg
# (rsvg-convert, Debian package librsvg2-bin). Run after editing the SVG and
# commit the PNGs: the build itself needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" parlevo.svg --output "parlevo-$size.png"
done
