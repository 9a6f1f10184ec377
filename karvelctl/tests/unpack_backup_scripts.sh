#!/bin/sh
# SPDX-License-Identifier: MIT
# Unpacks Bacula's changer script (package bacula-sd) into DIR for the tests, downloading the
# package once into DIR/debs; nothing is installed and no daemon is started.
set -eu
mkdir -p "$1"
dir=$(cd "$1" && pwd)
[ -f "$dir/bacula/etc/bacula/scripts/mtx-changer" ] && exit 0
mkdir -p "$dir/debs"
cd "$dir/debs"
ls bacula-sd_*.deb >/dev/null 2>&1 || apt-get download bacula-sd
rm -rf "$dir/bacula"
dpkg -x bacula-sd_*.deb "$dir/bacula"
test -f "$dir/bacula/etc/bacula/scripts/mtx-changer"
