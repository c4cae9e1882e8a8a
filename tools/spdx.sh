#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence line (SPDX-License-Identifier) at the top of every source file that lacks
# it; with --check, only lists those files and fails when there are any. Running it twice
# changes nothing the second time.
#
# Source files: C and C++ sources and headers, CMake files, shell scripts (.sh and .ci/run),
# the level sources (levels/*.txt) and the launcher, manual page and metainfo templates in
# dist/. Not: the media under data/, the icons and screenshots, the fuzz corpora and test data
# (made by our tools, not written), and the documents (README, docs/, LICENSE and
# dist/copyright), which the copyright file covers. The metainfo is under FSFAP, as its
# metadata_license says; everything else is GPL-3.0-or-later.
# Usage: tools/spdx.sh [--check] [ROOT]   (ROOT defaults to the repository holding this script)
set -eu
check=0
if [ "${1:-}" = "--check" ]; then check=1; shift; fi
cd "${1:-$(dirname "$0")/..}"

gpl=GPL-3.0-or-later
# The licence line for a file in its own comment syntax; nothing for a file that is not source.
licence_line() {
    case $1 in
        *.cpp | *.h | *.c) printf '%s\n' "// SPDX-License-Identifier: $gpl" ;;
        CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh | .ci/run | levels/*.txt | dist/*.desktop.in)
            printf '%s\n' "# SPDX-License-Identifier: $gpl" ;;
        dist/*.metainfo.xml.in) printf '%s\n' "<!-- SPDX-License-Identifier: FSFAP -->" ;;
        dist/*.[1-8].in) printf '%s\n' ".\\\" SPDX-License-Identifier: $gpl" ;;
    esac
}

# Tracked files and new ones not ignored; outside a git checkout (a source tarball), every file
# but the build folders.
list_files() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files --cached --others --exclude-standard
    else
        find . \( -path './build*' -o -path ./.git \) -prune -o -type f -print | sed 's|^\./||'
    fi
}

missing=0
for file in $(list_files); do
    [ -f "$file" ] || continue
    line=$(licence_line "$file")
    [ -n "$line" ] || continue
    head -n 5 "$file" | grep -q 'SPDX-License-Identifier:' && continue
    missing=$((missing + 1))
    if [ "$check" -eq 1 ]; then
        echo "$file"
        continue
    fi
    # After a "#!" or "<?xml" first line, which must stay first; otherwise on line 1. The file
    # is rewritten in place, so it keeps its mode.
    tmp=$(mktemp)
    LINE=$line awk 'NR == 1 && /^(#!|<\?xml)/ { print; print ENVIRON["LINE"]; next }
                    NR == 1 { print ENVIRON["LINE"] } { print }
                    END { if (NR == 0) print ENVIRON["LINE"] }' "$file" >"$tmp"
    cat "$tmp" >"$file"
    rm -f "$tmp"
done

if [ "$check" -eq 1 ] && [ "$missing" -gt 0 ]; then
    echo "$missing source file(s) above lack the SPDX-License-Identifier line: run sh tools/spdx.sh"
    exit 1
fi
[ "$check" -eq 1 ] || echo "licence line added to $missing file(s)"
