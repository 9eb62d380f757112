// Water with hydrocarbons (k_ij 0.5, nearly immiscible liquids) in the
// three-phase flash: the heteroazeotrope where the pure components' own
// saturation pressures add up to P, and every split stable by a direct scan.
#include "pure.hpp"
#include "thermo_test_data.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace thermo_test;
using th::FlashResult;
using th::Status;

TEST(Flash3Water, HeteroazeotropeWhereThePureSaturationPressuresSumToP) {
    const double z[2] = {0.5, 0.5};
    for (Comp hc : {NC5, BENZENE, TOLUENE, EBENZENE, NC7, NC8}) {
        SCOPED_TRACE(hc);
        auto f = make({H2O, hc});
        auto excess = [&](double T) {
            double p0 = NAN, p1 = NAN;
            EXPECT_EQ(th::saturation_pressure(f->model, 0, T, p0), Status::Ok);
            EXPECT_EQ(th::saturation_pressure(f->model, 1, T, p1), Status::Ok);
            return p0 + p1 - th::kPref;
        };
        ASSERT_TRUE(excess(250) < 0 && excess(450) > 0);
        const double Tb = bisect(excess, 250, 450);
        const FlashResult r = sane(f->model, th::flash3_pv(f->model, th::kPref, 0.01, z), z);
        EXPECT_NEAR(r.T, Tb, 0.5);
        EXPECT_EQ(r.nphases, 3);
        EXPECT_NEAR(r.vf, 0.01, 1e-9);
        // The vapour holds water at the pure component's share of P.
        double pw = 0;
        ASSERT_EQ(th::saturation_pressure(f->model, 0, r.T, pw), Status::Ok);
        EXPECT_NEAR(r.x[th::kVapour][0], pw / th::kPref, 0.01);
        // Below it two liquids, no metastable gas-liquid split: the organic
        // liquid holds little water, the aqueous one little hydrocarbon.
        for (double dT : {3.0, 8.0, 13.0, 18.0}) {
            const FlashResult below =
                sane(f->model, th::flash3_tp(f->model, Tb - dT, th::kPref, z), z);
            EXPECT_FALSE(below.present[th::kVapour]) << dT;
            EXPECT_EQ(below.nphases, 2);
            EXPECT_LT(below.x[th::kLiquid][0], 0.01);
            EXPECT_GT(below.x[th::kLiquid2][0], 0.99);
            expect_equal_fugacity(f->model, below, 1e-8);
        }
        const FlashResult above =
            sane(f->model, th::flash3_tp(f->model, Tb + 1.0, th::kPref, z), z);
        EXPECT_TRUE(above.present[th::kVapour]);
        EXPECT_EQ(above.nphases, 2);
        EXPECT_GT(above.vf, 0.5);
    }
}

// Smallest tangent-plane distance (over RT) of a binary trial phase against
// phase x on root rx, over trial compositions 1e-17 to 1 - 1e-17 on a
// logistic grid, each on its lower-Gibbs root; a stable phase has none below 0.
double min_tangent_plane_distance(const th::Model& m, double T, double P, const double* x,
                                  th::Root rx) {
    double lp[th::kMaxComponents];
    EXPECT_EQ(m.lnphi(T, P, x, rx, lp), Status::Ok);
    const double d[2] = {std::log(x[0]) + lp[0], std::log(x[1]) + lp[1]};
    double lo = 0;
    for (int k = 0; k <= 1200; ++k) {
        const double w1 = 1.0 / (1.0 + std::exp(40.0 - 80.0 * k / 1200));
        const double w[2] = {1.0 - w1, w1};
        if (m.lnphi(T, P, w, th::Root::MinGibbs, lp) != Status::Ok) continue;
        lo = std::min(lo, w[0] * (std::log(w[0]) + lp[0] - d[0]) +
                              w[1] * (std::log(w[1]) + lp[1] - d[1]));
    }
    return lo;
}

TEST(Flash3Water, EverySuccessfulSplitIsStable) {
    int checked = 0, multiphase = 0;
    for (Comp hc : {NC5, NC6, NC7, NC8, BENZENE, TOLUENE, EBENZENE}) {
        auto f = make({H2O, hc});
        for (double zw : {0.1, 0.5, 0.9})
            for (double T = 300.0; T <= 420.0; T += 4.0) {
                SCOPED_TRACE(testing::Message() << hc << " zw " << zw << " T " << T);
                const double z[2] = {zw, 1.0 - zw};
                const FlashResult r = sane(f->model, th::flash3_tp(f->model, T, th::kPref, z), z);
                ++checked;
                multiphase += r.nphases > 1;
                for (int k = 0; k < th::kSlots; ++k) {
                    if (!r.present[k]) continue;
                    const th::Root rk = r.nphases == 1     ? th::Root::MinGibbs
                                        : k == th::kVapour ? th::Root::Vapour
                                                           : th::Root::Liquid;
                    EXPECT_GT(min_tangent_plane_distance(f->model, T, th::kPref, r.x[k].data(), rk),
                              -1e-9)
                        << "slot " << k;
                }
                if (r.nphases > 1) expect_equal_fugacity(f->model, r, 1e-7);
            }
    }
    EXPECT_EQ(checked, 7 * 3 * 31);
    EXPECT_GT(multiphase, checked / 2);
}

} // namespace
