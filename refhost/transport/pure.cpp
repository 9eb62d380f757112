// Pure-component estimation methods, used where a databank correlation is
// missing or outside its temperature range.
#include "transport_detail.hpp"

#include <algorithm>
#include <cmath>

namespace xif::refhost::transport {

using detail::fail;
using detail::finish;
using detail::finite_positive;

namespace {

bool critical_ok(const Constants& c) {
    return finite_positive(c.tc) && finite_positive(c.pc) && finite_positive(c.mw) &&
           std::isfinite(c.omega);
}

// Letsou-Stiel mu xi at reduced temperature tr (<= 1).
double letsou_stiel_group(double tr, double omega) {
    const double f0 = 0.015174 - 0.02135 * tr + 0.0075 * tr * tr;
    const double f1 = 0.042552 - 0.07674 * tr + 0.0340 * tr * tr;
    return f0 + omega * f1;
}

} // namespace

double sato_riedel_factor(double tr) {
    if (tr >= 1.0) return 3.0; // Tr held at 1: no pow of zero
    return 3.0 + 20.0 * std::pow(1.0 - tr, 2.0 / 3.0);
}

Status chung_vapour_viscosity(double t, const Constants& c, double& out) {
    if (!finite_positive(t) || !finite_positive(c.tc) || !finite_positive(c.vc) ||
        !finite_positive(c.mw) || !std::isfinite(c.omega) || !std::isfinite(c.dipole) ||
        !std::isfinite(c.kappa) || c.dipole < 0.0 || c.kappa < 0.0)
        return fail(Status::bad_input, out);
    const double vc = 1.0e3 * c.vc; // cm3/mol
    const double ts = 1.2593 * t / c.tc;
    // Neufeld et al. (1972) viscosity collision integral.
    const double omega_v = 1.16145 * std::pow(ts, -0.14874) + 0.52487 * std::exp(-0.77320 * ts) +
                           2.16178 * std::exp(-2.43787 * ts);
    const double mu_r = 131.3 * c.dipole / std::sqrt(vc * c.tc);
    const double fc = 1.0 - 0.2756 * c.omega + 0.059035 * std::pow(mu_r, 4.0) + c.kappa;
    // 40.785 Fc (M T)^0.5 / (Vc^(2/3) Omega_v) in micropoise.
    const double mu = 40.785 * fc * std::sqrt(c.mw * t) / (std::pow(vc, 2.0 / 3.0) * omega_v);
    return finish(1.0e-7 * mu, out);
}

Status vapour_viscosity_out_of_range(double t, double t_ref, double mu_ref, const Constants& c,
                                     double& out) {
    if (!finite_positive(mu_ref)) return fail(Status::bad_input, out);
    double at_t = 0.0, at_ref = 0.0;
    if (Status s = chung_vapour_viscosity(t, c, at_t); s != Status::ok) return fail(s, out);
    if (Status s = chung_vapour_viscosity(t_ref, c, at_ref); s != Status::ok) return fail(s, out);
    return finish(mu_ref * at_t / at_ref, out);
}

Status letsou_stiel_liquid_viscosity(double t, const Constants& c, double& out) {
    if (!finite_positive(t) || !critical_ok(c)) return fail(Status::bad_input, out);
    const double tr = std::min(t / c.tc, 1.0);
    const double xi = detail::viscosity_xi(c.tc, c.mw, c.pc);
    return finish(1.0e-3 * letsou_stiel_group(tr, c.omega) / xi, out);
}

Status liquid_viscosity_above_range(double t, double t_max, double mu_max, const Constants& c,
                                    double& out) {
    if (!finite_positive(t) || !finite_positive(t_max) || !finite_positive(mu_max) ||
        !critical_ok(c))
        return fail(Status::bad_input, out);
    // The ratio of Letsou-Stiel's values, in which the component's xi cancels.
    const double at_max = letsou_stiel_group(std::min(t_max / c.tc, 1.0), c.omega);
    const double at_t = letsou_stiel_group(std::min(t / c.tc, 1.0), c.omega);
    if (!(at_max > 0.0) || !(at_t > 0.0)) return fail(Status::no_value, out);
    return finish(mu_max * at_t / at_max, out);
}

Status liquid_viscosity_below_range(double t, double t1, double mu1, double t2, double mu2,
                                    double& out) {
    if (!finite_positive(t) || !finite_positive(t1) || !finite_positive(mu1) ||
        !finite_positive(t2) || !finite_positive(mu2) || t2 == t1)
        return fail(Status::bad_input, out);
    // Andrade: ln mu = a + b / T, b > 0 for a liquid.
    const double b = std::log(mu2 / mu1) / (1.0 / t2 - 1.0 / t1);
    if (!(b > 0.0) || !std::isfinite(b)) return finish(mu1, out);
    return finish(mu1 * std::exp(b * (1.0 / t - 1.0 / t1)), out);
}

Status chung_vapour_conductivity(double t, double cp, double mu, const Constants& c, double& out) {
    if (!finite_positive(t) || !finite_positive(cp) || !finite_positive(mu) ||
        !finite_positive(c.tc) || !finite_positive(c.mw) || !std::isfinite(c.omega))
        return fail(Status::bad_input, out);
    // alpha = Cv/R - 3/2, not below the monatomic value 0.
    const double alpha = std::max(cp / detail::kR - 2.5, 0.0);
    const double beta = 0.7862 - 0.7109 * c.omega + 1.3168 * c.omega * c.omega;
    const double tr = t / c.tc;
    const double z = 2.0 + 10.5 * tr * tr;
    const double psi = 1.0 + alpha * (0.215 + 0.28288 * alpha - 1.061 * beta + 0.26665 * z) /
                                 (0.6366 + beta * z + 1.061 * alpha * beta);
    return finish(3.75 * psi * mu * detail::kR / c.mw, out);
}

Status vapour_conductivity_out_of_range(double t, double cp, double mu, double t_ref, double cp_ref,
                                        double mu_ref, double k_ref, const Constants& c,
                                        double& out) {
    if (!finite_positive(k_ref)) return fail(Status::bad_input, out);
    double at_t = 0.0, at_ref = 0.0;
    if (Status s = chung_vapour_conductivity(t, cp, mu, c, at_t); s != Status::ok)
        return fail(s, out);
    if (Status s = chung_vapour_conductivity(t_ref, cp_ref, mu_ref, c, at_ref); s != Status::ok)
        return fail(s, out);
    return finish(k_ref * at_t / at_ref, out);
}

Status sato_riedel_liquid_conductivity(double t, const Constants& c, double& out) {
    if (!finite_positive(t) || !finite_positive(c.tc) || !finite_positive(c.mw) ||
        !finite_positive(c.tb) || c.tb >= c.tc)
        return fail(Status::bad_input, out);
    const double k =
        1.11 / std::sqrt(c.mw) * sato_riedel_factor(t / c.tc) / sato_riedel_factor(c.tb / c.tc);
    return finish(k, out);
}

Status liquid_conductivity_out_of_range(double t, double t_ref, double k_ref, const Constants& c,
                                        double& out) {
    return liquid_conductivity_out_of_range(t, t_ref, k_ref, sato_riedel_factor(t_ref / c.tc), c,
                                            out);
}

Status liquid_conductivity_out_of_range(double t, double t_ref, double k_ref, double f_ref,
                                        const Constants& c, double& out) {
    if (!finite_positive(t) || !finite_positive(t_ref) || !finite_positive(k_ref) ||
        !finite_positive(c.tc))
        return fail(Status::bad_input, out);
    return finish(k_ref * sato_riedel_factor(t / c.tc) / f_ref, out);
}

Status brock_bird_surface_tension(double t, const Constants& c, double& out) {
    if (!finite_positive(t) || !finite_positive(c.tc) || !finite_positive(c.pc) ||
        !finite_positive(c.tb) || c.tb >= c.tc)
        return fail(Status::bad_input, out);
    if (t >= c.tc) return fail(Status::no_liquid, out);
    const double pc_bar = c.pc / detail::kBar;
    const double tbr = c.tb / c.tc;
    const double q = 0.1196 * (1.0 + tbr * std::log(pc_bar / 1.01325) / (1.0 - tbr)) - 0.279;
    // Pc^(2/3) Tc^(1/3) Q (1 - Tr)^(11/9) in dyn/cm.
    const double sigma =
        std::pow(pc_bar, 2.0 / 3.0) * std::cbrt(c.tc) * q * std::pow(1.0 - t / c.tc, 11.0 / 9.0);
    return finish(1.0e-3 * sigma, out);
}

Status surface_tension_out_of_range(double t, double t_ref, double sigma_ref, double tc,
                                    double& out) {
    if (!finite_positive(t) || !finite_positive(t_ref) || !finite_positive(sigma_ref) ||
        !finite_positive(tc) || t_ref >= tc)
        return fail(Status::bad_input, out);
    if (t >= tc) return fail(Status::no_liquid, out);
    return finish(sigma_ref * std::pow((tc - t) / (tc - t_ref), 11.0 / 9.0), out);
}

} // namespace xif::refhost::transport
