#!/usr/bin/env bash
# Starts the Release build under a virtual display in a fresh working folder,
# answers the start-up windows with the keyboard, types a call, and saves
# screenshots to the folder given (default /tmp/wexon-shots) for a look by eye.
# Usage: scripts/gui_smoke.sh [SHOT_FOLDER]   (after ./run.sh has built once)
# WEXON_SMOKE_SCREEN sets the screen (default 1600x1000); WEXON_SMOKE_WM=1 runs
# openbox as the window manager, as on a desktop, and prints where the main
# window's frame lies (title bar included) against the screen.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
WM=${WEXON_SMOKE_WM:-0}
if [ "$WM" = 1 ]; then
    wexon_install_deps xdotool imagemagick openbox x11-utils
else
    wexon_install_deps xdotool imagemagick
fi
SCREEN=${WEXON_SMOKE_SCREEN:-1600x1000}

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

xvfb-run -a -s "-screen 0 ${SCREEN}x24" bash -c '
  set -e
  cd "'"$WORK"'/station"
  if [ "'"$WM"'" = 1 ]; then openbox & sleep 1; fi
  # Where the active window and its frame lie: the frame must be on the screen.
  frame() {
    [ "'"$WM"'" = 1 ] || return 0
    local id; id=$(xdotool getactivewindow)
    xwininfo -id "$id" | grep -E "Absolute upper-left|Width|Height" | tr -s " " | tr "\n" ";"
    xprop -id "$id" _NET_FRAME_EXTENTS; echo " ($1)"
  }
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
  sleep 2; frame main-window
  xdotool key ctrl+d
  shot 5b-spotting
  sleep 2; frame spotting-window
  xdotool key Escape; sleep 0.5
  xdotool search --name "Wexon" windowactivate 2>/dev/null || true
  xdotool type --delay 80 "dl1a"
  shot 6-call-part-typed
  xdotool type --delay 80 "bc"
  shot 7-call-typed
  kill $app
'
echo "screenshots in $SHOTS; log and files in $WORK/station"
ls "$WORK/station"
