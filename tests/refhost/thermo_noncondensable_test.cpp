// Vapour-only components: steam/N2 against the model's saturation pressure, n-hexane/water/N2
// in three phases, Rachford-Rice with infinite K, round trips, an all-false mask.
#include "thermo_test_data.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using namespace thermo_test;
using th::FlashOptions;
using th::FlashResult;
using th::Status;

constexpr double kAtm = 101325.0;
const double kSteamN2[2] = {0.7, 0.3}; // water, nitrogen
const bool kN2Only[2] = {false, true};
const double kWetGas[3] = {0.3, 0.5, 0.2}; // n-hexane, water, nitrogen
const bool kN2Only3[3] = {false, false, true};

FlashOptions vapour_only(const bool* mask) {
    FlashOptions o;
    o.vapour_only = mask;
    return o;
}

// A masked flash of family fl at (a, b), checked by sane().
FlashResult masked(Flash fl, const th::Model& m, double a, double b, const double* z,
                   const bool* mask) {
    return sane(m, fl(m, a, b, z, vapour_only(mask)), z, mask);
}

TEST(VapourOnlyRachfordRice, InfiniteKTermAndTinyShares) {
    // Constructed: liquid x over the condensables, vapour y, amount beta.
    const double beta = 0.37, x[4] = {0.5, 0.3, 0.2, 0.0}, y[4] = {0.1, 0.25, 0.35, 0.3};
    double z[4], K[4] = {0, 0, 0, 7.0}; // K of the vapour-only entry is not used
    for (int i = 0; i < 4; ++i)
        z[i] = beta * y[i] + (1 - beta) * x[i];
    for (int i = 0; i < 3; ++i)
        K[i] = y[i] / x[i];
    const bool mask[4] = {false, false, false, true};
    double b = 0.9, b2 = 0.9;
    ASSERT_TRUE(th::rachford_rice(4, z, K, b, mask));
    EXPECT_NEAR(b, beta, 1e-13);
    ASSERT_TRUE(th::rachford_rice(4, z, K, b2)); // unmasked, K = 7 counts
    EXPECT_GT(std::fabs(b2 - beta), 1e-3);
    // Every condensable K above 1: all vapour, no root. One below 1: a root in (0, 1/(1 - Kmin)).
    const double Khi[4] = {1.5, 2.0, 3.0, 0.1}, Kone[4] = {1.0, 1.0, 0.5, 1.0};
    EXPECT_FALSE(th::rachford_rice(4, z, Khi, b, mask));
    b = 0.5;
    ASSERT_TRUE(th::rachford_rice(4, z, Kone, b, mask));
    EXPECT_TRUE(b > 0.0 && b < 2.0);
    // A trace of gas: 0.8 (1 - 1e-10) / (1 - 0.8 b) = 1e-10 / b, resolved to rounding.
    const double zt[2] = {1 - 1e-10, 1e-10}, Kt[2] = {0.2, 1.0};
    b = 0.5;
    ASSERT_TRUE(th::rachford_rice(2, zt, Kt, b, kN2Only));
    EXPECT_NEAR(b, 1e-10 / 0.8, 1e-12 * 1e-10);
}

TEST(VapourOnlySteamNitrogen, CoolingKeepsNitrogenOutOfTheCondensate) {
    auto f = make({H2O, N2});
    const th::Model& m = f->model;
    int two = 0;
    for (double T = 400; T >= 300 - 1e-9; T -= 5) {
        const FlashResult r = masked(th::flash_tp, m, T, kAtm, kSteamN2, kN2Only);
        if (r.nphases != 2) continue;
        ++two;
        EXPECT_EQ(r.x[th::kLiquid][0], 1.0) << T;
        expect_equal_fugacity(m, r, 1e-9, kN2Only);
        EXPECT_NEAR(r.vf, 0.3 / (1 - r.x[th::kVapour][0]), 1e-12) << T; // all N2 in the gas
    }
    // Dew point near 363 K (0.7 atm of steam): two phases from there down, one at 400 K,
    // and nearly all water condensed at 300 K.
    EXPECT_GE(two, 12);
    EXPECT_EQ(masked(th::flash_tp, m, 400, kAtm, kSteamN2, kN2Only).nphases, 1);
    EXPECT_LT(masked(th::flash_tp, m, 300, kAtm, kSteamN2, kN2Only).vf, 0.32);
}

TEST(VapourOnlySteamNitrogen, WaterInTheGasFollowsTheSaturationPressure) {
    auto f = make({H2O, N2});
    const th::Model& m = f->model;
    const double T = 330, P = kAtm;
    const FlashResult r = masked(th::flash_tp, m, T, P, kSteamN2, kN2Only);
    ASSERT_EQ(r.nphases, 2);
    // Pure liquid water's fugacity: Psat phi_sat exp(integral of v_L dP / R T), by Simpson's rule.
    double Psat, lp[th::kMaxComponents], poynting = 0;
    ASSERT_EQ(th::saturation_pressure(m, 0, T, Psat), Status::Ok);
    const double w[2] = {1, 0};
    ASSERT_EQ(m.lnphi(T, Psat, w, th::Root::Vapour, lp), Status::Ok);
    const double ln_phi_sat = lp[0];
    for (int k = 0; k <= 200; ++k) {
        th::PhaseProps pp;
        ASSERT_EQ(m.properties(T, Psat + (P - Psat) * k / 200, w, th::Root::Liquid, pp),
                  Status::Ok);
        poynting += (k == 0 || k == 200 ? 1 : (k % 2 ? 4 : 2)) * pp.v;
    }
    poynting *= (P - Psat) / 200 / 3 / (th::kR * T);
    ASSERT_EQ(m.lnphi(T, P, r.x[th::kVapour].data(), th::Root::Vapour, lp), Status::Ok);
    const double y = r.x[th::kVapour][0];
    EXPECT_NEAR(y / (Psat * std::exp(ln_phi_sat + poynting) / (P * std::exp(lp[0]))), 1.0, 1e-6);
    EXPECT_NEAR(y / (Psat / P), 1.0, 0.02); // Raoult, corrections left out
    // Against Perry the error is the model's own: PR is about 10 % low for water at 0.5 Tc.
    EXPECT_NEAR(y / (perry_psat(H2O, T) / P), 0.9, 0.03);
    // Without the mask nitrogen dissolves a little; the water split barely moves.
    const FlashResult free = th::flash_tp(m, T, P, kSteamN2);
    ASSERT_EQ(free.nphases, 2);
    EXPECT_TRUE(free.x[th::kLiquid][1] > 0.0 && free.x[th::kLiquid][1] < 1e-3);
    EXPECT_NEAR(free.vf, r.vf, 1e-3);
}

TEST(VapourOnlySteamNitrogen, NoAllLiquidStateAndNoVapourFractionBelowTheGasShare) {
    auto f = make({H2O, N2});
    const th::Model& m = f->model;
    const FlashOptions o = vapour_only(kN2Only);
    // Cold and compressed, the gas stays a separate vapour.
    for (double P : {1e5, 1e6, 5e6, 2e7})
        EXPECT_EQ(masked(th::flash_tp, m, 280, P, kSteamN2, kN2Only).nphases, 2);
    // A trace of nitrogen still makes a vapour, at least its share.
    const double trace[2] = {1 - 1e-9, 1e-9}, gas[2] = {0, 1};
    const FlashResult t = masked(th::flash_tp, m, 330, kAtm, trace, kN2Only);
    EXPECT_TRUE(t.nphases == 2 && t.vf < 1e-8);
    // Nitrogen alone below its boiling point (77 K) stays a gas.
    const FlashResult g = masked(th::flash_tp, m, 70, kAtm, gas, kN2Only);
    EXPECT_EQ(g.nphases, 1);
    EXPECT_TRUE(th::flash_tp(m, 70, kAtm, gas).present[th::kLiquid]);
    EXPECT_NEAR(masked(th::flash_ph, m, kAtm, g.h, gas, kN2Only).T, 70, 1e-6);
    EXPECT_EQ(th::flash_pv(m, kAtm, 1.0, gas, o).status, Status::NoSolution);
    // vf at or below the N2 share: every drop of water condensed needs K = 0.
    for (double vf : {0.0, 0.1, 0.3}) {
        EXPECT_EQ(th::flash_pv(m, kAtm, vf, kSteamN2, o).status, Status::NoSolution) << vf;
        EXPECT_EQ(th::flash_tv(m, 330, vf, kSteamN2, o).status, Status::NoSolution) << vf;
        EXPECT_EQ(th::flash3_pv(m, kAtm, vf, kSteamN2, o).status, Status::NoSolution) << vf;
    }
    // The dew point: the first drop is pure water, the vapour is the feed.
    const FlashResult dew = masked(th::flash_pv, m, kAtm, 1.0, kSteamN2, kN2Only);
    EXPECT_TRUE(dew.x[th::kLiquid][0] == 1.0 && std::fabs(dew.x[th::kVapour][0] - 0.7) < 1e-12);
    expect_equal_fugacity(m, dew, 1e-8, kN2Only);
    double Psat;
    ASSERT_EQ(th::saturation_pressure(m, 0, dew.T, Psat), Status::Ok);
    EXPECT_NEAR(Psat / (0.7 * kAtm), 1.0, 0.02);
}

TEST(VapourOnlyThreePhase, HexaneWaterNitrogen) {
    auto f = make({NC6, H2O, N2});
    const th::Model& m = f->model;
    const FlashResult r = masked(th::flash3_tp, m, 320, kAtm, kWetGas, kN2Only3);
    ASSERT_EQ(r.nphases, 3);
    EXPECT_TRUE(r.x[th::kLiquid][0] > 0.9 && r.x[th::kLiquid2][1] > 0.99);
    expect_equal_fugacity(m, r, 1e-8, kN2Only3);
    // Immiscible liquids: Raoult on the model's pure saturation pressures.
    double p6, pw;
    ASSERT_EQ(th::saturation_pressure(m, 0, 320, p6), Status::Ok);
    ASSERT_EQ(th::saturation_pressure(m, 1, 320, pw), Status::Ok);
    EXPECT_NEAR(r.x[th::kVapour][0] * kAtm / (p6 * r.x[th::kLiquid][0]), 1.0, 0.05);
    EXPECT_NEAR(r.x[th::kVapour][1] * kAtm / pw, 1.0, 0.05);
    // Without the mask nitrogen dissolves in the organic liquid.
    const FlashResult free = th::flash3_tp(m, 320, kAtm, kWetGas);
    EXPECT_TRUE(free.nphases == 3 && free.x[th::kLiquid][2] > 0.0);
    masked(th::flash_tp, m, 320, kAtm, kWetGas, kN2Only3); // the two-phase flash too
}

TEST(VapourOnly, AllFiveFlashesRoundTrip) {
    auto f = make({H2O, N2}), g = make({NC6, H2O, N2});
    // clang-format off
    struct Case { const th::Model& m; Family fl; const double* z; const bool* mask; double T, P; };
    // clang-format on
    std::vector<Case> cases;
    for (double T : {300.0, 330.0, 355.0, 420.0})
        for (double P : {kAtm, 5e5})
            cases.push_back({f->model, kTwoPhase, kSteamN2, kN2Only, T, P});
    for (double T : {300.0, 320.0, 345.0, 400.0})
        cases.push_back({g->model, kThreePhase, kWetGas, kN2Only3, T, kAtm});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.m.size() << " components " << c.T << " K " << c.P);
        const FlashOptions o = vapour_only(c.mask);
        FlashOptions guess = o;
        guess.T_guess = c.T + 15;
        guess.P_guess = 1.5 * c.P;
        const FlashResult a = sane(c.m, c.fl.tp(c.m, c.T, c.P, c.z, o), c.z, c.mask);
        const FlashResult ph = sane(c.m, c.fl.ph(c.m, c.P, a.h, c.z, guess), c.z, c.mask);
        EXPECT_NEAR(ph.T, c.T, 1e-6);
        EXPECT_NEAR(ph.vf, a.vf, 1e-8);
        EXPECT_EQ(ph.nphases, a.nphases);
        if (a.nphases == 1) continue; // h(P) is flat for a gas: only split states pin P
        EXPECT_NEAR(sane(c.m, c.fl.th(c.m, c.T, a.h, c.z, guess), c.z, c.mask).P / c.P, 1.0, 1e-6);
        EXPECT_NEAR(sane(c.m, c.fl.pv(c.m, c.P, a.vf, c.z, o), c.z, c.mask).T, c.T, 1e-6);
        EXPECT_NEAR(sane(c.m, c.fl.tv(c.m, c.T, a.vf, c.z, o), c.z, c.mask).P / c.P, 1.0, 1e-6);
    }
}

TEST(VapourOnlyMask, AllFalseIsNoMask) {
    auto f = make({H2O, N2}), g = make({NC6, H2O, N2});
    const bool none[3] = {false, false, false};
    const FlashOptions o = vapour_only(none);
    const th::Model &m = f->model, &m3 = g->model;
    const double h = th::flash_tp(m, 340, kAtm, kSteamN2).h, *z = kSteamN2, *z3 = kWetGas;
    const std::pair<FlashResult, FlashResult> pairs[] = {
        {th::flash_tp(m, 330, kAtm, z, o), th::flash_tp(m, 330, kAtm, z)},
        {th::flash_tp(m, 280, 2e7, z, o), th::flash_tp(m, 280, 2e7, z)},
        {th::flash_ph(m, kAtm, h, z, o), th::flash_ph(m, kAtm, h, z)},
        {th::flash_th(m, 340, h, z, o), th::flash_th(m, 340, h, z)},
        {th::flash_pv(m, kAtm, 0.5, z, o), th::flash_pv(m, kAtm, 0.5, z)},
        {th::flash_tv(m, 340, 1.0, z, o), th::flash_tv(m, 340, 1.0, z)},
        {th::flash3_tp(m3, 320, kAtm, z3, o), th::flash3_tp(m3, 320, kAtm, z3)},
        {th::flash3_pv(m3, kAtm, 0.5, z3, o), th::flash3_pv(m3, kAtm, 0.5, z3)},
    };
    // Bit for bit, NaN included.
    auto same = [](double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    for (const auto& [a, b] : pairs) {
        EXPECT_TRUE(a.status == b.status && a.nphases == b.nphases && a.it_ss == b.it_ss &&
                    a.it_newton == b.it_newton && a.it_stability == b.it_stability &&
                    a.it_outer == b.it_outer);
        EXPECT_TRUE(same(a.T, b.T) && same(a.P, b.P) && same(a.vf, b.vf) && same(a.h, b.h) &&
                    same(a.s, b.s));
        for (int k = 0; k < th::kSlots; ++k) {
            EXPECT_TRUE(a.present[k] == b.present[k] && same(a.frac[k], b.frac[k]) &&
                        same(a.phase[k].v, b.phase[k].v) && same(a.phase[k].h, b.phase[k].h));
            for (int i = 0; i < 3; ++i)
                EXPECT_TRUE(same(a.x[k][i], b.x[k][i]) && same(a.K[i], b.K[i])) << k << i;
        }
    }
}

TEST(VapourOnlyDenseFeed, GasSeparatesFromCompressedLiquids) {
    // n-hexane with a trace of N2 at 50 bar holds the gas in solution; masked, a gas separates.
    auto f = make({NC6, N2});
    const th::Model& m = f->model;
    for (double zn : {1e-4, 1e-2}) {
        SCOPED_TRACE(zn);
        const double z[2] = {1 - zn, zn};
        const FlashResult r = masked(th::flash_tp, m, 300, 5e6, z, kN2Only);
        ASSERT_EQ(r.nphases, 2);
        EXPECT_FALSE(r.phase[th::kVapour].liquid_like);
        EXPECT_GT(r.x[th::kVapour][1], 0.95);
        EXPECT_LT(r.vf, 1.1 * zn);
        EXPECT_EQ(r.x[th::kLiquid][0], 1.0);
        expect_equal_fugacity(m, r, 1e-8, kN2Only);
        const FlashResult free = th::flash_tp(m, 300, 5e6, z); // the trace stays dissolved
        EXPECT_TRUE(free.nphases == 1 && free.present[th::kLiquid]);
    }
    // Beyond the pair's critical pressure: one fluid, reported as the vapour.
    const double z[2] = {0.7, 0.3};
    EXPECT_EQ(masked(th::flash_tp, m, 300, 5e7, z, kN2Only).nphases, 1);
    // Above the n-hexane/water three-phase pressure at 447 K, a trace of N2 stays a gas over both.
    auto g = make({NC6, H2O, N2});
    const double z3[3] = {0.402, 0.598 - 1.44e-6, 1.44e-6};
    for (double P : {2.3e6, 2.9e6, 3.7e6}) {
        SCOPED_TRACE(P);
        const FlashResult r = masked(th::flash3_tp, g->model, 447.1, P, z3, kN2Only3);
        ASSERT_EQ(r.nphases, 3);
        EXPECT_FALSE(r.phase[th::kVapour].liquid_like);
        EXPECT_LT(r.vf, 1e-3);
        expect_equal_fugacity(g->model, r, 1e-8, kN2Only3);
    }
}

} // namespace
