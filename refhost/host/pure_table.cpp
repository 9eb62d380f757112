// Pure-component transport values: the databank's correlation where it
// holds; outside its temperature range an estimation method scaled to meet
// the correlation at its nearer bound, so that a property stays continuous
// across the bound; the estimation method alone where there is no
// correlation.
#include "host/pure_table.h"

#include "host/store.h"

#include <algorithm>
#include <cmath>

namespace xif::refhost {

namespace tr = transport;

namespace {

// Association factors of Chung et al. for the strongly polar components.
double chung_kappa(const databank::Component& c) {
    if (c.id == "WATER") return 0.075908;
    if (c.id == "MEOH") return 0.215175;
    if (c.id == "ETOH") return 0.174823;
    if (c.id == "NPROH" || c.id == "IPROH") return 0.143453;
    if (c.id == "NBUOH") return 0.131671;
    if (c.id == "ACETACID") return 0.091549;
    return 0.0;
}

tr::Constants constants_of(const databank::Component& c) {
    tr::Constants k;
    k.mw = c.mw;
    k.tc = c.tc;
    k.pc = c.pc;
    k.vc = c.vc;
    k.zc = c.zc;
    k.omega = c.omega;
    k.dipole = c.dipole;
    k.tb = c.tb;
    k.kappa = chung_kappa(c);
    return k;
}

// Size factor of an organic component in water (Tamura-Kurata-Odani): the
// carbon number of an alcohol or acid, one less for a ketone, else 1.
double tko_size_factor(const databank::Component& c) {
    if (c.id == "ETOH" || c.id == "ACETACID" || c.id == "ACETONE" || c.id == "MEG") return 2.0;
    if (c.id == "NPROH" || c.id == "IPROH") return 3.0;
    if (c.id == "NBUOH") return 4.0;
    return 1.0;
}

// Aromatic rings for the diffusion volumes.
int aromatic_rings(const databank::Component& c) {
    return c.id == "BENZENE" || c.id == "TOLUENE" || c.id == "EBENZENE" || c.id == "OXYLENE" ||
                   c.id == "PXYLENE"
               ? 1
               : 0;
}

double wilke_chang_association(const databank::Component& c) {
    return c.id == "WATER"  ? tr::kAssociationWater
           : c.id == "MEOH" ? tr::kAssociationMethanol
           : c.id == "ETOH" ? tr::kAssociationEthanol
                            : tr::kAssociationOther;
}

// A correlation's value at T, inside its range, or at its nearer bound (kept by the row).
double at_bound(const databank::Correlation& r, double T, double& bound) {
    if (T < r.tmin) {
        bound = r.tmin;
        return r.at_tmin;
    }
    if (T > r.tmax) {
        bound = r.tmax;
        return r.at_tmax;
    }
    bound = T;
    return r.eval(T);
}

// Saturated-liquid molar volume of component j at T from the density row's
// value rho there (0 outside its range): 1/rho, else (above the row's range
// or the critical temperature) the Rackett equation with the reduced
// temperature held below 1.
double liquid_volume(double rho, int j, double T) {
    if (rho > 0.0 && std::isfinite(rho)) return 1.0 / rho;
    return rackett_volume(j, T);
}

// ln T, which the rows evaluated at the table's temperature share.
double ln_of(double T) {
    static double t = 0.0, ln = 0.0;
    if (T != t) {
        t = T;
        ln = std::log(T);
    }
    return ln;
}

// A pure-component value: the correlation's own where it holds; outside its
// range `extend(bound, value at the bound, out)` from the nearer bound; where
// neither gives a finite positive value, `estimate(out)`; else 0.
template <class Extend, class Estimate>
double pure_value(const databank::Correlation& r, double T, Extend extend, Estimate estimate) {
    double out = 0.0;
    if (r.present()) {
        if (r.in_range(T)) {
            out = r.eval(T, ln_of(T));
            if (out > 0.0 && std::isfinite(out)) return out;
        }
        double bound;
        const double ref = at_bound(r, T, bound);
        if (ref > 0.0 && std::isfinite(ref) && transport_ok(extend(bound, ref, out), out))
            return out;
    }
    return transport_ok(estimate(out), out) ? out : 0.0;
}

double liquid_viscosity(const databank::Component& c, const tr::Constants& k, double T) {
    const databank::Correlation& r = c.mul;
    return pure_value(
        r, T,
        [&](double bound, double ref, double& out) {
            if (bound >= r.tmax) return tr::liquid_viscosity_above_range(T, bound, ref, k, out);
            const double t2 = r.tmin + 0.1 * (r.tmax - r.tmin);
            return tr::liquid_viscosity_below_range(T, bound, ref, t2, r.eval(t2), out);
        },
        [&](double& out) { return tr::letsou_stiel_liquid_viscosity(T, k, out); });
}

double vapour_viscosity(const databank::Component& c, const tr::Constants& k, double T) {
    return pure_value(
        c.muv, T,
        [&](double bound, double ref, double& out) {
            return tr::vapour_viscosity_out_of_range(T, bound, ref, k, out);
        },
        [&](double& out) { return tr::chung_vapour_viscosity(T, k, out); });
}

// f: the Sato-Riedel temperature function at the row's bounds.
double liquid_conductivity(const databank::Component& c, const tr::Constants& k, double T,
                           const std::array<double, 2>& f) {
    const databank::Correlation& r = c.kl;
    return pure_value(
        r, T,
        [&](double bound, double ref, double& out) {
            if (bound == r.tmin || bound == r.tmax)
                return tr::liquid_conductivity_out_of_range(T, bound, ref, f[bound == r.tmax], k,
                                                            out);
            return tr::liquid_conductivity_out_of_range(T, bound, ref, k, out);
        },
        [&](double& out) { return tr::sato_riedel_liquid_conductivity(T, k, out); });
}

// The vapour viscosity and ideal-gas heat capacity at the bounds of a component's conductivity
// row, which its extension beyond them is scaled with.
PureTable::Bounds conductivity_bounds(const databank::Component& c, const tr::Constants& k) {
    const double lo = c.kv.tmin, hi = c.kv.tmax;
    return {{vapour_viscosity(c, k, lo), vapour_viscosity(c, k, hi)}, {c.cp_ig(lo), c.cp_ig(hi)}};
}

double vapour_conductivity(const databank::Component& c, const tr::Constants& k, double T,
                           double mu, const PureTable::Bounds& b) {
    return pure_value(
        c.kv, T,
        [&](double bound, double ref, double& out) {
            const int side = T < bound ? 0 : 1; // beyond the row's range, from either bound
            return tr::vapour_conductivity_out_of_range(T, c.cp_ig(T), mu, bound, b.cp[side],
                                                        b.mu[side], ref, k, out);
        },
        [&](double& out) { return tr::chung_vapour_conductivity(T, c.cp_ig(T), mu, k, out); });
}

// 0 above the component's critical temperature: it has no surface of its own.
double surface_tension(const databank::Component& c, const tr::Constants& k, double T) {
    return pure_value(
        c.sigma, T,
        [&](double bound, double ref, double& out) {
            return tr::surface_tension_out_of_range(T, bound, ref, c.tc, out);
        },
        [&](double& out) { return tr::brock_bird_surface_tension(T, k, out); });
}

PureTable table;

} // namespace

double PureTable::compression(int j, double P) {
    const double psat = value(Pure::vapour_pressure, j);
    if (!(P > psat)) return 1.0;
    const double b = value(Pure::compression_b, j);
    if (!(b + psat > 0.0)) return 1.0;
    return 1.0 - tbh_c_[static_cast<size_t>(j)] * std::log((b + P) / (b + psat));
}

PureTable& pure_table(double T) {
    const uint64_t generation = state().generation;
    if (generation != table.generation_)
        table.reset(T, true);
    else if (T != table.T_)
        table.reset(T, false);
    return table;
}

void PureTable::reset(double T, bool rebuild_constants) {
    T_ = T;
    have_.fill(0);
    have_mu_.fill(0);
    have_k_.fill(0);
    if (!rebuild_constants) return;
    const HostState& s = state();
    generation_ = s.generation;
    n_ = static_cast<int>(s.nc);
    std::array<double, 64> volume{};
    fuller_mask_ = 0;
    for (size_t j = 0; j < static_cast<size_t>(n_); ++j) {
        const databank::Component& c = *s.comp[j];
        comp_[j] = &c;
        k_[j] = constants_of(c);
        mw_[j] = c.mw;
        q_[j] = tko_size_factor(c);
        phi_[j] = wilke_chang_association(c);
        kv_bounds_[j] = conductivity_bounds(c, k_[j]);
        kl_factor_[j] = {tr::sato_riedel_factor(c.kl.tmin / c.tc),
                         tr::sato_riedel_factor(c.kl.tmax / c.tc)};
        vb_term_[j] = tr::wilke_chang_volume_term(liquid_volume(
            c.rhol.in_range(c.tb) ? c.rhol.eval(c.tb) : 0.0, static_cast<int>(j), c.tb));
        sigma_[j] = c.lj_sigma * 1e-10;
        eps_[j] = c.lj_eps_k;
        gamma_[j] = tr::roy_thodos_gamma(k_[j]);
        tbh_e_[j] = std::exp(4.79594 + c.omega * (0.250047 + 1.14188 * c.omega));
        tbh_c_[j] = 0.0861488 + 0.0344483 * c.omega;
        if (transport_ok(tr::fuller_volume(c.formula, aromatic_rings(c), volume[j]), volume[j]))
            fuller_mask_ |= uint64_t{1} << j;
    }
    for (size_t i = 0; i < static_cast<size_t>(n_); ++i)
        for (size_t j = 0; j < static_cast<size_t>(n_); ++j) {
            wilke_masses_[i * 64 + j] = tr::wilke_masses(mw_[i], mw_[j]);
            fuller_term_[i * 64 + j] = tr::fuller_pair_term(mw_[i], mw_[j], volume[i], volume[j]);
        }
}

double PureTable::compute(Pure q, int j) {
    const databank::Component& c = *comp_[static_cast<size_t>(j)];
    const tr::Constants& k = k_[static_cast<size_t>(j)];
    switch (q) {
    case Pure::liquid_viscosity:
        return liquid_viscosity(c, k, T_);
    case Pure::vapour_viscosity:
        return vapour_viscosity(c, k, T_);
    case Pure::liquid_conductivity:
        return liquid_conductivity(c, k, T_, kl_factor_[static_cast<size_t>(j)]);
    case Pure::vapour_conductivity:
        return vapour_conductivity(c, k, T_, value(Pure::vapour_viscosity, j),
                                   kv_bounds_[static_cast<size_t>(j)]);
    case Pure::surface_tension:
        return surface_tension(c, k, T_);
    case Pure::liquid_volume:
        return liquid_volume(c.rhol.in_range(T_) ? value(Pure::liquid_density, j) : 0.0, j, T_);
    case Pure::liquid_density:
        return c.rhol.present() && T_ <= c.rhol.tmax ? c.rhol.eval(T_) : 0.0;
    case Pure::translational:
        return tr::translational_conductivity(T_, k.tc, gamma_[static_cast<size_t>(j)]);
    case Pure::vapour_pressure: {
        const double p = c.psat.present() ? c.psat.eval(T_, ln_of(T_)) : 0.0;
        return p > 0.0 && std::isfinite(p) ? p : std::exp(lee_kesler_ln_psat(c, T_));
    }
    case Pure::compression_b: {
        // Fitted to reduced temperatures of 0.95 and below; held there
        // nearer the critical point, where B + Psat would fall to 0.
        const double tau = std::max(1.0 - T_ / c.tc, 0.05), t3 = std::cbrt(tau);
        return c.pc * (-1.0 + t3 * (-9.070217 + t3 * 62.45326) - 135.1102 * tau +
                       tbh_e_[static_cast<size_t>(j)] * tau * t3);
    }
    case Pure::count:
        break;
    }
    return 0.0;
}

double PureTable::value(Pure q, int j) {
    const auto k = static_cast<size_t>(q);
    const uint64_t bit = uint64_t{1} << j;
    if (!(have_[k] & bit)) {
        value_[k][static_cast<size_t>(j)] = compute(q, j);
        have_[k] |= bit;
    }
    return value_[k][static_cast<size_t>(j)];
}

const std::array<double, 64>& PureTable::values(Pure q, const Composition& z) {
    const auto k = static_cast<size_t>(q);
    const uint64_t missing = present(z, n_) & ~have_[k];
    for (int j = 0; j < n_; ++j)
        if (missing & (uint64_t{1} << j)) value(q, j);
    return value_[k];
}

tr::PairFactors PureTable::factors(const Composition& z, Pure base, std::array<double, 64 * 64>& a,
                                   std::array<uint64_t, 64>& have) {
    const uint64_t mask = present(z, n_);
    const std::array<double, 64>& v = values(base, z);
    // sqrt(v_i / v_j) as sqrt(v_i) / sqrt(v_j): a root and a reciprocal per
    // component instead of a division and a root per pair.
    double root[64], inv_root[64];
    for (int j = 0; j < n_; ++j)
        if (mask & (uint64_t{1} << j)) {
            root[j] = std::sqrt(v[static_cast<size_t>(j)]);
            inv_root[j] = 1.0 / root[j];
        }
    for (int i = 0; i < n_; ++i) {
        const size_t row = static_cast<size_t>(i);
        const uint64_t missing = mask & ~have[row] & ~(uint64_t{1} << i);
        if (!(mask & (uint64_t{1} << i)) || missing == 0) continue;
        for (int j = 0; j < n_; ++j) {
            if (!(missing & (uint64_t{1} << j))) continue;
            const size_t at = row * 64 + static_cast<size_t>(j);
            a[at] = tr::wilke_factor_of_root_ratio(root[i] * inv_root[j], wilke_masses_[at]);
        }
        have[row] |= missing;
    }
    return {a.data(), 64};
}

tr::PairFactors PureTable::viscosity_factors(const Composition& z) {
    return factors(z, Pure::vapour_viscosity, phi_mu_, have_mu_);
}

tr::PairFactors PureTable::conductivity_factors(const Composition& z) {
    return factors(z, Pure::translational, phi_k_, have_k_);
}

} // namespace xif::refhost
