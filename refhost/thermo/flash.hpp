// Vapour-liquid flash on a cubic-EOS model. Phase slots are laid out so a
// second liquid can be added: slot 0 vapour, 1 liquid, 2 second liquid
// (unused by the vapour-liquid flash).
#pragma once

#include "eos.hpp"

namespace xif::refhost::thermo {

enum Slot : int { kVapour = 0, kLiquid = 1, kLiquid2 = 2, kSlots = 3 };

struct FlashOptions {
    double T_guess = kNaN;           // initial temperature for P-H, P-vf
    double P_guess = kNaN;           // initial pressure for T-H, T-vf
    const double* K_guess = nullptr; // initial K-values y/x (warm start), n entries
    int max_iter = 200;              // per inner loop
    double tol = 1e-10;              // on ln fugacity differences
    // Components kept out of every liquid (gases that do not dissolve), n
    // entries or nullptr. Their liquid mole fractions are exactly 0, their
    // whole feed goes to the vapour (a vapour exists whenever they are in the
    // feed) and equal fugacities hold for the other components only.
    const bool* vapour_only = nullptr;
    // Only one liquid phase: a split into two liquids is not an answer, and
    // a feed that splits only so is reported as one liquid. Without it, the
    // lighter of two liquids is reported in the vapour's place.
    bool single_liquid = false;
    // The vapour fraction that K_guess gave: where Rachford-Rice starts.
    double beta_guess = kNaN;
    // The state that K_guess came from, where known: a warm start from one
    // far away is tested as a cold split is.
    double K_T = kNaN, K_P = kNaN;
};

// K-value reported for a vapour-only component (finite stand-in for infinity).
inline constexpr double kVapourOnlyK = 1e30;

struct FlashResult {
    Status status = Status::NotConverged;
    double T = kNaN, P = kNaN;
    double vf = kNaN; // vapour molar fraction of the feed
    int nphases = 0;
    bool present[kSlots] = {false, false, false};
    double frac[kSlots] = {0, 0, 0}; // molar phase fractions
    PhaseProps phase[kSlots];
    Vec x[kSlots]{};           // mole fractions per slot; the feed for absent phases
    Vec K{};                   // y/x; Wilson values for single-phase results
    double h = kNaN, s = kNaN; // per kmol feed
    int it_stability = 0, it_ss = 0, it_newton = 0, it_outer = 0;
};

// Temperature and pressure given.
FlashResult flash_tp(const Model& m, double T, double P, const double* z,
                     const FlashOptions& o = {});
// Pressure and molar enthalpy (J/kmol) given.
FlashResult flash_ph(const Model& m, double P, double H, const double* z,
                     const FlashOptions& o = {});
// Temperature and molar enthalpy given.
FlashResult flash_th(const Model& m, double T, double H, const double* z,
                     const FlashOptions& o = {});
// Pressure and vapour fraction given (0: bubble point, 1: dew point).
FlashResult flash_pv(const Model& m, double P, double vf, const double* z,
                     const FlashOptions& o = {});
// Temperature and vapour fraction given.
FlashResult flash_tv(const Model& m, double T, double vf, const double* z,
                     const FlashOptions& o = {});

// Rachford-Rice: vapour fraction beta solving sum z (K-1)/(1+beta(K-1)) = 0
// inside the window where all phase amounts stay positive (negative flash
// allowed). Returns false if no root exists (all K on one side of 1).
// Components flagged in vapour_only (may be nullptr) count with infinite K,
// term z/beta, their K entries unused; with any of them in z the root lies
// in (0, 1/(1 - min K)) and exists iff some other component has K < 1.
bool rachford_rice(int n, const double* z, const double* K, double& beta,
                   const bool* vapour_only = nullptr);

// 1 - beta for a Rachford-Rice root beta just below 1, to the precision of a
// number of its own size: beta holds it only to 1e-16, and the fractions of
// a liquid of 1e-10 beside the gas depend on it. Newton on the same sum in
// psi = 1 - beta, sum z (K-1)/(K - psi (K-1)) = 0, from 1 - beta.
double liquid_share(int n, const double* z, const double* K, double beta,
                    const bool* vapour_only = nullptr);

} // namespace xif::refhost::thermo
