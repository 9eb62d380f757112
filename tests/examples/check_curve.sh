#!/bin/sh
# Runs the cooling-curve example and checks its output for the physics of a
# condensing stream; with a second program, also that both print the same
# numbers (the Fortran program drives xif through include/xif/xif.f90, so a
# wrong binding there shows up as a difference).
#   check_curve.sh <program> [<second program>]
set -eu
fail() { echo "FAIL: $*"; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT

"$1" > "$out" || fail "$1 exited with status $?"

awk '
function bad(msg) { print "FAIL: " msg; failed = 1; exit 1 }
function near(a, b, tol) { d = a - b; if (d < 0) d = -d; s = (a < 0 ? -a : a); return d <= tol * (s > 1 ? s : 1) }
$1 == "components" { nc = $2 }
$1 == "inlet" { t_in = $2; p = $3; h_in = $4; mw = $5 }
$1 == "outlet" { t_out = $2; h_out = $4 }
$1 == "point" && $2 != "T" {
    n++
    for (j = 2; j <= 8; j++) v[n, j] = $j
}
END {
    if (failed) exit 1
    if (nc != 3) bad("component count " nc ", not 3")
    if (n != 5) bad(n " points, not 5")
    if (!(mw > 44 && mw < 73)) bad("molecular weight " mw " outside the components range")
    if (!(h_out < h_in)) bad("outlet enthalpy not below inlet")
    # P-H flashes at the end enthalpies recover the T-P states.
    if (!near(v[1, 2], t_in, 1e-6)) bad("first point T " v[1, 2] " is not the inlet " t_in)
    if (!near(v[n, 2], t_out, 1e-6)) bad("last point T " v[n, 2] " is not the outlet " t_out)
    for (k = 1; k <= n; k++) {
        h = h_in + (h_out - h_in) * (k - 1) / (n - 1)
        d = v[k, 4] - h
        if (d > 1e-8 * (h_in - h_out) || -d > 1e-8 * (h_in - h_out)) bad("point " k " enthalpy " v[k, 4] " is not the duty step " h)
        if (k > 1 && !(v[k, 2] < v[k - 1, 2])) bad("T does not fall at point " k)
        if (k > 1 && !(v[k, 3] < v[k - 1, 3]) && k < n) bad("vapour fraction does not fall at point " k)
        if (v[k, 3] < 0 || v[k, 3] > 1) bad("vapour fraction " v[k, 3] " at point " k)
        for (j = 5; j <= 8; j++) {
            vapour = (j == 5 || j == 7)
            absent = (vapour && v[k, 3] == 0) || (!vapour && v[k, 3] == 1)
            if (absent && v[k, j] != "missing") bad("absent phase has a value at point " k ", column " j)
            if (!absent && !(v[k, j] + 0 > 0)) bad("no positive value at point " k ", column " j)
        }
        if (v[k, 3] > 0 && v[k, 3] < 1) {
            if (!(v[k, 6] > 3 * v[k, 5])) bad("liquid viscosity not above vapour at point " k)
            if (!(v[k, 8] > 10 * v[k, 7])) bad("liquid density not above vapour at point " k)
        }
    }
    if (v[1, 3] != 1) bad("the inlet is not all vapour")
    if (v[n, 3] != 0) bad("the outlet is not all liquid")
    if (!(v[2, 3] > 0 && v[n - 1, 3] < 1)) bad("no two-phase points")
    # Ideal-gas check of the superheated inlet: Z between 0.8 and 1.
    z = p * mw / (v[1, 7] * 8314.462618 * t_in)
    if (!(z > 0.8 && z < 1)) bad("inlet compressibility " z)
    print "curve: " n " points, physics as expected"
}' "$out"

[ $# -ge 2 ] || exit 0
"$(dirname "$0")/same_numbers.sh" "$1" "$2"
