#include "host/engine.h"

#include "host/pure_table.h"
#include "host/recent.h"
#include "host/store.h"
#include "thermo/flash.hpp"
#include "thermo/flash3.hpp"
#include "thermo/pure.hpp"
#include "water/water.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace xif::refhost {

namespace {

// The ideal gas of the databank's heat-capacity correlations.
// The values are kept for the last temperature: the phases of a flash and
// of a set of property calls share it.
class DatabankIdealGas final : public thermo::IdealGas {
  public:
    void eval(int i, double T, double& cp, double& h, double& s) const override {
        const auto k = static_cast<size_t>(i);
        if (T != T_ || generation_ != state().generation) {
            T_ = T;
            generation_ = state().generation;
            have_ = 0;
        }
        const uint64_t bit = uint64_t{1} << k;
        if (!(have_ & bit)) {
            const databank::Component& c = *state().comp[k];
            c.ideal_gas(T, cp_[k], h_[k], s_[k]);
            have_ |= bit;
        }
        cp = cp_[k];
        h = h_[k];
        s = s_[k];
    }

  private:
    mutable double T_ = -1.0;
    mutable uint64_t generation_ = 0, have_ = 0;
    mutable std::array<double, 64> cp_{}, h_{}, s_{};
};

// The Rackett equation's reduced temperature is held below 1 at this.
constexpr double kRackettTrMax = 0.99;
// The liquid volume's fade of a component's own liquid (a share of Tc below
// its correlation's end) and of the correlations for the equation of state
// (by the faded shares: from 2.5 % over 5 %).
constexpr double kLiquidFade = 0.05, kEosShareFrom = 0.025, kEosShareOver = 0.05;

struct Engine {
    DatabankIdealGas ideal_gas;
    // Each component's ln Zc and Rackett volume at the held reduced temperature.
    std::array<double, 64> rackett_ln_zc{}, rackett_held{};
    thermo::Mixture pr_mixture, srk_mixture;
    thermo::Model pr, srk;                       // untranslated: equilibrium and energies
    thermo::Model pr_translated, srk_translated; // liquid volumes
};
Engine engine;

thermo::Mixture mixture(thermo::EosKind eos, bool translated) {
    const HostState& s = state();
    thermo::Mixture m;
    m.n = static_cast<int>(s.nc);
    m.eos = eos;
    m.volume_translation = translated;
    m.ideal_gas = &engine.ideal_gas;
    m.water = static_cast<int>(s.water) - 1; // names the aqueous liquid: the second one
    for (int64_t i = 0; i < s.nc; ++i) {
        const databank::Component& c = *s.comp[i];
        thermo::PureParams& p = m.comp[i];
        p.Tc = c.tc;
        p.Pc = c.pc;
        p.omega = c.omega;
        p.MW = c.mw;
        for (int64_t j = 0; j < s.nc; ++j)
            m.kij[i][j] = eos == thermo::EosKind::PengRobinson ? databank::kij_pr(c, *s.comp[j])
                                                               : databank::kij_srk(c, *s.comp[j]);
    }
    const int64_t method = eos == thermo::EosKind::PengRobinson ? 1 : 2;
    for (const HostState::Pair& p : s.kij_set)
        if (p.method == method) m.kij[p.i][p.j] = m.kij[p.j][p.i] = p.kij;
    return m;
}

// Liquid volume by ideal mixing of the saturated-liquid correlations, each
// compressed from its vapour pressure to P, where the liquid's components
// have liquids of their own; by the translated equation of state where they
// have not. A component's own liquid fades out over the last 5 % of Tc below
// the end of its correlation (the compression is fitted to Tr 0.95): its
// share phi rises from 0 to 1 there, and its volume turns from the
// correlation's to Rackett's at a reduced temperature held below 1. The
// equation's weight rises from 0 to 1 as the shares so weighted, s, go from
// 2.5 to 7.5 % of the liquid. Continuous in T and composition: a gas
// dissolving or a liquid heated past its critical point makes no step.
// Returns the equation's weight; v is the correlations' volume where that
// is below 1.
double correlation_volume(double T, double P, const Composition& c, double& v) {
    const HostState& s = state();
    v = 0.0;
    double share = 0.0;
    // The densities that the transport monitors read at the same state.
    PureTable& table = pure_table(T);
    for (int64_t j = 0; j < s.nc; ++j) {
        if (c.z[j] <= 0.0) continue;
        const databank::Component& comp = *s.comp[j];
        const double r = table.value(Pure::liquid_density, static_cast<int>(j));
        double phi = 1.0;
        if (r > 0.0 && std::isfinite(r)) {
            const double end = comp.rhol.tmax, fade = kLiquidFade * comp.tc;
            phi = std::clamp((T - (end - fade)) / fade, 0.0, 1.0);
        }
        double vj = phi > 0.0 ? phi * rackett_volume(j, T) : 0.0;
        if (phi < 1.0) vj += (1.0 - phi) * table.compression(static_cast<int>(j), P) / r;
        v += c.z[j] * vj;
        share += c.z[j] * phi;
        if (share >= kEosShareFrom + kEosShareOver) return 1.0; // the equation's alone
    }
    if (!(v > 0.0 && std::isfinite(v))) return 1.0;
    return std::clamp((share - kEosShareFrom) / kEosShareOver, 0.0, 1.0);
}

int64_t water_properties(double T, double P, bool liquid, thermo::PhaseProps& out) {
    water::State st;
    const auto choice = liquid ? water::PhaseChoice::liquid : water::PhaseChoice::vapour;
    if (water::properties_as(T, P, choice, st) != water::Status::ok) return kNoValue;
    out = thermo::PhaseProps{};
    out.v = st.v;
    out.h = st.h;
    out.s = st.s;
    out.cp = st.cp;
    out.cv = st.cv;
    out.mw = water::molar_mass;
    out.Z = P * st.v / (thermo::kR * T);
    out.liquid_like = liquid;
    return kMonitorOk;
}
} // namespace

bool engine_open() {
    forget_phases();
    engine.pr_mixture = mixture(thermo::EosKind::PengRobinson, false);
    engine.srk_mixture = mixture(thermo::EosKind::SoaveRedlichKwong, false);
    for (int64_t j = 0; j < state().nc; ++j) {
        const databank::Component& c = *state().comp[j];
        const auto k = static_cast<size_t>(j);
        engine.rackett_ln_zc[k] = std::log(c.zc > 0.0 ? c.zc : 0.27);
        engine.rackett_held[k] =
            c.vc * std::exp(engine.rackett_ln_zc[k] * std::pow(1.0 - kRackettTrMax, 2.0 / 7.0));
    }
    if (engine.pr.init(engine.pr_mixture) != thermo::Status::Ok ||
        engine.srk.init(engine.srk_mixture) != thermo::Status::Ok ||
        engine.pr_translated.init(mixture(thermo::EosKind::PengRobinson, true)) !=
            thermo::Status::Ok ||
        engine.srk_translated.init(mixture(thermo::EosKind::SoaveRedlichKwong, true)) !=
            thermo::Status::Ok) {
        state().message = "component constants out of range for the equation of state";
        return false;
    }
    return true;
}

const thermo::Mixture& mixture_for_critical() {
    return engine.pr_mixture;
}

double lee_kesler_ln_psat(const databank::Component& c, double T) {
    const double tr = T / c.tc;
    const double f0 = 5.92714 - 6.09648 / tr - 1.28862 * std::log(tr) + 0.169347 * std::pow(tr, 6);
    const double f1 = 15.2518 - 15.6875 / tr - 13.4721 * std::log(tr) + 0.43577 * std::pow(tr, 6);
    return std::log(c.pc) + f0 + c.omega * f1;
}

double rackett_volume(int64_t j, double T) {
    const auto k = static_cast<size_t>(j);
    const double tr = T / state().comp[k]->tc;
    if (tr >= kRackettTrMax) return engine.rackett_held[k];
    return state().comp[k]->vc * std::exp(engine.rackett_ln_zc[k] * std::pow(1.0 - tr, 2.0 / 7.0));
}

const thermo::Model* model_for(int64_t method) {
    switch (method) {
    case kPengRobinson:
        return &engine.pr;
    case kSoaveRedlichKwong:
        return &engine.srk;
    default:
        return nullptr;
    }
}

namespace {
// The last state found valid: the calls of a set share their state. NaN
// equals nothing, so that no state passes unchecked.
double valid_T = std::numeric_limits<double>::quiet_NaN(), valid_P = valid_T;
} // namespace

int64_t check_state(const double* T, const double* P) {
    if (!state().open) return kNotOpen;
    if (!T || !P) return kBadState;
    if (*T == valid_T && *P == valid_P) return kMonitorOk;
    if (!thermo::valid_tp(*T, *P)) return kBadState;
    valid_T = *T;
    valid_P = *P;
    return kMonitorOk;
}

namespace {

// The last phase records read: the property calls of a set read the records
// of the same phases again and again, each record from where it lies.
// Emptied when a host is opened.
struct ReadRecord {
    const double* at = nullptr; // where the fractions were read
    int64_t n = 0;
    std::array<uint64_t, 64> x{}; // the fractions' bits
    std::array<int64_t, 64> idx{};
    Composition c{};
};
Recent<ReadRecord, 4> read_records;
uint64_t last_key = 0; // never reused, so that no kept key outlives its fractions

// Whether record r holds these n fractions and component numbers, bit for bit.
bool holds(const ReadRecord& r, const double* x, int64_t n, const int64_t* idx) {
    if (r.n != n) return false;
    const auto bytes = static_cast<size_t>(n) * sizeof(double);
    return std::memcmp(r.x.data(), x, bytes) == 0 && std::memcmp(r.idx.data(), idx, bytes) == 0;
}

} // namespace

int64_t read_composition(const double* x, const int64_t* n, const int64_t* idx,
                         const Composition*& out) {
    const HostState& s = state();
    if (!s.open) return kNotOpen;
    if (!x || !n || !idx || *n < 1 || *n > s.nc) return kBadComposition;
    const int64_t count = *n;
    // The record last read from x first: a record lies where it was written.
    const ReadRecord* e = read_records.find([&](const ReadRecord& r) { return r.at == x; });
    if (!e || !holds(*e, x, count, idx))
        e = read_records.find([&](const ReadRecord& r) {
            return r.x[0] == std::bit_cast<uint64_t>(x[0]) && holds(r, x, count, idx);
        });
    if (e) {
        out = &e->c;
        return kMonitorOk;
    }
    // Only the open components' fractions are ever read.
    Composition c;
    std::fill_n(c.z.begin(), s.nc, 0.0);
    double sum = 0.0;
    for (int64_t i = 0; i < count; ++i) {
        const int64_t j = idx[i];
        if (j < 1 || j > s.nc || !(x[i] >= 0.0) || x[i] > std::numeric_limits<double>::max())
            return kBadComposition;
        c.z[j - 1] += x[i];
        sum += x[i];
    }
    if (!(sum > 0.0)) return kBadComposition;
    for (int64_t j = 0; j < s.nc; ++j) {
        if (c.z[j] > 0.0) {
            c.z[j] /= sum;
            c.present |= uint64_t{1} << j;
        }
    }
    if (std::has_single_bit(c.present)) c.single = std::countr_zero(c.present) + 1;
    c.key = ++last_key;
    ReadRecord& r = read_records.take();
    r.at = x;
    r.n = count;
    for (int64_t i = 0; i < count; ++i) {
        r.x[static_cast<size_t>(i)] = std::bit_cast<uint64_t>(x[i]);
        r.idx[static_cast<size_t>(i)] = idx[i];
    }
    std::copy_n(c.z.begin(), s.nc, r.c.z.begin());
    r.c.single = c.single;
    r.c.present = c.present;
    r.c.key = c.key;
    out = &r.c;
    return kMonitorOk;
}

namespace {

// The last phase evaluations. An exchanger program asks for several
// properties of the same phase in a row (enthalpy, heat capacity, volume,
// density, and the densities behind the transport properties), each of which
// would otherwise solve the equation of state again. A result depends only
// on the key, and the cache is emptied when a host is opened.
struct CachedPhase {
    bool used = false;
    double T = 0, P = 0;
    bool liquid = false;
    int64_t method = 0, volume = 0;
    std::array<double, 64> z{};
    uint64_t key = 0;
    int64_t code = 0;
    thermo::PhaseProps props;
};
Recent<CachedPhase, 8> cache;

bool same(const CachedPhase& e, double T, double P, const Composition& c, bool liquid,
          const int64_t* G, int64_t nc) {
    return e.used && e.T == T && e.P == P && e.liquid == liquid && e.method == G[0] &&
           e.volume == G[2] && same_fractions(c, e.key, e.z.data(), nc);
}

const CachedPhase& remember(double T, double P, const Composition& c, bool liquid, const int64_t* G,
                            int64_t code, const thermo::PhaseProps& props) {
    CachedPhase& e = cache.take();
    e.used = true;
    e.T = T;
    e.P = P;
    e.liquid = liquid;
    e.method = G[0];
    e.volume = G[2];
    std::copy_n(c.z.begin(), state().nc, e.z.begin());
    e.key = c.key;
    e.code = code;
    e.props = props;
    return e;
}

// The phases of the last flash, offered to the cache: the property calls
// that follow a flash ask for its phases first.
struct OfferedPhase {
    double T = 0, P = 0;
    bool liquid = false;
    int64_t method = 0; // the flash's equation
    std::array<double, 64> x{};
    thermo::PhaseProps props;
};
struct OfferedPhases {
    std::array<OfferedPhase, 3> phase;
    size_t count = 0;
};
OfferedPhases offered;

// The flash's own values for a phase asked for, into out: when the
// equation would see the flash's mole fractions bit for bit and the flash
// took the root that the monitor takes. Never for a pure component's phase, which may
// need its saturation pressure.
bool from_flash(double T, double P, const Composition& c, bool liquid, const int64_t* G,
                thermo::PhaseProps& out) {
    if (offered.count == 0 || c.single != 0) return false;
    // The equation takes a composition scaled to sum 1, in this order: the
    // record's composition so scaled must be the flash's.
    const int64_t nc = state().nc;
    double sum = 0.0, w[64];
    for (int64_t i = 0; i < nc; ++i)
        sum += c.z[i];
    for (int64_t i = 0; i < nc; ++i)
        w[i] = c.z[i] / sum;
    const auto bytes = static_cast<size_t>(nc) * sizeof(double);
    for (size_t k = 0; k < offered.count; ++k) {
        const OfferedPhase& o = offered.phase[k];
        if (o.T != T || o.P != P || o.liquid != liquid || o.method != G[0] ||
            std::memcmp(o.x.data(), w, bytes) != 0)
            continue;
        // Not the water tables: not the flash's equation. The phase's roots
        // are those of this very composition, so the root the monitor takes
        // is among them.
        if (!model_for(G[0])) return false;
        if (!((liquid ? o.props.root_low : o.props.root_high) == o.props.root)) return false;
        out = o.props;
        return true;
    }
    return false;
}

int64_t finish_phase(const thermo::Model& m, double T, double P, const Composition& c, bool liquid,
                     const int64_t* G, thermo::PhaseProps& out);
int64_t evaluate_phase(double T, double P, const Composition& c, bool liquid, const int64_t* G,
                       thermo::PhaseProps& out);

} // namespace

void forget_phases() {
    cache.clear();
    read_records.clear();
    forget_flash_phases();
}

int64_t phase_properties(double T, double P, const Composition& c, bool liquid, const int64_t* G,
                         const thermo::PhaseProps*& out) {
    const int64_t nc = state().nc;
    if (const CachedPhase* e =
            cache.find([&](const CachedPhase& k) { return same(k, T, P, c, liquid, G, nc); })) {
        out = &e->props;
        return e->code;
    }
    thermo::PhaseProps p;
    const int64_t code = from_flash(T, P, c, liquid, G, p)
                             ? finish_phase(*model_for(G[0]), T, P, c, liquid, G, p)
                             : evaluate_phase(T, P, c, liquid, G, p);
    out = &remember(T, P, c, liquid, G, code, p).props;
    return code;
}

void offer_flash_phase(double T, double P, const double* x, bool liquid, const int64_t* G,
                       const thermo::PhaseProps& p) {
    if (offered.count == offered.phase.size()) return;
    OfferedPhase& o = offered.phase[offered.count++];
    o.T = T;
    o.P = P;
    o.liquid = liquid;
    o.method = G[0];
    std::copy_n(x, state().nc, o.x.begin());
    o.props = p;
}

void forget_flash_phases() {
    offered.count = 0;
}

namespace {

// What a monitor adds to the equation's phase: a pure component's phase
// that the equation has no root for, and the liquid volume.
int64_t finish_phase(const thermo::Model& m, double T, double P, const Composition& c, bool liquid,
                     const int64_t* G, thermo::PhaseProps& out) {
    const auto root = liquid ? thermo::Root::Liquid : thermo::Root::Vapour;
    // A pure component below its critical temperature asked for a phase that
    // the equation has no root for at P (near the critical point a vapour
    // pressure from a correlation can lie outside the narrow band where both
    // roots exist): that phase at the equation's own saturation pressure, the
    // nearest state where it exists, rather than the other phase's root.
    bool at_saturation = false;
    if (out.liquid_like != liquid && c.single != 0) {
        double psat = 0.0;
        thermo::PhaseProps sat;
        if (thermo::saturation_pressure(m, static_cast<int>(c.single - 1), T, psat) ==
                thermo::Status::Ok &&
            m.properties(T, psat, c.z.data(), root, sat) == thermo::Status::Ok &&
            sat.liquid_like == liquid) {
            out = sat;
            at_saturation = true;
        }
    }
    if (!liquid) return kMonitorOk;
    // Liquid volume: by the correlations where they hold, the translated EOS
    // where they do not, and both weighted between.
    double v = 0.0;
    const double w = G[2] != kVolumeTranslatedEos ? correlation_volume(T, P, c, v) : 1.0;
    if (w <= 0.0) {
        out.v = v;
        return kMonitorOk;
    }
    const thermo::Model& translated =
        &m == &engine.pr ? engine.pr_translated : engine.srk_translated;
    // The translation leaves the cubic's root as it is: the translated
    // volume is the root's less the shift.
    if (!at_saturation) {
        out.v = out.root * (thermo::kR * T) / P - translated.volume_shift(c.z.data());
    } else {
        thermo::PhaseProps t;
        if (translated.properties(T, P, c.z.data(), root, t) == thermo::Status::Ok) out.v = t.v;
    }
    if (w < 1.0) out.v = w * out.v + (1.0 - w) * v;
    return kMonitorOk;
}

int64_t evaluate_phase(double T, double P, const Composition& c, bool liquid, const int64_t* G,
                       thermo::PhaseProps& out) {
    const HostState& s = state();
    if (G[0] == kWaterTables) {
        if (c.single == 0 || c.single != s.water) return kBadMethod;
        // Outside the tables (below 273.15 K, or steam past saturation above
        // 10 MPa) the flash's own equation serves, as for any component.
        if (water_properties(T, P, liquid, out) == kMonitorOk) return kMonitorOk;
    }
    const thermo::Model* m = G[0] == kWaterTables ? &engine.pr : model_for(G[0]);
    if (!m) return kBadMethod;
    const auto root = liquid ? thermo::Root::Liquid : thermo::Root::Vapour;
    if (m->properties(T, P, c.z.data(), root, out) != thermo::Status::Ok) return kNoRoot;
    return finish_phase(*m, T, P, c, liquid, G, out);
}

} // namespace

bool stream_state(double* svec) {
    const HostState& s = state();
    const int64_t nc = s.nc;
    double z[64] = {};
    for (int64_t j = 0; j < nc; ++j)
        z[j] = svec[j] / svec[nc];
    // The most general flash: the stream may hold two liquids.
    const thermo::FlashResult r = thermo::flash3_tp(engine.pr, svec[nc + 1], svec[nc + 2], z);
    if (r.status != thermo::Status::Ok) {
        state().message = thermo::status_name(r.status);
        return false;
    }
    svec[nc + 3] = r.h;
    svec[nc + 4] = r.vf;
    return true;
}

int64_t flash_status(int64_t code) {
    return code == 0 ? 1 : (code > 0 ? code + 1 : 99);
}

} // namespace xif::refhost
