#!/bin/sh
# Decoding a 12-megapixel WebP, HEIC, AVIF, JPEG XL and TIFF: korvane-cli
# decode against each library's own command-line decoder on the same file,
# in turn, with CPU seconds and peak memory from GNU time.
#   bench/modern-decoders.sh [build/bin/korvane-cli] [runs]
# The decoded picture takes 4000 x 3000 x 3 bytes = 36 MB in the program;
# the program's start-up alone (its libraries, Qt's among them) is measured
# first, so that what a decode adds can be read off.
# Every reference decoder writes the pixels out, as a decode must deliver
# them (djxl without an output file stops short of making 8-bit pixels).
set -e
CLI=${1:-build/bin/korvane-cli}
RUNS=${2:-5}
DIR=$(mktemp -d /tmp/korvane-bench-XXXXXX)
trap 'rm -rf "$DIR"' EXIT
# A photo-like picture: smooth shading with fine noise on it.
convert -size 4000x3000 gradient:'#336699-#cc9933' -attenuate 0.4 +noise Gaussian -depth 8 "$DIR/p.png"
cwebp -quiet -q 85 "$DIR/p.png" -o "$DIR/p.webp"
heif-enc -q 60 "$DIR/p.png" -o "$DIR/p.heic" >/dev/null
heif-enc -A -q 60 "$DIR/p.png" -o "$DIR/p.avif" >/dev/null
cjxl --quiet -d 1 "$DIR/p.png" "$DIR/p.jxl"
convert "$DIR/p.png" -compress lzw "$DIR/p.tif"

measure() {  # label, command...: median user+sys seconds and peak kB
  label=$1; shift
  for i in $(seq "$RUNS"); do
    /usr/bin/time -f "%U %S %M" -o "$DIR/t" "$@" >/dev/null 2>&1 || true
    cat "$DIR/t"
  done | awk '{print $1 + $2, $3}' | sort -n | awk -v l="$label" '{c[NR]=$1; m[NR]=$2} END {i=int((NR+1)/2); printf "%-28s cpu %.3f s  peak %d kB\n", l, c[i], m[i]}'
}
measure "korvane-cli start-up" "$CLI" --version
for kind in webp heic avif jxl tif; do
  case $kind in
    webp) ref="dwebp $DIR/p.webp -ppm -o $DIR/out.ppm" ;;
    heic|avif) ref="heif-convert --quiet $DIR/p.$kind $DIR/out.y4m" ;;
    jxl) ref="djxl $DIR/p.jxl $DIR/out.ppm" ;;
    tif) ref="tiff2rgba $DIR/p.tif $DIR/out.tif" ;;
  esac
  measure "korvane-cli decode p.$kind" "$CLI" decode "$DIR/p.$kind"
  # shellcheck disable=SC2086
  measure "${ref%% *}" $ref
done
