#!/bin/sh
# Runs two programs and fails unless they print the same lines: the same
# words, and numbers of the same value however they are written (C's
# 1.5e+00 and Fortran's 1.5E+00 alike).
#   same_numbers.sh <program> <other program>
set -eu
fail() { echo "FAIL: $*"; exit 1; }
one=$(mktemp) two=$(mktemp)
trap 'rm -f "$one" "$two"' EXIT
"$1" > "$one" || fail "$1 exited with status $?"
"$2" > "$two" || fail "$2 exited with status $?"
[ -s "$one" ] || fail "$1 printed nothing"
awk '
function bad(msg) { print "FAIL: " msg; failed = 1; exit 1 }
NR == FNR { line[FNR] = $0; lines = FNR; next }
{
    if (FNR > lines) bad("the second program prints more lines")
    na = split(line[FNR], a); nb = split($0, b)
    if (na != nb) bad("line " FNR " has " nb " fields, not " na ": " $0)
    for (j = 1; j <= na; j++) {
        if (a[j] ~ /^[-+]?[0-9]/) {
            if (a[j] + 0 != b[j] + 0) bad("line " FNR " field " j ": " a[j] " and " b[j])
        } else if (tolower(a[j]) != tolower(b[j])) bad("line " FNR " field " j ": " a[j] " and " b[j])
    }
    seen = FNR
}
END {
    if (failed) exit 1
    if (seen != lines) bad("the second program prints " seen " lines, not " lines)
    print "both programs print the same " lines " lines"
}' "$one" "$two"
