// What a table of properties does not show: a liquid below the melting point
// of a component that makes up half of it or more, which the host evaluates
// all the same, as a liquid, with correlations taken beyond their range; and
// two liquids whose bulk components are a pair the databank has no
// interaction parameter for, which the equation of state can split where the
// real mixture is one liquid (water and n-propanol). The program says so
// instead of passing such answers off as sound.
#pragma once

#include "curve.h"
#include "report.h"

#include <optional>
#include <string>
#include <vector>

namespace xif::cli {

struct FrozenLiquid {
    size_t phase;     // index into StreamReport::phases: 3 or 4
    size_t component; // index into the stream's components
    double x;         // its mole fraction in that liquid
    double tm;        // its melting point, K
};

// Below this share of a liquid, a component below its melting point is
// taken as dissolved.
inline constexpr double kFrozenShare = 0.5;

// Each present liquid with a component of at least kFrozenShare whose
// melting point is above the temperature.
std::vector<FrozenLiquid> frozen_liquids(const StreamReport& r,
                                         const std::vector<std::string>& ids);

// Two liquids whose bulk components (indices into the stream's) are a pair
// without an interaction parameter under the stream's method.
struct UnknownSplit {
    size_t first, second; // of liquid1 and of liquid2
};
// A pair given --kij counts as known.
std::optional<UnknownSplit> unknown_split(const StreamReport& r, const Options& o);

// A flash's notes, temperatures in the chosen units.
std::vector<std::string> flash_notes(const StreamReport& r, const Options& o, Units u);
// A curve's notes, once per liquid and component or pair: at how many points,
// and the coldest.
std::vector<std::string> curve_notes(const Curve& c, const Options& o, Units u);

} // namespace xif::cli
