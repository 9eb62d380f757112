// Phase properties, for what sets each routine apart from the shared pattern:
// whole-stream rules, volume bases, density bounds, critical points, vaporization.
#include "fixture.h"

#include <cmath>

namespace xif::test {
namespace {

constexpr double kL1 = 1.5e-3, kL2 = 0.7e-3, kV = 1.2e-5; // viscosities
constexpr double kVv = 24.0, kV1 = 0.09, kV2 = 0.05;      // volumes
// Heat of vaporization of components 2, 3 and 4 (hv - hl), and of the first liquid.
constexpr double kDh2 = 5e6 + 3e7, kDh3 = 1e6 + 2.9e7, kDh4 = 4e7, kDh1 = kDh2 * 0.4 + kDh3 * 0.6;

class Properties : public LibTest {
  protected:
    void SetUp() override {
        start(4);
        option_sets();
        three_phases(0.5, 0.3, 0.2);
        host().answer = {{"EVAL_ENTHV", {{4, -2e7}}},
                         {"EVAL_ENTHL", {{2, -9e7}, {3, -8e7}}},
                         {"EVAL_LMTHMY", {{2, 90.0}, {3, 80.0}}},
                         {"EVAL_VOLV", {{4, kVv}}},
                         {"EVAL_VOLL", {{2, kV1}, {3, kV2}}},
                         {"EVAL_SRFTEN", {{2, 0.02}, {3, 0.05}, {4, 9.0}, {5, 9.0}}},
                         {"EVAL_VISCL", {{2, kL1}, {3, kL2}}},
                         {"EVAL_VISCV", {{4, kV}}}};
        host().tot_flow = 0.25;
        host().tot_mass = 6.5;
        host().tot_enth = -5e6;
        host().crit_t = 540.0;
        host().crit_p = 4.1e6;
        host().ln_p = {{2, 11.0}, {3, 10.0}, {4, 9.0}};
        host().h_vapour = {{2, 5e6}, {3, 1e6}, {4, 0.0}};
        host().h_liquid = {{2, -3e7}, {3, -2.9e7}, {4, -4e7}};
    }
    static std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const Call& c : host().log)
            out.push_back(c.name);
        return out;
    }
    using Names = std::vector<std::string>;
};

TEST_F(Properties, EnthalpyFromStreamTotalsAndEnthalpyFlowOfAPhase) {
    XIF_HXIPP.word[25] = 3; // XIF_HXIPP(26), the host list count
    const int64_t w = at::kIntWork + at::kStreamLists;
    EXPECT_EQ(run(XIF_HXBNTH, 1), (Answer{-5e6 / 0.25, 0}));
    EXPECT_EQ(names(), (Names{"VEC_TOTENT", "VEC_TOTFLO"}));
    for (const Call& c : host().log)
        EXPECT_EQ(args(c, &Call::p, {1, 2, 3, 4}),
                  (Ptrs{svec.data(), word_at(&XIF_HXIPP, 26), plex_at(w), plex_at(w + 3)}));
    // Per unit mass: divided by the total mass flow, not by a molecular weight.
    EXPECT_EQ(run(XIF_HXBNTH, 1, 1).value, -5e6 / 6.5);
    EXPECT_EQ(names(), (Names{"VEC_TOTENT", "VEC_TOTMAS"}));
    // The enthalpy flow of a phase: its molar flow times its molar enthalpy.
    for (int64_t basis : {0, 1}) {
        const Answer a = run(XIF_HXBQFL, 2, basis);
        EXPECT_DOUBLE_EQ(a.value, 0.25 * 0.5 * -2e7) << basis;
        EXPECT_EQ(a.ierr, 0);
        EXPECT_EQ(names(), (Names{"VEC_TOTFLO", "EVAL_ENTHV"}));
    }
    EXPECT_DOUBLE_EQ(run(XIF_HXBQFL, 3).value, 0.25 * 0.5 * (-9e7 * 0.3 / 0.5 - 8e7 * 0.2 / 0.5));
    run(XIF_HXBQFL, 4, 0, 1); // the inner routines get side 1
    EXPECT_EQ(host().calls("EVAL_ENTHL").at(0).group, group(1));
    EXPECT_EQ(run(XIF_HXBQFL, 1, 1).value, -5e6); // the stream's, on any basis
    EXPECT_EQ(names(), (Names{"VEC_TOTENT"}));
    host().error["EVAL_ENTHL"] = 3; // not passed out
    EXPECT_EQ(run(XIF_HXBQFL, 4).ierr, 0);
}

TEST_F(Properties, ThermoLiquidMonitorAlwaysGetsTheVapourRecord) {
    three_phases(0.0, 0.6, 0.4); // no vapour
    EXPECT_DOUBLE_EQ(run(XIF_HXBNTR, 3).value, 90.0 * 0.6 / 1.0 + 80.0 * 0.4 / 1.0);
    ASSERT_EQ(host().calls("EVAL_LMTHMY").size(), 2u);
    for (const Call& m : host().calls("EVAL_LMTHMY"))
        EXPECT_EQ(m.p(4), plex_at(at::slot_record(4)));
}

TEST_F(Properties, StandardLiquidVolumeAndDensityWithExclusiveBounds) {
    for (int64_t k = 1; k <= 5; ++k) // standard liquid volumes 0.04, 0.06, ...
        set_plex_real(at::kStdVolume + k, 0.02 + 0.02 * static_cast<double>(k));
    const Answer a = run(XIF_HXBVOL, 4, 2);
    EXPECT_DOUBLE_EQ(a.value, 0.4 * 0.06 + 0.6 * 0.08);
    EXPECT_EQ(a.ierr, 0);
    EXPECT_TRUE(monitors().empty());
    ASSERT_EQ(host().calls("CAT_IFCMN").size(), 1u);
    EXPECT_EQ(host().calls("CAT_IFCMN")[0].text, std::string("VLST    D       ", 16));
    // The whole stream mixes the phases' standard volumes by molar fraction,
    // the parameter looked up afresh for each phase.
    const double v2 = run(XIF_HXBVOL, 2, 2).value, v5 = run(XIF_HXBVOL, 5, 2).value;
    ASSERT_GT(v2 * v5, 0.0);
    EXPECT_DOUBLE_EQ(run(XIF_HXBVOL, 1, 2).value, a.value * 0.3 + v5 * 0.2 + v2 * 0.5);
    EXPECT_EQ(host().calls("CAT_IFCMN").size(), 3u);
    EXPECT_TRUE(monitors().empty());
    // Density: the reciprocal of the volume within exclusive bounds.
    EXPECT_EQ(run(XIF_HXBDNS, 2, 1).value, 1.0 / (kVv / 20.0)); // the vapour's stored weight
    EXPECT_DOUBLE_EQ(run(XIF_HXBDNS, 1).value, 1.0 / (kV1 * 0.3 + kV2 * 0.2 + kVv * 0.5));
    const double below = std::nextafter(kMissing, 0.0), above = std::nextafter(kSmallest, 1.0);
    const std::pair<double, double> cases[] = {
        {kMissing, kMissing},       {kSmallest, kMissing}, {0.0, kMissing},     {-2.0, kMissing},
        {2.0 * kMissing, kMissing}, {below, 1.0 / below},  {above, 1.0 / above}};
    for (const auto& [v, expected] : cases) {
        host().answer["EVAL_VOLV"][4] = v;
        EXPECT_EQ(run(XIF_HXBDNS, 2), (Answer{expected, 0})) << v;
    }
}

TEST_F(Properties, CriticalPointOfAPhaseFromItsRecordOfTheStreamFromTheWorkArea) {
    const std::pair<int64_t, int64_t> cases[] = {{2, 4}, {3, 1}, {4, 2}, {5, 3}, {1, 0}};
    for (const auto& [phase, s] : cases) {
        EXPECT_EQ(run(XIF_HXBTMC, phase).value, 540.0);
        EXPECT_EQ(run(XIF_HXBPRC, phase, 1).value, 4.1e6);
        // Count, composition and list: the phase's record, or the flash's for the whole stream.
        const Ptrs want = s == 0 ? Ptrs{word_at(CAT_STWKWK, 3), plex_at(at::kRealWork + at::kWhole),
                                        plex_at(at::kIntWork + at::kList)}
                                 : Ptrs{word_at(RIG_HXPKV, s), plex_at(at::slot_record(s)),
                                        plex_at(at::slot_list(s))};
        EXPECT_EQ(args(host().calls("EQUI_CRTCAL").at(0), &Call::p, {1, 2, 3, 4}),
                  (Ptrs{want[0], want[1], want[2], plex_at(at::kRealWork + at::kCritWork)}))
            << phase;
    }
}

TEST_F(Properties, ViscosityIerrIsTheCodeOfTheLastMonitorCalled) {
    // Total liquid: the second liquid is called last.
    host().error_at["EVAL_VISCL"] = {{2, 5}};
    EXPECT_EQ(run(XIF_HXBVIS, 3).ierr, 0);
    host().error_at["EVAL_VISCL"] = {{3, 6}};
    const Answer mixed = run(XIF_HXBVIS, 3);
    EXPECT_EQ(mixed.ierr, 6);
    EXPECT_DOUBLE_EQ(mixed.value, kL1 * 0.3 / 0.5 + kL2 * 0.2 / 0.5); // both still count
    // Whole stream: the vapour is called last.
    host().error_at["EVAL_VISCL"] = {{2, 5}, {3, 6}};
    EXPECT_EQ(run(XIF_HXBVIS, 1).ierr, 0);
    three_phases(0.0, 0.3, 0.2);
    EXPECT_EQ(run(XIF_HXBVIS, 1).ierr, 6);
}

TEST_F(Properties, TotalLiquidIsPresentByItsOwnFractionAndMixedByItsLiquids) {
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, 0.9, 30.0); // no weight
    EXPECT_DOUBLE_EQ(run(XIF_HXBVIS, 3).value, kL1 * 0.3 / 0.5 + kL2 * 0.2 / 0.5);
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, 0.0, 30.0);
    EXPECT_EQ(run(XIF_HXBVIS, 3).ierr, -1); // even with a first liquid present
    EXPECT_TRUE(monitors().empty());
    // One liquid alone is that liquid's value exactly, not a share of it.
    three_phases(0.5, 0.0, 0.5);
    EXPECT_EQ(run(XIF_HXBVIS, 3).value, kL2);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_VISCL", 3}}));
    EXPECT_DOUBLE_EQ(run(XIF_HXBVIS, 1).value, 0.5 * kL2 + 0.5 * kV);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_VISCL", 3}, {"EVAL_VISCV", 4}}));
    // Total liquid present but neither liquid: 0, no error, no monitor.
    three_phases(0.5, 0.0, 0.0);
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, 0.5, 30.0);
    for (const auto& [r, phase] :
         {std::pair<Routine, int64_t>{XIF_HXBVIS, 3}, {XIF_HXBTHV, 3}, {XIF_HXBTHV, 1}}) {
        EXPECT_EQ(run(r, phase), (Answer{0.0, 0})) << phase;
        EXPECT_TRUE(host().log.empty());
    }
}

TEST_F(Properties, SurfaceTensionOfTheWholeStreamIsItsLiquidWhateverTheVapour) {
    // Each liquid its own monitor's value; the total liquid and the stream their mix.
    EXPECT_EQ(run(XIF_HXBSFT, 4).value, 0.02);
    EXPECT_EQ(run(XIF_HXBSFT, 5).value, 0.05);
    EXPECT_DOUBLE_EQ(run(XIF_HXBSFT, 3).value, 0.02 * 0.3 / 0.5 + 0.05 * 0.2 / 0.5);
    EXPECT_DOUBLE_EQ(run(XIF_HXBSFT, 1).value, 0.02 * 0.3 / 0.5 + 0.05 * 0.2 / 0.5);
    EXPECT_EQ(monitors(), (Pairs{{"EVAL_SRFTEN", 2}, {"EVAL_SRFTEN", 3}}));
    host().error_at["EVAL_SRFTEN"] = {{3, 8}}; // the second liquid's code is passed out
    EXPECT_EQ(run(XIF_HXBSFT, 1).ierr, 8);
    // Half vapour: the first liquid's value, not half; the total's fraction is not read.
    three_phases(0.5, 0.5, 0.0);
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, 0.0, 30.0);
    EXPECT_EQ(run(XIF_HXBSFT, 1).value, 0.02);
    // Absent only when all vapour, exactly.
    three_phases(1.0, 0.0, 0.0);
    EXPECT_EQ(run(XIF_HXBSFT, 1), (Answer{kMissing, -1}));
    three_phases(0.9999, 0.0, 0.0);
    EXPECT_EQ(run(XIF_HXBSFT, 1), (Answer{0.0, 0}));
    EXPECT_TRUE(monitors().empty());
}

TEST_F(Properties, HeatOfVaporizationByComponentAtItsOwnVapourPressure) {
    T() = 351.5;
    EXPECT_DOUBLE_EQ(run(XIF_HXBTHV, 4).value, kDh1);
    std::vector<int64_t> order; // the component each call is handed
    for (const Call& c : host().log)
        order.push_back(c.i(c.name == "KERN_PL001" ? 3 : 4));
    EXPECT_EQ(order, (std::vector<int64_t>{2, 2, 2, 3, 3, 3}));
    const Call k = host().calls("KERN_PL001").at(1);
    EXPECT_EQ(k.r(1), 351.5);
    EXPECT_EQ(args(k, &Call::i, {2, 4, 5}), (std::vector<int64_t>{1, 1, 1}));
    EXPECT_EQ(k.p(6), word_at(&XIF_HXIPP, 23));
    for (const char* name : {"EVAL_VTHRM", "EVAL_LTHRM"}) {
        const Call c = host().calls(name).at(1);
        EXPECT_EQ(args(c, &Call::r, {1, 2}), (std::vector<double>{351.5, std::exp(10.0)})) << name;
        EXPECT_EQ(args(c, &Call::i, {3, 8, 9, 10, 11, 12}),
                  (std::vector<int64_t>{1, 0, 1, 0, 0, 0})); // the second flag only
        EXPECT_EQ(c.group, group(0));
        EXPECT_EQ(args(c, &Call::p, {6, 7}),
                  (Ptrs{word_at(&XIF_HXIPP, 23), word_at(&XIF_HXIPP, 21)}));
    }
    // A pure liquid; per unit mass, divided by the liquid's stored molecular weight.
    EXPECT_EQ(run(XIF_HXBTHV, 5).value, kDh4);
    EXPECT_EQ(run(XIF_HXBTHV, 5, 1).value, kDh4 / 44.0);
}

TEST_F(Properties, HeatOfVaporizationOfTheLiquidWithClippedVapourPressures) {
    EXPECT_DOUBLE_EQ(run(XIF_HXBTHV, 3).value, (kDh1 * 0.3 + kDh4 * 0.2) / 0.5);
    EXPECT_EQ(run(XIF_HXBTHV, 1).value, run(XIF_HXBTHV, 3).value);
    // Mass basis: mass fractions (0.3 * 26 / 25, 0.2 * 40 / 25) and each liquid's weight.
    const double f4 = 0.3 * (0.4 * 20.0 + 0.6 * 30.0) / 25.0, f5 = 0.2 * 40.0 / 25.0;
    const double by_mass = (kDh1 / 27.0 * f4 + kDh4 / 44.0 * f5) / (f4 + f5);
    EXPECT_DOUBLE_EQ(run(XIF_HXBTHV, 3, 1).value, by_mass);
    EXPECT_DOUBLE_EQ(run(XIF_HXBTHV, 1, 1).value, by_mass);
    host().error = {{"EVAL_VTHRM", 9}, {"EVAL_LTHRM", 8}}; // not passed out
    EXPECT_EQ(run(XIF_HXBTHV, 3).ierr, 0);
    // ln p is clipped to [-170, 80].
    const std::pair<double, double> cases[] = {
        {95.0, 80.0}, {80.0, 80.0}, {-300.0, -170.0}, {-170.0, -170.0}, {50.0, 50.0}};
    for (const auto& [ln_p, used] : cases) {
        host().ln_p[4] = ln_p;
        run(XIF_HXBTHV, 5);
        EXPECT_EQ(host().calls("EVAL_VTHRM").at(0).r(2), std::exp(used)) << ln_p;
        EXPECT_EQ(host().calls("EVAL_LTHRM").at(0).r(2), std::exp(used)) << ln_p;
    }
    XIF_HXIPP.word[9] = 1; // component 4 is water, pure in the second liquid
    water_in_work_area(4, 0.0, 1.0);
    run(XIF_HXBTHV, 3);
    for (const char* name : {"EVAL_VTHRM", "EVAL_LTHRM"})
        for (const Call& c : host().calls(name))
            EXPECT_EQ(c.group, group(0, c.i(4) == 4)) << name << " " << c.i(4);
}

} // namespace
} // namespace xif::test
