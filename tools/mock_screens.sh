#!/bin/sh
# Composes two mock screenshots from the committed pictures, exactly as the
# game places them, so a person can check that every edge lines up:
#   game.png   the console, a few settled blocks and a falling piece, the three
#              number boxes with numbers, and a preview;
#   scores.png the console with the centre page and five high-score rows.
# Numbers and names are written in DejaVu Sans at 11 pixels (black, like the
# game's text). Needs ImageMagick. Usage: tools/mock_screens.sh [out folder]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
bmp="$here/resources/bitmaps"
font="$here/resources/font/DejaVuSans.ttf"
out=${1:-/tmp/quarvelle-mock}
mkdir -p "$out"

# cell column c, row r of the field lies at 130+20c, 40+20r
cell() {
    echo "-draw \"image over $((130 + 20 * $2)),$((40 + 20 * $3)) 0,0 '$bmp/$1.bmp'\""
}

field=""
for c in 0 1 2 3 4 5 6 7 8 9; do
    field="$field $(cell BlankBlk "$c" 0)"
done
# settled rows at the bottom, one gap left in the last row
blocks="BlueBlk:0:17 BlueBlk:1:17 YellowBlk:2:17 YellowBlk:3:17 GreenBlk:4:17
        RedBlk:6:17 RedBlk:7:17 RedBlk:8:17 RedBlk:9:17 PurpleBlk:0:16
        PurpleBlk:1:16 PurpleBlk:2:16 GreenBlk:4:16 GreenBlk:5:16 BlueBlk:9:16
        YellowBlk:8:15 YellowBlk:9:15 PurpleBlk:1:15
        BlueBlk:4:6 BlueBlk:5:6 BlueBlk:5:7 BlueBlk:6:7"
cmds=""
for b in $blocks; do
    name=${b%%:*}; rest=${b#*:}; col=${rest%%:*}; row=${rest#*:}
    cmds="$cmds $(cell "$name" "$col" "$row")"
done

# text boxes: the game centres its number in the 69 by 22 box
eval convert "'$bmp/Console.bmp'" \
    -draw "\"image over 36,200 0,0 '$bmp/P5.bmp'\"" \
    -draw "\"image over 39,278 0,0 '$bmp/TextBox.bmp'\"" \
    -draw "\"image over 39,320 0,0 '$bmp/TextBox.bmp'\"" \
    -draw "\"image over 39,367 0,0 '$bmp/TextBox.bmp'\"" \
    -draw "\"image over 40,59 0,0 '$bmp/GoBD.bmp'\"" \
    "$cmds" \
    -font "'$font'" -pointsize 11 -fill black \
    -annotate +70+293 3 -annotate +60+335 1240 -annotate +60+382 5380 \
    "'$out/game.png'"

rows=""
i=0
for entry in "Ada:5380:3:27" "Grace Hopper:1240:2:14" "Linus:860:1:9" "Unknown:20:1:0" "Unknown:10:1:0"; do
    name=${entry%%:*}; rest=${entry#*:}
    score=${rest%%:*}; rest=${rest#*:}; level=${rest%%:*}; lines=${rest#*:}
    base=$((257 + 15 * i + 10))
    rows="$rows -annotate +50+$base '$name' -annotate +168+$base $score -annotate +238+$base $level -annotate +278+$base $lines"
    i=$((i + 1))
done
eval convert "'$bmp/Console.bmp'" \
    -draw "\"image over 19,39 0,0 '$bmp/Dialog.bmp'\"" \
    -font "'$font'" -pointsize 11 -fill black "$rows" \
    "'$out/scores.png'"

for page in LeftDialog RightDialog; do
    convert "$bmp/Console.bmp" -draw "image over 19,39 0,0 '$bmp/$page.bmp'" "$out/$page.png"
done
echo "wrote $out/game.png, $out/scores.png, $out/LeftDialog.png, $out/RightDialog.png"
