// Three-phase flash checks: three-phase Rachford-Rice, equilibrium among
// vapour and two liquids, the organic/aqueous labels, the n-pentane/water
// heteroazeotrope against immiscible-liquid vapour pressures, round trips,
// and a sweep.
#include "flash3.hpp"
#include "thermo_test_data.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <random>

namespace {

using namespace thermo_test;
using th::FlashResult;
using th::Status;

const double kWet[3] = {0.3, 0.3, 0.4}; // methane, n-pentane, water

void expect_sane3(const th::Model& m, const FlashResult& r, const double* z) {
    ASSERT_EQ(r.status, Status::Ok);
    EXPECT_TRUE(std::isfinite(r.T) && std::isfinite(r.P) && std::isfinite(r.h));
    EXPECT_GE(r.vf, 0.0);
    EXPECT_LE(r.vf, 1.0);
    double fsum = 0;
    int np = 0;
    for (int k = 0; k < th::kSlots; ++k) {
        if (!r.present[k]) continue;
        ++np;
        fsum += r.frac[k];
        EXPECT_GE(r.frac[k], 0.0);
        EXPECT_TRUE(std::isfinite(r.phase[k].h) && std::isfinite(r.phase[k].v));
    }
    EXPECT_EQ(np, r.nphases);
    EXPECT_NEAR(fsum, 1.0, 1e-9);
    for (int i = 0; i < m.size(); ++i) {
        double sum = 0;
        for (int k = 0; k < th::kSlots; ++k)
            if (r.present[k]) sum += r.frac[k] * r.x[k][i];
        EXPECT_NEAR(sum, z[i], 1e-8);
        EXPECT_TRUE(std::isfinite(r.K[i]));
    }
    if (r.present[th::kLiquid] && r.present[th::kLiquid2] && m.water() >= 0) {
        EXPECT_LT(r.x[th::kLiquid][m.water()], r.x[th::kLiquid2][m.water()]);
    }
}

// ln x + ln phi equal in every present phase.
void expect_equal_fugacity(const th::Model& m, const FlashResult& r, double tol) {
    double lf[th::kSlots][th::kMaxComponents];
    for (int k = 0; k < th::kSlots; ++k) {
        if (!r.present[k]) continue;
        const th::Root root = k == th::kVapour ? th::Root::Vapour : th::Root::Liquid;
        ASSERT_EQ(m.lnphi(r.T, r.P, r.x[k].data(), root, lf[k]), Status::Ok);
        for (int i = 0; i < m.size(); ++i)
            lf[k][i] += std::log(r.x[k][i]);
    }
    for (int k = 1; k < th::kSlots; ++k) {
        if (!r.present[k] || !r.present[0]) continue;
        for (int i = 0; i < m.size(); ++i)
            EXPECT_NEAR(lf[k][i], lf[0][i], tol) << k << " " << i;
    }
}

TEST(RachfordRice3, RecoversConstructedPhaseAmounts) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0.01, 1.0);
    for (int trial = 0; trial < 200; ++trial) {
        const int n = 4;
        double x[n], w1[n], w2[n], z[n], K1[n], K2[n], sx = 0, s1 = 0, s2 = 0;
        for (int i = 0; i < n; ++i) {
            x[i] = u(rng);
            w1[i] = u(rng);
            w2[i] = u(rng);
            sx += x[i];
            s1 += w1[i];
            s2 += w2[i];
        }
        const double b1 = 0.6 * u(rng), b2 = 0.35 * u(rng);
        for (int i = 0; i < n; ++i) {
            x[i] /= sx;
            w1[i] /= s1;
            w2[i] /= s2;
            z[i] = (1 - b1 - b2) * x[i] + b1 * w1[i] + b2 * w2[i];
            K1[i] = w1[i] / x[i];
            K2[i] = w2[i] / x[i];
        }
        double b[2] = {NAN, NAN};
        ASSERT_TRUE(th::rachford_rice3(n, z, K1, K2, b));
        EXPECT_NEAR(b[0], b1, 1e-9);
        EXPECT_NEAR(b[1], b2, 1e-9);
    }
}

TEST(Flash3TP, MethanePentaneWaterSplitsThreeWays) {
    auto f = make({CH4, NC5, H2O});
    const FlashResult r = th::flash3_tp(f->model, 300, 10e5, kWet);
    expect_sane3(f->model, r, kWet);
    ASSERT_EQ(r.nphases, 3);
    expect_equal_fugacity(f->model, r, 1e-8);
    EXPECT_GT(r.x[th::kVapour][0], 0.8);   // methane-rich gas
    EXPECT_GT(r.x[th::kLiquid][1], 0.9);   // pentane-rich organic liquid
    EXPECT_GT(r.x[th::kLiquid2][2], 0.99); // nearly pure water
    EXPECT_GT(r.phase[th::kVapour].v, r.phase[th::kLiquid].v);
    // The three-phase answer lies below the vapour-liquid one in Gibbs energy.
    const FlashResult vl = th::flash_tp(f->model, 300, 10e5, kWet);
    ASSERT_EQ(vl.status, Status::Ok);
    EXPECT_LT(r.h - r.T * r.s, vl.h - vl.T * vl.s - 1.0);
}

TEST(Flash3TP, TwoLiquidsBelowTheHeteroazeotropeAndAGasAbove) {
    auto f = make({NC5, H2O});
    const double z[2] = {0.5, 0.5};
    const FlashResult ll = th::flash3_tp(f->model, 300, th::kPref, z);
    expect_sane3(f->model, ll, z);
    ASSERT_EQ(ll.nphases, 2);
    EXPECT_FALSE(ll.present[th::kVapour]);
    EXPECT_EQ(ll.vf, 0.0);
    expect_equal_fugacity(f->model, ll, 1e-8);
    const FlashResult vl = th::flash3_tp(f->model, 320, th::kPref, z);
    expect_sane3(f->model, vl, z);
    EXPECT_TRUE(vl.present[th::kVapour]);
    EXPECT_GT(vl.vf, 0.4);
}

TEST(Flash3TP, FeedWithoutASecondLiquidMatchesTheTwoPhaseFlash) {
    auto f = make({CH4, C2H6, C3H8, NC4, NC5, N2, CO2});
    const double z[7] = {0.30, 0.10, 0.15, 0.15, 0.28, 0.01, 0.01};
    for (double T : {250.0, 350.0, 500.0}) {
        const FlashResult a = th::flash3_tp(f->model, T, 30e5, z);
        const FlashResult b = th::flash_tp(f->model, T, 30e5, z);
        expect_sane3(f->model, a, z);
        EXPECT_EQ(a.nphases, b.nphases);
        EXPECT_NEAR(a.vf, b.vf, 1e-12);
        EXPECT_NEAR(a.h, b.h, 1e-6);
    }
}

// Immiscible liquids boil where the vapour pressures add up to P.
TEST(Flash3PV, PentaneWaterHeteroazeotropeAtOneAtmosphere) {
    auto f = make({NC5, H2O});
    double lo = 280, hi = 320;
    for (int i = 0; i < 100; ++i) {
        const double T = 0.5 * (lo + hi);
        if (perry_psat(NC5, T) + perry_psat(H2O, T) > th::kPref)
            hi = T;
        else
            lo = T;
    }
    const double Tref = 0.5 * (lo + hi);
    const double yw = perry_psat(H2O, Tref) / th::kPref;
    for (double zw : {0.2, 0.5, 0.8}) {
        const double z[2] = {1 - zw, zw};
        const FlashResult b = th::flash3_pv(f->model, th::kPref, 0.0, z);
        expect_sane3(f->model, b, z);
        EXPECT_NEAR(b.T, Tref, 1.0) << zw;
        EXPECT_NEAR(b.vf, 0.0, 1e-12);
        ASSERT_TRUE(b.present[th::kVapour]);
        EXPECT_NEAR(b.x[th::kVapour][1], yw, 0.01);
        // A two-component feed holds three phases at this one temperature,
        // for any vapour fraction up to the one where a liquid runs out.
        const FlashResult mid = th::flash3_pv(f->model, th::kPref, 0.1, z);
        expect_sane3(f->model, mid, z);
        EXPECT_EQ(mid.nphases, 3);
        EXPECT_NEAR(mid.T, b.T, 1e-6);
        EXPECT_NEAR(mid.vf, 0.1, 1e-9);
    }
}

TEST(Flash3PH, EnthalpyInsideTheThreePhaseJumpOfABinary) {
    auto f = make({NC5, H2O});
    const double z[2] = {0.5, 0.5};
    const FlashResult b = th::flash3_pv(f->model, th::kPref, 0.0, z);
    const FlashResult mid = th::flash3_pv(f->model, th::kPref, 0.2, z);
    ASSERT_EQ(mid.status, Status::Ok);
    const FlashResult r = th::flash3_ph(f->model, th::kPref, mid.h, z);
    expect_sane3(f->model, r, z);
    EXPECT_NEAR(r.T, b.T, 1e-6);
    EXPECT_NEAR(r.vf, 0.2, 1e-6);
    EXPECT_NEAR(r.h, mid.h, 1e-6 * std::fabs(mid.h));
}

class RoundTrip3 : public ::testing::TestWithParam<std::pair<double, double>> {};

TEST_P(RoundTrip3, EnthalpyAndFractionFlashesReturnTheTPState) {
    auto f = make({CH4, NC5, H2O});
    const auto [T, P] = GetParam();
    const FlashResult ref = th::flash3_tp(f->model, T, P, kWet);
    expect_sane3(f->model, ref, kWet);
    const FlashResult ph = th::flash3_ph(f->model, P, ref.h, kWet);
    expect_sane3(f->model, ph, kWet);
    EXPECT_NEAR(ph.T, T, 1e-6 * T);
    EXPECT_EQ(ph.nphases, ref.nphases);
    th::FlashOptions o;
    o.P_guess = 0.8 * P;
    const FlashResult tht = th::flash3_th(f->model, T, ref.h, kWet, o);
    expect_sane3(f->model, tht, kWet);
    EXPECT_NEAR(tht.P, P, 1e-6 * P);
    if (ref.vf > 0 && ref.vf < 1) {
        const FlashResult pv = th::flash3_pv(f->model, P, ref.vf, kWet);
        expect_sane3(f->model, pv, kWet);
        EXPECT_NEAR(pv.T, T, 1e-6 * T);
        const FlashResult tv = th::flash3_tv(f->model, T, ref.vf, kWet);
        expect_sane3(f->model, tv, kWet);
        EXPECT_NEAR(tv.P, P, 1e-6 * P);
    }
}

INSTANTIATE_TEST_SUITE_P(States, RoundTrip3,
                         ::testing::Values(std::make_pair(300.0, 10e5), std::make_pair(350.0, 20e5),
                                           std::make_pair(280.0, 50e5),
                                           std::make_pair(420.0, 10e5)));

// Every result is a success or a failure code in bounded time; successes
// are sane, enthalpy-given ones return the enthalpy asked for, and
// fraction-given ones are confirmed by a T-P flash at the state returned
// (the fraction may have two solutions along the free variable).
TEST(Flash3Sweep, WetMixturesOverTheWorkingRange) {
    auto f = make({CH4, C3H8, NC5, CO2, H2O});
    const double gas[5] = {0.5, 0.1, 0.1, 0.05, 0.25};
    const double wet_oil[5] = {0.05, 0.05, 0.3, 0.0, 0.6};
    int ok = 0, failed = 0, three = 0;
    const std::clock_t t0 = std::clock(); // processor time: robust to a busy machine
    auto count = [&](const FlashResult& r, const double* z) {
        if (r.status != Status::Ok) {
            ++failed;
            return false;
        }
        ++ok;
        expect_sane3(f->model, r, z);
        return true;
    };
    for (const double* z : {gas, wet_oil})
        for (double T : {250.0, 300.0, 350.0, 400.0, 450.0, 550.0})
            for (double P : {0.5e5, 5e5, 20e5, 50e5, 100e5}) {
                const FlashResult r = th::flash3_tp(f->model, T, P, z);
                if (!count(r, z)) continue;
                three += r.nphases == 3;
                const FlashResult ph = th::flash3_ph(f->model, P, r.h, z);
                if (count(ph, z)) {
                    EXPECT_NEAR(ph.T, T, 1e-6 * T);
                }
                th::FlashOptions o;
                o.P_guess = 1.3 * P;
                const FlashResult tht = th::flash3_th(f->model, T, r.h, z, o);
                if (count(tht, z)) {
                    EXPECT_NEAR(tht.h, r.h, 1e-6 * (std::fabs(r.h) + th::kR * T));
                }
                if (!(r.vf > 0 && r.vf < 1)) continue;
                for (bool fixed_t : {false, true}) {
                    const FlashResult v = fixed_t ? th::flash3_tv(f->model, T, r.vf, z)
                                                  : th::flash3_pv(f->model, P, r.vf, z);
                    if (!count(v, z)) continue;
                    EXPECT_NEAR(v.vf, r.vf, 1e-6);
                    const FlashResult back = th::flash3_tp(f->model, v.T, v.P, z);
                    EXPECT_NEAR(back.vf, r.vf, 1e-6) << v.T << " K " << v.P << " Pa";
                }
            }
    const double secs = double(std::clock() - t0) / CLOCKS_PER_SEC;
    EXPECT_LT(secs, 20.0);
    EXPECT_GT(three, 5);
    EXPECT_GT(ok, 9 * failed);
    RecordProperty("ok", ok);
    RecordProperty("failed", failed);
    RecordProperty("three_phase", three);
}

} // namespace
