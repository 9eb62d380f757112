// Transport properties on the scripted host: viscosity carries the shared
// pattern (monitor arguments, presence test, liquid mixing, whole-stream sum,
// error flag, selectors, water rule); conductivity, surface tension,
// diffusivity and heat of vaporization are tested for what sets them apart.
#include "fixture.h"

#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace xif::test {
namespace {

constexpr double kL1 = 1.5e-3, kL2 = 0.7e-3, kV = 1.2e-5, kSub = 0.9e-5;
constexpr int64_t kBig = std::numeric_limits<int64_t>::max();
constexpr int64_t kSmall = std::numeric_limits<int64_t>::min();

class Transport : public LibTest {
  protected:
    void SetUp() override {
        start(4);
        option_sets();
        three_phases(0.5, 0.3, 0.2);
    }
    // Per-slot answers: first liquid kL1, second kL2, vapour kV, subset kSub.
    static void answers(const char* liquid, const char* vapour) {
        host().answer[liquid][2] = kL1;
        host().answer[liquid][3] = kL2;
        host().answer[vapour][4] = kV;
        host().answer[vapour][5] = kSub;
    }
    // The property monitors called, by name and the slot of the record handed.
    static std::vector<std::pair<std::string, int64_t>> monitors() {
        std::vector<std::pair<std::string, int64_t>> out;
        for (const Call& c : host().log)
            if (c.name.rfind("EVAL_", 0) == 0)
                out.emplace_back(c.name, host().slot_of_record(c.p(3)));
        return out;
    }
    static std::vector<Call> monitor_calls() {
        std::vector<Call> out;
        for (const Call& c : host().log)
            if (c.name.rfind("EVAL_", 0) == 0) out.push_back(c);
        return out;
    }
    static void water_switch(int64_t side, int64_t value) { XIF_HXIPP.word[9 + 10 * side] = value; }
};

using Pairs = std::vector<std::pair<std::string, int64_t>>;

class Viscosity : public Transport {
  protected:
    void SetUp() override {
        Transport::SetUp();
        answers("EVAL_VISCL", "EVAL_VISCV");
    }
    Answer vis(int64_t phase, int64_t side = 0, int64_t basis = 0) {
        host().log.clear();
        return call(XIF_HXBVIS, side, phase, basis);
    }
};

TEST_F(Viscosity, EachSinglePhaseCallsItsMonitorOnItsOwnRecord) {
    struct Case {
        int64_t phase;
        const char* monitor;
        int64_t slot;
        double value;
    } cases[] = {{2, "EVAL_VISCV", 4, kV},
                 {4, "EVAL_VISCL", 2, kL1},
                 {5, "EVAL_VISCL", 3, kL2},
                 {6, "EVAL_VISCV", 5, kSub}};
    for (const Case& k : cases) {
        host().log.clear();
        double value = -7.0;
        int64_t ierr = -7, side = 0, phase = k.phase, basis = 0, spare = 0;
        XIF_HXBVIS(svec.data(), &spare, &side, &phase, &basis, &value, &ierr);
        EXPECT_EQ(value, k.value) << k.phase;
        EXPECT_EQ(ierr, 0);
        const std::vector<Call> c = monitor_calls();
        ASSERT_EQ(c.size(), 1u) << k.phase;
        EXPECT_EQ(c[0].name, k.monitor);
        EXPECT_EQ(c[0].p(1), &svec[nc + 1]); // temperature, by address
        EXPECT_EQ(c[0].p(2), &svec[nc + 2]); // pressure
        EXPECT_EQ(c[0].p(3), plex_at(at::slot_record(k.slot)));
        EXPECT_EQ(c[0].p(4), word_at(RIG_HXPKV, k.slot)); // the count word itself
        EXPECT_EQ(c[0].p(5), plex_at(at::slot_list(k.slot)));
        EXPECT_EQ(c[0].group, group(0));
        EXPECT_EQ(c[0].p(7), word_at(&XIF_HXIPP, 23));
        EXPECT_EQ(c[0].p(8), &value); // a single phase goes straight into VALUE
        EXPECT_EQ(c[0].p(9), &ierr);
    }
}

TEST_F(Viscosity, AbsentPhaseIsMissingWithoutAMonitorCall) {
    three_phases(0.0, 0.0, 0.0); // records listed, fractions 0
    for (int64_t phase : {2, 3, 4, 5, 6}) {
        const Answer a = vis(phase);
        EXPECT_EQ(a.value, kMissing) << phase;
        EXPECT_EQ(a.ierr, -1) << phase;
        EXPECT_TRUE(monitors().empty()) << phase;
    }
    for (int64_t s = 1; s <= 5; ++s)
        set_block_int(RIG_HXPKV, s, -1); // no record at all
    for (int64_t phase : {2, 3, 4, 5, 6}) {
        EXPECT_EQ(vis(phase).ierr, -1) << phase;
        EXPECT_TRUE(monitors().empty());
    }
    // Vapour asked of an all-liquid stream.
    three_phases(0.0, 0.6, 0.4);
    EXPECT_EQ(vis(2).value, kMissing);
    // The total liquid's own fraction decides, even with a first liquid present.
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, 0.0, 30.0);
    EXPECT_EQ(vis(3).ierr, -1);
    EXPECT_TRUE(monitors().empty());
}

TEST_F(Viscosity, TotalLiquidMixesTheTwoLiquidsByTheirShare) {
    const Answer a = vis(3);
    EXPECT_DOUBLE_EQ(a.value, kL1 * 0.3 / 0.5 + kL2 * 0.2 / 0.5);
    EXPECT_EQ(a.ierr, 0);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_VISCL", 2}, {"EVAL_VISCL", 3}}));
    // The total-liquid fraction only tests presence; it is no weight.
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, 0.9, 30.0);
    EXPECT_DOUBLE_EQ(vis(3).value, kL1 * 0.3 / 0.5 + kL2 * 0.2 / 0.5);
    // One liquid alone is that liquid's value exactly, not a share of it.
    three_phases(0.5, 0.5, 0.0);
    EXPECT_EQ(vis(3).value, kL1);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_VISCL", 2}}));
    three_phases(0.5, 0.0, 0.5);
    EXPECT_EQ(vis(3).value, kL2);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_VISCL", 3}}));
    // Total liquid present but neither liquid: 0, no error, no monitor.
    three_phases(0.5, 0.0, 0.0);
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, 0.5, 30.0);
    const Answer none = vis(3);
    EXPECT_EQ(none.value, 0.0);
    EXPECT_EQ(none.ierr, 0);
    EXPECT_TRUE(monitors().empty());
}

TEST_F(Viscosity, WholeStreamSumsThePhasesWithoutNormalising) {
    three_phases(0.5, 0.2, 0.1); // fractions sum to 0.8; the subset is present
    const Answer a = vis(1);
    EXPECT_DOUBLE_EQ(a.value, kL1 * 0.2 + kL2 * 0.1 + kV * 0.5);
    EXPECT_EQ(a.ierr, 0);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_VISCL", 2}, {"EVAL_VISCL", 3}, {"EVAL_VISCV", 4}}));
    // Vapour and second liquid: the first liquid's monitor is not called.
    three_phases(0.6, 0.0, 0.4);
    EXPECT_DOUBLE_EQ(vis(1).value, 0.4 * kL2 + 0.6 * kV);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_VISCL", 3}, {"EVAL_VISCV", 4}}));
    // Nothing present: 0, never absent.
    three_phases(0.0, 0.0, 0.0);
    const Answer none = vis(1);
    EXPECT_EQ(none.value, 0.0);
    EXPECT_EQ(none.ierr, 0);
    EXPECT_TRUE(monitors().empty());
}

TEST_F(Viscosity, OutOfRangeSelectorsAreSideZeroAndTheWholeStream) {
    const double whole = vis(1).value;
    for (int64_t phase : {int64_t{0}, int64_t{7}, int64_t{-3}, kSmall, kBig}) {
        EXPECT_EQ(vis(phase).value, whole) << phase;
        EXPECT_EQ(monitors().size(), 3u);
    }
    for (int64_t side : {int64_t{2}, int64_t{-1}, kSmall, kBig}) {
        vis(2, side);
        EXPECT_EQ(monitor_calls().at(0).group, group(0)) << side;
    }
    vis(2, 1);
    EXPECT_EQ(monitor_calls().at(0).group, group(1));
    // Viscosity has no basis: a mass basis changes nothing.
    for (int64_t phase = 1; phase <= 6; ++phase)
        EXPECT_EQ(vis(phase, 0, 1).value, vis(phase, 0, 0).value) << phase;
}

TEST_F(Viscosity, IerrIsTheCodeOfTheLastMonitorCalled) {
    host().error["EVAL_VISCV"] = 13;
    const Answer single = vis(2);
    EXPECT_EQ(single.ierr, 13);
    EXPECT_EQ(single.value, kV); // the monitor's value is kept
    host().error.clear();
    // Total liquid: the second liquid is called last.
    host().error_at["EVAL_VISCL"] = {{2, 5}};
    EXPECT_EQ(vis(3).ierr, 0);
    host().error_at["EVAL_VISCL"] = {{3, 6}};
    const Answer mixed = vis(3);
    EXPECT_EQ(mixed.ierr, 6);
    EXPECT_DOUBLE_EQ(mixed.value, kL1 * 0.3 / 0.5 + kL2 * 0.2 / 0.5); // both still count
    // Whole stream: the vapour is called last.
    host().error_at["EVAL_VISCL"] = {{2, 5}, {3, 6}};
    EXPECT_EQ(vis(1).ierr, 0);
    three_phases(0.0, 0.3, 0.2);
    EXPECT_EQ(vis(1).ierr, 6);
}

class WaterRule : public Viscosity {
  protected:
    std::vector<std::array<int64_t, 6>> groups_of_whole_stream(int64_t side = 0) {
        vis(1, side);
        std::vector<std::array<int64_t, 6>> g;
        for (const Call& c : monitor_calls())
            g.push_back(c.group);
        return g;
    }
};

TEST_F(WaterRule, PureWaterLiquidGetsWordFiveInItsOwnCopyOnly) {
    water_switch(0, 1);
    water_in_work_area(2, 0.3, 1.0);
    // Order of calls: first liquid, second liquid, vapour.
    EXPECT_EQ(groups_of_whole_stream(),
              (std::vector<std::array<int64_t, 6>>{group(0), group(0, true), group(0)}));
    const std::vector<Call> idx = host().calls("AID_IDXH2O");
    ASSERT_EQ(idx.size(), 1u);
    EXPECT_EQ(idx[0].p(1), plex_at(at::kIntWork + at::kList)); // the flash component list
    EXPECT_EQ(idx[0].p(2), word_at(CAT_STWKWK, 3));
    water_in_work_area(2, 1.0, 0.4);
    EXPECT_EQ(groups_of_whole_stream(),
              (std::vector<std::array<int64_t, 6>>{group(0, true), group(0), group(0)}));
    water_in_work_area(2, 1.0, 1.0);
    EXPECT_EQ(groups_of_whole_stream(),
              (std::vector<std::array<int64_t, 6>>{group(0, true), group(0, true), group(0)}));
    // The vapour subset keeps the vapour copy.
    vis(6);
    EXPECT_EQ(monitor_calls().at(0).group, group(0));
}

TEST_F(WaterRule, OnlyExactlyPureWaterWithSwitchOne) {
    const std::vector<std::array<int64_t, 6>> plain{group(0), group(0), group(0)};
    water_switch(0, 1);
    water_in_work_area(3, 0.999999, std::nextafter(1.0, 0.0));
    EXPECT_EQ(groups_of_whole_stream(), plain);
    for (int64_t position : {int64_t{0}, int64_t{-1}}) {
        water_in_work_area(position, 1.0, 1.0);
        EXPECT_EQ(groups_of_whole_stream(), plain) << position;
    }
    water_in_work_area(3, 1.0, 1.0);
    water_switch(0, 2);
    EXPECT_EQ(groups_of_whole_stream(), plain);
    water_switch(0, 0);
    EXPECT_EQ(groups_of_whole_stream(), plain);
    EXPECT_TRUE(host().calls("AID_IDXH2O").empty());
    // Each side has its own switch.
    water_switch(0, 1);
    EXPECT_EQ(groups_of_whole_stream(1),
              (std::vector<std::array<int64_t, 6>>{group(1), group(1), group(1)}));
    water_switch(1, 1);
    EXPECT_EQ(groups_of_whole_stream(1),
              (std::vector<std::array<int64_t, 6>>{group(1, true), group(1, true), group(1)}));
}

TEST_F(WaterRule, WorkAreaDecidesAndNothingCarriesOver) {
    water_switch(0, 1);
    // The second liquid's record is pure component 4, but the flash work
    // area holds water at 0.5 in it: no replacement.
    water_in_work_area(4, 0.0, 0.5);
    vis(5);
    EXPECT_EQ(monitor_calls().at(0).group, group(0));
    water_in_work_area(4, 0.0, 1.0);
    vis(5);
    EXPECT_EQ(monitor_calls().at(0).group, group(0, true));
    water_in_work_area(4, 0.0, 0.5);
    vis(5);
    EXPECT_EQ(monitor_calls().at(0).group, group(0));
}

class Conductivity : public Transport {
  protected:
    void SetUp() override {
        Transport::SetUp();
        answers("EVAL_TCONL", "EVAL_TCONV");
    }
    Answer thc(int64_t phase) {
        host().log.clear();
        return call(XIF_HXBTHC, 0, phase, 0);
    }
};

TEST_F(Conductivity, EachPhaseUsesTheConductivityMonitors) {
    EXPECT_EQ(thc(2).value, kV);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_TCONV", 4}}));
    EXPECT_EQ(thc(6).value, kSub);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_TCONV", 5}}));
    EXPECT_EQ(thc(4).value, kL1);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_TCONL", 2}}));
    EXPECT_EQ(thc(5).value, kL2);
    EXPECT_DOUBLE_EQ(thc(3).value, kL1 * 0.3 / 0.5 + kL2 * 0.2 / 0.5);
    EXPECT_DOUBLE_EQ(thc(1).value, kL1 * 0.3 + kL2 * 0.2 + kV * 0.5);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_TCONL", 2}, {"EVAL_TCONL", 3}, {"EVAL_TCONV", 4}}));
    EXPECT_TRUE(host().calls("EVAL_VISCL").empty());
}

TEST_F(Conductivity, WholeStreamOfVapourAloneIsWeightedByItsFraction) {
    three_phases(0.7, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(thc(1).value, 0.7 * kV);
    three_phases(1.0, 0.0, 0.0);
    EXPECT_EQ(thc(1).value, kV);
    host().error["EVAL_TCONV"] = 3;
    EXPECT_EQ(thc(1).ierr, 3);
    three_phases(0.0, 0.0, 0.0);
    EXPECT_EQ(thc(2).value, kMissing);
}

class SurfaceTension : public Transport {
  protected:
    void SetUp() override {
        Transport::SetUp();
        host().answer["EVAL_SRFTEN"] = {{2, 0.02}, {3, 0.05}, {4, 9.0}, {5, 9.0}};
    }
    Answer sft(int64_t phase) {
        host().log.clear();
        return call(XIF_HXBSFT, 0, phase, 0);
    }
};

TEST_F(SurfaceTension, VapoursAreNeverEvaluated) {
    for (int64_t phase : {2, 6}) {
        const Answer a = sft(phase);
        EXPECT_EQ(a.value, kMissing) << phase;
        EXPECT_EQ(a.ierr, -1);
        EXPECT_TRUE(monitors().empty());
    }
    EXPECT_DOUBLE_EQ(sft(1).value, 0.02 * 0.3 / 0.5 + 0.05 * 0.2 / 0.5);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_SRFTEN", 2}, {"EVAL_SRFTEN", 3}}));
}

TEST_F(SurfaceTension, SingleLiquidsUseTheirOwnRecordAndCopy) {
    XIF_HXIPP.word[9] = 1;
    water_in_work_area(4, 0.0, 1.0);
    double value = 0;
    int64_t ierr = 5, side = 0, phase = 5, basis = 0;
    host().log.clear();
    XIF_HXBSFT(svec.data(), nullptr, &side, &phase, &basis, &value, &ierr);
    EXPECT_EQ(value, 0.05);
    EXPECT_EQ(ierr, 0);
    const std::vector<Call> c = monitor_calls();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(host().slot_of_record(c[0].p(3)), 3);
    EXPECT_EQ(c[0].group, group(0, true));
    EXPECT_EQ(c[0].p(8), &value);
    EXPECT_EQ(sft(4).value, 0.02);
    EXPECT_EQ(monitor_calls().at(0).group, group(0));
}

TEST_F(SurfaceTension, WholeStreamIsItsLiquidWhateverTheVapour) {
    // Half vapour, the rest first liquid: the first liquid's value, not half.
    three_phases(0.5, 0.5, 0.0);
    EXPECT_EQ(sft(1).value, 0.02);
    EXPECT_EQ(sft(7).value, 0.02);
    // The total liquid's own fraction is not consulted for the whole stream.
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, 0.0, 30.0);
    EXPECT_EQ(sft(1).value, 0.02);
    EXPECT_EQ(sft(3).ierr, -1);
    // Absent only when all vapour, exactly.
    three_phases(1.0, 0.0, 0.0);
    const Answer all = sft(1);
    EXPECT_EQ(all.value, kMissing);
    EXPECT_EQ(all.ierr, -1);
    three_phases(0.9999, 0.0, 0.0);
    const Answer almost = sft(1);
    EXPECT_EQ(almost.value, 0.0);
    EXPECT_EQ(almost.ierr, 0);
    EXPECT_TRUE(monitors().empty());
}

TEST_F(SurfaceTension, SecondLiquidsCodeIsReturned) {
    host().error_at["EVAL_SRFTEN"] = {{2, 4}};
    EXPECT_EQ(sft(1).ierr, 0);
    EXPECT_EQ(sft(4).ierr, 4);
    host().error_at["EVAL_SRFTEN"] = {{3, 8}};
    EXPECT_EQ(sft(3).ierr, 8);
}

class Diffusivity : public Transport {
  protected:
    void SetUp() override {
        Transport::SetUp();
        answers("EVAL_DIFCOL", "EVAL_DIFCOV");
    }
    Answer dif(int64_t phase) {
        host().log.clear();
        return call(XIF_HXBDIF, 0, phase, 0);
    }
};

TEST_F(Diffusivity, LiquidsOnTheirOwnAreAbsent) {
    three_phases(0.0, 0.8, 0.0);
    for (int64_t phase : {3, 4, 5}) {
        const Answer a = dif(phase);
        EXPECT_EQ(a.value, kMissing) << phase;
        EXPECT_EQ(a.ierr, -1);
        EXPECT_TRUE(monitors().empty());
    }
    // The same stream as a whole includes the first liquid.
    EXPECT_DOUBLE_EQ(dif(1).value, 0.8 * kL1);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_DIFCOL", 2}}));
    EXPECT_DOUBLE_EQ(dif(0).value, 0.8 * kL1);
}

TEST_F(Diffusivity, VapoursUseTheVapourMonitorAndCopy) {
    XIF_HXIPP.word[9] = 1;
    water_in_work_area(1, 1.0, 1.0);
    EXPECT_EQ(dif(2).value, kV);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_DIFCOV", 4}}));
    EXPECT_EQ(monitor_calls().at(0).group, group(0));
    EXPECT_EQ(dif(6).value, kSub);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_DIFCOV", 5}}));
    EXPECT_EQ(monitor_calls().at(0).group, group(0));
    three_phases(0.0, 0.5, 0.5);
    EXPECT_EQ(dif(2).ierr, -1);
    EXPECT_EQ(dif(6).ierr, -1);
}

TEST_F(Diffusivity, WholeStreamOfVapourAndSecondLiquid) {
    three_phases(0.6, 0.0, 0.4);
    EXPECT_DOUBLE_EQ(dif(1).value, 0.4 * kL2 + 0.6 * kV);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_DIFCOL", 3}, {"EVAL_DIFCOV", 4}}));
    host().error_at["EVAL_DIFCOL"] = {{3, 2}};
    EXPECT_EQ(dif(1).ierr, 0); // the vapour came last
    three_phases(0.0, 0.0, 0.0);
    EXPECT_EQ(dif(1).value, 0.0);
    EXPECT_EQ(dif(1).ierr, 0);
}

class HeatOfVaporization : public Transport {
  protected:
    // Component 2: 35e6, 3: 30e6, 4: 40e6 between vapour and liquid.
    static constexpr double kDh2 = 5e6 + 3e7, kDh3 = 1e6 + 2.9e7, kDh4 = 4e7;
    void SetUp() override {
        Transport::SetUp();
        host().ln_p = {{2, 11.0}, {3, 10.0}, {4, 9.0}};
        host().h_vapour = {{2, 5e6}, {3, 1e6}, {4, 0.0}};
        host().h_liquid = {{2, -3e7}, {3, -2.9e7}, {4, -4e7}};
        // Stored weights differ from those of the compositions (26 and 40).
        host().set_record(2, {2, 3}, {0.4, 0.6}, 0.3, 27.0);
        host().set_record(3, {4}, {1.0}, 0.2, 44.0);
    }
    Answer thv(int64_t phase, int64_t basis = 0) {
        host().log.clear();
        return call(XIF_HXBTHV, 0, phase, basis);
    }
    static double dh1() { return kDh2 * 0.4 + kDh3 * 0.6; }
    static std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const Call& c : host().log)
            if (c.name != "AID_IDXH2O") out.push_back(c.name);
        return out;
    }
};

TEST_F(HeatOfVaporization, PureLiquidIsHvMinusHlAtItsOwnVapourPressure) {
    T() = 351.5;
    const Answer a = thv(5);
    EXPECT_EQ(a.value, kDh4);
    EXPECT_EQ(a.ierr, 0);
    EXPECT_EQ(names(), (std::vector<std::string>{"KERN_PL001", "EVAL_VTHRM", "EVAL_LTHRM"}));
    const Call k = host().calls("KERN_PL001").at(0);
    EXPECT_EQ(k.r(1), 351.5);
    EXPECT_EQ(k.i(2), 1);
    EXPECT_EQ(k.i(3), 4); // the component number from the record's list
    EXPECT_EQ(k.i(4), 1);
    EXPECT_EQ(k.i(5), 1);
    EXPECT_EQ(k.p(6), word_at(&XIF_HXIPP, 23));
    for (const char* name : {"EVAL_VTHRM", "EVAL_LTHRM"}) {
        const Call c = host().calls(name).at(0);
        EXPECT_EQ(c.r(1), 351.5) << name;
        EXPECT_EQ(c.r(2), std::exp(9.0)) << name;
        EXPECT_EQ(c.i(3), 1);
        EXPECT_EQ(c.i(4), 4);
        EXPECT_EQ(c.group, group(0));
        EXPECT_EQ(c.p(6), word_at(&XIF_HXIPP, 23));
        EXPECT_EQ(c.p(7), word_at(&XIF_HXIPP, 21));
        const int64_t flags[5] = {c.i(8), c.i(9), c.i(10), c.i(11), c.i(12)};
        EXPECT_EQ(std::vector<int64_t>(flags, flags + 5), (std::vector<int64_t>{0, 1, 0, 0, 0}));
    }
    // Per unit mass: divided by the liquid's stored molecular weight.
    EXPECT_EQ(thv(5, 1).value, kDh4 / 44.0);
    // A basis out of range is molar.
    EXPECT_EQ(thv(5, 7).value, kDh4);
    EXPECT_EQ(thv(5, -1).value, kDh4);
}

TEST_F(HeatOfVaporization, MixtureWeighsEachComponentInListOrder) {
    EXPECT_DOUBLE_EQ(thv(4).value, dh1());
    std::vector<int64_t> order;
    for (const Call& c : host().log)
        if (c.name != "AID_IDXH2O") order.push_back(c.i(c.name == "KERN_PL001" ? 3 : 4));
    EXPECT_EQ(order, (std::vector<int64_t>{2, 2, 2, 3, 3, 3}));
    EXPECT_EQ(host().calls("EVAL_VTHRM").at(1).r(2), std::exp(10.0));
}

TEST_F(HeatOfVaporization, LogOfVapourPressureIsClippedToItsRange) {
    const std::pair<double, double> cases[] = {
        {95.0, 80.0}, {80.0, 80.0}, {-300.0, -170.0}, {-170.0, -170.0}, {50.0, 50.0}};
    for (const auto& [ln_p, used] : cases) {
        host().ln_p[4] = ln_p;
        thv(5);
        EXPECT_EQ(host().calls("EVAL_VTHRM").at(0).r(2), std::exp(used)) << ln_p;
        EXPECT_EQ(host().calls("EVAL_LTHRM").at(0).r(2), std::exp(used)) << ln_p;
    }
}

TEST_F(HeatOfVaporization, WholeStreamIsTheTotalLiquid) {
    const double mixed = (dh1() * 0.3 + kDh4 * 0.2) / 0.5;
    EXPECT_DOUBLE_EQ(thv(3).value, mixed);
    EXPECT_EQ(thv(1).value, thv(3).value);
    EXPECT_EQ(thv(9).value, thv(3).value);
    // Only the second liquid: exactly its own value.
    three_phases(0.5, 0.0, 0.5);
    host().set_record(3, {4}, {1.0}, 0.5, 44.0);
    EXPECT_EQ(thv(3).value, kDh4);
    EXPECT_TRUE(host().calls("EVAL_VTHRM").size() == 1u);
    // All vapour: absent, and nothing asked of the host.
    three_phases(1.0, 0.0, 0.0);
    for (int64_t phase : {1, 3}) {
        const Answer a = thv(phase);
        EXPECT_EQ(a.value, kMissing);
        EXPECT_EQ(a.ierr, -1);
        EXPECT_TRUE(names().empty());
    }
}

TEST_F(HeatOfVaporization, TotalLiquidWithNeitherLiquidIsZero) {
    three_phases(0.5, 0.0, 0.0);
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, 0.5, 30.0);
    for (int64_t phase : {1, 3}) {
        const Answer a = thv(phase);
        EXPECT_EQ(a.value, 0.0) << phase;
        EXPECT_FALSE(std::isnan(a.value));
        EXPECT_EQ(a.ierr, 0);
        EXPECT_TRUE(names().empty());
    }
}

TEST_F(HeatOfVaporization, VapoursAreAbsent) {
    for (int64_t phase : {2, 6}) {
        const Answer a = thv(phase);
        EXPECT_EQ(a.value, kMissing);
        EXPECT_EQ(a.ierr, -1);
        EXPECT_TRUE(names().empty());
    }
}

TEST_F(HeatOfVaporization, MassBasisUsesMassFractionsAndEachLiquidsWeight) {
    // Mass fractions from the compositions: 0.3 * 26 / 25 and 0.2 * 40 / 25.
    const double f4 = 0.3 * (0.4 * 20.0 + 0.6 * 30.0) / 25.0, f5 = 0.2 * 40.0 / 25.0;
    const double expected = (dh1() / 27.0 * f4 + kDh4 / 44.0 * f5) / (f4 + f5);
    EXPECT_DOUBLE_EQ(thv(3, 1).value, expected);
    EXPECT_DOUBLE_EQ(thv(1, 1).value, expected);
}

TEST_F(HeatOfVaporization, HostErrorsNeverReachIerr) {
    host().error["EVAL_VTHRM"] = 9;
    host().error["EVAL_LTHRM"] = 8;
    EXPECT_EQ(thv(3).ierr, 0);
    EXPECT_EQ(thv(4).ierr, 0);
}

TEST_F(HeatOfVaporization, PureWaterLiquidUsesWordFive) {
    XIF_HXIPP.word[9] = 1;
    water_in_work_area(4, 0.0, 1.0);
    thv(3);
    for (const Call& c : host().calls("EVAL_VTHRM"))
        EXPECT_EQ(c.group, group(0, c.i(4) == 4)) << c.i(4);
    for (const Call& c : host().calls("EVAL_LTHRM"))
        EXPECT_EQ(c.group, group(0, c.i(4) == 4)) << c.i(4);
}

} // namespace
} // namespace xif::test
