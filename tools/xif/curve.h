// The heating or cooling curve of a stream: flashes from an inlet to an
// outlet temperature along a linear pressure profile, with the dew and
// bubble points found on the way, and every phase's properties at each point.
#pragma once

#include "report.h"
#include "session.h"

#include <functional>
#include <optional>
#include <vector>

namespace xif::cli {

enum class PointKind { Point, Dew, Bubble };
const char* kind_name(PointKind k); // "point", "dew", "bubble"

struct CurvePoint {
    PointKind kind = PointKind::Point;
    double position = 0.0; // 0 at the inlet, 1 at the outlet
    StreamReport report;   // the flash and every phase's properties
    double duty = 0.0;     // W: whole-stream enthalpy flow less the inlet's
    // dH/dT of the whole stream at the point's pressure, latent heat
    // included, J/(kmol K) per kmol of stream.
    std::optional<double> apparent_heat_capacity;
};

struct CurveArgs {
    double T_in = 0, T_out = 0; // K
    double P_in = 0, P_out = 0; // Pa; the pressure is linear in position
    int points = 21;
    bool equal_enthalpy = false; // equal enthalpy steps (P-H flashes)
};

struct FailedFlash {
    double T, P;
};

struct Curve {
    std::vector<CurvePoint> points;  // in order from inlet to outlet
    std::vector<FailedFlash> failed; // curve points whose flash did not converge
    double molecular_weight = 0.0;   // of the stream, kg/kmol
};

// The fewest and most grid points allowed.
inline constexpr int kMinPoints = 2, kMaxPoints = 10000;

// Thrown when the curve cannot be made (the inlet, or in equal-enthalpy
// mode the outlet, does not flash).
struct CurveError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Progress: points done, and the number expected at most.
using Progress = std::function<void(int done, int expected)>;

Curve compute_curve(Session& s, const CurveArgs& a, const Progress& progress = {});

} // namespace xif::cli
