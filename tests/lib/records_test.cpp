// Phase records laid out after a flash: which components each record lists,
// the phase fractions and their clipping, the single-liquid fill-in, and
// the vapour subset.
#include "fixture.h"

#include <cmath>
#include <cstring>

namespace xif::test {
namespace {

class Records : public LibTest {
  protected:
    void SetUp() override {
        start(4);
        Equilibrium& e = host().eq;
        e.components = {1, 2, 3, 4};
        e.z = {0.1, 0.2, 0.3, 0.4};
        e.y = {0.5, 0.3, 0.2, 0.0};
        e.x = {0.0, 0.1, 0.3, 0.6};
        e.x1 = {0.0, 0.2, 0.7, 0.1};
        e.x2 = {0.0, 0.0, 0.05, 0.95};
        e.k1 = {1.0, 1.0, 1.0, 1.0};
        e.k2 = {1.0, 1.0, 1.0, 1.0};
        for (int k = 0; k < 16; ++k)
            e.per_phase[k] = 100.0 + k; // 47..62
    }

    void flash() {
        int64_t side = 0, point = 0, type = 2, update = 0, ierr = 0;
        XIF_HXBFLS(svec.data(), nullptr, &side, &point, &type, &update, &ierr);
    }

    struct Record {
        std::vector<int64_t> comps;
        std::vector<double> x;
        double fraction, mw;
    };
    static Record read(int64_t s) {
        Record r;
        const int64_t n = block_int(RIG_HXPKV, s);
        for (int64_t i = 0; i < n; ++i) {
            r.comps.push_back(plex_int(at::slot_list(s) + i));
            r.x.push_back(plex_real(at::slot_record(s) + i));
        }
        r.fraction = plex_real(at::slot_record(s) + n);
        r.mw = plex_real(at::slot_record(s) + n + 1);
        return r;
    }
};

TEST_F(Records, VapourAndTwoLiquidsListTheirPresentComponents) {
    host().eq.vf = 0.4;
    host().eq.b = 0.75;
    flash();
    const Record v = read(4), t = read(1), l1 = read(2), l2 = read(3);
    EXPECT_EQ(v.comps, (std::vector<int64_t>{1, 2, 3}));
    EXPECT_EQ(v.x, (std::vector<double>{0.5, 0.3, 0.2}));
    EXPECT_EQ(v.fraction, 0.4);
    EXPECT_EQ(v.mw, 100.0 + 12); // VEC_STWORK(59)
    EXPECT_EQ(t.comps, (std::vector<int64_t>{2, 3, 4}));
    EXPECT_DOUBLE_EQ(t.fraction, 0.6);
    EXPECT_EQ(t.mw, 100.0 + 13);
    EXPECT_EQ(l1.comps, (std::vector<int64_t>{2, 3, 4}));
    EXPECT_DOUBLE_EQ(l1.fraction, 0.6 * 0.75);
    EXPECT_EQ(l1.mw, 100.0 + 14);
    EXPECT_EQ(l2.comps, (std::vector<int64_t>{3, 4}));
    EXPECT_DOUBLE_EQ(l2.fraction, 0.6 * 0.25);
    EXPECT_EQ(l2.mw, 100.0 + 15);
}

TEST_F(Records, WaterIsListedEvenAtZeroFraction) {
    host().eq.vf = 0.4;
    host().eq.b = 0.75;
    host().water_position = 1; // component 1 is absent from every liquid
    flash();
    EXPECT_EQ(read(1).comps, (std::vector<int64_t>{1, 2, 3, 4}));
    EXPECT_EQ(read(1).x[0], 0.0);
    EXPECT_EQ(read(3).comps, (std::vector<int64_t>{1, 3, 4}));
    // A position that matches no entry lists nothing extra.
    host().water_position = 9;
    flash();
    EXPECT_EQ(read(3).comps, (std::vector<int64_t>{3, 4}));
}

TEST_F(Records, TraceThresholdIsStrict) {
    host().eq.y = {1e-10, std::nextafter(1e-10, 1.0), 0.5, 0.5};
    host().eq.vf = 0.5;
    flash();
    EXPECT_EQ(read(4).comps, (std::vector<int64_t>{2, 3, 4}));
}

TEST_F(Records, FirstLiquidShareOfOneCopiesTheTotalLiquid) {
    host().eq.vf = 0.0;
    host().eq.b = 1.0;
    flash();
    const Record t = read(1), l1 = read(2);
    EXPECT_EQ(l1.comps, t.comps);
    EXPECT_EQ(l1.x, t.x);
    EXPECT_EQ(l1.fraction, 1.0);
    EXPECT_EQ(l1.mw, t.mw);
    EXPECT_EQ(read(3).fraction, 0.0);
    // The host sees the per-phase values copied: 48 -> 49, 52 -> 53, 56 -> 57, 60 -> 61.
    for (int g = 0; g < 4; ++g)
        EXPECT_EQ(block_real(VEC_STWORK, 49 + 4 * g), block_real(VEC_STWORK, 48 + 4 * g));
    EXPECT_EQ(block_real(VEC_STWORK, 50), 100.0 + 3); // second liquid's untouched
}

TEST_F(Records, FirstLiquidShareOfZeroCopiesToTheSecondLiquid) {
    host().eq.vf = 0.3;
    host().eq.b = 0.0;
    flash();
    EXPECT_EQ(read(3).x, read(1).x);
    EXPECT_DOUBLE_EQ(read(3).fraction, 0.7);
    EXPECT_EQ(read(2).fraction, 0.0);
    for (int g = 0; g < 4; ++g)
        EXPECT_EQ(block_real(VEC_STWORK, 50 + 4 * g), block_real(VEC_STWORK, 48 + 4 * g));
    EXPECT_EQ(block_real(VEC_STWORK, 49), 100.0 + 2);
}

TEST_F(Records, ShareOfAHalfCopiesNothing) {
    host().eq.b = 0.5;
    flash();
    EXPECT_EQ(read(2).comps, (std::vector<int64_t>{2, 3, 4}));
    EXPECT_EQ(read(2).x, (std::vector<double>{0.2, 0.7, 0.1}));
    EXPECT_EQ(block_real(VEC_STWORK, 49), 100.0 + 2);
}

TEST_F(Records, FractionsAreClippedAtBothEnds) {
    host().eq.vf = 0.99999999995;
    flash();
    EXPECT_EQ(read(4).fraction, 1.0);
    EXPECT_EQ(read(1).fraction, 0.0);
    host().eq.vf = 0.9999999998;
    flash();
    EXPECT_EQ(read(4).fraction, 0.9999999998);
}

TEST_F(Records, UnwantedSlotIsNeverTouched) {
    set_block_int(RIG_HXPKV, 3, -1);
    set_plex_real(at::slot_record(3), 42.0);
    host().eq.vf = 0.5;
    host().eq.b = 0.5;
    flash();
    EXPECT_EQ(block_int(RIG_HXPKV, 3), -1);
    EXPECT_EQ(plex_real(at::slot_record(3)), 42.0);
    EXPECT_EQ(read(2).comps.size(), 3u);
}

class Subset : public Records {
  protected:
    void SetUp() override {
        Records::SetUp();
        host().eq.vf = 0.5;
        host().eq.y = {0.4, 0.3, 0.2, 0.1};
    }
};

TEST_F(Subset, MarkedByEitherFlashArrayAboveTheThreshold) {
    host().eq.k1 = {1e8, std::nextafter(1e8, 1e9), 1.0, 1.0};
    host().eq.k2 = {1.0, 1.0, 2e8, 1.0};
    flash();
    const Record s = read(5);
    EXPECT_EQ(s.comps, (std::vector<int64_t>{2, 3}));
    EXPECT_DOUBLE_EQ(s.x[0], 0.6);
    EXPECT_DOUBLE_EQ(s.x[1], 0.4);
    EXPECT_DOUBLE_EQ(s.fraction, 0.5 * 0.5);
    EXPECT_DOUBLE_EQ(s.mw, 20.0 * 0.6 + 30.0 * 0.4);
    EXPECT_TRUE(host().calls("CAT_LOCATI").empty()); // key 0: no list
}

TEST_F(Subset, ExclusionParameterAndTraceKeepComponentsOut) {
    host().eq.k1 = {2e8, 2e8, 2e8, 2e8};
    host().eq.y = {0.4, 0.3, 1e-11, 0.3};
    set_plex_real(at::kExclusion + 1, 1.0);
    set_plex_real(at::kExclusion + 4, std::nan(""));
    flash();
    EXPECT_EQ(read(5).comps, (std::vector<int64_t>{2}));
    EXPECT_EQ(read(5).x, (std::vector<double>{1.0}));
}

TEST_F(Subset, IdentifierListSelectsByBothWords) {
    XIF_HXIPP.word[1] = 77; // key of side 0's list
    host().subset_list = at::kSubsetList;
    // Two entries: component 4's identifier, and component 1's first word
    // with a different second word.
    set_plex_int(at::kSubsetList, 2);
    set_plex_int(at::kSubsetList + 1, plex_int(at::kIds + 7));
    set_plex_int(at::kSubsetList + 2, plex_int(at::kIds + 8));
    set_plex_int(at::kSubsetList + 3, plex_int(at::kIds + 1));
    set_plex_int(at::kSubsetList + 4, 12345);
    flash();
    ASSERT_EQ(host().calls("CAT_LOCATI").size(), 1u);
    EXPECT_EQ(host().calls("CAT_LOCATI")[0].i(1), 77);
    EXPECT_EQ(read(5).comps, (std::vector<int64_t>{4}));
    EXPECT_EQ(read(5).mw, 40.0);
}

TEST_F(Subset, NoQualifyingComponentLeavesAnEmptyRecord) {
    flash();
    EXPECT_EQ(block_int(RIG_HXPKV, 5), 0);
    EXPECT_EQ(read(5).fraction, 0.0);
    EXPECT_EQ(read(5).mw, 0.0);
}

} // namespace
} // namespace xif::test
