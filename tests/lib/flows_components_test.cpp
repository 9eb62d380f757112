// Molecular weight, phase flow and flow scaling; per-component fractions
// from the flash work area (vapour subset included) and pure-component
// constants by property code.
#include "fixture.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace xif::test {
namespace {

constexpr double kSentinel = -5.0;

class MolecularWeight : public LibTest {};

TEST_F(MolecularWeight, WholeStreamIsTheStreamVectorsWeightWithoutAFlash) {
    for (int64_t phase : {1, 0, 7}) {
        const Answer a = call(XIF_HXBMWT, 0, phase);
        EXPECT_EQ(a.value, 25.0) << phase;
        EXPECT_EQ(a.ierr, 0);
    }
    EXPECT_EQ(call(XIF_HXBMWT, 0, 2).ierr, -1); // no record yet
}

TEST_F(MolecularWeight, PhaseIsTheStoredWeightOfItsRecord) {
    three_phases(0.5, 0.3, 0.2);
    // The vapour's stored 20 differs from its composition's 11.
    const std::pair<int64_t, double> cases[] = {
        {2, 20.0}, {3, 30.0}, {4, 26.0}, {5, 40.0}, {6, 10.0}};
    for (const auto& [phase, mw] : cases)
        for (int64_t basis : {0, 1}) {
            const Answer a = call(XIF_HXBMWT, 0, phase, basis);
            EXPECT_EQ(a.value, mw) << phase;
            EXPECT_EQ(a.ierr, 0);
        }
    set_block_int(RIG_HXPKV, 3, -1);
    const Answer a = call(XIF_HXBMWT, 0, 5);
    EXPECT_EQ(a.value, kMissing);
    EXPECT_EQ(a.ierr, -1);
}

class PhaseFlow : public LibTest {
  protected:
    void SetUp() override {
        LibTest::SetUp();
        three_phases(0.5, 0.3, 0.2);
        host().tot_flow = 0.25;
        host().tot_mass = 6.5;
    }
};

TEST_F(PhaseFlow, TotalTimesTheFractionOnTheSameBasis) {
    XIF_HXIPP.word[25] = 2; // XIF_HXIPP(26)
    double value = 0;
    int64_t ierr = 4, side = 0, phase = 1, basis = 0;
    XIF_HXBMFL(svec.data(), nullptr, &side, &phase, &basis, &value, &ierr);
    EXPECT_EQ(value, 0.25);
    EXPECT_EQ(ierr, 0);
    const Call c = host().calls("VEC_TOTFLO").at(0);
    EXPECT_EQ(c.p(1), svec.data());
    EXPECT_EQ(c.p(2), word_at(&XIF_HXIPP, 26));
    EXPECT_EQ(c.p(3), plex_at(at::kIntWork + at::kStreamLists));
    EXPECT_EQ(c.p(4), plex_at(at::kIntWork + at::kStreamLists + 2));
    EXPECT_EQ(call(XIF_HXBMFL, 0, 1, 1).value, 6.5);
    EXPECT_EQ(call(XIF_HXBMFL, 0, 2, 0).value, 0.25 * 0.5);
    // Mass: the vapour's mass fraction from its composition (weight 11).
    EXPECT_DOUBLE_EQ(call(XIF_HXBMFL, 0, 2, 1).value, 6.5 * 0.5 * 11.0 / 25.0);
    EXPECT_EQ(call(XIF_HXBMFL, 0, 2, 7).value, 0.25 * 0.5);
}

TEST_F(PhaseFlow, MissingTotalAndAbsentPhaseGiveZeroFlow) {
    for (double total : {kMissing, 2 * kMissing}) {
        host().tot_flow = total;
        const Answer a = call(XIF_HXBMFL, 0, 1);
        EXPECT_EQ(a.value, 0.0) << total;
        EXPECT_EQ(a.ierr, 0);
    }
    host().tot_flow = std::nextafter(kMissing, 0.0);
    EXPECT_EQ(call(XIF_HXBMFL, 0, 1).value, std::nextafter(kMissing, 0.0));
    host().tot_flow = 0.25;
    three_phases(0.0, 0.3, 0.2);
    const Answer a = call(XIF_HXBMFL, 0, 2);
    EXPECT_EQ(a.value, 0.0);
    EXPECT_EQ(a.ierr, 0);
}

class FlowScaling : public LibTest {
  protected:
    void SetUp() override {
        LibTest::SetUp(); // flows 1..4, total 10, weight 25: 250 by mass
        for (int64_t j = 1; j <= nc; ++j)
            set_plex_real(at::kParam457 + j, 0.5 * static_cast<double>(j));
    }
    double param_sum() const {
        double s = 0;
        for (int64_t j = 1; j <= nc; ++j)
            s += 0.5 * static_cast<double>(j) * svec[j - 1];
        return s;
    }
    struct Out {
        double flowm, sump, ratio;
    };
    Out scale(double valin) {
        Out o{-1, -1, -1};
        int64_t side = 9;
        XIF_HXBZMF(svec.data(), nullptr, &side, &valin, &o.flowm, &o.sump, &o.ratio);
        return o;
    }
};

TEST_F(FlowScaling, PresentMassFlowLeavesTheStreamAlone) {
    const std::vector<double> before = svec;
    const double sum = param_sum();
    const Out o = scale(250.0);
    EXPECT_EQ(o.flowm, 10.0);
    EXPECT_EQ(o.ratio, 1.0);
    EXPECT_DOUBLE_EQ(o.sump, sum);
    EXPECT_EQ(svec, before);
    EXPECT_TRUE(host().log.empty());
}

TEST_F(FlowScaling, DoubleMassFlowDoublesComponentFlowsOnly) {
    const std::vector<double> before = svec;
    const double old_sum = param_sum();
    const Out o = scale(500.0);
    EXPECT_EQ(o.flowm, 20.0);
    EXPECT_EQ(o.ratio, 2.0);
    EXPECT_DOUBLE_EQ(o.sump, 2.0 * old_sum);
    for (int64_t j = 0; j < nc; ++j)
        EXPECT_EQ(svec[j], 2.0 * before[j]);
    for (size_t i = static_cast<size_t>(nc); i < svec.size(); ++i)
        EXPECT_EQ(svec[i], before[i]) << i + 1; // the total flow too
}

class Components : public LibTest {
  protected:
    void SetUp() override {
        LibTest::SetUp();
        option_sets();
        three_phases(0.5, 0.3, 0.2);
        Equilibrium& e = host().eq;
        e.components = {1, 3, 4};
        e.z = {0.2, 0.3, 0.5};
        e.x = {0.1, 0.3, 0.6};
        e.x1 = {0.15, 0.85, 0.0};
        e.x2 = {0.0, 0.05, 0.95};
        e.y = {0.5, 0.3, 0.2};
        e.k1 = {1.0, 1.0, 1.0};
        e.k2 = {1.0, 1.0, 1.0};
        host().write_equilibrium();
    }
    std::vector<double> values(int64_t phase, int64_t basis = 0, int64_t nval = 4, int64_t side = 0,
                               int64_t* ierr_out = nullptr) {
        std::vector<double> v(6, kSentinel);
        int64_t ierr = 7, p = phase;
        host().log.clear();
        XIF_HXBCMP(svec.data(), nullptr, &side, &p, &basis, v.data(), &nval, &ierr);
        if (ierr_out) *ierr_out = ierr;
        return v;
    }
    void refresh() { host().write_equilibrium(); }
};

TEST_F(Components, FractionsLandAtTheirComponentNumbers) {
    const struct {
        int64_t phase;
        std::vector<double> want;
    } cases[] = {{1, {0.2, 0.0, 0.3, 0.5}},
                 {2, {0.5, 0.0, 0.3, 0.2}},
                 {3, {0.1, 0.0, 0.3, 0.6}},
                 {4, {0.15, 0.0, 0.85, 0.0}},
                 {5, {0.0, 0.0, 0.05, 0.95}}};
    for (const auto& c : cases) {
        int64_t ierr = 9;
        const std::vector<double> v = values(c.phase, 0, 4, 0, &ierr);
        EXPECT_EQ(std::vector<double>(v.begin(), v.begin() + 4), c.want) << c.phase;
        EXPECT_EQ(v[4], kSentinel); // nothing beyond NVAL
        EXPECT_EQ(ierr, 0);
    }
}

TEST_F(Components, AbsentPhaseFillsListPositionsWithTheMissingValue) {
    three_phases(0.5, 0.0, 0.5);
    int64_t ierr = 0;
    const std::vector<double> v = values(4, 0, 4, 0, &ierr);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(v, (std::vector<double>{kMissing, kMissing, kMissing, 0.0, kSentinel, kSentinel}));
    // With NVAL 0 nothing is written, but the absence is still reported.
    EXPECT_EQ(values(4, 0, 0, 0, &ierr), std::vector<double>(6, kSentinel));
    EXPECT_EQ(ierr, -1);
}

TEST_F(Components, SmallestValueIsTheThresholdAndNvalBoundsTheList) {
    host().eq.z = {std::nextafter(kSmallest, 0.0), kSmallest, 0.5};
    refresh();
    std::vector<double> v = values(1);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(v[2], kSmallest);
    // NVAL 2: two elements cleared, two list entries (components 1 and 3).
    host().eq.z = {0.2, 0.3, 0.5};
    refresh();
    v = values(1, 0, 2);
    EXPECT_EQ(v, (std::vector<double>{0.2, 0.0, 0.3, kSentinel, kSentinel, kSentinel}));
    EXPECT_EQ(values(1, 0, -3), std::vector<double>(6, kSentinel));
}

TEST_F(Components, MassFractionsUseComponentAndPhaseWeights) {
    // Component weights 10, 30, 40; the stream's 25, the first liquid's stored 29.
    std::vector<double> v = values(1, 1);
    EXPECT_DOUBLE_EQ(v[0], 0.2 * 10.0 / 25.0);
    EXPECT_EQ(v[1], 0.0);
    EXPECT_DOUBLE_EQ(v[2], 0.3 * 30.0 / 25.0);
    EXPECT_DOUBLE_EQ(v[3], 0.5 * 40.0 / 25.0);
    host().set_record(2, {1, 3}, {0.15, 0.85}, 0.3, 29.0);
    v = values(4, 1);
    EXPECT_DOUBLE_EQ(v[0], 0.15 * 10.0 / 29.0);
    EXPECT_DOUBLE_EQ(v[2], 0.85 * 30.0 / 29.0);
    EXPECT_EQ(v[3], 0.0);
}

class VapourSubset : public Components {
  protected:
    void SetUp() override {
        Components::SetUp();
        // Component 1: flash array exactly at the mark, not listed: excluded.
        // Component 3: first array just above the mark. Component 4: listed.
        host().eq.k1 = {1e8, std::nextafter(1e8, 2e8), 1.0};
        refresh();
        host().subset_list = at::kSubsetList;
        set_plex_int(at::kSubsetList, 1);
        set_plex_int(at::kSubsetList + 1, plex_int(at::kIds + 7));
        set_plex_int(at::kSubsetList + 2, plex_int(at::kIds + 8));
    }
};

TEST_F(VapourSubset, QualifyingComponentsRenormalised) {
    std::vector<double> v = values(6);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(v[1], 0.0);
    EXPECT_DOUBLE_EQ(v[2], 0.3 / 0.5);
    EXPECT_DOUBLE_EQ(v[3], 0.2 / 0.5);
    EXPECT_DOUBLE_EQ(v[2] + v[3], 1.0);
    const std::vector<Call> key = host().calls("CAT_LOCATI");
    ASSERT_EQ(key.size(), 1u);
    EXPECT_EQ(key[0].i(1), 102); // word 2 of side 0's group
    values(6, 0, 4, 1);
    EXPECT_EQ(host().calls("CAT_LOCATI").at(0).i(1), 202);
    // The second flash array qualifies a component as well.
    host().eq.k2 = {2e8, 1.0, 1.0};
    refresh();
    v = values(6);
    EXPECT_DOUBLE_EQ(v[0], 0.5);
    EXPECT_DOUBLE_EQ(v[2], 0.3);
}

TEST_F(VapourSubset, ExclusionParameterMustBeExactlyZero) {
    set_plex_real(at::kExclusion + 3, std::numeric_limits<double>::quiet_NaN());
    std::vector<double> v = values(6);
    EXPECT_EQ(v[2], 0.0);
    EXPECT_EQ(v[3], 1.0);
    set_plex_real(at::kExclusion + 3, 0.0);
    set_plex_real(at::kExclusion + 4, 1.0);
    v = values(6);
    EXPECT_EQ(v[2], 1.0);
    EXPECT_EQ(v[3], 0.0);
}

TEST_F(VapourSubset, KeyZeroMeansAnEmptyListAndAbsenceIsReported) {
    XIF_HXIPP.word[1] = 0;
    std::vector<double> v = values(6);
    EXPECT_TRUE(host().calls("CAT_LOCATI").empty());
    EXPECT_EQ(v[2], 1.0);
    EXPECT_EQ(v[3], 0.0);
    three_phases(0.0, 0.5, 0.5);
    int64_t ierr = 0;
    v = values(6, 0, 4, 0, &ierr);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(v[0], kMissing);
}

class ComponentData : public LibTest {
  protected:
    const char* names[7] = {"TB", "OMEGA", "MUP", "VLSTD", "MW", "TC", "PC"};
    void SetUp() override {
        LibTest::SetUp();
        for (int64_t t = 0; t < 7; ++t) {
            const int64_t off = at::kParams + 100 * t;
            host().param_offset[names[t]] = off;
            for (int64_t i = 1; i <= 5; ++i)
                set_plex_real(off + i,
                              1000.0 * static_cast<double>(t + 1) + static_cast<double>(i));
        }
    }
    std::vector<double> constants(int64_t code, int64_t nval) {
        std::vector<double> v(6, kSentinel);
        host().log.clear();
        XIF_HXBCPROP(nullptr, nullptr, nullptr, &code, v.data(), &nval);
        return v;
    }
    std::vector<double> table(const std::string& name, int64_t n) const {
        int64_t t = 0;
        while (names[t] != name)
            ++t;
        std::vector<double> v(6, kSentinel);
        for (int64_t i = 1; i <= n; ++i)
            v[i - 1] = plex_real(at::kParams + 100 * t + i);
        return v;
    }
};

TEST_F(ComponentData, EachCodeReadsItsParameter) {
    const std::pair<int64_t, const char*> cases[] = {
        {2, "MW"}, {3, "PC"}, {4, "TC"}, {5, "VLSTD"}, {6, "TB"}, {7, "OMEGA"}, {8, "MUP"}};
    for (const auto& [code, name] : cases)
        EXPECT_EQ(constants(code, 3), table(name, 3)) << code;
}

TEST_F(ComponentData, SevenLookupsInOrderWhateverTheCode) {
    for (int64_t code : {2, 1, 9}) {
        for (int64_t nval : {3, 0}) {
            constants(code, nval);
            std::vector<std::string> texts;
            for (const Call& c : host().calls("CAT_IFCMNC"))
                texts.push_back(c.text);
            EXPECT_EQ(texts,
                      (std::vector<std::string>{"TB", "OMEGA", "MUP", "VLSTD", "MW", "TC", "PC"}))
                << code << " " << nval;
        }
    }
}

TEST_F(ComponentData, UnknownCodeGivesZerosAndNvalZeroWritesNothing) {
    for (int64_t code : {int64_t{1}, int64_t{9}, int64_t{-2}, int64_t{0}})
        EXPECT_EQ(constants(code, 3),
                  (std::vector<double>{0.0, 0.0, 0.0, kSentinel, kSentinel, kSentinel}))
            << code;
    EXPECT_EQ(constants(2, 0), std::vector<double>(6, kSentinel));
}

} // namespace
} // namespace xif::test
