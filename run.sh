#!/usr/bin/env bash
# Installs what is missing, builds Wexon in Release, puts the files of data/ that
# the working folder station/ lacks into it, and starts the logger there.
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

# The working folder gets every file an installation ships that it does not hold
# yet; files the operator already has (the log, changed settings) are kept.
mkdir -p station
for f in data/*; do
    name=$(basename "$f")
    if [ -f "$f" ] && [ ! -e "station/$name" ]; then
        cp "$f" "station/$name"
        echo "Prepared station/$name"
    fi
done
# The check-partial list of known contest calls comes with Debian's
# hamradio-files; a newer MASTER.SCP the operator puts in station/ is kept.
if [ ! -e station/MASTER.SCP ] && [ -f /usr/share/hamradio-files/MASTER.SCP ]; then
    cp /usr/share/hamradio-files/MASTER.SCP station/MASTER.SCP
    echo "Prepared station/MASTER.SCP"
fi
cd station
exec ../"$BUILD"/src/app/wexon "$@"
