// Equation-of-state checks: internal consistency of ln phi, H, S, Cp, Cv
// by numerical differentiation, the cubic solver, pure saturation against
// published vapour pressures, and input guards.
#include "pure.hpp"
#include "thermo_test_data.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using namespace thermo_test;
using th::Root;
using th::Status;

struct State {
    double T, P;
    Root root;
};

class EosConsistency : public ::testing::TestWithParam<th::EosKind> {
  protected:
    void SetUp() override {
        f = make({CH4, C2H6, C3H8, NC4, NC5, N2, CO2}, GetParam(), true);
        ASSERT_TRUE(f);
    }
    std::unique_ptr<Fixture> f;
    // A gas-like and a liquid-like composition with a vapour and a liquid state.
    double gas[7] = {0.85, 0.07, 0.04, 0.02, 0.01, 0.005, 0.005};
    double oil[7] = {0.05, 0.05, 0.2, 0.3, 0.38, 0.01, 0.01};
};

// Reduced residual Gibbs energy of the whole phase, n g_res / RT, from H and S.
double n_gres(const th::Model& m, double T, double P, const double* n, Root r) {
    th::PhaseProps p;
    EXPECT_EQ(m.properties(T, P, n, r, p), Status::Ok);
    double sum = 0;
    for (int i = 0; i < m.size(); ++i)
        sum += n[i];
    return sum * (p.hres - T * p.sres) / (th::kR * T);
}

TEST_P(EosConsistency, LnPhiIsTheMoleNumberDerivativeOfResidualGibbsEnergy) {
    const State states[] = {{300, 50e5, Root::Vapour}, {320, 20e5, Root::Liquid}};
    const double* comps[] = {gas, oil};
    for (int s = 0; s < 2; ++s) {
        const State& st = states[s];
        double lp[th::kMaxComponents];
        ASSERT_EQ(f->model.lnphi(st.T, st.P, comps[s], st.root, lp), Status::Ok);
        double mix = 0;
        for (int i = 0; i < 7; ++i)
            mix += comps[s][i] * lp[i];
        EXPECT_NEAR(mix, n_gres(f->model, st.T, st.P, comps[s], st.root), 1e-10);
        for (int i = 0; i < 7; ++i) {
            double n1[7], n2[7];
            const double h = 1e-5;
            for (int j = 0; j < 7; ++j)
                n1[j] = n2[j] = comps[s][j];
            n1[i] += h;
            n2[i] -= h;
            const double d = (n_gres(f->model, st.T, st.P, n1, st.root) -
                              n_gres(f->model, st.T, st.P, n2, st.root)) /
                             (2 * h);
            EXPECT_NEAR(lp[i], d, 1e-7) << "component " << i << " state " << s;
        }
    }
}

TEST_P(EosConsistency, ResidualEnthalpyFollowsGibbsHelmholtz) {
    const State states[] = {{300, 50e5, Root::Vapour}, {320, 20e5, Root::Liquid}};
    const double* comps[] = {gas, oil};
    for (int s = 0; s < 2; ++s) {
        const State& st = states[s];
        auto g = [&](double T) {
            double lp[th::kMaxComponents], sum = 0;
            EXPECT_EQ(f->model.lnphi(T, st.P, comps[s], st.root, lp), Status::Ok);
            for (int i = 0; i < 7; ++i)
                sum += comps[s][i] * lp[i];
            return sum;
        };
        const double dT = 1e-3;
        const double dgdT = (g(st.T + dT) - g(st.T - dT)) / (2 * dT);
        th::PhaseProps p;
        ASSERT_EQ(f->model.properties(st.T, st.P, comps[s], st.root, p), Status::Ok);
        const double hres = -th::kR * st.T * st.T * dgdT;
        EXPECT_NEAR(p.hres, hres, 1e-6 * std::fabs(hres) + 1.0);
    }
}

TEST_P(EosConsistency, HeatCapacitiesMatchDifferencesOfEnthalpyAndEnergy) {
    const State states[] = {{300, 50e5, Root::Vapour}, {320, 20e5, Root::Liquid}};
    const double* comps[] = {gas, oil};
    for (int s = 0; s < 2; ++s) {
        const State& st = states[s];
        th::PhaseProps p, hi, lo;
        const double dT = 1e-2;
        ASSERT_EQ(f->model.properties(st.T, st.P, comps[s], st.root, p), Status::Ok);
        ASSERT_EQ(f->model.properties(st.T + dT, st.P, comps[s], st.root, hi), Status::Ok);
        ASSERT_EQ(f->model.properties(st.T - dT, st.P, comps[s], st.root, lo), Status::Ok);
        EXPECT_NEAR(p.cp, (hi.h - lo.h) / (2 * dT), 1e-5 * p.cp);
        EXPECT_NEAR(p.cp / st.T, (hi.s - lo.s) / (2 * dT), 1e-5 * p.cp / st.T);
        // Cv: U = H - P v at fixed volume; find the pressure keeping v at T +- dT.
        auto u_at_v = [&](double T) {
            double P = st.P;
            th::PhaseProps q;
            for (int it = 0; it < 50; ++it) {
                EXPECT_EQ(f->model.properties(T, P, comps[s], st.root, q), Status::Ok);
                th::PhaseProps q2;
                const double dP = 1e-6 * P;
                f->model.properties(T, P + dP, comps[s], st.root, q2);
                const double dvdP = (q2.v - q.v) / dP;
                const double step = (p.v - q.v) / dvdP;
                P += step;
                if (std::fabs(step) < 1e-13 * P) break;
            }
            f->model.properties(T, P, comps[s], st.root, q);
            return q.h - P * q.v;
        };
        const double cv = (u_at_v(st.T + dT) - u_at_v(st.T - dT)) / (2 * dT);
        EXPECT_NEAR(p.cv, cv, 1e-4 * p.cv);
        EXPECT_GT(p.cp, p.cv);
    }
}

TEST_P(EosConsistency, ApproachesIdealGasAtLowPressure) {
    th::PhaseProps p;
    ASSERT_EQ(f->model.properties(400, 10.0, gas, Root::Vapour, p), Status::Ok);
    EXPECT_NEAR(p.Z, 1.0, 1e-4);
    EXPECT_NEAR(p.hres, 0.0, 1e-4 * th::kR * 400);
    EXPECT_NEAR(p.cpres, 0.0, 1e-3 * th::kR);
    EXPECT_FALSE(p.liquid_like);
}

TEST_P(EosConsistency, VolumeTranslationShiftsVolumeAndEnthalpyOnly) {
    auto plain = make({CH4, C2H6, C3H8, NC4, NC5, N2, CO2}, GetParam(), false);
    ASSERT_TRUE(plain);
    const double T = 320, P = 20e5;
    th::PhaseProps a, b;
    double la[th::kMaxComponents], lb[th::kMaxComponents];
    ASSERT_EQ(f->model.properties(T, P, oil, Root::Liquid, a, la), Status::Ok);
    ASSERT_EQ(plain->model.properties(T, P, oil, Root::Liquid, b, lb), Status::Ok);
    double c = 0;
    for (int i = 0; i < 7; ++i)
        c += oil[i] * f->model.vshift(i);
    EXPECT_NE(c, 0.0);
    EXPECT_NEAR(b.v - a.v, c, 1e-12);
    EXPECT_NEAR(b.h - a.h, c * P, 1e-6);
    EXPECT_NEAR(a.s, b.s, 1e-9);
    EXPECT_NEAR(a.cp, b.cp, 1e-9);
    // The shift is the same in every phase, so K-values are untouched.
    double ga[th::kMaxComponents], gb[th::kMaxComponents];
    ASSERT_EQ(f->model.lnphi(T, P, gas, Root::Vapour, ga), Status::Ok);
    ASSERT_EQ(plain->model.lnphi(T, P, gas, Root::Vapour, gb), Status::Ok);
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR((la[i] - ga[i]) - (lb[i] - gb[i]), 0.0, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(BothCubics, EosConsistency,
                         ::testing::Values(th::EosKind::PengRobinson,
                                           th::EosKind::SoaveRedlichKwong));

TEST(Cubic, RecoversKnownRoots) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0.001, 1.5);
    for (int k = 0; k < 500; ++k) {
        double r[3] = {u(rng), u(rng), u(rng)};
        std::sort(r, r + 3);
        const double c2 = -(r[0] + r[1] + r[2]);
        const double c1 = r[0] * r[1] + r[0] * r[2] + r[1] * r[2];
        const double c0 = -r[0] * r[1] * r[2];
        double out[3];
        const int n = th::solve_cubic(c2, c1, c0, out);
        ASSERT_GE(n, 1);
        // Near-double roots may merge; the extreme roots must always be found.
        if (n == 3) {
            EXPECT_NEAR(out[0], r[0], 1e-6);
            EXPECT_NEAR(out[2], r[2], 1e-6);
        } else {
            EXPECT_TRUE(std::fabs(out[0] - r[0]) < 1e-4 || std::fabs(out[0] - r[2]) < 1e-4);
        }
    }
    double one[3];
    ASSERT_EQ(th::solve_cubic(0, 1, -2, one), 1); // z^3 + z - 2 = (z-1)(z^2+z+2)
    EXPECT_NEAR(one[0], 1.0, 1e-14);
}

TEST(PureSaturation, PropaneAt300KMatchesPublishedValue) {
    auto f = make({C3H8});
    double Ps;
    ASSERT_EQ(th::saturation_pressure(f->model, 0, 300.0, Ps), Status::Ok);
    EXPECT_NEAR(Ps, 0.998e6, 0.03 * 0.998e6);
    double Ts;
    ASSERT_EQ(th::saturation_temperature(f->model, 0, Ps, Ts), Status::Ok);
    EXPECT_NEAR(Ts, 300.0, 1e-7);
}

TEST(PureSaturation, FollowsVapourPressureCorrelation) {
    // PR is fitted to vapour pressures through omega: a few % from 0.55 to 0.95 Tc.
    for (Comp c : {CH4, C2H6, C3H8, NC4, NC5, N2, CO2}) {
        auto f = make({c});
        const double Tc = f->mix.comp[0].Tc;
        for (double tr : {0.6, 0.7, 0.8, 0.9}) {
            const double T = tr * Tc;
            if (c == CO2 && T < 216.6) continue; // below the triple point
            double Ps;
            ASSERT_EQ(th::saturation_pressure(f->model, 0, T, Ps), Status::Ok);
            const double ref = perry_psat(c, T);
            EXPECT_NEAR(Ps / ref, 1.0, 0.05) << "component " << c << " T " << T;
        }
        double Ps;
        EXPECT_EQ(th::saturation_pressure(f->model, 0, 1.01 * Tc, Ps), Status::NoSolution);
        double Ts;
        EXPECT_EQ(th::saturation_temperature(f->model, 0, 1.01 * f->mix.comp[0].Pc, Ts),
                  Status::NoSolution);
    }
}

TEST(PureSaturation, LatentHeatIsPositiveAndVanishesAtCritical) {
    auto f = make({NC5});
    double prev = 1e300;
    for (double T : {250.0, 300.0, 350.0, 400.0, 450.0, 465.0}) {
        double Ps, hl, hv;
        ASSERT_EQ(th::saturation_pressure(f->model, 0, T, Ps), Status::Ok);
        ASSERT_EQ(th::pure_enthalpy(f->model, 0, T, Ps, Root::Liquid, hl), Status::Ok);
        ASSERT_EQ(th::pure_enthalpy(f->model, 0, T, Ps, Root::Vapour, hv), Status::Ok);
        EXPECT_GT(hv - hl, 0);
        EXPECT_LT(hv - hl, prev);
        prev = hv - hl;
    }
    // n-pentane at its normal boiling point: 25.8 kJ/mol (Poling et al.).
    double Ts, hl, hv;
    ASSERT_EQ(th::saturation_temperature(f->model, 0, th::kPref, Ts), Status::Ok);
    EXPECT_NEAR(Ts, 309.21, 1.5);
    th::pure_enthalpy(f->model, 0, Ts, th::kPref, Root::Liquid, hl);
    th::pure_enthalpy(f->model, 0, Ts, th::kPref, Root::Vapour, hv);
    EXPECT_NEAR((hv - hl) / 1e3, 25.8e3, 0.05 * 25.8e3);
}

// Perry's Handbook (8th ed.) Table 2-32 saturated-liquid density, kmol/m3.
double perry_liquid_density(Comp c, double T) {
    struct R {
        Comp c;
        double a, b, tc, d;
    };
    constexpr R rows[] = {{C3H8, 1.3757, 0.27453, 369.83, 0.29359},
                          {NC4, 1.0677, 0.27188, 425.12, 0.28688},
                          {NC5, 0.84947, 0.26726, 469.7, 0.27789}};
    for (const R& r : rows)
        if (r.c == c) return r.a / std::pow(r.b, 1.0 + std::pow(1.0 - T / r.tc, r.d));
    return NAN;
}

TEST(VolumeTranslation, PenelouxBringsSaturatedLiquidVolumesCloser) {
    for (th::EosKind eos : {th::EosKind::PengRobinson, th::EosKind::SoaveRedlichKwong})
        for (Comp c : {C3H8, NC4, NC5}) {
            auto plain = make({c}, eos, false);
            auto shifted = make({c}, eos, true);
            const double T = 0.65 * plain->mix.comp[0].Tc;
            double Ps;
            ASSERT_EQ(th::saturation_pressure(plain->model, 0, T, Ps), Status::Ok);
            const double x[1] = {1.0};
            th::PhaseProps a, b;
            ASSERT_EQ(plain->model.properties(T, Ps, x, Root::Liquid, a), Status::Ok);
            ASSERT_EQ(shifted->model.properties(T, Ps, x, Root::Liquid, b), Status::Ok);
            const double ref = 1.0 / perry_liquid_density(c, T);
            EXPECT_LT(std::fabs(b.v - ref), std::fabs(a.v - ref)) << c;
            EXPECT_NEAR(b.v / ref, 1.0, 0.05) << c;
            // Equilibrium is untouched by the shift.
            double Ps2;
            ASSERT_EQ(th::saturation_pressure(shifted->model, 0, T, Ps2), Status::Ok);
            EXPECT_NEAR(Ps2, Ps, 1e-9 * Ps);
        }
}

TEST(ModelGuards, RejectsBadParametersAndStates) {
    th::PolynomialIdealGas ig;
    th::Mixture m;
    th::Model model;
    EXPECT_EQ(model.init(m), Status::BadInput); // no components
    m.n = 1;
    m.comp[0] = {190.564, 4599200, 0.01142, 16.04};
    EXPECT_EQ(model.init(m), Status::BadInput); // no ideal-gas part
    m.ideal_gas = &ig;
    ASSERT_EQ(model.init(m), Status::Ok);
    m.comp[0].Pc = -1;
    EXPECT_EQ(model.init(m), Status::BadInput);
    m.comp[0].Pc = 4599200;
    m.comp[0].omega = NAN;
    EXPECT_EQ(model.init(m), Status::BadInput);

    auto f = make({CH4, C3H8});
    const double z[2] = {0.5, 0.5};
    double lp[2];
    th::PhaseProps p;
    EXPECT_EQ(f->model.lnphi(NAN, 1e5, z, Root::Vapour, lp), Status::BadInput);
    EXPECT_EQ(f->model.lnphi(300, -1e5, z, Root::Vapour, lp), Status::BadInput);
    EXPECT_EQ(f->model.lnphi(0, 1e5, z, Root::Vapour, lp), Status::BadInput);
    EXPECT_EQ(f->model.lnphi(300, 1e15, z, Root::Vapour, lp), Status::BadInput);
    const double neg[2] = {1.5, -0.5};
    EXPECT_EQ(f->model.properties(300, 1e5, neg, Root::Vapour, p), Status::BadInput);
    const double nan[2] = {NAN, 0.5};
    EXPECT_EQ(f->model.properties(300, 1e5, nan, Root::Vapour, p), Status::BadInput);
    EXPECT_FALSE(std::isfinite(p.h));
}

} // namespace
