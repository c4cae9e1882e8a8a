#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the game's screenshots (for the metainfo, once they are published) with its own headless runs, into
# dist/screenshots/. Usage, from the repository root: sh dist/make-screenshots.sh [GAME]
# (GAME defaults to build/kalventor; levels.dat is taken from beside it).
set -e
game=$(realpath "${1:-build/kalventor}")
out=$(realpath "$(dirname "$0")")/screenshots
mkdir -p "$out"
# A fresh working and per-user folder: no settings file of the player's may change a picture.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export XDG_DATA_HOME="$work/data"
"$game" --headless --seed 1 --frames 400 --shot 390:menu.png
"$game" --headless --seed 1 --play metal:3 --autoplay --frames 610 --shot 600:metal.png
"$game" --headless --seed 2 --play volcano:5 --autoplay --frames 1010 --shot 1000:volcano.png
"$game" --headless --seed 3 --play alien:7 --autoplay --frames 1010 --shot 1000:alien.png
for shot in menu metal volcano alien; do
    cp "$shot.png" "$out/$shot.png"
done
echo "screenshots written to $out"
