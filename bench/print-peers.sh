#!/bin/sh
# Prints one CD front from a 4000 x 4000 JPEG (quality 90) to an A4 PDF with
# korvane-cli, with gLabels 3 (glabels-3-batch, under xvfb-run) and with
# cdlabelgen + ps2pdf, RUNS times each, and reports the medians of wall time
# and peak memory, the PDF sizes, their ratios, the cover's place on the page
# at 600 dpi and whether the cover's pixels came through unchanged. Then
# DVD sleeves that must be turned (whole JPEG blocks, not whole blocks, a
# large scan) beside cdlabelgen + ps2pdf, the same sleeve as a PNG upright
# and turned, and a batch of 100 CD fronts with korvane-cli (time per page,
# peak memory).
# CPU seconds (user + system) are reported beside wall time: on a busy
# machine they say more.
#
#   bench/print-peers.sh BUILD_DIR [RUNS] [WORK_DIR]
#
# Needs: glabels, cdlabelgen, ghostscript, imagemagick, poppler-utils, xvfb.
set -eu
BUILD=$(cd "${1:?usage: print-peers.sh BUILD_DIR [RUNS] [WORK_DIR]}" && pwd)
RUNS=${2:-5}
WORK=${3:-/tmp/korvane-print-bench}
CLI="$BUILD/bin/korvane-cli"
mkdir -p "$WORK"
cd "$WORK"

# --- the cover --------------------------------------------------------------
if [ ! -f cover.jpg ]; then
    convert -size 4000x4000 plasma:fractal -quality 90 cover.jpg
fi
[ -f cover.eps ] || convert cover.jpg eps3:cover.eps
[ -f cover.ppm ] || convert cover.jpg cover.ppm
JPEG_BYTES=$(stat -c %s cover.jpg)

# The same cover, same place for gLabels: 120 mm square at 45 mm, 28.53 mm
# (where korvane-cli puts a CD front on A4: x 1063, y 674 at 600 dpi).
cat > cover.glabels <<EOF
<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Bench" part="CD-Front" size="A4" description="CD front">
    <Meta category="label"/>
    <Label-rectangle id="0" width="120mm" height="120mm" round="0mm" x_waste="0mm" y_waste="0mm">
      <Layout nx="1" ny="1" x0="45mm" y0="28.532mm" dx="120mm" dy="120mm"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-image x="0mm" y="0mm" w="120mm" h="120mm" src="$WORK/cover.jpg" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0"/>
  </Objects>
</Glabels-document>
EOF

# --- timing -----------------------------------------------------------------
# run NAME COMMAND...: RUNS runs, "wall-seconds kilobytes cpu-seconds" per
# line in NAME.times.
run() {
    name=$1
    shift
    : > "$name.times"
    i=0
    while [ "$i" -lt "$RUNS" ]; do
        /usr/bin/time -f "%e %M %U %S" -o "$name.one" "$@" > /dev/null 2> "$name.err" || {
            echo "$name failed:" >&2
            cat "$name.err" >&2
            exit 1
        }
        awk '{print $1, $2, $3 + $4}' "$name.one" >> "$name.times"
        i=$((i + 1))
    done
}

median() {  # column of NAME.times
    cut -d' ' -f"$2" "$1.times" | sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

run korvane "$CLI" print --formats "$BUILD/bin/Korvane.dat" --left cover.jpg --left-format "CD Front" \
    --mode left --no-cut-lines --no-border --paper A4 --dpi 600 --pdf korvane.pdf
run cdlabelgen sh -c 'cdlabelgen -c Bench -e cover.eps -S 0 -o cdlabelgen.ps && ps2pdf -sPAPERSIZE=a4 cdlabelgen.ps cdlabelgen.pdf'

# gLabels is timed inside xvfb-run, so that starting the X server is not counted.
: > glabels.times
i=0
while [ "$i" -lt "$RUNS" ]; do
    xvfb-run -a /usr/bin/time -f "%e %M %U %S" -o glabels.inner glabels-3-batch -o glabels.pdf cover.glabels > /dev/null 2>&1
    awk '{print $1, $2, $3 + $4}' glabels.inner >> glabels.times
    i=$((i + 1))
done

# --- place and pixels ---------------------------------------------------------
place() {  # the non-white box of page 1 at 600 dpi: WxH+X+Y
    pdftoppm -r 600 -gray -f 1 -l 1 -singlefile "$1" "$1.page" > /dev/null
    convert "$1.page.pgm" -fuzz 1% -trim -format '%wx%h%X%Y' info:
}
pixels() {  # differing pixels between the PDF's picture and the source
    rm -f "$1.img"-*
    pdfimages -png "$1" "$1.img"
    compare -metric AE "$1.img-000.png" cover.ppm null: 2>&1 || true
}

K_T=$(median korvane 1); K_M=$(median korvane 2); K_C=$(median korvane 3)
G_T=$(median glabels 1); G_M=$(median glabels 2); G_C=$(median glabels 3)
C_T=$(median cdlabelgen 1); C_M=$(median cdlabelgen 2); C_C=$(median cdlabelgen 3)
K_S=$(stat -c %s korvane.pdf); G_S=$(stat -c %s glabels.pdf); C_S=$(stat -c %s cdlabelgen.pdf)
rm -f korvane.pdf.jpg-*
pdfimages -j korvane.pdf korvane.pdf.jpg
if cmp -s korvane.pdf.jpg-000.jpg cover.jpg; then SAME_BYTES=yes; else SAME_BYTES=no; fi

echo "cover: 4000 x 4000 JPEG q90, $JPEG_BYTES bytes; $RUNS runs each, medians"
printf '%-22s %8s %8s %10s %12s\n' tool "wall s" "cpu s" "peak MB" "PDF bytes"
printf '%-22s %8s %8s %10.1f %12s\n' korvane-cli "$K_T" "$K_C" "$(echo "$K_M / 1024" | bc -l)" "$K_S"
printf '%-22s %8s %8s %10.1f %12s\n' glabels-3-batch "$G_T" "$G_C" "$(echo "$G_M / 1024" | bc -l)" "$G_S"
printf '%-22s %8s %8s %10.1f %12s\n' "cdlabelgen + ps2pdf" "$C_T" "$C_C" "$(echo "$C_M / 1024" | bc -l)" "$C_S"
echo "ratios korvane / glabels: wall $(echo "scale=3; $K_T / $G_T" | bc), cpu $(echo "scale=3; $K_C / $G_C" | bc), memory $(echo "scale=3; $K_M / $G_M" | bc)"
echo "ratios korvane / cdlabelgen: wall $(echo "scale=3; $K_T / $C_T" | bc), cpu $(echo "scale=3; $K_C / $C_C" | bc), memory $(echo "scale=3; $K_M / $C_M" | bc)"
echo "PDF size / JPEG file: korvane $(echo "scale=4; $K_S / $JPEG_BYTES" | bc), glabels $(echo "scale=2; $G_S / $JPEG_BYTES" | bc)"
echo "cover at 600 dpi (WxH+X+Y): korvane $(place korvane.pdf), glabels $(place glabels.pdf)"
echo "korvane's PDF holds the JPEG file's bytes unchanged: $SAME_BYTES"
echo "pixels differing from the source: korvane $(pixels korvane.pdf), glabels $(pixels glabels.pdf)"

# --- turned DVD sleeves -------------------------------------------------------------
# A 4000 x 2700 landscape picture is recognised as a DVD sleeve on its side
# and turned; 4001 x 2701 is not whole JPEG blocks; a 6449 x 4323 scan the
# same. korvane-cli turns them by the page's transform; cdlabelgen makes a
# DVD sleeve of the same picture (--create-dvd-outside) beside it.
sleeve() {  # NAME WIDTH HEIGHT
    [ -f "$1.jpg" ] || convert -size "$2x$3" plasma:fractal -quality 90 "$1.jpg"
    [ -f "$1.eps" ] || convert "$1.jpg" eps3:"$1.eps"
    run "korvane-$1" "$CLI" print --formats "$BUILD/bin/Korvane.dat" --left "$1.jpg" --mode left \
        --no-cut-lines --no-border --paper A4 --dpi 600 --pdf "korvane-$1.pdf"
    run "cdlabelgen-$1" sh -c "cdlabelgen -c Bench --create-dvd-outside -e $1.eps -S 0 -o cdlabelgen-$1.ps && ps2pdf -sPAPERSIZE=a4 cdlabelgen-$1.ps cdlabelgen-$1.pdf"
    rm -f "korvane-$1.pdf.jpg"-*
    pdfimages -j "korvane-$1.pdf" "korvane-$1.pdf.jpg"
    same=no
    cmp -s "korvane-$1.pdf.jpg-000.jpg" "$1.jpg" && same=yes
    printf '%-10s korvane cpu %s s, %.1f MB | cdlabelgen + ps2pdf cpu %s s, %.1f MB | cpu ratio %s, memory ratio %s | PDF / JPEG %s, bytes unchanged: %s\n' \
        "$1" "$(median "korvane-$1" 3)" "$(echo "$(median "korvane-$1" 2) / 1024" | bc -l)" \
        "$(median "cdlabelgen-$1" 3)" "$(echo "$(median "cdlabelgen-$1" 2) / 1024" | bc -l)" \
        "$(echo "scale=3; $(median "korvane-$1" 3) / $(median "cdlabelgen-$1" 3)" | bc)" \
        "$(echo "scale=3; $(median "korvane-$1" 2) / $(median "cdlabelgen-$1" 2)" | bc)" \
        "$(echo "scale=4; $(stat -c %s "korvane-$1.pdf") / $(stat -c %s "$1.jpg")" | bc)" "$same"
}
sleeve dvd 4000 2700
sleeve dvd-odd 4001 2701
sleeve scan 6449 4323

# --- a lossless sleeve, upright and turned ----------------------------------------
# The DVD sleeve's picture as a PNG, stored upright (2700 x 4000) and on its
# side (4000 x 2700, recognised and turned): the page draws the stored
# pixels turned by its transform, so the turned one should cost what the
# upright one costs.
[ -f sleeve-side.png ] || convert dvd.jpg sleeve-side.png
[ -f sleeve-upright.png ] || convert dvd.jpg -rotate 90 sleeve-upright.png
for p in upright side; do
    run "korvane-png-$p" "$CLI" print --formats "$BUILD/bin/Korvane.dat" --left "sleeve-$p.png" --mode left \
        --no-cut-lines --no-border --paper A4 --dpi 600 --pdf "korvane-png-$p.pdf"
done
printf 'PNG sleeve  upright cpu %s s, %.1f MB | turned cpu %s s, %.1f MB | turned / upright cpu %s, memory %s\n' \
    "$(median korvane-png-upright 3)" "$(echo "$(median korvane-png-upright 2) / 1024" | bc -l)" \
    "$(median korvane-png-side 3)" "$(echo "$(median korvane-png-side 2) / 1024" | bc -l)" \
    "$(echo "scale=3; $(median korvane-png-side 3) / $(median korvane-png-upright 3)" | bc)" \
    "$(echo "scale=3; $(median korvane-png-side 2) / $(median korvane-png-upright 2)" | bc)"

# --- a batch of 100 covers -------------------------------------------------------
mkdir -p batch
i=1
while [ "$i" -le 100 ]; do
    ln -f cover.jpg "batch/cover$i.jpg"
    i=$((i + 1))
done
/usr/bin/time -f "%e %M %U %S" -o batch.one "$CLI" print --formats "$BUILD/bin/Korvane.dat" --left-format "CD Front" \
    --no-cut-lines --no-border --paper A4 --dpi 600 --pdf batch.pdf --batch batch/*.jpg > /dev/null
read -r B_T B_M B_U B_S < batch.one
echo "batch of 100: $B_T s wall, $(echo "scale=4; $B_T / 100" | bc) s per page ($(echo "scale=4; ($B_U + $B_S) / 100" | bc) s cpu), peak $(echo "$B_M / 1024" | bc) MB, PDF $(stat -c %s batch.pdf) bytes"
rm -f batch.pdf
