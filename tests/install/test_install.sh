#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the game into a temporary DESTDIR, checks the installed tree and its desktop files
# with the freedesktop validators, and starts the installed game from a foreign, read-only
# working directory: it must find its levels and keep its settings in the per-user folder.
# Usage: test_install.sh BUILD_DIR VERSION [CMAKE]
set -eu
build=$1
version=$2
cmake=${3:-cmake}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "FAIL: $1 is missing (sh tools/install-packages.sh installs it)"; exit 1; }; }
need desktop-file-validate
need appstreamcli

root=$tmp/root
DESTDIR=$root "$cmake" --install "$build" --prefix /usr >"$tmp/install.log" || { cat "$tmp/install.log"; exit 1; }
usr=$root/usr
share=$usr/share
desktop=$share/applications/kalventor.desktop
metainfo=$share/metainfo/io.github.kalventor.kalventor.metainfo.xml
manual=$share/man/man6/kalventor.6.gz

# ---- the tree
[ -x "$usr/bin/kalventor" ] || fail "no executable usr/bin/kalventor"
[ -s "$share/kalventor/levels.dat" ] || fail "no usr/share/kalventor/levels.dat"
cmp -s "$share/kalventor/levels.dat" "$build/levels.dat" || fail "installed levels.dat differs from the built one"
for file in "$desktop" "$metainfo" "$manual" "$share/icons/hicolor/scalable/apps/kalventor.svg" \
    "$share/doc/kalventor/copyright" "$share/doc/kalventor/changelog.gz"; do
    [ -s "$file" ] || fail "missing ${file#"$root"}"
done
# Each PNG must be as big as the folder it sits in says (width and height from its IHDR).
for size in 16 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x${size}/apps/kalventor.png
    if [ ! -s "$icon" ]; then fail "missing icon ${icon#"$root"}"; continue; fi
    dims=$(od -An -tu1 -j16 -N8 "$icon" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
    [ "$dims" = "${size}x${size}" ] || fail "icon ${size}x${size} is $dims"
done

# ---- the launcher and the metainfo
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli validate --pedantic $metainfo"
# Started in the data folder, root's saves would land there for every player to read.
! grep -q '^Path=' "$desktop" || fail "launcher sets a working folder: $(grep '^Path' "$desktop")"
grep -qx 'Exec=kalventor' "$desktop" || fail "launcher does not run kalventor"
grep -q '<launchable type="desktop-id">kalventor.desktop</launchable>' "$metainfo" || fail "metainfo names another launcher"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo release is not $version"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "metainfo names no project licence"

# ---- the manual page: renders cleanly, carries the version, documents every option
gzip -dc "$manual" >"$tmp/kalventor.6"
grep -q "\"Kalventor $version\"" "$tmp/kalventor.6" || fail "manual page is not for version $version"
if command -v groff >/dev/null; then
    warnings=$(groff -man -Tutf8 -ww -z "$tmp/kalventor.6" 2>&1)
    [ -z "$warnings" ] || fail "groff warns about the manual page: $warnings"
fi
"$usr/bin/kalventor" --help | grep -o -- '--[a-z-]*' | sort -u >"$tmp/options"
[ -s "$tmp/options" ] || fail "--help lists no options"
while read -r option; do
    grep -qF -- "$(printf '%s' "$option" | sed 's/-/\\-/g')" "$tmp/kalventor.6" || fail "manual page lacks $option"
done <"$tmp/options"
"$usr/bin/kalventor" --version >"$tmp/version"
[ "$(head -n 1 "$tmp/version")" = "kalventor $version" ] || fail "--version does not print kalventor $version"
grep -q 'GNU GPL version 3 or later' "$tmp/version" || fail "--version does not name the licence: $(cat "$tmp/version")"
grep -q 'GNU General Public License' "$tmp/kalventor.6" || fail "manual page does not name the licence"

# ---- the installed game from elsewhere
# A working folder without levels.dat that the game cannot write to, and a per-user folder of
# our own. Root can write anywhere, so as root the game runs as nobody.
elsewhere=$tmp/elsewhere
user_data=$tmp/user-data
mkdir -p "$elsewhere" "$user_data"
chmod 755 "$tmp"
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$user_data"
    run_as() { setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
else
    chmod 555 "$elsewhere"
    run_as() { "$@"; }
fi
status=0
(cd "$elsewhere" && HOME=$user_data XDG_DATA_HOME=$user_data run_as "$usr/bin/kalventor" --headless --seed 1 \
    --play metal:1 --frames 300) >"$tmp/run.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$tmp/run.log"; fail "installed game exited $status from a foreign working directory"; }
settings=$user_data/kalventor/config.dat
[ -f "$settings" ] || fail "no settings in the per-user folder ($(find "$user_data" -type f))"
[ ! -f "$settings" ] || [ "$(wc -c <"$settings")" -eq 802 ] || fail "per-user config.dat is not 802 bytes"
[ ! -e "$elsewhere/config.dat" ] || fail "settings written into the working directory"

# Started by anyone, root too, inside the installed data folder, the saves still go to the
# per-user folder: the installed levels are every player's.
status=0
(cd "$share/kalventor" && HOME=$user_data XDG_DATA_HOME=$user_data "$usr/bin/kalventor" --headless --seed 1 \
    --play metal:1 --frames 300) >"$tmp/inside.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$tmp/inside.log"; fail "installed game exited $status in its data folder"; }
[ ! -e "$share/kalventor/config.dat" ] || fail "settings written beside the installed levels"

# Without levels.dat anywhere it looks, the game stops with exit code 1 and names the file.
lonely=$tmp/lonely
mkdir -p "$lonely/bin"
cp "$usr/bin/kalventor" "$lonely/bin/"
status=0
(cd "$lonely" && HOME=$user_data XDG_DATA_HOME=$user_data ./bin/kalventor --headless --frames 10) >"$tmp/lonely.log" 2>&1 ||
    status=$?
[ "$status" -eq 1 ] || fail "game without levels.dat exited $status, not 1"
grep -q 'levels.dat' "$tmp/lonely.log" || fail "the message does not name levels.dat: $(cat "$tmp/lonely.log")"

if [ "$failures" -gt 0 ]; then
    echo "$failures install check(s) failed"
    exit 1
fi
echo "installed tree, launcher, metainfo, icons, manual page and an installed run are all right"
