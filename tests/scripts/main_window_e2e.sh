#!/bin/bash
# End-to-end run of the desktop program on a real X server: the main window opens with its
# design size, and a drag on the Source canvas with AUTO EXPORT checked puts the cut on the
# system clipboard, where another program reads it.
#   main_window_e2e.sh <build dir> [test data dir]
set -eu
BUILD=$1
APP=$BUILD/parvane
[ -x "$APP" ] || { echo "no $APP"; exit 77; }
for tool in xdotool xclip identify; do
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
echo "end-to-end run passed"
