#!/bin/sh
# Draws the program's built-in pictures into resources/pictures/<TYPE>/.
# Needs ImageMagick 6 (convert) with the URW base fonts; run it on a
# developer machine and commit the results (the build only embeds them).
#   scripts/make-pictures.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/resources/pictures
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out/JPG" "$out/GIF" "$out/PNG_IMAGES"

# A disc seen from the front: rainbow sheen, silver rings, the centre hole.
# disc SIZE FILE [tint]
disc() {
    s=$1; r=$((s / 2)); c=$((s / 2))
    convert -size "${s}x${s}" radial-gradient:"${3:-#dfe7f5}"-'#8f9bb3' \
        \( -size "${s}x${s}" xc:none -fill none -stroke '#ffffff40' -strokewidth 1 \
           -draw "circle $c,$c $c,$((c - r * 9 / 10))" -draw "circle $c,$c $c,$((c - r * 7 / 10))" \
           -draw "circle $c,$c $c,$((c - r * 5 / 10))" \) -composite \
        \( -size "${s}x${s}" xc:none -fill '#ff66cc30' -draw "polygon $c,$c $s,$((c / 3)) $s,$((c * 2 / 3))" \
           -fill '#66ccff30' -draw "polygon $c,$c 0,$((s - c / 3)) 0,$((s - c * 2 / 3))" \
           -fill '#ffee6630' -draw "polygon $c,$c $((c / 3)),0 $((c * 2 / 3)),0" \) -composite \
        \( -size "${s}x${s}" xc:black -fill white -draw "circle $c,$c $c,1" \
           -fill black -draw "circle $c,$c $c,$((c - r / 8))" \) -alpha off -compose copy_opacity -composite \
        -compose over \
        \( -size "${s}x${s}" xc:none -fill none -stroke '#c8d0dc' -strokewidth 2 \
           -draw "circle $c,$c $c,$((c - r / 5))" -stroke '#606a7a' -strokewidth 1 \
           -draw "circle $c,$c $c,$((c - r / 8 - 1))" \) -composite \
        "$2"
}

# A picture whose border fades into the window colour, so that no edge shows
# where it meets the background: fade_edges IN COLOUR OUT [convert options]
fade_edges() {
    in=$1; colour=$2; target=$3; shift 3
    w=$(identify -format %w "$in"); h=$(identify -format %h "$in")
    convert -size "${w}x${h}" xc:black -fill white \
        -draw "roundrectangle 24,24 $((w - 25)),$((h - 25)) 50,50" -blur 0x16 "$tmp/fade.png"
    convert -size "${w}x${h}" xc:"$colour" "$in" "$tmp/fade.png" -composite "$@" "$target"
}

# --- splash screen: 480 x 300, name and version -------------------------------
disc 230 "$tmp/disc.png"
convert -size 480x300 gradient:'#24365e'-'#0a0f1e' \
    "$tmp/disc.png" -geometry +20+35 -composite \
    -fill '#ffffff18' -draw 'rectangle 255,0 480,300' \
    -font Helvetica-Bold -pointsize 44 -fill '#000000' -annotate +276+142 'Korvane' \
    -fill '#ffffff' -annotate +274+140 'Korvane' \
    -font Helvetica -pointsize 22 -fill '#a9bde6' -annotate +277+176 'Version 1.23' \
    -fill '#6f86b8' -draw 'rectangle 277,192 460,194' \
    -font Helvetica -pointsize 14 -fill '#cfd8ea' -annotate +277+222 'Disc covers, printed to size.' \
    -quality 88 "$out/JPG/IDJ_SPLASHSCREEN.jpg"

# --- skin main pictures: drawn on the 3C3C3C window background ------------------
# Default skin: a disc rising over pink and violet light, 280 x 320.
disc 200 "$tmp/disc2.png" '#f5e1f0'
convert -size 280x320 xc:'#3c3c3c' \
    \( -size 280x320 radial-gradient:'#b0488f'-'#3c3c3c' -evaluate multiply 0.9 \) -compose screen -composite \
    -compose over -fill none -stroke '#ff9bd680' -strokewidth 3 \
    -draw 'bezier 0,250 80,180 180,330 280,230' -stroke '#c79bff80' -strokewidth 2 \
    -draw 'bezier 0,280 90,220 170,340 280,270' \
    "$tmp/disc2.png" -geometry +40+50 -composite \
    -fill '#ffffffc0' -stroke none -draw 'circle 232,58 232,55' -draw 'circle 40,40 40,38' \
    -draw 'circle 250,200 250,198' -draw 'circle 20,180 20,179' \
    "$tmp/main0.png"
fade_edges "$tmp/main0.png" '#3c3c3c' "$out/JPG/IDJ_ANIME_GIRL.jpg" -quality 90

# Alternative skin: cooler colours, a stack of two discs, 280 x 300.
disc 170 "$tmp/disc3.png" '#def3f5'
convert -size 280x300 xc:'#3c3c3c' \
    \( -size 280x300 radial-gradient:'#2f8fa3'-'#3c3c3c' \) -compose screen -composite \
    -compose over "$tmp/disc3.png" -geometry +20+30 -composite \
    "$tmp/disc3.png" -geometry +95+110 -composite \
    -fill none -stroke '#9be8ff90' -strokewidth 2 -draw 'bezier 0,40 100,0 180,80 280,20' \
    "$tmp/main1.png"
fade_edges "$tmp/main1.png" '#3c3c3c' "$out/JPG/IDJ_ANOTHER_ANIME_GIRL.jpg" -quality 90

# Placeholder inside the paper previews: grey discs ("wheels"), 160 x 160.
# The bottom rows stay white: the paper writes its words there in the
# current language.
disc 80 "$tmp/wheel.png" '#f0f0f0'
convert -size 160x160 xc:white \
    \( "$tmp/wheel.png" -colorspace gray \) -geometry +14+4 -composite \
    \( "$tmp/wheel.png" -colorspace gray \) -geometry +66+52 -composite \
    -quality 85 "$out/JPG/IDJ_WHEELS.jpg"

# Sample DVD cover, 183 x 273 mm portrait at 2 pixels per millimetre.
disc 250 "$tmp/disc4.png" '#fff1d6'
convert -size 366x546 gradient:'#1b1f3a'-'#7a2e3a' \
    -fill '#ffffff10' -draw 'polygon 0,546 366,200 366,546' \
    "$tmp/disc4.png" -geometry +58+150 -composite \
    -font Helvetica-Bold -pointsize 44 -fill white -gravity north -annotate +0+40 'SAMPLE' \
    -font Helvetica -pointsize 20 -fill '#f3d9a4' -annotate +0+96 'a Korvane cover' \
    -font Helvetica -pointsize 14 -fill '#d8d8e8' -gravity south -annotate +0+30 'DVD  183 x 273 mm' \
    -quality 85 "$out/JPG/IDJ_SAMPLE_DVD_COVER.jpg"

# --- overlays: small, flat top-left colour (the paper makes it transparent) ------
# Left overlay of the Default skin: a red "NEW" badge, 44 x 44.
convert -size 44x44 xc:'#ff00ff' -fill '#d62839' -stroke '#7a0d18' -strokewidth 1 \
    -draw 'circle 22,22 22,3' -fill white -stroke none -font Helvetica-Bold -pointsize 13 \
    -gravity center -annotate +0+1 'NEW' +dither -colors 16 \
    -fill '#ff00ff' -draw 'color 0,0 replace' "$out/GIF/IDG_LEFTOVERLAY.gif"
# Left overlay of the Alternative skin: a gold star, 40 x 40.
convert -size 40x40 xc:'#00ff00' -fill '#f2c230' -stroke '#8a6508' -strokewidth 1 \
    -draw 'polygon 20,2 25,15 39,15 28,24 32,38 20,29 8,38 12,24 1,15 15,15' +dither -colors 8 \
    "$out/GIF/IDG_ANOTHER_LEFTOVERLAY.gif"
# Small program logo and a background tile.
convert -size 64x64 xc:'#ff00ff' "$tmp/disc.png" -resize 64x64 -composite +dither -colors 64 \
    "$out/GIF/IDG_GENESIS.gif"
convert -size 32x32 xc:'#3c3c3c' -fill '#444444' -draw 'rectangle 0,0 15,15' -draw 'rectangle 16,16 31,31' \
    +dither -colors 4 "$out/GIF/IDG_TILE.gif"

# --- PNG pictures with transparency ---------------------------------------------
# Options dialog: a disc with a gear, 128 x 128.
disc 100 "$tmp/disc5.png"
convert -size 128x128 xc:none "$tmp/disc5.png" -geometry +4+4 -composite \
    -fill '#5a6478' -stroke '#2e3440' -strokewidth 2 -draw 'circle 96,96 96,72' \
    -fill none -stroke '#5a6478' -strokewidth 8 \
    -draw 'line 96,66 96,126' -draw 'line 66,96 126,96' -draw 'line 75,75 117,117' -draw 'line 75,117 117,75' \
    -fill '#d8dee9' -stroke '#2e3440' -strokewidth 2 -draw 'circle 96,96 96,86' \
    -depth 8 "PNG32:$out/PNG_IMAGES/IDP_OPTIONS.png"
# Clean skin and about box: photos and a film strip, 220 x 190.
convert -size 220x190 xc:none \
    -fill '#00000030' -draw 'roundrectangle 26,36 176,146 6,6' \
    -fill white -stroke '#9aa5b1' -draw 'roundrectangle 20,30 170,140 4,4' \
    -fill '#7fb3e6' -stroke none -draw 'rectangle 30,40 160,115' \
    -fill '#4f8a3a' -draw 'polygon 30,115 80,70 115,100 135,85 160,115' \
    -fill '#f6d55c' -draw 'circle 135,58 135,48' \
    -fill '#2b2b2b' -draw 'roundrectangle 90,110 214,184 4,4' \
    -fill '#dddddd' -draw 'rectangle 96,114 102,120' -draw 'rectangle 110,114 116,120' \
    -draw 'rectangle 124,114 130,120' -draw 'rectangle 138,114 144,120' -draw 'rectangle 152,114 158,120' \
    -draw 'rectangle 166,114 172,120' -draw 'rectangle 180,114 186,120' -draw 'rectangle 194,114 200,120' \
    -draw 'rectangle 96,174 102,180' -draw 'rectangle 110,174 116,180' -draw 'rectangle 124,174 130,180' \
    -draw 'rectangle 138,174 144,180' -draw 'rectangle 152,174 158,180' -draw 'rectangle 166,174 172,180' \
    -draw 'rectangle 180,174 186,180' -draw 'rectangle 194,174 200,180' \
    -fill '#e85d4a' -draw 'polygon 140,134 140,160 162,147' \
    -depth 8 "PNG32:$out/PNG_IMAGES/IDP_PHOTOSVIDEOS.png"

# --- the skin folders shipped beside the program (resources/skins/) ---------------
skins=$root/resources/skins
mkdir -p "$skins/Ocean" "$skins/Ember"
# Ocean: a blue disc over waves on 1E3A5F, a drop on the left paper, a disc
# outline in empty papers.
convert -size 240x290 xc:'#1E3A5F' \
    -fill '#2E6A9A' -draw 'circle 120,120 120,30' -fill '#3F86BD' -draw 'circle 120,120 120,50' \
    -fill none -stroke '#9FD3F5' -strokewidth 1 -draw 'circle 120,120 120,70' -draw 'circle 120,120 120,90' \
    -fill '#DDF1FF' -stroke none -draw 'circle 120,120 120,108' -fill '#1E3A5F' -draw 'circle 120,120 120,114' \
    -fill none -stroke '#7FC4EE' -strokewidth 3 -draw "path 'M 0,230 C 40,210 80,250 120,230 S 200,210 240,230'" \
    -stroke '#5AA6D8' -strokewidth 2 -draw "path 'M 0,252 C 40,232 80,272 120,252 S 200,232 240,252'" \
    "$tmp/ocean.png"
fade_edges "$tmp/ocean.png" '#1E3A5F' "$skins/Ocean/main.png"
convert -size 36x36 xc:'#FF00FF' -fill '#1E6FB5' -stroke '#0B3A66' -strokewidth 2 \
    -draw "path 'M 18,3 C 24,14 31,20 31,25 A 13,10 0 0 1 5,25 C 5,20 12,14 18,3 Z'" \
    -fill '#BFE6FF' -stroke none -draw 'ellipse 12,24 3,5 0,360' +antialias -colors 16 "$skins/Ocean/left.gif"
convert -size 150x150 xc:white -fill none -stroke '#3F86BD' -strokewidth 3 -draw 'circle 75,75 75,15' \
    -strokewidth 1 -stroke '#9FD3F5' -draw 'circle 75,75 75,30' -draw 'circle 75,75 75,45' \
    -fill '#3F86BD' -stroke none -draw 'circle 75,75 75,67' -fill white -draw 'circle 75,75 75,71' \
    -colors 32 "$skins/Ocean/background.png"
# Ember: a low sun on 3B2418, a sun on the left paper and a star on the right one.
convert -size 240x290 xc:'#3B2418' \
    -fill '#7A3A1C' -draw 'circle 120,140 120,40' -fill '#C2571F' -draw 'circle 120,140 120,62' \
    -fill '#F08A2C' -draw 'circle 120,140 120,84' -fill '#FFC76B' -draw 'circle 120,140 120,104' \
    -fill '#3B2418' -draw 'rectangle 0,170 240,290' \
    -stroke '#F08A2C' -strokewidth 2 -draw 'line 30,182 210,182' -strokewidth 1 -draw 'line 55,196 185,196' \
    -draw 'line 80,208 160,208' "$tmp/ember.png"
fade_edges "$tmp/ember.png" '#3B2418' "$skins/Ember/main.jpg" -quality 90
convert -size 32x32 xc:'#00FF00' -fill '#F08A2C' -stroke '#7A3A1C' -strokewidth 2 -draw 'circle 16,16 16,5' \
    +antialias -colors 8 "$skins/Ember/left.gif"
convert -size 32x32 xc:'#00FF00' -fill '#FFC76B' -stroke '#7A3A1C' -strokewidth 2 \
    -draw 'polygon 16,3 20,12 30,13 22,19 25,29 16,23 7,29 10,19 2,13 12,12' +antialias -colors 8 \
    "$skins/Ember/right.gif"

ls -l "$out"/*/ "$skins"/*/
