#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test.
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
ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" --timeout 120
