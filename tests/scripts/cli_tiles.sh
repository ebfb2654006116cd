#!/usr/bin/env bash
# parvane-cli tiles: the budget of a planted texture set as text and JSON, the compacted set
# and its index map, and the exit codes of refused files and wrong arguments.
# Arguments: BUILD_DIR TESTDATA_DIR. Exit 77 skips (no binary built).
set -u
build=${1:?build dir}
cli=$build/parvane-cli
[[ -x $cli ]] || { echo "parvane-cli not built"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

source "$(dirname "$0")/cli_checks.bash"

# The planted set, 4 x 2 cells of 64 pixels, as an uncompressed 24-bit TGA (bottom row
# first): 0 a pattern without symmetry, 1 it turned a quarter clockwise, 2 it mirrored left to
# right, 3 black, 4 an exact copy, 5 a copy one brighter in every channel (mean difference 1),
# 6 and 7 one flat colour.
LC_ALL=C awk -v W=256 -v H=128 '
function tile(cell, x, y,    sx, sy) {
    sx = x; sy = y
    if (cell == 1) { sx = y; sy = 63 - x }
    if (cell == 2) { sx = 63 - x }
    if (cell == 3) { R = 0; G = 0; B = 0; return }
    if (cell >= 6) { R = 10; G = 20; B = 30; return }
    R = 4 * sx + 1; G = 4 * sy + 1; B = (sx * sy) % 251
    if (cell == 5) { R++; G++; B++ }
}
BEGIN {
    printf "%c%c%c%c%c%c%c%c%c%c%c%c", 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0
    printf "%c%c%c%c%c%c", W % 256, int(W / 256), H % 256, int(H / 256), 24, 0
    for (y = H - 1; y >= 0; y--)
        for (x = 0; x < W; x++) {
            tile(int(y / 64) * 4 + int(x / 64), x % 64, y % 64)
            printf "%c%c%c", B, G, R
        }
}' >"$work/set.tga"

expect 0 "json, turned, tolerance 1" -- "$cli" tiles "$work/set.tga" --turned --tolerance 1 --json
same "$work/out" '{"width": 256, "height": 128, "cells": 8, "used": 7, "empty": 1, "kept": 2, "copies": 5, "groups": [{"kept": 0, "copies": [{"cell": 1, "orientation": "rotate", "difference": 0}, {"cell": 2, "orientation": "hflip", "difference": 0}, {"cell": 4, "orientation": "same", "difference": 0}, {"cell": 5, "orientation": "same", "difference": 1}]}, {"kept": 6, "copies": [{"cell": 7, "orientation": "same", "difference": 0}]}]}' "planted JSON"

expect 0 "json, same only, identical" -- "$cli" tiles "$work/set.tga" --json
same "$work/out" '{"width": 256, "height": 128, "cells": 8, "used": 7, "empty": 1, "kept": 5, "copies": 2, "groups": [{"kept": 0, "copies": [{"cell": 4, "orientation": "same", "difference": 0}]}, {"kept": 6, "copies": [{"cell": 7, "orientation": "same", "difference": 0}]}]}' "JSON without turns"

expect 0 "text" -- "$cli" tiles "$work/set.tga" --turned --tolerance 0.5
contains "$work/out" "kept: 3 (within the editors' 256)" "text counts"
contains "$work/out" "tile 0 has 3 copies: 1 rotate, 2 hflip, 4 same" "text group"

expect 0 "compact and map" -- "$cli" tiles "$work/set.tga" --turned --tolerance 1 \
    --compact "$work/small.tga" --map "$work/map.csv"
same "$work/map.csv" 'old,new,orientation
0,0,same
1,0,rotate
2,0,hflip
3,empty,
4,0,same
5,0,same
6,1,same
7,1,same' "index map"
expect 0 "info of the compacted set" -- "$cli" info "$work/small.tga"
contains "$work/out" "height: 256" "compacted to one page"
expect 0 "the compacted set's own budget" -- "$cli" tiles "$work/small.tga" --json
contains "$work/out" '"cells": 16, "used": 2, "empty": 14, "kept": 2, "copies": 0' "compacted budget"

# Refused files: exit 1 and a message, nothing written.
expect 0 "a set cut to 100 pixels" -- "$cli" resample "$work/set.tga" "$work/odd.tga" 256 100
expect 1 "sides not multiples of 64" -- "$cli" tiles "$work/odd.tga" --compact "$work/x.tga" --map "$work/x.csv"
contains "$work/err" "whole multiples of 64" "size message"
[[ -e $work/x.tga || -e $work/x.csv ]] && { echo "FAIL: a refused set wrote files"; failures=$((failures + 1)); }
expect 1 "missing file" -- "$cli" tiles "$work/none.tga"
expect 1 "map into a missing folder" -- "$cli" tiles "$work/set.tga" --compact "$work/y.tga" --map "$work/no/such/y.csv"
contains "$work/err" "y.csv" "failed map names the file"
[[ -e $work/y.tga ]] && { echo "FAIL: the set was written without its map"; failures=$((failures + 1)); }

# Wrong arguments: exit 2.
for args in "--tolerance -1" "--tolerance x" "--tolerance" "--compact $work/z.tga" \
    "--map $work/z.csv" "--compact $work/z.bmp --map $work/z.csv" "--frobnicate" "$work/set.tga"; do
    # shellcheck disable=SC2086
    expect 2 "tiles SET $args" -- "$cli" tiles "$work/set.tga" $args
done
expect 2 "no SET" -- "$cli" tiles --json

[[ $failures -eq 0 ]] || { echo "$failures failure(s)"; exit 1; }
echo "all tiles command checks passed"
