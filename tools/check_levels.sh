#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Can the autoplayer clear every level? Plays each level headless, seeded, with unlimited lives,
# and stops it once cleared or after 20 minutes of game time (72,000 frames). Prints a line per
# level and a summary: levels not cleared, the slowest levels, the median per theme and how the
# time to clear rises through each theme.
#
#   tools/check_levels.sh [--build DIR] [--seed S] [--jobs N] [THEME[:FIRST-LAST]] ...
#   tools/check_levels.sh                      every level of the three themes
#   tools/check_levels.sh metal:1-10 alien     some of them
set -euo pipefail
build=build
seed=1
jobs=2
limit=72000
selections=()
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build="$2"; shift 2 ;;
        --seed) seed="$2"; shift 2 ;;
        --jobs) jobs="$2"; shift 2 ;;
        -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) selections+=("$1"); shift ;;
    esac
done
[ ${#selections[@]} -eq 0 ] && selections=(metal volcano alien)
game="$(cd "$build" && pwd)/kalventor"
[ -x "$game" ] || { echo "check_levels: no game at $game (build it first)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for selection in "${selections[@]}"; do
    theme=${selection%%:*}
    range=1-50
    [ "$selection" != "$theme" ] && range=${selection#*:}
    first=${range%-*}
    last=${range#*-}
    for level in $(seq "$first" "$last"); do echo "$theme $level"; done
done > "$work/levels"

# Each run in its own folder with the levels linked in: the settings it writes stay beside them. The start-up
# sequence takes about a hundred frames before play begins.
run_one() {
    local theme=$1 level=$2 dir
    dir=$(mktemp -d -p "$WORK")
    ln -s "$(dirname "$GAME")/levels.dat" "$dir/levels.dat"
    (cd "$dir" && "$GAME" --headless --seed "$SEED" --play "$theme:$level" --autoplay --lives unlimited \
        --one-level --frames $((LIMIT + 200)) 2>/dev/null | tail -n 1) || echo "$theme $level crashed"
    rm -rf "$dir"
}
export -f run_one
export GAME="$game" SEED="$seed" LIMIT="$limit" WORK="$work"
export XDG_DATA_HOME="$work/user-data"   # the player's own settings stay untouched
xargs -P "$jobs" -L 1 bash -c 'run_one "$0" "$1"' < "$work/levels" | tee "$work/results"

awk -v limit="$limit" '
function median(list, n,    i, j, t) {
    for (i = 2; i <= n; i++) { t = list[i]; for (j = i - 1; j >= 1 && list[j] > t; j--) list[j + 1] = list[j]; list[j + 1] = t }
    return n % 2 ? list[(n + 1) / 2] : (list[n / 2] + list[n / 2 + 1]) / 2
}
{
    theme = $1; level = $2; status = $3; frames = $5
    total++
    if (status != "cleared" || frames > limit) { failed = failed sprintf("  %s %d: %s after %s frames\n", theme, level, status, frames); next }
    cleared++
    count[theme]++; times[theme, count[theme]] = frames
    by_level[theme, level] = frames
    all[theme " " level] = frames
}
END {
    printf("\n%d of %d levels cleared within %d frames (20 minutes of game time)\n", cleared, total, limit)
    if (failed != "") printf("not cleared:\n%s", failed)
    n = 0
    for (k in all) { n++; key[n] = k; val[n] = all[k] }
    for (i = 2; i <= n; i++) { tk = key[i]; tv = val[i]; for (j = i - 1; j >= 1 && val[j] < tv; j--) { key[j + 1] = key[j]; val[j + 1] = val[j] } key[j + 1] = tk; val[j + 1] = tv }
    printf("slowest:")
    for (i = 1; i <= n && i <= 5; i++) printf("  %s (%d frames, %.1f min)", key[i], val[i], val[i] / 3600)
    printf("\n")
    split("metal volcano alien", themes, " ")
    for (t = 1; t <= 3; t++) {
        th = themes[t]
        if (!(th in count)) continue
        m = count[th]
        for (i = 1; i <= m; i++) list[i] = times[th, i]
        med = median(list, m)
        # Mean frames over each fifth of the theme, levels 1-10, 11-20, ...
        trend = ""
        for (b = 0; b < 5; b++) {
            s = 0; c = 0
            for (l = b * 10 + 1; l <= b * 10 + 10; l++) if ((th, l) in by_level) { s += by_level[th, l]; c++ }
            trend = trend (c ? sprintf(" %d", s / c) : " -")
        }
        printf("%-8s median %d frames (%.1f min); mean by tens of levels:%s\n", th, med, med / 3600, trend)
    }
}' "$work/results"
