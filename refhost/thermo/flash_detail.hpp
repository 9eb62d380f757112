// Internal pieces shared by the flash routines (not installed).
#pragma once

#include "flash.hpp"

#include <algorithm>
#include <cmath>

namespace xif::refhost::thermo::detail {

inline constexpr int kMatDim = kMaxComponents + 1;
using Mat = std::array<std::array<double, kMatDim>, kMatDim>;

// Solves A x = b in place (b becomes x) by LU with partial pivoting.
bool solve_dense(int n, Mat& A, double* b);

// The same for a symmetric A: by Cholesky where A is positive definite (a
// third of the work), else by LU. cholesky, when given, tells whether A's
// lower triangle now holds the Cholesky factor (with 1/L(j, j) on the diagonal).
bool solve_symmetric(int n, Mat& A, double* b, bool* cholesky = nullptr);
// Solves again with the Cholesky factor that solve_symmetric left in A.
bool cholesky_solve(int n, const Mat& A, double* b);

// Vapour-only components (FlashOptions::vapour_only) for a normalised feed.
struct VapourOnly {
    bool on[kMaxComponents] = {}; // flagged, whether in the feed or not
    bool any = false;             // some flagged component has z > 0
    double zsum = 0;              // their total feed fraction
    int condensable = 0;          // components with z > 0 not flagged
};
VapourOnly vapour_only(const Model& m, const FlashOptions& o, const double* z);
inline const double kLnVapourOnlyK = std::log(kVapourOnlyK); // ln K held for them
// Reporting on a finished result: K = kVapourOnlyK for flagged components,
// their share 0 in absent liquid slots (the rest renormalised). Present
// liquids already hold exactly 0.
void report_vapour_only(const VapourOnly& vo, int n, FlashResult& r);

// Number of components with z > 0 and the index of the last one.
int active_components(int n, const double* z, int& last);

// Largest magnitude of the first n entries: a residual's size.
inline double max_abs(int n, const double* v) {
    double s = 0;
    for (int i = 0; i < n; ++i)
        s = std::max(s, std::fabs(v[i]));
    return s;
}

// Largest difference between the mole fractions of trial phase W (its
// amounts summing to sw) and composition x: how close a phase test's trial
// has come to a phase.
inline double distance(int n, const double* W, double sw, const double* x) {
    double d = 0;
    for (int i = 0; i < n; ++i)
        d = std::max(d, std::fabs(W[i] / sw - x[i]));
    return d;
}

// Whether a trial of the phase test is closing in on the tested phase w
// itself: within 0.05 of it in every mole fraction (dist) on the same root
// branch (Z of trial and phase within 10 %), where its positive tangent-plane
// distance tm is the quadratic form that the gradient g gives, tm = beta / 2
// to 10 %, beta = sum (W - w) g. There substitution contracts to the trivial
// solution, which it need not reach.
inline bool closing_on_phase(double tm, double beta, double dist, double Zt, double Zw) {
    return tm > 0 && beta > 0 && dist < 0.05 && std::fabs(2.0 * tm / beta - 1.0) < 0.1 &&
           std::fabs(Zt - Zw) < 0.1 * Zw;
}

// Whether a trial has ended on the tested phase (volume Zw): within 1e-5 of
// it on the same root, or closing in on it as above (not with vapour-only
// components, whose gas the trials leave out).
inline bool on_tested_phase(double tm, double beta, double dist, double Zt, double Zw,
                            bool vapour_only) {
    return (dist < 1e-5 && std::fabs(Zt - Zw) < 1e-5 * Zw) ||
           (!vapour_only && closing_on_phase(tm, beta, dist, Zt, Zw));
}

// A liquid-like trial against a gas can take up what the gas is rich in, run
// onto the gas's own root and close in on the gas, past a liquid below the
// tangent plane (aqueous ammonia from a water-rich start under an ammonia
// gas). Such a trial, begun on a root below half the tested phase's, is
// taken again held on the liquid root. Up to its first step on a root other
// than the smallest, the held trial would take the same steps, so it
// resumes from that step; a trial that never left the smallest root would
// only repeat itself, and ends as it did.
struct LiquidHold {
    double z_first = 0.0; // the root the trial began on
    int from = -1;        // the first step on another root; -1 while there is none
    Vec W, lnW;
    double dprev[kMaxComponents];

    // Step `it` took root Z among roots rs, chosen as `root`.
    void note(int n, int it, Root root, const Model::Roots& rs, double Z, const Vec& w,
              const Vec& lnw, const double* dp) {
        if (it == 0) z_first = Z;
        if (from >= 0 || root != Root::MinGibbs || rs.n < 2 || Z == rs.z[0]) return;
        from = it;
        W = w;
        lnW = lnw;
        std::copy_n(dp, n, dprev);
    }

    // At a trial that has ended on the tested phase (volume z_tested): whether
    // it goes on, held on the liquid root from the step it resumes with (`it`
    // set to the step before).
    bool resume(int n, Root& root, double z_tested, int& it, Vec& w, Vec& lnw, double* dp) const {
        if (root != Root::MinGibbs || !(z_first < 0.5 * z_tested) || from < 0) return false;
        root = Root::Liquid;
        w = W;
        lnw = lnW;
        std::copy_n(dprev, n, dp);
        it = from - 1;
        return true;
    }
};

// The lowest point below the tangent plane that a trial passed: it proves
// the tested phase unstable wherever the trial goes on to (a trace of water
// can swing an ammonia-rich trial round a cycle and off the plane again).
struct LowestPoint {
    double tm = -1e-8, Z = 0.0;
    Vec W;

    void note(int n, double t, double z, const Vec& w) {
        if (!(t < tm)) return;
        tm = t;
        Z = z;
        std::copy_n(w.data(), n, W.data());
    }
    // At the trial's end: whether it ended above the plane after passing
    // below it, and if so the lowest point as its answer.
    bool take(int n, double& t, double& z, Vec& w) const {
        if (t < -1e-8 || !(tm < -1e-8)) return false;
        t = tm;
        z = Z;
        std::copy_n(W.data(), n, w.data());
        return true;
    }
};

// A trial converged to within 1e-5 in its ln W steps on a stationary point
// above the tangent plane by 1e-3 or more: what is left of its steps cannot
// take it below.
inline bool settled_above(double tm, double err) {
    return err < 1e-5 && tm > 1e-3;
}

// Every `every`-th step of a substitution, the factor by which the step is
// lengthened from the dominant eigenvalue lam = dd/pd of the iteration (the
// sums of r.r and r.r_prev): lam / (1 - lam) where it converges, else 0.
inline double dominant_eigen_accel(int it, int every, double dd, double pd) {
    if (it % every != every - 1 || pd == 0) return 0.0;
    const double lam = dd / pd;
    return lam > 0 && lam < 0.95 ? lam / (1.0 - lam) : 0.0;
}

// One substitution step of a phase test's trial W (with ln W kept) against
// the tested phase w, d_i = ln w_i + ln phi_i(w), at the trial's ln phi lp:
// its tangent-plane distance tm, its steps dl = d - ln phi - ln W and their
// largest size err, the products dd = dl.dl and pd = dl.dprev that tell the
// dominant eigenvalue, its amounts' sum sw and beta = -sum (W - w) dl.
struct TrialStep {
    double tm, err, dd, pd, sw, beta;
    double dl[kMaxComponents]; // the first n
};
inline void trial_step(int n, const double* W, const double* lnW, const double* lp, const double* d,
                       const double* dprev, const double* w, TrialStep& s) {
    double tm = 1.0, err = 0, dd = 0, pd = 0, sw = 0, beta = 0;
    for (int i = 0; i < n; ++i) {
        s.dl[i] = 0;
        if (!(W[i] > 0)) continue;
        const double lw = lnW[i];
        const double dl = d[i] - lp[i] - lw;
        tm += W[i] * (lw + lp[i] - d[i] - 1.0);
        s.dl[i] = dl;
        err = std::max(err, std::fabs(dl));
        dd += dl * dl;
        pd += dl * dprev[i];
        beta -= (W[i] - w[i]) * dl;
        sw += W[i];
    }
    s.tm = tm;
    s.err = err;
    s.dd = dd;
    s.pd = pd;
    s.sw = sw;
    s.beta = beta;
}

// Takes the step: every `every`-th one extrapolated by the dominant
// eigenvalue, each ln W change held within 50; dprev becomes dl.
inline void advance_trial(int n, int it, int every, const TrialStep& s, Vec& W, Vec& lnW,
                          double* dprev) {
    // A step that turns back on the last (an eigenvalue near -1) is halved:
    // an ammonia and water liquid under a gas swings between its
    // ammonia-rich and water-rich forms, and the stationary point lies
    // between them.
    // Steps still large after 20 are halved too: water in an ammonia-rich
    // trial can cycle through three points for good.
    const double f = s.err > 1.0 && (s.pd < -0.8 * s.dd || it >= 20)
                         ? 0.5
                         : 1.0 + dominant_eigen_accel(it, every, s.dd, s.pd);
    for (int i = 0; i < n; ++i) {
        if (W[i] > 0) {
            lnW[i] += std::clamp(s.dl[i] * f, -50.0, 50.0);
            W[i] = std::exp(lnW[i]);
        }
        dprev[i] = s.dl[i];
    }
}

// How both flashes tell a liquid by its cubic: a phase with two distinct
// roots is a liquid on the lower one; on its one root it can be one only
// below 4 b (under the equation's critical volume for both equations) and
// below the pseudo-critical temperature of its one fluid, and is one there
// when also liquid-like.
inline bool distinct_roots(const Model::Roots& q) {
    return q.n > 1 && q.z[q.n - 1] - q.z[0] > 1e-9 * q.z[q.n - 1];
}
inline bool liquid_range(const Model& m, const Model::Roots& q) {
    return q.n > 0 && q.z[0] < 4.0 * q.B && m.subcritical(q);
}

// Of two phases, whether a is the vapour: a gas beside a liquid (liquid-like
// and below its pseudo-critical temperature) whatever their molar volumes,
// else the larger molar volume. Hydrogen at 230 bar and 150 K has a smaller
// molar volume than liquid propanol beside it, at a thirtieth of its density.
inline bool gas_like(const PhaseProps& p) {
    return !(p.liquid_like && p.subcritical);
}
inline bool vapour_of_two(const PhaseProps& a, const PhaseProps& b) {
    if (gas_like(a) != gas_like(b)) return gas_like(a);
    return a.v > b.v;
}

bool roots_consistent(const Model& m, double T, double P, const double* x, Root rx, const double* y,
                      Root ry);

// Fills single- and two-phase results (properties, fractions, labels).
// root: the feed's lower-Gibbs root, or Vapour (a feed holding vapour-only
// components: the vapour whatever its density) or Liquid (a feed of two
// liquids where one is allowed: one liquid) whatever its density.
Status fill_single(const Model& m, double T, double P, const double* z, FlashResult& r,
                   Root root = Root::MinGibbs);
// tx and ty, when given, are the terms that lnphi kept for x and y on rl
// and rv at this T and P.
Status fill_two(const Model& m, double T, double P, double beta, const double* x, const double* y,
                Root rl, Root rv, bool relabel, FlashResult& r, Model::Terms* tx = nullptr,
                Model::Terms* ty = nullptr);

// T-P split from K-values K (y/x, z normalised) with the x phase held on
// root rl and the y phase on rv while iterating. True with r filled (the
// lighter phase as vapour) if it converges inside (0, 1) on the lower-Gibbs
// roots and below the feed's Gibbs energy. Counts add to r's.
bool split_with_roots(const Model& m, double T, double P, const double* z, const FlashOptions& o,
                      const double* K, Root rl, Root rv, FlashResult& r);

using TpFn = FlashResult (*)(const Model&, double, double, const double*, const FlashOptions&);

// Enthalpy given: bracket and Brent on T (fixed P) or ln P (fixed T) around
// the isothermal flash tp; z already normalised.
// A jump of h across one value of the free variable (phases appearing at a
// single T or P): given the results just below and just above it, builds the
// state of enthalpy H there, or returns false.
using JumpFn = bool (*)(const Model&, const Vec& z, double H, const FlashResult& below,
                        const FlashResult& above, const FlashOptions& o, FlashResult& out);
FlashResult enthalpy_flash_with(const Model& m, bool fixed_t, double fixed, double H, const Vec& z,
                                const FlashOptions& o, TpFn tp, JumpFn jump = nullptr);

} // namespace xif::refhost::thermo::detail
