// Thermodynamic property monitors: enthalpy, heat capacity, volume and the
// ten-word thermo results of a phase or a pure component, and the vapour
// pressure of a pure component.
//
// The ten result words of EVAL_VMTHRM, EVAL_LMTHMY, EVAL_VTHRM, EVAL_LTHRM:
//   1 Gibbs energy G = H - T S   (J/kmol)
//   2 enthalpy H                 (J/kmol)
//   3 entropy S                  (J/(kmol K))
//   4 heat capacity Cp           (J/(kmol K))
//   5 molar volume v             (m3/kmol)
//   6 heat capacity Cv           (J/(kmol K))
//   7 compressibility factor Z
//   8 molecular weight           (kg/kmol)
//   9 residual enthalpy          (J/kmol)
//  10 residual entropy           (J/(kmol K))
// Words 1 to 5 are written when their flag is 1, words 6 to 10 always.
#include "host/engine.h"
#include "host/store.h"
#include "water/water.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace xif::refhost;
using xif::refhost::thermo::PhaseProps;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kLnPmax = std::log(thermo::kPmax);

int64_t evaluate(const double* T, const double* P, const double* x, const int64_t* n,
                 const int64_t* idx, const int64_t* G, bool liquid, const PhaseProps*& out) {
    if (int64_t e = check_state(T, P)) return e;
    if (!G) return kBadMethod;
    const Composition* c = nullptr;
    if (int64_t e = read_composition(x, n, idx, c)) return e;
    return phase_properties(*T, *P, *c, liquid, G, out);
}

void enthalpy(const double* T, const double* P, const double* x, const int64_t* n,
              const int64_t* idx, const int64_t* G, const int64_t* code, double* r1, double* r2,
              int64_t* ierr, bool liquid) {
    const PhaseProps* p = nullptr;
    if (!code || (*code != 1 && *code != 2)) return void(*ierr = kBadMethod);
    *ierr = evaluate(T, P, x, n, idx, G, liquid, p);
    // A failure answers NaN: the caller may not read the error code, and an
    // earlier answer left in its variable would pass for this one.
    if (*code == 1)
        *r1 = *ierr ? kNaN : p->h;
    else
        *r2 = *ierr ? kNaN : p->cp;
}

void volume(const double* T, const double* P, const double* x, const int64_t* n, const int64_t* idx,
            const int64_t* G, double* vol, double* second, int64_t* ierr, bool liquid) {
    const PhaseProps* p = nullptr;
    *ierr = evaluate(T, P, x, n, idx, G, liquid, p);
    *vol = *ierr ? kNaN : p->v;
    *second = *ierr ? kNaN : p->Z;
}

void results(const PhaseProps& p, const double* T, const int64_t* const flags[5],
             double* const r[10]) {
    const double first[5] = {p.h - *T * p.s, p.h, p.s, p.cp, p.v};
    for (int k = 0; k < 5; ++k)
        if (flags[k] && *flags[k] == 1) *r[k] = first[k];
    *r[5] = p.cv;
    *r[6] = p.Z;
    *r[7] = p.mw;
    *r[8] = std::isnan(p.hres) ? kNaN : p.hres;
    *r[9] = std::isnan(p.sres) ? kNaN : p.sres;
}

// A pure component as a one-entry phase record. Below the engine's lowest
// pressure (the vapour pressure of a heavy component in a cold liquid) it is
// evaluated there and carried down to P: the vapour along its second virial
// coefficient, whose residual terms are proportional to P (at 1 Pa they are
// parts per million), the liquid as incompressible. Down to 1e-100 Pa (the
// interface asks no lower than e^-170), where the vapour's volume stays finite.
int64_t pure(const double* T, const double* P, const int64_t* component, const int64_t* G,
             bool liquid, const PhaseProps*& out) {
    const double one_x = 1.0;
    const int64_t one_n = 1;
    if (!P || !(*P >= 1e-100 && *P < thermo::kPmin))
        return evaluate(T, P, &one_x, &one_n, component, G, liquid, out);
    const double p0 = thermo::kPmin, r = *P / p0, rt = thermo::kR * *T;
    if (int64_t e = evaluate(T, &p0, &one_x, &one_n, component, G, liquid, out)) return e;
    static PhaseProps low;
    low = *out;
    if (liquid) {
        low.h += low.v * (*P - p0);
        low.hres += low.v * (*P - p0);
        low.sres += thermo::kR * std::log(r); // the ideal gas's entropy rises as P falls
        low.Z *= r;
        low.root *= r;
    } else {
        const double fall = 1.0 - r;
        low.h -= low.hres * fall;
        low.s -= low.sres * fall + thermo::kR * std::log(r);
        low.cp -= low.cpres * fall;
        low.cv -= low.cvres * fall;
        low.hres *= r, low.sres *= r, low.cpres *= r, low.cvres *= r;
        low.v = rt / *P + (low.v - rt / p0);
        low.Z = *P * low.v / rt;
        low.root = 1.0 + (low.root - 1.0) * r;
    }
    out = &low;
    return kMonitorOk;
}

// The error code and the requested result words, NaN on a failure (p is
// read only on a success).
void answer(int64_t code, const PhaseProps* p, const double* T, XIF_THERMO_FLAGS_RESULTS,
            int64_t* ierr) {
    *ierr = code;
    const int64_t* flags[5] = {f1, f2, f3, f4, f5};
    double* r[10] = {r1, r2, r3, r4, r5, r6, r7, r8, r9, r10};
    static const PhaseProps none; // every word NaN
    results(code ? none : *p, T, flags, r);
}

#define FLAGS_AND_RESULTS f1, f2, f3, f4, f5, r1, r2, r3, r4, r5, r6, r7, r8, r9, r10

} // namespace

extern "C" {

XIFHOST_EXPORT void EVAL_ENTHL(XIF_MONITOR_ARGS, const int64_t*, const int64_t* code, double* r1,
                               double* r2, int64_t* ierr) {
    (void)D;
    enthalpy(T, P, x, n, idx, G, code, r1, r2, ierr, true);
}

XIFHOST_EXPORT void EVAL_ENTHV(XIF_MONITOR_ARGS, const int64_t*, const int64_t* code, double* r1,
                               double* r2, int64_t* ierr) {
    (void)D;
    enthalpy(T, P, x, n, idx, G, code, r1, r2, ierr, false);
}

XIFHOST_EXPORT void EVAL_VOLL(XIF_MONITOR_ARGS, const int64_t*, double* vol, double* second,
                              int64_t* ierr) {
    (void)D;
    volume(T, P, x, n, idx, G, vol, second, ierr, true);
}

XIFHOST_EXPORT void EVAL_VOLV(XIF_MONITOR_ARGS, const int64_t*, double* vol, double* second,
                              int64_t* ierr) {
    (void)D;
    volume(T, P, x, n, idx, G, vol, second, ierr, false);
}

XIFHOST_EXPORT void EVAL_VMTHRM(XIF_MONITOR_ARGS, const int64_t*, XIF_THERMO_FLAGS_RESULTS,
                                int64_t* ierr) {
    (void)D;
    const PhaseProps* p = nullptr;
    const int64_t code = evaluate(T, P, x, n, idx, G, false, p);
    answer(code, p, T, FLAGS_AND_RESULTS, ierr);
}

// The vapour composition y is not needed: the liquid's own state suffices.
XIFHOST_EXPORT void EVAL_LMTHMY(const double* T, const double* P, const double* x, const double*,
                                const int64_t* n, const int64_t* idx, const int64_t* G,
                                const int64_t*, const int64_t*, XIF_THERMO_FLAGS_RESULTS,
                                int64_t* ierr) {
    const PhaseProps* p = nullptr;
    const int64_t code = evaluate(T, P, x, n, idx, G, true, p);
    answer(code, p, T, FLAGS_AND_RESULTS, ierr);
}

XIFHOST_EXPORT void EVAL_VTHRM(const double* T, const double* P, const int64_t*,
                               const int64_t* component, const int64_t* G, const int64_t*,
                               const int64_t*, XIF_THERMO_FLAGS_RESULTS, int64_t* ierr) {
    const PhaseProps* p = nullptr;
    const int64_t code = pure(T, P, component, G, false, p);
    answer(code, p, T, FLAGS_AND_RESULTS, ierr);
}

XIFHOST_EXPORT void EVAL_LTHRM(const double* T, const double* P, const int64_t*,
                               const int64_t* component, const int64_t* G, const int64_t*,
                               const int64_t*, XIF_THERMO_FLAGS_RESULTS, int64_t* ierr) {
    const PhaseProps* p = nullptr;
    const int64_t code = pure(T, P, component, G, true, p);
    answer(code, p, T, FLAGS_AND_RESULTS, ierr);
}

// ln of the vapour pressure from the component's correlation; where that
// gives no value, the Lee-Kesler estimate from Tc, Pc and the acentric factor.
// Water's from the tables' saturation line (273.15 K to the critical point;
// the correlation's is kept outside it), so that the tables have both phases.
// Held at the top of the engine's range: a correlation extrapolated beyond it
// is far above the critical point (argon at 427 K: 66 GPa), where the pure
// vapour and liquid are one root and add nothing to a heat of vaporization,
// and the thermo monitors can still answer there.
XIFHOST_EXPORT void KERN_PL001(const double* T, const int64_t*, const int64_t* component,
                               const int64_t*, const int64_t*, const int64_t*, double* lnP,
                               double* second) {
    const HostState& s = state();
    *second = 0.0;
    if (!s.open || !T || !component || *component < 1 || *component > s.nc || !std::isfinite(*T) ||
        *T <= 0.0) {
        *lnP = kNaN;
        return;
    }
    const databank::Component& c = *s.comp[*component - 1];
    double p = c.psat.present() ? c.psat.eval(*T) : kNaN;
    if (*component == s.water && *T < water::t_crit) water::saturation_pressure(*T, p);
    const double ln_p = std::isfinite(p) && p > 0.0 ? std::log(p) : lee_kesler_ln_psat(c, *T);
    *lnP = std::min(ln_p, kLnPmax);
}
}
