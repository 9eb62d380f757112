// Three-phase flash: three-phase Rachford-Rice, equilibrium among vapour and
// two liquids, the n-pentane/water heteroazeotrope against Perry's vapour pressures.
#include "thermo_test_data.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using namespace thermo_test;
using th::FlashResult;
using th::Status;

TEST(RachfordRice3, RecoversConstructedPhaseAmounts) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0.01, 1.0);
    for (int trial = 0; trial < 200; ++trial) {
        // Phase compositions x, w1, w2 in amounts 1 - b1 - b2, b1, b2.
        double x[4], w1[4], w2[4], z[4], K1[4], K2[4], sx = 0, s1 = 0, s2 = 0;
        for (int i = 0; i < 4; ++i) {
            sx += x[i] = u(rng);
            s1 += w1[i] = u(rng);
            s2 += w2[i] = u(rng);
        }
        const double b1 = 0.6 * u(rng), b2 = 0.35 * u(rng);
        for (int i = 0; i < 4; ++i) {
            z[i] = (1 - b1 - b2) * x[i] / sx + b1 * w1[i] / s1 + b2 * w2[i] / s2;
            K1[i] = (w1[i] / s1) / (x[i] / sx);
            K2[i] = (w2[i] / s2) / (x[i] / sx);
        }
        double b[2] = {NAN, NAN};
        ASSERT_TRUE(th::rachford_rice3(4, z, K1, K2, b));
        EXPECT_NEAR(b[0], b1, 1e-9);
        EXPECT_NEAR(b[1], b2, 1e-9);
    }
}

// Helium in a gas beside two cold liquids holding 1e-200 of it: K - 1 reaches 1e200, whose
// square overflows. The Hessian went to NaN and the solver crept by steepest descent.
TEST(RachfordRice3, RecoversPhaseAmountsWithKValuesOf1e200) {
    const double x[4] = {1e-200, 0.5, 0.3, 0.2}, w1[4] = {0.99, 0.005, 0.003, 0.002},
                 w2[4] = {1e-10, 0.1, 0.2, 0.7 - 1e-10};
    const double b1 = 0.65, b2 = 0.2;
    double z[4], K1[4], K2[4];
    for (int i = 0; i < 4; ++i) {
        z[i] = (1 - b1 - b2) * x[i] + b1 * w1[i] + b2 * w2[i];
        K1[i] = w1[i] / x[i];
        K2[i] = w2[i] / x[i];
    }
    double b[2] = {NAN, NAN};
    ASSERT_TRUE(th::rachford_rice3(4, z, K1, K2, b));
    EXPECT_NEAR(b[0], b1, 1e-9);
    EXPECT_NEAR(b[1], b2, 1e-9);
}

// Water, n-hexane and n-heptane with nitrogen kept out of the liquids at 363.6 K and 1.94 bar,
// K relative to the gas: the aqueous liquid is within 1e-9 of pure water, and the minimum
// within 1e-9 of the region's edge, where the function changes by less than its rounding. The
// Newton step that finishes the solve was taken only where the edge lay beyond the full step,
// and the phases' mole fractions stayed 1e-9 off their sums.
TEST(RachfordRice3, FinishesBesideANearlyPurePhase) {
    const double z[4] = {0.5434782608695653, 0.21739130434782608, 0.21739130434782608,
                         0.021739130434782608};
    const double K1[4] = {2.9266688999627974, 8.8841933620988393e-16, 4.456257244224695e-18, 0};
    const double K2[4] = {0.015469405117258471, 1.0602827835844297, 2.3518491104200003, 0};
    double b[2] = {0.37966139610372424, 0.14311478142687295};
    ASSERT_TRUE(th::rachford_rice3(4, z, K1, K2, b));
    double sums[3] = {0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const double t = 1 + b[0] * (K1[i] - 1) + b[1] * (K2[i] - 1);
        sums[0] += z[i] / t;
        sums[1] += K1[i] * z[i] / t;
        sums[2] += K2[i] * z[i] / t;
    }
    for (const double sum : sums)
        EXPECT_NEAR(sum, 1.0, 1e-13);
}

TEST(Flash3TP, MethanePentaneWaterSplitsThreeWays) {
    auto f = make({CH4, NC5, H2O});
    const double z[3] = {0.3, 0.3, 0.4};
    const FlashResult r = sane(f->model, th::flash3_tp(f->model, 300, 10e5, z), z);
    ASSERT_EQ(r.nphases, 3);
    expect_equal_fugacity(f->model, r, 1e-8);
    EXPECT_GT(r.x[th::kVapour][0], 0.8);   // methane-rich gas
    EXPECT_GT(r.x[th::kLiquid][1], 0.9);   // pentane-rich organic liquid
    EXPECT_GT(r.x[th::kLiquid2][2], 0.99); // nearly pure water
    // The three-phase answer lies below the vapour-liquid one in Gibbs energy.
    const FlashResult vl = th::flash_tp(f->model, 300, 10e5, z);
    ASSERT_EQ(vl.status, Status::Ok);
    EXPECT_LT(r.h - r.T * r.s, vl.h - vl.T * vl.s - 1.0);
}

TEST(Flash3TP, FeedWithoutASecondLiquidMatchesTheTwoPhaseFlash) {
    auto f = make({CH4, C2H6, C3H8, NC4, NC5, N2, CO2});
    const double z[7] = {0.30, 0.10, 0.15, 0.15, 0.28, 0.01, 0.01};
    for (double T : {250.0, 350.0, 500.0}) {
        const FlashResult a = sane(f->model, th::flash3_tp(f->model, T, 30e5, z), z);
        const FlashResult b = th::flash_tp(f->model, T, 30e5, z);
        EXPECT_EQ(a.nphases, b.nphases);
        EXPECT_NEAR(a.vf, b.vf, 1e-12);
        EXPECT_NEAR(a.h, b.h, 1e-6);
    }
}

// Immiscible liquids boil where the vapour pressures add up to P; a binary
// holds three phases at that one temperature for a range of vapour fractions.
TEST(Flash3PV, PentaneWaterHeteroazeotropeAtOneAtmosphere) {
    auto f = make({NC5, H2O});
    const double Tref = bisect(
        [](double T) { return perry_psat(NC5, T) + perry_psat(H2O, T) - th::kPref; }, 280, 320);
    for (double zw : {0.2, 0.5, 0.8}) {
        SCOPED_TRACE(zw);
        const double z[2] = {1 - zw, zw};
        const FlashResult b = sane(f->model, th::flash3_pv(f->model, th::kPref, 0.0, z), z);
        EXPECT_NEAR(b.T, Tref, 1.0);
        EXPECT_NEAR(b.vf, 0.0, 1e-12);
        ASSERT_TRUE(b.present[th::kVapour]);
        EXPECT_NEAR(b.x[th::kVapour][1], perry_psat(H2O, Tref) / th::kPref, 0.01);
        const FlashResult mid = sane(f->model, th::flash3_pv(f->model, th::kPref, 0.1, z), z);
        EXPECT_EQ(mid.nphases, 3);
        EXPECT_NEAR(mid.T, b.T, 1e-6);
        EXPECT_NEAR(mid.vf, 0.1, 1e-9);
        // An enthalpy inside the jump returns the same three-phase state.
        const FlashResult ph = sane(f->model, th::flash3_ph(f->model, th::kPref, mid.h, z), z);
        EXPECT_NEAR(ph.T, b.T, 1e-6);
        EXPECT_NEAR(ph.vf, 0.1, 1e-6);
    }
}

// A supercritical gas over water is renamed liquid above some pressure, and
// the vapour fraction jumps there from its share to 0. That is one phase
// under two names, not three phases: vapour fractions inside the jump have no
// state, and every state returned holds the fraction asked in its vapour.
TEST(Flash3TV, ARenamedGasIsNotAThirdPhase) {
    auto f = make({CH4, C3H8, NC5, CO2, H2O});
    const double z[5] = {0.5, 0.1, 0.1, 0.05, 0.25};
    const FlashResult wet = sane(f->model, th::flash3_tp(f->model, 350, 100e5, z), z);
    ASSERT_GT(wet.vf, 0.6);
    ASSERT_LT(wet.vf, 0.74);
    for (double vf : {0.0, 0.1, 0.5, wet.vf}) {
        SCOPED_TRACE(vf);
        const FlashResult r = th::flash3_tv(f->model, 350, vf, z);
        if (vf == wet.vf) {
            ASSERT_EQ(r.status, Status::Ok);
        }
        if (r.status != Status::Ok) {
            EXPECT_EQ(r.status, Status::NoSolution);
            continue;
        }
        sane(f->model, r, z);
        EXPECT_NEAR(r.frac[th::kVapour], vf, 1e-9);
    }
}

} // namespace
