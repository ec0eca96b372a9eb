#!/usr/bin/env bash
# Installs what is missing, builds the program and its tests with warnings as
# errors under AddressSanitizer and UndefinedBehaviorSanitizer, and runs every
# test there; then runs each fuzz target for a short time on its seed corpus.
# Any failure, sanitizer report or broken promise fails the run.
#   WEXON_SKIP_SANITIZE=1  builds and tests without the sanitizers (quicker)
#   WEXON_BENCH=ON         builds the benchmarks too (they are built, not run)
#   WEXON_FUZZ_SECONDS=N   seconds per fuzz target (default 10; 0 skips fuzzing)
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
wexon_install_deps

JOBS=$(nproc 2>/dev/null || echo 2)
if [ "${WEXON_SKIP_SANITIZE:-0}" = 1 ]; then
    BUILD=build/test
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWEXON_WERROR=ON \
        -DWEXON_BUILD_TESTS=ON -DWEXON_BUILD_BENCH="${WEXON_BENCH:-OFF}"
    cmake --build "$BUILD" -j "$JOBS"
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" --timeout 300
else
    # One build serves both: the sanitizers catch what the plain run would,
    # and more, so the suite is built and run once.
    JOBS=$JOBS scripts/sanitize.sh
fi

FUZZ_SECONDS=${WEXON_FUZZ_SECONDS:-10}
if [ "$FUZZ_SECONDS" != 0 ]; then
    scripts/fuzz.sh all "$FUZZ_SECONDS"
fi
