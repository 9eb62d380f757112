// Mixing rules and dense-fluid corrections for viscosity, thermal
// conductivity and surface tension.
#include "transport_detail.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace xif::refhost::transport {

using detail::Composition;
using detail::fail;
using detail::finish;
using detail::present_positive;

const char* to_string(Status s) {
    switch (s) {
    case Status::ok:
        return "ok";
    case Status::bad_size:
        return "bad size";
    case Status::bad_composition:
        return "bad composition";
    case Status::bad_input:
        return "bad input";
    case Status::no_liquid:
        return "no liquid above the critical temperature";
    case Status::no_value:
        return "no value";
    }
    return "unknown";
}

// ---------------------------------------------------------------- viscosity

Status liquid_viscosity_mix(Values x, Values mu, double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    if (!present_positive(z, mu)) return fail(Status::bad_input, out);
    double ln_mu = 0.0;
    for (std::size_t i = 0; i < z.n; ++i)
        if (z.x[i] > 0.0) ln_mu += z.x[i] * std::log(mu[i]);
    return finish(std::exp(ln_mu), out);
}

namespace {

bool molecular_weights_ok(const Composition& z, ConstantsList c) {
    if (c.size() != z.n) return false;
    for (std::size_t i = 0; i < z.n; ++i)
        if (z.x[i] > 0.0 && !detail::finite_positive(c[i].mw)) return false;
    return true;
}

// Jossi-Stiel-Thodos polynomial; (mu - mu0) xi + 1e-4 = f^4 as published.
double jst_poly(double rr) {
    return 0.10230 + rr * (0.023364 + rr * (0.058533 + rr * (-0.040758 + rr * 0.0093324)));
}

// Upper end of the reduced densities the dense-fluid correlations were fitted
// to; the increments are held constant beyond, so they never fall with density.
constexpr double kJstMaxReducedDensity = 3.0;
constexpr double kStielThodosMaxReducedDensity = 2.8;

// Stiel-Thodos (k - k0) Gamma Zc^5 in W/(m K), by reduced density, in its
// three published pieces. They miss one another by 0.2 and 0.3 % at 0.5 and
// 2.0, which made the conductivity step as the density crossed them: each
// later piece is shifted to meet the one before.
double stiel_thodos_piece(int piece, double rr) {
    switch (piece) {
    case 0:
        return 1.22e-2 * (std::exp(0.535 * rr) - 1.0);
    case 1:
        return 1.14e-2 * (std::exp(0.67 * rr) - 1.069);
    default:
        return 2.60e-3 * (std::exp(1.155 * rr) + 2.016);
    }
}
const double kStielThodosShift1 = stiel_thodos_piece(0, 0.5) - stiel_thodos_piece(1, 0.5);
const double kStielThodosShift2 =
    stiel_thodos_piece(1, 2.0) + kStielThodosShift1 - stiel_thodos_piece(2, 2.0);

double stiel_thodos_group(double rr) {
    if (rr < 0.5) return stiel_thodos_piece(0, rr);
    if (rr < 2.0) return stiel_thodos_piece(1, rr) + kStielThodosShift1;
    return stiel_thodos_piece(2, rr) + kStielThodosShift2;
}

// sum_i x_i v_i / sum_j x_j a_ij over the components present, a_ii = 1: the
// common form of the Wilke and Wassiljewa sums.
template <class Factor> double wilke_sum(const Composition& z, Values v, Factor a) {
    double sum = 0.0;
    for (std::size_t i = 0; i < z.n; ++i) {
        if (z.x[i] <= 0.0) continue;
        double den = 0.0;
        for (std::size_t j = 0; j < z.n; ++j) {
            if (z.x[j] <= 0.0) continue;
            den += z.x[j] * (i == j ? 1.0 : a(i, j));
        }
        sum += z.x[i] * v[i] / den;
    }
    return sum;
}

// The Wilke or Wassiljewa sum with pair factors kept by the caller.
Status kept_factor_sum(Values x, Values v, PairFactors a, double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    if (!present_positive(z, v) || !a.a || a.stride < z.n) return fail(Status::bad_input, out);
    return finish(wilke_sum(z, v, a), out);
}

// A low-pressure value plus its dense-gas increment, each from its function.
template <class Low, class Increment>
Status with_increment(Low low_of, Increment increment_of, double& out) {
    double low = 0.0, inc = 0.0;
    if (Status s = low_of(low); s != Status::ok) return fail(s, out);
    if (Status s = increment_of(inc); s != Status::ok) return fail(s, out);
    return finish(low + inc, out);
}

} // namespace

WilkeMasses wilke_masses(double m_i, double m_j) {
    return {std::pow(m_j / m_i, 0.25), 1.0 / std::sqrt(8.0 * (1.0 + m_i / m_j))};
}

double wilke_factor(double mu_i, double mu_j, double m_i, double m_j) {
    return wilke_factor(mu_i, mu_j, wilke_masses(m_i, m_j));
}

Status vapour_viscosity_low_pressure_mix(Values x, Values mu, ConstantsList c, double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    if (!present_positive(z, mu) || !molecular_weights_ok(z, c))
        return fail(Status::bad_input, out);
    return finish(wilke_sum(z, mu,
                            [&](std::size_t i, std::size_t j) {
                                return wilke_factor(mu[i], mu[j], c[i].mw, c[j].mw);
                            }),
                  out);
}

Status vapour_viscosity_low_pressure_mix(Values x, Values mu, PairFactors phi, double& out) {
    return kept_factor_sum(x, mu, phi, out);
}

Status dense_gas_viscosity_increment(Values x, ConstantsList c, double rho, double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    if (!std::isfinite(rho) || rho < 0.0) return fail(Status::bad_input, out);
    detail::PseudoCritical m;
    if (!detail::pseudo_critical(z, c, m)) return fail(Status::bad_input, out);
    const double rr = std::min(rho * m.vc, kJstMaxReducedDensity);
    const double f = jst_poly(rr);
    const double f0 = jst_poly(0.0);
    // Measured from the zero-density value of the polynomial rather than the
    // published 1e-4, so that the increment vanishes at zero density.
    const double group = f * f * f * f - f0 * f0 * f0 * f0;
    const double d_mu = 1.0e-3 * group / detail::viscosity_xi(m.tc, m.mw, m.pc);
    if (!std::isfinite(d_mu)) return fail(Status::no_value, out);
    out = std::max(d_mu, 0.0);
    return Status::ok;
}

Status vapour_viscosity_mix(Values x, Values mu0, ConstantsList c, double rho, double& out) {
    return with_increment(
        [&](double& low) { return vapour_viscosity_low_pressure_mix(x, mu0, c, low); },
        [&](double& inc) { return dense_gas_viscosity_increment(x, c, rho, inc); }, out);
}

Status vapour_viscosity_mix(Values x, Values mu0, PairFactors phi, ConstantsList c, double rho,
                            double& out) {
    return with_increment(
        [&](double& low) { return vapour_viscosity_low_pressure_mix(x, mu0, phi, low); },
        [&](double& inc) { return dense_gas_viscosity_increment(x, c, rho, inc); }, out);
}

// ----------------------------------------------------- thermal conductivity

Status liquid_conductivity_mix(Values x, Values k, Values v, double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    if (!present_positive(z, k) || !present_positive(z, v)) return fail(Status::bad_input, out);
    // The components present: volume fractions and reciprocal conductivities.
    std::array<double, kMaxComponents> phi{}, inv{};
    std::size_t m = 0;
    double vm = 0.0;
    for (std::size_t i = 0; i < z.n; ++i)
        if (z.x[i] > 0.0) {
            phi[m] = z.x[i] * v[i];
            inv[m++] = 1.0 / k[i];
            vm += z.x[i] * v[i];
        }
    // sum_ij phi_i phi_j k_ij with k_ij = 2 / (1/k_i + 1/k_j) symmetric and k_ii = k_i.
    double diagonal = 0.0, pairs = 0.0;
    for (std::size_t i = 0; i < m; ++i) {
        phi[i] /= vm;
        diagonal += phi[i] * phi[i] / inv[i];
        for (std::size_t j = 0; j < i; ++j)
            pairs += phi[i] * phi[j] / (inv[i] + inv[j]);
    }
    return finish(diagonal + 4.0 * pairs, out);
}

double roy_thodos_gamma(const Constants& c) {
    if (!detail::finite_positive(c.tc) || !detail::finite_positive(c.pc) ||
        !detail::finite_positive(c.mw))
        return std::numeric_limits<double>::quiet_NaN();
    return detail::roy_thodos_gamma(c.tc, c.mw, c.pc);
}

double translational_conductivity(double t, double tc, double gamma) {
    const double tr = t / tc;
    return (std::exp(0.0464 * tr) - std::exp(-0.2412 * tr)) / gamma;
}

double translational_conductivity(double t, const Constants& c) {
    return translational_conductivity(t, c.tc, roy_thodos_gamma(c));
}

Status vapour_conductivity_low_pressure_mix(Values x, Values k, ConstantsList c, double t,
                                            double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    if (!detail::finite_positive(t) || !present_positive(z, k) || c.size() != z.n)
        return fail(Status::bad_input, out);
    // Translational conductivity of each component up to a common factor.
    std::array<double, kMaxComponents> ktr{};
    for (std::size_t i = 0; i < z.n; ++i) {
        if (z.x[i] <= 0.0) continue;
        ktr[i] = translational_conductivity(t, c[i]);
        if (!std::isfinite(ktr[i])) return fail(Status::bad_input, out);
    }
    return finish(wilke_sum(z, k,
                            [&](std::size_t i, std::size_t j) {
                                return wilke_factor(ktr[i], ktr[j], c[i].mw, c[j].mw);
                            }),
                  out);
}

Status vapour_conductivity_low_pressure_mix(Values x, Values k, PairFactors a, double& out) {
    return kept_factor_sum(x, k, a, out);
}

Status dense_gas_conductivity_increment(Values x, ConstantsList c, double rho, double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    if (!std::isfinite(rho) || rho < 0.0) return fail(Status::bad_input, out);
    detail::PseudoCritical m;
    if (!detail::pseudo_critical(z, c, m)) return fail(Status::bad_input, out);
    const double rr = std::min(rho * m.vc, kStielThodosMaxReducedDensity);
    const double zc2 = m.zc * m.zc;
    const double zc5 = zc2 * zc2 * m.zc;
    const double d_k = stiel_thodos_group(rr) / (detail::roy_thodos_gamma(m.tc, m.mw, m.pc) * zc5);
    if (!std::isfinite(d_k)) return fail(Status::no_value, out);
    out = std::max(d_k, 0.0);
    return Status::ok;
}

Status vapour_conductivity_mix(Values x, Values k0, ConstantsList c, double t, double rho,
                               double& out) {
    return with_increment(
        [&](double& low) { return vapour_conductivity_low_pressure_mix(x, k0, c, t, low); },
        [&](double& inc) { return dense_gas_conductivity_increment(x, c, rho, inc); }, out);
}

Status vapour_conductivity_mix(Values x, Values k0, PairFactors a, ConstantsList c, double rho,
                               double& out) {
    return with_increment(
        [&](double& low) { return vapour_conductivity_low_pressure_mix(x, k0, a, low); },
        [&](double& inc) { return dense_gas_conductivity_increment(x, c, rho, inc); }, out);
}

// --------------------------------------------------------- surface tension

namespace {

// Winterfeld-Scriven-Davis: sigma = (sum phi_i sigma_i^(1/2))^2 over the
// components selected, phi the volume fractions among them.
double wsd(const Composition& z, Values sigma, Values v, int skip) {
    double vm = 0.0, s = 0.0;
    for (std::size_t i = 0; i < z.n; ++i) {
        if (z.x[i] <= 0.0 || static_cast<int>(i) == skip) continue;
        vm += z.x[i] * v[i];
        s += z.x[i] * v[i] * std::sqrt(sigma[i]);
    }
    s /= vm;
    return s * s;
}

// Surface volume fraction of water in Tamura-Kurata-Odani: the root in (0,1)
// of q log10(s) - log10(1 - s) = c, increasing in s.
double tko_surface_fraction(double q, double c) {
    double lo = 0.0, hi = 1.0;
    for (int it = 0; it < 200; ++it) {
        const double s = 0.5 * (lo + hi);
        const double g = q * std::log10(s) - std::log10(1.0 - s) - c;
        if (g > 0.0)
            hi = s;
        else
            lo = s;
    }
    return 0.5 * (lo + hi);
}

} // namespace

Status surface_tension_mix(Values x, Values sigma, Values v, double t, int water, Values q,
                           double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    // A pure tension of zero (a component above its critical temperature) is
    // a valid input.
    if (!present_positive(z, v) || sigma.size() != z.n) return fail(Status::bad_input, out);
    for (std::size_t i = 0; i < z.n; ++i)
        if (z.x[i] > 0.0 && !(std::isfinite(sigma[i]) && sigma[i] >= 0.0))
            return fail(Status::bad_input, out);
    if (water < -1 || water >= static_cast<int>(z.n)) return fail(Status::bad_input, out);
    const double xw = water >= 0 ? z.x[static_cast<std::size_t>(water)] : 0.0;
    if (xw <= 0.0 || xw >= 1.0) return finish(wsd(z, sigma, v, -1), out);

    if (!detail::finite_positive(t)) return fail(Status::bad_input, out);
    if (!q.empty() && q.size() != z.n) return fail(Status::bad_size, out);
    // Organics lumped into one: mole-averaged molar volume and q, WSD tension.
    const auto w = static_cast<std::size_t>(water);
    double xo = 0.0, vo = 0.0, qo = 0.0;
    for (std::size_t i = 0; i < z.n; ++i) {
        if (i == w || z.x[i] <= 0.0) continue;
        const double qi = q.empty() ? 1.0 : q[i];
        if (!detail::finite_positive(qi)) return fail(Status::bad_input, out);
        xo += z.x[i];
        vo += z.x[i] * v[i];
        qo += z.x[i] * qi;
    }
    vo /= xo;
    qo /= xo;
    const double so = wsd(z, sigma, v, water);
    // The correlation's units: dyn/cm and cm3/mol.
    const double sw_cgs = 1.0e3 * sigma[w], so_cgs = 1.0e3 * so;
    const double vw_cgs = 1.0e3 * v[w], vo_cgs = 1.0e3 * vo;
    const double bulk_w = xw * vw_cgs / (xw * vw_cgs + xo * vo_cgs);
    const double bulk_o = 1.0 - bulk_w;
    const double b = qo * std::log10(bulk_w) - std::log10(bulk_o);
    const double wterm =
        0.441 * (qo / t) *
        (so_cgs * std::pow(vo_cgs, 2.0 / 3.0) / qo - sw_cgs * std::pow(vw_cgs, 2.0 / 3.0));
    const double surf_w = tko_surface_fraction(qo, b + wterm);
    const double root = surf_w * std::pow(sigma[w], 0.25) + (1.0 - surf_w) * std::pow(so, 0.25);
    return finish(root * root * root * root, out);
}

} // namespace xif::refhost::transport
