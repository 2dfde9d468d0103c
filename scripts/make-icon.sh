#!/usr/bin/env bash
# Draws the program's icon (a light cyan memo sheet with a red pin and a
# clock hand) and writes data/set/icon.png and data/set/icon.ico, and the
# sizes the installed program puts in the hicolor icon theme,
# data/icons/<size>.png.
# The results are committed; run this only to change the icon.
set -euo pipefail
cd "$(dirname "$0")/.."
out=data/set
convert -size 256x256 xc:none \
  -fill '#3a7f8c' -draw 'roundrectangle 28,36 228,236 22,22' \
  -fill '#c0ffff' -draw 'roundrectangle 20,24 220,224 22,22' \
  -stroke '#3a7f8c' -strokewidth 10 -draw 'line 56,92 184,92' -draw 'line 56,132 184,132' -draw 'line 56,172 140,172' \
  -stroke none -fill '#e03030' -draw 'circle 190,56 214,56' \
  -fill '#ffffff' -draw 'circle 182,48 188,48' \
  -strip "$out/icon.png"
convert "$out/icon.png" -define icon:auto-resize=256,48,32,16 "$out/icon.ico"
# Drawn once and scaled down: the theme wants each size as a file of its own,
# and the program carries 16 to 64 px. Eight bits a channel, which every
# screen shows: sixteen took twice as long to read at each start.
mkdir -p data/icons
for size in 16 24 32 48 64 128 256; do
  convert "$out/icon.png" -filter Lanczos -resize "${size}x$size" -depth 8 -strip "PNG32:data/icons/$size.png"
done
