#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages Kalventor needs to build, run and test, skipping those that are
# already there. Runs as root, or through sudo for anyone else. lintian and devscripts (for
# hardening-check) check the Debian package as a distribution would.
set -e
packages="build-essential cmake ninja-build pkg-config libsdl2-dev libpng-dev libjpeg-dev
libogg-dev libvorbis-dev libgtest-dev libbenchmark-dev desktop-file-utils appstream
xvfb openbox libx11-dev libxtst-dev libgl1-mesa-dri lintian devscripts"
missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
if [ -z "$missing" ]; then
    echo "All packages Kalventor needs are installed."
    exit 0
fi
if [ "$(id -u)" -eq 0 ]; then as_root=""; else as_root="sudo"; fi
echo "Installing:$missing"
$as_root apt-get update
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y --no-install-recommends $missing
