// The curve drawn as SVG, written by hand: temperature against duty with
// the vapour fraction and the two-liquid region, then each phase's
// viscosity and density against temperature (logarithmic axes).
#pragma once

#include "curve.h"
#include "units.h"

#include <string>
#include <vector>

namespace xif::cli {

std::string curve_svg(const Curve& c, const std::vector<std::string>& ids, Units u);

} // namespace xif::cli
