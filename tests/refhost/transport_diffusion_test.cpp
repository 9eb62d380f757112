// Diffusion volumes, binary and effective diffusivities.
#include "transport.hpp"
#include "transport_test_data.hpp"

#include <gtest/gtest.h>

namespace tr = xif::refhost::transport;
using namespace transport_test;

namespace {
constexpr double kP = 101325.0;
}

TEST(TransportDiffusion, FullerVolumesFromFormula) {
    double v = 0.0;
    ASSERT_EQ(tr::fuller_volume("CO2", 0, v), Status::ok);
    EXPECT_DOUBLE_EQ(v, 26.9); // its own value, not C + 2 O = 28.12
    ASSERT_EQ(tr::fuller_volume("H3N", 0, v), Status::ok);
    EXPECT_DOUBLE_EQ(v, 20.7);
    ASSERT_EQ(tr::fuller_volume("CH4", 0, v), Status::ok);
    EXPECT_NEAR(v, 15.9 + 4 * 2.31, 1e-12);
    ASSERT_EQ(tr::fuller_volume("C6H6", 1, v), Status::ok); // benzene: one ring
    EXPECT_NEAR(v, 6 * 15.9 + 6 * 2.31 - 18.3, 1e-12);
    ASSERT_EQ(tr::fuller_volume("C2H6O", 0, v), Status::ok);
    EXPECT_NEAR(v, 2 * 15.9 + 6 * 2.31 + 6.11, 1e-12);
    ASSERT_EQ(tr::fuller_volume("C2H4Cl2", 0, v), Status::ok);
    EXPECT_NEAR(v, 2 * 15.9 + 4 * 2.31 + 2 * 21.0, 1e-12);
    ASSERT_EQ(tr::fuller_volume("H2S", 0, v), Status::ok);
    EXPECT_NEAR(v, 2 * 2.31 + 22.9, 1e-12);
    for (const char* bad : {"", "c6h6", "C6H6+", "Xe", "2H"}) {
        EXPECT_EQ(tr::fuller_volume(bad, 0, v), Status::bad_input) << bad;
        EXPECT_EQ(v, 0.0);
    }
    EXPECT_EQ(tr::fuller_volume("C6H6", -1, v), Status::bad_input);
}

// Binary gas diffusivities at 298 K and 1 atm against the measured values
// collected by Marrero and Mason (1972), as tabulated by Poling et al.
// (2001), Table 11-2: CO2-N2 0.167 cm2/s, H2-N2 0.784 cm2/s. Fuller's method
// is rated at about 5 %, Chapman-Enskog at 5-10 %.
TEST(TransportDiffusion, BinaryGasDiffusivityMatchesMeasurements) {
    double d = 0.0;
    ASSERT_EQ(tr::fuller_binary_diffusivity(298.0, kP, kCO2.mw, kN2.mw, 26.9, 18.5, d), Status::ok);
    EXPECT_LT(rel(d, 0.167e-4), 0.05) << d;
    ASSERT_EQ(tr::fuller_binary_diffusivity(298.0, kP, kH2.mw, kN2.mw, 6.12, 18.5, d), Status::ok);
    EXPECT_LT(rel(d, 0.784e-4), 0.05) << d;
    // Lennard-Jones parameters of Poling et al., Appendix B.
    ASSERT_EQ(tr::chapman_enskog_binary_diffusivity(298.0, kP, kCO2.mw, kN2.mw, 3.941e-10,
                                                    3.798e-10, 195.2, 71.4, d),
              Status::ok);
    EXPECT_LT(rel(d, 0.167e-4), 0.08) << d;
    ASSERT_EQ(tr::chapman_enskog_binary_diffusivity(298.0, kP, kH2.mw, kN2.mw, 2.827e-10, 3.798e-10,
                                                    59.7, 71.4, d),
              Status::ok);
    EXPECT_LT(rel(d, 0.784e-4), 0.08) << d;
}

TEST(TransportDiffusion, GasDiffusivityScalesWithPressureAndTemperature) {
    double d1 = 0.0, d2 = 0.0;
    ASSERT_EQ(tr::fuller_binary_diffusivity(300.0, 1e5, 44.0, 28.0, 26.9, 18.5, d1), Status::ok);
    ASSERT_EQ(tr::fuller_binary_diffusivity(300.0, 3e5, 44.0, 28.0, 26.9, 18.5, d2), Status::ok);
    EXPECT_NEAR(d1 / d2, 3.0, 1e-12);
    ASSERT_EQ(tr::fuller_binary_diffusivity(600.0, 1e5, 44.0, 28.0, 26.9, 18.5, d2), Status::ok);
    EXPECT_NEAR(d2 / d1, std::pow(2.0, 1.75), 1e-12);
    // Chapman-Enskog rises faster than T^1.5 at low T* (collision integral falls).
    ASSERT_EQ(
        tr::chapman_enskog_binary_diffusivity(300.0, 1e5, 44, 28, 3.9e-10, 3.8e-10, 195, 71, d1),
        Status::ok);
    ASSERT_EQ(
        tr::chapman_enskog_binary_diffusivity(600.0, 1e5, 44, 28, 3.9e-10, 3.8e-10, 195, 71, d2),
        Status::ok);
    EXPECT_GT(d2 / d1, std::pow(2.0, 1.5));
    EXPECT_LT(d2 / d1, std::pow(2.0, 2.0));
}

TEST(TransportDiffusion, EffectiveGasDiffusivityLimits) {
    const double mw[3] = {kCO2.mw, kN2.mw, kH2.mw};
    const double v[3] = {26.9, 18.5, 6.12};
    // Pure: the self-diffusivity.
    const double pure[3] = {1.0, 0.0, 0.0};
    double d = 0.0, self = 0.0;
    ASSERT_EQ(tr::gas_diffusivity_fuller(pure, mw, v, 300.0, kP, d), Status::ok);
    ASSERT_EQ(tr::fuller_binary_diffusivity(300.0, kP, mw[0], mw[0], v[0], v[0], self), Status::ok);
    EXPECT_DOUBLE_EQ(d, self);
    // A binary lies between the smallest and largest pair value, and moves
    // continuously to the pure value.
    double d12 = 0.0, d22 = 0.0;
    ASSERT_EQ(tr::fuller_binary_diffusivity(300.0, kP, mw[0], mw[1], v[0], v[1], d12), Status::ok);
    ASSERT_EQ(tr::fuller_binary_diffusivity(300.0, kP, mw[1], mw[1], v[1], v[1], d22), Status::ok);
    for (double x1 = 0.0; x1 <= 1.0; x1 += 0.1) {
        const double x[3] = {x1, 1.0 - x1, 0.0};
        ASSERT_EQ(tr::gas_diffusivity_fuller(x, mw, v, 300.0, kP, d), Status::ok);
        EXPECT_GE(d, std::min({self, d12, d22}) * (1 - 1e-12));
        EXPECT_LE(d, std::max({self, d12, d22}) * (1 + 1e-12));
    }
    const double tiny[3] = {1.0 - 1e-10, 1e-10, 0.0};
    ASSERT_EQ(tr::gas_diffusivity_fuller(tiny, mw, v, 300.0, kP, d), Status::ok);
    EXPECT_LT(rel(d, self), 1e-8);
    // Hydrogen speeds diffusion up.
    const double with_h2[3] = {0.4, 0.4, 0.2}, without[3] = {0.5, 0.5, 0.0};
    double a = 0.0, b = 0.0;
    ASSERT_EQ(tr::gas_diffusivity_fuller(with_h2, mw, v, 300.0, kP, a), Status::ok);
    ASSERT_EQ(tr::gas_diffusivity_fuller(without, mw, v, 300.0, kP, b), Status::ok);
    EXPECT_GT(a, b);
    // Chapman-Enskog variant, normalisation and rejection.
    const double sig[3] = {3.941e-10, 3.798e-10, 2.827e-10}, eps[3] = {195.2, 71.4, 59.7};
    const double x[3] = {2.0, 2.0, 1.0}, xn[3] = {0.4, 0.4, 0.2};
    ASSERT_EQ(tr::gas_diffusivity_chapman_enskog(x, mw, sig, eps, 300.0, kP, a), Status::ok);
    ASSERT_EQ(tr::gas_diffusivity_chapman_enskog(xn, mw, sig, eps, 300.0, kP, b), Status::ok);
    EXPECT_NEAR(a, b, 1e-15);
    EXPECT_EQ(tr::gas_diffusivity_fuller(x, mw, v, 300.0, 0.0, a), Status::bad_input);
    const double neg[3] = {0.5, -0.1, 0.6};
    EXPECT_EQ(tr::gas_diffusivity_fuller(neg, mw, v, 300.0, kP, a), Status::bad_composition);
}

// Wilke-Chang against ethylbenzene at infinite dilution in water at 293 K:
// measured 0.81e-5 cm2/s, with Vb = 140 cm3/mol and a water viscosity of
// 1.0 cP (worked example of Poling et al. 2001, Sec. 11-9). The method is
// rated at about 10-20 %.
TEST(TransportDiffusion, WilkeChangMatchesMeasurement) {
    double d = 0.0;
    ASSERT_EQ(tr::wilke_chang_diffusivity(293.0, 1.0e-3, 18.0, tr::kAssociationWater, 0.140, d),
              Status::ok);
    EXPECT_LT(rel(d, 0.81e-9), 0.10) << d;
    EXPECT_EQ(tr::wilke_chang_diffusivity(293.0, 0.0, 18.0, 2.6, 0.14, d), Status::bad_input);
}

TEST(TransportDiffusion, EffectiveLiquidDiffusivity) {
    const double mw[2] = {kMethanol.mw, kWater.mw};
    const double phi[2] = {tr::kAssociationMethanol, tr::kAssociationWater};
    const double vb[2] = {0.0425, 0.0189};
    // Pure water: Wilke-Chang self-diffusion.
    const double pure[2] = {0.0, 1.0};
    double d = 0.0, self = 0.0;
    ASSERT_EQ(tr::liquid_diffusivity(pure, mw, phi, vb, 298.15, 0.89e-3, d), Status::ok);
    ASSERT_EQ(tr::wilke_chang_diffusivity(298.15, 0.89e-3, mw[1], phi[1], vb[1], self), Status::ok);
    EXPECT_NEAR(d, self, 1e-15);
    // Inversely proportional to the mixture viscosity.
    const double x[2] = {0.3, 0.7};
    double a = 0.0, b = 0.0;
    ASSERT_EQ(tr::liquid_diffusivity(x, mw, phi, vb, 298.15, 1.0e-3, a), Status::ok);
    ASSERT_EQ(tr::liquid_diffusivity(x, mw, phi, vb, 298.15, 2.0e-3, b), Status::ok);
    EXPECT_NEAR(a / b, 2.0, 1e-12);
    // Grid: always a well-formed answer.
    for (double x1 = 0.0; x1 <= 1.0; x1 += 0.05)
        for (double t : {250.0, 300.0, 450.0}) {
            const double xx[2] = {x1, 1.0 - x1};
            EXPECT_WELL_FORMED(tr::liquid_diffusivity(xx, mw, phi, vb, t, 0.5e-3, d), d);
            ASSERT_EQ(tr::liquid_diffusivity(xx, mw, phi, vb, t, 0.5e-3, d), Status::ok);
        }
}
