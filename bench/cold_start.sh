#!/bin/bash
# Picture loads as a user meets them: each run is a fresh process, so start-up, reading the
# file, first-touch page faults and freeing count, as they do when a file is opened. Compares
# parvane-cli with ImageMagick in the same run and reports each side's peak memory.
#   bench/cold_start.sh [path/to/parvane-cli] [data folder] [runs]
# The data folder receives 4096 x 4096 pictures (24-bit run-length TGA, PSD, PCX) and a
# 1024 x 1024 BMP written by ImageMagick on first use, about 350 MB.
set -eu
CLI=${1:-build/parvane-cli}
DATA=${2:-build/bench-data}
RUNS=${3:-10}
for tool in hyperfine convert /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is missing"; exit 77; }
done
[ -x "$CLI" ] || { echo "$CLI is not built"; exit 77; }
mkdir -p "$DATA"

# A plasma with a light blur: smooth areas and detail, like a photographed texture, so the
# run-length coders see realistic runs.
if [ ! -f "$DATA/cold4096.tga" ]; then
    convert -seed 7 -size 4096x4096 plasma:fractal -blur 0x1 -depth 8 "$DATA/cold4096.ppm"
    convert "$DATA/cold4096.ppm" -type TrueColor -compress RLE "$DATA/cold4096.tga"
    convert "$DATA/cold4096.ppm" -type TrueColor "$DATA/cold4096.psd"
    convert "$DATA/cold4096.ppm" -type TrueColor "$DATA/cold4096.pcx"
    convert "$DATA/cold4096.ppm" -resize 1024x1024 -type TrueColor "$DATA/cold1024.bmp"
    rm -f "$DATA/cold4096.ppm"
fi

OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT

# peak KIB COMMAND...: the largest resident size the command reached.
peak() {
    /usr/bin/time -f '%M' "$@" 2>"$OUT/time" >/dev/null || true
    tail -n 1 "$OUT/time"
}

for ext in tga psd pcx; do
    file=$DATA/cold4096.$ext
    echo "== load 4096 x 4096 .$ext ($(($(stat -L -c %s "$file") / 1048576)) MiB)"
    hyperfine -N -w 2 -r "$RUNS" --export-json "$OUT/$ext.json" \
        -n parvane "$CLI info $file" -n imagemagick "convert $file null:" 2>&1 |
        grep -E 'Time|faster|±' || true
    echo "   peak memory: parvane $(peak "$CLI" info "$file") KiB," \
         "ImageMagick $(peak convert "$file" null:) KiB"
done

file=$DATA/cold1024.bmp
echo "== resample 1024 x 1024 BMP to 256 x 256 (Mitchell)"
hyperfine -N -w 2 -r "$RUNS" \
    -n parvane "$CLI resample $file $OUT/p.bmp 256 256 --filter Mitchell" \
    -n imagemagick "convert $file -filter Mitchell -resize 256x256! $OUT/m.bmp" 2>&1 |
    grep -E 'Time|faster|±' || true
echo "   peak memory: parvane $(peak "$CLI" resample "$file" "$OUT/p.bmp" 256 256) KiB," \
     "ImageMagick $(peak convert "$file" -filter Mitchell -resize 256x256! "$OUT/m.bmp") KiB"
