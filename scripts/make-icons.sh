#!/bin/sh
# Renders the program's icon (resources/linux/icons/org.korvane.Korvane.svg)
# into the PNG sizes the desktop's icon theme wants. Needs rsvg-convert
# (librsvg2-bin); run it after changing the SVG and commit the results.
set -eu
dir=$(cd "$(dirname "$0")/../resources/linux/icons" && pwd)
for s in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$s" -h "$s" "$dir/org.korvane.Korvane.svg" -o "$dir/org.korvane.Korvane-$s.png"
done
ls -l "$dir"
