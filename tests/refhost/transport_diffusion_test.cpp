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
    struct Case {
        const char* hill;
        int rings;
        double v;
    };
    const Case cases[] = {
        {"CO2", 0, 26.9}, // the molecule's own value, not C + 2 O
        {"H3N", 0, 20.7},
        {"CH4", 0, 15.9 + 4 * 2.31},
        {"C6H6", 1, 6 * 15.9 + 6 * 2.31 - 18.3},
        {"C2H4Cl2", 0, 2 * 15.9 + 4 * 2.31 + 2 * 21.0},
        {"H2S", 0, 2 * 2.31 + 22.9},
    };
    double v = 0.0;
    for (const Case& c : cases) {
        ASSERT_EQ(tr::fuller_volume(c.hill, c.rings, v), Status::ok) << c.hill;
        EXPECT_NEAR(v, c.v, 1e-12) << c.hill;
    }
    for (const char* bad : {"", "c6h6", "C6H6+", "Xe", "2H"}) {
        EXPECT_EQ(tr::fuller_volume(bad, 0, v), Status::bad_input) << bad;
        EXPECT_EQ(v, 0.0);
    }
}

// Binary gas diffusivities at 298 K and 1 atm against the measurements
// collected by Marrero and Mason (1972), as tabulated by Poling et al.
// (2001), Table 11-2: CO2-N2 0.167 cm2/s, H2-N2 0.784 cm2/s. Lennard-Jones
// parameters from Poling et al., Appendix B. Fuller is rated at about 5 %,
// Chapman-Enskog at 5-10 %.
TEST(TransportDiffusion, BinaryGasDiffusivityMatchesMeasurements) {
    double d = 0.0;
    ASSERT_EQ(tr::fuller_binary_diffusivity(298.0, kP, kCO2.mw, kN2.mw, 26.9, 18.5, d), Status::ok);
    EXPECT_LT(rel(d, 0.167e-4), 0.05) << d;
    ASSERT_EQ(tr::fuller_binary_diffusivity(298.0, kP, kH2.mw, kN2.mw, 6.12, 18.5, d), Status::ok);
    EXPECT_LT(rel(d, 0.784e-4), 0.05) << d;
    ASSERT_EQ(tr::chapman_enskog_binary_diffusivity(298.0, kP, kCO2.mw, kN2.mw, 3.941e-10,
                                                    3.798e-10, 195.2, 71.4, d),
              Status::ok);
    EXPECT_LT(rel(d, 0.167e-4), 0.08) << d;
    ASSERT_EQ(tr::chapman_enskog_binary_diffusivity(298.0, kP, kH2.mw, kN2.mw, 2.827e-10, 3.798e-10,
                                                    59.7, 71.4, d),
              Status::ok);
    EXPECT_LT(rel(d, 0.784e-4), 0.08) << d;
    // The collision integral against the tabulated Omega(1,1)* of Hirschfelder,
    // Curtiss and Bird (1954): 1.439 at T* = 1 and 0.8422 at T* = 5, in
    // D = 0.00266 T^1.5 / (P[bar] M_AB^0.5 sigma[A]^2 Omega) cm2/s.
    for (const auto& [eps, omega] : {std::pair{300.0, 1.439}, std::pair{60.0, 0.8422}}) {
        ASSERT_EQ(
            tr::chapman_enskog_binary_diffusivity(300, 1e5, 30, 30, 4e-10, 4e-10, eps, eps, d),
            Status::ok);
        EXPECT_LT(rel(d, 1e-4 * 2.66e-3 * std::pow(300.0, 1.5) / (std::sqrt(30.0) * 16 * omega)),
                  0.005);
    }
    // Inversely proportional to pressure.
    double d1 = 0.0, d3 = 0.0;
    ASSERT_EQ(tr::fuller_binary_diffusivity(298.0, kP, kH2.mw, kN2.mw, 6.12, 18.5, d1), Status::ok);
    ASSERT_EQ(tr::fuller_binary_diffusivity(298.0, 3 * kP, kH2.mw, kN2.mw, 6.12, 18.5, d3),
              Status::ok);
    EXPECT_NEAR(3.0 * d3, d1, 1e-18);
}

TEST(TransportDiffusion, EffectiveGasDiffusivity) {
    const double mw[3] = {kCO2.mw, kN2.mw, kH2.mw}, v[3] = {26.9, 18.5, 6.12};
    double d = 0.0, self = 0.0, d12 = 0.0, d22 = 0.0;
    ASSERT_EQ(tr::fuller_binary_diffusivity(300.0, kP, mw[0], mw[0], v[0], v[0], self), Status::ok);
    ASSERT_EQ(tr::fuller_binary_diffusivity(300.0, kP, mw[0], mw[1], v[0], v[1], d12), Status::ok);
    ASSERT_EQ(tr::fuller_binary_diffusivity(300.0, kP, mw[1], mw[1], v[1], v[1], d22), Status::ok);
    // Pure: its self-diffusivity; binaries: between the pair values, and
    // continuous into the pure value.
    ASSERT_EQ(tr::gas_diffusivity_fuller(std::array{1.0, 0.0, 0.0}, mw, v, 300.0, kP, d),
              Status::ok);
    EXPECT_DOUBLE_EQ(d, self);
    for (double x1 = 0.0; x1 <= 1.0; x1 += 0.1) {
        ASSERT_EQ(tr::gas_diffusivity_fuller(std::array{x1, 1 - x1, 0.0}, mw, v, 300.0, kP, d),
                  Status::ok);
        EXPECT_GE(d, std::min({self, d12, d22}) * (1 - 1e-12));
        EXPECT_LE(d, std::max({self, d12, d22}) * (1 + 1e-12));
    }
    ASSERT_EQ(tr::gas_diffusivity_fuller(std::array{1.0 - 1e-10, 1e-10, 0.0}, mw, v, 300.0, kP, d),
              Status::ok);
    EXPECT_LT(rel(d, self), 1e-8);
    // Hydrogen speeds diffusion up.
    double a = 0.0, b = 0.0;
    ASSERT_EQ(tr::gas_diffusivity_fuller(std::array{0.4, 0.4, 0.2}, mw, v, 300.0, kP, a),
              Status::ok);
    ASSERT_EQ(tr::gas_diffusivity_fuller(std::array{0.5, 0.5, 0.0}, mw, v, 300.0, kP, b),
              Status::ok);
    EXPECT_GT(a, b);
    // Chapman-Enskog's phase value agrees with Fuller's within their accuracy.
    const double sig[3] = {3.941e-10, 3.798e-10, 2.827e-10}, eps[3] = {195.2, 71.4, 59.7};
    ASSERT_EQ(
        tr::gas_diffusivity_chapman_enskog(std::array{2.0, 2.0, 1.0}, mw, sig, eps, 300.0, kP, b),
        Status::ok);
    EXPECT_LT(rel(b, a), 0.10);
    EXPECT_EQ(tr::gas_diffusivity_fuller(std::array{0.5, 0.5, 0.0}, mw, v, 300.0, 0.0, a),
              Status::bad_input);
    // Kept pair terms give the same effective diffusivity and the same pair values.
    double term[9];
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            term[i * 3 + j] = tr::fuller_pair_term(mw[i], mw[j], v[i], v[j]);
    EXPECT_NEAR(tr::fuller_factor(300.0, kP) / term[1], d12, 1e-13 * d12);
    for (const auto& x :
         {std::array{0.4, 0.4, 0.2}, std::array{0.0, 0.3, 0.7}, std::array{0.0, 0.0, 1.0}}) {
        ASSERT_EQ(tr::gas_diffusivity_fuller(x, mw, v, 350.0, 2 * kP, a), Status::ok);
        ASSERT_EQ(tr::gas_diffusivity_fuller(x, tr::PairFactors{term, 3}, 350.0, 2 * kP, b),
                  Status::ok);
        EXPECT_NEAR(b, a, 1e-13 * a);
    }
    EXPECT_EQ(
        tr::gas_diffusivity_fuller(std::array{0.5, 0.5, 0.0}, tr::PairFactors{}, 300.0, kP, a),
        Status::bad_input);
}

// Wilke-Chang against ethylbenzene at infinite dilution in water at 293 K:
// measured 0.81e-5 cm2/s, Vb = 140 cm3/mol, water at 1.0 cP (worked example
// of Poling et al. 2001, Sec. 11-9). Rated at about 10-20 %.
TEST(TransportDiffusion, LiquidDiffusivity) {
    double d = 0.0, self = 0.0, a = 0.0, b = 0.0;
    ASSERT_EQ(tr::wilke_chang_diffusivity(293.0, 1.0e-3, 18.0, tr::kAssociationWater, 0.140, d),
              Status::ok);
    EXPECT_LT(rel(d, 0.81e-9), 0.10) << d;

    const double mw[2] = {kMethanol.mw, kWater.mw}, vb[2] = {0.0425, 0.0189};
    const double phi[2] = {tr::kAssociationMethanol, tr::kAssociationWater};
    // Pure water: its Wilke-Chang self-diffusivity.
    ASSERT_EQ(tr::liquid_diffusivity(std::array{0.0, 1.0}, mw, phi, vb, 298.15, 0.89e-3, d),
              Status::ok);
    ASSERT_EQ(tr::wilke_chang_diffusivity(298.15, 0.89e-3, mw[1], phi[1], vb[1], self), Status::ok);
    EXPECT_NEAR(d, self, 1e-15);
    // Inversely proportional to the mixture viscosity.
    ASSERT_EQ(tr::liquid_diffusivity(std::array{0.3, 0.7}, mw, phi, vb, 298.15, 1.0e-3, a),
              Status::ok);
    ASSERT_EQ(tr::liquid_diffusivity(std::array{0.3, 0.7}, mw, phi, vb, 298.15, 2.0e-3, b),
              Status::ok);
    EXPECT_NEAR(a / b, 2.0, 1e-12);
    EXPECT_EQ(tr::liquid_diffusivity(std::array{0.3, 0.7}, mw, phi, vb, 298.15, 0.0, a),
              Status::bad_input);
    for (double x1 = 0.0; x1 <= 1.0; x1 += 0.05)
        EXPECT_WELL_FORMED(
            tr::liquid_diffusivity(std::array{x1, 1 - x1}, mw, phi, vb, 300.0, 0.5e-3, d), d);
}
