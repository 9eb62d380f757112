// Thermal properties on the scripted host: enthalpy, heat capacity, phase
// enthalpy flow and the thermo-monitor property. The shared presence test,
// mixing and water rule are covered with viscosity; here the monitor
// arguments, calculation codes, result words, mass conversion by each
// phase's own molecular weight and the whole-stream rules of each routine.
#include "fixture.h"

#include <string>
#include <utility>

namespace xif::test {
namespace {

// Composition molecular weights of three_phases(): vapour 11, first liquid
// 26, second liquid 40, subset 10; the stored ones are set apart from them.
constexpr double kMwV = 20.0, kMwL1 = 27.0, kMwL2 = 44.0, kMwSub = 12.0;

class Thermal : public LibTest {
  protected:
    void SetUp() override {
        start(4);
        option_sets();
        phases(0.5, 0.3, 0.2);
        host().answer["EVAL_ENTHV"] = {{4, -2e7}, {5, -1e7}};
        host().answer["EVAL_ENTHL"] = {{2, -9e7}, {3, -8e7}};
        host().answer["EVAL_ENTHV/cp"] = {{4, 4e4}, {5, 3e4}};
        host().answer["EVAL_ENTHL/cp"] = {{2, 1.5e5}, {3, 1.2e5}};
    }
    void phases(double f2, double f4, double f5) {
        three_phases(f2, f4, f5);
        host().set_record(4, {1, 2}, {0.9, 0.1}, f2, kMwV);
        host().set_record(2, {2, 3}, {0.4, 0.6}, f4, kMwL1);
        host().set_record(3, {4}, {1.0}, f5, kMwL2);
        host().set_record(5, {1}, {1.0}, f2 * 0.9, kMwSub);
    }
    // Mass fractions of phases(): from the compositions and SVEC(NC + 9) = 25.
    static double mass_fraction(double f, double composition_mw) {
        return f * composition_mw / 25.0;
    }
    Answer run(Routine r, int64_t phase, int64_t basis = 0, int64_t side = 0) {
        host().log.clear();
        return call(r, side, phase, basis);
    }
    static std::vector<std::pair<std::string, int64_t>> monitors() {
        std::vector<std::pair<std::string, int64_t>> out;
        for (const Call& c : host().log)
            if (c.name.rfind("EVAL_", 0) == 0)
                out.emplace_back(c.name, host().slot_of_record(c.p(3)));
        return out;
    }
    static std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const Call& c : host().log)
            out.push_back(c.name);
        return out;
    }
};

using Pairs = std::vector<std::pair<std::string, int64_t>>;

class Enthalpy : public Thermal {};

TEST_F(Enthalpy, SinglePhaseCallsItsMonitorWithCodeOne) {
    struct Case {
        int64_t phase;
        const char* monitor;
        int64_t slot;
        double molar, mw;
    } cases[] = {{2, "EVAL_ENTHV", 4, -2e7, kMwV},
                 {4, "EVAL_ENTHL", 2, -9e7, kMwL1},
                 {5, "EVAL_ENTHL", 3, -8e7, kMwL2},
                 {6, "EVAL_ENTHV", 5, -1e7, kMwSub}};
    for (const Case& k : cases) {
        const Answer a = run(XIF_HXBNTH, k.phase);
        EXPECT_EQ(a.value, k.molar) << k.phase;
        EXPECT_EQ(a.ierr, 0);
        const std::vector<Call> c = host().calls(k.monitor);
        ASSERT_EQ(c.size(), 1u) << k.phase;
        EXPECT_EQ(c[0].p(1), &svec[nc + 1]);
        EXPECT_EQ(c[0].p(2), &svec[nc + 2]);
        EXPECT_EQ(c[0].p(3), plex_at(at::slot_record(k.slot)));
        EXPECT_EQ(c[0].p(4), word_at(RIG_HXPKV, k.slot));
        EXPECT_EQ(c[0].p(5), plex_at(at::slot_list(k.slot)));
        EXPECT_EQ(c[0].group, group(0)); // the vapour subset uses the vapour copy
        EXPECT_EQ(c[0].p(7), word_at(&XIF_HXIPP, 23));
        EXPECT_EQ(c[0].p(8), word_at(&XIF_HXIPP, 21));
        EXPECT_EQ(c[0].i(9), 1);
        // Per unit mass: the phase's stored molecular weight.
        EXPECT_EQ(run(XIF_HXBNTH, k.phase, 1).value, k.molar / k.mw) << k.phase;
    }
}

TEST_F(Enthalpy, BasisOutOfRangeIsMolarAndSideOneUsesItsGroup) {
    for (int64_t basis : {int64_t{2}, int64_t{-1}, int64_t{1000}})
        EXPECT_EQ(run(XIF_HXBNTH, 2, basis).value, -2e7) << basis;
    run(XIF_HXBNTH, 4, 0, 1);
    EXPECT_EQ(host().calls("EVAL_ENTHL").at(0).group, group(1));
    run(XIF_HXBNTH, 4, 0, -4);
    EXPECT_EQ(host().calls("EVAL_ENTHL").at(0).group, group(0));
}

TEST_F(Enthalpy, AbsentPhaseIsMissing) {
    phases(0.0, 0.0, 0.0);
    for (int64_t phase : {2, 3, 4, 5, 6}) {
        const Answer a = run(XIF_HXBNTH, phase);
        EXPECT_EQ(a.value, kMissing) << phase;
        EXPECT_EQ(a.ierr, -1);
        EXPECT_TRUE(monitors().empty());
    }
}

TEST_F(Enthalpy, TotalLiquidMixesTheLiquids) {
    EXPECT_DOUBLE_EQ(run(XIF_HXBNTH, 3).value, -9e7 * 0.3 / 0.5 - 8e7 * 0.2 / 0.5);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_ENTHL", 2}, {"EVAL_ENTHL", 3}}));
    const double f4 = mass_fraction(0.3, 26.0), f5 = mass_fraction(0.2, 40.0);
    EXPECT_DOUBLE_EQ(run(XIF_HXBNTH, 3, 1).value,
                     (-9e7 / kMwL1 * f4 + -8e7 / kMwL2 * f5) / (f4 + f5));
    phases(0.5, 0.5, 0.0);
    EXPECT_EQ(run(XIF_HXBNTH, 3).value, -9e7);
    phases(0.5, 0.0, 0.0);
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, 0.5, 30.0);
    const Answer none = run(XIF_HXBNTH, 3);
    EXPECT_EQ(none.value, 0.0);
    EXPECT_EQ(none.ierr, 0);
}

TEST_F(Enthalpy, WholeStreamIsTheStreamTotalsRatio) {
    XIF_HXIPP.word[25] = 3; // XIF_HXIPP(26), the host list count
    host().tot_enth = -5e6;
    host().tot_flow = 0.25;
    host().tot_mass = 6.5;
    const int64_t w = at::kIntWork + at::kStreamLists;
    for (int64_t phase : {int64_t{1}, int64_t{7}, int64_t{0}, int64_t{-3}}) {
        const Answer a = run(XIF_HXBNTH, phase);
        EXPECT_EQ(a.value, -5e6 / 0.25) << phase;
        EXPECT_EQ(a.ierr, 0);
        EXPECT_EQ(names(), (std::vector<std::string>{"VEC_TOTENT", "VEC_TOTFLO"}));
    }
    for (const Call& c : host().log) {
        EXPECT_EQ(c.p(1), svec.data());
        EXPECT_EQ(c.p(2), word_at(&XIF_HXIPP, 26));
        EXPECT_EQ(c.p(3), plex_at(w));
        EXPECT_EQ(c.p(4), plex_at(w + 3));
    }
    // Per unit mass: divided by the total mass flow, not by a molecular weight.
    EXPECT_EQ(run(XIF_HXBNTH, 1, 1).value, -5e6 / 6.5);
    EXPECT_EQ(names(), (std::vector<std::string>{"VEC_TOTENT", "VEC_TOTMAS"}));
}

TEST_F(Enthalpy, MonitorErrorsAreNotPassedOutAndWaterRuleApplies) {
    host().error["EVAL_ENTHL"] = 4;
    XIF_HXIPP.word[9] = 1;
    water_in_work_area(2, 1.0, 0.0);
    const Answer a = run(XIF_HXBNTH, 3);
    EXPECT_EQ(a.ierr, 0);
    const std::vector<Call> c = host().calls("EVAL_ENTHL");
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].group, group(0, true));
    EXPECT_EQ(c[1].group, group(0));
}

class HeatCapacity : public Thermal {};

TEST_F(HeatCapacity, SinglePhaseReadsTheSecondResultOfCodeTwo) {
    const Answer a = run(XIF_HXBCPP, 2);
    EXPECT_EQ(a.value, 4e4);
    EXPECT_EQ(a.ierr, 0);
    EXPECT_EQ(host().calls("EVAL_ENTHV").at(0).i(9), 2);
    EXPECT_EQ(run(XIF_HXBCPP, 6).value, 3e4);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_ENTHV", 5}}));
    EXPECT_EQ(run(XIF_HXBCPP, 5, 1).value, 1.2e5 / kMwL2);
    phases(0.0, 0.0, 0.0);
    EXPECT_EQ(run(XIF_HXBCPP, 4).value, kMissing);
    EXPECT_EQ(run(XIF_HXBCPP, 4).ierr, -1);
}

TEST_F(HeatCapacity, WholeStreamSumsThePhasesWithoutNormalising) {
    phases(0.5, 0.2, 0.1);
    const Answer a = run(XIF_HXBCPP, 1);
    EXPECT_DOUBLE_EQ(a.value, 1.5e5 * 0.2 + 1.2e5 * 0.1 + 4e4 * 0.5);
    EXPECT_EQ(a.ierr, 0);
    // First liquid, second liquid, vapour; the subset and the stream totals take no part.
    EXPECT_EQ(names(), (std::vector<std::string>{"EVAL_ENTHL", "EVAL_ENTHL", "EVAL_ENTHV"}));
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_ENTHL", 2}, {"EVAL_ENTHL", 3}, {"EVAL_ENTHV", 4}}));
    // Per unit mass: each phase by its own weight, with mass fractions.
    const double f2 = mass_fraction(0.5, 11.0), f4 = mass_fraction(0.2, 26.0),
                 f5 = mass_fraction(0.1, 40.0);
    EXPECT_DOUBLE_EQ(run(XIF_HXBCPP, 1, 1).value,
                     1.5e5 / kMwL1 * f4 + 1.2e5 / kMwL2 * f5 + 4e4 / kMwV * f2);
    phases(0.7, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(run(XIF_HXBCPP, 1).value, 0.7 * 4e4);
    phases(0.0, 0.0, 0.0);
    const Answer none = run(XIF_HXBCPP, 1);
    EXPECT_EQ(none.value, 0.0);
    EXPECT_EQ(none.ierr, 0);
}

TEST_F(HeatCapacity, TotalLiquidOfTheSecondLiquidAloneIsItsValue) {
    phases(0.5, 0.0, 0.5);
    EXPECT_EQ(run(XIF_HXBCPP, 3).value, 1.2e5);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_ENTHL", 3}}));
    phases(0.5, 0.3, 0.2);
    EXPECT_DOUBLE_EQ(run(XIF_HXBCPP, 3).value, 1.5e5 * 0.3 / 0.5 + 1.2e5 * 0.2 / 0.5);
}

class EnthalpyFlow : public Thermal {
  protected:
    void SetUp() override {
        Thermal::SetUp();
        host().tot_flow = 0.25;
        host().tot_mass = 6.5;
        host().tot_enth = -4e6;
    }
};

TEST_F(EnthalpyFlow, AbsentPhaseCarriesZeroNotTheMissingValue) {
    phases(0.5, 0.5, 0.0);
    const Answer a = run(XIF_HXBQFL, 5);
    EXPECT_EQ(a.value, 0.0);
    EXPECT_EQ(a.ierr, -1);
    EXPECT_TRUE(names().empty());
}

TEST_F(EnthalpyFlow, WholeStreamIsTheStreamEnthalpyFlow) {
    for (int64_t phase : {1, 9}) {
        double value = 0;
        int64_t ierr = 7, side = 0, p = phase, basis = 1;
        host().log.clear();
        XIF_HXBQFL(svec.data(), nullptr, &side, &p, &basis, &value, &ierr);
        EXPECT_EQ(value, -4e6);
        EXPECT_EQ(ierr, 0);
        EXPECT_EQ(names(), (std::vector<std::string>{"VEC_TOTENT"}));
        EXPECT_EQ(host().log.at(0).p(5), &value);
    }
}

TEST_F(EnthalpyFlow, PhaseIsMolarFlowTimesMolarEnthalpyOnAnyBasis) {
    for (int64_t basis : {0, 1}) {
        const Answer a = run(XIF_HXBQFL, 2, basis);
        EXPECT_DOUBLE_EQ(a.value, 0.25 * 0.5 * -2e7) << basis;
        EXPECT_EQ(a.ierr, 0);
        EXPECT_EQ(names(), (std::vector<std::string>{"VEC_TOTFLO", "EVAL_ENTHV"}));
    }
    EXPECT_DOUBLE_EQ(run(XIF_HXBQFL, 3).value, 0.25 * 0.5 * (-9e7 * 0.3 / 0.5 - 8e7 * 0.2 / 0.5));
}

TEST_F(EnthalpyFlow, InnerRoutinesClipTheCallersSide) {
    run(XIF_HXBQFL, 4, 0, 1);
    EXPECT_EQ(host().calls("EVAL_ENTHL").at(0).group, group(1));
    run(XIF_HXBQFL, 4, 0, 5);
    EXPECT_EQ(host().calls("EVAL_ENTHL").at(0).group, group(0));
    host().error["EVAL_ENTHL"] = 3;
    EXPECT_EQ(run(XIF_HXBQFL, 4).ierr, 0);
}

class ThermoProperty : public Thermal {
  protected:
    void SetUp() override {
        Thermal::SetUp();
        host().answer["EVAL_VMTHRM"] = {{4, 150.0}, {5, 160.0}};
        host().answer["EVAL_LMTHMY"] = {{2, 90.0}, {3, 80.0}};
    }
};

TEST_F(ThermoProperty, MonitorsGetTheThirdFlagOnlyAndTheThirdResultIsRead) {
    const Answer v = run(XIF_HXBNTR, 2);
    EXPECT_EQ(v.value, 150.0);
    EXPECT_EQ(v.ierr, 0);
    const Call c = host().calls("EVAL_VMTHRM").at(0);
    EXPECT_EQ(host().slot_of_record(c.p(3)), 4);
    EXPECT_EQ(c.p(4), word_at(RIG_HXPKV, 4));
    EXPECT_EQ(c.p(5), plex_at(at::slot_list(4)));
    EXPECT_EQ(c.group, group(0));
    EXPECT_EQ(c.p(7), word_at(&XIF_HXIPP, 23));
    EXPECT_EQ(c.p(8), word_at(&XIF_HXIPP, 21));
    EXPECT_EQ((std::vector<int64_t>{c.i(9), c.i(10), c.i(11), c.i(12), c.i(13)}),
              (std::vector<int64_t>{0, 0, 1, 0, 0}));
    EXPECT_EQ(run(XIF_HXBNTR, 4).value, 90.0);
    const Call l = host().calls("EVAL_LMTHMY").at(0);
    EXPECT_EQ(host().slot_of_record(l.p(3)), 2);
    EXPECT_EQ(l.p(5), word_at(RIG_HXPKV, 2));
    EXPECT_EQ(l.p(6), plex_at(at::slot_list(2)));
    EXPECT_EQ(l.p(8), word_at(&XIF_HXIPP, 23));
    EXPECT_EQ(l.p(9), word_at(&XIF_HXIPP, 21));
    EXPECT_EQ((std::vector<int64_t>{l.i(10), l.i(11), l.i(12), l.i(13), l.i(14)}),
              (std::vector<int64_t>{0, 0, 1, 0, 0}));
}

TEST_F(ThermoProperty, LiquidMonitorAlwaysGetsTheVapourRecord) {
    phases(0.0, 0.6, 0.4); // no vapour
    EXPECT_DOUBLE_EQ(run(XIF_HXBNTR, 3).value, 90.0 * 0.6 / 1.0 + 80.0 * 0.4 / 1.0);
    const std::vector<Call> c = host().calls("EVAL_LMTHMY");
    ASSERT_EQ(c.size(), 2u);
    for (const Call& l : c)
        EXPECT_EQ(l.p(4), plex_at(at::slot_record(4)));
    EXPECT_EQ(host().slot_of_record(c[1].p(3)), 3);
}

TEST_F(ThermoProperty, SubsetUsesTheVapourMonitorOnItsOwnRecord) {
    EXPECT_EQ(run(XIF_HXBNTR, 6).value, 160.0);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_VMTHRM", 5}}));
    EXPECT_EQ(run(XIF_HXBNTR, 6, 1).value, 160.0 / kMwSub);
}

TEST_F(ThermoProperty, WholeStreamSumsWeightedPhases) {
    phases(0.5, 0.2, 0.1);
    EXPECT_DOUBLE_EQ(run(XIF_HXBNTR, 1).value, 90.0 * 0.2 + 80.0 * 0.1 + 150.0 * 0.5);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_LMTHMY", 2}, {"EVAL_LMTHMY", 3}, {"EVAL_VMTHRM", 4}}));
    const double f2 = mass_fraction(0.5, 11.0), f4 = mass_fraction(0.2, 26.0),
                 f5 = mass_fraction(0.1, 40.0);
    EXPECT_DOUBLE_EQ(run(XIF_HXBNTR, 1, 1).value,
                     90.0 / kMwL1 * f4 + 80.0 / kMwL2 * f5 + 150.0 / kMwV * f2);
    host().error["EVAL_VMTHRM"] = 6;
    EXPECT_EQ(run(XIF_HXBNTR, 1).ierr, 0);
    phases(0.0, 0.0, 0.0);
    EXPECT_EQ(run(XIF_HXBNTR, 1).value, 0.0);
    EXPECT_EQ(run(XIF_HXBNTR, 2).ierr, -1);
}

} // namespace
} // namespace xif::test
