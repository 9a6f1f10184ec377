#!/bin/sh
# SPDX-License-Identifier: MIT
# Unpacks backup software's changer scripts into DIR for the tests: Bacula's mtx-changer
# (package bacula-sd) into DIR/bacula, Amanda's chg-robot with the Perl modules and libraries
# it runs on (amanda-server, amanda-common) into DIR/amanda. The packages are downloaded once
# into DIR/debs; nothing is installed and no daemon is started.
set -eu
mkdir -p "$1/debs"
dir=$(cd "$1" && pwd)

# Returns success when the pattern (relative to DIR, may hold a *) names an existing file.
present() {
    for found in "$dir"/$1; do
        [ -e "$found" ] && return 0
    done
    return 1
}

# unpack NAME FILE PACKAGE...: unless FILE is under DIR/NAME, unpacks the packages there.
unpack() {
    name=$1
    file=$2
    shift 2
    present "$name/$file" && return 0
    cd "$dir/debs"
    for package in "$@"; do
        ls "${package}"_*.deb >/dev/null 2>&1 || apt-get download "$package"
    done
    rm -rf "${dir:?}/$name"
    for package in "$@"; do
        dpkg -x "${package}"_*.deb "$dir/$name"
    done
    present "$name/$file" || { echo "unpack_backup_scripts.sh: no $file in $*" >&2; exit 1; }
}

unpack bacula etc/bacula/scripts/mtx-changer bacula-sd
unpack amanda 'usr/lib/*/amanda/perl/Amanda/Changer/robot.pm' amanda-server amanda-common
