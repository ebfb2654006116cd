#!/usr/bin/env bash
# Quick start: installs what is missing, builds Parvane with its tests and runs them all
# offscreen.
#   scripts/test.sh                 the normal build and every test (build/)
#   scripts/test.sh --sanitizers    the same with AddressSanitizer and UBSan (build-asan/)
#   scripts/test.sh --fuzz-smoke    each fuzz harness for a short time on the test corpus
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# CI sets PARVANE_WERROR=ON so that a new warning fails the build.
werror=-DPARVANE_WERROR=${PARVANE_WERROR:-OFF}

# Runs ctest in the current build folder. Everything the tests need is installed above and the
# corpus ships in tests/data, so a skipped test means a broken set-up: the run fails.
run_ctest() {
    local log status
    log=$(mktemp)
    set +e
    ctest -j"$jobs" --output-on-failure 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    set -e
    if grep -q '(Skipped)' "$log"; then
        echo "error: tests were skipped (see the list above)" >&2
        status=1
    fi
    rm -f "$log"
    return "$status"
}

case "${1:-}" in
"")
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$werror" >/dev/null
    cmake --build build -j"$jobs"
    cd build && run_ctest
    ;;
--sanitizers)
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPARVANE_SANITIZERS=ON \
          -DPARVANE_BENCHMARKS=OFF "$werror" >/dev/null
    cmake --build build-asan -j"$jobs"
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
    cd build-asan && run_ctest
    ;;
--fuzz-smoke)
    seconds=${FUZZ_SECONDS:-20}
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DPARVANE_LIBFUZZER=ON -DPARVANE_SANITIZERS=ON -DPARVANE_BENCHMARKS=OFF >/dev/null
    harnesses=$(cd fuzz && ls fuzz_*.cpp 2>/dev/null | sed 's/\.cpp$//')
    [[ -z "$harnesses" ]] && { echo "no fuzz harnesses"; exit 0; }
    cmake --build build-fuzz -j"$jobs" --target $harnesses
    export ASAN_OPTIONS=detect_leaks=0
    for h in $harnesses; do
        corpus=build-fuzz/corpus/$h
        mkdir -p "$corpus"
        echo "== $h for ${seconds}s"
        seeds=()
        for d in tests/data fuzz/regressions; do [[ -d $d ]] && seeds+=("$d"); done
        build-fuzz/fuzz/$h -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
            -max_len=1048576 "$corpus" "${seeds[@]}" 2>&1 | tail -n 3
    done
    ;;
*)
    echo "usage: scripts/test.sh [--sanitizers | --fuzz-smoke]" >&2
    exit 2
    ;;
esac
