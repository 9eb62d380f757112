// Heat of vaporization of every databank component, through libxif on the
// reference host, against the component's published HVAP correlation.
//
// libxif asks the host for the correlation's vapour pressure at T and takes
// the difference of the pure vapour and liquid enthalpies there. The sweep
// also evaluates the host's equation of state at its own saturation pressure
// (the pressure the T-vapour-fraction flash found), so that a deviation can
// be told apart: the vapour-pressure correlation against the equation's own
// saturation, or the equation's enthalpies themselves.
//
// Run with --gtest_filter='*Vapori*': the table of deviations is printed and
// each component's worst deviation recorded as a test property.
#include "stream.h"

#include "refhost/databank/databank.h"
#include <xif/host.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace xif::e2e {
namespace {

namespace db = xif::refhost::databank;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSweep[] = {0.5, 0.6, 0.7, 0.8, 0.9};
constexpr double kNearCritical[] = {0.95, 0.97, 0.98, 0.99, 0.995};
constexpr double kSetupTmin = 10.0; // K, the lowest temperature XIFHOST_STREAM takes

// Words 1 of the host's property-method group.
constexpr int64_t kPengRobinson = 1;
constexpr int64_t kWaterTables = 11;

struct Point {
    const db::Component* c = nullptr;
    double T = 0.0;          // K, nominal Tr times Tc clipped to the correlations' window
    int64_t flash = 0;       // status of the T-vapour-fraction flash at vf = 0
    double host = kNaN;      // J/kmol, XIF_HXBTHV of the bubble-point liquid
    double published = kNaN; // J/kmol, the HVAP correlation
    double p_ratio = kNaN;   // correlation vapour pressure / the equation's own
    double eos_sat = kNaN;   // J/kmol, Peng-Robinson at its own saturation pressure

    double tr() const { return T / c->tc; }
    double deviation() const { return host / published - 1.0; }
    double eos_deviation() const { return eos_sat / published - 1.0; }
};

// Where the comparison means something: inside the HVAP and vapour-pressure
// rows, above the melting point, below the critical temperature of both the
// constants (the equation's) and the HVAP row.
bool window(const db::Component& c, double& lo, double& hi) {
    lo = std::max({c.hvap.tmin, c.psat.tmin, c.tm});
    hi = std::min({c.hvap.tmax, c.psat.tmax, c.tc, c.hvap.tc > 0.0 ? c.hvap.tc : c.tc});
    hi *= 0.999; // the HVAP row vanishes at its upper bound
    return c.hvap.present() && c.psat.present() && lo < hi;
}

// Vapour minus liquid enthalpy of host component `k` from the host's own
// pure-component monitors at (T, P), with `method` in word 1.
double monitor_difference(double T, double P, int64_t method, int64_t k = 1) {
    const int64_t one = 1, yes = 1, no = 0;
    const int64_t G[6] = {method, 1, 0, 0, kWaterTables, 0};
    double r[2][10] = {};
    int64_t err[2] = {-1, -1};
    EVAL_VTHRM(&T, &P, &one, &k, G, nullptr, nullptr, &no, &yes, &no, &no, &no, &r[0][0], &r[0][1],
               &r[0][2], &r[0][3], &r[0][4], &r[0][5], &r[0][6], &r[0][7], &r[0][8], &r[0][9],
               &err[0]);
    EVAL_LTHRM(&T, &P, &one, &k, G, nullptr, nullptr, &no, &yes, &no, &no, &no, &r[1][0], &r[1][1],
               &r[1][2], &r[1][3], &r[1][4], &r[1][5], &r[1][6], &r[1][7], &r[1][8], &r[1][9],
               &err[1]);
    return err[0] == 0 && err[1] == 0 ? r[0][1] - r[1][1] : kNaN;
}

// One point: the pure component's bubble-point liquid at T and the heat of
// vaporization libxif answers for it. `water_switch` < 0 keeps the
// recommended option.
Point measure(const db::Component& c, double T, int64_t water_switch = -1) {
    Point p;
    p.c = &c;
    p.T = T;
    p.published = c.hvap.eval(T);
    const double p_corr = c.psat.eval(T);
    // Opened as a plain gas; below 10 K (liquid helium) only the flash goes.
    Stream s({c.id}, {1.0}, std::max(T, kSetupTmin), std::max(0.5 * p_corr, 1.0));
    if (water_switch >= 0) XIF_HXIPP.word[9] = water_switch;
    p.flash = s.flash(5, T, 0.0);
    if (p.flash != 1) return p;
    p.host = s.get(XIF_HXBTHV, 4);
    p.p_ratio = p_corr / s.P();
    p.eos_sat = monitor_difference(T, s.P(), kPengRobinson);
    return p;
}

// Every component at the nominal reduced temperatures `trs`; points that
// clip onto the one before are dropped, and a component without a window
// gets one empty point.
template <size_t N> std::vector<Point> run(const double (&trs)[N]) {
    std::vector<Point> out;
    for (const db::Component& c : db::all()) {
        double lo = 0.0, hi = 0.0;
        if (!window(c, lo, hi)) {
            out.push_back(Point{&c});
            continue;
        }
        double last = 0.0;
        for (double tr : trs) {
            const double T = std::clamp(tr * c.tc, lo, hi);
            if (T == last) continue;
            last = T;
            out.push_back(measure(c, T));
        }
    }
    return out;
}

const std::vector<Point>& sweep() {
    static const std::vector<Point> points = run(kSweep);
    return points;
}

void print_table(const char* title, const std::vector<Point>& points) {
    std::printf("\n%s\n", title);
    std::printf("%-9s %9s %7s %12s %12s %8s %9s %9s %s\n", "id", "T/K", "T/Tc", "XIF J/kmol",
                "corr J/kmol", "dev %", "Pcor/Peos", "EOS dev%", "flash");
    for (const Point& p : points) {
        if (p.T == 0.0) {
            std::printf("%-9s no window inside the correlations\n", p.c->id.c_str());
            continue;
        }
        std::printf("%-9s %9.3f %7.4f %12.5g %12.5g %8.2f %9.4f %9.2f %lld\n", p.c->id.c_str(), p.T,
                    p.tr(), p.host, p.published, 100.0 * p.deviation(), p.p_ratio,
                    100.0 * p.eos_deviation(), static_cast<long long>(p.flash));
    }
}

// Bounds on |deviation| by component family, from the measured sweep with a
// margin: at the low end (Tr < 0.55), over Tr 0.55-0.85, and near the
// critical point (Tr 0.9). The cubic equation's generalized alpha function
// fits non-polar vapour-pressure slopes; hydrogen-bonded liquids, the quantum
// fluids and ethylene glycol (whose acentric factor of 0.619 other tables put
// at 0.48-0.53) it fits worse. Acetic acid's correlation is the heat to its
// dimerized vapour; the equation's vapour is monomer, so the host answers
// the larger heat that includes breaking the dimers.
struct Family {
    const char* name;
    std::vector<std::string_view> ids;
    double low, mid, near_critical;
};

const std::vector<Family>& families() {
    static const std::vector<Family> f = {
        {"hydrogen-bonded", {"MEOH", "ETOH", "NPROH", "IPROH", "NBUOH", "NH3"}, 0.12, 0.10, 0.08},
        {"quantum fluids", {"H2", "HE"}, 0.10, 0.065, 0.10},
        {"ethylene glycol", {"MEG"}, 0.05, 0.10, 0.13},
        {"associating vapour", {"ACETACID"}, 0.90, 0.75, 0.20},
        {"water (steam tables)", {"WATER"}, 0.005, 0.005, 0.005},
    };
    return f;
}
const Family kNonPolar{"non-polar and polar aprotic", {}, 0.045, 0.03, 0.05};

const Family& family_of(const db::Component& c) {
    for (const Family& f : families())
        if (std::find(f.ids.begin(), f.ids.end(), c.id) != f.ids.end()) return f;
    return kNonPolar;
}

double bound(const Family& f, double tr) {
    return tr < 0.55 ? f.low : tr < 0.85 ? f.mid : f.near_critical;
}

// The worst |deviation| of a component over [tr_lo, tr_hi); 1 for a point
// without an answer.
double worst(const db::Component& c, double tr_lo, double tr_hi) {
    double w = 0.0;
    for (const Point& p : sweep())
        if (p.c == &c && p.T > 0.0 && p.tr() >= tr_lo && p.tr() < tr_hi)
            w = std::max(w, std::isfinite(p.host) ? std::abs(p.deviation()) : 1.0);
    return w;
}

TEST(VaporizationSweep, EveryComponentIsSweptAndAnswers) {
    ASSERT_EQ(db::load_error(), "");
    ASSERT_EQ(static_cast<size_t>(XIFHOST_DATABANK_SIZE()), db::all().size());
    print_table("Heat of vaporization through XIF_HXBTHV against the HVAP correlation", sweep());
    for (const db::Component& c : db::all()) {
        int n = 0;
        for (const Point& p : sweep()) {
            if (p.c != &c || p.T == 0.0) continue;
            ++n;
            EXPECT_EQ(p.flash, 1) << c.id << " at " << p.T << " K";
            EXPECT_TRUE(std::isfinite(p.host) && p.host > 0.0) << c.id << " at " << p.T << " K";
        }
        // Five points unless the window clipped some onto one another.
        EXPECT_GE(n, 3) << c.id;
        char text[96];
        std::snprintf(text, sizeof text, "max |dev| %.2f %% at Tr 0.5-0.8, %.2f %% at 0.9",
                      100.0 * worst(c, 0.0, 0.85), 100.0 * worst(c, 0.85, 1.0));
        ::testing::Test::RecordProperty("hvap_" + c.id, text);
    }
}

TEST(VaporizationSweep, WithinTheFamilyBounds) {
    double sum = 0.0;
    int n = 0;
    for (const Point& p : sweep()) {
        if (p.T == 0.0) continue;
        const Family& f = family_of(*p.c);
        EXPECT_LT(std::abs(p.deviation()), bound(f, p.tr()))
            << p.c->id << " (" << f.name << ") at " << p.T << " K, Tr " << p.tr();
        if (p.c->id == "ACETACID") {
            EXPECT_GT(p.deviation(), 0.0) << "at " << p.T << " K";
        }
        if (&f == &kNonPolar && p.tr() >= 0.55 && p.tr() < 0.85) {
            sum += std::abs(p.deviation());
            ++n;
        }
    }
    // A small bias across the whole family shows as a mean no single bound sees.
    ASSERT_GT(n, 60);
    EXPECT_LT(sum / n, 0.015) << "mean |deviation| of " << n << " points";
}

// With the water switch on (recommended) pure water is answered by the
// steam tables, both phases; with it off, by Peng-Robinson.
TEST(VaporizationSweep, WaterIsAnsweredByTheSteamTables) {
    const db::Component* water = db::find("WATER");
    ASSERT_NE(water, nullptr);
    std::printf("\nWATER through XIF_HXBTHV: dev %% from the HVAP correlation\n%9s %9s %9s\n",
                "T/K", "tables", "PR");
    for (const double tr : kSweep) {
        const double T = tr * water->tc;
        const double p_corr = water->psat.eval(T);
        const Point tables = measure(*water, T);
        ASSERT_EQ(tables.flash, 1) << T;
        EXPECT_NEAR(tables.host / monitor_difference(T, p_corr, kWaterTables), 1.0, 1e-9) << T;
        const Point eos = measure(*water, T, 0);
        ASSERT_EQ(eos.flash, 1) << T;
        EXPECT_NEAR(eos.host / monitor_difference(T, p_corr, kPengRobinson), 1.0, 1e-9) << T;
        std::printf("%9.3f %9.2f %9.2f\n", T, 100.0 * tables.deviation(), 100.0 * eos.deviation());
        // The steam tables follow the correlation far closer than the equation.
        EXPECT_LT(std::abs(tables.deviation()), std::abs(eos.deviation())) << T;
        EXPECT_LT(std::abs(eos.deviation()), 0.06) << T;
    }
    // IAPWS-95 at the normal boiling point: 2256.4 kJ/kg.
    const Point tb = measure(*water, 373.124);
    EXPECT_NEAR(tb.host / (2256.4e3 * 18.01528), 1.0, 2e-3);
}

// A liquid mixture: each component's difference at its own vapour pressure,
// weighted by its mole fraction in the liquid.
TEST(VaporizationSweep, MixtureWeighsEachComponentAtItsOwnVapourPressure) {
    const db::Component* a = db::find("NC6");
    const db::Component* b = db::find("TOLUENE");
    ASSERT_TRUE(a && b);
    const double T = 350.0;
    Stream s({a->id, b->id}, {0.3, 0.7}, T, 5000.0);
    ASSERT_EQ(s.flash(5, T, 0.0), 1);
    const double expected = 0.3 * monitor_difference(T, a->psat.eval(T), kPengRobinson, 1) +
                            0.7 * monitor_difference(T, b->psat.eval(T), kPengRobinson, 2);
    // First liquid, total liquid, whole stream on a mass basis; a vapour has none.
    EXPECT_NEAR(s.get(XIF_HXBTHV, 4) / expected, 1.0, 1e-9);
    EXPECT_NEAR(s.get(XIF_HXBTHV, 3) / expected, 1.0, 1e-9);
    EXPECT_NEAR(s.get(XIF_HXBTHV, 1, 1) / (expected / (0.3 * a->mw + 0.7 * b->mw)), 1.0, 1e-9);
    EXPECT_TRUE(std::isnan(s.get(XIF_HXBTHV, 2)));
}

// Close to the critical point the correlation's vapour pressure can fall
// outside the pressures where the cubic equation has both a liquid and a
// vapour root (ethylene glycol from Tr 0.97, twenty more points at Tr
// 0.99-0.995). The host then evaluates the missing phase at the equation's
// own saturation pressure; answering the single root for both phases would
// make the heat of vaporization exactly 0.
TEST(VaporizationSweep, NearTheCriticalPointNeverZero) {
    const std::vector<Point> points = run(kNearCritical);
    print_table("Heat of vaporization near the critical point", points);
    for (const Point& p : points) {
        if (p.T == 0.0) continue;
        EXPECT_EQ(p.flash, 1) << p.c->id << " at " << p.T << " K";
        EXPECT_GT(p.host, 0.0) << p.c->id << " at " << p.T << " K, Tr " << p.tr() << ", Pcorr/Peos "
                               << p.p_ratio;
    }
}

} // namespace
} // namespace xif::e2e
