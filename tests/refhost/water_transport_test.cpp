// Transport and interface properties of the water tables against the
// check values of IAPWS R12-08 (viscosity), R15-11 (thermal conductivity)
// and R1-76(2014) (surface tension).
#include "refhost/water/water.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace w = xif::refhost::water;

namespace {

constexpr double M = w::molar_mass;

// Agreement to half a unit in the given decimal place.
void expect_decimals(double x, double ref, int decimals, const char* what) {
    EXPECT_NEAR(x, ref, 0.5 * std::pow(10.0, -decimals) * 1.001) << what << " ref " << ref;
}

// R12-08 Table 4: viscosity in micro-Pa s at (T, rho), without the critical
// enhancement.
TEST(WaterTransport, ViscosityReleaseTable) {
    const double rows[][3] = {
        {298.15, 998, 889.735100}, {298.15, 1200, 1437.649467}, {373.15, 1000, 307.883622},
        {433.15, 1, 14.538324},    {433.15, 1000, 217.685358},  {873.15, 1, 32.619287},
        {873.15, 100, 35.802262},  {873.15, 600, 77.430195},    {1173.15, 1, 44.217245},
        {1173.15, 100, 47.640433}, {1173.15, 400, 64.154608},
    };
    for (const auto& r : rows) {
        double mu = 0.0;
        ASSERT_EQ(w::viscosity_tv(r[0], M / r[1], mu), w::Status::ok);
        expect_decimals(mu * 1e6, r[2], 6, "mu");
    }
}

// R15-11: the background (no critical enhancement) at (T, rho), in mW/(m K).
TEST(WaterTransport, ConductivityBackgroundReleaseTable) {
    const double rows[][4] = {
        {298.15, 0.0, 18.4341883, 7},
        {298.15, 998, 607.712868, 6},
        {298.15, 1200, 799.038144, 6},
        {873.15, 0.0, 79.1034659, 7},
    };
    for (const auto& r : rows) {
        // The dilute limit: a density small enough to vanish in the sums.
        const double rho = r[1] > 0.0 ? r[1] : 1e-12;
        double lambda = 0.0;
        ASSERT_EQ(w::thermal_conductivity_tv(r[0], M / rho, lambda), w::Status::ok);
        expect_decimals(lambda * 1e3, r[2], static_cast<int>(r[3]), "lambda");
    }
}

// R15-11, industrial use: conductivity with the critical enhancement from
// IF97 states, in mW/(m K). The last two are region-3 states given by
// (T, rho).
TEST(WaterTransport, ConductivityIndustrialReleaseValues) {
    const double tp[][3] = {
        {620, 20e6, 481.485195},
        {620, 50e6, 545.038940},
        {650, 0.3e6, 52.2311024},
        {800, 50e6, 177.709914},
    };
    for (const auto& r : tp) {
        double lambda = 0.0;
        ASSERT_EQ(w::thermal_conductivity(r[0], r[1], lambda), w::Status::ok);
        expect_decimals(lambda * 1e3, r[2], r[2] < 100 ? 7 : 6, "lambda(T,p)");
    }
    const double trho[][3] = {{647.35, 222, 366.879411}, {647.35, 322, 1241.82415}};
    for (const auto& r : trho) {
        w::State st;
        ASSERT_EQ(w::region3_tv(r[0], M / r[1], st), w::Status::ok);
        double lambda = 0.0;
        ASSERT_EQ(w::thermal_conductivity(st, lambda), w::Status::ok);
        expect_decimals(lambda * 1e3, r[2], r[2] > 1000 ? 5 : 6, "lambda(T,rho)");
    }
}

// Far from the critical point the enhancement is nil; near it, it dominates.
TEST(WaterTransport, CriticalEnhancementOnlyNearCriticalPoint) {
    w::State st;
    ASSERT_EQ(w::properties(300.0, 1e5, st), w::Status::ok);
    double full = 0.0;
    double background = 0.0;
    ASSERT_EQ(w::thermal_conductivity(st, full), w::Status::ok);
    ASSERT_EQ(w::thermal_conductivity_tv(st.t, st.v, background), w::Status::ok);
    EXPECT_NEAR(full, background, 1e-12);

    ASSERT_EQ(w::region3_tv(647.35, M / 322.0, st), w::Status::ok);
    ASSERT_EQ(w::thermal_conductivity(st, full), w::Status::ok);
    ASSERT_EQ(w::thermal_conductivity_tv(st.t, st.v, background), w::Status::ok);
    EXPECT_GT(full, 2.0 * background);
}

// The (T, P) forms go through the IF97 density.
TEST(WaterTransport, PressureFormsUseIf97Density) {
    w::State st;
    ASSERT_EQ(w::properties(450.0, 5e6, st), w::Status::ok);
    double a = 0.0;
    double b = 0.0;
    ASSERT_EQ(w::viscosity(450.0, 5e6, a), w::Status::ok);
    ASSERT_EQ(w::viscosity_tv(450.0, st.v, b), w::Status::ok);
    EXPECT_EQ(a, b);
    // Liquid water at 25 C and 1 atm: 0.890 mPa s, 0.607 W/(m K).
    ASSERT_EQ(w::viscosity(298.15, 101325.0, a), w::Status::ok);
    EXPECT_NEAR(a, 0.890e-3, 0.001e-3);
    ASSERT_EQ(w::thermal_conductivity(298.15, 101325.0, a), w::Status::ok);
    EXPECT_NEAR(a, 0.607, 0.002);
    // Steam at 1 bar and 500 K is far lighter and less viscous.
    ASSERT_EQ(w::viscosity(500.0, 1e5, b), w::Status::ok);
    EXPECT_LT(b, 0.05 * 0.890e-3);
}

// R1-76(2014) table, in mN/m to two decimals.
TEST(WaterTransport, SurfaceTensionReleaseTable) {
    const double rows[][2] = {
        {273.16, 75.65}, {283.15, 74.22}, {293.15, 72.74}, {303.15, 71.19}, {313.15, 69.60},
        {323.15, 67.94}, {333.15, 66.24}, {343.15, 64.48}, {353.15, 62.67}, {363.15, 60.82},
        {373.15, 58.91}, {393.15, 54.97}, {413.15, 50.86}, {433.15, 46.59}, {453.15, 42.19},
        {473.15, 37.67}, {523.15, 26.04}, {573.15, 14.36}, {623.15, 3.67},  {643.15, 0.39},
    };
    for (const auto& r : rows) {
        double sigma = 0.0;
        ASSERT_EQ(w::surface_tension(r[0], sigma), w::Status::ok);
        expect_decimals(sigma * 1e3, r[1], 2, "sigma");
    }
    double sigma = 1.0;
    ASSERT_EQ(w::surface_tension(w::t_crit, sigma), w::Status::ok);
    EXPECT_EQ(sigma, 0.0);
}

TEST(WaterTransport, GuardsRejectBadInput) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double x = 3.0;
    EXPECT_EQ(w::viscosity_tv(nan, 0.018, x), w::Status::bad_input);
    EXPECT_EQ(w::viscosity_tv(300.0, 0.0, x), w::Status::bad_input);
    EXPECT_EQ(w::viscosity_tv(300.0, -0.018, x), w::Status::bad_input);
    EXPECT_EQ(w::viscosity_tv(1200.0, 0.018, x), w::Status::out_of_range);
    EXPECT_EQ(w::viscosity_tv(250.0, 0.018, x), w::Status::out_of_range);
    EXPECT_EQ(w::thermal_conductivity_tv(300.0, nan, x), w::Status::bad_input);
    EXPECT_EQ(w::viscosity(300.0, nan, x), w::Status::bad_input);
    EXPECT_EQ(w::thermal_conductivity(300.0, 200e6, x), w::Status::out_of_range);
    // Region 5 steam is past the transport correlations' industrial range.
    EXPECT_EQ(w::thermal_conductivity(1500.0, 1e6, x), w::Status::out_of_range);
    EXPECT_EQ(w::surface_tension(nan, x), w::Status::bad_input);
    EXPECT_EQ(w::surface_tension(650.0, x), w::Status::out_of_range);
    EXPECT_EQ(w::surface_tension(240.0, x), w::Status::out_of_range);
    EXPECT_EQ(x, 3.0);
}

} // namespace
