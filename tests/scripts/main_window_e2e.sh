#!/bin/bash
# End-to-end run of the desktop program on a real X server: the main window opens with its
# design size, and a drag on the Source canvas with AUTO EXPORT checked puts the cut on the
# system clipboard, where another program reads it. Then the Source menu opens a picture and
# a level through their dialogs (the path typed into the name box), the size selector
# shrinks a cut, and the tile is pasted.
#   main_window_e2e.sh <build dir> [test data dir]
set -eu
BUILD=$1
APP=$BUILD/parvane
[ -x "$APP" ] || { echo "no $APP"; exit 77; }
for tool in xdotool xclip identify convert; do
    command -v $tool >/dev/null || { echo "$tool is missing"; exit 77; }
done
if [ -z "${DISPLAY:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "xvfb-run is missing"; exit 77; }
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
WORK=$(mktemp -d)
chmod 700 "$WORK"
APID=""
cleanup() {
    [ -n "$APID" ] && kill "$APID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$WORK XDG_CONFIG_HOME=$WORK

"$APP" >"$WORK/app.log" 2>&1 &
APID=$!
WID=$(timeout 10 xdotool search --sync --all --onlyvisible --pid "$APID" --name 'Parvane v2.4' | head -1)
[ -n "$WID" ] || { echo "the main window did not appear"; cat "$WORK/app.log"; exit 1; }

eval "$(xdotool getwindowgeometry --shell "$WID")"
echo "window at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$WIDTH" = 725 ] && [ "$HEIGHT" = 598 ] || { echo "unexpected window size"; exit 1; }

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

# A click on the Target pastes; the program keeps running.
xdotool mousemove --sync $((X + 308 + 180)) $((Y + 120)) sleep 0.1 click 1
sleep 0.2
kill -0 "$APID" || { echo "the program ended"; cat "$WORK/app.log"; exit 1; }

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
    xdotool mousemove --sync $((X + 100)) $((Y + 25)) sleep 0.2 click 1
    sleep 0.5
    xdotool key --delay 80 Home $(printf 'Down %.0s' $(seq "$1")) Return
    local dialog
    dialog=$(timeout 10 xdotool search --sync --onlyvisible --name "$2" | head -1)
    [ -n "$dialog" ] || { echo "the dialog '$2' did not open"; exit 1; }
    xdotool windowfocus --sync "$dialog" key ctrl+a
    xdotool type --delay 5 "$3"
    xdotool key Return
    sleep 1
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
# The tile is pasted on the Target.
xdotool mousemove --sync $((X + 308 + 126 + 100)) $((Y + 46 + 150)) sleep 0.2 click 1
sleep 0.2

# A level through the level dialog: its pages replace the green picture.
"$BUILD/tests/write_test_level" "$WORK/level.dv4" 6 --pages 3 >/dev/null
load_through_menu 2 'EXTRAIRE TEXTURES' "$WORK/level.dv4"
xdotool mousemove --sync $((X + 16 + 30)) $((Y + 46 + 30)) sleep 0.1 mousedown 1 sleep 0.1 mouseup 1
clipboard_holds 64x64 || exit 1
[ "$(pixel "$WORK/clip.png" 5 5)" != "0,200,0" ] || { echo "the level did not replace the picture"; exit 1; }
import -window root "$WORK/source.png" 2>/dev/null || true
kill -0 "$APID" || { echo "the program ended"; cat "$WORK/app.log"; exit 1; }
echo "a level opened through the Source menu"
echo "end-to-end run passed"
