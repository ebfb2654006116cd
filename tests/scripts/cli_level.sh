#!/usr/bin/env bash
# parvane-cli's level commands: extract and level-info on written level files, exit codes
# and messages. Arguments: BUILD_DIR TESTDATA_DIR. Exit 77 skips (binaries not built).
set -u
build=$(cd "${1:?build dir}" && pwd)
cli=$build/parvane-cli
writer=$build/tests/write_test_level
[[ -x $cli ]] || { echo "parvane-cli not built"; exit 77; }
[[ -x $writer ]] || { echo "write_test_level not built"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

source "$(dirname "$0")/cli_checks.bash"
# tga_size FILE: width x height from an uncompressed TGA header
tga_size() {
    od -An -tu2 -j12 -N4 "$1" | awk '{ print $1 "x" $2 }'
}

# The levels every check below reads: without them nothing else means anything.
write() { "$writer" "$@" >/dev/null && [[ -s $1 ]] || { echo "FAIL: could not write $1"; exit 1; }; }
write "$work/one.PHD" 1 --pages 3
write "$work/two.dv2" 3 --container
write "$work/five.DVC" 7
write "$work/still.DV4" 6 --no-animated
write "$work/cut.DVC" 7 --truncate 300
mkdir "$work/set.dvx" "$work/only" || exit 1
write "$work/set.dvx/expansion.PHD" 2
cp "$work/one.PHD" "$work/one.DVG" && cp "$work/five.DVC" "$work/only/.DVC" || exit 1

expect 0 "help lists the level commands" -- "$cli" --help
contains "$work/out" "extract LEVEL OUT [--convert] [--animated]" "help lists extract"
contains "$work/out" "level-info LEVEL" "help lists level-info"

expect 0 "extract a first-generation level" -- "$cli" extract "$work/one.PHD" "$work/one.tga"
[[ $(tga_size "$work/one.tga") == "256x768" ]] || { echo "FAIL: one.tga is $(tga_size "$work/one.tga")"; failures=$((failures + 1)); }
contains "$work/out" "DV1 level" "extract names the generation"

expect 0 "extract a container level with --convert to BMP" -- "$cli" extract "$work/two.dv2" "$work/two.bmp" --convert
[[ -s $work/two.bmp ]] || { echo "FAIL: two.bmp missing"; failures=$((failures + 1)); }

expect 0 "extract animated textures" -- "$cli" extract --animated "$work/five.DVC" "$work/anim.tga"
[[ $(tga_size "$work/anim.tga") == "256x128" ]] || { echo "FAIL: anim.tga is $(tga_size "$work/anim.tga")"; failures=$((failures + 1)); }

expect 0 "level-info" -- "$cli" level-info "$work/five.DVC"
contains "$work/out" "generation: 7 (DV5)" "level-info generation"
contains "$work/out" "pages: 2" "level-info pages"
contains "$work/out" "object textures: 3" "level-info object textures"
contains "$work/out" "animated ranges: 2" "level-info ranges"
contains "$work/out" "range 1: 2 textures: 0 1" "level-info first range"
contains "$work/out" "range 2: 1 textures: 2" "level-info second range"

# The folder's ".dvx" makes a version-32 file an expansion level, for a relative name too.
expect 0 "level-info with a relative name" -- env -C "$work/set.dvx" "$cli" level-info expansion.PHD
contains "$work/out" "generation: 2 (DV1 expansion)" "relative name in a .dvx folder"
# A name that is only an extension has that extension.
expect 0 "level named only .DVC" -- "$cli" level-info "$work/only/.DVC"
contains "$work/out" "generation: 7 (DV5)" "level named only .DVC"

expect 1 "refused extension" -- "$cli" extract "$work/one.DVG" "$work/x.tga"
contains "$work/err" "Refused" "refusal message"
expect 1 "missing level" -- "$cli" extract "$work/none.PHD" "$work/x.tga"
expect 1 "no animated textures" -- "$cli" extract --animated "$work/still.DV4" "$work/x.tga"
contains "$work/err" "no animated textures" "no animation message"
expect 1 "truncated level" -- "$cli" extract "$work/cut.DVC" "$work/x.tga"
contains "$work/err" "damaged and could not be read" "damaged message"
expect 1 "truncated level info" -- "$cli" level-info "$work/cut.DVC"
[[ ! -e $work/x.tga ]] || { echo "FAIL: a failed extraction wrote its output"; failures=$((failures + 1)); }
expect 1 "unsupported output extension" -- "$cli" extract "$work/one.PHD" "$work/x.gif"
expect 2 "extract without output" -- "$cli" extract "$work/one.PHD"
expect 2 "unknown option" -- "$cli" extract "$work/one.PHD" "$work/x.tga" --frob

if [[ $failures -ne 0 ]]; then
    echo "$failures failures"
    exit 1
fi
echo "all level command checks passed"
