// What a table of properties does not show: a liquid below the melting point
// of a component that makes up half of it or more. The host evaluates it all
// the same, as a liquid, with correlations taken beyond their range; the
// program says so instead of passing such values off as sound.
#pragma once

#include "curve.h"
#include "report.h"

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

// One note per frozen liquid of a flash, temperatures in the chosen units.
std::vector<std::string> flash_notes(const StreamReport& r, const std::vector<std::string>& ids,
                                     Units u);
// One note per liquid and component over a curve's points: how many, and the
// coldest.
std::vector<std::string> curve_notes(const Curve& c, const std::vector<std::string>& ids, Units u);

} // namespace xif::cli
