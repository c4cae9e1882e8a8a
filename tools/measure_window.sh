#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a player's machine pays for the game in a real window: runs it under a virtual X server
# (Xvfb, started here unless DISPLAY is set) in an 800 x 600 window, drawn in software, and
# prints per run the time from exec to the window's map, the CPU share of one core over a
# minute, the peak resident memory, and the game's own --stats (when the display opened, when
# the media were decoded, frame times and presented-frame intervals).
#
#   tools/measure_window.sh [--build DIR] [--runs N] [--measure SECONDS]
#
# Runs: the menus with their backdrop game, and an autoplayed game of METAL from level 1, each
# with --software and with the renderer the game picks by itself; then N starts timed to the map.
set -euo pipefail
build=build
runs=5
measure=60
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build="$2"; shift 2 ;;
        --runs) runs="$2"; shift 2 ;;
        --measure) measure="$2"; shift 2 ;;
        -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "measure_window: unknown option $1" >&2; exit 2 ;;
    esac
done
build=$(cd "$build" && pwd)
probe="$build/tools/xprobe/kalventor-xprobe"
[ -x "$probe" ] || { echo "measure_window: no $probe (needs the X11 headers at build time)" >&2; exit 2; }
work=$(mktemp -d)
cleanup() {
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2> /dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=:77
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
    xvfb=$!
    sleep 1
fi
export XDG_DATA_HOME="$work/data"
cd "$work"
cp "$build/levels.dat" .

run() {
    echo "== $*"
    "$probe" --warm-up 10 --measure "$measure" -- "$build/kalventor" --window --seed 1 --stats "$@"
}
run --software
run
run --software --play metal:1 --autoplay --lives unlimited
run --play metal:1 --autoplay --lives unlimited

echo "== time to the window's map, $runs starts"
for _ in $(seq "$runs"); do
    "$probe" --warm-up 0 --measure 0.5 -- "$build/kalventor" --window --software --stats | grep -E "^(mapped_ms|start-up)"
done
