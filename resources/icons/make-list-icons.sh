#!/usr/bin/env bash
# Draws the list icons on white (white is transparent when they are drawn). Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
# A cooking pot with steam, for a category.
convert -size 32x32 xc:white \
  -stroke 'rgb(120,120,130)' -strokewidth 2 -fill none \
  -draw "path 'M 11,9 C 9,7 13,5 11,3'" -draw "path 'M 16,9 C 14,7 18,5 16,3'" -draw "path 'M 21,9 C 19,7 23,5 21,3'" \
  -stroke 'rgb(150,40,20)' -strokewidth 1 -fill 'rgb(214,72,40)' \
  -draw "roundrectangle 5,13 26,28 4,4" \
  -fill 'rgb(150,40,20)' -draw "rectangle 3,12 28,14" -draw "rectangle 1,17 4,19" -draw "rectangle 27,17 30,19" \
  -fill 'rgb(255,160,120)' -stroke none -draw "rectangle 8,17 12,25" \
  -type TrueColor PNG24:category32.png
# A recipe card with a folded corner and lines of text.
convert -size 16x16 xc:white \
  -stroke 'rgb(110,110,120)' -strokewidth 1 -fill 'rgb(255,250,230)' \
  -draw "polygon 2,1 10,1 13,4 13,14 2,14" \
  -fill 'rgb(220,210,180)' -draw "polygon 10,1 10,4 13,4" \
  -stroke 'rgb(16,132,208)' -draw "line 4,6 11,6" -draw "line 4,8 11,8" -draw "line 4,10 9,10" -draw "line 4,12 10,12" \
  -type TrueColor PNG24:recipe16.png
# A magnifying glass, for the tag search button.
convert -size 24x24 xc:none \
  -stroke 'rgb(40,60,90)' -strokewidth 3 -fill 'rgba(200,230,255,0.8)' -draw "circle 10,10 10,3" \
  -strokewidth 4 -draw "line 15,15 21,21" \
  PNG32:search24.png
