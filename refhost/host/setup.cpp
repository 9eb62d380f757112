// The set-up API: open a host for a component list, recommend option words,
// fill stream vectors, name the non-condensables, list the databank.
#include <xif/refhost.h>

#include "host/engine.h"
#include "host/store.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace xif::refhost;

namespace {

// Entry k of a blank-padded character array, trimmed.
std::string entry(const char* ids, int64_t width, int64_t k) {
    std::string s(ids + k * width, static_cast<size_t>(width));
    const auto end = s.find_last_not_of(" \t\0", std::string::npos, 3);
    s.erase(end == std::string::npos ? 0 : end + 1);
    const auto begin = s.find_first_not_of(' ');
    return begin == std::string::npos ? std::string() : s.substr(begin);
}

void pad(char* out, int64_t width, const std::string& text) {
    if (width <= 0) return;
    std::fill(out, out + width, ' ');
    std::copy_n(text.data(), std::min<int64_t>(width, static_cast<int64_t>(text.size())), out);
}

// Reads a list of ids into component pointers; 0 or an error code.
int64_t read_ids(const int64_t* n, const char* ids, const int64_t* width,
                 std::vector<const databank::Component*>& out) {
    if (!n || !ids || !width) return fail(XIFHOST_BAD_ARGUMENT, "a required argument is missing");
    if (*n < 1) return fail(XIFHOST_BAD_ARGUMENT, "the component list is empty");
    if (*n > kMaxComponents)
        return fail(XIFHOST_TOO_MANY, "at most " + std::to_string(kMaxComponents) +
                                          " components, not " + std::to_string(*n));
    if (*width < 1 || *width > 64)
        return fail(XIFHOST_BAD_ARGUMENT, "id width must be 1 to 64 characters");
    if (!databank::load_error().empty())
        return fail(XIFHOST_BAD_ARGUMENT, "databank: " + databank::load_error());
    out.clear();
    for (int64_t k = 0; k < *n; ++k) {
        const std::string id = entry(ids, *width, k);
        if (id.empty())
            return fail(XIFHOST_BAD_ARGUMENT, "component " + std::to_string(k + 1) + " has no id");
        std::string upper = id;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
        const databank::Component* c = databank::find(upper);
        if (!c) return fail(XIFHOST_UNKNOWN_ID, "unknown component id '" + id + "'");
        if (std::find(out.begin(), out.end(), c) != out.end())
            return fail(XIFHOST_REPEATED_ID, "component '" + id + "' is listed twice");
        out.push_back(c);
    }
    return XIFHOST_OK;
}

// Databank entry i (1-based), or nullptr with the error set.
const databank::Component* bank_entry(int64_t i, int64_t* ierr) {
    const auto all = databank::all();
    if (i < 1 || i > static_cast<int64_t>(all.size())) {
        *ierr = fail(XIFHOST_BAD_ARGUMENT, "no databank entry " + std::to_string(i));
        return nullptr;
    }
    return &all[static_cast<size_t>(i - 1)];
}

} // namespace

extern "C" {

XIFHOST_EXPORT void XIFHOST_OPEN(const int64_t* n, const char* ids, const int64_t* width,
                                 int64_t* ierr) {
    std::vector<const databank::Component*> comps;
    *ierr = read_ids(n, ids, width, comps);
    if (*ierr != XIFHOST_OK) return;
    HostState& s = state();
    const uint64_t generation = s.generation + 1;
    s = HostState{};
    s.generation = generation;
    s.nc = static_cast<int64_t>(comps.size());
    for (int64_t j = 0; j < s.nc; ++j) {
        s.comp[j] = comps[j];
        if (comps[j]->id == "WATER") s.water = j + 1;
    }
    lay_out();
    if (!engine_open()) {
        s.open = false;
        *ierr =
            fail(XIFHOST_BAD_ARGUMENT, "the property engine rejected the components: " + s.message);
        return;
    }
    s.open = true;
}

XIFHOST_EXPORT void XIFHOST_MESSAGE(char* text, const int64_t* width, int64_t* length) {
    const std::string& m = state().message;
    pad(text, *width, m);
    *length = std::min<int64_t>(*width, static_cast<int64_t>(m.size()));
}

XIFHOST_EXPORT void XIFHOST_RECOMMEND(int64_t* ipp, double* rpp, int64_t* sbd, double* rmss,
                                      double* rmin, int64_t* ierr) {
    const HostState& s = state();
    if (!s.open) {
        *ierr = fail(XIFHOST_NOT_OPEN, "no host is open: call XIFHOST_OPEN first");
        return;
    }
    *ierr = XIFHOST_OK;
    std::fill(ipp, ipp + 28, 0);
    std::fill(rpp, rpp + 8, 0.0);
    std::fill(sbd, sbd + 4, 0);
    std::fill(rmss, rmss + 4, 0.0);
    std::fill(rmin, rmin + 5, 0.0);
    for (int side = 0; side < 2; ++side) {
        int64_t* set = ipp + 10 * side;
        set[0] = kPengRobinson;
        set[1] = kNoncondensableKey;
        set[2] = kVolumeDefault;
        set[4] = kWaterTables;
        set[6] = 2;               // phases: vapour and one liquid (3 allows a second liquid)
        set[7] = 200;             // iteration limit
        set[8] = 0;               // non-condensables take part in the liquids
        set[9] = 1;               // pure-water liquids use the water tables
        rpp[3 * side] = 1e-10;    // flash tolerance
        rpp[3 * side + 1] = 1e35; // no one-shot estimate
    }
    ipp[23] = s.at.retained_ints;
    ipp[24] = s.at.retained_reals;
    ipp[25] = 1; // one stream list entry
    ipp[26] = 1; // flashes may keep their work in retained slots
    rmss[0] = 1e35;
    rmin[0] = 1e-30;
}

XIFHOST_EXPORT int64_t XIFHOST_STREAM_SIZE(const int64_t* nc) {
    return *nc + 9;
}

XIFHOST_EXPORT void XIFHOST_STREAM(const double* flows, const double* T, const double* P,
                                   double* svec, int64_t* ierr) {
    const HostState& s = state();
    if (!s.open) {
        *ierr = fail(XIFHOST_NOT_OPEN, "no host is open: call XIFHOST_OPEN first");
        return;
    }
    const int64_t nc = s.nc;
    double total = 0.0, mass = 0.0;
    for (int64_t j = 0; j < nc; ++j) {
        if (!std::isfinite(flows[j]) || flows[j] < 0.0) {
            *ierr = fail(XIFHOST_BAD_ARGUMENT,
                         "flow of " + s.comp[j]->id + " must be finite and not negative");
            return;
        }
        total += flows[j];
        mass += flows[j] * s.comp[j]->mw;
    }
    if (!(total > 0.0)) {
        *ierr = fail(XIFHOST_BAD_ARGUMENT, "the stream carries no flow");
        return;
    }
    if (!std::isfinite(*T) || *T < 10.0 || *T > 3000.0) {
        *ierr = fail(XIFHOST_BAD_ARGUMENT, "temperature must be 10 to 3000 K");
        return;
    }
    if (!std::isfinite(*P) || *P < 1.0 || *P > 1e9) {
        *ierr = fail(XIFHOST_BAD_ARGUMENT, "pressure must be 1 Pa to 1 GPa");
        return;
    }
    std::fill(svec, svec + nc + 9, 0.0);
    std::copy(flows, flows + nc, svec);
    svec[nc] = total;
    svec[nc + 1] = *T;
    svec[nc + 2] = *P;
    svec[nc + 8] = mass / total;
    if (!stream_state(svec)) {
        *ierr = fail(XIFHOST_BAD_ARGUMENT, "no equilibrium found at this temperature and "
                                           "pressure: " +
                                               s.message);
        return;
    }
    *ierr = XIFHOST_OK;
}

XIFHOST_EXPORT void XIFHOST_NONCONDENSABLES(const int64_t* n, const char* ids, const int64_t* width,
                                            int64_t* ierr) {
    HostState& s = state();
    if (!s.open) {
        *ierr = fail(XIFHOST_NOT_OPEN, "no host is open: call XIFHOST_OPEN first");
        return;
    }
    std::vector<const databank::Component*> comps;
    if (*n == 0) {
        s.noncondensable.fill(false);
        set_plex_int(s.at.noncondensables, 0);
        *ierr = XIFHOST_OK;
        return;
    }
    *ierr = read_ids(n, ids, width, comps);
    if (*ierr != XIFHOST_OK) return;
    std::array<bool, kMaxComponents> marked{};
    for (const databank::Component* c : comps) {
        const auto at = std::find(s.comp.begin(), s.comp.begin() + s.nc, c);
        if (at == s.comp.begin() + s.nc) {
            *ierr = fail(XIFHOST_NOT_IN_STREAM, "'" + c->id + "' is not a stream component");
            return;
        }
        if (c->id == "WATER") {
            *ierr = fail(XIFHOST_BAD_ARGUMENT, "water always condenses");
            return;
        }
        marked[at - s.comp.begin()] = true;
    }
    s.noncondensable = marked;
    const int64_t list = s.at.noncondensables;
    set_plex_int(list, static_cast<int64_t>(comps.size()));
    for (size_t e = 0; e < comps.size(); ++e) {
        const auto id = identifier(comps[e]->id);
        set_plex_int(list + 2 * static_cast<int64_t>(e) + 1, id[0]);
        set_plex_int(list + 2 * static_cast<int64_t>(e) + 2, id[1]);
    }
}

XIFHOST_EXPORT void XIFHOST_INTERACTION(const char* id1, const char* id2, const int64_t* width,
                                        const int64_t* method, const double* kij, int64_t* ierr) {
    HostState& s = state();
    if (!s.open) {
        *ierr = fail(XIFHOST_NOT_OPEN, "no host is open: call XIFHOST_OPEN first");
        return;
    }
    if (!method || !kij) {
        *ierr = fail(XIFHOST_BAD_ARGUMENT, "a required argument is missing");
        return;
    }
    if (*method < 0 || *method > 2) {
        *ierr = fail(XIFHOST_BAD_ARGUMENT, "method must be 0 (both), 1 (Peng-Robinson) or 2 "
                                           "(Soave-Redlich-Kwong), not " +
                                               std::to_string(*method));
        return;
    }
    // Above 1 the pair's attraction turns to repulsion; the equation's
    // fitted values lie well within (-1, 1).
    if (!(*kij > -1.0 && *kij < 1.0)) {
        *ierr = fail(XIFHOST_BAD_ARGUMENT, "an interaction parameter must lie between -1 and 1");
        return;
    }
    int64_t at[2] = {};
    const char* ids[2] = {id1, id2};
    const int64_t one = 1;
    for (int k = 0; k < 2; ++k) {
        std::vector<const databank::Component*> comps;
        *ierr = read_ids(&one, ids[k], width, comps);
        if (*ierr != XIFHOST_OK) return;
        const auto found = std::find(s.comp.begin(), s.comp.begin() + s.nc, comps[0]);
        if (found == s.comp.begin() + s.nc) {
            *ierr = fail(XIFHOST_NOT_IN_STREAM, "'" + comps[0]->id + "' is not a stream component");
            return;
        }
        at[k] = found - s.comp.begin();
    }
    if (at[0] == at[1]) {
        *ierr = fail(XIFHOST_BAD_ARGUMENT, "a pair needs two different components");
        return;
    }
    for (const int64_t m : {int64_t{1}, int64_t{2}}) {
        if (*method != 0 && *method != m) continue;
        std::erase_if(s.kij_set, [&](const HostState::Pair& p) {
            return p.method == m &&
                   ((p.i == at[0] && p.j == at[1]) || (p.i == at[1] && p.j == at[0]));
        });
        s.kij_set.push_back({at[0], at[1], m, *kij});
    }
    // Every kept result of the host was taken with the old parameters. The
    // engine took these components at the open; a k_ij is never refused.
    ++s.generation;
    *ierr = engine_open() ? int64_t{XIFHOST_OK}
                          : fail(XIFHOST_BAD_ARGUMENT, "the property engine failed: " + s.message);
}

XIFHOST_EXPORT int64_t XIFHOST_DATABANK_SIZE(void) {
    return static_cast<int64_t>(databank::all().size());
}

XIFHOST_EXPORT void XIFHOST_DATABANK_ENTRY(const int64_t* i, char* id, char* name, char* formula,
                                           const int64_t* width, double* mw, double* tc, double* pc,
                                           int64_t* ierr) {
    const databank::Component* e = bank_entry(*i, ierr);
    if (!e) return;
    const databank::Component& c = *e;
    pad(id, *width, c.id);
    pad(name, *width, c.name);
    pad(formula, *width, c.formula);
    *mw = c.mw;
    *tc = c.tc;
    *pc = c.pc;
    *ierr = XIFHOST_OK;
}

XIFHOST_EXPORT void XIFHOST_DATABANK_POINTS(const int64_t* i, double* tm, double* tb,
                                            int64_t* ierr) {
    const databank::Component* e = bank_entry(*i, ierr);
    if (!e) return;
    const databank::Component& c = *e;
    *tm = c.tm;
    *tb = c.tb;
    *ierr = XIFHOST_OK;
}

XIFHOST_EXPORT void XIFHOST_DATABANK_PAIR(const int64_t* i, const int64_t* j, const int64_t* method,
                                          double* kij, int64_t* known, int64_t* ierr) {
    const databank::Component* ea = bank_entry(*i, ierr);
    const databank::Component* eb = ea ? bank_entry(*j, ierr) : nullptr;
    if (!eb) return;
    if (*method != 1 && *method != 2) {
        *ierr = fail(XIFHOST_BAD_ARGUMENT,
                     "method " + std::to_string(*method) + " is neither 1 (PR) nor 2 (SRK)");
        return;
    }
    const databank::Component &a = *ea, &b = *eb;
    *kij = *method == 1 ? databank::kij_pr(a, b) : databank::kij_srk(a, b);
    // An SRK pair without a row of its own takes the PR row.
    *known = 0;
    for (const databank::BinaryKij& r : databank::bank().kij_rows())
        if (((r.i == a.index && r.j == b.index) || (r.i == b.index && r.j == a.index)) &&
            (*method == 2 || r.eos == databank::BinaryKij::Eos::pr))
            *known = 1;
    *ierr = XIFHOST_OK;
}
}
