#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Does a long run hold up? Runs the game headless, seeded, and watches its resident memory:
# a sample every few seconds, then a summary of the memory at the end of the first minute of
# game time and its growth after that. A sanitizer build (-DKALVENTOR_SANITIZE=ON) also reports
# any fault it finds on standard error, and the run then fails.
#
#   tools/soak.sh [--build DIR] [--seed S] [--every SECONDS] [--samples FILE] [-- GAME OPTIONS...]
#   tools/soak.sh --build build-asan                       an hour of the menus' backdrop game
#   tools/soak.sh -- --play volcano:1 --autoplay            a whole autoplayed game
#
# Without game options the run is the menus for 216,000 frames (an hour at 60 frames a second).
# --samples keeps the memory samples (seconds, resident KiB), and the summary shows the memory
# at each quarter of the run, so a slow climb shows apart from a settled level.
set -euo pipefail
build=build
seed=1
every=5
samples_out=""
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build="$2"; shift 2 ;;
        --seed) seed="$2"; shift 2 ;;
        --every) every="$2"; shift 2 ;;
        --samples) samples_out="$2"; shift 2 ;;
        --) shift; break ;;
        -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "soak: unknown option $1" >&2; exit 2 ;;
    esac
done
game_options=("$@")
[ ${#game_options[@]} -eq 0 ] && game_options=(--frames 216000)
game="$(cd "$build" && pwd)/kalventor"
[ -n "$samples_out" ] && samples_out="$(cd "$(dirname "$samples_out")" && pwd)/$(basename "$samples_out")"
[ -x "$game" ] || { echo "soak: no game at $game (build it first)" >&2; exit 2; }

# Its own folder with the levels linked in: the settings written at exit stay here.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data"
ln -s "$(cd "$build" && pwd)/levels.dat" "$work/levels.dat"
cd "$work"
# halt_on_error: the first report ends the run; detect_leaks: what is left at exit is reported.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"
start=$(date +%s)
"$game" --headless --seed "$seed" --stats "${game_options[@]}" > "$work/out.txt" 2> "$work/err.txt" &
pid=$!
# Samples: wall seconds, the game frames shown so far (from the stats line it keeps), resident KiB.
: > "$work/samples"
while kill -0 "$pid" 2> /dev/null; do
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2> /dev/null || true)
    [ -n "$rss" ] && echo "$(( $(date +%s) - start )) $rss" >> "$work/samples"
    sleep "$every"
done
status=0
wait "$pid" || status=$?
cat "$work/out.txt"
if [ -s "$work/err.txt" ]; then
    echo "--- standard error:"
    cat "$work/err.txt"
fi
frames=$(awk '/^frames:/ {print $2}' "$work/out.txt")
seconds=$(( $(date +%s) - start ))
echo "--- soak: ${frames:-?} frames in ${seconds} s, exit code ${status}"
# The first minute of game time, as a share of the run's wall time.
if [ -n "$frames" ] && [ "$frames" -gt 3600 ]; then
    awk -v cut="$(( seconds * 3600 / frames ))" '
        # base: the first sample taken once the first minute of play is over.
        { t = $1; kib = $2; if (t >= cut && base == "") base = kib; if (t > cut && kib > peak) peak = kib; last = kib; n++ }
        { kept[n] = kib }
        END {
            if (base == "") base = last;
            printf "resident after the first minute of play %.1f MiB, highest after it %.1f MiB (%+.1f MiB), at the end %.1f MiB, %d samples\n",
                   base / 1024, peak / 1024, (peak - base) / 1024, last / 1024, n
            printf "resident at each quarter of the run: %.1f %.1f %.1f %.1f MiB\n", kept[int(n / 4)] / 1024,
                   kept[int(n / 2)] / 1024, kept[int(3 * n / 4)] / 1024, kept[n] / 1024
        }' "$work/samples"
fi
[ -n "$samples_out" ] && cp "$work/samples" "$samples_out"
exit "$status"
