#!/bin/bash
# Generates every bitmap, icon and the wave sound of res/ from scratch:
#   res/art/make-art.sh            (or: make art)
# Needs ImageMagick 6, sox and the DejaVu fonts. The results are committed, so
# the normal build needs none of these tools.
#
# Skin: dark graphite. The main frame's work area is flat 0x444444, list panes
# are white, the accents are the status colours green RGB(0,221,0) and red
# RGB(255,32,0). Buttons that sit on a skin take their background from the
# pixels of that skin under them, so nothing shows a seam.
#
# Every BMP is written as 24-bit BMP3 (what windres and LoadImage accept
# everywhere); window corners are cut with exact magenta RGB(255,0,255) and
# no antialiased pixel touches the magenta, so regions come out clean.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
RES=$(dirname "$HERE")
BMP=$RES/bitmaps
ICO=$RES/icons
WAV=$RES/sounds
mkdir -p "$BMP" "$ICO" "$WAV"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# Prefer the distribution's binary over any wrapper earlier in PATH.
if [ -x /usr/bin/convert ]; then IM=/usr/bin/convert; else IM=convert; fi
FONTDIR=/usr/share/fonts/truetype/dejavu
SANS=$FONTDIR/DejaVuSans.ttf
BOLD=$FONTDIR/DejaVuSans-Bold.ttf
COND=$FONTDIR/DejaVuSansCondensed-Bold.ttf
for f in "$SANS" "$BOLD" "$COND"; do
    [ -f "$f" ] || { echo "missing font $f (apt-get install fonts-dejavu-core fonts-dejavu-extra)" >&2; exit 1; }
done

# Palette
MAGENTA='#FF00FF'
EDGE='#141518'        # outermost outline
CAPTOP='#3C4045'      # caption band, top
CAPBOT='#2A2D31'      # caption band, bottom
BODY='#2E3135'        # frame body around the work area
WORK='#444444'        # work area
WORKLINE='#56595D'    # work area outline
TEXT='#DDDDDD'        # light text
MUTED='#9A9FA5'       # secondary text
GREEN='#00DD00'
GREENSOFT='#2FBF3A'
RED='#FF2000'
LIGHTBODY='#ECEDEE'   # body of the light dialogs

# bmp3 IN OUT: flatten to 24-bit BMP without alpha.
bmp3() {
    $IM "$1" -background "$MAGENTA" -alpha remove -alpha off -type TrueColor "BMP3:$2"
}

# cut IN OUT RADIUS: turn everything outside a rounded rectangle into exact
# magenta. The mask is drawn without antialiasing so no pixel is near-magenta.
cutcorners() {
    local w h
    read -r w h < <($IM "$1" -format '%w %h\n' info:)
    $IM "$1" -alpha set \
        \( -size "${w}x${h}" xc:black -fill white +antialias \
           -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $3,$3" -alpha off \) \
        -compose CopyOpacity -composite \
        -background "$MAGENTA" -alpha remove -alpha off -type TrueColor "BMP3:$2"
}

# strip OUT IMG...: place images side by side as a button strip.
strip() {
    local out=$1; shift
    $IM "$@" +append -alpha off -type TrueColor "BMP3:$out"
}

# crop SRC X Y W H OUT: a piece of a rendered skin, used as button background.
crop() {
    $IM "$1" -crop "${4}x${5}+${2}+${3}" +repage "$6"
}

# ---------------------------------------------------------------- glyphs
# Small line drawings used by the panel buttons and icons, drawn into a
# transparent square of side S with stroke colour C. Coordinates scale from a
# 24-unit design grid.
glyph() { # NAME S COLOUR OUT
    local name=$1 s=$2 c=$3 out=$4 k
    k=$(awk -v s="$s" 'BEGIN{printf "%.4f", s/24}')
    # stroke widths are in grid units: the scale applies to them too
    local draw
    case $name in
    scan)   draw="stroke-width 3 fill none circle 10,10 16,10 stroke-linecap round line 14.5,14.5 21,21" ;;
    power)  draw="fill none stroke-linecap round ellipse 12,13 8,8 -55,235 line 12,3 12,12" ;;
    globe)  draw="fill none stroke-width 2 circle 12,12 21,12 stroke-width 1.6 ellipse 12,12 4,9 0,360 line 3,12 21,12" ;;
    trash)  draw="fill none stroke-linejoin round line 4,6 20,6 polyline 9,6 9,3.5 15,3.5 15,6 polyline 6,6 7,21 17,21 18,6 line 10,10 10,17 line 14,10 14,17" ;;
    restore) draw="fill none stroke-linecap round ellipse 12,12 8,8 200,500 fill $c stroke none polygon 1.5,9.5 5.5,15.5 9.5,9.5" ;;
    gear)   draw="fill none circle 12,12 15,12 stroke-width 3.2 stroke-dasharray 3.4,2.9 circle 12,12 19.5,12 stroke-dasharray none stroke-width 2.2 circle 12,12 18,12" ;;
    info)   draw="fill none circle 12,12 21,12 stroke-linecap round line 12,11 12,17 fill $c stroke none circle 12,7.3 13.4,7.3" ;;
    *) echo "unknown glyph $name" >&2; exit 1 ;;
    esac
    $IM -size "${s}x${s}" xc:none -stroke "$c" -strokewidth 2.2 \
        -draw "scale $k,$k $draw" "$out"
}

# ---------------------------------------------------------------- main frame
# 668 x 437. Caption band (drag area) 0..50; its painted band reaches 62 so
# the two link buttons at y 32..55 sit fully on it. Work area 256,95-650,402.
frame() {
    local f=$TMP/frame.png
    $IM -size 668x437 xc:"$BODY" \
        \( -size 668x62 gradient:"$CAPTOP"-"$CAPBOT" \) -geometry +0+0 -composite \
        -fill '#1D1F22' -draw 'rectangle 0,62 667,62' \
        -fill '#3A3D42' -draw 'rectangle 0,63 667,63' \
        -fill "$GREEN" -draw 'rectangle 18,60 150,61' \
        -fill "$WORK" -stroke "$WORKLINE" -strokewidth 1 \
        -draw 'roundrectangle 246.5,86.5 659.5,410.5 8,8' \
        -stroke none \
        -fill '#3B3F44' -draw 'rectangle 31,160 32,398' \
        "$f"
    # rail dots beside each small panel button
    local y
    for y in 180 225 269 312 356 400; do
        $IM "$f" -fill '#2E3135' -stroke '#60656B' -strokewidth 1.5 \
            -draw "circle 31.5,$y 31.5,$((y + 4))" "$f"
    done
    # the work area must stay flat 0x444444 where the work area window is
    $IM "$f" -fill "$WORK" -draw 'rectangle 256,95 649,401' "$f"
    # title: logo mark, name, tag line
    glyph scan 22 "$GREEN" "$TMP/logo.png"
    $IM "$f" \
        -fill '#23262A' -stroke '#4A4E54' -strokewidth 1 -draw 'roundrectangle 16.5,14.5 49.5,47.5 7,7' \
        -stroke none "$TMP/logo.png" -geometry +22+20 -composite \
        -font "$BOLD" -pointsize 22 -fill '#F4F4F4' -annotate +62+39 'Varnholt' \
        -font "$SANS" -pointsize 11 -fill "$MUTED" -annotate +182+38 'Registry Cleaner' \
        -font "$SANS" -pointsize 10 -fill '#7C8187' -gravity SouthEast -annotate +18+9 'Scan  ·  Fix  ·  Restore' \
        -gravity NorthWest \
        "$f"
    # outline and a light top edge, then the magenta corners
    $IM "$f" -fill none -stroke '#4B4F55' -strokewidth 1 -draw 'line 10,1 657,1' \
        -stroke "$EDGE" -draw 'roundrectangle 0.5,0.5 667.5,436.5 11,11' "$f"
    cp "$f" "$TMP/frame_full.png"
    cutcorners "$f" "$BMP/mainframe.bmp" 11
}

# ---------------------------------------------------------------- buttons
# Close and minimise: 3 images of 22x21 (normal, pressed, hover), background
# taken from the frame under them (close at 636,6; minimise at 607,8).
titlebuttons() {
    local name x y mark
    for name in close minimize; do
        if [ $name = close ]; then x=636; y=6; mark='line 7.5,7 14.5,14 line 14.5,7 7.5,14'
        else x=607; y=8; mark='line 7,13.5 15,13.5'; fi
        crop "$TMP/frame_full.png" $x $y 22 21 "$TMP/tb_bg.png"
        local hov pre
        if [ $name = close ]; then hov=$RED; pre='#B81800'; else hov='#5A5F66'; pre='#25282B'; fi
        $IM "$TMP/tb_bg.png" -fill '#33363B' -stroke '#4C5056' -draw 'roundrectangle 0.5,0.5 21.5,20.5 5,5' \
            -stroke "$TEXT" -strokewidth 1.8 -fill none -draw "stroke-linecap round $mark" "$TMP/tb_n.png"
        $IM "$TMP/tb_bg.png" -fill "$pre" -stroke "$pre" -draw 'roundrectangle 0.5,0.5 21.5,20.5 5,5' \
            -stroke '#FFFFFF' -strokewidth 1.8 -fill none -draw "stroke-linecap round translate 0.5,0.5 $mark" "$TMP/tb_p.png"
        $IM "$TMP/tb_bg.png" -fill "$hov" -stroke "$hov" -draw 'roundrectangle 0.5,0.5 21.5,20.5 5,5' \
            -stroke '#FFFFFF' -strokewidth 1.8 -fill none -draw "stroke-linecap round $mark" "$TMP/tb_h.png"
        strip "$BMP/$name.bmp" "$TMP/tb_n.png" "$TMP/tb_p.png" "$TMP/tb_h.png"
    done
}

# panelbutton OUT X Y W H GLYPH TITLE SUBTITLE
panelbutton() {
    local out=$1 x=$2 y=$3 w=$4 h=$5 g=$6 title=$7 sub=$8
    local big=0 gs tsz ssz gx gy tx ty sy r
    [ "$w" -gt 200 ] && big=1
    if [ $big = 1 ]; then gs=40; tsz=17; ssz=10; r=9; else gs=22; tsz=12.5; ssz=9; r=7; fi
    gx=$(( big ? 14 : 10 )); gy=$(( (h - gs) / 2 ))
    tx=$(( big ? 68 : 42 ))
    ty=$(( big ? 36 : 21 )); sy=$(( big ? 54 : 35 ))
    crop "$TMP/frame_full.png" "$x" "$y" "$w" "$h" "$TMP/pb_bg.png"
    local state fill1 fill2 line gcol tcol scol dx bar
    for state in n p h; do
        case $state in
        n) fill1='#3B3F44'; fill2='#32353A'; line='#4A4E54'; gcol=$MUTED;  tcol=$TEXT;     scol='#8E939A'; dx=0; bar=none ;;
        p) fill1='#25282C'; fill2='#2A2D31'; line=$GREENSOFT; gcol=$GREEN; tcol='#FFFFFF'; scol='#A8ADB3'; dx=1; bar=$GREEN ;;
        h) fill1='#4A4F55'; fill2='#3E4247'; line=$GREENSOFT; gcol=$GREEN; tcol='#FFFFFF'; scol='#B4B9BF'; dx=0; bar=none ;;
        esac
        if [ $big = 1 ] && [ $state = n ]; then gcol=$GREEN; fi
        glyph "$g" "$gs" "$gcol" "$TMP/pb_g.png"
        $IM -size "${w}x${h}" gradient:"$fill1"-"$fill2" "$TMP/pb_fill.png"
        # rounded body: gradient masked by a rounded rectangle over the background
        $IM "$TMP/pb_bg.png" \
            \( "$TMP/pb_fill.png" \( -size "${w}x${h}" xc:black -fill white \
                -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r" \) \
               -alpha off -compose CopyOpacity -composite \) \
            -compose Over -composite \
            -fill none -stroke "$line" -strokewidth 1 \
            -draw "roundrectangle 0.5,0.5 $((w - 1)).5,$((h - 1)).5 $r,$r" \
            "$TMP/pb_s.png"
        if [ "$bar" != none ]; then
            $IM "$TMP/pb_s.png" -fill "$bar" -stroke none \
                -draw "roundrectangle 3,$((h / 2 - h / 4)) 5,$((h / 2 + h / 4)) 1,1" "$TMP/pb_s.png"
        fi
        $IM "$TMP/pb_s.png" "$TMP/pb_g.png" -geometry "+$((gx + dx))+$((gy + dx))" -composite \
            -stroke none -font "$BOLD" -pointsize "$tsz" -fill "$tcol" -annotate "+$((tx + dx))+$((ty + dx))" "$title" \
            -font "$SANS" -pointsize "$ssz" -fill "$scol" -annotate "+$((tx + dx))+$((sy + dx))" "$sub" \
            "$TMP/pb_$state.png"
    done
    strip "$out" "$TMP/pb_n.png" "$TMP/pb_p.png" "$TMP/pb_h.png"
}

panelbuttons() {
    panelbutton "$BMP/panel_scan.bmp"      13 79  222 74 scan    'Scan Registry'     'Find and fix registry errors'
    panelbutton "$BMP/panel_startup.bmp"   51 158 177 44 power   'Startup Manager'   'Programs run at log-on'
    panelbutton "$BMP/panel_ieplugins.bmp" 51 203 177 44 globe   'IE Plug-ins'       'Browser add-ons'
    panelbutton "$BMP/panel_uninstall.bmp" 51 247 177 44 trash   'Uninstall Manager' 'Installed software'
    panelbutton "$BMP/panel_restore.bmp"   51 290 177 44 restore 'Restore'           'Undo registry fixes'
    panelbutton "$BMP/panel_options.bmp"   51 334 177 44 gear    'Options'           'Program settings'
    panelbutton "$BMP/panel_about.bmp"     51 378 177 44 info    'About'             'Version and credits'
}

# Text links at the top right: Help 40x22 at 524,32; Support 68x23 at 575,32.
linkbutton() { # OUT X Y W H TEXT
    local out=$1 x=$2 y=$3 w=$4 h=$5 t=$6 state col ul
    crop "$TMP/frame_full.png" "$x" "$y" "$w" "$h" "$TMP/lk_bg.png"
    for state in n p h; do
        case $state in
        n) col=$MUTED; ul=none ;;
        p) col=$GREEN; ul=$GREEN ;;
        h) col='#FFFFFF'; ul=$GREENSOFT ;;
        esac
        $IM "$TMP/lk_bg.png" -font "$SANS" -pointsize 11.5 -fill "$col" -gravity Center -annotate +0-1 "$t" \
            -gravity NorthWest "$TMP/lk_$state.png"
        if [ "$ul" != none ]; then
            $IM "$TMP/lk_$state.png" -fill "$ul" -draw "rectangle 4,$((h - 4)) $((w - 5)),$((h - 3))" "$TMP/lk_$state.png"
        fi
    done
    strip "$out" "$TMP/lk_n.png" "$TMP/lk_p.png" "$TMP/lk_h.png"
}

# The standard 100x24 button: light faces so the button's default black text
# reads, on the 0x444444 the panels and dialog footers share.
stdbutton() {
    local state top bot line out=()
    for state in n p h d; do
        case $state in
        n) top='#F3F4F5'; bot='#CDD0D4'; line='#2A2C2F' ;;
        p) top='#BFC3C8'; bot='#D5D8DB'; line='#1A8F22' ;;
        h) top='#FFFFFF'; bot='#DDE0E3'; line='#1FAE2A' ;;
        d) top='#A9ACB0'; bot='#A2A5A9'; line='#3A3C3F' ;;
        esac
        $IM -size 100x24 xc:"$WORK" \
            \( -size 100x24 gradient:"$top"-"$bot" \( -size 100x24 xc:black -fill white \
                -draw 'roundrectangle 0,0 99,23 4,4' \) -alpha off -compose CopyOpacity -composite \) \
            -compose Over -composite \
            -fill none -stroke "$line" -strokewidth 1 -draw 'roundrectangle 0.5,0.5 98.5,22.5 4,4' \
            "$TMP/sb_$state.png"
        if [ $state = h ]; then
            $IM "$TMP/sb_h.png" -fill "$GREEN" -stroke none -draw 'rectangle 6,20 93,20' "$TMP/sb_h.png"
        fi
        out+=("$TMP/sb_$state.png")
    done
    strip "$BMP/button.bmp" "${out[@]}"
}

# Details button of the scan list rows: 13x13 on the white list, 3 images.
detailsbutton() {
    local state fill mark out=()
    for state in n p h; do
        case $state in n) fill='#55595F' ;; p) fill='#2C2F33' ;; h) fill='#1FAE2A' ;; esac
        $IM -size 13x13 xc:white -fill "$fill" -draw 'roundrectangle 0,0 12,12 3,3' \
            -fill white -draw 'rectangle 3,6 9,6 rectangle 6,3 6,9' "$TMP/db_$state.png"
        out+=("$TMP/db_$state.png")
    done
    strip "$BMP/details.bmp" "${out[@]}"
}

# Arrow button of the skinned combo box: 19x20, on the box's white inside.
comboarrow() {
    local state fill chev out=()
    for state in n p h; do
        case $state in
        n) fill='#E4E6E8'; chev='#55595F' ;;
        p) fill='#BFC3C8'; chev='#222222' ;;
        h) fill='#EEF0F2'; chev='#1A9F24' ;;
        esac
        $IM -size 19x20 xc:white -fill "$fill" -draw 'roundrectangle 1,1 18,18 3,3' \
            -fill none -stroke "$chev" -strokewidth 1.8 -draw 'stroke-linejoin round polyline 5.5,8 9.5,12 13.5,8' \
            "$TMP/ca_$state.png"
        out+=("$TMP/ca_$state.png")
    done
    strip "$BMP/combo_arrow.bmp" "${out[@]}"
}

# Scan list header 379x27, above the white list. The list rows start one
# pixel further right than the header; their labels begin 23 pixels in, the
# status column 218 pixels later and the divider is 235 pixels in.
listheader() {
    $IM -size 379x27 gradient:'#55595F'-'#45484D' \
        -fill '#2A2C2F' -draw 'rectangle 0,26 378,26' \
        -fill '#6A6E74' -draw 'rectangle 0,0 378,0' \
        -fill '#3A3D41' -draw 'rectangle 236,5 236,21' \
        -font "$BOLD" -pointsize 11 -fill "$TEXT" -annotate +24+18 'Registry area' \
        -annotate +244+18 'Status' \
        -type TrueColor "BMP3:$BMP/list_header.bmp"
}

# Scroll bar: arrows 16x16 (normal, pressed, disabled), track tiles 16x16,
# thumb 16x17. Light, to sit beside white lists.
scrollbar() {
    local name bg arrow tri
    for name in up up_pressed up_disabled down down_pressed down_disabled; do
        case $name in
        *pressed)  bg='#BFC3C8'; arrow='#222222' ;;
        *disabled) bg='#EDEEEF'; arrow='#BDBFC2' ;;
        *)         bg='#DCDFE2'; arrow='#55595F' ;;
        esac
        case $name in up*) tri='polygon 8,5 12,10 4,10' ;; *) tri='polygon 4,6 12,6 8,11' ;; esac
        $IM -size 16x16 xc:'#F2F3F4' -fill "$bg" -draw 'roundrectangle 1,1 14,14 3,3' \
            -fill "$arrow" -draw "$tri" -type TrueColor "BMP3:$BMP/scroll_$name.bmp"
    done
    $IM -size 16x16 xc:'#F2F3F4' -fill '#E2E4E6' -draw 'rectangle 7,0 8,15' \
        -type TrueColor "BMP3:$BMP/scroll_track.bmp"
    $IM -size 16x16 xc:'#F7F7F8' -type TrueColor "BMP3:$BMP/scroll_track_disabled.bmp"
    $IM -size 16x17 xc:'#F2F3F4' -fill '#8E939A' -stroke '#767B82' -draw 'roundrectangle 3.5,1.5 12.5,15.5 3,3' \
        -stroke '#B4B8BD' -draw 'line 6,7 10,7 line 6,9 10,9' -type TrueColor "BMP3:$BMP/scroll_thumb.bmp"
}

# ---------------------------------------------------------------- windows
# dialog OUT W H TITLE BODY FOOTER: caption band 0..38 (drag band 5..33),
# body colour, optional dark footer of FOOTER pixels for skinned buttons.
dialog() {
    local out=$1 w=$2 h=$3 title=$4 body=$5 footer=$6 f=$TMP/dlg.png
    $IM -size "${w}x${h}" xc:"$body" \
        \( -size "${w}x38" gradient:"$CAPTOP"-"$CAPBOT" \) -geometry +0+0 -composite \
        -fill '#1D1F22' -draw "rectangle 0,38 $((w - 1)),38" \
        -fill "$GREEN" -draw "rectangle 14,36 $((14 + w / 5)),37" \
        "$f"
    if [ "$footer" -gt 0 ]; then
        $IM "$f" -fill "$WORK" -draw "rectangle 0,$((h - footer)) $((w - 1)),$((h - 1))" \
            -fill '#2A2C2F' -draw "rectangle 0,$((h - footer)) $((w - 1)),$((h - footer))" "$f"
    fi
    glyph scan 16 "$GREEN" "$TMP/dlg_logo.png"
    $IM "$f" "$TMP/dlg_logo.png" -geometry +14+11 -composite \
        -font "$BOLD" -pointsize 13 -fill '#F4F4F4' -annotate +38+24 "$title" \
        -fill none -stroke '#4B4F55' -strokewidth 1 -draw "line 8,1 $((w - 9)),1" \
        -stroke "$EDGE" -draw "roundrectangle 0.5,0.5 $((w - 1)).5,$((h - 1)).5 8,8" "$f"
    cutcorners "$f" "$out" 8
}

dialogs() {
    # Scan progress, 295x268: dark body with light text and recessed fields.
    local f=$TMP/prog.png
    dialog "$TMP/prog.bmp" 295 268 'Scanning registry' "$WORK" 0
    glyph scan 44 '#555555' "$TMP/prog_g.png"
    $IM "$TMP/prog.bmp" "$TMP/prog_g.png" -geometry +242+148 -composite \
        -fill '#3A3A3A' -stroke '#505050' -strokewidth 1 \
        -draw 'roundrectangle 12.5,50.5 281.5,75.5 4,4' \
        -draw 'roundrectangle 12.5,86.5 281.5,111.5 4,4' \
        -draw 'roundrectangle 155.5,128.5 238.5,154.5 4,4' \
        -draw 'roundrectangle 155.5,156.5 238.5,182.5 4,4' \
        -draw 'roundrectangle 155.5,184.5 238.5,210.5 4,4' \
        -stroke none -font "$SANS" -pointsize 11 -fill "$TEXT" \
        -annotate +18+146 'Keys scanned:' -annotate +18+174 'Entries checked:' -annotate +18+202 'Errors found:' \
        -fill '#2A2C2F' -draw 'rectangle 12,222 282,222' \
        "$f"
    cutcorners "$f" "$BMP/dlg_progress.bmp" 8

    # Details, 620x317: light body for the black label, white list, dark
    # footer for the three skinned buttons.
    dialog "$BMP/dlg_details.bmp" 620 317 'Registry errors' "$LIGHTBODY" 50
    # Fix progress, 320x140.
    dialog "$BMP/dlg_fixprogress.bmp" 320 140 'Fixing registry errors' "$LIGHTBODY" 0
    # Scheduler, 360x200.
    dialog "$BMP/dlg_scheduler.bmp" 360 200 'Scheduled scan' "$LIGHTBODY" 0
}

splash() {
    local f=$TMP/splash.png
    glyph scan 96 "$GREEN" "$TMP/splash_logo.png"
    $IM -size 620x226 gradient:'#3A3E43'-'#222427' \
        -fill '#1E2023' -stroke '#4A4E54' -strokewidth 1.5 -draw 'roundrectangle 34.5,47.5 165.5,178.5 22,22' \
        -stroke none "$TMP/splash_logo.png" -geometry +52+63 -composite \
        -font "$BOLD" -pointsize 54 -fill '#F4F4F4' -annotate +196+112 'Varnholt' \
        -fill "$GREEN" -draw 'rectangle 199,128 449,130' \
        -font "$SANS" -pointsize 18 -fill "$TEXT" -annotate +198+160 'Registry Cleaner' \
        -font "$SANS" -pointsize 12 -fill "$MUTED" -annotate +198+184 'Version 1.37' \
        -font "$SANS" -pointsize 10 -fill '#7C8187' -gravity SouthEast -annotate +22+14 'Loading...' \
        -gravity NorthWest \
        -fill none -stroke '#555A60' -strokewidth 1 -draw 'line 14,1 605,1' \
        -stroke "$EDGE" -draw 'roundrectangle 0.5,0.5 619.5,225.5 14,14' \
        "$f"
    cutcorners "$f" "$BMP/splash.bmp" 14
}

# ---------------------------------------------------------------- icons
# icon OUT SIZE... : draws each size with the function icon_<name> and packs
# them into one .ico (BMP-coded entries with alpha).
mkicon() { # NAME SIZES...
    local name=$1; shift
    local files=() s
    for s in "$@"; do
        "icon_$name" "$s" "$TMP/ic_${name}_$s.png"
        files+=("$TMP/ic_${name}_$s.png")
    done
    $IM "${files[@]}" "$ICO/$name.ico"
}

icon_app() { # graphite rounded square with the green lens
    local s=$1 out=$2 r g
    r=$(( s / 5 )); g=$(( s * 3 / 4 ))
    glyph scan "$g" "$GREEN" "$TMP/ia_g.png"
    $IM -size "${s}x${s}" xc:none -fill '#2B2E32' -stroke '#5A5F66' -strokewidth 1 \
        -draw "roundrectangle 0.5,0.5 $((s - 1)).5,$((s - 1)).5 $r,$r" \
        "$TMP/ia_g.png" -gravity Center -composite "$out"
}
icon_ticked() {
    $IM -size 16x16 xc:none -fill '#1FAE2A' -stroke '#168A1F' -strokewidth 1 -draw 'roundrectangle 1.5,1.5 14.5,14.5 3,3' \
        -fill none -stroke white -strokewidth 2 -draw 'stroke-linejoin round stroke-linecap round polyline 4.5,8.5 7,11 11.5,5.5' "$2"
}
icon_unticked() {
    $IM -size 16x16 xc:none -fill white -stroke '#8E939A' -strokewidth 1 -draw 'roundrectangle 1.5,1.5 14.5,14.5 3,3' "$2"
}
icon_ieplugin() { # a globe
    glyph globe 16 '#3D7FD0' "$TMP/ii_g.png"
    $IM "$TMP/ii_g.png" "$2"
}
icon_startup() { # green play mark in a disc
    $IM -size 16x16 xc:none -fill "$GREENSOFT" -draw 'circle 8,8 8,1' \
        -fill white -draw 'polygon 6,4.5 12,8 6,11.5' "$2"
}
icon_uninstall() { # box with a red minus badge
    $IM -size 16x16 xc:none -fill '#D8B27A' -stroke '#8A6A3A' -strokewidth 1 -draw 'rectangle 1.5,4.5 11.5,13.5' \
        -draw 'line 1.5,7.5 11.5,7.5' \
        -stroke none -fill "$RED" -draw 'circle 11.5,4.5 11.5,0.5' -fill white -draw 'rectangle 9,4 14,5' "$2"
}
icon_session() { # clock face
    $IM -size 16x16 xc:none -fill white -stroke '#55595F' -strokewidth 1.4 -draw 'circle 8,8 8,1.5' \
        -fill none -stroke "$GREENSOFT" -strokewidth 1.5 -draw 'stroke-linecap round polyline 8,4 8,8 11,10' "$2"
}
icon_backupitem() { # registry cube
    $IM -size 16x16 xc:none -stroke '#3D4A5A' -strokewidth 1 \
        -fill '#5B8BD0' -draw 'polygon 8,1.5 14.5,4.5 8,7.5 1.5,4.5' \
        -fill '#3A6BB0' -draw 'polygon 1.5,4.5 8,7.5 8,14.5 1.5,11.5' \
        -fill '#2A528C' -draw 'polygon 14.5,4.5 8,7.5 8,14.5 14.5,11.5' "$2"
}

icons() {
    mkicon app 32 16
    mkicon ticked 16
    mkicon unticked 16
    mkicon ieplugin 16
    mkicon startup 16
    mkicon uninstall 16
    mkicon session 16
    mkicon backupitem 16
}

# ---------------------------------------------------------------- sound
# A soft two-note chime (E5 then A5) with a gentle decay, 0.6 s, 22 kHz mono
# 16-bit PCM: small, and PlaySound plays it everywhere.
sound() {
    sox -D -n -r 22050 -c 1 -b 16 "$TMP/n1.wav" synth 0.6 sine 659.25 fade q 0.004 0.6 0.5 vol 0.5
    sox -D -n -r 22050 -c 1 -b 16 "$TMP/n2.wav" synth 0.7 sine 880 fade q 0.004 0.7 0.6 vol 0.45 pad 0.14
    sox -D -n -r 22050 -c 1 -b 16 "$TMP/n3.wav" synth 0.7 sine 1760 fade q 0.004 0.7 0.65 vol 0.08 pad 0.14
    sox -D -m "$TMP/n1.wav" "$TMP/n2.wav" "$TMP/n3.wav" -r 22050 -c 1 -b 16 "$WAV/scan_done.wav" gain -n -4 fade q 0 0.84 0.2
}

frame
titlebuttons
panelbuttons
linkbutton "$BMP/link_help.bmp"    524 32 40 22 'Help'
linkbutton "$BMP/link_support.bmp" 575 32 68 23 'Support'
stdbutton
detailsbutton
comboarrow
listheader
scrollbar
dialogs
splash
icons
sound
echo "artwork written to $BMP, $ICO and $WAV"
