// Vapour-liquid-liquid flash. Each routine runs the vapour-liquid flash,
// tests the liquid (or the single phase) for a further phase by tangent-plane
// analysis, and splits three ways when it is unstable.
//
// Slots: kVapour is the phase of largest molar volume when it is not a dense
// phase (of two phases, a gas beside a liquid whatever their volumes); of two
// liquids, kLiquid is the one with less water when
// Mixture::water names it (the organic liquid), else the one of lower mass
// density; kLiquid2 is the other. K = y/x1 when vapour and liquid 1 are
// present, else x2/x1 for two liquids, else Wilson values.
//
// FlashOptions::K_guess is not used here: a warm start can hold a metastable
// pair of liquids where gas and liquid are stable. The T and P estimates are.
// A two-component feed has three phases at one T for a given P (and one P for
// a given T); inside that jump the state is built from the phases on both
// sides with the amounts from the material balance and the vapour fraction or
// the enthalpy.
#pragma once

#include "flash.hpp"

namespace xif::refhost::thermo {

FlashResult flash3_tp(const Model& m, double T, double P, const double* z,
                      const FlashOptions& o = {});
FlashResult flash3_ph(const Model& m, double P, double H, const double* z,
                      const FlashOptions& o = {});
FlashResult flash3_th(const Model& m, double T, double H, const double* z,
                      const FlashOptions& o = {});
FlashResult flash3_pv(const Model& m, double P, double vf, const double* z,
                      const FlashOptions& o = {});
FlashResult flash3_tv(const Model& m, double T, double vf, const double* z,
                      const FlashOptions& o = {});

// Three-phase Rachford-Rice by minimising the convex function
// -sum z ln(1 + b1 (K1 - 1) + b2 (K2 - 1)) over the region where all phase
// mole fractions stay in [0, 1] (Okuno, Johns & Sepehrnoori 2010). K1, K2 are
// relative to the reference phase; b may leave [0, 1] (negative flash).
// On entry b is a starting point (used if feasible). False if no feasible point is found.
bool rachford_rice3(int n, const double* z, const double* K1, const double* K2, double b[2]);

} // namespace xif::refhost::thermo
