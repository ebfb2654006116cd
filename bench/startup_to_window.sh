#!/bin/bash
# Time from launching Parvane to its main window being mapped on an X server, as a user
# starting the program sees it. Starts a private Xvfb unless DISPLAY is already set.
#   bench/startup_to_window.sh [path/to/parvane] [runs]
set -eu
APP=${1:-build/parvane}
RUNS=${2:-5}
command -v xdotool >/dev/null || { echo "xdotool is missing"; exit 77; }
if [ -z "${DISPLAY:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "xvfb-run is missing"; exit 77; }
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$APP" "$RUNS"
fi
RUNTIME=$(mktemp -d)
chmod 700 "$RUNTIME"
trap 'rm -rf "$RUNTIME"' EXIT
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$RUNTIME XDG_CONFIG_HOME=$RUNTIME

times=()
for run in $(seq "$RUNS"); do
    start=$(date +%s%N)
    "$APP" >/dev/null 2>&1 &
    pid=$!
    # Poll every few milliseconds; xdotool's own --sync waits half a second between looks.
    found=""
    for _ in $(seq 2000); do
        if xdotool search --all --onlyvisible --pid "$pid" --name 'Parvane' >/dev/null 2>&1; then
            found=yes
            break
        fi
        sleep 0.002
    done
    end=$(date +%s%N)
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ -n "$found" ] || { echo "run $run: the window never appeared"; exit 1; }
    ms=$(((end - start) / 1000000))
    times+=("$ms")
    echo "run $run: ${ms} ms to the first shown window"
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "min $(echo "$sorted" | head -1) ms, median $(echo "$sorted" | sed -n "$(((RUNS + 1) / 2))p") ms, max $(echo "$sorted" | tail -1) ms over $RUNS runs"
