// Shared checks and constants of the transport module (not installed).
#pragma once

#include "transport.hpp"

#include <array>
#include <cmath>

namespace xif::refhost::transport::detail {

inline constexpr double kR = 8314.46261815324; // J/(kmol K)
inline constexpr double kAtm = 101325.0;       // Pa
inline constexpr double kBar = 1.0e5;          // Pa

// Normalised composition on the stack.
struct Composition {
    std::array<double, kMaxComponents> x{};
    std::size_t n = 0;
};

inline bool finite_positive(double v) {
    return std::isfinite(v) && v > 0.0;
}

// Checks the size and the mole fractions and divides them by their sum.
inline Status normalise(Values x, Composition& out) {
    if (x.empty() || x.size() > kMaxComponents) return Status::bad_size;
    double sum = 0.0;
    for (double xi : x) {
        if (!std::isfinite(xi) || xi < 0.0) return Status::bad_composition;
        sum += xi;
    }
    if (!(sum > 0.0) || !std::isfinite(sum)) return Status::bad_composition;
    out.n = x.size();
    for (std::size_t i = 0; i < out.n; ++i)
        out.x[i] = x[i] / sum;
    return Status::ok;
}

// Each listed span must match the composition length; values of components
// present must be finite and positive.
inline bool present_positive(const Composition& z, Values v) {
    if (v.size() != z.n) return false;
    for (std::size_t i = 0; i < z.n; ++i)
        if (z.x[i] > 0.0 && !finite_positive(v[i])) return false;
    return true;
}

// Result guard: every public function ends here.
inline Status finish(double value, double& out) {
    if (finite_positive(value)) {
        out = value;
        return Status::ok;
    }
    out = 0.0;
    return Status::no_value;
}

inline Status fail(Status s, double& out) {
    out = 0.0;
    return s;
}

// Pseudo-critical constants of a mixture (Prausnitz and Gunn): mole-fraction
// averages of Tc, Vc, Zc, M and omega; Pc from Zc R Tc / Vc.
struct PseudoCritical {
    double tc = 0, pc = 0, vc = 0, zc = 0, mw = 0, omega = 0;
};

inline bool pseudo_critical(const Composition& z, ConstantsList c, PseudoCritical& pc) {
    if (c.size() != z.n) return false;
    pc = {};
    for (std::size_t i = 0; i < z.n; ++i) {
        if (z.x[i] <= 0.0) continue;
        const Constants& ci = c[i];
        if (!finite_positive(ci.tc) || !finite_positive(ci.vc) || !finite_positive(ci.zc) ||
            !finite_positive(ci.mw) || !std::isfinite(ci.omega))
            return false;
        pc.tc += z.x[i] * ci.tc;
        pc.vc += z.x[i] * ci.vc;
        pc.zc += z.x[i] * ci.zc;
        pc.mw += z.x[i] * ci.mw;
        pc.omega += z.x[i] * ci.omega;
    }
    pc.pc = pc.zc * kR * pc.tc / pc.vc;
    return finite_positive(pc.pc);
}

// Roy-Thodos characteristic Gamma = 210 (Tc M^3 / Pc^4)^(1/6), Pc in bar;
// its inverse scales a conductivity (W/(m K)).
inline double roy_thodos_gamma(double tc, double mw, double pc) {
    const double pb = pc / kBar;
    return 210.0 * std::pow(tc * mw * mw * mw / (pb * pb * pb * pb), 1.0 / 6.0);
}

// Viscosity-reducing parameter xi = Tc^(1/6) M^(-1/2) Pc^(-2/3) with Pc in
// atm; mu xi is dimensionless when mu is in cP.
inline double viscosity_xi(double tc, double mw, double pc) {
    const double pa = pc / kAtm;
    return std::pow(tc / (pa * pa * pa * pa), 1.0 / 6.0) / std::sqrt(mw);
}

} // namespace xif::refhost::transport::detail
