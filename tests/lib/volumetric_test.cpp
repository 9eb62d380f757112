// Volumetric and critical properties on the scripted host: phase volume on
// its three bases, density as its bounded reciprocal, and the critical
// temperature and pressure of a phase or of the flash's whole stream.
#include "fixture.h"

#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace xif::test {
namespace {

constexpr double kMwV = 20.0, kMwL1 = 27.0, kMwL2 = 44.0; // stored phase weights
constexpr double kVv = 24.0, kVsub = 22.0, kV1 = 0.09, kV2 = 0.05;

class Volumetric : public LibTest {
  protected:
    void SetUp() override {
        start(4);
        option_sets();
        phases(0.5, 0.3, 0.2);
        host().answer["EVAL_VOLV"] = {{4, kVv}, {5, kVsub}};
        host().answer["EVAL_VOLL"] = {{2, kV1}, {3, kV2}};
        for (int64_t k = 1; k <= 5; ++k) // standard liquid volumes 0.04, 0.06, ...
            set_plex_real(at::kStdVolume + k, 0.02 + 0.02 * static_cast<double>(k));
    }
    // Composition weights: vapour 11, first liquid 26, second liquid 40.
    void phases(double f2, double f4, double f5) {
        three_phases(f2, f4, f5);
        host().set_record(4, {1, 2}, {0.9, 0.1}, f2, kMwV);
        host().set_record(2, {2, 3}, {0.4, 0.6}, f4, kMwL1);
        host().set_record(3, {4}, {1.0}, f5, kMwL2);
    }
    static double std_volume(int64_t k) { return plex_real(at::kStdVolume + k); }
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
};

using Pairs = std::vector<std::pair<std::string, int64_t>>;

class Volume : public Volumetric {};

TEST_F(Volume, SinglePhaseAsksItsMonitorForTheMolarVolume) {
    struct Case {
        int64_t phase;
        const char* monitor;
        int64_t slot;
        double v, mw;
    } cases[] = {{2, "EVAL_VOLV", 4, kVv, kMwV},
                 {4, "EVAL_VOLL", 2, kV1, kMwL1},
                 {5, "EVAL_VOLL", 3, kV2, kMwL2},
                 {6, "EVAL_VOLV", 5, kVsub, 10.0}};
    for (const Case& k : cases) {
        const Answer a = run(XIF_HXBVOL, k.phase);
        EXPECT_EQ(a.value, k.v) << k.phase;
        EXPECT_EQ(a.ierr, 0);
        const std::vector<Call> c = host().calls(k.monitor);
        ASSERT_EQ(c.size(), 1u);
        EXPECT_EQ(c[0].p(1), &svec[nc + 1]);
        EXPECT_EQ(c[0].p(2), &svec[nc + 2]);
        EXPECT_EQ(c[0].p(3), plex_at(at::slot_record(k.slot)));
        EXPECT_EQ(c[0].p(4), word_at(RIG_HXPKV, k.slot));
        EXPECT_EQ(c[0].p(5), plex_at(at::slot_list(k.slot)));
        EXPECT_EQ(c[0].group, group(0));
        EXPECT_EQ(c[0].p(7), word_at(&XIF_HXIPP, 23));
        EXPECT_EQ(c[0].i(8), 1);
        // Specific volume: divided by the phase's stored molecular weight.
        EXPECT_EQ(run(XIF_HXBVOL, k.phase, 1).value, k.v / k.mw) << k.phase;
    }
}

TEST_F(Volume, StandardLiquidVolumeMixesComponentValuesOfTheRecord) {
    const Answer a = run(XIF_HXBVOL, 4, 2);
    EXPECT_DOUBLE_EQ(a.value, 0.4 * std_volume(2) + 0.6 * std_volume(3));
    EXPECT_EQ(a.ierr, 0);
    EXPECT_TRUE(monitors().empty());
    const std::vector<Call> name = host().calls("CAT_IFCMN");
    ASSERT_EQ(name.size(), 1u);
    EXPECT_EQ(name[0].text, std::string("VLST    D       ", 16));
    // The offset is the data store's answer, looked up for every phase evaluated.
    host().std_volume_offset = at::kStdVolume + 1;
    const double v1 = 0.4 * std_volume(3) + 0.6 * std_volume(4);
    const double v2 = std_volume(5);
    const double vv = 0.9 * std_volume(2) + 0.1 * std_volume(3);
    EXPECT_DOUBLE_EQ(run(XIF_HXBVOL, 1, 2).value, v1 * 0.3 + v2 * 0.2 + vv * 0.5);
    EXPECT_EQ(host().calls("CAT_IFCMN").size(), 3u);
    EXPECT_TRUE(monitors().empty());
}

TEST_F(Volume, BasisAboveTwoOrNegativeIsMolar) {
    for (int64_t basis : {int64_t{3}, int64_t{-1}, std::numeric_limits<int64_t>::min()}) {
        EXPECT_EQ(run(XIF_HXBVOL, 2, basis).value, kVv) << basis;
        EXPECT_TRUE(host().calls("CAT_IFCMN").empty());
    }
    EXPECT_EQ(run(XIF_HXBVOL, 2, 2).value, 0.9 * std_volume(1) + 0.1 * std_volume(2));
    EXPECT_EQ(run(XIF_HXBVOL, 2, 0, 2).value, kVv);
}

TEST_F(Volume, TotalLiquidAndWholeStreamMixing) {
    EXPECT_DOUBLE_EQ(run(XIF_HXBVOL, 3).value, kV1 * 0.3 / 0.5 + kV2 * 0.2 / 0.5);
    phases(0.5, 0.5, 0.0);
    EXPECT_EQ(run(XIF_HXBVOL, 3).value, kV1);
    phases(0.5, 0.2, 0.1);
    for (int64_t phase : {int64_t{1}, int64_t{0}, int64_t{7}, int64_t{-1}}) {
        EXPECT_DOUBLE_EQ(run(XIF_HXBVOL, phase).value, kV1 * 0.2 + kV2 * 0.1 + kVv * 0.5);
        EXPECT_EQ(monitors(), (Pairs{{"EVAL_VOLL", 2}, {"EVAL_VOLL", 3}, {"EVAL_VOLV", 4}}));
    }
    // Specific volume of the mixture: mass fractions times specific volumes.
    const double f2 = 0.5 * 11.0 / 25.0, f4 = 0.2 * 26.0 / 25.0, f5 = 0.1 * 40.0 / 25.0;
    EXPECT_DOUBLE_EQ(run(XIF_HXBVOL, 1, 1).value,
                     kV1 / kMwL1 * f4 + kV2 / kMwL2 * f5 + kVv / kMwV * f2);
    phases(1.0, 0.0, 0.0);
    EXPECT_EQ(run(XIF_HXBVOL, 1).value, kVv);
    phases(0.0, 0.0, 0.0);
    const Answer none = run(XIF_HXBVOL, 1);
    EXPECT_EQ(none.value, 0.0);
    EXPECT_EQ(none.ierr, 0);
    const Answer absent = run(XIF_HXBVOL, 3);
    EXPECT_EQ(absent.value, kMissing);
    EXPECT_EQ(absent.ierr, -1);
}

TEST_F(Volume, ErrorCodesOfTheMonitorsAreNotReported) {
    host().error["EVAL_VOLL"] = 4;
    host().error["EVAL_VOLV"] = 5;
    for (int64_t phase = 1; phase <= 6; ++phase)
        EXPECT_EQ(run(XIF_HXBVOL, phase).ierr, 0) << phase;
}

TEST_F(Volume, PureWaterFirstLiquidGetsWordFive) {
    XIF_HXIPP.word[9] = 1;
    water_in_work_area(3, 1.0, 0.9999);
    run(XIF_HXBVOL, 1);
    const std::vector<Call> liquid = host().calls("EVAL_VOLL");
    ASSERT_EQ(liquid.size(), 2u);
    EXPECT_EQ(liquid[0].group, group(0, true));
    EXPECT_EQ(liquid[1].group, group(0));
    EXPECT_EQ(host().calls("EVAL_VOLV").at(0).group, group(0));
}

class Density : public Volumetric {};

TEST_F(Density, ReciprocalOfTheVolume) {
    const Answer a = run(XIF_HXBDNS, 2);
    EXPECT_EQ(a.value, 1.0 / kVv);
    EXPECT_EQ(a.ierr, 0);
    EXPECT_EQ(run(XIF_HXBDNS, 2, 1).value, 1.0 / (kVv / kMwV));
    EXPECT_DOUBLE_EQ(run(XIF_HXBDNS, 9).value, 1.0 / (kV1 * 0.3 + kV2 * 0.2 + kVv * 0.5));
    EXPECT_EQ(monitors().size(), 3u);
    EXPECT_EQ(run(XIF_HXBDNS, 2, 0, 1).value, 1.0 / kVv);
    EXPECT_EQ(host().calls("EVAL_VOLV").at(0).group, group(1));
}

TEST_F(Density, StandardLiquidBasisIsNotReachable) {
    for (int64_t basis : {int64_t{2}, int64_t{-1}, int64_t{5}}) {
        EXPECT_EQ(run(XIF_HXBDNS, 4, basis).value, 1.0 / kV1) << basis;
        EXPECT_TRUE(host().calls("CAT_IFCMN").empty());
    }
}

TEST_F(Density, BoundsAreBothExclusive) {
    const std::pair<double, double> cases[] = {
        {kMissing, kMissing},
        {kSmallest, kMissing},
        {0.0, kMissing},
        {-2.0, kMissing},
        {2.0 * kMissing, kMissing},
        {std::nextafter(kMissing, 0.0), 1.0 / std::nextafter(kMissing, 0.0)},
        {std::nextafter(kSmallest, 1.0), 1.0 / std::nextafter(kSmallest, 1.0)}};
    for (const auto& [v, expected] : cases) {
        host().answer["EVAL_VOLV"][4] = v;
        const Answer a = run(XIF_HXBDNS, 2);
        EXPECT_EQ(a.value, expected) << v;
        EXPECT_EQ(a.ierr, 0);
    }
}

TEST_F(Density, AbsentPhaseIsMissingWithoutAnError) {
    phases(0.0, 0.0, 0.0);
    for (int64_t phase : {1, 2, 3, 4, 5}) {
        const Answer a = run(XIF_HXBDNS, phase);
        EXPECT_EQ(a.value, kMissing) << phase;
        EXPECT_EQ(a.ierr, 0);
    }
}

TEST_F(Density, MissingValueLeftAtZeroMakesEveryDensityMissing) {
    // Until the exchanger program sets it, the missing value is 0.0 and every
    // volume lies at or above it.
    XIF_HXRMSS.word[0] = 0.0;
    const Answer a = run(XIF_HXBDNS, 2);
    EXPECT_EQ(a.value, 0.0);
    EXPECT_EQ(a.ierr, 0);
    EXPECT_EQ(host().calls("EVAL_VOLV").size(), 1u);
}

class Critical : public Volumetric {
  protected:
    void SetUp() override {
        Volumetric::SetUp();
        host().crit_t = 540.0;
        host().crit_p = 4.1e6;
    }
};

TEST_F(Critical, PhaseIsHandedItsOwnRecord) {
    for (int64_t phase : {2, 3, 4, 5}) {
        const int64_t s = phase == 2 ? 4 : phase - 2;
        for (Routine r : {XIF_HXBTMC, XIF_HXBPRC}) {
            double value = 0;
            int64_t ierr = 9, side = 0, p = phase, basis = 0;
            host().log.clear();
            r(svec.data(), nullptr, &side, &p, &basis, &value, &ierr);
            EXPECT_EQ(value, r == XIF_HXBTMC ? 540.0 : 4.1e6) << phase;
            EXPECT_EQ(ierr, 0);
            const std::vector<Call> c = host().calls("EQUI_CRTCAL");
            ASSERT_EQ(c.size(), 1u);
            EXPECT_EQ(c[0].p(1), word_at(RIG_HXPKV, s)) << phase;
            EXPECT_EQ(c[0].p(2), plex_at(at::slot_record(s)));
            EXPECT_EQ(c[0].p(3), plex_at(at::slot_list(s)));
            EXPECT_EQ(c[0].p(4), plex_at(at::kRealWork + at::kCritWork));
            EXPECT_EQ(c[0].p(r == XIF_HXBTMC ? 5 : 6), &value);
        }
    }
}

TEST_F(Critical, SubsetIsAlwaysAbsentAndAbsentPhasesCallNothing) {
    for (Routine r : {XIF_HXBTMC, XIF_HXBPRC}) {
        const Answer a = run(r, 6);
        EXPECT_EQ(a.value, kMissing);
        EXPECT_EQ(a.ierr, -1);
        EXPECT_TRUE(host().log.empty());
    }
    phases(0.0, 0.0, 0.0);
    for (int64_t phase : {2, 3, 4, 5}) {
        const Answer a = run(XIF_HXBPRC, phase);
        EXPECT_EQ(a.value, kMissing);
        EXPECT_EQ(a.ierr, -1);
        EXPECT_TRUE(host().log.empty());
    }
}

TEST_F(Critical, WholeStreamComesFromTheFlashWorkArea) {
    for (int64_t s = 1; s <= 5; ++s)
        set_block_int(RIG_HXPKV, s, -1);
    for (int64_t phase : {int64_t{1}, int64_t{0}, int64_t{7}}) {
        const Answer a = run(XIF_HXBTMC, phase);
        EXPECT_EQ(a.value, 540.0);
        EXPECT_EQ(a.ierr, 0);
        const std::vector<Call> c = host().calls("EQUI_CRTCAL");
        ASSERT_EQ(c.size(), 1u);
        EXPECT_EQ(c[0].p(1), word_at(CAT_STWKWK, 3));
        EXPECT_EQ(c[0].p(2), plex_at(at::kRealWork + at::kWhole));
        EXPECT_EQ(c[0].p(3), plex_at(at::kIntWork + at::kList));
        EXPECT_EQ(c[0].p(4), plex_at(at::kRealWork + at::kCritWork));
    }
}

TEST_F(Critical, BasisIsNotReadAndEachRoutineEvaluatesAgain) {
    EXPECT_EQ(run(XIF_HXBPRC, 4, 1).value, run(XIF_HXBPRC, 4, 0).value);
    phases(0.5, 0.0, 0.5);
    host().log.clear();
    call(XIF_HXBTMC, 0, 5);
    call(XIF_HXBPRC, 0, 5);
    EXPECT_EQ(host().calls("EQUI_CRTCAL").size(), 2u);
    // A mass basis would ask for a mass fraction; a first liquid whose record
    // has no weight in the data store is still present on the molar basis.
    set_plex_real(at::kMw + 2, 0.0);
    set_plex_real(at::kMw + 3, 0.0);
    phases(0.5, 0.3, 0.2);
    EXPECT_EQ(run(XIF_HXBTMC, 4, 1).ierr, 0);
}

} // namespace
} // namespace xif::test
