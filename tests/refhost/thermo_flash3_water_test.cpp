// Water with hydrocarbons (k_ij 0.5, nearly immiscible liquids) in the
// three-phase flash: the heteroazeotrope where the two pure components' own
// saturation pressures add up to the pressure, two liquids below it, and
// every returned split stable against a direct scan of the tangent-plane
// distance.
#include "flash3.hpp"
#include "pure.hpp"
#include "thermo_test_data.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace thermo_test;
using th::FlashResult;
using th::Status;

const Comp kHydrocarbons[] = {NC5, NC6, NC7, NC8, BENZENE, TOLUENE, EBENZENE};

// Temperature where the two pure components' saturation pressures on the
// model sum to P (immiscible liquids boil there); NaN if not bracketed.
double immiscible_boiling(const th::Model& m, double P) {
    auto excess = [&](double T, double& f) {
        double p0 = 0, p1 = 0;
        if (th::saturation_pressure(m, 0, T, p0) != Status::Ok ||
            th::saturation_pressure(m, 1, T, p1) != Status::Ok)
            return false;
        f = p0 + p1 - P;
        return true;
    };
    double lo = 250, hi = 450, flo = 0, fhi = 0;
    if (!excess(lo, flo) || !excess(hi, fhi) || !(flo < 0 && fhi > 0))
        return std::numeric_limits<double>::quiet_NaN();
    for (int i = 0; i < 80; ++i) {
        const double mid = 0.5 * (lo + hi);
        double f = 0;
        if (!excess(mid, f)) return std::numeric_limits<double>::quiet_NaN();
        (f > 0 ? hi : lo) = mid;
    }
    return 0.5 * (lo + hi);
}

// Smallest tangent-plane distance (over RT, per mole) of a binary trial
// phase against phase x on root rx, scanned over trial compositions from
// 1e-17 to 1 - 1e-17 on a logistic grid, each on its lower-Gibbs root. A
// stable phase has none below zero.
double min_tangent_plane_distance(const th::Model& m, double T, double P, const double* x,
                                  th::Root rx) {
    double lp[th::kMaxComponents];
    EXPECT_EQ(m.lnphi(T, P, x, rx, lp), Status::Ok);
    const double d[2] = {std::log(x[0]) + lp[0], std::log(x[1]) + lp[1]};
    double lo = 0;
    const int kPoints = 1200;
    for (int k = 0; k <= kPoints; ++k) {
        const double u = -40.0 + 80.0 * k / kPoints;
        const double w1 = 1.0 / (1.0 + std::exp(-u));
        const double w[2] = {1.0 - w1, w1};
        if (m.lnphi(T, P, w, th::Root::MinGibbs, lp) != Status::Ok) continue;
        double tpd = 0;
        for (int i = 0; i < 2; ++i)
            tpd += w[i] * (std::log(w[i]) + lp[i] - d[i]);
        lo = std::min(lo, tpd);
    }
    return lo;
}

th::Root root_of_slot(int k) {
    return k == th::kVapour ? th::Root::Vapour : th::Root::Liquid;
}

// ln x + ln phi equal in every present phase, to tol.
void expect_equilibrium(const th::Model& m, const FlashResult& r, double tol) {
    double ref[2] = {0, 0};
    bool have = false;
    for (int k = 0; k < th::kSlots; ++k) {
        if (!r.present[k]) continue;
        double lp[th::kMaxComponents];
        ASSERT_EQ(m.lnphi(r.T, r.P, r.x[k].data(), root_of_slot(k), lp), Status::Ok);
        for (int i = 0; i < 2; ++i) {
            const double f = std::log(r.x[k][i]) + lp[i];
            if (have) {
                EXPECT_NEAR(f, ref[i], tol) << "slot " << k << " component " << i;
            }
            ref[i] = f;
        }
        have = true;
    }
}

TEST(Flash3Water, HeteroazeotropeWhereThePureSaturationPressuresSumToP) {
    const double z[2] = {0.5, 0.5};
    for (Comp hc : {BENZENE, TOLUENE, EBENZENE, NC7, NC8}) {
        SCOPED_TRACE(hc);
        auto f = make({H2O, hc});
        const double Tb = immiscible_boiling(f->model, th::kPref);
        ASSERT_TRUE(std::isfinite(Tb));
        const FlashResult r = th::flash3_pv(f->model, th::kPref, 0.01, z);
        ASSERT_EQ(r.status, Status::Ok);
        EXPECT_NEAR(r.T, Tb, 0.5);
        EXPECT_EQ(r.nphases, 3);
        EXPECT_NEAR(r.vf, 0.01, 1e-9);
        // The vapour holds water at the pure component's share of P.
        double pw = 0;
        ASSERT_EQ(th::saturation_pressure(f->model, 0, r.T, pw), Status::Ok);
        EXPECT_NEAR(r.x[th::kVapour][0], pw / th::kPref, 0.01);

        const FlashResult below = th::flash3_tp(f->model, Tb - 3.0, th::kPref, z);
        ASSERT_EQ(below.status, Status::Ok);
        EXPECT_FALSE(below.present[th::kVapour]);
        EXPECT_TRUE(below.present[th::kLiquid] && below.present[th::kLiquid2]);
        EXPECT_NEAR(below.vf, 0.0, 0.0);
        // The organic liquid holds little water, the aqueous one little
        // hydrocarbon.
        EXPECT_LT(below.x[th::kLiquid][0], 0.01);
        EXPECT_GT(below.x[th::kLiquid2][0], 0.99);
        expect_equilibrium(f->model, below, 1e-8);

        const FlashResult above = th::flash3_tp(f->model, Tb + 1.0, th::kPref, z);
        ASSERT_EQ(above.status, Status::Ok);
        EXPECT_TRUE(above.present[th::kVapour]);
        EXPECT_EQ(above.nphases, 2);
        EXPECT_GT(above.vf, 0.5);
    }
}

// The gas over the water of the metastable gas-liquid split at 350 K
// holds toluene above its own saturation pressure: the answer is two liquids.
TEST(Flash3Water, TolueneGasLiquidSplitBelowTheHeteroazeotropeIsNotReturned) {
    auto f = make({H2O, TOLUENE});
    const double z[2] = {0.5, 0.5};
    for (double T : {340.0, 345.0, 350.0, 355.0}) {
        const FlashResult r = th::flash3_tp(f->model, T, th::kPref, z);
        ASSERT_EQ(r.status, Status::Ok) << T;
        EXPECT_FALSE(r.present[th::kVapour]) << T;
        EXPECT_EQ(r.nphases, 2) << T;
    }
}

TEST(Flash3Water, EverySuccessfulSplitIsStable) {
    int checked = 0, multiphase = 0;
    for (Comp hc : kHydrocarbons) {
        auto f = make({H2O, hc});
        for (double zw : {0.1, 0.5, 0.9}) {
            const double z[2] = {zw, 1.0 - zw};
            for (double T = 300.0; T <= 420.0; T += 4.0) {
                const FlashResult r = th::flash3_tp(f->model, T, th::kPref, z);
                ASSERT_EQ(r.status, Status::Ok) << hc << " " << zw << " " << T;
                ++checked;
                multiphase += r.nphases > 1;
                for (int k = 0; k < th::kSlots; ++k) {
                    if (!r.present[k]) continue;
                    const th::Root rk = r.nphases == 1 ? th::Root::MinGibbs : root_of_slot(k);
                    EXPECT_GT(min_tangent_plane_distance(f->model, T, th::kPref, r.x[k].data(), rk),
                              -1e-9)
                        << hc << " zw " << zw << " T " << T << " slot " << k;
                }
                if (r.nphases > 1) expect_equilibrium(f->model, r, 1e-7);
            }
        }
    }
    EXPECT_EQ(checked, 7 * 3 * 31);
    EXPECT_GT(multiphase, checked / 2);
}

} // namespace
