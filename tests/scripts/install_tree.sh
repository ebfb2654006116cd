#!/usr/bin/env bash
# The install tree: `cmake --install` into a scratch prefix puts both programs, the desktop
# entry, icons, metainfo, level file types and man pages in their places; the desktop entry and
# metainfo pass their validators; the level types resolve by extension in either case; and the
# desktop entry's command starts Parvane in French with a level file under Xvfb (the level's
# loading itself is checked in tests/app/DesktopProductTest.cpp).
# Arguments: BUILD_DIR TESTDATA_DIR. Exit 77 skips (programs not built).
set -u
build=${1:?build dir}
[[ -x $build/parvane && -x $build/parvane-cli ]] || { echo "programs not built"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || fail "$1 missing (scripts/setup.sh --tests installs it)"; }

prefix=$work/usr
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
    cat "$work/install.log"; fail "cmake --install"; }

id=io.github.parvane.Parvane
for file in bin/parvane bin/parvane-cli \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/mime/packages/$id.xml share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/parvane.1 share/man/man1/parvane-cli.1; do
    [[ -s $prefix/$file ]] || fail "$file not installed"
done
for side in 16 22 24 32 48 64 128 256; do
    [[ -s $prefix/share/icons/hicolor/${side}x$side/apps/$id.png ]] || fail "${side}px icon"
done
[[ -x $prefix/bin/parvane ]] || fail "parvane is not executable"

need desktop-file-validate
need appstreamcli
need update-mime-database
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1 ||
    { cat "$work/as.log"; fail "metainfo"; }

# The level types: one MIME type for the five extensions, matched in either case.
cp -r "$prefix/share/mime" "$work/mime"
update-mime-database "$work/mime" >/dev/null 2>&1 || fail "update-mime-database"
for ext in phd dvx dv2 dv4 dvc; do
    grep -q ":application/x-duskvale-level:\*\.$ext\$" "$work/mime/globs2" || fail "*.$ext glob"
done
# Lower-case globs without case-sensitive="true" also match LEVEL.DV4.
grep -q 'case-sensitive' "$prefix/share/mime/packages/$id.xml" && fail "case-sensitive glob"
grep -q '^MimeType=.*application/x-duskvale-level;' "$prefix/share/applications/$id.desktop" ||
    fail "desktop entry does not offer Parvane for levels"

# The installed program answers --version without a display.
version=$("$prefix/bin/parvane" --version) || fail "parvane --version"
[[ $version == "Parvane 2.4" ]] || fail "version line '$version'"

# The desktop entry's command, as a launcher on a French desktop runs it, starts the French
# window with a level file.
need xvfb-run
need xdotool
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    "$build/tests/write_test_level" "$work/level.dv4" 6 --pages 3 >/dev/null || fail "level writer"
    exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$id.desktop")
    command=${exec_line//%f/$work/level.dv4}
    cat >"$work/launch.sh" <<LAUNCH
export PATH="$prefix/bin:\$PATH" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=fr_FR.UTF-8
$command > "$work/app.log" 2>&1 & app=\$!
# A French desktop gets the French window.
wid=\$(timeout 15 xdotool search --sync --onlyvisible --name 'Parvane v2.4   par   Oskelin' | head -1)
[[ -n \$wid ]] || { echo "no window"; kill \$app; exit 1; }
kill \$app || { echo "the program ended on its own"; exit 1; }
wait \$app 2>/dev/null
echo "window \$wid"
LAUNCH
    xvfb-run -a bash "$work/launch.sh" || { cat "$work/app.log"; fail "start from the desktop entry"; }
fi

if [[ $failures -ne 0 ]]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "install tree complete"
