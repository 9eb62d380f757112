// IF97 thermodynamics of the water tables: the release's own verification
// values, region selection, the host reference shift, the chosen-phase
// evaluation and the input guards.
#include "refhost/water/water.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace w = xif::refhost::water;

namespace {

constexpr double M = w::molar_mass;

// The release's tables give nine significant digits: agree to half a unit in
// the last of them.
void expect_sig9(double x, double ref, const char* what) {
    const double ulp = std::pow(10.0, std::floor(std::log10(std::fabs(ref))) - 8);
    EXPECT_NEAR(x, ref, 0.5 * ulp * 1.001) << what;
}

// A state back in the release's units and reference (per kg, kJ, MPa).
struct If97Row {
    double v, h, u, s, cp, w;
};

If97Row to_release(const w::State& st) {
    const double h = (st.h - w::enthalpy_offset()) / M;
    const double s = (st.s - w::entropy_offset()) / M;
    const double v = st.v / M;
    return {v, h * 1e-3, (h - st.p * v) * 1e-3, s * 1e-3, st.cp / M * 1e-3, st.w};
}

void expect_row(const w::State& st, const If97Row& ref) {
    const If97Row got = to_release(st);
    expect_sig9(got.v, ref.v, "v");
    expect_sig9(got.h, ref.h, "h");
    expect_sig9(got.u, ref.u, "u");
    expect_sig9(got.s, ref.s, "s");
    expect_sig9(got.cp, ref.cp, "cp");
    expect_sig9(got.w, ref.w, "w");
}

struct TpCase {
    double t, p_mpa;
    w::Region region;
    If97Row ref;
};

// IF97 Table 5 (region 1), Table 15 (region 2), Table 42 (region 5).
const TpCase tp_cases[] = {
    {300,
     3,
     w::Region::r1,
     {0.100215168e-2, 0.115331273e3, 0.112324818e3, 0.392294792, 0.417301218e1, 0.150773921e4}},
    {300,
     80,
     w::Region::r1,
     {0.971180894e-3, 0.184142828e3, 0.106448356e3, 0.368563852, 0.401008987e1, 0.163469054e4}},
    {500,
     3,
     w::Region::r1,
     {0.120241800e-2, 0.975542239e3, 0.971934985e3, 0.258041912e1, 0.465580682e1, 0.124071337e4}},
    {300,
     0.0035,
     w::Region::r2,
     {0.394913866e2, 0.254991145e4, 0.241169160e4, 0.852238967e1, 0.191300162e1, 0.427920172e3}},
    {700,
     0.0035,
     w::Region::r2,
     {0.923015898e2, 0.333568375e4, 0.301262819e4, 0.101749996e2, 0.208141274e1, 0.644289068e3}},
    {700,
     30,
     w::Region::r2,
     {0.542946619e-2, 0.263149474e4, 0.246861076e4, 0.517540298e1, 0.103505092e2, 0.480386523e3}},
    {1500,
     0.5,
     w::Region::r5,
     {0.138455090e1, 0.521976855e4, 0.452749310e4, 0.965408875e1, 0.261609445e1, 0.917068690e3}},
    {1500,
     30,
     w::Region::r5,
     {0.230761299e-1, 0.516723514e4, 0.447495124e4, 0.772970133e1, 0.272724317e1, 0.928548002e3}},
    {2000,
     30,
     w::Region::r5,
     {0.311385219e-1, 0.657122604e4, 0.563707038e4, 0.853640523e1, 0.288569882e1, 0.106736948e4}},
};

TEST(WaterIf97, ReleaseTablesRegions1_2_5) {
    for (const TpCase& c : tp_cases) {
        SCOPED_TRACE(testing::Message() << "T=" << c.t << " p=" << c.p_mpa);
        w::State st;
        ASSERT_EQ(w::properties(c.t, c.p_mpa * 1e6, st), w::Status::ok);
        EXPECT_EQ(st.region, c.region);
        expect_row(st, c.ref);
    }
}

// IF97 Table 33: region 3 at given (T, rho); p is the answer there. Solving
// back for the density from (T, p) must land on the same state.
TEST(WaterIf97, ReleaseTableRegion3AndDensitySolve) {
    struct Case {
        double t, rho, p_mpa;
        If97Row ref;
    };
    const Case cases[] = {
        {650,
         500,
         0.255837018e2,
         {M / 500.0 / M, 0.186343019e4, 0.181226279e4, 0.405427273e1, 0.138935717e2,
          0.502005554e3}},
        {650,
         200,
         0.222930643e2,
         {M / 200.0 / M, 0.237512401e4, 0.226365868e4, 0.485438792e1, 0.446579342e2,
          0.383444594e3}},
        {750,
         500,
         0.783095639e2,
         {M / 500.0 / M, 0.225868845e4, 0.210206932e4, 0.446971906e1, 0.634165359e1,
          0.760696041e3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "T=" << c.t << " rho=" << c.rho);
        w::State st;
        ASSERT_EQ(w::region3_tv(c.t, M / c.rho, st), w::Status::ok);
        expect_sig9(st.p * 1e-6, c.p_mpa, "p");
        expect_row(st, c.ref);

        w::State back;
        ASSERT_EQ(w::properties(c.t, st.p, back), w::Status::ok);
        EXPECT_EQ(back.region, w::Region::r3);
        EXPECT_NEAR(M / back.v, c.rho, 1e-8 * c.rho);
        EXPECT_NEAR(back.h, st.h, 1e-9 * std::fabs(st.h));
    }
}

TEST(WaterIf97, SaturationLineTables35And36) {
    const double tp[][2] = {{300, 0.353658941e-2}, {500, 0.263889776e1}, {600, 0.123443146e2}};
    for (const auto& c : tp) {
        double p = 0.0;
        ASSERT_EQ(w::saturation_pressure(c[0], p), w::Status::ok);
        expect_sig9(p * 1e-6, c[1], "psat");
    }
    const double pt[][2] = {{0.1, 0.372755919e3}, {1, 0.453035632e3}, {10, 0.584149488e3}};
    for (const auto& c : pt) {
        double t = 0.0;
        ASSERT_EQ(w::saturation_temperature(c[0] * 1e6, t), w::Status::ok);
        expect_sig9(t, c[1], "tsat");
    }
    // The two directions invert each other along the whole line.
    for (double t = 275.0; t < w::t_crit; t += 37.0) {
        double p = 0.0;
        double back = 0.0;
        ASSERT_EQ(w::saturation_pressure(t, p), w::Status::ok);
        ASSERT_EQ(w::saturation_temperature(p, back), w::Status::ok);
        EXPECT_NEAR(back, t, 1e-6) << t;
    }
}

TEST(WaterIf97, B23BoundaryAndRegionSelection) {
    expect_sig9(w::b23_pressure(623.15) * 1e-6, 0.165291643e2, "p_b23");
    expect_sig9(w::b23_temperature(0.165291643e8), 0.623150000e3, "t_b23");

    double psat500 = 0.0;
    ASSERT_EQ(w::saturation_pressure(500.0, psat500), w::Status::ok);
    const double pb700 = w::b23_pressure(700.0);
    struct Case {
        double t, p;
        w::Region region;
    };
    const Case cases[] = {
        {500, psat500 * 1.001, w::Region::r1},
        {500, psat500 * 0.999, w::Region::r2},
        {650, 25e6, w::Region::r3},
        {700, pb700 * 0.999, w::Region::r2},
        {700, pb700 * 1.001, w::Region::r3},
        {870, 90e6, w::Region::r2},
        {1073.15, 90e6, w::Region::r2},
        {1073.2, 40e6, w::Region::r5},
        {273.15, 1e6, w::Region::r1},
    };
    for (const Case& c : cases) {
        w::Region r = w::Region::none;
        ASSERT_EQ(w::region_at(c.t, c.p, r), w::Status::ok) << c.t << " " << c.p;
        EXPECT_EQ(r, c.region) << c.t << " " << c.p;
    }
}

// The regions meet with the release's stated consistency: crossing a
// boundary must not jump by more than a small fraction.
TEST(WaterIf97, RegionsJoinAtBoundaries) {
    struct Pair {
        double t1, p1, t2, p2;
    };
    const double pb = w::b23_pressure(700.0);
    const Pair pairs[] = {
        {623.15, 50e6, 623.15 + 1e-7, 50e6},              // 1 | 3
        {700.0, pb * (1 - 1e-9), 700.0, pb * (1 + 1e-9)}, // 2 | 3
        {1073.15, 30e6, 1073.15 + 1e-7, 30e6},            // 2 | 5
    };
    for (const Pair& q : pairs) {
        w::State a;
        w::State b;
        ASSERT_EQ(w::properties(q.t1, q.p1, a), w::Status::ok);
        ASSERT_EQ(w::properties(q.t2, q.p2, b), w::Status::ok);
        EXPECT_NE(a.region, b.region);
        EXPECT_NEAR(a.v, b.v, 2e-3 * a.v) << q.t1;
        EXPECT_NEAR(a.h, b.h, 2e-3 * std::fabs(a.h - w::enthalpy_offset())) << q.t1;
    }
}

// cp is dH/dT at constant P and dvdp_t is dv/dP at constant T; check both
// against finite differences in every region, region 3 through the solver.
TEST(WaterIf97, DerivativesMatchFiniteDifferences) {
    const double pts[][2] = {{350, 5e6}, {600, 1e5}, {660, 30e6}, {640, 25e6}, {1500, 10e6}};
    for (const auto& q : pts) {
        const double t = q[0];
        const double p = q[1];
        w::State c, tp, tm, pp, pm;
        ASSERT_EQ(w::properties(t, p, c), w::Status::ok);
        const double dt = 1e-3;
        const double dp = 1e-5 * p;
        ASSERT_EQ(w::properties(t + dt, p, tp), w::Status::ok);
        ASSERT_EQ(w::properties(t - dt, p, tm), w::Status::ok);
        ASSERT_EQ(w::properties(t, p + dp, pp), w::Status::ok);
        ASSERT_EQ(w::properties(t, p - dp, pm), w::Status::ok);
        EXPECT_NEAR((tp.h - tm.h) / (2 * dt), c.cp, 1e-5 * c.cp) << t << " " << p;
        EXPECT_NEAR((pp.v - pm.v) / (2 * dp), c.dvdp_t, 1e-5 * std::fabs(c.dvdp_t)) << t;
        // s(T) at constant P: dS/dT = cp/T.
        EXPECT_NEAR((tp.s - tm.s) / (2 * dt), c.cp / t, 1e-5 * c.cp / t) << t;
        EXPECT_GT(c.cp, c.cv);
    }
}

TEST(WaterIf97, ReferenceShiftIdealGasAt298IsZero) {
    // At a few pascal steam departs from the ideal gas only through its
    // second virial coefficient, linearly in P: extrapolate to P = 0.
    // IF97's own gas constant: 461.526 J/(kg K) on M = 18.015268.
    const double r = 461.526 * M;
    w::State a, b;
    ASSERT_EQ(w::properties(298.15, 1.0, a), w::Status::ok);
    ASSERT_EQ(w::properties(298.15, 10.0, b), w::Status::ok);
    EXPECT_EQ(a.region, w::Region::r2);
    EXPECT_NEAR(a.h, 0.0, 10.0); // J/kmol, against |H| ~ 4.6e7 unshifted
    const double h0 = (10.0 * a.h - b.h) / 9.0;
    EXPECT_NEAR(h0, 0.0, 1e-3);
    // Entropy is zero for the ideal gas at 101325 Pa: undo R ln(P/101325).
    const double sa = a.s - r * std::log(101325.0 / 1.0);
    const double sb = b.s - r * std::log(101325.0 / 10.0);
    EXPECT_NEAR((10.0 * sa - sb) / 9.0, 0.0, 1e-3);
    // The offsets are those of the IF97 ideal gas, about 2548 kJ/kg and
    // 6.962 kJ/(kg K) off the triple-point liquid reference.
    EXPECT_NEAR(-w::enthalpy_offset() / M, 2548.0e3, 1.0e3);
    EXPECT_NEAR(-w::entropy_offset() / M, 6962.0, 1.0);
}

// Independent of IF97: CODATA gives the enthalpy of vaporisation to the
// ideal gas at 25 C as 44.004 kJ/mol and S(gas, 1 bar) - S(liquid) as
// 188.835 - 69.95 J/(mol K); liquid water at 298.15 K on the host reference
// must land there.
TEST(WaterIf97, LiquidAt298AgreesWithCodata) {
    w::State st;
    ASSERT_EQ(w::properties(298.15, 101325.0, st), w::Status::ok);
    EXPECT_EQ(st.phase, w::Phase::liquid);
    EXPECT_NEAR(st.h, -44.004e6, 0.03e6);
    const double s_gas_atm = 188.835e3 - 8314.462618 * std::log(101325.0 / 1e5);
    EXPECT_NEAR(st.s, -(s_gas_atm - 69.95e3), 0.1e3);
}

TEST(WaterIf97, ChosenPhaseGivesMetastableStates) {
    double psat = 0.0;
    ASSERT_EQ(w::saturation_pressure(373.15, psat), w::Status::ok);
    // Superheated liquid just below the saturation pressure continues the
    // stable liquid smoothly; supersaturated steam likewise.
    w::State liq, liq_stable, vap, vap_stable;
    ASSERT_EQ(w::properties_as(373.15, 0.98 * psat, w::PhaseChoice::liquid, liq), w::Status::ok);
    ASSERT_EQ(w::properties(373.15, 1.02 * psat, liq_stable), w::Status::ok);
    EXPECT_EQ(liq.region, w::Region::r1);
    EXPECT_EQ(liq.phase, w::Phase::liquid);
    EXPECT_NEAR(liq.h, liq_stable.h, 1e-5 * std::fabs(liq.h));
    ASSERT_EQ(w::properties_as(373.15, 1.02 * psat, w::PhaseChoice::vapour, vap), w::Status::ok);
    ASSERT_EQ(w::properties(373.15, 0.98 * psat, vap_stable), w::Status::ok);
    EXPECT_EQ(vap.region, w::Region::r2);
    EXPECT_EQ(vap.phase, w::Phase::vapour);
    EXPECT_NEAR(vap.v, vap_stable.v * 0.98 / 1.02, 0.01 * vap.v);
    // Heat of vaporisation at 100 C is 40.66 kJ/mol.
    EXPECT_NEAR(vap_stable.h - liq_stable.h, 40.66e6, 0.1e6);

    // Where the state already is in the chosen phase, nothing changes.
    w::State a, b;
    ASSERT_EQ(w::properties(300.0, 1e6, a), w::Status::ok);
    ASSERT_EQ(w::properties_as(300.0, 1e6, w::PhaseChoice::liquid, b), w::Status::ok);
    EXPECT_EQ(a.h, b.h);

    // Region 3 below the critical temperature: both roots around psat.
    const double t = 640.0;
    ASSERT_EQ(w::saturation_pressure(t, psat), w::Status::ok);
    w::State d, l;
    ASSERT_EQ(w::properties_as(t, psat * 0.995, w::PhaseChoice::liquid, d), w::Status::ok);
    ASSERT_EQ(w::properties_as(t, psat * 1.005, w::PhaseChoice::vapour, l), w::Status::ok);
    EXPECT_EQ(d.region, w::Region::r3);
    EXPECT_EQ(l.region, w::Region::r3);
    EXPECT_GT(d.mass_density(), w::rho_crit);
    EXPECT_LT(l.mass_density(), w::rho_crit);
    EXPECT_EQ(d.phase, w::Phase::liquid);
    EXPECT_EQ(l.phase, w::Phase::vapour);
    // Each root reproduces its pressure.
    w::State chk;
    ASSERT_EQ(w::region3_tv(t, d.v, chk), w::Status::ok);
    EXPECT_NEAR(chk.p, psat * 0.995, 1e-6 * psat);
    ASSERT_EQ(w::region3_tv(t, l.v, chk), w::Status::ok);
    EXPECT_NEAR(chk.p, psat * 1.005, 1e-6 * psat);

    // Steam compressed far past saturation has no state; neither does a
    // vapour root above the spinodal.
    w::State none;
    EXPECT_EQ(w::properties_as(300.0, 50e6, w::PhaseChoice::vapour, none), w::Status::no_solution);
    EXPECT_EQ(w::properties_as(t, 60e6, w::PhaseChoice::vapour, none), w::Status::no_solution);

    // Above the critical temperature there is one fluid.
    w::State sc;
    ASSERT_EQ(w::properties_as(700.0, 50e6, w::PhaseChoice::vapour, sc), w::Status::ok);
    EXPECT_EQ(sc.phase, w::Phase::supercritical);
}

// Every (T, P) inside the tables answers, with a physical state: the
// region-3 density solve in particular must converge everywhere, including
// around the critical point and next to the saturation line.
TEST(WaterIf97, WholeRangeAnswersPhysically) {
    int count = 0;
    for (double t = 273.15; t <= 2273.15; t += t < 600 || t > 900 ? 25.0 : 2.5) {
        for (double lp = 2.0; lp <= 8.0; lp += 0.05) {
            const double p = std::pow(10.0, lp);
            if (t > w::t_max_r2 && p > w::p_max_r5) continue;
            w::State st;
            ASSERT_EQ(w::properties(t, p, st), w::Status::ok) << t << " " << p;
            ASSERT_GT(st.v, 0.0);
            ASSERT_GT(st.cp, st.cv);
            ASSERT_GT(st.cv, 0.0);
            ASSERT_GT(st.w, 0.0);
            ASSERT_LT(st.dvdp_t, 0.0);
            ++count;
        }
    }
    EXPECT_GT(count, 5000);
    const double near_crit[][2] = {
        {647.1, 22.07e6}, {647.096, 22.064e6}, {648.0, 22.1e6}, {646.0, 21.9e6}, {647.0, 22.0e6}};
    for (const auto& q : near_crit) {
        w::State st;
        ASSERT_EQ(w::properties(q[0], q[1], st), w::Status::ok) << q[0] << " " << q[1];
        EXPECT_EQ(st.region, w::Region::r3);
    }
}

// Below the critical temperature, region 3 is split by the saturation line.
TEST(WaterIf97, Region3SidesOfSaturation) {
    double psat = 0.0;
    ASSERT_EQ(w::saturation_pressure(640.0, psat), w::Status::ok);
    ASSERT_GT(0.99 * psat, w::b23_pressure(640.0));
    w::State vap, liq;
    ASSERT_EQ(w::properties(640.0, 0.99 * psat, vap), w::Status::ok);
    ASSERT_EQ(w::properties(640.0, 1.01 * psat, liq), w::Status::ok);
    EXPECT_EQ(vap.region, w::Region::r3);
    EXPECT_EQ(liq.region, w::Region::r3);
    EXPECT_EQ(vap.phase, w::Phase::vapour);
    EXPECT_EQ(liq.phase, w::Phase::liquid);
    EXPECT_GT(vap.v, 2.0 * liq.v);
    EXPECT_GT(vap.h, liq.h);
}

// Whatever phase is asked for, the answer is either a physical state of
// that phase or no_solution, never nonsense.
TEST(WaterIf97, ChosenPhaseNeverAnswersNonsense) {
    for (double t = 273.15; t < w::t_crit; t += 7.5) {
        for (double lp = 3.0; lp <= 8.0; lp += 0.1) {
            const double p = std::pow(10.0, lp);
            for (w::PhaseChoice ph : {w::PhaseChoice::liquid, w::PhaseChoice::vapour}) {
                w::State st;
                const w::Status s = w::properties_as(t, p, ph, st);
                ASSERT_TRUE(s == w::Status::ok || s == w::Status::no_solution) << t << " " << p;
                if (s != w::Status::ok) continue;
                ASSERT_GT(st.cv, 0.0) << t << " " << p;
                ASSERT_GT(st.cp, st.cv) << t << " " << p;
                ASSERT_GT(st.w, 0.0) << t << " " << p;
                const bool dense = st.mass_density() > w::rho_crit;
                EXPECT_EQ(dense, ph == w::PhaseChoice::liquid) << t << " " << p;
            }
        }
    }
}

TEST(WaterIf97, GuardsRejectBadInputWithoutTouchingOutput) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double t, p;
        w::Status want;
    };
    const Case cases[] = {
        {nan, 1e5, w::Status::bad_input},      {300, nan, w::Status::bad_input},
        {-300, 1e5, w::Status::bad_input},     {300, 0.0, w::Status::bad_input},
        {300, -1e5, w::Status::bad_input},     {inf, 1e5, w::Status::bad_input},
        {273.0, 1e5, w::Status::out_of_range}, {2300, 1e5, w::Status::out_of_range},
        {500, 101e6, w::Status::out_of_range}, {1500, 60e6, w::Status::out_of_range},
    };
    for (const Case& c : cases) {
        w::State st;
        st.h = 12345.0;
        EXPECT_EQ(w::properties(c.t, c.p, st), c.want) << c.t << " " << c.p;
        EXPECT_EQ(st.h, 12345.0);
        EXPECT_EQ(w::properties_as(c.t, c.p, w::PhaseChoice::liquid, st), c.want);
        w::Region r = w::Region::r4;
        EXPECT_EQ(w::region_at(c.t, c.p, r), c.want);
        EXPECT_EQ(r, w::Region::r4);
    }
    double x = 7.0;
    EXPECT_EQ(w::saturation_pressure(nan, x), w::Status::bad_input);
    EXPECT_EQ(w::saturation_pressure(650.0, x), w::Status::out_of_range);
    EXPECT_EQ(w::saturation_temperature(23e6, x), w::Status::out_of_range);
    EXPECT_EQ(w::saturation_temperature(500.0, x), w::Status::out_of_range);
    EXPECT_EQ(x, 7.0);
    w::State st;
    EXPECT_EQ(w::region3_tv(650.0, nan, st), w::Status::bad_input);
    EXPECT_EQ(w::region3_tv(900.0, M / 500.0, st), w::Status::out_of_range);
}

} // namespace
