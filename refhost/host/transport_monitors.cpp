// Transport and interface monitors: viscosity, thermal conductivity,
// surface tension and diffusivity of a phase record, from the databank's
// pure-component correlations and the mixing rules of the transport module
// (refhost/transport/README.md). A liquid that is pure water gets the IAPWS
// formulations when its method word names the water tables.
//
// Pure-component values outside a correlation's temperature range come from
// the estimation methods, scaled to meet the correlation at its nearer
// bound, so that a property stays continuous across the bound.
#include "host/engine.h"
#include "host/store.h"
#include "transport/transport.hpp"
#include "water/water.h"

#include <cmath>

using namespace xif::refhost;
namespace tr = xif::refhost::transport;

namespace {

using Values = std::array<double, 64>;

tr::Constants constants(const databank::Component& c) {
    tr::Constants k;
    k.mw = c.mw;
    k.tc = c.tc;
    k.pc = c.pc;
    k.vc = c.vc;
    k.zc = c.zc;
    k.omega = c.omega;
    k.dipole = c.dipole;
    k.tb = c.tb;
    // Association factors of Chung et al. for the strongly polar components.
    if (c.id == "WATER")
        k.kappa = 0.075908;
    else if (c.id == "MEOH")
        k.kappa = 0.215175;
    else if (c.id == "ETOH")
        k.kappa = 0.174823;
    else if (c.id == "NPROH")
        k.kappa = 0.143453;
    else if (c.id == "IPROH")
        k.kappa = 0.143453;
    else if (c.id == "NBUOH")
        k.kappa = 0.131671;
    else if (c.id == "ACETACID")
        k.kappa = 0.091549;
    return k;
}

struct Inputs {
    int n = 0;
    Values x{};
    std::array<tr::Constants, 64> c{};
    std::array<const databank::Component*, 64> comp{};
    tr::Values xs() const { return {x.data(), static_cast<size_t>(n)}; }
    tr::ConstantsList cs() const { return {c.data(), static_cast<size_t>(n)}; }
};

// The components' constants, built once per open host.
const std::array<tr::Constants, 64>& all_constants() {
    static std::array<tr::Constants, 64> table;
    static uint64_t built_for = 0;
    const HostState& s = state();
    if (built_for != s.generation) {
        for (int64_t j = 0; j < s.nc; ++j)
            table[j] = constants(*s.comp[j]);
        built_for = s.generation;
    }
    return table;
}

void fill(const Composition& z, Inputs& in) {
    const HostState& s = state();
    const auto& table = all_constants();
    in.n = static_cast<int>(s.nc);
    for (int64_t j = 0; j < s.nc; ++j) {
        in.x[j] = z.z[j];
        in.comp[j] = s.comp[j];
        in.c[j] = table[j];
    }
}

// A correlation's value at T, inside its range, or at its nearer bound.
double at_bound(const databank::Correlation& r, double T, double& bound) {
    bound = T < r.tmin ? r.tmin : (T > r.tmax ? r.tmax : T);
    return r.eval(bound);
}

// Saturated-liquid molar volume: the density correlation, else (above its
// range or the component's critical temperature) the Rackett equation with
// the reduced temperature held below 1.
double liquid_volume(const databank::Component& c, double T) {
    if (c.rhol.present() && c.rhol.in_range(T)) {
        const double rho = c.rhol.eval(T);
        if (rho > 0.0 && std::isfinite(rho)) return 1.0 / rho;
    }
    const double tr = std::min(T / c.tc, 0.99);
    const double zc = c.zc > 0.0 ? c.zc : 0.27;
    return c.vc * std::pow(zc, std::pow(1.0 - tr, 2.0 / 7.0));
}

bool ok(tr::Status s, const double& v) { // v by reference: read after s is computed
    return s == tr::Status::ok && std::isfinite(v) && v > 0.0;
}

// A pure-component value: the correlation's own where it holds; outside its
// range `extend(bound, value at the bound, out)` from the nearer bound; where
// neither gives a finite positive value, `estimate(out)`; else 0.
template <class Extend, class Estimate>
double pure_value(const databank::Correlation& r, double T, Extend extend, Estimate estimate) {
    double out = 0.0;
    if (r.present()) {
        if (r.in_range(T)) {
            out = r.eval(T);
            if (out > 0.0 && std::isfinite(out)) return out;
        }
        double bound;
        const double ref = at_bound(r, T, bound);
        if (ref > 0.0 && std::isfinite(ref) && ok(extend(bound, ref, out), out)) return out;
    }
    return ok(estimate(out), out) ? out : 0.0;
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

double liquid_conductivity(const databank::Component& c, const tr::Constants& k, double T) {
    return pure_value(
        c.kl, T,
        [&](double bound, double ref, double& out) {
            return tr::liquid_conductivity_out_of_range(T, bound, ref, k, out);
        },
        [&](double& out) { return tr::sato_riedel_liquid_conductivity(T, k, out); });
}

double vapour_conductivity(const databank::Component& c, const tr::Constants& k, double T) {
    const double mu = vapour_viscosity(c, k, T);
    return pure_value(
        c.kv, T,
        [&](double bound, double ref, double& out) {
            return tr::vapour_conductivity_out_of_range(T, c.cp_ig(T), mu, bound, c.cp_ig(bound),
                                                        vapour_viscosity(c, k, bound), ref, k, out);
        },
        [&](double& out) { return tr::chung_vapour_conductivity(T, c.cp_ig(T), mu, k, out); });
}

// 0 above the component's critical temperature: it has no surface of its own.
double surface_tension(const databank::Component& c, double T) {
    return pure_value(
        c.sigma, T,
        [&](double bound, double ref, double& out) {
            return tr::surface_tension_out_of_range(T, bound, ref, c.tc, out);
        },
        [&](double& out) { return tr::brock_bird_surface_tension(T, constants(c), out); });
}

// Size factor of an organic component in water (Tamura-Kurata-Odani): the
// carbon number of an alcohol or acid, one less for a ketone, else 1.
double size_factor(const databank::Component& c) {
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

bool pure_water(const Composition& z, const int64_t* G) {
    return G[0] == kWaterTables && z.single != 0 && z.single == state().water;
}

// The common start of every monitor: state, method and composition.
int64_t begin(const double* T, const double* P, const double* x, const int64_t* n,
              const int64_t* idx, const int64_t* G, Composition& z) {
    if (int64_t e = check_state(T, P)) return e;
    if (!G) return kBadMethod;
    if (int64_t e = read_composition(x, n, idx, z)) return e;
    if (G[0] == kWaterTables) return pure_water(z, G) ? kMonitorOk : kBadMethod;
    return model_for(G[0]) ? kMonitorOk : kBadMethod;
}

// Molar density of the phase from the host's own volume.
int64_t density(double T, double P, const Composition& z, bool liquid, const int64_t* G,
                double& rho) {
    thermo::PhaseProps p;
    if (int64_t e = phase_properties(T, P, z, liquid, G, p)) return e;
    if (!(p.v > 0.0)) return kNoValue;
    rho = 1.0 / p.v;
    return kMonitorOk;
}

int64_t mix_liquid_viscosity(double T, const Composition& z, double& out) {
    Inputs in;
    fill(z, in);
    Values mu{};
    for (int j = 0; j < in.n; ++j)
        if (in.x[j] > 0.0) mu[j] = liquid_viscosity(*in.comp[j], in.c[j], T);
    return ok(tr::liquid_viscosity_mix(in.xs(), {mu.data(), in.xs().size()}, out), out) ? kMonitorOk
                                                                                        : kNoValue;
}

// A monitor body: the common start, then `compute` into value.
template <class Compute>
void monitor(const double* T, const double* P, const double* x, const int64_t* n,
             const int64_t* idx, const int64_t* G, double* value, int64_t* ierr, Compute compute) {
    Composition z;
    *ierr = begin(T, P, x, n, idx, G, z);
    if (*ierr) return;
    double out = 0.0;
    *ierr = compute(*T, *P, z, out);
    if (*ierr == kMonitorOk && !(std::isfinite(out) && out > 0.0)) *ierr = kNoValue;
    if (*ierr == kMonitorOk) *value = out;
}

int64_t water_liquid(double T, double P, water::State& st) {
    return water::properties_as(T, P, water::PhaseChoice::liquid, st) == water::Status::ok
               ? kMonitorOk
               : kNoValue;
}

} // namespace

extern "C" {

XIFHOST_EXPORT void EVAL_VISCL(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(T, P, x, n, idx, G, value, ierr,
            [G](double t, double p, const Composition& z, double& out) -> int64_t {
                if (pure_water(z, G)) {
                    water::State st;
                    if (int64_t e = water_liquid(t, p, st)) return e;
                    return water::viscosity(st, out) == water::Status::ok ? kMonitorOk : kNoValue;
                }
                return mix_liquid_viscosity(t, z, out);
            });
}

XIFHOST_EXPORT void EVAL_VISCV(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(T, P, x, n, idx, G, value, ierr,
            [G](double t, double p, const Composition& z, double& out) -> int64_t {
                Inputs in;
                fill(z, in);
                Values mu{};
                for (int j = 0; j < in.n; ++j)
                    if (in.x[j] > 0.0) mu[j] = vapour_viscosity(*in.comp[j], in.c[j], t);
                double rho = 0.0;
                if (int64_t e = density(t, p, z, false, G, rho)) return e;
                return ok(tr::vapour_viscosity_mix(in.xs(), {mu.data(), in.xs().size()}, in.cs(),
                                                   rho, out),
                          out)
                           ? kMonitorOk
                           : kNoValue;
            });
}

XIFHOST_EXPORT void EVAL_TCONL(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(T, P, x, n, idx, G, value, ierr,
            [G](double t, double p, const Composition& z, double& out) -> int64_t {
                if (pure_water(z, G)) {
                    water::State st;
                    if (int64_t e = water_liquid(t, p, st)) return e;
                    return water::thermal_conductivity(st, out) == water::Status::ok ? kMonitorOk
                                                                                     : kNoValue;
                }
                Inputs in;
                fill(z, in);
                Values k{}, v{};
                for (int j = 0; j < in.n; ++j) {
                    if (in.x[j] <= 0.0) continue;
                    k[j] = liquid_conductivity(*in.comp[j], in.c[j], t);
                    v[j] = liquid_volume(*in.comp[j], t);
                }
                const size_t m = in.xs().size();
                return ok(tr::liquid_conductivity_mix(in.xs(), {k.data(), m}, {v.data(), m}, out),
                          out)
                           ? kMonitorOk
                           : kNoValue;
            });
}

XIFHOST_EXPORT void EVAL_TCONV(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(T, P, x, n, idx, G, value, ierr,
            [G](double t, double p, const Composition& z, double& out) -> int64_t {
                Inputs in;
                fill(z, in);
                Values k{};
                for (int j = 0; j < in.n; ++j)
                    if (in.x[j] > 0.0) k[j] = vapour_conductivity(*in.comp[j], in.c[j], t);
                double rho = 0.0;
                if (int64_t e = density(t, p, z, false, G, rho)) return e;
                return ok(tr::vapour_conductivity_mix(in.xs(), {k.data(), in.xs().size()}, in.cs(),
                                                      t, rho, out),
                          out)
                           ? kMonitorOk
                           : kNoValue;
            });
}

XIFHOST_EXPORT void EVAL_SRFTEN(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(T, P, x, n, idx, G, value, ierr,
            [G](double t, double, const Composition& z, double& out) -> int64_t {
                if (pure_water(z, G))
                    return water::surface_tension(t, out) == water::Status::ok ? kMonitorOk
                                                                               : kNoValue;
                Inputs in;
                fill(z, in);
                Values sigma{}, v{}, q{};
                for (int j = 0; j < in.n; ++j) {
                    q[j] = size_factor(*in.comp[j]);
                    if (in.x[j] <= 0.0) continue;
                    sigma[j] = surface_tension(*in.comp[j], t);
                    v[j] = liquid_volume(*in.comp[j], t);
                }
                const int water = static_cast<int>(state().water) - 1;
                const size_t m = in.xs().size();
                return ok(tr::surface_tension_mix(in.xs(), {sigma.data(), m}, {v.data(), m}, t,
                                                  water, {q.data(), m}, out),
                          out)
                           ? kMonitorOk
                           : kNoValue;
            });
}

// Fuller's diffusion volumes from the formula; Chapman-Enskog with the
// Lennard-Jones parameters where a formula has no volume.
XIFHOST_EXPORT void EVAL_DIFCOV(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(T, P, x, n, idx, G, value, ierr,
            [](double t, double p, const Composition& z, double& out) -> int64_t {
                Inputs in;
                fill(z, in);
                Values mw{}, volume{}, sigma{}, eps{};
                bool fuller = true;
                for (int j = 0; j < in.n; ++j) {
                    const databank::Component& c = *in.comp[j];
                    mw[j] = c.mw;
                    sigma[j] = c.lj_sigma * 1e-10;
                    eps[j] = c.lj_eps_k;
                    if (in.x[j] > 0.0 &&
                        !ok(tr::fuller_volume(c.formula, aromatic_rings(c), volume[j]), volume[j]))
                        fuller = false;
                }
                const size_t m = in.xs().size();
                const tr::Status st =
                    fuller ? tr::gas_diffusivity_fuller(in.xs(), {mw.data(), m}, {volume.data(), m},
                                                        t, p, out)
                           : tr::gas_diffusivity_chapman_enskog(in.xs(), {mw.data(), m},
                                                                {sigma.data(), m}, {eps.data(), m},
                                                                t, p, out);
                return ok(st, out) ? kMonitorOk : kNoValue;
            });
}

XIFHOST_EXPORT void EVAL_DIFCOL(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(T, P, x, n, idx, G, value, ierr,
            [](double t, double, const Composition& z, double& out) -> int64_t {
                double mu = 0.0;
                if (int64_t e = mix_liquid_viscosity(t, z, mu)) return e;
                Inputs in;
                fill(z, in);
                Values mw{}, phi{}, vb{};
                for (int j = 0; j < in.n; ++j) {
                    const databank::Component& c = *in.comp[j];
                    mw[j] = c.mw;
                    phi[j] = c.id == "WATER"  ? tr::kAssociationWater
                             : c.id == "MEOH" ? tr::kAssociationMethanol
                             : c.id == "ETOH" ? tr::kAssociationEthanol
                                              : tr::kAssociationOther;
                    vb[j] = liquid_volume(c, c.tb);
                }
                const size_t m = in.xs().size();
                return ok(tr::liquid_diffusivity(in.xs(), {mw.data(), m}, {phi.data(), m},
                                                 {vb.data(), m}, t, mu, out),
                          out)
                           ? kMonitorOk
                           : kNoValue;
            });
}
}
