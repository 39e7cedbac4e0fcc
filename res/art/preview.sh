#!/bin/bash
# Writes PNG previews of the artwork for a person to look at:
#   res/art/preview.sh OUTDIR
# mainframe.png shows the frame with every button placed in its state
# (scan normal, startup hover, restore pressed); sheet.png the small pieces.
set -euo pipefail
RES=$(cd "$(dirname "$0")/.." && pwd)
OUT=${1:?usage: preview.sh OUTDIR}
mkdir -p "$OUT"
if [ -x /usr/bin/convert ]; then IM=/usr/bin/convert; else IM=convert; fi
B=$RES/bitmaps
T=$(mktemp -d); trap 'rm -rf "$T"' EXIT
pick() { # BMP WIDTH INDEX -> path of that image of the strip
    local out=$T/${1%.bmp}_$3.png
    $IM "$B/$1" -crop "${2}x+$(($2 * $3))+0" +repage "$out"
    echo "$out"
}
$IM "$B/mainframe.bmp" \
    "$(pick close.bmp 22 0)" -geometry +636+6 -composite \
    "$(pick minimize.bmp 22 0)" -geometry +607+8 -composite \
    "$(pick panel_scan.bmp 222 0)" -geometry +13+79 -composite \
    "$(pick panel_startup.bmp 177 2)" -geometry +51+158 -composite \
    "$(pick panel_ieplugins.bmp 177 0)" -geometry +51+203 -composite \
    "$(pick panel_uninstall.bmp 177 0)" -geometry +51+247 -composite \
    "$(pick panel_restore.bmp 177 1)" -geometry +51+290 -composite \
    "$(pick panel_options.bmp 177 0)" -geometry +51+334 -composite \
    "$(pick panel_about.bmp 177 0)" -geometry +51+378 -composite \
    "$(pick link_help.bmp 40 0)" -geometry +524+32 -composite \
    "$(pick link_support.bmp 68 2)" -geometry +575+32 -composite \
    "$B/list_header.bmp" -geometry +258+135 -composite \
    -fill white -draw 'rectangle 258,162 636,372' \
    "$(pick button.bmp 100 0)" -geometry +432+379 -composite \
    "$(pick button.bmp 100 3)" -geometry +537+379 -composite \
    "$OUT/mainframe.png"
for f in splash dlg_progress dlg_details dlg_fixprogress dlg_scheduler; do
    $IM "$B/$f.bmp" "$OUT/$f.png"
done
z=()
for f in button close minimize details combo_arrow link_help link_support list_header; do
    $IM "$B/$f.bmp" -filter point -resize 300% "$T/z_$f.png"; z+=("$T/z_$f.png")
done
$IM "$B"/scroll_{up,up_pressed,up_disabled,down,down_pressed,down_disabled,track,track_disabled,thumb}.bmp \
    -background '#FF00FF' -splice 2x0 +append -filter point -resize 600% "$T/z_scroll.png"
z+=("$T/z_scroll.png")
i=()
for f in "$RES"/icons/*.ico; do
    $IM "$f[0]" -background '#444444' -flatten -filter point -resize 400% "$T/i_$(basename "$f" .ico).png"
    i+=("$T/i_$(basename "$f" .ico).png")
done
$IM "${i[@]}" -background '#808080' -splice 8x0 +append "$T/icons.png"
$IM "${z[@]}" "$T/icons.png" -background '#808080' -splice 0x8 -append "$OUT/sheet.png"
echo "previews in $OUT"
