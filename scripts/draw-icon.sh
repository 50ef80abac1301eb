#!/usr/bin/env bash
# Draws Dravik's icon, ui/shared/dravik.ico, which both programs show: a route on a chart, three waypoints
# joined by legs, in 256, 48, 32 and 16 pixels. Only needed to change the icon; it needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Drawn once at 1024 pixels (a 64-unit design at 16 pixels a unit), then scaled down to each size.
convert -size 1024x1024 xc:none \
    -fill '#1f6fb5' -draw "roundrectangle 32,32 991,991 192,192" \
    -fill none -stroke white -strokewidth 64 \
    -draw "stroke-linecap round stroke-linejoin round polyline 224,768 480,352 800,256" \
    -stroke none -fill '#ffc83d' \
    -draw "circle 224,768 320,768" -draw "circle 480,352 576,352" -draw "circle 800,256 896,256" \
    "$work/large.png"
images=()
for size in 256 48 32 16; do
    convert "$work/large.png" -filter Lanczos -resize "${size}x${size}" -define png:format=png32 "$work/$size.png"
    images+=("$work/$size.png")
done
convert "${images[@]}" ui/shared/dravik.ico
identify ui/shared/dravik.ico
