#!/usr/bin/env bash
# Starts the Release build under a virtual display in a fresh working folder,
# answers the start-up windows with the keyboard, types a call, and saves
# screenshots to the folder given (default /tmp/wexon-shots) for a look by eye.
# Usage: scripts/gui_smoke.sh [SHOT_FOLDER]   (after ./run.sh has built once)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
wexon_install_deps xdotool imagemagick

SHOTS=${1:-/tmp/wexon-shots}
BIN=${WEXON_BIN:-$PWD/build/release/src/app/wexon}
[ -x "$BIN" ] || { echo "build first: ./run.sh (or cmake --build build/release)"; exit 1; }
WORK=$(mktemp -d)
mkdir -p "$SHOTS" "$WORK/station" "$WORK/home"
cp data/wexonprf.txt data/arrlpre2.txt data/readwexon.txt "$WORK/station/"

export HOME=$WORK/home
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# The check-partial list switched on, so the typed call shows its matches.
mkdir -p "$HOME/.config/TARNO_Software"
printf '[Settings]\nSuperCheckPartial=1\n' > "$HOME/.config/TARNO_Software/TARNO_Software.ini"

xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
  set -e
  cd "'"$WORK"'/station"
  "'"$BIN"'" & app=$!
  shot() { sleep 0.7; import -window root "'"$SHOTS"'/$1.png"; }
  shot 1-logo
  sleep 2; shot 2-station
  xdotool type --delay 60 "w1aw"; xdotool key Tab; xdotool type --delay 60 "U"
  shot 3-station-completed
  xdotool key Return
  shot 4-continue-question
  xdotool key Return
  shot 5-main
  xdotool type --delay 80 "dl1a"
  shot 6-call-part-typed
  xdotool type --delay 80 "bc"
  shot 7-call-typed
  kill $app
'
echo "screenshots in $SHOTS; log and files in $WORK/station"
ls "$WORK/station"
