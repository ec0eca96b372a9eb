#!/usr/bin/env bash
# Installs what is missing, builds Wexon in Release, prepares the working folder
# station/ from data/ when it does not exist yet, and starts the logger in it.
# Headless: xvfb-run ./run.sh
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
wexon_install_deps

BUILD=build/release
JOBS=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DWEXON_BUILD_TESTS=OFF -DWEXON_BUILD_BENCH=OFF
cmake --build "$BUILD" -j "$JOBS" --target wexon

if [ ! -d station ]; then
    mkdir -p station
    cp data/wexonprf.txt data/arrlpre2.txt data/readwexon.txt station/
    echo "Prepared the working folder station/"
fi
cd station
exec ../"$BUILD"/src/app/wexon "$@"
