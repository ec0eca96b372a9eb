#!/usr/bin/env bash
# A station network on one computer: starts a Mosquitto broker on 127.0.0.1
# and two Wexon stations, RUN1 and MULT, that log into one station log.
# Each station has its own working folder, documents folder and settings under
# multiop/<station>/, prepared like run.sh prepares station/. Closing both
# windows (or Ctrl+C) stops the broker too; the folders are kept for the next run.
#
#   scripts/multiop_demo.sh            broker on port 18830
#   WEXON_DEMO_PORT=1883 scripts/multiop_demo.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
wexon_install_deps

BUILD=build/release
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DWEXON_BUILD_TESTS=OFF -DWEXON_BUILD_BENCH=OFF
cmake --build "$BUILD" -j "$(nproc 2>/dev/null || echo 2)" --target wexon

DEMO=$PWD/multiop
PORT=${WEXON_DEMO_PORT:-18830}
mkdir -p "$DEMO/broker/db"
cat > "$DEMO/broker/mosquitto.conf" <<CONF
listener $PORT 127.0.0.1
allow_anonymous true
persistence true
persistence_location $DEMO/broker/db/
autosave_on_changes true
max_queued_messages 1000000
set_tcp_nodelay true
CONF
[ "$(id -u)" = 0 ] && echo "user root" >> "$DEMO/broker/mosquitto.conf"
mosquitto -c "$DEMO/broker/mosquitto.conf" &
BROKER=$!
PIDS=()
cleanup() {
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    kill "$BROKER" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

for st in RUN1 MULT; do
    base=$DEMO/$st
    mkdir -p "$base/work" "$base/home/Documents" "$base/config/TARNO_Software"
    for f in data/*; do
        name=$(basename "$f")
        if [ -f "$f" ] && [ ! -e "$base/work/$name" ]; then
            cp "$f" "$base/work/$name"
        fi
    done
    ini=$base/config/TARNO_Software/TARNO_Software.ini
    if [ ! -e "$ini" ]; then
        cat > "$ini" <<INI
[Settings]
Network\\On=1
Network\\Host=127.0.0.1
Network\\Port=$PORT
Network\\Station=$st
Network\\Operator=
Network\\Category=MULTI-ONE
Network\\ContestId=WPX-DEMO
INI
    fi
    (cd "$base/work" && HOME=$base/home XDG_CONFIG_HOME=$base/config \
        "$OLDPWD/$BUILD/src/app/wexon") &
    PIDS+=($!)
    echo "Started station $st in $base/work"
done
wait "${PIDS[@]}"
