#!/usr/bin/env bash
# parvane-cli's picture commands: exit codes, outputs and messages.
# Arguments: BUILD_DIR TESTDATA_DIR. Exit 77 skips (no binary built).
set -u
build=${1:?build dir}
testdata=${2:-}
cli=$build/parvane-cli
[[ -x $cli ]] || { echo "parvane-cli not built"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

source "$(dirname "$0")/cli_checks.bash"

# A 1 x 1 red picture as the texture set writer stores it.
printf '\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\0\30\0\0\0\377' >"$work/red.tga"
printf '\0\0\2\0\0\0\0\0\0\0\0\0\11\0\11\0\30\0\1\2\3' >"$work/cut.tga"

expect 0 "help" -- "$cli" --help
contains "$work/out" "info FILE" "help lists info"
contains "$work/out" "resample IN OUT WIDTH HEIGHT" "help lists resample"
expect 2 "no arguments" -- "$cli"
expect 2 "unknown command" -- "$cli" frobnicate
expect 2 "info without file" -- "$cli" info
expect 2 "convert with one argument" -- "$cli" convert "$work/red.tga"

expect 0 "info of a TGA" -- "$cli" info "$work/red.tga"
contains "$work/out" "width: 1" "info width"
contains "$work/out" "height: 1" "info height"
contains "$work/out" "pixel format: 6 (24 bits)" "info format"

expect 1 "info of .gif" -- "$cli" info "$work/anim.gif"
contains "$work/err" ".GIF format not supported." "gif refusal"
expect 1 "info of a truncated TGA" -- "$cli" info "$work/cut.tga"
contains "$work/err" "This file has a non supported compression scheme." "truncated message"
expect 1 "info of a missing BMP" -- "$cli" info "$work/missing.bmp"

# Hostile headers: a huge declared size, a zero size, and a named pipe that would never give
# its bytes. Each is refused with the message and exit 1, and writes nothing.
printf '\0\0\2\0\0\0\0\0\0\0\0\0\377\377\377\377\30\0' >"$work/huge.tga"
printf '\0\0\2\0\0\0\0\0\0\0\0\0\0\0\5\0\30\0' >"$work/flat.tga"
mkfifo "$work/pipe.tga"
for bad in huge flat pipe; do
    expect 1 "convert of $bad.tga" -- timeout 20 "$cli" convert "$work/$bad.tga" "$work/$bad-out.tga"
    contains "$work/err" "This file has a non supported compression scheme." "$bad.tga message"
    [[ -e $work/$bad-out.tga ]] && { echo "FAIL: $bad.tga wrote a file"; failures=$((failures + 1)); }
done

expect 0 "convert to BMP" -- "$cli" convert "$work/red.tga" "$work/red.bmp"
expect 0 "info of the BMP" -- "$cli" info "$work/red.bmp"
contains "$work/out" "pixel format: 6 (24 bits)" "BMP keeps 24 bits"
expect 0 "convert to JPG" -- "$cli" convert "$work/red.bmp" "$work/red.jpg"
expect 0 "info of the JPG" -- "$cli" info "$work/red.jpg"
contains "$work/out" "width: 1" "JPG width"
cp "$work/red.jpg" "$work/red.jpeg"
expect 0 "info of a .jpeg" -- "$cli" info "$work/red.jpeg"
contains "$work/out" "width: 1" "JPEG width"
expect 0 "convert to PNG" -- "$cli" convert "$work/red.tga" "$work/red.png"
expect 0 "info of the PNG" -- "$cli" info "$work/red.png"
contains "$work/out" "pixel format: 6 (24 bits)" "PNG saves 24 bits"
expect 0 "PNG back to TGA" -- "$cli" convert "$work/red.png" "$work/red-again.tga"
cmp -s "$work/red.tga" "$work/red-again.tga" || { echo "FAIL: PNG round trip differs"; failures=$((failures + 1)); }
expect 1 "convert to GIF" -- "$cli" convert "$work/red.tga" "$work/red.gif"
contains "$work/err" ".GIF format not supported." "gif save refusal"
[[ -e $work/red.gif ]] && { echo "FAIL: a GIF was written"; failures=$((failures + 1)); }

# Converting over a larger file leaves exactly the new file.
head -c 5000 /dev/zero >"$work/big.tga"
expect 0 "convert over a larger file" -- "$cli" convert "$work/red.bmp" "$work/big.tga"
cmp -s "$work/red.tga" "$work/big.tga" || { echo "FAIL: overwritten TGA differs"; failures=$((failures + 1)); }
# A save that cannot happen reports failure.
expect 1 "convert into a missing folder" -- "$cli" convert "$work/red.tga" "$work/no/such/x.tga"
contains "$work/err" "x.tga" "failed save names the file"

expect 0 "resample" -- "$cli" resample "$work/red.tga" "$work/big.bmp" 4 3 --filter box
expect 0 "info of the resampled picture" -- "$cli" info "$work/big.bmp"
contains "$work/out" "width: 4" "resampled width"
contains "$work/out" "height: 3" "resampled height"
expect 0 "resample with the default filter" -- "$cli" resample "$work/red.tga" "$work/m.tga" 64 64
# One red pixel widened stays red all over: 64 x 64 pixels of blue 0, green 0, red 255.
bytes=$(tail -c +19 "$work/m.tga" | od -An -v -tx1 |
    awk '{ for (i = 1; i <= NF; i++) n[$i]++ } END { for (b in n) print n[b], b }' | sort)
[[ $(od -An -tu2 -j12 -N4 "$work/m.tga" | tr -s ' ') == " 64 64" && $bytes == $'4096 ff\n8192 00' ]] ||
    { echo "FAIL: m.tga is not 64 x 64 red: $bytes"; failures=$((failures + 1)); }
# A tall source widened a lot: the finished picture would fit, the horizontal pass would not.
{
    printf '\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\100\30\0' # 1 x 16385, 24 bits
    head -c $((3 * 16385)) /dev/zero
} >"$work/tall.tga"
expect 1 "resample of a tall picture to a great width" -- timeout 60 "$cli" resample "$work/tall.tga" "$work/wide.tga" 65536 1
contains "$work/err" "needs more memory than a picture may take" "intermediate size refusal"
[[ -e $work/wide.tga ]] && { echo "FAIL: the wide picture was written"; failures=$((failures + 1)); }
expect 2 "resample with an unknown filter" -- "$cli" resample "$work/red.tga" "$work/m.tga" 4 4 --filter blur
expect 2 "resample to a zero width" -- "$cli" resample "$work/red.tga" "$work/m.tga" 0 4
expect 2 "resample to a bad height" -- "$cli" resample "$work/red.tga" "$work/m.tga" 4 4x

if [[ -d $testdata/peer ]]; then
    expect 0 "info of an 8-bit BMP" -- "$cli" info "$testdata/peer/pillow/bmp/g/pal8.bmp"
    contains "$work/out" "pixel format: 3 (8 bits (256 col))" "8-bit name"
    expect 0 "info of a 16-bit TGA" -- "$cli" info "$testdata/peer/image-rs/images/tga/testsuite/utc16.tga"
    contains "$work/out" "pixel format: 4 (15 bits)" "15-bit name"
    expect 1 "info of a damaged BMP" -- "$cli" info "$testdata/peer/pillow/bmp/b/badrle.bmp"
    contains "$work/err" "Bitmap image is not valid" "BMP message"
else
    echo "FAIL: test corpus not found at $testdata"
    failures=$((failures + 1))
fi

if [[ $failures -ne 0 ]]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all parvane-cli picture checks passed"
