// True gas-liquid critical point of a mixture from the host's cubic equation
// of state (Peng-Robinson 1978 alpha or Soave-Redlich-Kwong, one-fluid van der
// Waals mixing with k_ij). The Heidemann-Khalil conditions are solved in
// temperature and molar volume: the Helmholtz-energy Hessian in mole numbers
// is singular and the cubic form along its null vector vanishes.
// SI units on a kmol basis.
#pragma once

#include "types.hpp"

namespace xif::refhost::critical {

enum class Status : int {
    Ok = 0,
    NotFound = 1, // no critical point inside the bounds; Result holds Kay's pseudo-critical point
    BadInput = 2, // bad mixture data or composition; Result holds NaN
};

const char* status_name(Status s);

struct Result {
    double T = thermo::kNaN; // K
    double P = thermo::kNaN; // Pa
    double v = thermo::kNaN; // m3/kmol, untranslated equation-of-state volume; NaN if pseudo
    bool pseudo = false;     // true: Kay's-rule fallback, not a true critical point
    int evaluations = 0;     // Hessian evaluations spent
};

// Critical point of composition z (n = m.n entries, finite, >= 0, not all
// zero; normalised here). Components at zero mole fraction (below 1e-16)
// take no part.
// Volume translation does not move the critical T and P and is ignored.
// On NotFound, out carries Kay's pseudo-critical T and P with pseudo = true,
// so the caller can still answer a value alongside the error code.
Status critical_point(const thermo::Mixture& m, const double* z, Result& out);

// Kay's rule: mole-fraction-weighted Tc and Pc. Bad input gives NaN.
Status kay_pseudocritical(const thermo::Mixture& m, const double* z, Result& out);

} // namespace xif::refhost::critical
