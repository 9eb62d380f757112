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

std::vector<std::string> flash_notes(const StreamReport& r, const std::vector<std::string>& ids,
                                     Units u) {
    std::vector<std::string> out;
    for (const FrozenLiquid& f : frozen_liquids(r, ids)) {
        char share[32];
        std::snprintf(share, sizeof share, "%.3g %%", 100.0 * f.x);
        out.push_back(liquid_name(r, f.phase) + " at " + temperature(r.T, u) + " is below " +
                      melting(ids, f, u) + ", which makes up " + share + " of it: " + kConsequence);
    }
    return out;
}

std::vector<std::string> curve_notes(const Curve& c, const std::vector<std::string>& ids, Units u) {
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
    std::vector<std::string> out;
    for (const auto& [key, s] : seen) {
        const std::string liquid = s.named ? kPhaseNames[key.first] : "the liquid";
        out.push_back(liquid + " is below " + melting(ids, s.first, u) +
                      ", which makes up half of it or more, at " + std::to_string(s.points) +
                      " of " + std::to_string(c.points.size()) + " points, down to " +
                      temperature(s.coldest, u) + ": there " + kConsequence);
    }
    return out;
}

} // namespace xif::cli
