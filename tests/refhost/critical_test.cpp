// Mixture critical point: pure components, measured loci, the critical conditions checked
// independently with the engine's ln phi, continuity, order, the locus break, input guards.
#include "critical.hpp"
#include "eos.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <span>
#include <tuple>
#include <vector>

namespace {

namespace th = xif::refhost::thermo;
namespace cr = xif::refhost::critical;

// Published constants: Tc [K], Pc [Pa], omega, MW [kg/kmol].
// clang-format off
struct Comp { const char* name; double Tc, Pc, omega, MW; };
constexpr Comp kMethane{"methane", 190.564, 4.5992e6, 0.01142, 16.043};
constexpr Comp kEthane{"ethane", 305.322, 4.8722e6, 0.0995, 30.069};
constexpr Comp kPropane{"propane", 369.89, 4.2512e6, 0.1521, 44.096};
constexpr Comp kButane{"n-butane", 425.125, 3.796e6, 0.201, 58.122};
constexpr Comp kCO2{"carbon dioxide", 304.13, 7.3773e6, 0.22394, 44.010};
struct Kij { int i, j; double k; };
// clang-format on

constexpr th::EosKind kPR = th::EosKind::PengRobinson, kSRK = th::EosKind::SoaveRedlichKwong;

th::Mixture mixture(std::initializer_list<Comp> comps, th::EosKind eos = kPR,
                    std::initializer_list<Kij> kij = {}) {
    th::Mixture m;
    m.eos = eos;
    for (const Comp& c : comps)
        m.comp[m.n++] = th::PureParams{c.Tc, c.Pc, c.omega, c.MW};
    for (const Kij& k : kij)
        m.kij[k.i][k.j] = m.kij[k.j][k.i] = k.k;
    return m;
}

cr::Result solve(const th::Mixture& m, const double* z) {
    cr::Result r;
    EXPECT_EQ(cr::critical_point(m, z, r), cr::Status::Ok);
    return r;
}

TEST(CriticalPure, EachComponentReturnsItsOwnCriticalPoint) {
    // Z_c of the cubic itself: 0.30740 (Peng-Robinson) and 1/3 (Soave).
    const std::pair<th::EosKind, double> eos[] = {{kPR, 0.307401}, {kSRK, 1.0 / 3.0}};
    for (const auto& [e, zc] : eos)
        for (const Comp& c : {kMethane, kEthane, kPropane, kButane, kCO2}) {
            SCOPED_TRACE(c.name);
            const cr::Result r = solve(mixture({c}, e), std::array{1.0}.data());
            EXPECT_NEAR(r.T / c.Tc, 1.0, 1e-6);
            EXPECT_NEAR(r.P / c.Pc, 1.0, 1e-6);
            EXPECT_NEAR(r.P * r.v / (th::kR * r.T), zc, 1e-5);
            EXPECT_FALSE(r.pseudo);
        }
}

TEST(CriticalPure, TraceOfASecondComponentMovesThePointLittle) {
    const th::Mixture m = mixture({kMethane, kEthane});
    // Far below rounding the trace is simply absent.
    for (double trace : {1e-30, 1e-200, 5e-320}) {
        const cr::Result r = solve(m, std::array{1.0 - trace, trace}.data());
        EXPECT_NEAR(r.T / kMethane.Tc, 1.0, 1e-6) << trace;
        EXPECT_NEAR(r.P / kMethane.Pc, 1.0, 1e-6) << trace;
    }
    // The locus leaves each pure end continuously: 1 ppm moves Tc well under a millikelvin.
    const std::pair<double, Comp> ends[] = {{1.0 - 1e-6, kMethane}, {1e-6, kEthane}};
    for (const auto& [x, c] : ends) {
        const cr::Result r = solve(m, std::array{x, 1.0 - x}.data());
        EXPECT_NEAR(r.T, c.Tc, 1e-3) << c.name;
        EXPECT_NEAR(r.P / c.Pc, 1.0, 1e-5) << c.name;
    }
}

// Measured gas-liquid critical points compiled by C. P. Hicks, C. L. Young,
// Chem. Rev. 75 (1975) 119-175; x1 is the first-named component's fraction.
// clang-format off
struct LocusPoint { double x1, T, P; }; // -, K, Pa
constexpr LocusPoint kMethaneEthane[] = {
    {0.0500, 302.00, 5.110e6},  {0.5002, 263.10, 6.760e6}, {0.5600, 255.40, 6.890e6},
    {0.7000, 238.00, 6.730e6},  {0.9250, 204.30, 5.400e6}, {0.9706, 195.44, 4.914e6},
    {0.99125, 192.39, 4.722e6}};
constexpr LocusPoint kEthaneButane[] = {
    {0.0750, 422.0, 4.070e6}, {0.1749, 412.7, 4.460e6}, {0.3820, 394.3, 5.170e6},
    {0.4510, 387.3, 5.380e6}, {0.6020, 370.4, 5.770e6}, {0.6577, 361.7, 5.810e6},
    {0.8100, 338.7, 5.780e6}, {0.8740, 327.6, 5.610e6}, {0.9472, 315.6, 5.240e6}};
constexpr LocusPoint kButaneCO2[] = {
    {0.1391, 321.80, 7.736e6}, {0.2898, 349.30, 8.142e6}, {0.4984, 377.21, 7.537e6},
    {0.6740, 398.76, 6.281e6}, {0.8607, 415.90, 4.888e6}};
// clang-format on

TEST(CriticalLocus, BinariesAgainstMeasuredPoints) {
    // Methane/ethane with k_ij = 0: PR runs a few kelvin above the measured
    // locus, Soave a little wider. The other k_ij are PR values fitted to
    // DECHEMA high-pressure VLE data (Knapp et al., 1982).
    struct System {
        const char* name;
        th::Mixture m;
        std::span<const LocusPoint> points;
        double dT, dP;
    };
    const System systems[] = {
        {"CH4/C2H6 PR", mixture({kMethane, kEthane}), kMethaneEthane, 4.0, 0.04},
        {"CH4/C2H6 SRK", mixture({kMethane, kEthane}, kSRK), kMethaneEthane, 5.0, 0.06},
        {"C2H6/nC4", mixture({kEthane, kButane}, kPR, {{0, 1, 0.0089}}), kEthaneButane, 4.5, 0.05},
        {"nC4/CO2", mixture({kButane, kCO2}, kPR, {{0, 1, 0.1352}}), kButaneCO2, 4.5, 0.05},
    };
    for (const System& s : systems)
        for (const LocusPoint& p : s.points) {
            SCOPED_TRACE(testing::Message() << s.name << " x1=" << p.x1);
            const cr::Result r = solve(s.m, std::array{p.x1, 1.0 - p.x1}.data());
            EXPECT_NEAR(r.T, p.T, s.dT);
            EXPECT_NEAR(r.P / p.P, 1.0, s.dP);
        }
}

// G_ij = d ln f_i / d n_j at (T, P) has z as null vector; at a critical point the block
// without the last component is singular too, and the cubic form along its null vector vanishes.
// lambda_min: smallest eigenvalue of sqrt(z_i z_j) G_ij, i, j < n-1; cubic: scaled third
// derivative along its eigenvector.
struct GibbsCheck {
    double lambda_min, cubic;
};

GibbsCheck gibbs_check(const th::Mixture& mix, const double* z, double T, double P, double v) {
    th::PolynomialIdealGas ig;
    th::Mixture m = mix;
    m.ideal_gas = &ig;
    th::Model model;
    EXPECT_EQ(model.init(m), th::Status::Ok);
    const int n = m.n, k = n - 1;
    // The root whose volume is the critical one.
    double lp[th::kMaxComponents], Zv = 0, Zl = 0;
    EXPECT_EQ(model.lnphi(T, P, z, th::Root::Vapour, lp, &Zv), th::Status::Ok);
    EXPECT_EQ(model.lnphi(T, P, z, th::Root::Liquid, lp, &Zl), th::Status::Ok);
    const double Zc = P * v / (th::kR * T);
    const th::Root root =
        std::fabs(Zv - Zc) <= std::fabs(Zl - Zc) ? th::Root::Vapour : th::Root::Liquid;
    // ln f at the mole numbers z + s dn.
    auto ln_f = [&](const double* dn, double s, double* f) {
        double nn[th::kMaxComponents], sum = 0;
        for (int i = 0; i < n; ++i)
            sum += nn[i] = z[i] + s * dn[i];
        EXPECT_EQ(model.lnphi(T, P, nn, root, f), th::Status::Ok);
        for (int i = 0; i < n; ++i)
            f[i] += std::log(nn[i] / sum);
    };
    std::vector<double> G(n * n);
    for (int j = 0; j < n; ++j) {
        double e[th::kMaxComponents] = {}, fp[th::kMaxComponents], fm[th::kMaxComponents];
        e[j] = z[j];
        ln_f(e, 1e-5, fp), ln_f(e, -1e-5, fm);
        for (int i = 0; i < n; ++i)
            G[i * n + j] = (fp[i] - fm[i]) / (2e-5 * z[j]);
    }
    // Cyclic Jacobi rotations: eigenvalues end on A's diagonal, vectors in V.
    std::vector<double> A(k * k), V(k * k, 0.0);
    for (int i = 0; i < k; ++i) {
        V[i * k + i] = 1;
        for (int j = 0; j < k; ++j)
            A[i * k + j] = std::sqrt(z[i] * z[j]) * 0.5 * (G[i * n + j] + G[j * n + i]);
    }
    for (int sweep = 0; sweep < 30; ++sweep)
        for (int p = 0; p < k; ++p)
            for (int q = p + 1; q < k; ++q) {
                if (A[p * k + q] == 0) continue;
                const double t = 0.5 * std::atan2(2 * A[p * k + q], A[q * k + q] - A[p * k + p]);
                const double c = std::cos(t), s = std::sin(t);
                auto rot = [&](double& a, double& b) {
                    std::tie(a, b) = std::pair(c * a - s * b, s * a + c * b);
                };
                for (int r = 0; r < k; ++r)
                    rot(A[r * k + p], A[r * k + q]), rot(V[r * k + p], V[r * k + q]);
                for (int r = 0; r < k; ++r)
                    rot(A[p * k + r], A[q * k + r]);
            }
    int lo = 0;
    for (int i = 1; i < k; ++i)
        if (A[i * k + i] < A[lo * k + lo]) lo = i;
    // Cubic form: second derivative along dn of sum_i dn_i ln f_i.
    double dn[th::kMaxComponents] = {}, scale = 0;
    for (int i = 0; i < k; ++i) {
        dn[i] = std::sqrt(z[i]) * V[i * k + lo];
        scale += std::fabs(dn[i] * dn[i] * dn[i]) / (z[i] * z[i]);
    }
    auto g = [&](double s) {
        double f[th::kMaxComponents];
        ln_f(dn, s, f);
        return std::inner_product(dn, dn + n, f, 0.0);
    };
    // Second differences at two steps, extrapolated to remove the O(s^2) error.
    const double s = 2e-3, g0 = g(0);
    const double c1 = (g(s) - 2 * g0 + g(-s)) / (s * s);
    const double c2 = (g(2 * s) - 2 * g0 + g(-2 * s)) / (4 * s * s);
    return {A[lo * k + lo], (4 * c1 - c2) / 3 / scale};
}

TEST(CriticalConditions, HoldAtTheAnswerByIndependentDifferentiation) {
    struct Case {
        th::Mixture m;
        std::vector<double> z;
    };
    std::vector<Case> cases;
    for (th::EosKind e : {kPR, kSRK}) {
        const th::Mixture five =
            mixture({kMethane, kEthane, kPropane, kButane, kCO2}, e, {{0, 4, 0.09}, {2, 4, 0.12}});
        cases.insert(cases.end(), {{mixture({kMethane, kEthane}, e), {0.3, 0.7}},
                                   {mixture({kMethane, kEthane}, e), {0.8, 0.2}},
                                   {mixture({kMethane, kButane}, e, {{0, 1, 0.02}}), {0.6, 0.4}},
                                   {mixture({kCO2, kPropane}, e, {{0, 1, 0.12}}), {0.5, 0.5}},
                                   {five, {0.55, 0.15, 0.12, 0.08, 0.10}}});
    }
    // A synthetic paraffin-like series filling the component capacity.
    Case big{mixture({}, kPR, {{0, th::kMaxComponents - 1, 0.04}}), {}};
    double sum = 0;
    for (th::Mixture& m = big.m; m.n < th::kMaxComponents; ++m.n) {
        const double t = m.n / (th::kMaxComponents - 1.0);
        m.comp[m.n] = th::PureParams{190.0 + 400.0 * t * t, 4.6e6 - 2.5e6 * t, 0.01 + 0.5 * t,
                                     16.0 + 200 * t};
        big.z.push_back(std::exp(-3.0 * t));
        sum += big.z.back();
    }
    for (double& x : big.z)
        x /= sum;
    cases.push_back(big);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "n=" << c.m.n << " z0=" << c.z[0] << " eos=" << static_cast<int>(c.m.eos));
        const cr::Result r = solve(c.m, c.z.data());
        const GibbsCheck at = gibbs_check(c.m, c.z.data(), r.T, r.P, r.v);
        EXPECT_NEAR(at.lambda_min, 0.0, 1e-5);
        EXPECT_NEAR(at.cubic, 0.0, 1e-5);
        // The check is not blind: one kelvin off, a small system's block is clearly regular.
        if (c.m.n == th::kMaxComponents) continue;
        EXPECT_GT(std::fabs(gibbs_check(c.m, c.z.data(), r.T + 1.0, r.P, r.v).lambda_min), 1e-3);
    }
}

TEST(CriticalPath, ContinuousAlongComposition) {
    // Methane-rich to propane-rich: no jumps, second differences small.
    const th::Mixture m = mixture({kMethane, kEthane, kPropane}, kPR, {{0, 2, 0.012}});
    std::vector<cr::Result> rs;
    for (int s = 0; s <= 40; ++s)
        rs.push_back(solve(m, std::array{0.9 - 0.02 * s, 0.05, 0.05 + 0.02 * s}.data()));
    for (int s = 1; s < 40; ++s) {
        SCOPED_TRACE(s);
        EXPECT_LT(std::fabs(rs[s + 1].T - rs[s].T), 8.0);
        EXPECT_LT(std::fabs(rs[s + 1].T - 2 * rs[s].T + rs[s - 1].T), 1.0);
        EXPECT_LT(std::fabs(rs[s + 1].P - 2 * rs[s].P + rs[s - 1].P), 0.1e6);
        EXPECT_LT(std::fabs(rs[s + 1].v / rs[s].v - 1.0), 0.1);
    }
}

TEST(CriticalPath, IndependentOfOrderScaleAndAbsentComponents) {
    const th::Mixture a = mixture({kMethane, kPropane, kCO2}, kPR, {{0, 2, 0.09}, {1, 2, 0.13}});
    const double za[] = {0.4, 0.35, 0.25};
    const cr::Result ra = solve(a, za);
    // Reordered; a zero-fraction component of any constants; given in kmol.
    const th::Mixture b = mixture({kCO2, kMethane, kPropane}, kPR, {{1, 0, 0.09}, {2, 0, 0.13}});
    const th::Mixture c =
        mixture({kMethane, kButane, kPropane, kCO2}, kPR, {{0, 3, 0.09}, {2, 3, 0.13}});
    const double zb[] = {0.25, 0.4, 0.35}, zc[] = {0.4, 0.0, 0.35, 0.25}, zk[] = {4.0, 3.5, 2.5};
    for (const cr::Result& r : {solve(b, zb), solve(c, zc), solve(a, zk)}) {
        EXPECT_NEAR(r.T / ra.T, 1.0, 1e-9);
        EXPECT_NEAR(r.P / ra.P, 1.0, 1e-8);
    }
}

TEST(CriticalBreak, LocusRunsToHighPressureThenKaysRuleAnswers) {
    // A strongly repulsive k_ij splits methane/n-butane into two liquids: the
    // locus climbs steeply and ends; past it the caller gets Kay's point.
    const th::Mixture m = mixture({kMethane, kButane}, kPR, {{0, 1, 0.3}});
    const double z50[] = {0.5, 0.5}, z76[] = {0.76, 0.24}, z85[] = {0.85, 0.15};
    EXPECT_GT(solve(m, z76).P, 8.0 * solve(m, z50).P);
    cr::Result r;
    EXPECT_EQ(cr::critical_point(m, z85, r), cr::Status::NotFound);
    EXPECT_TRUE(r.pseudo && std::isnan(r.v));
    EXPECT_NEAR(r.T, 0.85 * kMethane.Tc + 0.15 * kButane.Tc, 1e-9);
    EXPECT_NEAR(r.P, 0.85 * kMethane.Pc + 0.15 * kButane.Pc, 1e-6);
    EXPECT_STREQ(cr::status_name(cr::Status::NotFound), "no critical point found");
}

TEST(CriticalInput, BadCompositionOrDataGivesBadInputAndNaN) {
    const th::Mixture m = mixture({kMethane, kEthane});
    constexpr double nan = th::kNaN;
    const std::array<double, 2> bad[] = {{nan, 0.5}, {-0.1, 1.1}, {0.0, 0.0}, {INFINITY, 0.5}};
    for (const auto& z : bad) {
        cr::Result r;
        EXPECT_EQ(cr::critical_point(m, z.data(), r), cr::Status::BadInput);
        EXPECT_TRUE(std::isnan(r.T) && std::isnan(r.P));
        EXPECT_EQ(cr::kay_pseudocritical(m, z.data(), r), cr::Status::BadInput);
    }
    cr::Result r;
    EXPECT_EQ(cr::critical_point(m, nullptr, r), cr::Status::BadInput);
    const double z[] = {0.5, 0.5};
    auto broken = [&](auto&& edit) {
        th::Mixture b = m;
        edit(b);
        cr::Result out;
        return cr::critical_point(b, z, out);
    };
    EXPECT_EQ(broken([](auto& b) { b.n = 0; }), cr::Status::BadInput);
    EXPECT_EQ(broken([](auto& b) { b.n = th::kMaxComponents + 1; }), cr::Status::BadInput);
    EXPECT_EQ(broken([](auto& b) { b.comp[1].Tc = 0; }), cr::Status::BadInput);
    EXPECT_EQ(broken([](auto& b) { b.comp[0].Pc = nan; }), cr::Status::BadInput);
    EXPECT_EQ(broken([](auto& b) { b.comp[0].omega = nan; }), cr::Status::BadInput);
    EXPECT_EQ(broken([](auto& b) { b.kij[0][1] = b.kij[1][0] = 1.0; }), cr::Status::BadInput);
    EXPECT_EQ(broken([](auto& b) { b.eos = static_cast<th::EosKind>(7); }), cr::Status::BadInput);
}

} // namespace
