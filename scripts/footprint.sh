#!/usr/bin/env bash
# Measures the program's resident memory the way an operator meets it: the
# Release build started under a virtual display in a working folder prepared as
# run.sh prepares one, with a 13000-contact log and the check-partial list on.
# Prints VmRSS (and the private part of it) once the main window is ready, with
# the settings a new installation has, and again with the check-partial list
# switched on (Options menu) and the spotting, rig and CW windows open.
# Usage: scripts/footprint.sh [CONTACTS]   (after ./run.sh has built once)
#   WEXON_BIN points it at another build; SHOTS=DIR keeps screenshots there.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
wexon_install_deps xdotool imagemagick

CONTACTS=${1:-13000}
BIN=${WEXON_BIN:-$PWD/build/release/src/app/wexon}
[ -x "$BIN" ] || { echo "build first: ./run.sh (or cmake --build build/release)"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/station" "$WORK/home"
for f in data/*; do [ -f "$f" ] && cp "$f" "$WORK/station/"; done
[ -f /usr/share/hamradio-files/MASTER.SCP ] && cp /usr/share/hamradio-files/MASTER.SCP "$WORK/station/"

# A log of real-looking contacts: calls from many prefixes, five bands.
python3 - "$CONTACTS" > "$WORK/station/log.txt" <<'PY'
import random, sys
random.seed(7)
n = int(sys.argv[1])
prefixes = ["K", "W", "N", "DL", "G", "F", "I", "JA", "VE", "UA", "SP", "OK", "EA", "PY", "LU", "VK", "ZL", "ON", "PA", "OH"]
bands = ["10", "15", "20", "40", "80"]
out = []
for i in range(1, n + 1):
    p = random.choice(prefixes)
    call = f"{p}{random.randint(0, 9)}{''.join(random.choice('ABCDEFGHIJKLMNOPQRSTUVWXYZ') for _ in range(random.randint(1, 3)))}"
    h, m, s = (i // 3600) % 24, (i // 60) % 60, i % 60
    out.append(f'"{call}","599","{random.randint(1, 2000)}","599","Somewhere","2026/05/30","{h:02}:{m:02}:{s:02}","{random.choice(bands)}",{random.randint(1, 6)},"{call[:3]}","{i:03}","14.025"\r\n')
sys.stdout.write("".join(out))
PY

export HOME=$WORK/home
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

SHOTS=${SHOTS:-}
export WORK BIN SHOTS
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
  set -e
  cd "$WORK/station"
  "$BIN" > "$WORK/out.txt" 2>&1 & app=$!
  shot() { [ -z "$SHOTS" ] || { mkdir -p "$SHOTS"; import -window root "$SHOTS/$1.png"; }; }
  rss() {
      awk "/^VmRSS/ {r=\$2} END {printf \"%.1f MB\", r/1024}" /proc/$app/status
      awk "/^(Private_Clean|Private_Dirty)/ {p+=\$2} END {printf \" (private %.1f MB)\n\", p/1024}" /proc/$app/smaps_rollup
  }
  sleep 3
  xdotool type --delay 40 "w1aw"; xdotool key Tab; xdotool type --delay 40 "U"
  xdotool key Return; sleep 1; shot 1-question
  xdotool key Return; sleep 6; shot 2-ready
  echo "at ready:            $(rss)"
  xdotool key alt+o; sleep 0.5; xdotool key c; sleep 2
  xdotool type --delay 80 "dl1a"; sleep 1
  xdotool key ctrl+d; sleep 2
  main=$(xdotool search --name "CQ WPX Contest Logger" | head -1 || true)
  [ -n "$main" ] && xdotool windowfocus --sync "$main" 2>/dev/null || true
  xdotool key ctrl+r; sleep 2
  [ -n "$main" ] && xdotool windowfocus --sync "$main" 2>/dev/null || true
  xdotool key ctrl+c; sleep 3; shot 3-windows
  echo "with windows open:   $(rss)"
  kill $app; wait $app 2>/dev/null || true
'
