#!/bin/bash
# Picture loads as a user meets them: each run is a fresh process, so start-up, reading the
# file, first-touch page faults and freeing count, as they do when a file is opened. Compares
# parvane-cli with ImageMagick (convert FILE null:), and where installed GraphicsMagick
# (gm convert FILE null:) and libvips (vips avg FILE), in the same run, and reports each side's
# peak memory.
#   bench/cold_start.sh [path/to/parvane-cli] [data folder] [runs] [formats...]
# formats picks rows by name (tga psd pcx tiff-none tiff-lzw tiff-zip jpg bmp png resample); all
# when none is given. The data folder receives 4096 x 4096 pictures (24-bit run-length TGA, PSD,
# PCX, TIFF uncompressed, LZW and Deflate, JPEG quality 90, BMP, 8-bit RGB PNG at zlib level 6)
# and a 1024 x 1024 BMP written by ImageMagick on first use, about 500 MB. `scripts/setup.sh --bench` installs the tools.
set -eu
CLI=${1:-build/parvane-cli}
DATA=${2:-build/bench-data}
RUNS=${3:-10}
shift $(($# < 3 ? $# : 3))
ROWS=${*:-tga psd pcx tiff-none tiff-lzw tiff-zip jpg bmp png resample}
for tool in hyperfine convert /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is missing"; exit 77; }
done
[ -x "$CLI" ] || { echo "$CLI is not built"; exit 77; }
mkdir -p "$DATA"

# A plasma with a light blur: smooth areas and detail, like a photographed texture, so the
# run-length coders see realistic runs.
make_data() {
    local src=$DATA/cold4096.ppm
    convert -seed 7 -size 4096x4096 plasma:fractal -blur 0x1 -depth 8 "$src"
    convert "$src" -type TrueColor -compress RLE "$DATA/cold4096.tga"
    convert "$src" -type TrueColor "$DATA/cold4096.psd"
    convert "$src" -type TrueColor "$DATA/cold4096.pcx"
    convert "$src" -type TrueColor -compress None "$DATA/cold4096-none.tif"
    convert "$src" -type TrueColor -compress LZW "$DATA/cold4096-lzw.tif"
    convert "$src" -type TrueColor -compress Zip "$DATA/cold4096-zip.tif"
    convert "$src" -quality 90 "$DATA/cold4096.jpg"
    convert "$src" -type TrueColor "$DATA/cold4096.bmp"
    convert "$src" -type TrueColor -depth 8 -define png:compression-level=6 \
        -define png:color-type=2 "$DATA/cold4096.png"
    convert "$src" -resize 1024x1024 -type TrueColor "$DATA/cold1024.bmp"
    rm -f "$src"
}
[ -f "$DATA/cold4096-zip.tif" ] && [ -f "$DATA/cold1024.bmp" ] && [ -f "$DATA/cold4096.png" ] ||
    make_data

OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT

# peak KIB COMMAND...: the largest resident size the command reached.
peak() {
    /usr/bin/time -f '%M' "$@" 2>"$OUT/time" >/dev/null || true
    tail -n 1 "$OUT/time"
}

# table JSON: each command's median and spread, and how many times slower than parvane.
table() {
    python3 -c '
import json, sys
runs = json.load(open(sys.argv[1]))["results"]
base = next(r["median"] for r in runs if r["command"] == "parvane")
for r in runs:
    print("   %-15s median %8.1f ms  (min %7.1f, max %7.1f)  %5.2fx" % (r["command"],
          1000 * r["median"], 1000 * r["min"], 1000 * r["max"], r["median"] / base))
' "$1"
}

# load FILE: every reader on hand that can read FILE, in one hyperfine run so that they share
# the machine's load.
load() {
    local file=$1
    local peers=(-n parvane "$CLI info $file")
    convert "$file" null: 2>/dev/null && peers+=(-n imagemagick "convert $file null:")
    command -v gm >/dev/null && gm convert "$file" null: 2>/dev/null &&
        peers+=(-n graphicsmagick "gm convert $file null:")
    command -v vips >/dev/null && vips avg "$file" >/dev/null 2>&1 &&
        peers+=(-n vips "vips avg $file")
    echo "== load 4096 x 4096 $(basename "$file") ($(($(stat -L -c %s "$file") / 1048576)) MiB)"
    hyperfine -N -w 2 -r "$RUNS" --export-json "$OUT/load.json" "${peers[@]}" >/dev/null 2>&1
    table "$OUT/load.json"
    echo "   peak memory: parvane $(peak "$CLI" info "$file") KiB," \
         "ImageMagick $(peak convert "$file" null:) KiB"
}

resample() {
    local file=$DATA/cold1024.bmp
    echo "== resample 1024 x 1024 BMP to 256 x 256 (Mitchell)"
    hyperfine -N -w 2 -r "$RUNS" --export-json "$OUT/resample.json" \
        -n parvane "$CLI resample $file $OUT/p.bmp 256 256 --filter Mitchell" \
        -n imagemagick "convert $file -filter Mitchell -resize 256x256! $OUT/m.bmp" >/dev/null 2>&1
    table "$OUT/resample.json"
    echo "   peak memory: parvane $(peak "$CLI" resample "$file" "$OUT/p.bmp" 256 256) KiB," \
         "ImageMagick $(peak convert "$file" -filter Mitchell -resize 256x256! "$OUT/m.bmp") KiB"
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
for row in $ROWS; do
    case $row in
    tiff-*) load "$DATA/cold4096-${row#tiff-}.tif" ;;
    resample) resample ;;
    *) load "$DATA/cold4096.$row" ;;
    esac
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
