// A curve as a readable table, as CSV (one row a point, every phase's
// properties in columns) and as JSON ({"points": [...]}).
#pragma once

#include "curve.h"
#include "units.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace xif::cli {

std::string curve_table(const Curve& c, const std::vector<std::string>& ids, Units u);
std::string curve_csv(const Curve& c, Units u);
nlohmann::json curve_json(const Curve& c, const std::vector<std::string>& ids, Units u);

// The phases a curve tabulates, as indices into StreamReport::phases:
// vapour, first liquid, second liquid, total liquid, whole stream.
inline constexpr int kCurvePhases[] = {1, 3, 4, 2, 0};

} // namespace xif::cli
