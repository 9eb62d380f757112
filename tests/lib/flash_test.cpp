// The stream flash: option copies per side, the specifications and estimate
// of each flash type, the one-shot estimate, retained slots and retention
// mode, the status, the write-back and the point update.
#include "fixture.h"

namespace xif::test {
namespace {

class Flash : public LibTest {
  protected:
    void SetUp() override {
        start(2);
        host().eq.components = {1, 2};
        host().eq.z = host().eq.x = host().eq.x1 = {0.5, 0.5};
        host().eq.y = {0.5, 0.5};
        host().eq.T = 350.0;
        host().eq.P = 2e5;
        host().eq.vf = 0.25;
        svec[nc + 3] = -5.0; // enthalpy
        svec[nc + 4] = 0.75; // vapour fraction
    }
    int64_t flash(int64_t side, int64_t point, int64_t type, int64_t update = 0) {
        int64_t ierr = -99;
        XIF_HXBFLS(svec.data(), nullptr, &side, &point, &type, &update, &ierr);
        return ierr;
    }
    Call last_flash() const { return host().calls("EQUI_FLASH").back(); }
};

TEST_F(Flash, SpecificationsAndEstimateOfEachType) {
    struct Case {
        int64_t type;
        double spec1, spec2, estimate;
    } cases[] = {{3, 1e5, 0.75, 300.0}, {4, 300.0, -5.0, 1e5}, {5, 300.0, 0.75, 1e5}};
    for (const Case& c : cases) {
        SetUp();
        flash(0, 0, c.type);
        const Call f = last_flash();
        EXPECT_EQ(f.i(6), c.type);
        EXPECT_EQ(f.r(11), c.spec1) << c.type;
        EXPECT_EQ(f.r(12), c.spec2) << c.type;
        EXPECT_EQ(f.r(13), c.estimate) << c.type;
    }
}

TEST_F(Flash, TypeTwoAndUnknownTypesKeepThePreviousEstimate) {
    flash(0, 0, 4); // estimate: pressure 1e5
    T() = 320.0;
    P() = 3e5;
    flash(0, 0, 2);
    EXPECT_EQ(last_flash().r(11), 320.0);
    EXPECT_EQ(last_flash().r(12), 3e5);
    EXPECT_EQ(last_flash().r(13), 1e5);
    T() = 330.0;
    flash(0, 0, 9); // nothing set
    EXPECT_EQ(last_flash().r(11), 320.0);
    EXPECT_EQ(last_flash().r(13), 1e5);
    EXPECT_EQ(last_flash().i(6), 9);
}

TEST_F(Flash, PressureEnthalpyReadsEnthalpyBeforeTheHostSetsUpTheStream) {
    const int64_t n = nc;
    host().on_seth = [n](double* s) {
        s[n + 1] = 444.0; // temperature
        s[n + 2] = 5e5;   // pressure
        s[n + 3] = 1.0;   // enthalpy: too late to count
    };
    flash(0, 0, 1);
    const Call f = last_flash();
    EXPECT_EQ(f.r(11), 5e5);
    EXPECT_EQ(f.r(12), -5.0);
    EXPECT_EQ(f.r(13), 444.0);
    const Call seth = host().calls("VEC_SETH").at(0);
    EXPECT_EQ(seth.p(2), &XIF_HXIPP.word[25]);
    EXPECT_EQ(seth.r(5), 0.0);
    // With more than one stream list entry the host's global estimate is used.
    XIF_HXIPP.word[25] = 2;
    CAT_RGLOB[0].r = 515.0;
    flash(0, 0, 1);
    EXPECT_EQ(last_flash().r(13), 515.0);
}

TEST_F(Flash, OptionCopiesPerSideInTheirArgumentOrder) {
    for (int64_t w = 1; w <= 20; ++w)
        XIF_HXIPP.word[w - 1] = 100 + w;
    XIF_HXRPP.word[0] = 1.5;
    XIF_HXRPP.word[3] = 4.5;
    XIF_HXIPP.word[21] = 22;
    XIF_HXIPP.word[22] = 23;
    flash(1, 0, 2);
    Call f = last_flash();
    EXPECT_EQ(f.group, (std::array<int64_t, 6>{111, 112, 113, 114, 115, 116}));
    EXPECT_EQ(f.i(7), 118);
    EXPECT_EQ(f.i(8), 117);
    EXPECT_EQ(f.i(9), 119);
    EXPECT_EQ(f.r(10), 4.5);
    EXPECT_EQ(f.p(14), &XIF_HXIPP.word[21]);
    EXPECT_EQ(f.p(15), &XIF_HXIPP.word[22]);
    EXPECT_EQ(f.i(17), 1);
    flash(0, 0, 2);
    f = last_flash();
    EXPECT_EQ(f.group[0], 101);
    EXPECT_EQ(f.i(7), 108);
    EXPECT_EQ(f.i(8), 107);
    EXPECT_EQ(f.r(10), 1.5);
    // A side out of range keeps the last copies.
    for (int64_t w = 1; w <= 20; ++w)
        XIF_HXIPP.word[w - 1] = 0;
    flash(-1, 0, 2);
    EXPECT_EQ(last_flash().group[0], 101);
    EXPECT_EQ(last_flash().i(7), 108);
}

TEST_F(Flash, StreamListsAndHostWorkWithoutRetention) {
    XIF_HXIPP.word[25] = 3;
    flash(0, 4, 2);
    const Call f = last_flash();
    const int64_t w = at::kIntWork + at::kStreamLists;
    EXPECT_EQ(f.p(2), &XIF_HXIPP.word[25]);
    EXPECT_EQ(f.p(3), &CAT_PLEX[w - 1]);
    EXPECT_EQ(f.p(4), &CAT_PLEX[w + 3 - 1]);
    EXPECT_EQ(f.p(18), &CAT_PLEX[at::kRealWork + at::kFlashReal - 1]);
    EXPECT_EQ(f.p(19), &CAT_PLEX[at::kIntWork + at::kFlashInt - 1]);
    EXPECT_EQ(f.i(16), 0);
}

TEST_F(Flash, RetainedSlotOfSideOneAndStatusInItsLastWord) {
    XIF_HXIPP.word[23] = at::kSlotInts;
    XIF_HXIPP.word[24] = at::kSlotReals;
    XIF_HXIPP.word[26] = 1;
    host().flash_status = 6;
    EXPECT_EQ(flash(1, 3, 2), 6); // slot 7
    const Call f = last_flash();
    EXPECT_EQ(f.p(18), &CAT_PLEX[at::kSlotReals + at::kSlotRealSize * 7 - 1]);
    const int64_t ints = at::kSlotInts + (at::kSlotIntSize + 1) * 7;
    EXPECT_EQ(f.p(19), &CAT_PLEX[ints - 1]);
    EXPECT_EQ(plex_int(ints + at::kSlotIntSize), 6);
    EXPECT_EQ(f.i(16), 1);
}

TEST_F(Flash, RetentionModeAfterFailureAndSuccess) {
    XIF_HXIPP.word[26] = 1;
    host().flash_status = 3;
    EXPECT_EQ(flash(0, 0, 2), 3);
    EXPECT_EQ(XIF_HXIPP.word[26], 2);
    // Mode 2 with a negative point hands 1 to the flash.
    host().flash_status = 1;
    flash(0, -1, 2);
    EXPECT_EQ(last_flash().i(16), 1);
    EXPECT_EQ(XIF_HXIPP.word[26], 1);
    // Mode 0 stays 0 whatever the status; negative modes stay too.
    XIF_HXIPP.word[26] = 0;
    host().flash_status = 3;
    flash(0, 2, 2);
    EXPECT_EQ(XIF_HXIPP.word[26], 0);
    XIF_HXIPP.word[26] = -4;
    flash(0, 2, 2);
    EXPECT_EQ(XIF_HXIPP.word[26], -4);
}

TEST_F(Flash, StatusFromTheFlashCode) {
    host().flash_code = 17;
    host().flash_status = 4;
    EXPECT_EQ(flash(0, 0, 2), 4);
    const Call stat = host().calls("EQUI_FLSTAT").at(0);
    EXPECT_EQ(stat.i(1), 0);
    EXPECT_EQ(stat.i(2), 17);
    EXPECT_EQ(stat.p(2), last_flash().p(20));
}

TEST_F(Flash, OneShotTemperatureEstimateIsUsedOnce) {
    host().eq.T = 300.0; // the stream keeps its temperature across flashes
    XIF_HXRPP.word[1] = 280.0;
    flash(0, 2, 1);
    EXPECT_EQ(last_flash().r(13), 280.0);
    EXPECT_EQ(XIF_HXRPP.word[1], kMissing);
    flash(0, 2, 1);
    EXPECT_EQ(last_flash().r(13), 300.0);
    // Side 1 uses its own word; other points and types leave it alone.
    XIF_HXRPP.word[4] = 290.0;
    flash(1, 1, 3);
    EXPECT_EQ(XIF_HXRPP.word[4], 290.0);
    flash(1, 2, 4);
    EXPECT_EQ(XIF_HXRPP.word[4], 290.0);
    flash(1, 2, 3);
    EXPECT_EQ(last_flash().r(13), 290.0);
    EXPECT_EQ(XIF_HXRPP.word[4], kMissing);
    // The missing value itself is not an estimate; nor is one in retention mode 2.
    XIF_HXRPP.word[1] = kMissing;
    flash(0, 2, 3);
    EXPECT_EQ(last_flash().r(13), 300.0);
    XIF_HXRPP.word[1] = 250.0;
    XIF_HXIPP.word[26] = 2;
    flash(0, 2, 3);
    EXPECT_EQ(XIF_HXRPP.word[1], 250.0);
}

TEST_F(Flash, WritesBackTemperaturePressureAndVapourFractionOnly) {
    flash(0, 0, 2);
    EXPECT_EQ(T(), 350.0);
    EXPECT_EQ(P(), 2e5);
    EXPECT_EQ(svec[nc + 4], 0.25);
    EXPECT_EQ(svec[nc + 3], -5.0);
    // A failed flash still writes back and builds records.
    host().flash_status = 2;
    host().eq.T = 360.0;
    flash(0, 0, 2);
    EXPECT_EQ(T(), 360.0);
    EXPECT_EQ(block_int(RIG_HXPKV, 4), 2);
}

TEST_F(Flash, PointUpdateOfTheSide) {
    flash(1, 0, 2, 1);
    ASSERT_EQ(host().calls("CONV_PEQPT1").size(), 1u);
    EXPECT_EQ(host().calls("CONV_PEQPT1")[0].p(1), &XIF_HXSBD.word[1]);
    flash(0, 0, 2, 1);
    EXPECT_EQ(host().calls("CONV_PEQPT1")[1].p(1), &XIF_HXSBD.word[0]);
    flash(2, 0, 2, 1);
    flash(0, 0, 2, 2);
    EXPECT_EQ(host().calls("CONV_PEQPT1").size(), 2u);
}

} // namespace
} // namespace xif::test
