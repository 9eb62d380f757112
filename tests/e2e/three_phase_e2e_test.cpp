// Water with hydrocarbons at 1 atm, with a second liquid allowed: two
// liquids below the three-phase temperature, three phases at it, mutual
// solubilities near the published ones; and the robustness sweep again.
#include "stream.h"

#include <cmath>

namespace xif::e2e {
namespace {

constexpr double kAtm = 101325.0;

class WaterHydrocarbon : public ::testing::Test {
  protected:
    static Stream open(const char* hydrocarbon) {
        Stream s({"WATER", hydrocarbon}, {0.5, 0.5}, 360.0, kAtm);
        XIF_HXIPP.word[6] = 3; // a second liquid allowed
        return s;
    }
    static std::vector<double> composition(Stream& s, int64_t phase) {
        std::vector<double> x(2, 0.0);
        int64_t side = 0, basis = 0, ierr = 0, n = 2;
        XIF_HXBCMP(s.svec.data(), nullptr, &side, &phase, &basis, x.data(), &n, &ierr);
        return x;
    }
};

TEST_F(WaterHydrocarbon, TwoLiquidsBelowTheThreePhaseTemperature) {
    Stream s = open("NC6");
    ASSERT_EQ(s.flash(2, 320.0, kAtm), 1);
    EXPECT_EQ(s.get(XIF_HXBFRC, 2), 0.0); // no vapour
    const std::vector<double> organic = composition(s, 4), aqueous = composition(s, 5);
    // Published: water in n-hexane about 5e-4, n-hexane in water about 2e-6
    // (mole fractions near room temperature).
    EXPECT_GT(organic[1], 0.99);
    EXPECT_LT(organic[0], 5e-3);
    EXPECT_GT(aqueous[0], 0.999);
    EXPECT_LT(aqueous[1], 1e-4);
    EXPECT_NEAR(s.get(XIF_HXBFRC, 4), 0.5, 0.01);
    // The organic liquid is the lighter one.
    EXPECT_LT(s.get(XIF_HXBDNS, 4, 1), s.get(XIF_HXBDNS, 5, 1));
}

TEST_F(WaterHydrocarbon, ThreePhasesAtTheHeteroazeotropicTemperature) {
    // Published three-phase (heteroazeotropic) boiling points at 1 atm:
    // water/n-hexane 334.8 K, water/toluene 357.3 K.
    struct Case {
        const char* id;
        double T;
    } cases[] = {{"NC6", 334.8}, {"TOLUENE", 357.3}};
    for (const Case& c : cases) {
        Stream s = open(c.id);
        ASSERT_EQ(s.flash(3, kAtm, 0.1), 1) << c.id;
        EXPECT_NEAR(s.T(), c.T, 3.0) << c.id;
        EXPECT_GT(s.get(XIF_HXBFRC, 2), 0.0) << c.id;
        EXPECT_GT(s.get(XIF_HXBFRC, 4), 0.0) << c.id;
        EXPECT_GT(s.get(XIF_HXBFRC, 5), 0.0) << c.id;
        // Above it the hydrocarbon liquid is gone.
        ASSERT_EQ(s.flash(2, c.T + 5.0, kAtm), 1) << c.id;
        EXPECT_GT(s.get(XIF_HXBFRC, 2), 0.1) << c.id;
        EXPECT_FALSE(s.get(XIF_HXBFRC, 4) > 0.0 && s.get(XIF_HXBFRC, 5) > 0.0) << c.id;
    }
}

TEST_F(WaterHydrocarbon, RoundTripsThroughTheThreePhaseRegion) {
    Stream s = open("NC6");
    for (double T : {310.0, 340.0, 370.0}) {
        ASSERT_EQ(s.flash(2, T, kAtm), 1) << T;
        const double H = s.H();
        ASSERT_EQ(s.flash(1, kAtm, H), 1) << T;
        EXPECT_NEAR(s.T(), T, 1e-3) << T;
    }
}

TEST(ThreePhaseRobustness, SweepWithWater) {
    const std::vector<std::vector<std::string>> mixtures = {
        {"WATER", "NC6", "NC7"}, {"WATER", "CH4", "C3H8", "NC6"}, {"WATER", "TOLUENE", "N2"}};
    int successes = 0;
    for (const auto& ids : mixtures) {
        std::vector<double> flows(ids.size(), 1.0 / static_cast<double>(ids.size()));
        Stream s(ids, flows, 400.0, kAtm);
        XIF_HXIPP.word[6] = 3;
        auto run = [&](int64_t type, double a, double b) {
            if (s.flash(type, a, b) != 1) return false;
            ++successes;
            EXPECT_TRUE(std::isfinite(s.T()) && std::isfinite(s.P()) && std::isfinite(s.H()))
                << ids[1] << " " << type << " " << a << " " << b;
            EXPECT_GE(s.vf(), 0.0);
            EXPECT_LE(s.vf(), 1.0);
            return true;
        };
        for (double T = 280.0; T <= 600.0; T += 40.0) {
            for (double P : {0.5e5, 1e5, 10e5, 50e5}) {
                if (run(2, T, P)) {
                    const double H = s.H();
                    run(1, P, H);
                    run(4, T, H);
                }
                run(3, P, (T - 280.0) / 320.0);
                run(5, T, (T - 280.0) / 320.0);
            }
        }
    }
    EXPECT_GT(successes, 200);
}

} // namespace
} // namespace xif::e2e

namespace xif::e2e {
namespace {

// Steam with nitrogen kept out of the liquid: the condensate is pure water
// and the vapour subset is the nitrogen.
TEST(Noncondensables, SteamNitrogenSubsetIsTheNitrogen) {
    Stream s({"WATER", "N2"}, {0.7, 0.3}, 400.0, 101325.0);
    const char n2[] = "N2";
    int64_t one = 1, width = 2, ierr = 0;
    XIFHOST_NONCONDENSABLES(&one, n2, &width, &ierr);
    ASSERT_EQ(ierr, 0);
    XIF_HXIPP.word[8] = 1; // keep the non-condensables out of the liquids
    for (double T : {360.0, 330.0, 300.0}) {
        ASSERT_EQ(s.flash(2, T, 101325.0), 1) << T;
        std::vector<double> x(2), sub(2);
        int64_t side = 0, basis = 0, n = 2, liquid = 4, subset = 6;
        XIF_HXBCMP(s.svec.data(), nullptr, &side, &liquid, &basis, x.data(), &n, &ierr);
        EXPECT_EQ(x[1], 0.0) << T; // no nitrogen in the condensate
        EXPECT_EQ(x[0], 1.0) << T;
        XIF_HXBCMP(s.svec.data(), nullptr, &side, &subset, &basis, sub.data(), &n, &ierr);
        EXPECT_EQ(sub[1], 1.0) << T;
        EXPECT_NEAR(s.get(XIF_HXBFRC, 6), 0.3, 1e-12) << T;
        EXPECT_NEAR(s.get(XIF_HXBMWT, 6), 28.0134, 1e-3) << T;
    }
}

} // namespace
} // namespace xif::e2e
