#!/usr/bin/env bash
# Installs the Debian 12 packages Parvane needs, only those that are missing.
#   scripts/setup.sh            packages to build and run the program
#   scripts/setup.sh --tests    also the packages the tests, fuzzers and end-to-end runs use
#   scripts/setup.sh --bench    also the timing tool and the peer readers bench/cold_start.sh uses
set -euo pipefail

# Qt's translation tools build the French catalogue; Qt's own French comes with its
# translations; dpkg-dev and file let cpack find the package's library dependencies.
packages=(g++ cmake ninja-build pkg-config qt6-base-dev zlib1g-dev libjpeg62-turbo-dev
          libpng-dev libtiff-dev libgif-dev libasound2-dev qt6-tools-dev qt6-l10n-tools
          qt6-translations-l10n dpkg-dev file)
if [[ "${1:-}" == "--tests" ]]; then
    packages+=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xauth xdotool
               xclip x11-utils imagemagick clang-format desktop-file-utils appstream
               shared-mime-info python3)
fi
if [[ "${1:-}" == "--bench" ]]; then
    packages+=(hyperfine time imagemagick graphicsmagick libvips-tools)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "Run as root (or install sudo) to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
