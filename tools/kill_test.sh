#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Kills autoplayed games with SIGKILL at random moments and checks after each kill that
# config.dat is whole and still holds every unlock seen saved before.
#
#   tools/kill_test.sh [--build DIR] [--rounds N] [--seed S]
#
# Each round plays the highest unlocked level of a theme chosen in turn, so the rounds earn new
# unlocks as they go; the kill falls anywhere from the start-up to a few levels in. Everything
# happens in a folder of its own (the per-user folder too), removed at the end.
set -eu

build=build
rounds=100
seed=1
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build="$2"; shift 2 ;;
        --rounds) rounds="$2"; shift 2 ;;
        --seed) seed="$2"; shift 2 ;;
        *) echo "usage: $0 [--build DIR] [--rounds N] [--seed S]" >&2; exit 2 ;;
    esac
done

game="$(cd "$build" && pwd)/kalventor"
[ -x "$game" ] || { echo "kill_test: no game at $game" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$(cd "$build" && pwd)/levels.dat" "$work/levels.dat"
export XDG_DATA_HOME="$work/data"
cd "$work"

# Prints the unlocked positions (1..150) of config.dat, one per line; fails on a bad file.
unlocks() {
    python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
if len(data) != 802:
    sys.exit("config.dat is %d bytes, not 802" % len(data))
for i in range(1, 151):
    word, = struct.unpack_from('<i', data, 202 + 4 * (i - 1))
    if word == 3 * i * i + 15 * i + 10:
        print(i)
EOF
}

# The highest unlocked level of a theme (0..2), from the list of unlocked positions.
highest() {
    top=1
    for p in $(cat seen.txt); do
        [ "$(( (p - 1) / 50 ))" -eq "$1" ] && [ "$(( (p - 1) % 50 + 1 ))" -gt "$top" ] && top=$(( (p - 1) % 50 + 1 ))
    done
    echo "$top"
}

: > seen.txt
failures=0
killed_saving=0
r=0
while [ "$r" -lt "$rounds" ]; do
    theme_index=$(( r % 3 ))
    theme=$(echo "metal volcano alien" | cut -d' ' -f$(( theme_index + 1 )))
    level=$(highest "$theme_index")
    "$game" --headless --no-drawing --seed $(( seed + r )) --play "$theme:$level" --autoplay --lives unlimited > /dev/null 2>&1 &
    pid=$!
    # Anywhere from 0 to 25 s: start-up, the first levels, the saves at each unlock.
    sleep "$(awk -v s=$(( seed * 7919 + r )) 'BEGIN { srand(s); printf "%.3f", rand() * 25 }')"
    kill -9 "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
    r=$(( r + 1 ))
    [ -e config.dat ] || { [ -s seen.txt ] && { echo "round $r: config.dat is gone"; failures=$(( failures + 1 )); }; continue; }
    if ! unlocks config.dat > now.txt; then
        echo "round $r: config.dat is damaged"
        failures=$(( failures + 1 ))
        continue
    fi
    sort now.txt > now.sorted
    lost=$(sort seen.txt | comm -23 - now.sorted | tr '\n' ' ')
    if [ -n "$lost" ]; then
        echo "round $r: unlocks lost: $lost"
        failures=$(( failures + 1 ))
    fi
    sort -u seen.txt now.txt > seen.new && mv seen.new seen.txt
    # A save cut short leaves its temporary file; the next save in the folder removes it.
    killed_saving=$(ls | grep -c '^config\.dat\..*\.kalventor-tmp$' || true)
done
echo "kill_test: $rounds rounds, $(wc -l < seen.txt) levels unlocked in the end, $failures failures," \
     "$killed_saving temporary files of cut saves left at the end"
[ "$failures" -eq 0 ]
