#!/bin/sh
# Draws the small pictures the splash tests load (tests/data/splash-*): each
# has its top half red and its bottom half blue, so a test can tell an
# upright drawing from a flipped one. Sizes differ per format so that a
# mix-up shows. Run again only to change them; the results are committed.
set -eu
out=$(cd "$(dirname "$0")/.." && pwd)/tests/data
mkdir -p "$out"

picture() {  # width, height, file
    half=$(($2 / 2))
    convert -size "$1x$half" xc:'#FF0000' -size "$1x$(($2 - half))" xc:'#0000FF' -append \
        -strip "$3"
}

picture 6 4 "BMP3:$out/splash-6x4.bmp"
picture 5 4 "$out/splash-5x4.gif"
picture 16 8 "$out/splash-16x8.jpg"

# A splash picture that looks like one, for the screenshot of the splash
# window (build/screenshots/splash-window-96.png and -192.png): a title, a rule and a line of
# small text on a blue gradient, framed by a darker line.
convert -size 318x198 gradient:'#2f6fd0'-'#0b2f6b' \
    -font DejaVu-Sans-Bold -pointsize 28 -fill white -annotate +24+78 'Demo Editor' \
    -fill '#ffc83d' -draw 'rectangle 24,94 294,97' \
    -font DejaVu-Sans -pointsize 13 -fill '#dce6ff' -annotate +24+122 'Version 2.4   Starting up...' \
    -bordercolor '#06204d' -border 1 -strip -quality 92 "$out/splash-320x200.jpg"
