// Component constants used by the transport tests, from the databank's
// sources (REFPROP/HEOS critical constants, CCCBDB dipoles): MW kg/kmol,
// Tc K, Pc Pa, Vc m3/kmol, Zc, omega, dipole D, Tb K.
#pragma once

#include "transport.hpp"

#include <cmath>
#include <limits>

namespace transport_test {

using xif::refhost::transport::Constants;
using xif::refhost::transport::Status;

inline constexpr Constants kN2{28.0134, 126.192, 3395800, 0.0894142, 0.28939, 0.0372, 0, 77.355};
inline constexpr Constants kCH4{16.04246, 190.564, 4599200, 0.0986278,
                                0.28629,  0.01142, 0,       111.667};
inline constexpr Constants kC3H8{44.09562, 369.89, 4251200, 0.2, 0.276462, 0.1521, 0.08, 231.036};
inline constexpr Constants kNC4{58.1222, 425.125, 3796000, 0.254922, 0.273768, 0.201, 0, 272.660};
inline constexpr Constants kNC6{86.17536, 507.82, 3044100, 0.369549, 0.266432, 0.3, 0, 341.866};
inline constexpr Constants kNC7{100.20194, 540.2, 2735730, 0.429185, 0.261414, 0.349, 0, 371.550};
inline constexpr Constants kBenzene{78.11184, 562.02, 4907277, 0.256345,
                                    0.269202, 0.211,  0,       353.219};
inline constexpr Constants kToluene{92.13842, 591.75, 4126300, 0.315557,
                                    0.264646, 0.2657, 0.33,    383.746};
inline constexpr Constants kCO2{44.0095,  304.1282, 7377300, 0.0941185,
                                0.274588, 0.22394,  0,       194.67};
inline constexpr Constants kWater{18.01528, 647.096, 22064000, 0.0559480,
                                  0.229438, 0.3443,  1.85,     373.124};
inline constexpr Constants kMethanol{32.04186, 513.38, 8215850, 0.113828,
                                     0.219093, 0.5625, 1.7,     337.632};
inline constexpr Constants kHe{4.002602, 5.1953, 228320, 0.0575252, 0.304058, -0.3836, 0, 4.2238};
inline constexpr Constants kH2{2.01588, 33.145, 1296400, 0.0644828, 0.303341, -0.219, 0, 20.3689};

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();

inline double rel(double a, double b) {
    return std::abs(a - b) / std::abs(b);
}

// The module's promise: ok means finite and positive, anything else means 0.
inline bool well_formed(Status s, double v) {
    if (s == Status::ok) return std::isfinite(v) && v > 0.0;
    return v == 0.0;
}

} // namespace transport_test

// Runs a call that writes its result to var, then checks the pair; the call
// must finish before var is read.
#define EXPECT_WELL_FORMED(call, var)                                                              \
    do {                                                                                           \
        const ::xif::refhost::transport::Status status_ = (call);                                  \
        EXPECT_TRUE(::transport_test::well_formed(status_, var)) << #call;                         \
    } while (false)
