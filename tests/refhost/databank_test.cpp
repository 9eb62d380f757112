// Component databank: integrity of the compiled-in data, and its rows against published
// values and physical ranges.
#include "refhost/databank/databank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

namespace db = xif::refhost::databank;

namespace {

using C = db::Component;

const C& get(const char* id) {
    const C* c = db::find(id);
    if (!c) throw std::runtime_error(std::string("missing component ") + id);
    return *c;
}

} // namespace

TEST(DatabankLoad, EveryComponentIsCompleteAndIndexed) {
    ASSERT_EQ(db::load_error(), "");
    const auto comps = db::all();
    ASSERT_EQ(comps.size(), 40u);
    for (std::size_t i = 0; i < comps.size(); ++i) {
        const auto& c = comps[i];
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.index, i);
        EXPECT_EQ(db::find(c.id), &c);
        EXPECT_FALSE(c.name.empty() || c.cas.empty() || c.formula.empty());
        for (double v : {c.mw, c.tc, c.pc, c.vc, c.zc, c.tb, c.tm, c.vstd, c.lj_sigma, c.lj_eps_k})
            EXPECT_TRUE(std::isfinite(v) && v > 0.0);
        EXPECT_TRUE(std::isfinite(c.omega) && std::isfinite(c.dipole));
        EXPECT_NEAR(c.pc * c.vc / (db::r_gas * c.tc), c.zc, 0.01);
        for (auto p : {&C::psat, &C::rhol, &C::hvap, &C::cpl, &C::cpig, &C::mul, &C::muv, &C::kl,
                       &C::kv, &C::sigma})
            EXPECT_TRUE((c.*p).present());
    }
    EXPECT_EQ(db::find("NOPE"), nullptr);
    EXPECT_EQ(db::find(""), nullptr);
    EXPECT_EQ(db::find("water"), nullptr); // ids are exact
}

// Published values (README of the data package, NIST-JANAF, IAPWS-95; Lennard-Jones pairs
// of Hirschfelder, Curtiss and Bird).
TEST(PublishedValues, ConstantsAndRows) {
    const auto &w = get("WATER"), &ch4 = get("CH4"), &n2 = get("N2");
    EXPECT_DOUBLE_EQ(w.tc, 647.096);
    EXPECT_DOUBLE_EQ(w.pc, 22.064e6);
    EXPECT_DOUBLE_EQ(w.omega, 0.3443);
    EXPECT_DOUBLE_EQ(ch4.tc, 190.564);
    EXPECT_NEAR(w.psat.eval(373.15), 101261.0, 50.0);
    EXPECT_NEAR(w.rhol.eval(298.15), 55.34, 0.02);
    EXPECT_NEAR(w.hvap.eval(373.15) / 1e6, 40.80, 0.05);
    EXPECT_NEAR(w.cpl.eval(298.15) / 1e3, 75.38, 0.05);
    EXPECT_NEAR(w.kl.eval(298.15), 0.6063, 0.0005);
    EXPECT_NEAR(w.mul.eval(298.15), 0.890e-3, 0.03 * 0.890e-3); // IAPWS, DIPPR row +2.5 %
    EXPECT_NEAR(w.sigma.eval(298.15), 0.0720, 0.0015);
    EXPECT_NEAR(get("BENZENE").rhol.eval(298.15), 11.18, 0.02);
    EXPECT_NEAR(ch4.rhol.eval(ch4.tb), 26.34, 0.03);
    EXPECT_NEAR(ch4.cpl.eval(100.0) / 1e3, 54.9, 0.5); // 114 form
    EXPECT_NEAR(n2.muv.eval(300.0) * 1e6, 17.8, 0.1);
    EXPECT_NEAR(n2.kv.eval(300.0), 0.0256, 0.0003);
    EXPECT_NEAR(get("SO2").cp_ig(298.15) / 1e3, 39.87, 0.4);   // TRC form
    EXPECT_NEAR(get("H2").sigma.eval(20.37) * 1e3, 1.9, 0.15); // MC form, at Tb
    EXPECT_NEAR(n2.lj_sigma, 3.798, 1e-9);
    EXPECT_NEAR(n2.lj_eps_k, 71.4, 1e-9);
    EXPECT_NEAR(ch4.lj_sigma, 3.758, 1e-9);
    for (const auto& c : db::all()) {
        // CO2's "Tb" is its sublimation point; IPROH's Tb and PSAT come from different tables.
        if (!c.psat.in_range(c.tb)) continue;
        EXPECT_NEAR(c.psat.eval(c.tb) / 101325.0, 1.0, 0.025) << c.id;
    }
}

// Liquid rows at 10, 50 and 90 % of their own range (liquid helium's Cp is about 9 J/(mol
// K), cold alcohols are viscous); vapour rows at 300-900 K.
TEST(Consistency, MagnitudesAndTrendsOverEachRange) {
    using Band = std::tuple<const db::Correlation C::*, double, double>;
    const Band liquid[] = {
        {&C::hvap, 0.05e6, 80e6}, {&C::cpl, 5e3, 600e3}, {&C::mul, 1e-6, 2.0},
        {&C::kl, 0.005, 1.0},     {&C::sigma, 0.0, 0.1},
    };
    const Band vapour[] = {{&C::muv, 1e-6, 1e-4}, {&C::kv, 1e-3, 0.5}};
    const auto mid = [](const db::Correlation& k, double f) {
        return k.tmin + f * (std::min(k.tmax, 1500.0) - k.tmin);
    };
    for (const auto& c : db::all()) {
        SCOPED_TRACE(c.id);
        for (double f : {0.1, 0.5, 0.9}) {
            const double T = mid(c.rhol, f), rho = c.rhol.eval(T);
            EXPECT_TRUE(rho * c.mw > 50.0 && rho * c.mw < 2000.0) << T;
            EXPECT_GT(rho, c.rhol.eval(mid(c.rhol, f + 0.05)));
            EXPECT_LT(c.psat.eval(mid(c.psat, f)), c.psat.eval(mid(c.psat, f + 0.05)));
            for (const auto& [row, lo, hi] : liquid) {
                const double v = (c.*row).eval(mid(c.*row, f));
                EXPECT_TRUE(v > lo && v < hi) << f << ": " << v;
            }
        }
        for (double T : {300.0, 600.0, 900.0})
            for (const auto& [row, lo, hi] : vapour) {
                const double v = (c.*row).eval(std::clamp(T, (c.*row).tmin, (c.*row).tmax));
                EXPECT_TRUE(v > lo && v < hi) << T << ": " << v;
            }
    }
}

// Rows evaluated through factors kept from their coefficients agree with the form as written,
// and the values kept at a row's bounds with the row there: for the loaded rows, and for a row
// built by hand and then changed.
TEST(Consistency, KeptFactorsFollowTheCoefficients) {
    const auto literal105 = [](const db::Correlation& r, double T) {
        const auto& k = r.c;
        return k[0] / std::pow(k[1], 1.0 + std::pow(1.0 - T / k[2], k[3]));
    };
    const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    for (const auto& c : db::all()) {
        SCOPED_TRACE(c.id);
        for (auto p : {&C::psat, &C::rhol, &C::hvap, &C::cpl, &C::cpig, &C::mul, &C::muv, &C::kl,
                       &C::kv, &C::sigma}) {
            const db::Correlation& r = c.*p;
            EXPECT_TRUE(same(r.at_tmin, r.eval(r.tmin)));
            EXPECT_TRUE(!std::isfinite(r.tmax) || same(r.at_tmax, r.eval(r.tmax)));
            // The 102 form's power of T, taken from ln T, against the library's pow.
            if (r.form != db::Form::dippr102) continue;
            for (double T : {r.tmin, 350.0}) {
                const double literal = r.c[0] * std::pow(T, r.c[1]);
                EXPECT_NEAR(r.eval(T) * (1.0 + r.c[2] / T + r.c[3] / (T * T)), literal,
                            1e-14 * std::fabs(literal));
            }
        }
        if (c.rhol.form != db::Form::dippr105) continue;
        const double tc = c.rhol.c[2]; // the form's own critical point, tau = 0
        for (double T : {c.rhol.tmin, 0.5 * (c.rhol.tmin + tc), tc})
            EXPECT_NEAR(c.rhol.eval(T), literal105(c.rhol, T), 1e-14 * literal105(c.rhol, T));
    }
    db::Correlation r;
    r.form = db::Form::dippr105;
    r.c = {2.9214, 0.28976, 190.56, 0.28881};
    r.tmin = 90.0;
    r.tmax = 180.0;
    for (double b : {0.28976, 0.31}) {
        r.c[1] = b;
        r.prepare();
        EXPECT_NEAR(r.eval(120.0), literal105(r, 120.0), 1e-14 * literal105(r, 120.0));
        EXPECT_NEAR(r.at_tmax, literal105(r, 180.0), 1e-14 * literal105(r, 180.0));
    }
}

// NIST-JANAF (Chase 1998): Cp(298.15), H(1000)-H(298.15) in kJ/mol, S(1000)-S(298.15).
TEST(IdealGas, JanafEnthalpyAndEntropy) {
    const struct {
        const char* id;
        double cp298, dh1000, ds1000;
    } refs[] = {
        {"N2", 29.124, 21.463, 36.561},  {"WATER", 33.590, 25.993, 43.904},
        {"CO2", 37.135, 33.397, 55.504}, {"CH4", 35.695, 38.179, 61.798},
        {"AR", 20.786, 14.589, 25.154},
    };
    for (const auto& r : refs) {
        const auto& c = get(r.id);
        EXPECT_NEAR(c.cp_ig(298.15) / 1e3, r.cp298, 0.01 * r.cp298) << r.id;
        EXPECT_NEAR(c.h_ig(1000.0) / 1e6, r.dh1000, 0.01 * r.dh1000) << r.id;
        EXPECT_NEAR(c.s_ig(1000.0) / 1e3, r.ds1000, 0.01 * r.ds1000) << r.id;
    }
}

// Water at 60 F (IAPWS-95), benzene's relative density, GPA 2145-16 ideal-gas volume per
// gallon of liquid; the RHOL rows hold about 1 %.
TEST(StandardVolume, PublishedSixtyFahrenheitValues) {
    const double rho_w60 = 999.016, v_ig = db::r_gas * db::t_std / 101325.0;
    EXPECT_NEAR(get("WATER").vstd, 18.01528 / rho_w60, 0.003 * 0.01803);
    EXPECT_NEAR(get("BENZENE").vstd, 78.11184 / (0.8845 * rho_w60), 0.005 * 0.0884);
    for (const auto& [id, ft3_per_gal] :
         {std::pair{"NC6", 24.380}, std::pair{"C3H8", 36.391}, std::pair{"NC8", 19.570}}) {
        const double v = v_ig / 0.028316846592 / ft3_per_gal * 0.003785411784;
        EXPECT_NEAR(get(id).vstd, v, 0.01 * v) << id;
    }
    // Supercritical components: GPA's N2, O2 and He values are their liquid at Tb.
    for (const char* id : {"N2", "O2", "HE"}) {
        EXPECT_EQ(get(id).vstd_basis, db::VstdBasis::published);
        EXPECT_NEAR(get(id).vstd * get(id).rhol.eval(get(id).tb), 1.0, 0.01) << id;
    }
    EXPECT_NEAR(get("CH4").vstd * 0.3 * rho_w60, get("CH4").mw, 0.005 * get("CH4").mw);
}

TEST(Kij, SymmetricMatchingTheRowsAndRepulsiveForWater) {
    const auto comps = db::all();
    std::size_t nonzero = 0, rows_nonzero = 0;
    for (const auto& a : comps)
        for (const auto& b : comps) {
            EXPECT_EQ(db::kij_pr(a, b), db::kij_pr(b, a));
            nonzero += db::kij_pr(a, b) != 0.0;
        }
    for (const auto& r : db::bank().kij_rows()) {
        EXPECT_EQ(db::kij_pr(comps[r.i], comps[r.j]), r.value);
        rows_nonzero += r.value != 0.0;
    }
    EXPECT_EQ(nonzero, 2 * rows_nonzero); // every other pair, the diagonal too, is 0
    EXPECT_EQ(db::kij_pr(db::Component(get("WATER")), get("CH4")), 0.0); // not in the bank
    for (const char* id : {"CH4", "C2H6", "C3H8", "NC4", "IC4", "NC5", "IC5", "NC6", "NC7", "NC8",
                           "NC9", "NC10", "NC12", "CYCLOHEX", "N2"}) {
        const double k = db::kij_pr(get("WATER"), get(id));
        EXPECT_TRUE(k >= 0.45 && k <= 0.56) << id << ": " << k;
    }
    EXPECT_NEAR(db::kij_pr(get("WATER"), get("CO2")), 0.0952, 1e-12);
}
