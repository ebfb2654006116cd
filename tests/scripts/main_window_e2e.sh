#!/bin/bash
# End-to-end run of the desktop program on a real X server: the main window opens with its
# design size and the picture named on the command line, a drag on the Source canvas with
# AUTO EXPORT checked puts the cut on the system clipboard, where another program reads it,
# and a click pastes it. Then the Source menu opens a picture and a level through their
# dialogs (the path typed into the name box), the size selector shrinks a cut, and the tile
# is pasted. Every step is checked by the pixels it leaves on the screen or in a file.
#   main_window_e2e.sh <build dir> [test data dir]
# With KEEP_E2E=<folder> the run's files and screenshots are copied there at the end.
set -eu
BUILD=$1
APP=$BUILD/parvane
[ -x "$APP" ] || { echo "no $APP"; exit 77; }
for tool in xdotool xclip identify convert; do
    command -v $tool >/dev/null || { echo "$tool is missing"; exit 77; }
done
if [ -z "${DISPLAY:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "xvfb-run is missing"; exit 77; }
    # -noreset: when the last program closes, a resetting server refuses connections for a
    # moment, and the next step would find no display.
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
WORK=$(mktemp -d)
chmod 700 "$WORK"
APID=""
cleanup() {
    [ -n "$APID" ] && kill "$APID" 2>/dev/null
    [ -n "${KEEP_E2E:-}" ] && cp -r "$WORK" "$KEEP_E2E"; rm -rf "$WORK"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$WORK XDG_CONFIG_HOME=$WORK
# Retries a check for up to ten seconds: a loaded machine may be slow to show a change.
wait_for() {
    local end=$((SECONDS + 10))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}
# The colour of one pixel of the screen, as "r,g,b".
screen_pixel() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1,\2,\3/p' | head -1
}
screen_shows() { [ "$(screen_pixel "$1" "$2")" = "$3" ]; } # x, y, "r,g,b"
no_window() { ! xdotool search --onlyvisible --name "$1" >/dev/null; }
windows() { xdotool search --onlyvisible --pid "$APID" 2>/dev/null | wc -l; }
# Clicks at x, y and waits until a menu opens there (one more window of the program shows).
open_menu() {
    local before
    before=$(windows)
    xdotool mousemove "$1" "$2" sleep 0.1 click 1
    wait_for eval '[ "$(windows)" -gt "$before" ]' || { echo "no menu opened"; exit 1; }
}
# True when the screen at x, y shows exactly the picture of a file.
screen_area_is() {
    import -window root -crop "$(identify -format '%wx%h' "$3")+$1+$2" +repage "$WORK/area.png" &&
        [ "$(compare -metric AE "$WORK/area.png" "$3" null: 2>&1)" = 0 ]
}

# The program opens with a picture in the Source: a gradient, so that every cut of it differs.
convert -size 256x256 'xc:rgb(0,0,64)' -channel R -fx 'i/255' -channel G -fx 'j/255' +channel \
    -depth 8 -type TrueColor "$WORK/start.bmp"
"$APP" "$WORK/start.bmp" >"$WORK/app.log" 2>&1 &
APID=$!
WID=$(timeout 10 xdotool search --sync --all --onlyvisible --pid "$APID" --name 'Parvane v2.4' | head -1)
[ -n "$WID" ] || { echo "the main window did not appear"; cat "$WORK/app.log"; exit 1; }

eval "$(xdotool getwindowgeometry --shell "$WID")"
echo "window at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$WIDTH" = 725 ] && [ "$HEIGHT" = 598 ] || { echo "unexpected window size"; exit 1; }
# The Source picture starts 17 and 43 pixels into the window.
wait_for screen_shows $((X + 17 + 10)) $((Y + 43 + 20)) 10,20,64 ||
    { echo "the Source does not show the picture given on the command line"; exit 1; }

# AUTO EXPORT sits at a fixed place in the central column (the Source side is 308 wide).
xdotool mousemove --sync $((X + 308 + 30)) $((Y + 200)) click 1
sleep 0.2
# Drag over two by two cells of the Source canvas.
xdotool mousemove --sync $((X + 60)) $((Y + 120)) sleep 0.1 mousedown 1 sleep 0.1 \
    mousemove --sync $((X + 100)) $((Y + 160)) sleep 0.1 \
    mousemove --sync $((X + 130)) $((Y + 190)) sleep 0.1 mouseup 1
sleep 0.3

size=""
for _ in $(seq 50); do
    if xclip -selection clipboard -t image/png -o >"$WORK/cut.png" 2>/dev/null &&
        size=$(identify -format '%wx%h' "$WORK/cut.png" 2>/dev/null); then
        break
    fi
    sleep 0.1
done
echo "clipboard holds ${size:-nothing}"
[ "$size" = 128x128 ] || { echo "the cut did not reach the clipboard"; exit 1; }
convert "$WORK/start.bmp" -crop 128x128+0+64 +repage "$WORK/cells.png"
[ "$(compare -metric AE "$WORK/cells.png" "$WORK/cut.png" null: 2>&1)" = 0 ] ||
    { echo "the clipboard does not hold the two by two cells under the drag"; exit 1; }

# A click on the Target pastes the cut with its corner on the cell under the pointer, cell
# (0, 1); the Target picture starts 435 and 43 pixels into the window.
xdotool mousemove --sync $((X + 308 + 180)) $((Y + 120)) sleep 0.1 click 1
xdotool mousemove --sync $((X + 60)) $((Y + HEIGHT - 8))
wait_for screen_area_is $((X + 435)) $((Y + 43 + 64)) "$WORK/cells.png" ||
    { echo "the Target does not show the pasted cut"; exit 1; }

# --- The Source side ------------------------------------------------------------------
# The colour of one pixel of a PNG, as "r,g,b".
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }
# Waits until the clipboard holds a picture of the given size; leaves it in $WORK/clip.png.
clipboard_holds() {
    local got=""
    for _ in $(seq 50); do
        if xclip -selection clipboard -t image/png -o >"$WORK/clip.png" 2>/dev/null &&
            got=$(identify -format '%wx%h' "$WORK/clip.png" 2>/dev/null) && [ "$got" = "$1" ]; then
            return 0
        fi
        sleep 0.1
    done
    echo "clipboard holds ${got:-nothing}, not $1"
    return 1
}
# Chooses a Source menu item with the keyboard and answers its file dialog by typing a path.
load_through_menu() { # item, dialog title, path
    open_menu $((X + 100)) $((Y + 25))
    xdotool key --delay 80 Home $(printf 'Down %.0s' $(seq "$1")) Return
    local dialog
    dialog=$(timeout 10 xdotool search --sync --onlyvisible --name "$2" | head -1)
    [ -n "$dialog" ] || { echo "the dialog '$2' did not open"; exit 1; }
    xdotool windowfocus --sync "$dialog" key ctrl+a
    xdotool type --delay 5 "$3"
    xdotool key Return
    wait_for no_window "$2" ||
        { echo "the dialog '$2' did not close"; exit 1; }
}

convert -size 640x480 "xc:rgb(0,200,0)" -type TrueColor "$WORK/green.bmp"
load_through_menu 1 'LOADING IMAGE FILE' "$WORK/green.bmp"
kill -0 "$APID" || { echo "the program ended"; cat "$WORK/app.log"; exit 1; }

# The size selector one step down is 64 x 64. A 128 x 128 cut is exported as selected by
# AUTO EXPORT; the Export button sends the current tile, shrunk to one tile.
xdotool mousemove --sync $((X + 308 + 15)) $((Y + 60)) sleep 0.2 click 1
xdotool mousemove --sync $((X + 16 + 20)) $((Y + 46 + 20)) sleep 0.1 mousedown 1 sleep 0.1 \
    mousemove --sync $((X + 16 + 60)) $((Y + 46 + 60)) sleep 0.1 \
    mousemove --sync $((X + 16 + 100)) $((Y + 46 + 100)) sleep 0.1 mouseup 1
clipboard_holds 128x128 || exit 1
[ "$(pixel "$WORK/clip.png" 5 5)" = "0,200,0" ] || { echo "the cut is not of the picture"; exit 1; }
xdotool mousemove --sync $((X + 308 + 60)) $((Y + 221)) sleep 0.2 click 1
clipboard_holds 64x64 || exit 1
[ "$(pixel "$WORK/clip.png" 30 30)" = "0,200,0" ] || { echo "the tile is not of the picture"; exit 1; }
echo "a picture opened through the Source menu gave a 64 x 64 tile"
# The tile is pasted on the Target, on cell (1, 2).
xdotool mousemove --sync $((X + 308 + 126 + 100)) $((Y + 46 + 150)) sleep 0.2 click 1
xdotool mousemove --sync $((X + 60)) $((Y + HEIGHT - 8))
convert -size 64x64 "xc:rgb(0,200,0)" "$WORK/green64.png"
wait_for screen_area_is $((X + 435 + 64)) $((Y + 43 + 128)) "$WORK/green64.png" ||
    { echo "the Target does not show the pasted tile"; exit 1; }

# A level through the level dialog: its pages replace the green picture.
"$BUILD/tests/write_test_level" "$WORK/level.dv4" 6 --pages 3 >/dev/null
load_through_menu 2 'EXTRAIRE TEXTURES' "$WORK/level.dv4"
xdotool mousemove --sync $((X + 16 + 30)) $((Y + 46 + 30)) sleep 0.1 mousedown 1 sleep 0.1 mouseup 1
clipboard_holds 64x64 || exit 1
[ "$(pixel "$WORK/clip.png" 5 5)" != "0,200,0" ] || { echo "the level did not replace the picture"; exit 1; }
# The Source shows the level's first page, whose top left cell is the tile (inside the cursor's
# frame around it).
convert "$WORK/clip.png" -crop 60x60+2+2 +repage "$WORK/inside.png"
wait_for screen_area_is $((X + 17 + 2)) $((Y + 43 + 2)) "$WORK/inside.png" ||
    { echo "the Source does not show the level"; exit 1; }
import -window root "$WORK/source.png"
echo "a level opened through the Source menu"
echo "Source end-to-end run passed"

# --- Target: a tile from the clipboard is pasted, the Target is saved through the Target
# menu's dialog and read back by ImageMagick with exactly the pixels shown; Create New
# empties it and a reload brings the same tiles back; the help button leads to the about,
# help and French windows.
for tool in convert compare; do
    command -v $tool >/dev/null || { echo "$tool is missing"; exit 77; }
done
WID=$(xdotool search --all --onlyvisible --pid "$APID" --name 'Parvane v2.4' | head -1)
eval "$(xdotool getwindowgeometry --shell "$WID")"
CPID=""
trap 'cleanup; [ -n "$CPID" ] && kill "$CPID" 2>/dev/null' EXIT

# The central column starts 417 pixels from the right edge while the Target is one page wide.
column() { echo $((X + WIDTH - 417 + $1)); }
park_mouse() { xdotool mousemove --sync $((X + 60)) $((Y + HEIGHT - 8)); sleep 0.3; }
target_menu() {
    # Without --sync: the pointer may already be there, and --sync would wait for a move.
    open_menu "$(column 264)" $((Y + 25))
    xdotool key Home
    for _ in $(seq "$1"); do xdotool key Down; done
    xdotool key Return
}
type_in_dialog() {
    timeout 10 xdotool search --sync --onlyvisible --name "$1" >/dev/null ||
        { echo "no dialog '$1'"; exit 1; }
    sleep 0.3
    xdotool type --delay 5 "$2"
    xdotool key Return
}
# The top of the Target view in a screenshot of the window: where the saved picture's top
# 256 x 380 pixels appear, as "x,y"; fails when they appear nowhere exactly.
find_view() {
    convert "$1" -crop 280x410+$((WIDTH - 417 + 115))+30 +repage "$WORK/region.png"
    convert "$2" -auto-orient -crop 256x380+0+0 +repage "$WORK/view.png"
    local found
    found=$(compare -metric AE -subimage-search "$WORK/region.png" "$WORK/view.png" null: 2>&1 ||
        true)
    case "$found" in
    "0 @ "*) echo "${found#0 @ }" ;;
    *) echo "the Target view does not show the saved pixels ($found)" >&2; return 1 ;;
    esac
}
# Takes a screenshot of the window into a file until its Target view shows the saved picture.
view_matches() { import -window "$WID" "$1" && find_view "$1" "$2" >/dev/null 2>&1; }
view_shows() { wait_for view_matches "$1" "$2" || find_view "$1" "$2" >/dev/null; } # shot, saved

# Create New first: the Source steps above pasted a tile of their own.
target_menu 2
sleep 0.3

convert -size 64x32 gradient:red-yellow -size 64x32 gradient:blue-lime -append -depth 8 \
    "$WORK/tile.png"
xclip -quiet -selection clipboard -t image/png -i "$WORK/tile.png" 2>/dev/null &
CPID=$!
for _ in $(seq 50); do
    [ "$(xclip -selection clipboard -t image/png -o 2>/dev/null | identify -format '%wx%h' - 2>/dev/null)" = 64x64 ] && break
    sleep 0.1
done
xdotool mousemove --sync "$(column 60)" $((Y + 252)) click 1
sleep 0.3
xdotool mousemove --sync "$(column 226)" $((Y + 150)) sleep 0.1 click 1
park_mouse
import -window "$WID" "$WORK/pasted.png"

target_menu 1
type_in_dialog 'SAVING IMAGE FILE' "$WORK/set.tga"
wait_for test -s "$WORK/set.tga" || { echo "set.tga was not saved"; exit 1; }
[ "$(stat -c %s "$WORK/set.tga")" = $((18 + 256 * 512 * 3)) ] ||
    { echo "set.tga is not a 256 x 512 24-bit TGA"; exit 1; }
[ "$(identify -format '%m %wx%h' "$WORK/set.tga")" = "TGA 256x512" ] ||
    { echo "ImageMagick does not read set.tga as a 256 x 512 TGA"; exit 1; }
# ImageMagick keeps TGA rows in file order (bottom row first) and reports the orientation.
box=$(convert "$WORK/set.tga" -auto-orient -format '%@' info:)
echo "the pasted tile lies at $box"
case "$box" in 64x64+*) ;; *) echo "not one tile on black"; exit 1 ;; esac
convert -size 256x512 xc:black "$WORK/tile.png" -geometry "${box#64x64}" -composite \
    "$WORK/expected.png"
convert "$WORK/set.tga" -auto-orient "$WORK/set.png"
[ "$(compare -metric AE "$WORK/expected.png" "$WORK/set.png" null: 2>&1)" = 0 ] ||
    { echo "set.tga differs from the pasted tile on black"; exit 1; }
view_shows "$WORK/pasted.png" "$WORK/set.tga"
shown=$(find_view "$WORK/pasted.png" "$WORK/set.tga")
echo "the saved pixels are those shown (view at $shown)"

target_menu 2
park_mouse
wait_for eval 'import -window "$WID" "$WORK/new.png" &&
    [ "$(convert "$WORK/new.png" -crop "256x380+$((WIDTH - 417 + 115 + ${shown%,*}))+$((30 + ${shown#*,}))" \
        -format "%[fx:maxima]" info:)" = 0 ]' || { echo "Create New left pixels on the Target"; exit 1; }

target_menu 3
type_in_dialog 'LOADING IMAGE FILE' "$WORK/set.tga"
park_mouse
eval "$(xdotool getwindowgeometry --shell "$WID")"
view_shows "$WORK/reloaded.png" "$WORK/set.tga"
echo "the reloaded set shows the saved tiles"

# --- Undo, shortcuts and zoom: three tiles pasted from the clipboard, one rotated; three undos
# and one redo leave exactly the first two tiles; Ctrl+S saves that; Ctrl and the wheel zoom the
# Target to 2x, and a paste there lands on the cell under the pointer.
xdotool windowfocus --sync "$WID"
xdotool key ctrl+n
sleep 0.3
# The Target's cells, through the centre of cell (col, row) at 1x.
cell_x() { echo $(($(column 127) + 64 * $1 + 32)); }
cell_y() { echo $((Y + 47 + 64 * $1 + 32)); }
xdotool mousemove --sync "$(column 60)" $((Y + 252)) click 1
sleep 0.3
for col in 0 1 2; do
    xdotool mousemove --sync "$(cell_x $col)" "$(cell_y 0)" sleep 0.1 \
        mousemove --sync $(($(cell_x $col) + 2)) "$(cell_y 0)" sleep 0.1 \
        keydown ctrl click 1 keyup ctrl
    sleep 0.2
done
xdotool key Escape r
xdotool mousemove --sync "$(cell_x 1)" "$(cell_y 0)" sleep 0.1 \
    mousemove --sync $(($(cell_x 1) + 2)) "$(cell_y 0)" sleep 0.1 click 1
sleep 0.2
xdotool key Escape ctrl+z ctrl+z ctrl+z ctrl+shift+z
park_mouse
import -window "$WID" "$WORK/undone-shot.png"
xdotool key ctrl+s
type_in_dialog 'SAVING IMAGE FILE' "$WORK/undone.tga"
wait_for test -s "$WORK/undone.tga" || { echo "undone.tga was not saved"; exit 1; }
convert -size 256x512 xc:black "$WORK/tile.png" -geometry +0+0 -composite \
    "$WORK/tile.png" -geometry +64+0 -composite "$WORK/two.png"
convert "$WORK/undone.tga" -auto-orient "$WORK/undone.png"
[ "$(compare -metric AE "$WORK/two.png" "$WORK/undone.png" null: 2>&1)" = 0 ] ||
    { echo "after three undos and a redo the Target is not the first two tiles"; exit 1; }
view_shows "$WORK/undone-shot.png" "$WORK/undone.tga"
echo "three undos and a redo left the first two tiles, saved with Ctrl+S"

# Ctrl and the wheel over cell (2, 3) zoom to 2x around the pointer, which stays over that cell.
xdotool mousemove --sync "$(cell_x 2)" "$(cell_y 3)" sleep 0.2 keydown ctrl click 4 keyup ctrl
sleep 0.3
xdotool mousemove --sync "$(column 60)" $((Y + 252)) click 1
sleep 0.3
xdotool mousemove --sync $(($(cell_x 2) + 2)) "$(cell_y 3)" sleep 0.1 \
    mousemove --sync "$(cell_x 2)" "$(cell_y 3)" sleep 0.1 click 1
sleep 0.2
park_mouse
import -window "$WID" "$WORK/zoomed-shot.png"
xdotool key ctrl+s
type_in_dialog 'SAVING IMAGE FILE' "$WORK/zoomed.tga"
wait_for test -s "$WORK/zoomed.tga" || { echo "zoomed.tga was not saved"; exit 1; }
convert "$WORK/two.png" "$WORK/tile.png" -geometry +128+192 -composite "$WORK/three.png"
convert "$WORK/zoomed.tga" -auto-orient "$WORK/zoomed.png"
[ "$(compare -metric AE "$WORK/three.png" "$WORK/zoomed.png" null: 2>&1)" = 0 ] ||
    { echo "the paste at 2x did not land on the cell under the pointer"; exit 1; }
# At 2x one picture pixel is a square of four screen pixels: the view shows the tile doubled
# near the pointer.
convert "$WORK/tile.png" -sample 200% "$WORK/tile2x.png"
shows_doubled_tile() {
    convert "$WORK/zoomed-shot.png" -crop 200x200+$(($(cell_x 2) - X - 100))+$(($(cell_y 3) - Y - 100)) \
        +repage "$WORK/zoomed-area.png"
    case "$(compare -metric AE -subimage-search "$WORK/zoomed-area.png" "$WORK/tile2x.png" null: 2>&1)" in
    "0 @ "*) return 0 ;;
    *) import -window "$WID" "$WORK/zoomed-shot.png"; return 1 ;;
    esac
}
wait_for shows_doubled_tile || { echo "the 2x view does not show the tile doubled"; exit 1; }
echo "Ctrl and the wheel zoomed the Target, and a paste at 2x landed under the pointer"
xdotool key ctrl+0

# The help button opens the about window; HELP the help; the switch the French about window,
# whose CREDITS opens the French credits.
about_button() { # window title, x from the left, y from the bottom
    local w
    w=$(timeout 10 xdotool search --sync --onlyvisible --name "$1" | head -1)
    [ -n "$w" ] || { echo "no window '$1'"; exit 1; }
    eval "$(xdotool getwindowgeometry --shell "$w" | sed 's/^/A/')"
    xdotool mousemove --sync $((AX + $2)) $((AY + AHEIGHT - $3)) click 1
}
# The help button sits 48 pixels above the two-line status line (about 36 pixels high).
help_button() { xdotool mousemove --sync "$(column 60)" $((Y + HEIGHT - 95)) click 1; }
help_button
about_button 'About,   Help' 60 22
HELPWID=$(timeout 10 xdotool search --sync --onlyvisible --name 'Help$' | head -1)
[ -n "$HELPWID" ] || { echo "HELP opened no help window"; exit 1; }
# Without a window manager the help window covers the main window: move it aside.
xdotool windowmove "$HELPWID" 0 $((Y + HEIGHT + 10))
xdotool search --onlyvisible --name 'About,   Help' >/dev/null && { echo "the about window stayed"; exit 1; }
help_button
about_button 'About,   Help' 320 57
about_button 'A propos' 180 22
timeout 10 xdotool search --sync --onlyvisible --name '^Credits$' >/dev/null ||
    { echo "the French CREDITS opened no credits window"; exit 1; }
kill -0 "$APID" || { echo "the program ended"; cat "$WORK/app.log"; exit 1; }
echo "Target end-to-end run passed"

# ==== Window layout: the menus, the window's width and the status line =====================
# The wheel over both closed menus runs nothing: no dialog opens and the Target keeps its
# tiles. A two-page Target widens the window; back at one page it is 725 wide again and
# centred. With the pointer over the Target picture the status line shows the hint on its
# first line and the pointer's position on its second (screenshot status-target.png).
CREDWID=$(xdotool search --onlyvisible --name '^Credits$' | head -1)
[ -n "$CREDWID" ] && xdotool windowmove "$CREDWID" 400 $((Y + HEIGHT + 10))
WID=$(xdotool search --all --onlyvisible --pid "$APID" --name 'Parvane v2.4' | head -1)
eval "$(xdotool getwindowgeometry --shell "$WID")"
visible_windows() { xdotool search --all --onlyvisible --pid "$APID" 2>/dev/null | wc -l; }
target_view() { # screenshot of the window, cropped to the Target view
    import -window "$WID" "$WORK/$1-shot.png"
    convert "$WORK/$1-shot.png" -crop 256x380+$((WIDTH - 417 + 127))+47 +repage "$WORK/$1.png"
}
park_mouse
target_view before-wheel
windows_before=$(visible_windows)
for menu_x in $((X + 100)) "$(column 264)"; do
    xdotool mousemove --sync "$menu_x" $((Y + 25)) sleep 0.2
    for button in 5 5 5 4 5 5 4 4 5; do xdotool click $button; sleep 0.15; done
done
sleep 1
[ "$(visible_windows)" = "$windows_before" ] || { echo "the wheel over a menu opened a window"; exit 1; }
park_mouse
target_view after-wheel
[ "$(compare -metric AE "$WORK/before-wheel.png" "$WORK/after-wheel.png" null: 2>&1)" = 0 ] ||
    { echo "the wheel over a menu changed the Target"; exit 1; }
echo "the wheel over both closed menus ran nothing"

xdotool windowfocus --sync "$WID"
sleep 0.2
SCREEN_WIDTH=$(xdotool getdisplaygeometry | cut -d' ' -f1)
fits() { # expected width: the window's width, and its left edge centred on the screen
    for _ in $(seq 30); do
        eval "$(xdotool getwindowgeometry --shell "$WID")"
        [ "$WIDTH" = "$1" ] && [ "$X" = $(((SCREEN_WIDTH - $1) / 2)) ] && return 0
        sleep 0.1
    done
    echo "the window is ${WIDTH} wide at $X, not $1 wide and centred"
    return 1
}
xdotool key ctrl+shift+Right
fits 973 || exit 1
xdotool key ctrl+shift+Left
fits 725 || exit 1
echo "two pages widened the window to 973, one page brought it back to 725, centred"

# The status line's two lines, from the window's bottom: true when a line shows any text.
status_line_text() { # screenshot, line (1 or 2)
    local top=$((HEIGHT - 36 + 17 * ($2 - 1)))
    convert "$1" -crop "$((WIDTH - 12))x15+6+$top" +repage -colorspace gray -threshold 40% \
        -negate -format '%[fx:maxima>0]' info:
}
xdotool mousemove --sync "$(cell_x 1)" "$(cell_y 2)" sleep 0.2 \
    mousemove --sync $(($(cell_x 1) + 3)) $(($(cell_y 2) + 3)) sleep 0.3
import -window "$WID" "$WORK/status-target.png"
convert "$WORK/status-target.png" -crop "${WIDTH}x40+0+$((HEIGHT - 40))" +repage \
    "$WORK/status-target-line.png"
[ "$(status_line_text "$WORK/status-target.png" 1)" = 1 ] || { echo "no hint over the Target"; exit 1; }
[ "$(status_line_text "$WORK/status-target.png" 2)" = 1 ] ||
    { echo "no pointer position under the hint"; exit 1; }
park_mouse
kill -0 "$APID" || { echo "the program ended"; cat "$WORK/app.log"; exit 1; }
echo "Window layout end-to-end run passed"
# ==== end of the window layout block ======================================================

# --- Window safety ------------------------------------------------------------------------
# A fresh program whose home and user folders start empty: a 3840 x 2160 picture copied with
# xclip becomes the current tile whole and is pasted; a large level's progress window and
# gauge are on the screen while it is read; closing with the paste unsaved asks, Cancel keeps
# the window, Save saves and closes; the user's folders stay empty throughout. The program
# has ended when this part is over.
# Without a window manager, python3 stands in for its close button.
command -v python3 >/dev/null || { echo "python3 is missing"; exit 77; }
kill "$APID" 2>/dev/null || true
wait "$APID" 2>/dev/null || true
[ -n "$CPID" ] && kill "$CPID" 2>/dev/null
CPID=""
USERDIRS=$WORK/user
mkdir -p "$USERDIRS/home" "$USERDIRS/config" "$USERDIRS/cache" "$USERDIRS/data"
HOME=$USERDIRS/home XDG_CONFIG_HOME=$USERDIRS/config XDG_CACHE_HOME=$USERDIRS/cache \
    XDG_DATA_HOME=$USERDIRS/data "$APP" >"$WORK/safety.log" 2>&1 &
APID=$!
WID=$(timeout 10 xdotool search --sync --all --onlyvisible --pid "$APID" --name 'Parvane v2.4' | head -1)
[ -n "$WID" ] || { echo "the main window did not appear"; cat "$WORK/safety.log"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$WID")"
alive() { kill -0 "$APID" 2>/dev/null || { echo "the program ended: $1"; cat "$WORK/safety.log"; exit 1; }; }
# Asks the window to close as a window manager's close button does.
close_window() {
    python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]
class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                         ctypes.POINTER(XEvent)]
x.XFlush.argtypes = x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
event = XEvent()
event.xclient.type = 33  # ClientMessage
event.xclient.window = int(sys.argv[1])
event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.l[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(display, int(sys.argv[1]), 0, 0, ctypes.byref(event))
x.XFlush(display)
x.XCloseDisplay(display)
PY
}

# A screenshot-sized picture on the clipboard, imported whole: Export hands back all of it.
convert -size 3840x2160 gradient:red-blue -depth 8 "$WORK/screen.png"
xclip -quiet -selection clipboard -t image/png -i "$WORK/screen.png" 2>/dev/null &
CPID=$!
for _ in $(seq 100); do
    [ "$(xclip -selection clipboard -t image/png -o 2>/dev/null | identify -format '%wx%h' - 2>/dev/null)" = 3840x2160 ] && break
    sleep 0.1
done
xdotool mousemove --sync "$(column 60)" $((Y + 252)) click 1
sleep 1
alive "importing a 3840 x 2160 picture"
xdotool mousemove --sync "$(column 60)" $((Y + 221)) click 1
got=""
for _ in $(seq 100); do
    got=$(xclip -selection clipboard -t image/png -o 2>/dev/null | identify -format '%wx%h' - 2>/dev/null) &&
        [ "$got" = 3840x2160 ] && break
    sleep 0.2
done
[ "$got" = 3840x2160 ] || { echo "the imported tile is ${got:-nothing}, not 3840 x 2160"; exit 1; }
# Pasted on the second row of the Target: clipped at the Target's edges.
xdotool mousemove --sync "$(column 160)" $((Y + 120)) sleep 0.1 \
    mousemove --sync "$(column 162)" $((Y + 120)) sleep 0.1 click 1
sleep 0.3
park_mouse
import -window "$WID" "$WORK/big-paste.png"
[ "$(pixel "$WORK/big-paste.png" $((WIDTH - 417 + 127 + 250)) $((47 + 400)))" != "0,0,0" ] ||
    { echo "the paste did not reach the Target's edge"; exit 1; }
alive "pasting a 3840 x 2160 tile"
echo "a 3840 x 2160 clipboard picture was imported whole and pasted"

# A large level through the level dialog: the program is stopped as soon as its progress
# window shows, and the screen must show the window drawn, gauge and all.
"$BUILD/tests/write_test_level" "$WORK/large.dv2" 3 --pages 256 >/dev/null
xdotool mousemove --sync $((X + 100)) $((Y + 25)) sleep 0.2 click 1
sleep 0.5
xdotool key --delay 80 Home Down Down Return
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name 'EXTRAIRE TEXTURES' | head -1)
[ -n "$dialog" ] || { echo "the level dialog did not open"; exit 1; }
xdotool windowfocus --sync "$dialog" key ctrl+a
xdotool type --delay 5 "$WORK/large.dv2"
xdotool key Return
progress=""
for _ in $(seq 500); do
    progress=$(xdotool search --onlyvisible --name '^   Loading' 2>/dev/null | head -1) && [ -n "$progress" ] && break
done
[ -n "$progress" ] || { echo "no progress window showed"; exit 1; }
kill -STOP "$APID"
sleep 0.1
import -window root "$WORK/progress.png"
kill -CONT "$APID"
eval "$(xdotool getwindowgeometry --shell "$progress" | sed 's/^/P/')"
# The window's face, and the gauge's white field and black frame, bar and percentage: an
# undrawn window is one flat colour.
convert "$WORK/progress.png" -crop "${PWIDTH}x$PHEIGHT+$PX+$PY" +repage "$WORK/progress-window.png"
colours=$(convert "$WORK/progress-window.png" -format '%k' info:)
gauge=$(convert "$WORK/progress-window.png" -crop 177x20+8+8 +repage -format '%k' info:)
echo "the progress window was on the screen with $colours colours, its gauge with $gauge"
[ "$colours" -ge 3 ] && [ "$gauge" -ge 2 ] ||
    { echo "the progress window was not drawn during the load"; exit 1; }
for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^   Loading' >/dev/null 2>&1 || break
    sleep 0.1
done
alive "reading a large level"

# Closing with the paste unsaved asks; Cancel (Escape) keeps the window.
close_window "$WID"
question=$(timeout 10 xdotool search --sync --onlyvisible --name '^Parvane$' | head -1)
[ -n "$question" ] || { echo "closing with unsaved changes asked nothing"; exit 1; }
import -window root "$WORK/close-question.png"
xdotool windowfocus --sync "$question" key Escape
sleep 0.5
alive "the close question was cancelled"
xdotool search --onlyvisible --pid "$APID" --name 'Parvane v2.4' >/dev/null ||
    { echo "Cancel did not keep the window"; exit 1; }
echo "closing with unsaved changes asked, and Cancel kept the window"
# The filler colour dialog, opened and cancelled, for the settings check below.
xdotool mousemove --sync "$(column 76)" $((Y + 100)) click --repeat 2 --delay 80 1
colour=$(timeout 10 xdotool search --sync --onlyvisible --name 'Select Color' | head -1)
[ -n "$colour" ] || { echo "the filler colour dialog did not open"; exit 1; }
xdotool windowfocus --sync "$colour" key Escape
sleep 0.3
# Asked again, Save (the default button) runs the Target menu's save; the program then ends.
close_window "$WID"
question=$(timeout 10 xdotool search --sync --onlyvisible --name '^Parvane$' | head -1)
[ -n "$question" ] || { echo "the second close asked nothing"; exit 1; }
xdotool windowfocus --sync "$question" key Return
type_in_dialog 'SAVING IMAGE FILE' "$WORK/closing.tga"
for _ in $(seq 100); do kill -0 "$APID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$APID" 2>/dev/null && { echo "the program did not end after saving"; exit 1; }
APID=""
# The clipboard's xclip has ended when the program took the clipboard over.
kill "$CPID" 2>/dev/null || true
CPID=""
[ "$(identify -format '%wx%h' "$WORK/closing.tga")" = 256x512 ] ||
    { echo "Save in the close question wrote no texture set"; exit 1; }
echo "Save in the close question saved the Target and ended the program"

written=$(find "$USERDIRS" -mindepth 2)
[ -z "$written" ] || { echo "the run wrote into the user's folders:"; echo "$written"; exit 1; }
echo "the user's folders stayed empty"
echo "Window safety end-to-end run passed"
