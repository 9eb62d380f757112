#include "pure.hpp"

#include <cmath>

namespace xif::refhost::thermo {

namespace {

// Difference ln phi(liquid root) - ln phi(vapour root) of pure i. `roots`
// tells whether two distinct roots exist; if not, `liquid_like` says which
// side of saturation the single root lies on.
struct SatEval {
    Status st = Status::Ok;
    double g = 0;  // lnphiL - lnphiV
    double dZ = 0; // ZL - ZV (untranslated)
    double dh = 0; // hresV - hresL
    bool two_roots = false;
    bool liquid_like = false;
};

SatEval sat_eval(const Model& m, int i, double T, double P, bool want_h) {
    SatEval e;
    Vec x{};
    x[i] = 1.0;
    double lpl[kMaxComponents], lpv[kMaxComponents], zl = 0, zv = 0;
    if ((e.st = m.lnphi(T, P, x.data(), Root::Liquid, lpl, &zl)) != Status::Ok) return e;
    if ((e.st = m.lnphi(T, P, x.data(), Root::Vapour, lpv, &zv)) != Status::Ok) return e;
    e.g = lpl[i] - lpv[i];
    e.dZ = zl - zv;
    e.two_roots = std::fabs(zl - zv) > 1e-7 * zv;
    if (!e.two_roots || want_h) {
        PhaseProps pl, pv;
        if ((e.st = m.properties(T, P, x.data(), Root::Liquid, pl)) != Status::Ok) return e;
        if ((e.st = m.properties(T, P, x.data(), Root::Vapour, pv)) != Status::Ok) return e;
        e.liquid_like = pl.liquid_like;
        e.dh = pv.hres - pl.hres;
    }
    return e;
}

bool valid_index(const Model& m, int i) {
    return i >= 0 && i < m.size();
}

} // namespace

// Newton on ln P with a bracket: above saturation the liquid is stable
// (g < 0), below it the vapour (g > 0); d g / d ln P = ZL - ZV.
Status saturation_pressure(const Model& m, int i, double T, double& Psat) {
    Psat = kNaN;
    if (!valid_index(m, i) || !std::isfinite(T) || T <= 0) return Status::BadInput;
    const PureParams& c = m.component(i);
    if (T >= c.Tc * (1.0 - 1e-9)) return Status::NoSolution;
    double lo = std::log(1e-12 * c.Pc), hi = std::log(c.Pc);
    double lp = std::log(c.Pc) + 5.373 * (1.0 + c.omega) * (1.0 - c.Tc / T);
    if (!(lp > lo && lp < hi)) lp = 0.5 * (lo + hi);
    for (int it = 0; it < 200; ++it) {
        const double P = std::exp(lp);
        if (P < 1.0) { // below the engine's pressure floor
            lo = lp;
            lp = 0.5 * (lo + hi);
            if (hi - lo < 1e-12) return Status::NoSolution;
            continue;
        }
        SatEval e = sat_eval(m, i, T, P, false);
        if (e.st != Status::Ok) return e.st;
        double next;
        if (!e.two_roots) {
            if (e.liquid_like)
                hi = lp;
            else
                lo = lp;
            next = 0.5 * (lo + hi);
        } else {
            if (e.g < 0)
                hi = lp;
            else
                lo = lp;
            next = lp - e.g / e.dZ;
            if (std::fabs(e.g) < 1e-13) {
                Psat = P;
                return Status::Ok;
            }
            if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        }
        if (std::fabs(next - lp) < 1e-14) {
            Psat = std::exp(next);
            return e.two_roots ? Status::Ok : Status::NotConverged;
        }
        lp = next;
    }
    return Status::NotConverged;
}

// Newton on T: d g / d T = (hresV - hresL) / (R T^2), with a bracket.
Status saturation_temperature(const Model& m, int i, double P, double& Tsat) {
    Tsat = kNaN;
    if (!valid_index(m, i) || !valid_tp(300.0, P)) return Status::BadInput;
    const PureParams& c = m.component(i);
    if (P >= c.Pc * (1.0 - 1e-9)) return Status::NoSolution;
    double lo = std::max(1.0, 0.05 * c.Tc), hi = c.Tc;
    double T = c.Tc / (1.0 - std::log(P / c.Pc) / (5.373 * (1.0 + c.omega)));
    if (!(T > lo && T < hi)) T = 0.5 * (lo + hi);
    for (int it = 0; it < 200; ++it) {
        SatEval e = sat_eval(m, i, T, P, true);
        if (e.st != Status::Ok) return e.st;
        double next;
        if (!e.two_roots) {
            if (e.liquid_like)
                lo = T;
            else
                hi = T;
            next = 0.5 * (lo + hi);
        } else {
            if (e.g > 0)
                hi = T;
            else
                lo = T;
            if (std::fabs(e.g) < 1e-13) {
                Tsat = T;
                return Status::Ok;
            }
            next = T - e.g / (e.dh / (kR * T * T));
            if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        }
        if (std::fabs(next - T) < 1e-13 * T) {
            Tsat = next;
            return e.two_roots ? Status::Ok : Status::NotConverged;
        }
        T = next;
    }
    return Status::NotConverged;
}

Status pure_enthalpy(const Model& m, int i, double T, double P, Root r, double& h) {
    h = kNaN;
    if (!valid_index(m, i)) return Status::BadInput;
    Vec x{};
    x[i] = 1.0;
    PhaseProps p;
    Status s = m.properties(T, P, x.data(), r, p);
    if (s == Status::Ok) h = p.h;
    return s;
}

} // namespace xif::refhost::thermo
