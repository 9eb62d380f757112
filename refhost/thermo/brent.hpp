// Brent's root finder, shared by the enthalpy and vapour-fraction flashes and
// the critical-point solver.
#pragma once

#include <algorithm>
#include <cmath>

namespace xif::refhost::thermo {

// A root of f on [a, b], where f(a) = fa and f(b) = fb are of opposite sign
// (or one is 0), to xtol. f(x, fx) returns false when it cannot evaluate.
// Returns false on failure or after max_it steps, with x the best estimate;
// iters counts the steps taken.
template <class F>
bool brent(F&& f, double a, double b, double fa, double fb, double xtol, int max_it, double& x,
           int& iters) {
    iters = 0;
    if (fa == 0) {
        x = a;
        return true;
    }
    if (fb == 0) {
        x = b;
        return true;
    }
    if ((fa > 0) == (fb > 0)) return false;
    double c = a, fc = fa, d = b - a, e = d;
    for (; iters < max_it; ++iters) {
        if ((fb > 0) == (fc > 0)) {
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol = 2e-16 * std::fabs(b) + 0.5 * xtol;
        const double m = 0.5 * (c - b);
        if (std::fabs(m) <= tol || fb == 0) {
            x = b;
            return true;
        }
        if (std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
            double p, q, r;
            const double s = fb / fa;
            if (a == c) {
                p = 2 * m * s;
                q = 1 - s;
            } else {
                q = fa / fc;
                r = fb / fc;
                p = s * (2 * m * q * (q - r) - (b - a) * (r - 1));
                q = (q - 1) * (r - 1) * (s - 1);
            }
            if (p > 0)
                q = -q;
            else
                p = -p;
            if (2 * p < std::min(3 * m * q - std::fabs(tol * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = m;
                e = m;
            }
        } else {
            d = m;
            e = m;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tol ? d : (m > 0 ? tol : -tol);
        if (!f(b, fb)) return false;
    }
    x = b;
    return false;
}

} // namespace xif::refhost::thermo
