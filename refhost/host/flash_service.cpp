// The host flash: a stream vector brought to equilibrium at one of five
// specification pairs, the result left in the work areas that the
// exchanger interface lays out as phase records.
//
// Flash codes (EQUI_FLSTAT turns code k into status k + 1, and 0 into 1):
//   0 converged, 1 bad input (state, specification or composition),
//   2 not converged within the iteration limit, 3 no solution for the
//   specification (e.g. a vapour fraction beyond a single-phase region),
//   4 no usable root of the equation of state, 5 unknown method word,
//   6 unknown flash type, 7 host not open or stream without flow,
//   8 more phases than the flash holds (a third liquid or a fourth phase).
//
// Options (the 7th to 10th arguments): 7th the iteration limit of the
// inner loops (0: the engine's own), 8th the phases allowed (2 vapour and
// liquid, 3 a second liquid too), 9th 1 keeps the non-condensables out of
// the liquids, 10th the convergence tolerance on ln fugacity (0: 1e-10).
//
// Work (18th and 19th arguments), real part: K-values of the last success,
// then its temperature, pressure, vapour fraction and a word that is 1.0
// when they are valid; integer part: phases found, flash type, iterations.
// Mode (16th): 0 start afresh; 1 start from the K-values in the work when
// valid; 2 the last flash here failed: start afresh.
#include "host/engine.h"
#include "host/store.h"
#include "thermo/flash.hpp"
#include "thermo/flash3.hpp"

#include <algorithm>
#include <cmath>

using namespace xif::refhost;
namespace th = xif::refhost::thermo;

namespace {

enum FlashCode : int64_t {
    kConverged = 0,
    kBadInput = 1,
    kNotConverged = 2,
    kNoSolution = 3,
    kNoRoot = 4,
    kUnknownMethod = 5,
    kUnknownType = 6,
    kNoStream = 7,
    kTooManyPhases = 8,
};

int64_t code_of(th::Status s) {
    switch (s) {
    case th::Status::Ok:
        return kConverged;
    case th::Status::BadInput:
        return kBadInput;
    case th::Status::NotConverged:
        return kNotConverged;
    case th::Status::NoSolution:
        return kNoSolution;
    case th::Status::TooManyPhases:
        return kTooManyPhases;
    default:
        return kNoRoot;
    }
}

// Positions in the real work of a flash.
struct WorkLayout {
    int64_t nc;
    int64_t k() const { return 0; }
    int64_t t() const { return 3 * nc; }
    int64_t p() const { return 3 * nc + 1; }
    int64_t vf() const { return 3 * nc + 2; }
    int64_t valid() const { return 3 * nc + 3; }
};

void put_real(xif_word* base, int64_t i, double v) {
    set_real(base[i], v);
}
double get_real(const xif_word* base, int64_t i) {
    double d;
    std::memcpy(&d, &base[i], sizeof d);
    return d;
}
void set_stwkwk(int64_t k, double v) {
    set_real(CAT_STWKWK[k - 1], v);
}
void set_stwork(int64_t k, double v) {
    set_real(VEC_STWORK[k - 1], v);
}

// The per-component arrays mark the vapour subset by values above 1e8: the
// K-values are held at 1e8 for components that take part in the liquids, and
// the non-condensables kept out of them get 1e30.
double k_value(double y, double x, bool kept_out) {
    if (kept_out) return 1e30;
    if (x > 0.0) return std::min(y / x, 1e8);
    return y > 0.0 ? 1e8 : 0.0;
}

// With a second liquid allowed the liquids keep their names: the aqueous
// liquid is the second one, also when it is the only liquid.
void label_single_liquid(th::FlashResult& r) {
    const int64_t w = state().water;
    if (w == 0 || !r.present[th::kLiquid] || r.present[th::kLiquid2] ||
        !(r.x[th::kLiquid][w - 1] > 0.5))
        return;
    r.present[th::kLiquid2] = true;
    r.frac[th::kLiquid2] = r.frac[th::kLiquid];
    r.phase[th::kLiquid2] = r.phase[th::kLiquid];
    r.x[th::kLiquid2] = r.x[th::kLiquid];
    r.present[th::kLiquid] = false;
    r.frac[th::kLiquid] = 0.0;
    r.phase[th::kLiquid] = th::PhaseProps{};
    r.x[th::kLiquid] = th::Vec{};
}

// Writes the equilibrium where the exchanger interface reads it.
void publish(const th::FlashResult& r, const double* z, const bool* kept_out, double* svec) {
    const HostState& s = state();
    const Layout& a = s.at;
    const int64_t nc = s.nc;
    const double* y = r.x[th::kVapour].data();
    const double* x1 = r.x[th::kLiquid].data();
    const double* x2 = r.x[th::kLiquid2].data();
    const double f1 = r.present[th::kLiquid] ? r.frac[th::kLiquid] : 0.0;
    const double f2 = r.present[th::kLiquid2] ? r.frac[th::kLiquid2] : 0.0;
    const double liquid = f1 + f2;
    const double b = liquid > 0.0 && f2 > 0.0 ? f1 / liquid : 1.0;

    set_int(CAT_STWKWK[2], nc);
    set_stwkwk(19, r.T);
    set_stwkwk(20, r.P);
    set_stwkwk(21, r.present[th::kVapour] ? r.vf : 0.0);
    set_stwkwk(23, b);
    for (int64_t j = 0; j < nc; ++j) {
        const double xt = f1 > 0.0 && f2 > 0.0 ? (f1 * x1[j] + f2 * x2[j]) / liquid
                          : f2 > 0.0           ? x2[j]
                                               : x1[j];
        set_plex_real(a.real_work + a.whole + j, z[j]);
        set_plex_real(a.real_work + a.total + j, xt);
        set_plex_real(a.real_work + a.liquid1 + j, x1[j]);
        set_plex_real(a.real_work + a.liquid2 + j, f2 > 0.0 ? x2[j] : 0.0);
        set_plex_real(a.real_work + a.vapour + j, r.present[th::kVapour] ? y[j] : 0.0);
        const bool out = kept_out && kept_out[j];
        set_plex_real(a.real_work + a.k1 + j, f1 > 0.0 || out ? k_value(y[j], x1[j], out) : 0.0);
        set_plex_real(a.real_work + a.k2 + j, f2 > 0.0 || out ? k_value(y[j], x2[j], out) : 0.0);
    }
    // Per-phase values in groups of four (vapour, total liquid, first liquid,
    // second liquid): enthalpy, molar volume, heat capacity, molecular weight.
    auto value = [&](int slot, double th::PhaseProps::*field) {
        return r.present[slot] ? r.phase[slot].*field : 0.0;
    };
    // One liquid is the total liquid as it stands, not remixed with itself.
    auto total = [&](double l1, double l2) {
        return f1 > 0.0 && f2 > 0.0 ? (f1 * l1 + f2 * l2) / liquid : f2 > 0.0 ? l2 : l1;
    };
    double th::PhaseProps::*fields[4] = {&th::PhaseProps::h, &th::PhaseProps::v,
                                         &th::PhaseProps::cp, &th::PhaseProps::mw};
    for (int g = 0; g < 4; ++g) {
        const double l1 = value(th::kLiquid, fields[g]), l2 = value(th::kLiquid2, fields[g]);
        set_stwork(47 + 4 * g, value(th::kVapour, fields[g]));
        set_stwork(48 + 4 * g, liquid > 0.0 ? total(l1, l2) : 0.0);
        set_stwork(49 + 4 * g, l1);
        set_stwork(50 + 4 * g, l2);
    }
    // The stream's own elements: molar enthalpy and molecular weight.
    double mw = 0.0;
    for (int64_t j = 0; j < nc; ++j)
        mw += z[j] * s.comp[j]->mw;
    svec[nc + 3] = r.h;
    svec[nc + 8] = mw;
}

} // namespace

extern "C" {

XIFHOST_EXPORT void EQUI_FLASH(double* SVEC, const int64_t*, xif_word*, xif_word*, const int64_t* G,
                               const int64_t* IFTYPE, const int64_t* o7, const int64_t* o8,
                               const int64_t* o9, const double* r10, double* spec1, double* spec2,
                               double* estimate, const int64_t*, const int64_t*,
                               const int64_t* mode, const int64_t*, xif_word* rwork,
                               xif_word* iwork, int64_t* code) {
    const HostState& s = state();
    if (!s.open || !SVEC || !code) {
        if (code) *code = kNoStream;
        return;
    }
    const int64_t nc = s.nc;
    const WorkLayout w{nc};
    double z[64] = {};
    double total = 0.0;
    for (int64_t j = 0; j < nc; ++j) {
        if (!std::isfinite(SVEC[j]) || SVEC[j] < 0.0) return void(*code = kBadInput);
        total += SVEC[j];
    }
    if (!(total > 0.0) || !std::isfinite(total)) return void(*code = kNoStream);
    for (int64_t j = 0; j < nc; ++j)
        z[j] = SVEC[j] / total;

    forget_flash_phases();
    const th::Model* m = model_for(G[0]);
    if (!m) return void(*code = kUnknownMethod);

    th::FlashOptions opt;
    if (*o7 >= 10 && *o7 <= 100000) opt.max_iter = static_cast<int>(*o7);
    if (*r10 > 0.0 && *r10 < 1e-3) opt.tol = *r10;
    const bool three = *o8 == 3;
    opt.single_liquid = !three;
    bool vapour_only[64] = {};
    if (*o9 == 1) {
        for (int64_t j = 0; j < nc; ++j)
            vapour_only[j] = s.noncondensable[j];
        opt.vapour_only = vapour_only;
    }
    double k_guess[64];
    if (*mode == 1 && get_real(rwork, w.valid()) == 1.0) {
        for (int64_t j = 0; j < nc; ++j)
            k_guess[j] = get_real(rwork, w.k() + j);
        opt.K_guess = k_guess;
        opt.beta_guess = get_real(rwork, w.vf());
        opt.K_T = get_real(rwork, w.t());
        opt.K_P = get_real(rwork, w.p());
    }

    th::FlashResult r;
    switch (*IFTYPE) {
    case 1:
        opt.T_guess = *estimate;
        r = (three ? th::flash3_ph : th::flash_ph)(*m, *spec1, *spec2, z, opt);
        break;
    case 2:
        r = (three ? th::flash3_tp : th::flash_tp)(*m, *spec1, *spec2, z, opt);
        break;
    case 3:
        opt.T_guess = *estimate;
        r = (three ? th::flash3_pv : th::flash_pv)(*m, *spec1, *spec2, z, opt);
        break;
    case 4:
        opt.P_guess = *estimate;
        r = (three ? th::flash3_th : th::flash_th)(*m, *spec1, *spec2, z, opt);
        break;
    case 5:
        opt.P_guess = *estimate;
        r = (three ? th::flash3_tv : th::flash_tv)(*m, *spec1, *spec2, z, opt);
        break;
    default:
        *code = kUnknownType;
        return;
    }
    *code = code_of(r.status);
    set_int(iwork[1], *IFTYPE);
    set_int(iwork[2], r.it_ss + r.it_newton + r.it_outer);
    if (*code != kConverged) {
        put_real(rwork, w.valid(), 0.0);
        set_int(iwork[0], 0);
        return;
    }
    if (three) label_single_liquid(r);
    publish(r, z, opt.vapour_only, SVEC);
    for (int k = 0; k < th::kSlots; ++k)
        if (r.present[k])
            offer_flash_phase(r.T, r.P, r.x[k].data(), k != th::kVapour, G, r.phase[k]);
    for (int64_t j = 0; j < nc; ++j)
        put_real(rwork, w.k() + j, r.K[j]);
    put_real(rwork, w.t(), r.T);
    put_real(rwork, w.p(), r.P);
    put_real(rwork, w.vf(), r.vf);
    // A single phase leaves Wilson's K-values, no better a start than the
    // flash's own phase test: the next flash starts afresh.
    put_real(rwork, w.valid(), r.nphases >= 2 ? 1.0 : 0.0);
    set_int(iwork[0], r.nphases);
}
}
