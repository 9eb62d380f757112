#include "notes.h"

#include "input.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

namespace xif::cli {

namespace {

std::string temperature(double T, Units u) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.6g %s", to_units(Qty::Temperature, T, u, 1.0),
                  unit_label(Qty::Temperature, u));
    return buf;
}

// "the liquid" where there is one, else "liquid1" or "liquid2".
std::string liquid_name(const StreamReport& r, size_t phase) {
    return two_liquids(r) ? kPhaseNames[phase] : "the liquid";
}

std::string melting(const std::vector<std::string>& ids, const FrozenLiquid& f, Units u) {
    return "the melting point of " + ids[f.component] + " (" + temperature(f.tm, u) + ")";
}

constexpr const char* kConsequence = "it may be solid, and its properties are the liquid "
                                     "correlations taken beyond their range";

std::string pair_text(const std::vector<std::string>& ids, const UnknownSplit& p) {
    return "liquid1 is mostly " + ids[p.first] + " and liquid2 mostly " + ids[p.second] +
           ", a pair the databank has no interaction parameter for";
}

constexpr const char* kSplitConsequence =
    "the equation of state can split such a pair where the real mixture is one liquid";

// The component that makes up most of a phase.
size_t bulk(const PhaseReport& p) {
    size_t best = 0;
    for (size_t j = 1; j < p.composition.size(); ++j)
        if (p.composition[j].value_or(0.0) > p.composition[best].value_or(0.0)) best = j;
    return best;
}

} // namespace

std::vector<FrozenLiquid> frozen_liquids(const StreamReport& r,
                                         const std::vector<std::string>& ids) {
    std::vector<FrozenLiquid> out;
    for (size_t phase : {size_t{3}, size_t{4}}) {
        const PhaseReport& p = r.phases[phase];
        if (!p.present) continue;
        for (size_t j = 0; j < ids.size() && j < p.composition.size(); ++j) {
            const std::optional<double>& x = p.composition[j];
            if (!x || *x < kFrozenShare) continue;
            const double tm = databank_entry(ids[j]).tm;
            if (r.T < tm) out.push_back({phase, j, *x, tm});
        }
    }
    return out;
}

// Whether the user gave the pair a parameter of its own.
bool given(const Options& o, const std::string& a, const std::string& b) {
    return std::any_of(o.kij.begin(), o.kij.end(), [&](const PairParameter& p) {
        return (p.a == a && p.b == b) || (p.a == b && p.b == a);
    });
}

std::optional<UnknownSplit> unknown_split(const StreamReport& r, const Options& o) {
    const std::vector<std::string>& ids = o.components;
    if (!two_liquids(r) || r.phases[3].composition.size() != ids.size() ||
        r.phases[4].composition.size() != ids.size())
        return std::nullopt;
    const UnknownSplit p{bulk(r.phases[3]), bulk(r.phases[4])};
    if (p.first == p.second || given(o, ids[p.first], ids[p.second]) ||
        databank_pair_known(ids[p.first], ids[p.second], o.method))
        return std::nullopt;
    return p;
}

std::vector<std::string> flash_notes(const StreamReport& r, const Options& o, Units u) {
    const std::vector<std::string>& ids = o.components;
    std::vector<std::string> out;
    for (const FrozenLiquid& f : frozen_liquids(r, ids)) {
        char share[32];
        std::snprintf(share, sizeof share, "%.3g %%", 100.0 * f.x);
        out.push_back(liquid_name(r, f.phase) + " at " + temperature(r.T, u) + " is below " +
                      melting(ids, f, u) + ", which makes up " + share + " of it: " + kConsequence);
    }
    if (const auto p = unknown_split(r, o))
        out.push_back(pair_text(ids, *p) + ": " + kSplitConsequence);
    return out;
}

std::vector<std::string> curve_notes(const Curve& c, const Options& o, Units u) {
    const std::vector<std::string>& ids = o.components;
    struct Seen {
        FrozenLiquid first;
        int points = 0;
        double coldest = 0.0;
        bool named = false; // a second liquid somewhere: the phases go by name
    };
    std::map<std::pair<size_t, size_t>, Seen> seen; // by liquid and component
    for (const CurvePoint& p : c.points)
        for (const FrozenLiquid& f : frozen_liquids(p.report, ids)) {
            Seen& s =
                seen.try_emplace({f.phase, f.component}, Seen{f, 0, p.report.T}).first->second;
            ++s.points;
            s.coldest = std::min(s.coldest, p.report.T);
            s.named = s.named || two_liquids(p.report);
        }
    struct Split {
        UnknownSplit pair;
        int points = 0;
    };
    std::map<std::pair<size_t, size_t>, Split> splits; // by the liquids' bulk components
    for (const CurvePoint& p : c.points)
        if (const auto s = unknown_split(p.report, o))
            ++splits.try_emplace({s->first, s->second}, Split{*s, 0}).first->second.points;
    std::vector<std::string> out;
    for (const auto& [key, s] : seen) {
        const std::string liquid = s.named ? kPhaseNames[key.first] : "the liquid";
        out.push_back(liquid + " is below " + melting(ids, s.first, u) +
                      ", which makes up half of it or more, at " + std::to_string(s.points) +
                      " of " + std::to_string(c.points.size()) + " points, down to " +
                      temperature(s.coldest, u) + ": there " + kConsequence);
    }
    for (const auto& [key, s] : splits)
        out.push_back(pair_text(ids, s.pair) + ", at " + std::to_string(s.points) + " of " +
                      std::to_string(c.points.size()) + " points: " + kSplitConsequence);
    return out;
}

} // namespace xif::cli
