// Viscosity (IAPWS R12-08), thermal conductivity (IAPWS R15-11) and surface
// tension (IAPWS R1-76(2014)) of pure water. The correlations work in
// reduced variables T/Tc and rho/rhoc; densities and the derivatives the
// conductivity's critical enhancement needs come from IF97.
#include "refhost/water/water.h"

#include <cmath>
#include <numbers>

namespace xif::refhost::water {
namespace {

constexpr double t_transport_max = 1173.15; // K, top of the industrial range

// Viscosity in the dilute-gas limit: denominator coefficients H_i.
constexpr double mu0_h[] = {1.67752, 2.20462, 0.6366564, -0.241605};

// Residual viscosity factor: H_ij, i = 0..5 (temperature), j = 0..6 (density).
constexpr double mu1_h[6][7] = {
    {5.20094e-1, 2.22531e-1, -2.81378e-1, 1.61913e-1, -3.25372e-2, 0.0, 0.0},
    {8.50895e-2, 9.99115e-1, -9.06851e-1, 2.57399e-1, 0.0, 0.0, 0.0},
    {-1.08374, 1.88797, -7.72479e-1, 0.0, 0.0, 0.0, 0.0},
    {-2.89555e-1, 1.26613, -4.89837e-1, 0.0, 6.98452e-2, 0.0, -4.35673e-3},
    {0.0, 0.0, -2.57040e-1, 0.0, 0.0, 8.72102e-3, 0.0},
    {0.0, 1.20573e-1, 0.0, 0.0, 0.0, 0.0, -5.93264e-4},
};

// Conductivity in the dilute-gas limit: denominator coefficients L_k.
constexpr double lambda0_l[] = {2.443221e-3, 1.323095e-2, 6.770357e-3, -3.454586e-3, 4.096266e-4};

// Residual conductivity factor: L_ij, i = 0..4 (temperature), j = 0..5 (density).
constexpr double lambda1_l[5][6] = {
    {1.60397357, -0.646013523, 0.111443906, 0.102997357, -0.0504123634, 0.00609859258},
    {2.33771842, -2.78843778, 1.53616167, -0.463045512, 0.0832827019, -0.00719201245},
    {2.19650529, -4.54580785, 3.55777244, -1.40944978, 0.275418278, -0.0205938816},
    {-1.21051378, 1.60812989, -0.621178141, 0.0716373224, 0.0, 0.0},
    {-2.7203370, 4.57586331, -3.18369245, 1.1168348, -0.19268305, 0.012913842},
};

// Symmetrised compressibility at the reference temperature 1.5 Tc for the
// industrial formulation: 1/zeta_R = sum_i A_ij rhobar^i, with the column j
// chosen by density band.
constexpr double zeta_ref_a[5][6] = {
    {6.53786807199516, -5.61149954923348, 3.39624167361325, -2.27492629730878, 10.2631854662709,
     1.97815050331519},
    {6.52717759281799, -6.30816983387575, 8.08379285492595, -9.82240510197603, 12.1358413791395,
     -5.54349664571295},
    {5.35500529896124, -3.96415689925446, 8.91990208918795, -12.0338729505790, 9.19494865194302,
     -2.16866274479712},
    {1.55225959906681, 0.464621290821181, 8.93237374861479, -11.0321960061126, 6.16780999933360,
     -0.965458722086812},
    {1.11999926419994, 0.595748562571649, 9.88952565078920, -10.3255051147040, 4.66861294457414,
     -0.503243546373203},
};
constexpr double zeta_ref_band[4] = {0.310559006, 0.776397516, 1.242236025, 1.863354037};

// Critical-enhancement constants.
constexpr double r_cond = 0.46151805e3; // J/(kg K), the conductivity release's R
constexpr double big_lambda = 177.8514;
constexpr double q_d = 1.0 / 0.40e-9; // 1/m
constexpr double xi0 = 0.13e-9;       // m
constexpr double gamma0 = 0.06;
constexpr double nu = 0.630;
constexpr double gamma_exp = 1.239;
constexpr double t_ref_bar = 1.5;

bool finite_positive(double x) {
    return std::isfinite(x) && x > 0.0;
}

Status check_tv(double t, double v) {
    if (!finite_positive(t) || !finite_positive(v)) return Status::bad_input;
    if (t < t_min || t > t_transport_max) return Status::out_of_range;
    return Status::ok;
}

// Reduced viscosity mu/(1e-6 Pa s).
double mu_bar(double tb, double rb) {
    double den = 0.0;
    for (int i = 0; i < 4; ++i)
        den += mu0_h[i] / std::pow(tb, i);
    const double mu0 = 100.0 * std::sqrt(tb) / den;
    const double x = 1.0 / tb - 1.0;
    const double y = rb - 1.0;
    double sum = 0.0;
    double xi = 1.0;
    for (int i = 0; i < 6; ++i) {
        double inner = 0.0;
        double yj = 1.0;
        for (int j = 0; j < 7; ++j) {
            inner += mu1_h[i][j] * yj;
            yj *= y;
        }
        sum += xi * inner;
        xi *= x;
    }
    return mu0 * std::exp(rb * sum);
}

// Reduced background conductivity lambda0 * lambda1, in mW/(m K).
double lambda_bar_background(double tb, double rb) {
    double den = 0.0;
    for (int k = 0; k < 5; ++k)
        den += lambda0_l[k] / std::pow(tb, k);
    const double l0 = std::sqrt(tb) / den;
    const double x = 1.0 / tb - 1.0;
    const double y = rb - 1.0;
    double sum = 0.0;
    double xi = 1.0;
    for (int i = 0; i < 5; ++i) {
        double inner = 0.0;
        double yj = 1.0;
        for (int j = 0; j < 6; ++j) {
            inner += lambda1_l[i][j] * yj;
            yj *= y;
        }
        sum += xi * inner;
        xi *= x;
    }
    return l0 * std::exp(rb * sum);
}

double zeta_ref(double rb) {
    int j = 4;
    for (int k = 0; k < 4; ++k) {
        if (rb <= zeta_ref_band[k]) {
            j = k;
            break;
        }
    }
    double sum = 0.0;
    double ri = 1.0;
    for (int i = 0; i < 6; ++i) {
        sum += zeta_ref_a[j][i] * ri;
        ri *= rb;
    }
    return 1.0 / sum;
}

// Critical enhancement lambda2 in mW/(m K); st supplies rho, cp, cv and the
// compressibility, mub the reduced viscosity.
double lambda_bar_critical(const State& st, double mub) {
    const double rho = st.mass_density();
    const double tb = st.t / t_crit;
    const double rb = rho / rho_crit;
    // cp/R and cp/cv on a mass basis; IF97 can give nonsense at the critical
    // point itself, where the release caps both at 1e13.
    double cp_bar = st.cp / molar_mass / r_cond;
    double kappa = st.cp / st.cv;
    if (!(cp_bar > 0.0) || cp_bar > 1e13) cp_bar = 1e13;
    if (!(kappa > 0.0) || kappa > 1e13) kappa = 1e13;
    // zeta = (d rhobar / d pbar)_T = (pc/rhoc) * drho/dp, drho/dp = -rho^2 dv/dp.
    const double dvdp_mass = st.dvdp_t / molar_mass;
    const double drho_dp = -rho * rho * dvdp_mass;
    const double zeta = p_crit / rho_crit * drho_dp;
    double dchi = rb * (zeta - zeta_ref(rb) * t_ref_bar / tb);
    if (!(dchi > 0.0)) return 0.0;
    const double xi = xi0 * std::pow(dchi / gamma0, nu / gamma_exp);
    const double y = q_d * xi;
    if (y < 1.2e-7) return 0.0;
    const double z = 2.0 / (std::numbers::pi * y) *
                     ((1.0 - 1.0 / kappa) * std::atan(y) + y / kappa -
                      (1.0 - std::exp(-1.0 / (1.0 / y + y * y / (3.0 * rb * rb)))));
    return big_lambda * rb * cp_bar * tb / mub * z;
}

} // namespace

Status viscosity_tv(double t, double v, double& mu) {
    const Status st = check_tv(t, v);
    if (st != Status::ok) return st;
    const double rb = molar_mass / v / rho_crit;
    const double m = mu_bar(t / t_crit, rb) * 1e-6;
    if (!finite_positive(m)) return Status::out_of_range;
    mu = m;
    return Status::ok;
}

Status viscosity(const State& st, double& mu) {
    return viscosity_tv(st.t, st.v, mu);
}

Status viscosity(double t, double p, double& mu) {
    State st;
    const Status s = properties(t, p, st);
    if (s != Status::ok) return s;
    return viscosity(st, mu);
}

Status thermal_conductivity_tv(double t, double v, double& lambda) {
    const Status st = check_tv(t, v);
    if (st != Status::ok) return st;
    const double l = lambda_bar_background(t / t_crit, molar_mass / v / rho_crit) * 1e-3;
    if (!finite_positive(l)) return Status::out_of_range;
    lambda = l;
    return Status::ok;
}

Status thermal_conductivity(const State& st, double& lambda) {
    const Status s = check_tv(st.t, st.v);
    if (s != Status::ok) return s;
    const double tb = st.t / t_crit;
    const double rb = st.mass_density() / rho_crit;
    const double l2 = lambda_bar_critical(st, mu_bar(tb, rb));
    const double l = (lambda_bar_background(tb, rb) + l2) * 1e-3;
    if (!finite_positive(l)) return Status::out_of_range;
    lambda = l;
    return Status::ok;
}

Status thermal_conductivity(double t, double p, double& lambda) {
    State st;
    const Status s = properties(t, p, st);
    if (s != Status::ok) return s;
    return thermal_conductivity(st, lambda);
}

Status surface_tension(double t, double& sigma) {
    if (!finite_positive(t)) return Status::bad_input;
    if (t < 248.15 || t > t_crit) return Status::out_of_range;
    const double tau = 1.0 - t / t_crit;
    sigma = 235.8e-3 * std::pow(tau, 1.256) * (1.0 - 0.625 * tau);
    return Status::ok;
}

} // namespace xif::refhost::water
