#!/usr/bin/env bash
# Renders the program's own icons, src/app/icons/*.svg, to the PNGs that the window loads from its
# resources: NAME.png at 20 pixels for ordinary screens and NAME@2x.png at 40 pixels for screens
# at twice the scale. PNG needs no image plugin at run time, SVG would (qt6-svg). Run it after
# changing an SVG and commit the PNGs with it; needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail

icons=$(cd "$(dirname "${BASH_SOURCE[0]}")/../src/app/icons" && pwd)
for svg in "$icons"/*.svg; do
    name=${svg%.svg}
    rsvg-convert -w 20 -h 20 "$svg" -o "$name.png"
    rsvg-convert -w 40 -h 40 "$svg" -o "$name@2x.png"
done

# The Windows program icon, from the menu entry's SVG: five sizes in one .ico (needs ImageMagick).
win=$(cd "$(dirname "${BASH_SOURCE[0]}")/../packaging" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for size in 16 24 32 48 256; do
    rsvg-convert -w "$size" -h "$size" "$win/korvex-setup.svg" -o "$tmp/$size.png"
done
convert "$tmp/16.png" "$tmp/24.png" "$tmp/32.png" "$tmp/48.png" "$tmp/256.png" \
    "$win/windows/korvex-setup.ico"
