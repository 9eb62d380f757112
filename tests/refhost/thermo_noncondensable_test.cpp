// Vapour-only (non-condensable) components: steam with nitrogen against the
// equation of state's own saturation pressure, n-hexane/water/nitrogen in
// three phases, Rachford-Rice with infinite K, round trips through all five
// flashes, an all-false mask against none, and sweeps.
#include "flash3.hpp"
#include "pure.hpp"
#include "thermo_test_data.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

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

// Every number finite, balances closed, vapour-only components absent from
// the liquids with K = 1e30, and a vapour at least their feed share.
void expect_sane(const th::Model& m, const FlashResult& r, const double* z, const bool* mask) {
    ASSERT_EQ(r.status, Status::Ok);
    ASSERT_TRUE(std::isfinite(r.T) && std::isfinite(r.P) && std::isfinite(r.h) &&
                std::isfinite(r.s) && std::isfinite(r.vf));
    double zv = 0, fsum = 0;
    for (int i = 0; i < m.size(); ++i)
        if (mask[i]) zv += z[i];
    for (int k = 0; k < th::kSlots; ++k) {
        if (!r.present[k]) continue;
        fsum += r.frac[k];
        EXPECT_TRUE(std::isfinite(r.phase[k].h) && std::isfinite(r.phase[k].v));
    }
    EXPECT_NEAR(fsum, 1.0, 1e-9);
    if (zv > 0) {
        ASSERT_TRUE(r.present[th::kVapour]);
        EXPECT_GE(r.vf, zv * (1 - 1e-12));
    }
    for (int i = 0; i < m.size(); ++i) {
        double sum = 0;
        for (int k = 0; k < th::kSlots; ++k)
            if (r.present[k]) sum += r.frac[k] * r.x[k][i];
        EXPECT_NEAR(sum, z[i], 1e-8) << i;
        ASSERT_TRUE(std::isfinite(r.K[i]));
        if (!mask[i]) continue;
        EXPECT_EQ(r.K[i], th::kVapourOnlyK);
        EXPECT_EQ(r.x[th::kLiquid][i], 0.0);
        EXPECT_EQ(r.x[th::kLiquid2][i], 0.0);
    }
}

// ln x + ln phi of each condensable component equal in all present phases.
void expect_equal_fugacity(const th::Model& m, const FlashResult& r, const bool* mask, double tol) {
    double lf[th::kSlots][th::kMaxComponents];
    for (int k = 0; k < th::kSlots; ++k) {
        if (!r.present[k]) continue;
        const th::Root root = k == th::kVapour ? th::Root::Vapour : th::Root::Liquid;
        ASSERT_EQ(m.lnphi(r.T, r.P, r.x[k].data(), root, lf[k]), Status::Ok);
    }
    for (int i = 0; i < m.size(); ++i) {
        if (mask[i]) continue;
        int ref = -1;
        for (int k = 0; k < th::kSlots; ++k) {
            if (!r.present[k]) continue;
            const double f = std::log(r.x[k][i]) + lf[k][i];
            if (ref < 0)
                ref = k, lf[k][i] = f;
            else
                EXPECT_NEAR(f, lf[ref][i], tol) << "component " << i << " slot " << k;
        }
    }
}

bool same_bits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expect_identical(const FlashResult& a, const FlashResult& b, int n) {
    EXPECT_EQ(a.status, b.status);
    EXPECT_EQ(a.nphases, b.nphases);
    EXPECT_TRUE(same_bits(a.T, b.T) && same_bits(a.P, b.P) && same_bits(a.vf, b.vf));
    EXPECT_TRUE(same_bits(a.h, b.h) && same_bits(a.s, b.s));
    EXPECT_EQ(a.it_ss, b.it_ss);
    EXPECT_EQ(a.it_newton, b.it_newton);
    EXPECT_EQ(a.it_stability, b.it_stability);
    EXPECT_EQ(a.it_outer, b.it_outer);
    for (int k = 0; k < th::kSlots; ++k) {
        EXPECT_EQ(a.present[k], b.present[k]);
        EXPECT_TRUE(same_bits(a.frac[k], b.frac[k]));
        EXPECT_TRUE(same_bits(a.phase[k].v, b.phase[k].v) && same_bits(a.phase[k].h, b.phase[k].h));
        for (int i = 0; i < n; ++i)
            EXPECT_TRUE(same_bits(a.x[k][i], b.x[k][i]));
    }
    for (int i = 0; i < n; ++i)
        EXPECT_TRUE(same_bits(a.K[i], b.K[i])) << i;
}

TEST(VapourOnlyRachfordRice, InfiniteKTermAndTinyShares) {
    // Constructed: liquid x over the condensables, vapour y, amount beta.
    const double beta = 0.37;
    const double x[4] = {0.5, 0.3, 0.2, 0.0};
    const double y[4] = {0.1, 0.25, 0.35, 0.3};
    double z[4], K[4] = {0, 0, 0, 7.0}; // K of the vapour-only entry is not used
    for (int i = 0; i < 4; ++i)
        z[i] = beta * y[i] + (1 - beta) * x[i];
    for (int i = 0; i < 3; ++i)
        K[i] = y[i] / x[i];
    const bool mask[4] = {false, false, false, true};
    double b = 0.9;
    ASSERT_TRUE(th::rachford_rice(4, z, K, b, mask));
    EXPECT_NEAR(b, beta, 1e-13);
    // Without the mask the root differs (K = 7 is finite).
    double b2 = 0.9;
    ASSERT_TRUE(th::rachford_rice(4, z, K, b2));
    EXPECT_GT(std::fabs(b2 - beta), 1e-3);
    // Every condensable K above 1: everything is vapour, no root.
    const double Khi[4] = {1.5, 2.0, 3.0, 0.1};
    EXPECT_FALSE(th::rachford_rice(4, z, Khi, b, mask));
    // Even all condensable K at or above 1 with one below 1 has a root in (0, 1/(1-Kmin)).
    const double Kone[4] = {1.0, 1.0, 0.5, 1.0};
    b = 0.5;
    ASSERT_TRUE(th::rachford_rice(4, z, Kone, b, mask));
    EXPECT_GT(b, 0.0);
    EXPECT_LT(b, 2.0);
    // A trace of gas: the vapour amount is tiny but resolved to rounding.
    const double zt[2] = {1 - 1e-10, 1e-10};
    const double Kt[2] = {0.2, 1.0};
    const bool mt[2] = {false, true};
    b = 0.5;
    ASSERT_TRUE(th::rachford_rice(2, zt, Kt, b, mt));
    // 0.8 (1 - 1e-10) / (1 - 0.8 b) = 1e-10 / b  =>  b = 1e-10 / (0.8 (1 - 1e-10) + 0.8e-10)
    EXPECT_NEAR(b, 1e-10 / 0.8, 1e-12 * 1e-10);
}

TEST(VapourOnlySteamNitrogen, CoolingKeepsNitrogenOutOfTheCondensate) {
    auto f = make({H2O, N2});
    ASSERT_TRUE(f);
    const th::Model& m = f->model;
    const FlashOptions o = vapour_only(kN2Only);
    int two = 0;
    for (double T = 400; T >= 300 - 1e-9; T -= 5) {
        SCOPED_TRACE(T);
        const FlashResult r = th::flash_tp(m, T, kAtm, kSteamN2, o);
        expect_sane(m, r, kSteamN2, kN2Only);
        if (r.nphases == 2) {
            ++two;
            EXPECT_EQ(r.x[th::kLiquid][1], 0.0);
            EXPECT_EQ(r.x[th::kLiquid][0], 1.0);
            expect_equal_fugacity(m, r, kN2Only, 1e-9);
        } else {
            EXPECT_TRUE(r.present[th::kVapour]);
        }
    }
    // Dew point near 363 K (0.7 atm of steam): two phases from there down.
    EXPECT_GE(two, 12);
    EXPECT_EQ(th::flash_tp(m, 400, kAtm, kSteamN2, o).nphases, 1);
    // Nearly all water condensed at 300 K: the vapour is nitrogen with the
    // water's saturation share.
    const FlashResult cold = th::flash_tp(m, 300, kAtm, kSteamN2, o);
    EXPECT_NEAR(cold.vf, 0.3 / (1 - cold.x[th::kVapour][0]), 1e-12);
    EXPECT_LT(cold.vf, 0.32);
}

TEST(VapourOnlySteamNitrogen, WaterInTheGasFollowsTheSaturationPressure) {
    auto f = make({H2O, N2});
    ASSERT_TRUE(f);
    const th::Model& m = f->model;
    const double T = 330, P = kAtm;
    const FlashResult r = th::flash_tp(m, T, P, kSteamN2, vapour_only(kN2Only));
    expect_sane(m, r, kSteamN2, kN2Only);
    ASSERT_EQ(r.nphases, 2);
    // Fugacity of pure liquid water at (T, P) from the EOS's saturation
    // pressure: f = Psat phi_sat exp(integral of v_L dP / R T), Simpson's rule.
    double Psat;
    ASSERT_EQ(th::saturation_pressure(m, 0, T, Psat), Status::Ok);
    const double w[2] = {1, 0};
    double lp[th::kMaxComponents];
    ASSERT_EQ(m.lnphi(T, Psat, w, th::Root::Vapour, lp), Status::Ok);
    const int nseg = 200;
    double poynting = 0;
    for (int k = 0; k <= nseg; ++k) {
        th::PhaseProps pp;
        ASSERT_EQ(m.properties(T, Psat + (P - Psat) * k / nseg, w, th::Root::Liquid, pp),
                  Status::Ok);
        poynting += (k == 0 || k == nseg ? 1 : (k % 2 ? 4 : 2)) * pp.v;
    }
    poynting *= (P - Psat) / nseg / 3 / (th::kR * T);
    const double f_liquid = Psat * std::exp(lp[0] + poynting);
    ASSERT_EQ(m.lnphi(T, P, r.x[th::kVapour].data(), th::Root::Vapour, lp), Status::Ok);
    const double y_expected = f_liquid / (P * std::exp(lp[0]));
    EXPECT_NEAR(r.x[th::kVapour][0] / y_expected, 1.0, 1e-6);
    // Raoult's law, with the vapour and Poynting corrections left out.
    EXPECT_NEAR(r.x[th::kVapour][0] / (Psat / P), 1.0, 0.02);
    // Against Perry's vapour pressure the error is the EOS's own: PR with
    // the 1978 m(w) is about 10 % low for water at 0.5 Tc.
    EXPECT_NEAR(r.x[th::kVapour][0] / (perry_psat(H2O, T) / P), 0.9, 0.03);
    // Without the mask nitrogen dissolves a little; the water split barely moves.
    const FlashResult free = th::flash_tp(m, T, P, kSteamN2);
    ASSERT_EQ(free.status, Status::Ok);
    ASSERT_EQ(free.nphases, 2);
    EXPECT_GT(free.x[th::kLiquid][1], 0.0);
    EXPECT_LT(free.x[th::kLiquid][1], 1e-3);
    EXPECT_NEAR(free.vf, r.vf, 1e-3);
}

TEST(VapourOnlySteamNitrogen, NoAllLiquidStateAndNoVapourFractionBelowTheGasShare) {
    auto f = make({H2O, N2});
    ASSERT_TRUE(f);
    const th::Model& m = f->model;
    const FlashOptions o = vapour_only(kN2Only);
    // Cold and compressed: without the mask a liquid with dissolved N2 can
    // form; with it the gas stays a separate vapour.
    for (double P : {1e5, 1e6, 5e6, 2e7}) {
        SCOPED_TRACE(P);
        const FlashResult r = th::flash_tp(m, 280, P, kSteamN2, o);
        expect_sane(m, r, kSteamN2, kN2Only);
        EXPECT_EQ(r.nphases, 2);
    }
    // A trace of nitrogen still makes a vapour, at least its share.
    const double trace[2] = {1 - 1e-9, 1e-9};
    const FlashResult t = th::flash_tp(m, 330, kAtm, trace, o);
    expect_sane(m, t, trace, kN2Only);
    EXPECT_EQ(t.nphases, 2);
    EXPECT_LT(t.vf, 1e-8);
    // Nitrogen alone below its boiling point (77 K) stays a gas.
    const double gas[2] = {0, 1};
    const FlashResult g = th::flash_tp(m, 70, kAtm, gas, o);
    expect_sane(m, g, gas, kN2Only);
    EXPECT_TRUE(g.present[th::kVapour]);
    EXPECT_EQ(g.nphases, 1);
    EXPECT_TRUE(th::flash_tp(m, 70, kAtm, gas).present[th::kLiquid]);
    const FlashResult gh = th::flash_ph(m, kAtm, g.h, gas, o);
    expect_sane(m, gh, gas, kN2Only);
    EXPECT_NEAR(gh.T, 70, 1e-6);
    EXPECT_EQ(th::flash_pv(m, kAtm, 1.0, gas, o).status, Status::NoSolution);
    // vf at or below the N2 share: every drop of water condensed needs K = 0.
    for (double vf : {0.0, 0.1, 0.3}) {
        EXPECT_EQ(th::flash_pv(m, kAtm, vf, kSteamN2, o).status, Status::NoSolution) << vf;
        EXPECT_EQ(th::flash_tv(m, 330, vf, kSteamN2, o).status, Status::NoSolution) << vf;
        EXPECT_EQ(th::flash3_pv(m, kAtm, vf, kSteamN2, o).status, Status::NoSolution) << vf;
    }
    // The dew point: the first drop is pure water, the vapour is the feed.
    const FlashResult dew = th::flash_pv(m, kAtm, 1.0, kSteamN2, o);
    expect_sane(m, dew, kSteamN2, kN2Only);
    EXPECT_EQ(dew.x[th::kLiquid][0], 1.0);
    EXPECT_NEAR(dew.x[th::kVapour][0], 0.7, 1e-12);
    double Psat;
    ASSERT_EQ(th::saturation_pressure(m, 0, dew.T, Psat), Status::Ok);
    EXPECT_NEAR(Psat / (0.7 * kAtm), 1.0, 0.02);
    expect_equal_fugacity(m, dew, kN2Only, 1e-8);
}

TEST(VapourOnlySteamNitrogen, AllFiveFlashesRoundTrip) {
    auto f = make({H2O, N2});
    ASSERT_TRUE(f);
    const th::Model& m = f->model;
    const FlashOptions o = vapour_only(kN2Only);
    for (double T : {300.0, 330.0, 355.0, 420.0}) {
        for (double P : {kAtm, 5e5}) {
            SCOPED_TRACE(testing::Message() << T << " K " << P << " Pa");
            const FlashResult a = th::flash_tp(m, T, P, kSteamN2, o);
            expect_sane(m, a, kSteamN2, kN2Only);
            FlashOptions g = o;
            g.T_guess = T + 15;
            g.P_guess = P * 1.5;
            const FlashResult ph = th::flash_ph(m, P, a.h, kSteamN2, g);
            expect_sane(m, ph, kSteamN2, kN2Only);
            EXPECT_NEAR(ph.T, T, 1e-6);
            EXPECT_NEAR(ph.vf, a.vf, 1e-8);
            if (a.nphases == 2) {
                // h(P) is flat for a gas; only the two-phase states pin P.
                const FlashResult th_ = th::flash_th(m, T, a.h, kSteamN2, g);
                expect_sane(m, th_, kSteamN2, kN2Only);
                EXPECT_NEAR(th_.P / P, 1.0, 1e-6);
                const FlashResult pv = th::flash_pv(m, P, a.vf, kSteamN2, o);
                expect_sane(m, pv, kSteamN2, kN2Only);
                EXPECT_NEAR(pv.T, T, 1e-6);
                const FlashResult tv = th::flash_tv(m, T, a.vf, kSteamN2, o);
                expect_sane(m, tv, kSteamN2, kN2Only);
                EXPECT_NEAR(tv.P / P, 1.0, 1e-7);
                EXPECT_EQ(tv.x[th::kLiquid][1], 0.0);
            }
        }
    }
}

TEST(VapourOnlyMask, AllFalseIsNoMask) {
    auto f = make({H2O, N2});
    auto g = make({NC6, H2O, N2});
    ASSERT_TRUE(f && g);
    const bool none2[2] = {false, false}, none3[3] = {false, false, false};
    const FlashOptions o2 = vapour_only(none2), o3 = vapour_only(none3);
    const th::Model& m = f->model;
    const th::Model& m3 = g->model;
    expect_identical(th::flash_tp(m, 330, kAtm, kSteamN2, o2), th::flash_tp(m, 330, kAtm, kSteamN2),
                     2);
    expect_identical(th::flash_tp(m, 280, 2e7, kSteamN2, o2), th::flash_tp(m, 280, 2e7, kSteamN2),
                     2);
    const double h = th::flash_tp(m, 340, kAtm, kSteamN2).h;
    expect_identical(th::flash_ph(m, kAtm, h, kSteamN2, o2), th::flash_ph(m, kAtm, h, kSteamN2), 2);
    expect_identical(th::flash_th(m, 340, h, kSteamN2, o2), th::flash_th(m, 340, h, kSteamN2), 2);
    expect_identical(th::flash_pv(m, kAtm, 0.5, kSteamN2, o2), th::flash_pv(m, kAtm, 0.5, kSteamN2),
                     2);
    expect_identical(th::flash_tv(m, 340, 1.0, kSteamN2, o2), th::flash_tv(m, 340, 1.0, kSteamN2),
                     2);
    expect_identical(th::flash3_tp(m3, 320, kAtm, kWetGas, o3),
                     th::flash3_tp(m3, 320, kAtm, kWetGas), 3);
    expect_identical(th::flash3_pv(m3, kAtm, 0.5, kWetGas, o3),
                     th::flash3_pv(m3, kAtm, 0.5, kWetGas), 3);
}

TEST(VapourOnlyThreePhase, HexaneWaterNitrogen) {
    auto f = make({NC6, H2O, N2});
    ASSERT_TRUE(f);
    const th::Model& m = f->model;
    const FlashOptions o = vapour_only(kN2Only3);
    const FlashResult r = th::flash3_tp(m, 320, kAtm, kWetGas, o);
    expect_sane(m, r, kWetGas, kN2Only3);
    ASSERT_EQ(r.nphases, 3);
    // Organic liquid first, aqueous second; nitrogen in neither.
    EXPECT_GT(r.x[th::kLiquid][0], 0.9);
    EXPECT_GT(r.x[th::kLiquid2][1], 0.99);
    expect_equal_fugacity(m, r, kN2Only3, 1e-8);
    // Both vapour pressures add up in the gas (immiscible liquids): Raoult
    // on the EOS's pure saturation pressures within the small corrections.
    double p6, pw;
    ASSERT_EQ(th::saturation_pressure(m, 0, 320, p6), Status::Ok);
    ASSERT_EQ(th::saturation_pressure(m, 1, 320, pw), Status::Ok);
    EXPECT_NEAR(r.x[th::kVapour][0] * kAtm / (p6 * r.x[th::kLiquid][0]), 1.0, 0.05);
    EXPECT_NEAR(r.x[th::kVapour][1] * kAtm / pw, 1.0, 0.05);
    // Without the mask nitrogen dissolves in the organic liquid.
    const FlashResult free = th::flash3_tp(m, 320, kAtm, kWetGas);
    ASSERT_EQ(free.status, Status::Ok);
    EXPECT_EQ(free.nphases, 3);
    EXPECT_GT(free.x[th::kLiquid][2], 0.0);
    // The two-phase flash on the same feed keeps N2 out as well.
    const FlashResult two = th::flash_tp(m, 320, kAtm, kWetGas, o);
    expect_sane(m, two, kWetGas, kN2Only3);
}

TEST(VapourOnlyThreePhase, AllFiveFlashesRoundTrip) {
    auto f = make({NC6, H2O, N2});
    ASSERT_TRUE(f);
    const th::Model& m = f->model;
    const FlashOptions o = vapour_only(kN2Only3);
    for (double T : {300.0, 320.0, 345.0, 400.0}) {
        SCOPED_TRACE(T);
        const FlashResult a = th::flash3_tp(m, T, kAtm, kWetGas, o);
        expect_sane(m, a, kWetGas, kN2Only3);
        FlashOptions g = o;
        g.T_guess = T + 10;
        g.P_guess = 1.3 * kAtm;
        const FlashResult ph = th::flash3_ph(m, kAtm, a.h, kWetGas, g);
        expect_sane(m, ph, kWetGas, kN2Only3);
        EXPECT_NEAR(ph.T, T, 1e-6);
        EXPECT_EQ(ph.nphases, a.nphases);
        if (a.nphases == 1) continue;
        const FlashResult th_ = th::flash3_th(m, T, a.h, kWetGas, g);
        expect_sane(m, th_, kWetGas, kN2Only3);
        EXPECT_NEAR(th_.P / kAtm, 1.0, 1e-6);
        const FlashResult pv = th::flash3_pv(m, kAtm, a.vf, kWetGas, o);
        expect_sane(m, pv, kWetGas, kN2Only3);
        EXPECT_NEAR(pv.T, T, 1e-6);
        const FlashResult tv = th::flash3_tv(m, T, a.vf, kWetGas, o);
        expect_sane(m, tv, kWetGas, kN2Only3);
        EXPECT_NEAR(tv.P / kAtm, 1.0, 1e-6);
    }
}

TEST(VapourOnlyDenseFeed, GasBubbleOutOfACompressedLiquid) {
    // Nearly pure n-hexane with a trace of N2 at 50 bar: the feed itself is
    // a liquid holding the gas in solution; with the mask a gas separates.
    auto f = make({NC6, N2});
    ASSERT_TRUE(f);
    const th::Model& m = f->model;
    const bool mask[2] = {false, true};
    for (double zn : {1e-4, 1e-2}) {
        SCOPED_TRACE(zn);
        const double z[2] = {1 - zn, zn};
        const FlashResult r = th::flash_tp(m, 300, 5e6, z, vapour_only(mask));
        expect_sane(m, r, z, mask);
        ASSERT_EQ(r.nphases, 2);
        EXPECT_FALSE(r.phase[th::kVapour].liquid_like);
        EXPECT_GT(r.x[th::kVapour][1], 0.95);
        EXPECT_LT(r.vf, 1.1 * zn);
        EXPECT_EQ(r.x[th::kLiquid][0], 1.0);
        expect_equal_fugacity(m, r, mask, 1e-8);
        // Without the mask the trace stays dissolved: one liquid.
        const FlashResult free = th::flash_tp(m, 300, 5e6, z);
        ASSERT_EQ(free.status, Status::Ok);
        EXPECT_EQ(free.nphases, 1);
        EXPECT_TRUE(free.present[th::kLiquid]);
    }
    // Beyond the pair's critical pressure no separate gas exists: one fluid,
    // reported as the vapour.
    const double z[2] = {0.7, 0.3};
    const FlashResult r = th::flash_tp(m, 300, 5e7, z, vapour_only(mask));
    expect_sane(m, r, z, mask);
    EXPECT_EQ(r.nphases, 1);
}

TEST(VapourOnlyDenseFeed, ThreePhaseGasOverTwoLiquids) {
    // Above the three-phase pressure of n-hexane/water at 447 K the two
    // liquids alone would take a trace of N2 in solution; the three-phase
    // flash keeps it in a small gas over both liquids.
    auto f = make({NC6, H2O, N2});
    ASSERT_TRUE(f);
    const th::Model& m = f->model;
    const double z[3] = {0.402, 0.598 - 1.44e-6, 1.44e-6};
    for (double P : {2.3e6, 2.9e6, 3.7e6}) {
        SCOPED_TRACE(P);
        const FlashResult r = th::flash3_tp(m, 447.1, P, z, vapour_only(kN2Only3));
        expect_sane(m, r, z, kN2Only3);
        ASSERT_EQ(r.nphases, 3);
        EXPECT_FALSE(r.phase[th::kVapour].liquid_like);
        EXPECT_LT(r.vf, 1e-3);
        expect_equal_fugacity(m, r, kN2Only3, 1e-8);
    }
}

TEST(VapourOnlySweep, SuccessOrStatusNeverNaN) {
    auto f = make({H2O, N2});
    auto g = make({NC6, H2O, N2});
    ASSERT_TRUE(f && g);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    int ok = 0, total = 0;
    for (int k = 0; k < 150; ++k) {
        const double T = 250 + 400 * u(rng), P = std::exp(std::log(1e4) + u(rng) * std::log(500.0));
        double z2[2], z3[3];
        z2[1] = std::pow(10.0, -6 * u(rng));
        z2[0] = 1 - z2[1];
        z3[2] = std::pow(10.0, -6 * u(rng));
        z3[0] = u(rng) * (1 - z3[2]);
        z3[1] = 1 - z3[0] - z3[2];
        const double vf = u(rng);
        const FlashResult rs[] = {
            th::flash_tp(f->model, T, P, z2, vapour_only(kN2Only)),
            th::flash_pv(f->model, P, vf, z2, vapour_only(kN2Only)),
            th::flash3_tp(g->model, T, P, z3, vapour_only(kN2Only3)),
            th::flash3_tv(g->model, T, vf, z3, vapour_only(kN2Only3)),
        };
        for (int j = 0; j < 4; ++j) {
            SCOPED_TRACE(testing::Message()
                         << k << " case " << j << " T " << T << " P " << P << " vf " << vf);
            ++total;
            if (rs[j].status != Status::Ok) {
                EXPECT_TRUE(rs[j].status == Status::NoSolution ||
                            rs[j].status == Status::NotConverged ||
                            rs[j].status == Status::NumericalFailure);
                continue;
            }
            ++ok;
            if (j < 2)
                expect_sane(f->model, rs[j], z2, kN2Only);
            else
                expect_sane(g->model, rs[j], z3, kN2Only3);
        }
    }
    // Most random states exist; vf below the gas share does not.
    EXPECT_GT(ok, total / 2);
}

} // namespace
