#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a finished build and checks it as a distribution would:
# lintian at --pedantic with no error or warning, the game in /usr/games with its copyright
# and changelog, the launcher and metainfo valid, and the executable hardened.
# Usage: test_package.sh BUILD_DIR VERSION [CPACK [release|not-for-release]]
# Exits 77 (skipped) for a build that is not for release (a sanitizer build's package is not
# what players get), and where lintian or hardening-check is missing: tools/install-packages.sh
# installs both.
set -eu
build=$1
version=$2
cpack=${3:-cpack}
if [ "${4:-release}" != release ]; then
    echo "SKIPPED: $build is not a release build (sanitizers, no optimiser or hardening off); the release build checks the package"
    exit 77
fi
for tool in lintian hardening-check dpkg-deb objdump readelf; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed (sh tools/install-packages.sh installs it)"; exit 77; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; exit 1; }
deb=$tmp/kalventor_${version}_amd64.deb
[ -s "$deb" ] || { cat "$tmp/cpack.log"; echo "FAIL: no $(basename "$deb")"; exit 1; }

# ---- lintian: errors and warnings fail; what is left (information, pedantic) is shown
lintian --pedantic --display-info --tag-display-limit 0 --fail-on none "$deb" >"$tmp/lintian.log" \
    2>"$tmp/lintian.err" || fail "lintian could not check the package: $(cat "$tmp/lintian.err")"
if grep -q '^[EW]: ' "$tmp/lintian.log"; then
    fail "lintian reports errors or warnings:"
    grep '^[EW]: ' "$tmp/lintian.log"
fi
grep '^[IPX]: ' "$tmp/lintian.log" | sed 's/^/lintian (not failing): /' || true

# ---- what the package holds
root=$tmp/root
dpkg-deb -x "$deb" "$root"
game=$root/usr/games/kalventor
doc=$root/usr/share/doc/kalventor
[ -x "$game" ] || fail "no executable usr/games/kalventor"
[ ! -e "$root/usr/bin" ] || fail "the package has usr/bin: $(ls "$root/usr/bin")"
head -n 1 "$doc/copyright" 2>/dev/null | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "usr/share/doc/kalventor/copyright is missing or not machine-readable"
gzip -dc "$doc/changelog.gz" 2>/dev/null | head -n 1 | grep -q "^kalventor ($version) " ||
    fail "usr/share/doc/kalventor/changelog.gz has no entry for $version on top"
appstreamcli validate --pedantic --no-net "$root/usr/share/metainfo/io.github.kalventor.kalventor.metainfo.xml" ||
    fail "appstreamcli validate --pedantic"
desktop-file-validate "$root/usr/share/applications/kalventor.desktop" || fail "desktop-file-validate"
"$game" --version | grep -q 'GNU GPL version 3 or later' || fail "the packaged game's --version names no licence"

# ---- hardening. Control-flow protection is left out: Debian 12's C start-up files carry no
# CET marking, so no program linked there gets one, whatever it was compiled with.
hardening-check --nocfprotection "$game" >"$tmp/hardening.log" || { cat "$tmp/hardening.log"; fail "hardening-check"; }
for feature in 'Position Independent Executable' 'Stack protected' 'Fortify Source functions' \
    'Read-only relocations' 'Immediate binding'; do
    grep -q "^ $feature: yes" "$tmp/hardening.log" || fail "hardening-check: $(grep "$feature" "$tmp/hardening.log")"
done
# hardening-check knows only the probe loop of variable-sized frames; a fixed frame of 4 KiB or
# more is probed page by page, and read_file's buffer is such a frame.
objdump -d --no-show-raw-insn -M intel "$game" | grep -q 'or  *QWORD PTR \[rsp\],0x0' ||
    fail "no stack-clash probes in the executable"
if readelf -S "$game" | grep -q '\.comment'; then fail "the executable keeps its .comment section"; fi

if [ "$failures" -gt 0 ]; then
    echo "$failures package check(s) failed"
    exit 1
fi
echo "kalventor_${version}_amd64.deb: lintian clean of errors and warnings, hardened, complete"
