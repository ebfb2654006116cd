#!/usr/bin/env bash
# Builds the Debian package of Parvane (build-package/parvane_<version>_<arch>.deb): installs
# what is missing, builds both programs without tests, and packs the install tree with the
# library dependencies read from the binaries.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARVANE_TESTS=OFF \
      -DPARVANE_BENCHMARKS=OFF >/dev/null
cmake --build build-package --target parvane parvane-cli -j"$(nproc)"
(cd build-package && cpack -G DEB)
ls build-package/parvane_*.deb
