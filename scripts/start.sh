#!/usr/bin/env bash
# Quick start: installs what is missing, builds Parvane and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target parvane -j"$(nproc)"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found (DISPLAY is not set): start Parvane from a desktop session," \
         "or under Xvfb with: xvfb-run -a build/parvane" >&2
    exit 1
fi
exec build/parvane
