// Binary and effective diffusivities of gases and liquids.
#include "transport_detail.hpp"

#include <array>
#include <cctype>
#include <cmath>

namespace xif::refhost::transport {

using detail::Composition;
using detail::fail;
using detail::finish;
using detail::present_positive;

namespace {

// Fuller, Ensley and Giddings (1969) diffusion volumes, as tabulated by
// Poling, Prausnitz and O'Connell (2001), Table 11-1.
struct Molecule {
    std::string_view hill;
    double v;
};
constexpr Molecule kMolecules[] = {
    {"N2", 18.5}, {"O2", 16.3},  {"H2", 6.12},  {"He", 2.67},  {"Ar", 16.2},
    {"CO", 18.0}, {"CO2", 26.9}, {"H2O", 13.1}, {"H3N", 20.7}, {"O2S", 41.8},
};

struct Atomic {
    std::string_view symbol;
    double v;
};
constexpr Atomic kAtomic[] = {
    {"C", 15.9},  {"H", 2.31}, {"O", 6.11},  {"N", 4.54}, {"S", 22.9},
    {"Cl", 21.0}, {"F", 14.7}, {"Br", 21.9}, {"I", 29.8},
};
constexpr double kRing = -18.3;

double reduced_molecular_weight(double a, double b) {
    return 2.0 / (1.0 / a + 1.0 / b);
}

// Neufeld, Janzen and Aziz (1972) diffusion collision integral.
double omega_diffusion(double ts) {
    return 1.06036 / std::pow(ts, 0.15610) + 0.19300 / std::exp(0.47635 * ts) +
           1.03587 / std::exp(1.52996 * ts) + 1.76474 / std::exp(3.89411 * ts);
}

// Blanc's rule over a binary-diffusivity function: D = sum_i x_i D_i,m,
// 1/D_i,m = sum_j x_j / D_ij, the self term included so that the rule is
// continuous in composition and exact for a pure component.
template <class Binary> Status blanc(const Composition& z, Binary binary, double& out) {
    double sum = 0.0;
    for (std::size_t i = 0; i < z.n; ++i) {
        if (z.x[i] <= 0.0) continue;
        double inv = 0.0;
        for (std::size_t j = 0; j < z.n; ++j) {
            if (z.x[j] <= 0.0) continue;
            double dij = 0.0;
            if (Status s = binary(i, j, dij); s != Status::ok) return fail(s, out);
            inv += z.x[j] / dij;
        }
        sum += z.x[i] / inv;
    }
    return finish(sum, out);
}

} // namespace

Status fuller_volume(std::string_view hill, int aromatic_rings, double& out) {
    if (hill.empty() || aromatic_rings < 0) return fail(Status::bad_input, out);
    if (aromatic_rings == 0)
        for (const Molecule& s : kMolecules)
            if (s.hill == hill) return finish(s.v, out);
    double v = 0.0;
    std::size_t pos = 0;
    while (pos < hill.size()) {
        if (!std::isupper(static_cast<unsigned char>(hill[pos])))
            return fail(Status::bad_input, out);
        std::size_t end = pos + 1;
        while (end < hill.size() && std::islower(static_cast<unsigned char>(hill[end])))
            ++end;
        const std::string_view symbol = hill.substr(pos, end - pos);
        long count = 0;
        pos = end;
        while (pos < hill.size() && std::isdigit(static_cast<unsigned char>(hill[pos]))) {
            count = count * 10 + (hill[pos] - '0');
            if (count > 100000) return fail(Status::bad_input, out);
            ++pos;
        }
        if (pos == end) count = 1;
        double atom = 0.0;
        for (const Atomic& a : kAtomic)
            if (a.symbol == symbol) atom = a.v;
        if (atom == 0.0) return fail(Status::bad_input, out);
        v += static_cast<double>(count) * atom;
    }
    v += kRing * aromatic_rings;
    return finish(v, out);
}

Status fuller_binary_diffusivity(double t, double p, double mw_a, double mw_b, double v_a,
                                 double v_b, double& out) {
    if (!detail::finite_positive(t) || !detail::finite_positive(p) ||
        !detail::finite_positive(mw_a) || !detail::finite_positive(mw_b) ||
        !detail::finite_positive(v_a) || !detail::finite_positive(v_b))
        return fail(Status::bad_input, out);
    const double s = std::cbrt(v_a) + std::cbrt(v_b);
    // 0.00143 T^1.75 / (P[bar] M_AB^0.5 s^2) in cm2/s.
    const double d = 1.43e-3 * std::pow(t, 1.75) /
                     (p / detail::kBar * std::sqrt(reduced_molecular_weight(mw_a, mw_b)) * s * s);
    return finish(1.0e-4 * d, out);
}

Status chapman_enskog_binary_diffusivity(double t, double p, double mw_a, double mw_b,
                                         double sigma_a, double sigma_b, double eps_k_a,
                                         double eps_k_b, double& out) {
    if (!detail::finite_positive(t) || !detail::finite_positive(p) ||
        !detail::finite_positive(mw_a) || !detail::finite_positive(mw_b) ||
        !detail::finite_positive(sigma_a) || !detail::finite_positive(sigma_b) ||
        !detail::finite_positive(eps_k_a) || !detail::finite_positive(eps_k_b))
        return fail(Status::bad_input, out);
    const double sigma = 0.5e10 * (sigma_a + sigma_b); // angstrom
    const double ts = t / std::sqrt(eps_k_a * eps_k_b);
    // 0.00266 T^1.5 / (P[bar] M_AB^0.5 sigma^2 Omega_D) in cm2/s.
    const double d = 2.66e-3 * std::pow(t, 1.5) /
                     (p / detail::kBar * std::sqrt(reduced_molecular_weight(mw_a, mw_b)) * sigma *
                      sigma * omega_diffusion(ts));
    return finish(1.0e-4 * d, out);
}

double fuller_factor(double t, double p) {
    return 1.0e-4 * 1.43e-3 * t * std::sqrt(t * std::sqrt(t)) / (p / detail::kBar); // T^1.75
}

double fuller_pair_term(double mw_a, double mw_b, double v_a, double v_b) {
    const double s = std::cbrt(v_a) + std::cbrt(v_b);
    return std::sqrt(reduced_molecular_weight(mw_a, mw_b)) * s * s;
}

Status gas_diffusivity_fuller(Values x, Values mw, Values v, double t, double p, double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    if (!present_positive(z, mw) || !present_positive(z, v)) return fail(Status::bad_input, out);
    if (!detail::finite_positive(t) || !detail::finite_positive(p))
        return fail(Status::bad_input, out);
    // The fuller_binary_diffusivity formula, with the temperature and pressure
    // factor and the cube roots taken once rather than once per pair.
    const double factor = fuller_factor(t, p);
    std::array<double, kMaxComponents> root{};
    for (std::size_t i = 0; i < z.n; ++i)
        if (z.x[i] > 0.0) root[i] = std::cbrt(v[i]);
    return blanc(
        z,
        [&](std::size_t i, std::size_t j, double& d) {
            const double s = root[i] + root[j];
            return finish(factor / (std::sqrt(reduced_molecular_weight(mw[i], mw[j])) * s * s), d);
        },
        out);
}

Status gas_diffusivity_fuller(Values x, PairFactors term, double t, double p, double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    if (!term.a || term.stride < z.n || !detail::finite_positive(t) || !detail::finite_positive(p))
        return fail(Status::bad_input, out);
    // Blanc's sum with 1/D_ij = term_ij / factor: no division per pair.
    double sum = 0.0;
    for (std::size_t i = 0; i < z.n; ++i) {
        if (z.x[i] <= 0.0) continue;
        double inv = 0.0;
        for (std::size_t j = 0; j < z.n; ++j)
            if (z.x[j] > 0.0) inv += z.x[j] * term(i, j);
        sum += z.x[i] / inv;
    }
    return finish(fuller_factor(t, p) * sum, out);
}

Status gas_diffusivity_chapman_enskog(Values x, Values mw, Values sigma, Values eps_k, double t,
                                      double p, double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    if (!present_positive(z, mw) || !present_positive(z, sigma) || !present_positive(z, eps_k))
        return fail(Status::bad_input, out);
    return blanc(
        z,
        [&](std::size_t i, std::size_t j, double& d) {
            return chapman_enskog_binary_diffusivity(t, p, mw[i], mw[j], sigma[i], sigma[j],
                                                     eps_k[i], eps_k[j], d);
        },
        out);
}

Status wilke_chang_diffusivity(double t, double mu, double mw, double phi, double vb_a,
                               double& out) {
    if (!detail::finite_positive(t) || !detail::finite_positive(mu) ||
        !detail::finite_positive(mw) || !detail::finite_positive(phi) ||
        !detail::finite_positive(vb_a))
        return fail(Status::bad_input, out);
    // 7.4e-8 (phi M)^0.5 T / (mu[cP] V[cm3/mol]^0.6) in cm2/s.
    const double d =
        7.4e-8 * std::sqrt(phi * mw) * t / (1.0e3 * mu * wilke_chang_volume_term(vb_a));
    return finish(1.0e-4 * d, out);
}

double wilke_chang_volume_term(double vb) {
    return std::pow(1.0e3 * vb, 0.6);
}

Status liquid_diffusivity_kept(Values x, Values mw, Values phi, Values volume_term, double t,
                               double mu_mix, double& out) {
    Composition z;
    if (Status s = detail::normalise(x, z); s != Status::ok) return fail(s, out);
    if (!present_positive(z, mw) || !present_positive(z, phi) || !present_positive(z, volume_term))
        return fail(Status::bad_input, out);
    if (!detail::finite_positive(t) || !detail::finite_positive(mu_mix))
        return fail(Status::bad_input, out);
    // Each component diffuses in the whole mixture: one solvent term, one viscosity, so that
    // D = sum x_i D_i,m is the Wilke-Chang factor times sum x_i / V_i^0.6.
    double phi_m = 0.0, sum = 0.0;
    for (std::size_t i = 0; i < z.n; ++i)
        if (z.x[i] > 0.0) {
            phi_m += z.x[i] * phi[i] * mw[i];
            sum += z.x[i] / volume_term[i];
        }
    // 7.4e-8 (phi M)^0.5 T / (mu[cP] V[cm3/mol]^0.6) in cm2/s.
    return finish(1.0e-4 * 7.4e-8 * std::sqrt(phi_m) * t / (1.0e3 * mu_mix) * sum, out);
}

} // namespace xif::refhost::transport
