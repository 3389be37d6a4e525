#!/bin/sh
# Rasterises the image sources resources/src/**/*.svg into resources/**/*.png
# (same relative path, the SVG's own pixel size) and rewrites the resource
# list resources/quillfence.qrc from the PNGs it produced.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
src="$root/resources/src"
out="$root/resources"
qrc="$out/quillfence.qrc"

cd "$src"
find . -name '*.svg' | sed 's|^\./||' | LC_ALL=C sort > "$out/.svg-list"

while IFS= read -r svg; do
    png="$out/${svg%.svg}.png"
    mkdir -p "$(dirname "$png")"
    rsvg-convert "$svg" -o "$png"
done < "$out/.svg-list"

{
    echo '<!DOCTYPE RCC><RCC version="1.0">'
    echo '<qresource prefix="/Quillfence/Resources">'
    sed 's|\.svg$|.png|; s|.*|    <file>&</file>|' "$out/.svg-list"
    echo '</qresource>'
    echo '</RCC>'
} > "$qrc"
rm -f "$out/.svg-list"
echo "rendered $(grep -c '<file>' "$qrc") images"
