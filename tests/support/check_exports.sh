#!/bin/sh
# SPDX-License-Identifier: MIT
# Usage: check_exports.sh LIBRARY EXPECTED_LIST
# Passes when the library's defined dynamic symbols are exactly the C functions named in
# EXPECTED_LIST (one a line), apart from the linker's own section markers.
set -eu
library=$1
expected=$2

actual=$(nm -D --defined-only "$library" |
         awk '$3 !~ /^(_init|_fini|_edata|_end|__bss_start)$/ { print $2, $3 }' | sort)
wanted=$(grep -v '^[[:space:]]*$' "$expected" | sed 's/^/T /' | sort)

if [ "$actual" != "$wanted" ]; then
    echo "exports of $library differ from $expected:"
    printf '%s\n' "$wanted" > "${TMPDIR:-/tmp}/exports.wanted.$$"
    printf '%s\n' "$actual" | diff -u "${TMPDIR:-/tmp}/exports.wanted.$$" - || true
    rm -f "${TMPDIR:-/tmp}/exports.wanted.$$"
    exit 1
fi
