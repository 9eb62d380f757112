// Transport and interface monitors: viscosity, thermal conductivity,
// surface tension and diffusivity of a phase record, from the databank's
// pure-component correlations and the mixing rules of the transport module
// (refhost/transport/README.md). A liquid that is pure water gets the IAPWS
// formulations when its method word names the water tables. The
// pure-component values and pair factors come from the table of the current
// temperature (host/pure_table.h).
#include "host/engine.h"
#include "host/pure_table.h"
#include "host/recent.h"
#include "host/store.h"
#include "transport/transport.hpp"
#include "water/water.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

using namespace xif::refhost;
namespace tr = xif::refhost::transport;

namespace {

using Values = std::array<double, 64>;

bool pure_water(const Composition& z, const int64_t* G) {
    return G[0] == kWaterTables && z.single != 0 && z.single == state().water;
}

// The common start of every monitor: state, method and composition.
int64_t begin(const double* T, const double* P, const double* x, const int64_t* n,
              const int64_t* idx, const int64_t* G, const Composition*& z) {
    if (int64_t e = check_state(T, P)) return e;
    if (!G) return kBadMethod;
    if (int64_t e = read_composition(x, n, idx, z)) return e;
    if (G[0] == kWaterTables) return pure_water(*z, G) ? kMonitorOk : kBadMethod;
    return model_for(G[0]) ? kMonitorOk : kBadMethod;
}

// Molar density of the phase from the host's own volume.
int64_t density(double T, double P, const Composition& z, bool liquid, const int64_t* G,
                double& rho) {
    const thermo::PhaseProps* p = nullptr;
    if (int64_t e = phase_properties(T, P, z, liquid, G, p)) return e;
    if (!(p->v > 0.0)) return kNoValue;
    rho = 1.0 / p->v;
    return kMonitorOk;
}

// A monitor's code for a transport result: ok with a finite positive value.
int64_t answer(tr::Status s, const double& out) {
    return transport_ok(s, out) ? kMonitorOk : kNoValue;
}

// A vapour's viscosity (q = vapour_viscosity) or conductivity: the
// low-pressure mixture of the pure values with the table's pair factors, and
// the dense-gas increment at the phase's own density.
int64_t dense_vapour(double t, double p, const Composition& z, const int64_t* G, Pure q,
                     double& out) {
    double rho = 0.0;
    if (int64_t e = density(t, p, z, false, G, rho)) return e;
    PureTable& table = pure_table(t);
    const tr::Values x = table.of(z.z), v = table.of(table.values(q, z));
    return answer(q == Pure::vapour_viscosity
                      ? tr::vapour_viscosity_mix(x, v, table.viscosity_factors(z),
                                                 table.constants_list(), rho, out)
                      : tr::vapour_conductivity_mix(x, v, table.conductivity_factors(z),
                                                    table.constants_list(), rho, out),
                  out);
}

// The liquid monitor and the liquid diffusivity both mix a liquid's viscosity
// at the same state in a row: the last mixture is kept by its reading.
int64_t mix_liquid_viscosity(double T, const Composition& z, double& out) {
    static struct {
        uint64_t generation = 0, key = 0;
        double T = 0.0, value = 0.0;
        int64_t ierr = 0;
    } last;
    const uint64_t generation = state().generation;
    if (z.key != 0 && last.generation == generation && last.key == z.key && last.T == T) {
        out = last.value;
        return last.ierr;
    }
    PureTable& t = pure_table(T);
    const auto& mu = t.values(Pure::liquid_viscosity, z);
    const int64_t ierr = answer(tr::liquid_viscosity_mix(t.of(z.z), t.of(mu), out), out);
    last = {generation, z.key, T, out, ierr};
    return ierr;
}

// The monitors whose last results are kept.
enum Kind : int { kViscL, kViscV, kTconL, kTconV, kSrften, kDifcoV, kDifcoL, kKinds };

// The last results of each monitor. An exchanger program asks for a phase's
// property and then for the whole stream's, which mixes the same phases
// again; a result depends only on the state, the method group and the
// composition, and the open host (its generation).
struct Result {
    uint64_t generation = 0;
    double T = 0.0, P = 0.0;
    std::array<int64_t, 6> G{};
    Values z{};
    uint64_t key = 0;
    int64_t ierr = 0;
    double value = 0.0;
};
std::array<Recent<Result, 4>, kKinds> results;

const Result* kept(Kind kind, double T, double P, const int64_t* G, const Composition& z) {
    const HostState& s = state();
    return results[kind].find([&](const Result& r) {
        return r.generation == s.generation && r.T == T && r.P == P &&
               std::memcmp(r.G.data(), G, sizeof r.G) == 0 &&
               same_fractions(z, r.key, r.z.data(), s.nc);
    });
}

void keep(Kind kind, double T, double P, const int64_t* G, const Composition& z, int64_t ierr,
          double value) {
    const HostState& s = state();
    Result& r = results[kind].take();
    r.generation = s.generation;
    r.T = T;
    r.P = P;
    std::copy_n(G, r.G.size(), r.G.begin());
    std::copy_n(z.z.begin(), s.nc, r.z.begin());
    r.key = z.key;
    r.ierr = ierr;
    r.value = value;
}

// A monitor body: the common start, then the kept result or `compute` into value.
template <class Compute>
void monitor(Kind kind, const double* T, const double* P, const double* x, const int64_t* n,
             const int64_t* idx, const int64_t* G, double* value, int64_t* ierr, Compute compute) {
    const Composition* read = nullptr;
    double out = 0.0;
    *ierr = begin(T, P, x, n, idx, G, read);
    if (*ierr != kMonitorOk) {
        *value = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    const Composition& z = *read;
    if (const Result* r = kept(kind, *T, *P, G, z)) {
        *ierr = r->ierr;
        *value = r->value;
        return;
    }
    *ierr = compute(*T, *P, z, out);
    if (*ierr == kMonitorOk && !(std::isfinite(out) && out > 0.0)) *ierr = kNoValue;
    *value = *ierr == kMonitorOk ? out : std::numeric_limits<double>::quiet_NaN();
    keep(kind, *T, *P, G, z, *ierr, *value);
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
    monitor(kViscL, T, P, x, n, idx, G, value, ierr,
            [G](double t, double p, const Composition& z, double& out) -> int64_t {
                // Outside the tables, water's own correlations as in a mixture.
                water::State st;
                if (pure_water(z, G) && water_liquid(t, p, st) == kMonitorOk &&
                    water::viscosity(st, out) == water::Status::ok)
                    return kMonitorOk;
                return mix_liquid_viscosity(t, z, out);
            });
}

XIFHOST_EXPORT void EVAL_VISCV(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(kViscV, T, P, x, n, idx, G, value, ierr,
            [G](double t, double p, const Composition& z, double& out) {
                return dense_vapour(t, p, z, G, Pure::vapour_viscosity, out);
            });
}

XIFHOST_EXPORT void EVAL_TCONL(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(kTconL, T, P, x, n, idx, G, value, ierr,
            [G](double t, double p, const Composition& z, double& out) -> int64_t {
                water::State st;
                if (pure_water(z, G) && water_liquid(t, p, st) == kMonitorOk &&
                    water::thermal_conductivity(st, out) == water::Status::ok)
                    return kMonitorOk;
                PureTable& table = pure_table(t);
                const Values& k = table.values(Pure::liquid_conductivity, z);
                const Values& v = table.values(Pure::liquid_volume, z);
                return answer(
                    tr::liquid_conductivity_mix(table.of(z.z), table.of(k), table.of(v), out), out);
            });
}

XIFHOST_EXPORT void EVAL_TCONV(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(kTconV, T, P, x, n, idx, G, value, ierr,
            [G](double t, double p, const Composition& z, double& out) {
                return dense_vapour(t, p, z, G, Pure::vapour_conductivity, out);
            });
}

XIFHOST_EXPORT void EVAL_SRFTEN(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(kSrften, T, P, x, n, idx, G, value, ierr,
            [G](double t, double, const Composition& z, double& out) -> int64_t {
                if (pure_water(z, G) && water::surface_tension(t, out) == water::Status::ok)
                    return kMonitorOk;
                PureTable& table = pure_table(t);
                const Values& sigma = table.values(Pure::surface_tension, z);
                const Values& v = table.values(Pure::liquid_volume, z);
                const int water = static_cast<int>(state().water) - 1;
                return answer(tr::surface_tension_mix(table.of(z.z), table.of(sigma), table.of(v),
                                                      t, water, table.of(table.size_factor()), out),
                              out);
            });
}

// Fuller's diffusion volumes from the formula; Chapman-Enskog with the
// Lennard-Jones parameters where a formula has no volume.
XIFHOST_EXPORT void EVAL_DIFCOV(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(kDifcoV, T, P, x, n, idx, G, value, ierr,
            [](double t, double p, const Composition& z, double& out) -> int64_t {
                PureTable& table = pure_table(t);
                const tr::Status st =
                    table.fuller(z)
                        ? tr::gas_diffusivity_fuller(table.of(z.z), table.fuller_terms(), t, p, out)
                        : tr::gas_diffusivity_chapman_enskog(table.of(z.z), table.of(table.mw()),
                                                             table.of(table.lj_sigma()),
                                                             table.of(table.lj_eps_k()), t, p, out);
                return answer(st, out);
            });
}

XIFHOST_EXPORT void EVAL_DIFCOL(XIF_MONITOR_ARGS, double* value, int64_t* ierr) {
    (void)D;
    monitor(kDifcoL, T, P, x, n, idx, G, value, ierr,
            [](double t, double, const Composition& z, double& out) -> int64_t {
                double mu = 0.0;
                if (int64_t e = mix_liquid_viscosity(t, z, mu)) return e;
                PureTable& table = pure_table(t);
                return answer(tr::liquid_diffusivity_kept(table.of(z.z), table.of(table.mw()),
                                                          table.of(table.association()),
                                                          table.of(table.wilke_chang_volume()), t,
                                                          mu, out),
                              out);
            });
}
}
