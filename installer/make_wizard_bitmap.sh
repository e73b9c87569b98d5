#!/usr/bin/env bash
# Makes wizard.bmp, the 164 x 314 picture beside the welcome and finish pages of setup.exe:
# the dialog banner's blue, the program icon doubled and the product name in white.
# Needs ImageMagick and the DejaVu fonts (Debian: imagemagick, fonts-dejavu-core).
# Run it again after the icon or the banner's colours change, and keep the file it writes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
icon=$here/../resources/kestoral.ico
fonts=/usr/share/fonts/truetype/dejavu
convert -size 164x314 gradient:'rgb(102,153,204)-rgb(40,70,120)' \
  \( "$icon" -filter point -resize 64x64 \) -geometry +50+44 -composite \
  -fill white -font "$fonts/DejaVuSans-Bold.ttf" -pointsize 22 -gravity north -annotate +0+128 'Marvane' \
  -font "$fonts/DejaVuSans.ttf" -pointsize 14 -annotate +0+158 'Screensaver' \
  -gravity south -pointsize 9 -fill 'rgb(210,225,240)' -annotate +0+14 'Flash movies on your screen' \
  -type TrueColor BMP3:"$here/wizard.bmp"
