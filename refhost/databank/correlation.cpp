// Evaluation of the temperature correlations and of the ideal-gas functions.
#include "refhost/databank/databank.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace xif::refhost::databank {

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// x^e by squaring where e is a whole number up to 16 (the vapour-pressure and
// viscosity forms' exponents mostly are: 1, 2, 6, 10), else by pow.
double power(double x, double e) noexcept {
    if (e >= 0.0 && e <= 16.0 && e == std::trunc(e)) {
        auto k = static_cast<unsigned>(e);
        double r = 1.0;
        for (; k != 0; k >>= 1, x *= x)
            if (k & 1U) r *= x;
        return r;
    }
    return std::pow(x, e);
}

// The same for x > 0 with ln x at hand: other exponents by exp(e ln x).
double power(double x, double e, double lnx) noexcept {
    if (e >= 0.0 && e <= 16.0 && e == std::trunc(e)) return power(x, e);
    return std::exp(e * lnx);
}

double trc_cp(const std::array<double, 8>& a, double T) noexcept {
    double v = a[0] + a[1] / (T * T) * std::exp(-a[2] / T);
    if (T > a[7]) {
        const double y = (T - a[7]) / (T + a[6]);
        const double y2 = y * y;
        const double y8 = y2 * y2 * y2 * y2;
        const double d = T - a[7];
        v += a[3] * y2 + (a[4] - a[5] / (d * d)) * y8;
    }
    return r_gas * v;
}

// The integrals of cp and cp/T over [a, b] by 8-point Gauss-Legendre, from
// the same eight values of cp.
void gauss8(const Correlation& k, double a, double b, double& h, double& s) noexcept {
    static constexpr std::array<double, 4> x{0.1834346424956498, 0.5255324099163290,
                                             0.7966664774136267, 0.9602898564975363};
    static constexpr std::array<double, 4> w{0.3626837833783620, 0.3137066458778873,
                                             0.2223810344533745, 0.1012285362903763};
    const double m = 0.5 * (a + b);
    const double r = 0.5 * (b - a);
    double sh = 0.0, ss = 0.0;
    for (std::size_t i = 0; i < 4; ++i) {
        const double t1 = m - r * x[i], t2 = m + r * x[i];
        const double c1 = k.eval(t1), c2 = k.eval(t2);
        sh += w[i] * (c1 + c2);
        ss += w[i] * (c1 / t1 + c2 / t2);
    }
    h = sh * r;
    s = ss * r;
}

// Both integrals over [a, b] for the CPIG row k. The TRC form switches its y
// terms on at T = a7, so a panel that straddles a7 is split there to keep the
// rule's full accuracy.
void integrate(const Correlation& k, double a, double b, double& h, double& s) noexcept {
    const double kink = k.c[7];
    if (k.form == Form::trc && kink > std::min(a, b) && kink < std::max(a, b)) {
        double h2, s2;
        gauss8(k, a, kink, h, s);
        gauss8(k, kink, b, h2, s2);
        h += h2;
        s += s2;
        return;
    }
    gauss8(k, a, b, h, s);
}

} // namespace

double Correlation::eval(double T) const noexcept {
    if (!(T > 0.0)) return nan;
    return eval(T, form == Form::dippr101 || form == Form::dippr102 ? std::log(T) : nan);
}

double Correlation::eval(double T, double lnT) const noexcept {
    if (!(T > 0.0)) return nan;
    const auto& [A, B, C, D, E, F, G, H] = c;
    switch (form) {
    case Form::none:
        return nan;
    case Form::dippr100:
        return A + T * (B + T * (C + T * (D + T * E)));
    case Form::dippr101:
        return std::exp(A + B / T + C * lnT + D * power(T, E));
    case Form::dippr102:
        return A * power(T, B, lnT) / (1.0 + C / T + D / (T * T));
    case Form::dippr105: {
        if (T > C) return nan;
        return A / std::exp((1.0 + std::pow(1.0 - T / C, D)) * ln_b);
    }
    case Form::dippr106: {
        const double tr = T / tc;
        if (tr >= 1.0) return 0.0;
        return A * std::pow(1.0 - tr, B + tr * (C + tr * (D + tr * E)));
    }
    case Form::dippr114: {
        const double t = 1.0 - T / tc;
        if (!(t > 0.0)) return nan;
        const double t2 = t * t;
        return A * A / t + B - 2.0 * A * C * t - A * D * t2 - C * C * t2 * t / 3.0 -
               C * D * t2 * t2 / 2.0 - D * D * t2 * t2 * t / 5.0;
    }
    case Form::dippr116: {
        const double t = 1.0 - T / tc;
        if (t < 0.0) return nan;
        return A + B * std::pow(t, 0.35) + C * std::pow(t, 2.0 / 3.0) + D * t +
               E * std::pow(t, 4.0 / 3.0);
    }
    case Form::trc:
        return trc_cp(c, T);
    case Form::mulero: {
        const double t = 1.0 - T / tc;
        if (t <= 0.0) return 0.0;
        return A * std::pow(t, B) + C * std::pow(t, D) + E * std::pow(t, F);
    }
    }
    return nan;
}

void Correlation::prepare() noexcept {
    ln_b = form == Form::dippr105 ? std::log(c[1]) : 0.0;
    at_tmin = eval(tmin);
    at_tmax = std::isfinite(tmax) ? eval(tmax) : nan;
}

bool Correlation::in_range(double T) const noexcept {
    return present() && T >= tmin && T <= tmax;
}

namespace {

// Integrals of cp and cp/T from the table origin (polynomial: from 0 and 1 K) for T inside
// the CPIG range.
void hs_raw(const Component& k, double T, double& h, double& s) noexcept {
    const auto& c = k.cpig.c;
    if (k.cpig.form == Form::dippr100) {
        h = T * (c[0] + T * (c[1] / 2 + T * (c[2] / 3 + T * (c[3] / 4 + T * c[4] / 5))));
        s = c[0] * std::log(T) + T * (c[1] + T * (c[2] / 2 + T * (c[3] / 3 + T * c[4] / 4)));
        return;
    }
    const auto& g = k.ig;
    const std::size_t i =
        std::min(g.n - 2, static_cast<std::size_t>(std::max(0.0, (T - g.t0) / g.dt)));
    integrate(k.cpig, g.t0 + static_cast<double>(i) * g.dt, T, h, s);
    h += g.h[i];
    s += g.s[i];
}

} // namespace

// Enthalpy and entropy with Cp held constant beyond the range, not yet shifted to 298.15 K.
namespace detail {
void hs_unshifted(const Component& k, double T, double& h, double& s) noexcept {
    const double lo = k.cpig.tmin, hi = k.cpig.tmax;
    const double end = T < lo ? lo : T > hi ? hi : T;
    hs_raw(k, end, h, s);
    if (end == T) return;
    const double cp = k.cpig.eval(end);
    h += cp * (T - end);
    s += cp * std::log(T / end);
}

// Tabulates the TRC integrals over the CPIG range; the polynomial needs no table.
void build_ig_table(Component& k) noexcept {
    auto& g = k.ig;
    g = Component::IgTable{};
    if (k.cpig.form == Form::trc) {
        g.n = g.h.size();
        g.t0 = k.cpig.tmin;
        g.dt = (k.cpig.tmax - k.cpig.tmin) / static_cast<double>(g.n - 1);
        for (std::size_t i = 1; i < g.n; ++i) {
            const double a = g.t0 + static_cast<double>(i - 1) * g.dt;
            const double b = g.t0 + static_cast<double>(i) * g.dt;
            double h, s;
            integrate(k.cpig, a, b, h, s);
            g.h[i] = g.h[i - 1] + h;
            g.s[i] = g.s[i - 1] + s;
        }
    }
    hs_unshifted(k, t_ref, k.h_at_ref, k.s_at_ref);
}
} // namespace detail

double Component::cp_ig(double T) const noexcept {
    if (!(T > 0.0) || !cpig.present()) return nan;
    return cpig.eval(std::clamp(T, cpig.tmin, cpig.tmax));
}

void Component::ideal_gas(double T, double& cp, double& h, double& s) const noexcept {
    if (!(T > 0.0) || !cpig.present()) {
        cp = h = s = nan;
        return;
    }
    cp = cp_ig(T);
    detail::hs_unshifted(*this, T, h, s);
    h -= h_at_ref;
    s -= s_at_ref;
}

double Component::h_ig(double T) const noexcept {
    double cp, h, s;
    ideal_gas(T, cp, h, s);
    return h;
}

double Component::s_ig(double T) const noexcept {
    double cp, h, s;
    ideal_gas(T, cp, h, s);
    return s;
}

} // namespace xif::refhost::databank
