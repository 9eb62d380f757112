// Molecular weight, phase flow and flow scaling; per-component fractions
// from the flash work area and pure-component constants by property code.
#include "fixture.h"

#include <cmath>
#include <iterator>
#include <string>
#include <tuple>

namespace xif::test {
namespace {

constexpr double kSentinel = -5.0;

using Flows = LibTest;

TEST_F(Flows, MolecularWeightAndPhaseFlow) {
    EXPECT_EQ(call(XIF_HXBMWT, 0, 1).value, 25.0); // the stream vector's, without a flash
    three_phases(0.5, 0.3, 0.2);
    // The stored weight of the record, not its composition's.
    const std::pair<int64_t, double> cases[] = {
        {2, 20.0}, {3, 30.0}, {4, 27.0}, {5, 44.0}, {6, 12.0}};
    for (const auto& [phase, mw] : cases)
        for (int64_t basis : {0, 1})
            EXPECT_EQ(call(XIF_HXBMWT, 0, phase, basis), (Answer{mw, 0})) << phase;
    // A phase flow: the total times the fraction on the same basis.
    host().tot_flow = 0.25;
    host().tot_mass = 6.5;
    EXPECT_EQ(call(XIF_HXBMFL, 0, 1).value, 0.25);
    EXPECT_EQ(call(XIF_HXBMFL, 0, 1, 1).value, 6.5);
    EXPECT_EQ(call(XIF_HXBMFL, 0, 2, 0).value, 0.25 * 0.5);
    // Mass: the vapour's mass fraction from its composition (weight 11).
    EXPECT_DOUBLE_EQ(call(XIF_HXBMFL, 0, 2, 1).value, 6.5 * 0.5 * 11.0 / 25.0);
    // A total at or above the missing value is no flow.
    for (double total : {kMissing, 2 * kMissing, std::nextafter(kMissing, 0.0)}) {
        host().tot_flow = total;
        EXPECT_EQ(call(XIF_HXBMFL, 0, 1), (Answer{total < kMissing ? total : 0.0, 0})) << total;
    }
}

TEST_F(Flows, FlowScalingMultipliesOnlyTheComponentFlows) {
    // Flows 1..4 (total 10), weight 25: 250 by mass; parameters 0.5 j.
    for (int64_t j = 1; j <= nc; ++j)
        set_plex_real(at::kParam457 + j, 0.5 * static_cast<double>(j));
    const Reals before = svec;
    double valin = 500.0, flowm = -1, sump = -1, ratio = -1;
    XIF_HXBZMF(svec.data(), nullptr, nullptr, &valin, &flowm, &sump, &ratio);
    EXPECT_EQ((Reals{flowm, ratio}), (Reals{20.0, 2.0}));
    EXPECT_DOUBLE_EQ(sump, 2.0 * (0.5 * 1 + 1.0 * 2 + 1.5 * 3 + 2.0 * 4));
    for (size_t i = 0; i < svec.size(); ++i) // the total flow too is left alone
        EXPECT_EQ(svec[i], before[i] * (static_cast<int64_t>(i) < nc ? 2.0 : 1.0)) << i + 1;
    EXPECT_TRUE(host().log.empty());
}

class Components : public LibTest {
  protected:
    void SetUp() override {
        LibTest::SetUp();
        option_sets();
        three_phases(0.5, 0.3, 0.2);
        // clang-format off
        host().eq = {.components = {1, 3, 4}, .z = {0.2, 0.3, 0.5}, .x = {0.1, 0.3, 0.6},
                     .x1 = {0.15, 0.85, 0.0}, .x2 = {0.0, 0.05, 0.95}, .y = {0.5, 0.3, 0.2},
                     .k1 = {1.0, 1.0, 1.0}, .k2 = {1.0, 1.0, 1.0}};
        // clang-format on
        host().write_equilibrium();
    }
    Reals values(int64_t phase, int64_t basis = 0, int64_t nval = 4, int64_t side = 0) {
        Reals v(6, kSentinel);
        ierr = 7;
        host().log.clear();
        XIF_HXBCMP(svec.data(), nullptr, &side, &phase, &basis, v.data(), &nval, &ierr);
        return v;
    }
    int64_t ierr = 0;
    // Within 4 ulps, element by element.
    static void expect_near(const Reals& got, const Reals& want) {
        for (size_t i = 0; i < want.size(); ++i)
            EXPECT_DOUBLE_EQ(got[i], want[i]) << "element " << i + 1;
    }
};

TEST_F(Components, FractionsLandAtTheirComponentNumbers) {
    const std::pair<int64_t, Reals> cases[] = {{1, {0.2, 0.0, 0.3, 0.5}},
                                               {2, {0.5, 0.0, 0.3, 0.2}},
                                               {3, {0.1, 0.0, 0.3, 0.6}},
                                               {4, {0.15, 0.0, 0.85, 0.0}},
                                               {5, {0.0, 0.0, 0.05, 0.95}}};
    for (const auto& [phase, want] : cases) {
        const Reals v = values(phase);
        EXPECT_EQ(Reals(v.begin(), v.begin() + 4), want) << phase;
        EXPECT_EQ(v[4], kSentinel); // nothing beyond NVAL
        EXPECT_EQ(ierr, 0);
    }
    host().eq.z = {std::nextafter(kSmallest, 0.0), kSmallest, 0.5};
    host().write_equilibrium();
    EXPECT_EQ(values(1), (Reals{0.0, 0.0, kSmallest, 0.5, kSentinel, kSentinel}));
    // NVAL 2: two elements cleared, two list entries (components 1 and 3).
    EXPECT_EQ(values(1, 0, 2), (Reals{0.0, 0.0, kSmallest, kSentinel, kSentinel, kSentinel}));
    EXPECT_EQ(values(1, 0, -3), Reals(6, kSentinel));
    // An absent phase: the missing value by list position, not component.
    three_phases(0.5, 0.0, 0.5);
    EXPECT_EQ(values(4), (Reals{kMissing, kMissing, kMissing, 0.0, kSentinel, kSentinel}));
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(values(4, 0, 0), Reals(6, kSentinel)); // still reported
    EXPECT_EQ(ierr, -1);
}

TEST_F(Components, MassFractionsUseComponentAndPhaseWeights) {
    // Component weights 10, 30, 40; the stream's 25, the first liquid's stored 29.
    expect_near(values(1, 1), {0.2 * 10.0 / 25.0, 0.0, 0.3 * 30.0 / 25.0, 0.5 * 40.0 / 25.0});
    host().set_record(2, {1, 3}, {0.15, 0.85}, 0.3, 29.0);
    expect_near(values(4, 1), {0.15 * 10.0 / 29.0, 0.0, 0.85 * 30.0 / 29.0, 0.0});
    // One variable for IBASIS and IERR: the basis is read before IERR is cleared.
    int64_t side = 0, phase = 1, shared = 1, nval = 4;
    Reals v(4, kSentinel);
    XIF_HXBCMP(svec.data(), nullptr, &side, &phase, &shared, v.data(), &nval, &shared);
    expect_near(v, {0.2 * 10.0 / 25.0, 0.0, 0.3 * 30.0 / 25.0, 0.5 * 40.0 / 25.0});
    EXPECT_EQ(shared, 0);
}

TEST_F(Components, VapourSubsetIsTheMarkedComponentsRenormalised) {
    // 1: exactly at the mark, not listed; 3: just above the mark; 4: listed.
    host().eq.k1 = {1e8, std::nextafter(1e8, 2e8), 1.0};
    host().write_equilibrium();
    host().subset_list = at::kSubsetList;
    set_plex_int(at::kSubsetList, 1);
    set_plex_int(at::kSubsetList + 1, plex_int(at::kIds + 7));
    set_plex_int(at::kSubsetList + 2, plex_int(at::kIds + 8));
    expect_near(values(6), {0.0, 0.0, 0.3 / 0.5, 0.2 / 0.5});
    EXPECT_EQ(host().calls("CAT_LOCATI").at(0).i(1), 102); // word 2 of side 0's group
    values(6, 0, 4, 1);
    EXPECT_EQ(host().calls("CAT_LOCATI").at(0).i(1), 202);
    // The exclusion parameter must be exactly zero.
    set_plex_real(at::kExclusion + 3, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(values(6), (Reals{0.0, 0.0, 0.0, 1.0, kSentinel, kSentinel}));
    // Key 0 looks up no list; the second flash array qualifies a component too.
    set_plex_real(at::kExclusion + 3, 0.0);
    XIF_HXIPP.word[1] = 0;
    host().eq.k2 = {2e8, 1.0, 1.0};
    host().write_equilibrium();
    expect_near(values(6), {0.5 / 0.8, 0.0, 0.3 / 0.8, 0.0});
    EXPECT_TRUE(host().calls("CAT_LOCATI").empty());
}

TEST_F(Flows, ComponentConstantsByPropertyCode) {
    const char* names[] = {"TB", "OMEGA", "MUP", "VLSTD", "MW", "TC", "PC"};
    for (int64_t t = 0; t < 7; ++t) { // table t holds 1000 (t + 1) + i
        host().param_offset[names[t]] = at::kParams + 100 * t;
        for (int64_t i = 1; i <= 5; ++i)
            set_plex_real(at::kParams + 100 * t + i, 1000.0 * double(t + 1) + double(i));
    }
    // 2 MW, 3 PC, 4 TC, 5 VLSTD, 6 TB, 7 OMEGA, 8 MUP; any other code zeros.
    const std::pair<int64_t, double> cases[] = {{2, 5000}, {3, 7000}, {4, 6000}, {5, 4000},
                                                {6, 1000}, {7, 2000}, {8, 3000}, {1, 0},
                                                {9, 0},    {-2, 0},   {0, 0}};
    for (auto [code, base] : cases)
        for (int64_t nval : {3, 0}) {
            Reals v(5, kSentinel);
            host().log.clear();
            XIF_HXBCPROP(nullptr, nullptr, nullptr, &code, v.data(), &nval);
            // Every name is looked up, in its order, whatever the code and NVAL.
            std::vector<std::string> asked;
            for (const Call& c : host().calls("CAT_IFCMNC"))
                asked.push_back(c.text);
            EXPECT_EQ(asked, std::vector<std::string>(std::begin(names), std::end(names)));
            for (int64_t i = 0; i < 5; ++i) {
                const double want = base == 0 ? 0.0 : base + double(i + 1);
                EXPECT_EQ(v[i], i < nval ? want : kSentinel) << code << " " << i;
            }
        }
}

} // namespace
} // namespace xif::test
