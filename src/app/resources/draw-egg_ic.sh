#!/usr/bin/env bash
# Draws egg_ic.png, the 185 x 185 picture of the About window: a speckled egg
# with a zig-zag fold across it, resting on the ripples of a small dark lake.
# The PNG is committed; run this again (ImageMagick) only to change the picture.
# With a SIZE it draws the same picture SIZE pixels square (the build's app
# icons): drawn at that size rather than resized, so small icons stay sharp.
set -euo pipefail
out=${1:-"$(dirname "$0")/egg_ic.png"}
size=${2:-185}
scale=$(awk -v n="$size" 'BEGIN { printf "%.6f", n / 185 }')

egg="M 92,26 C 130,26 148,80 148,110 C 148,142 124,162 92,162 C 60,162 36,142 36,110 C 36,80 54,26 92,26 Z"

convert -size "${size}x${size}" gradient:'#1c4e5e'-'#081826' -affine "$scale,0,0,$scale,0,0" \
  -fill '#0b2533' -draw "ellipse 92,166 78,12 0,360" \
  -fill none -stroke '#5d9aa8' -strokewidth 1.5 \
  -draw "ellipse 92,167 84,14 200,340" \
  -draw "ellipse 92,169 66,9 20,160" \
  -stroke '#3d7482' -draw "ellipse 92,171 90,16 25,155" \
  -stroke none -fill '#e9dcbc' -draw "path '$egg'" \
  -fill '#f6efdc' -draw "ellipse 84,92 44,58 0,360" \
  -fill '#fffaf0' -draw "ellipse 72,70 13,22 0,360" \
  -fill '#a9834f' \
  -draw "circle 112,62 114,63" -draw "circle 124,84 125,86" -draw "circle 100,48 101,49" \
  -draw "circle 58,128 60,129" -draw "circle 120,136 122,137" -draw "circle 84,146 85,147" \
  -draw "circle 132,118 133,119" -draw "circle 66,146 67,147" \
  -fill none -stroke '#1f5a6a' -strokewidth 4 -draw "polyline 38,104 56,90 72,110 90,86 108,110 126,90 146,104" \
  -stroke '#e9dcbc' -strokewidth 1.5 -draw "polyline 40,111 56,97 72,117 90,93 108,117 126,97 144,111" \
  -depth 8 -strip -define png:exclude-chunks=date,time "$out"
