#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test;
# then builds and runs the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each fuzz target for a short time on its
# seed corpus. Any failure, sanitizer report or broken promise fails the run.
#   WEXON_SKIP_SANITIZE=1  skips the sanitizer build (for a quick local run)
#   WEXON_FUZZ_SECONDS=N   seconds per fuzz target (default 20; 0 skips fuzzing)
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
wexon_install_deps

BUILD=build/test
JOBS=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWEXON_WERROR=ON \
    -DWEXON_BUILD_TESTS=ON -DWEXON_BUILD_BENCH=ON
cmake --build "$BUILD" -j "$JOBS"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" --timeout 300

if [ "${WEXON_SKIP_SANITIZE:-0}" != 1 ]; then
    JOBS=$JOBS scripts/sanitize.sh
fi

FUZZ_SECONDS=${WEXON_FUZZ_SECONDS:-20}
if [ "$FUZZ_SECONDS" != 0 ]; then
    scripts/fuzz.sh all "$FUZZ_SECONDS"
fi
