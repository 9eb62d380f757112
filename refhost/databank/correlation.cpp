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

// 8-point Gauss-Legendre on [a, b].
template <class F> double gauss8(F&& f, double a, double b) noexcept {
    static constexpr std::array<double, 4> x{0.1834346424956498, 0.5255324099163290,
                                             0.7966664774136267, 0.9602898564975363};
    static constexpr std::array<double, 4> w{0.3626837833783620, 0.3137066458778873,
                                             0.2223810344533745, 0.1012285362903763};
    const double m = 0.5 * (a + b);
    const double r = 0.5 * (b - a);
    double sum = 0.0;
    for (std::size_t k = 0; k < 4; ++k)
        sum += w[k] * (f(m - r * x[k]) + f(m + r * x[k]));
    return sum * r;
}

// Integral of f over [a, b] for the CPIG row k. The TRC form switches its y terms on at
// T = a7, so a panel that straddles a7 is split there to keep the rule's full accuracy.
template <class F> double integrate(const Correlation& k, F&& f, double a, double b) noexcept {
    const double kink = k.c[7];
    if (k.form == Form::trc && kink > std::min(a, b) && kink < std::max(a, b))
        return gauss8(f, a, kink) + gauss8(f, kink, b);
    return gauss8(f, a, b);
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
double h_raw(const Component& k, double T) noexcept {
    const auto& c = k.cpig.c;
    if (k.cpig.form == Form::dippr100)
        return T * (c[0] + T * (c[1] / 2 + T * (c[2] / 3 + T * (c[3] / 4 + T * c[4] / 5))));
    const auto& g = k.ig;
    const std::size_t i =
        std::min(g.n - 2, static_cast<std::size_t>(std::max(0.0, (T - g.t0) / g.dt)));
    const double ti = g.t0 + static_cast<double>(i) * g.dt;
    return g.h[i] + integrate(
                        k.cpig, [&](double t) { return k.cpig.eval(t); }, ti, T);
}

double s_raw(const Component& k, double T) noexcept {
    const auto& c = k.cpig.c;
    if (k.cpig.form == Form::dippr100)
        return c[0] * std::log(T) + T * (c[1] + T * (c[2] / 2 + T * (c[3] / 3 + T * c[4] / 4)));
    const auto& g = k.ig;
    const std::size_t i =
        std::min(g.n - 2, static_cast<std::size_t>(std::max(0.0, (T - g.t0) / g.dt)));
    const double ti = g.t0 + static_cast<double>(i) * g.dt;
    return g.s[i] + integrate(
                        k.cpig, [&](double t) { return k.cpig.eval(t) / t; }, ti, T);
}

} // namespace

double Component::cp_ig(double T) const noexcept {
    if (!(T > 0.0) || !cpig.present()) return nan;
    return cpig.eval(std::clamp(T, cpig.tmin, cpig.tmax));
}

// Enthalpy and entropy with Cp held constant beyond the range, not yet shifted to 298.15 K.
namespace detail {
double h_unshifted(const Component& k, double T) noexcept {
    const double lo = k.cpig.tmin, hi = k.cpig.tmax;
    if (T < lo) return h_raw(k, lo) + k.cpig.eval(lo) * (T - lo);
    if (T > hi) return h_raw(k, hi) + k.cpig.eval(hi) * (T - hi);
    return h_raw(k, T);
}

double s_unshifted(const Component& k, double T) noexcept {
    const double lo = k.cpig.tmin, hi = k.cpig.tmax;
    if (T < lo) return s_raw(k, lo) + k.cpig.eval(lo) * std::log(T / lo);
    if (T > hi) return s_raw(k, hi) + k.cpig.eval(hi) * std::log(T / hi);
    return s_raw(k, T);
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
            g.h[i] = g.h[i - 1] + integrate(
                                      k.cpig, [&](double t) { return k.cpig.eval(t); }, a, b);
            g.s[i] = g.s[i - 1] + integrate(
                                      k.cpig, [&](double t) { return k.cpig.eval(t) / t; }, a, b);
        }
    }
    k.h_at_ref = h_unshifted(k, t_ref);
    k.s_at_ref = s_unshifted(k, t_ref);
}
} // namespace detail

double Component::h_ig(double T) const noexcept {
    if (!(T > 0.0) || !cpig.present()) return nan;
    return detail::h_unshifted(*this, T) - h_at_ref;
}

double Component::s_ig(double T) const noexcept {
    if (!(T > 0.0) || !cpig.present()) return nan;
    return detail::s_unshifted(*this, T) - s_at_ref;
}

} // namespace xif::refhost::databank
