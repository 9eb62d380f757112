// The water tables against the IAPWS check values: IF97 (with region selection, the host
// reference and the chosen phase), viscosity R12-08, conductivity R15-11, surface tension R1-76.
#include "refhost/water/water.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>
#include <tuple>
#include <utility>

namespace w = xif::refhost::water;

namespace {

constexpr double M = w::molar_mass;
using Pairs = std::initializer_list<std::pair<double, double>>;

// The release's tables give nine significant digits: agree to half a unit in the last.
void expect_sig9(double x, double ref, const char* what) {
    const double ulp = std::pow(10.0, std::floor(std::log10(std::fabs(ref))) - 8);
    EXPECT_NEAR(x, ref, 0.5 * ulp * 1.001) << what;
}

// v, h, u, s, cp, w in the release's units and reference (per kg, kJ, MPa).
void expect_row(const w::State& st, const std::array<double, 6>& ref) {
    const double h = (st.h - w::enthalpy_offset()) / M, v = st.v / M;
    expect_sig9(v, ref[0], "v");
    expect_sig9(h * 1e-3, ref[1], "h");
    expect_sig9((h - st.p * v) * 1e-3, ref[2], "u");
    expect_sig9((st.s - w::entropy_offset()) / M * 1e-3, ref[3], "s");
    expect_sig9(st.cp / M * 1e-3, ref[4], "cp");
    expect_sig9(st.w, ref[5], "w");
}

w::State at(double t, double p) {
    w::State st;
    EXPECT_EQ(w::properties(t, p, st), w::Status::ok) << t << " K " << p << " Pa";
    return st;
}

// Agreement to half a unit in the given decimal place.
void expect_decimals(double x, double ref, int decimals, const char* what) {
    EXPECT_NEAR(x, ref, 0.5 * std::pow(10.0, -decimals) * 1.001) << what << " ref " << ref;
}

double psat(double t) {
    double p = 0.0;
    EXPECT_EQ(w::saturation_pressure(t, p), w::Status::ok) << t;
    return p;
}

// IF97 Table 5 (region 1), Table 15 (region 2), Table 42 (region 5): T, p in MPa, region,
// then v, h, u, s, cp, w.
TEST(WaterIf97, ReleaseTablesRegions1_2_5) {
    const double rows[][9] = {
        {300, 3, 1, 0.100215168e-2, 0.115331273e3, 0.112324818e3, 0.392294792, 0.417301218e1,
         0.150773921e4},
        {300, 80, 1, 0.971180894e-3, 0.184142828e3, 0.106448356e3, 0.368563852, 0.401008987e1,
         0.163469054e4},
        {500, 3, 1, 0.120241800e-2, 0.975542239e3, 0.971934985e3, 0.258041912e1, 0.465580682e1,
         0.124071337e4},
        {300, 0.0035, 2, 0.394913866e2, 0.254991145e4, 0.241169160e4, 0.852238967e1, 0.191300162e1,
         0.427920172e3},
        {700, 0.0035, 2, 0.923015898e2, 0.333568375e4, 0.301262819e4, 0.101749996e2, 0.208141274e1,
         0.644289068e3},
        {700, 30, 2, 0.542946619e-2, 0.263149474e4, 0.246861076e4, 0.517540298e1, 0.103505092e2,
         0.480386523e3},
        {1500, 0.5, 5, 0.138455090e1, 0.521976855e4, 0.452749310e4, 0.965408875e1, 0.261609445e1,
         0.917068690e3},
        {1500, 30, 5, 0.230761299e-1, 0.516723514e4, 0.447495124e4, 0.772970133e1, 0.272724317e1,
         0.928548002e3},
        {2000, 30, 5, 0.311385219e-1, 0.657122604e4, 0.563707038e4, 0.853640523e1, 0.288569882e1,
         0.106736948e4},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "T=" << r[0] << " p=" << r[1]);
        const w::State st = at(r[0], r[1] * 1e6);
        EXPECT_EQ(st.region, static_cast<w::Region>(r[2]));
        expect_row(st, {r[3], r[4], r[5], r[6], r[7], r[8]});
    }
}

// IF97 Table 33: region 3 at (T, rho), then p in MPa, h, u, s, cp, w; solving back for the
// density from (T, p) must land on the same state.
TEST(WaterIf97, ReleaseTableRegion3AndDensitySolve) {
    const double rows[][8] = {
        {650, 500, 0.255837018e2, 0.186343019e4, 0.181226279e4, 0.405427273e1, 0.138935717e2,
         0.502005554e3},
        {650, 200, 0.222930643e2, 0.237512401e4, 0.226365868e4, 0.485438792e1, 0.446579342e2,
         0.383444594e3},
        {750, 500, 0.783095639e2, 0.225868845e4, 0.210206932e4, 0.446971906e1, 0.634165359e1,
         0.760696041e3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "T=" << r[0] << " rho=" << r[1]);
        w::State st;
        ASSERT_EQ(w::region3_tv(r[0], M / r[1], st), w::Status::ok);
        expect_sig9(st.p * 1e-6, r[2], "p");
        expect_row(st, {1 / r[1], r[3], r[4], r[5], r[6], r[7]});
        const w::State back = at(r[0], st.p);
        EXPECT_EQ(back.region, w::Region::r3);
        EXPECT_NEAR(M / back.v, r[1], 1e-8 * r[1]);
    }
}

// IF97 Tables 35, 36 and the B23 check value.
TEST(WaterIf97, SaturationLineAndB23) {
    for (const auto& [t, p] :
         Pairs{{300.0, 0.353658941e-2}, {500.0, 0.263889776e1}, {600.0, 0.123443146e2}})
        expect_sig9(psat(t) * 1e-6, p, "psat");
    for (const auto& [p, t] :
         Pairs{{0.1, 0.372755919e3}, {1.0, 0.453035632e3}, {10.0, 0.584149488e3}}) {
        double got = 0.0;
        ASSERT_EQ(w::saturation_temperature(p * 1e6, got), w::Status::ok);
        expect_sig9(got, t, "tsat");
    }
    expect_sig9(w::b23_pressure(623.15) * 1e-6, 0.165291643e2, "p_b23");
    expect_sig9(w::b23_temperature(0.165291643e8), 0.623150000e3, "t_b23");
}

TEST(WaterIf97, RegionSelection) {
    const double ps500 = psat(500.0), ps640 = psat(640.0), pb700 = w::b23_pressure(700.0);
    const double cases[][3] = {
        {500, ps500 * 1.001, 1}, {500, ps500 * 0.999, 2}, {650, 25e6, 3},
        {700, pb700 * 0.999, 2}, {700, pb700 * 1.001, 3}, {870, 90e6, 2},
        {1073.15, 90e6, 2},      {1073.2, 40e6, 5},       {273.15, 1e6, 1},
        {640, ps640 * 0.99, 3},  {640, ps640 * 1.01, 3},
    };
    for (const auto& c : cases) {
        w::Region r = w::Region::none;
        ASSERT_EQ(w::region_at(c[0], c[1], r), w::Status::ok) << c[0] << " " << c[1];
        EXPECT_EQ(r, static_cast<w::Region>(c[2])) << c[0] << " " << c[1];
    }
}

// The ideal gas at 298.15 K has H = 0 and, at 101325 Pa, S = 0 (extrapolated to P = 0, IF97's
// R = 461.526 J/(kg K)). CODATA: vaporisation to the ideal gas at 25 C takes 44.004 kJ/mol,
// S(gas, 1 bar) - S(liquid) = 188.835 - 69.95 J/(mol K); at 100 C Hvap is 40.66 kJ/mol.
TEST(WaterIf97, HostReferenceAgreesWithCodata) {
    const double r = 461.526 * M;
    const w::State a = at(298.15, 1.0), b = at(298.15, 10.0);
    EXPECT_NEAR((10.0 * a.h - b.h) / 9.0, 0.0, 1e-3);
    const double sa = a.s - r * std::log(101325.0), sb = b.s - r * std::log(101325.0 / 10.0);
    EXPECT_NEAR((10.0 * sa - sb) / 9.0, 0.0, 1e-3);
    const w::State liq = at(298.15, 101325.0);
    EXPECT_NEAR(liq.h, -44.004e6, 0.03e6);
    EXPECT_NEAR(liq.s, -(188.835e3 - 8314.462618 * std::log(1.01325) - 69.95e3), 0.1e3);
    const double ps = psat(373.15);
    EXPECT_NEAR(at(373.15, 0.98 * ps).h - at(373.15, 1.02 * ps).h, 40.66e6, 0.1e6);
    // The IF97 ideal gas lies about 2548 kJ/kg and 6.962 kJ/(kg K) off the triple-point liquid.
    EXPECT_NEAR(-w::enthalpy_offset() / M, 2548.0e3, 1.0e3);
    EXPECT_NEAR(-w::entropy_offset() / M, 6962.0, 1.0);
}

// A chosen phase is metastable where need be (superheated liquid, supersaturated steam, the
// two region-3 roots below Tc), none past the spinodal, one fluid above Tc.
TEST(WaterIf97, ChosenPhase) {
    const auto L = w::PhaseChoice::liquid, V = w::PhaseChoice::vapour;
    const double ps100 = psat(373.15), ps640 = psat(640.0), none = 0;
    const std::tuple<double, double, w::PhaseChoice, double> cases[] = {
        {373.15, 0.98 * ps100, L, 1}, {373.15, 1.02 * ps100, V, 2}, {640.0, 0.995 * ps640, L, 3},
        {640.0, 1.005 * ps640, V, 3}, {700.0, 50e6, V, 3},          {300.0, 50e6, V, none},
        {640.0, 60e6, V, none},
    };
    for (const auto& [t, p, choice, region] : cases) {
        w::State st;
        const w::Status s = w::properties_as(t, p, choice, st);
        EXPECT_EQ(s, region == none ? w::Status::no_solution : w::Status::ok) << t << " " << p;
        if (s != w::Status::ok) continue;
        EXPECT_EQ(st.region, static_cast<w::Region>(region)) << t << " " << p;
        EXPECT_EQ(st.phase, t > w::t_crit ? w::Phase::supercritical
                            : choice == L ? w::Phase::liquid
                                          : w::Phase::vapour);
    }
}

// Bad input and out-of-range states fail without touching the outputs.
TEST(Water, GuardsRejectBadInputWithoutTouchingOutput) {
    const double nan = NAN, inf = INFINITY;
    const auto B = w::Status::bad_input, R = w::Status::out_of_range;
    const struct {
        double t, p;
        w::Status want;
    } cases[] = {{nan, 1e5, B}, {300, nan, B},   {-300, 1e5, B}, {300, 0.0, B},   {300, -1e5, B},
                 {inf, 1e5, B}, {273.0, 1e5, R}, {2300, 1e5, R}, {500, 101e6, R}, {1500, 60e6, R}};
    for (const auto& c : cases) {
        w::State st;
        st.h = 12345.0;
        w::Region r = w::Region::r4;
        EXPECT_EQ(w::properties(c.t, c.p, st), c.want) << c.t << " " << c.p;
        EXPECT_EQ(w::properties_as(c.t, c.p, w::PhaseChoice::liquid, st), c.want);
        EXPECT_EQ(w::region_at(c.t, c.p, r), c.want);
        EXPECT_TRUE(st.h == 12345.0 && r == w::Region::r4);
    }
    double x = 7.0;
    w::State st;
    const std::pair<w::Status, w::Status> calls[] = {
        {w::saturation_pressure(nan, x), B},
        {w::saturation_pressure(650.0, x), R},
        {w::saturation_temperature(23e6, x), R},
        {w::region3_tv(650.0, nan, st), B},
        {w::region3_tv(900.0, M / 500.0, st), R},
        {w::viscosity_tv(nan, 0.018, x), B},
        {w::viscosity_tv(300.0, 0.0, x), B},
        {w::viscosity_tv(1200.0, 0.018, x), R},
        {w::viscosity_tv(250.0, 0.018, x), R},
        {w::thermal_conductivity_tv(300.0, nan, x), B},
        {w::viscosity(300.0, nan, x), B},
        {w::thermal_conductivity(300.0, 200e6, x), R},
        {w::thermal_conductivity(1500.0, 1e6, x), R},
        {w::surface_tension(nan, x), B},
        {w::surface_tension(650.0, x), R},
        {w::surface_tension(240.0, x), R},
    };
    for (std::size_t i = 0; i < std::size(calls); ++i)
        EXPECT_EQ(calls[i].first, calls[i].second) << "call " << i;
    EXPECT_EQ(x, 7.0);
}

// R12-08 Table 4 without the critical enhancement, micro-Pa s; R15-11 background in mW/(m K)
// (density 0: the dilute limit). Both at (T, rho).
TEST(WaterTransport, ViscosityAndConductivityReleaseTables) {
    const double mu_rows[][3] = {
        {298.15, 998, 889.735100}, {298.15, 1200, 1437.649467}, {373.15, 1000, 307.883622},
        {433.15, 1, 14.538324},    {433.15, 1000, 217.685358},  {873.15, 1, 32.619287},
        {873.15, 100, 35.802262},  {873.15, 600, 77.430195},    {1173.15, 1, 44.217245},
        {1173.15, 100, 47.640433}, {1173.15, 400, 64.154608},
    };
    for (const auto& r : mu_rows) {
        double mu = 0.0;
        ASSERT_EQ(w::viscosity_tv(r[0], M / r[1], mu), w::Status::ok);
        expect_decimals(mu * 1e6, r[2], 6, "mu");
    }
    const double k_rows[][3] = {
        {298.15, 0.0, 18.4341883},
        {298.15, 998, 607.712868},
        {298.15, 1200, 799.038144},
        {873.15, 0.0, 79.1034659},
    };
    for (const auto& r : k_rows) {
        double lambda = 0.0;
        ASSERT_EQ(w::thermal_conductivity_tv(r[0], M / (r[1] > 0 ? r[1] : 1e-12), lambda),
                  w::Status::ok);
        expect_decimals(lambda * 1e3, r[2], r[2] < 100 ? 7 : 6, "lambda");
    }
    // The (T, P) forms go through the IF97 density: liquid at 25 C and 1 atm has 0.890 mPa s
    // and 0.607 W/(m K).
    double a = 0.0, b = 0.0;
    ASSERT_EQ(w::viscosity(450.0, 5e6, a), w::Status::ok);
    ASSERT_EQ(w::viscosity_tv(450.0, at(450.0, 5e6).v, b), w::Status::ok);
    EXPECT_EQ(a, b);
    ASSERT_EQ(w::viscosity(298.15, 101325.0, a), w::Status::ok);
    ASSERT_EQ(w::thermal_conductivity(298.15, 101325.0, b), w::Status::ok);
    EXPECT_TRUE(std::fabs(a - 0.890e-3) < 0.001e-3 && std::fabs(b - 0.607) < 0.002) << a << b;
}

// R15-11 for industrial use: with the critical enhancement from IF97 states, mW/(m K); the
// last two are region-3 states at (T, rho). Far from the critical point the enhancement is nil.
TEST(WaterTransport, ConductivityIndustrialReleaseValues) {
    const double tp[][3] = {
        {620, 20e6, 481.485195},
        {620, 50e6, 545.038940},
        {650, 0.3e6, 52.2311024},
        {800, 50e6, 177.709914},
    };
    for (const auto& r : tp) {
        double lambda = 0.0;
        ASSERT_EQ(w::thermal_conductivity(r[0], r[1], lambda), w::Status::ok);
        expect_decimals(lambda * 1e3, r[2], r[2] < 100 ? 7 : 6, "lambda(T,p)");
    }
    const double trho[][3] = {{647.35, 222, 366.879411}, {647.35, 322, 1241.82415}};
    for (const auto& r : trho) {
        w::State st;
        ASSERT_EQ(w::region3_tv(r[0], M / r[1], st), w::Status::ok);
        double lambda = 0.0;
        ASSERT_EQ(w::thermal_conductivity(st, lambda), w::Status::ok);
        expect_decimals(lambda * 1e3, r[2], r[2] > 1000 ? 5 : 6, "lambda(T,rho)");
    }
}

// R1-76(2014) table, mN/m to two decimals; zero at the critical temperature.
TEST(WaterTransport, SurfaceTensionReleaseTable) {
    const double rows[][2] = {
        {273.16, 75.65}, {283.15, 74.22}, {293.15, 72.74}, {303.15, 71.19}, {313.15, 69.60},
        {323.15, 67.94}, {333.15, 66.24}, {343.15, 64.48}, {353.15, 62.67}, {363.15, 60.82},
        {373.15, 58.91}, {393.15, 54.97}, {413.15, 50.86}, {433.15, 46.59}, {453.15, 42.19},
        {473.15, 37.67}, {523.15, 26.04}, {573.15, 14.36}, {623.15, 3.67},  {643.15, 0.39},
    };
    double sigma = 1.0;
    for (const auto& r : rows) {
        ASSERT_EQ(w::surface_tension(r[0], sigma), w::Status::ok);
        expect_decimals(sigma * 1e3, r[1], 2, "sigma");
    }
    ASSERT_EQ(w::surface_tension(w::t_crit, sigma), w::Status::ok);
    EXPECT_EQ(sigma, 0.0);
}

} // namespace
