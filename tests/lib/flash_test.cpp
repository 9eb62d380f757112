// The stream flash: given values, option copies, work areas and retained slots,
// status, retention mode, one-shot estimate, write-back; the phase records.
#include "fixture.h"

#include <cmath>
#include <numeric>
#include <string>
#include <tuple>

namespace xif::test {
namespace {

class Flash : public LibTest {
  protected:
    void SetUp() override {
        start(4);
        // clang-format off
        host().eq = {.T = 350.0, .P = 2e5, .vf = 0.25, .components = {1, 2, 3, 4}, .z = {},
                     .x = {0.0, 0.1, 0.3, 0.6}, .x1 = {0.0, 0.2, 0.7, 0.1}, .x2 = {0.0, 0.0, 0.05, 0.95},
                     .y = {0.5, 0.3, 0.2, 0.0}, .k1 = {1.0, 1.0, 1.0, 1.0}, .k2 = {1.0, 1.0, 1.0, 1.0}};
        // clang-format on
        std::iota(host().eq.per_phase.begin(), host().eq.per_phase.end(), 100.0); // (47..62)
        svec[nc + 3] = -5.0;                                                      // enthalpy
        svec[nc + 4] = 0.75;                                                      // vapour fraction
    }
    int64_t flash(int64_t side, int64_t point, int64_t type, int64_t update = 0) {
        int64_t ierr = -99;
        XIF_HXBFLS(svec.data(), nullptr, &side, &point, &type, &update, &ierr);
        return ierr;
    }
    // A flash of side 0 to the vapour fraction vf and first-liquid share b.
    void lay_out(double vf, double b) {
        host().eq.vf = vf;
        host().eq.b = b;
        flash(0, 0, 2);
    }
    // A record's components, mole fractions, and words after: fraction (1), weight (2).
    template <class T> static std::vector<T> words(int64_t s, T (*get)(int64_t), int64_t from) {
        std::vector<T> out;
        for (int64_t i = 0; i < block_int(RIG_HXPKV, s); ++i)
            out.push_back(get(from + i));
        return out;
    }
    static Longs comps(int64_t s) { return words(s, plex_int, at::slot_list(s)); }
    static Reals x(int64_t s) { return words(s, plex_real, at::slot_record(s)); }
    static double after(int64_t s, int64_t k) {
        return plex_real(at::slot_record(s) + block_int(RIG_HXPKV, s) + k - 1);
    }
    static Call last() { return host().calls("EQUI_FLASH").back(); }
    // The two given values and the estimate handed to the last flash.
    static Reals given() { return args(last(), &Call::r, {11, 12, 13}); }
};

TEST_F(Flash, GivenValuesAndEstimateOfEveryType) {
    const std::tuple<int64_t, Reals> cases[] = {
        {3, {1e5, 0.75, 300.0}}, {4, {300.0, -5.0, 1e5}}, {5, {300.0, 0.75, 1e5}}};
    for (const auto& [type, want] : cases) {
        SetUp();
        flash(0, 0, type);
        EXPECT_EQ(given(), want) << type;
        EXPECT_EQ(last().i(6), type);
    }
    // Type 2 sets T and P only: the estimate is kept.
    T() = 320.0;
    P() = 3e5;
    flash(0, 0, 2);
    EXPECT_EQ(given(), (Reals{320.0, 3e5, 1e5}));
    // Pressure and enthalpy: the enthalpy is read before the host sets up the stream.
    host().on_seth = [n = nc](double* s) {
        s[n + 1] = 444.0; // temperature
        s[n + 2] = 5e5;   // pressure
        s[n + 3] = 1.0;   // enthalpy: too late to count
    };
    flash(0, 0, 1);
    EXPECT_EQ(given(), (Reals{5e5, -5.0, 444.0}));
    EXPECT_EQ(host().calls("VEC_SETH").at(0).p(2), &XIF_HXIPP.word[25]);
}

TEST_F(Flash, OptionCopiesPerSideInTheirArgumentOrder) {
    for (int64_t w = 1; w <= 20; ++w)
        XIF_HXIPP.word[w - 1] = 100 + w;
    XIF_HXRPP.word[0] = 1.5;
    XIF_HXRPP.word[3] = 4.5;
    // The group, words 8, 7, 9 and the real word of the side, then 1.
    const auto options = [] {
        const Call f = last();
        return Reals{double(f.group[0]), double(f.group[5]), double(f.i(7)),
                     double(f.i(8)),     double(f.i(9)),     f.r(10),
                     double(f.i(17))};
    };
    const Reals side0{101, 106, 108, 107, 109, 1.5, 1};
    flash(1, 0, 2);
    EXPECT_EQ(options(), (Reals{111, 116, 118, 117, 119, 4.5, 1}));
    flash(0, 0, 2);
    EXPECT_EQ(options(), side0);
    for (int64_t w = 1; w <= 20; ++w)
        XIF_HXIPP.word[w - 1] = 0;
    flash(-1, 0, 2); // a side out of range keeps the last copies
    EXPECT_EQ(options(), side0);
}

TEST_F(Flash, WorkAreasRetainedSlotsStatusAndRetentionMode) {
    flash(0, 4, 2); // retention mode 0: the host's work areas
    EXPECT_EQ(args(last(), &Call::p, {18, 19}), (Ptrs{plex_at(at::kRealWork + at::kFlashReal),
                                                      plex_at(at::kIntWork + at::kFlashInt)}));
    EXPECT_EQ(last().i(16), 0);
    XIF_HXIPP.word[23] = at::kSlotInts;
    XIF_HXIPP.word[24] = at::kSlotReals;
    XIF_HXIPP.word[26] = 1;
    host().flash_status = 6;
    EXPECT_EQ(flash(1, 3, 2), 6); // slot 7
    const int64_t ints = at::kSlotInts + (at::kSlotIntSize + 1) * 7;
    EXPECT_EQ(args(last(), &Call::p, {18, 19}),
              (Ptrs{plex_at(at::kSlotReals + at::kSlotRealSize * 7), plex_at(ints)}));
    EXPECT_EQ(plex_int(ints + at::kSlotIntSize), 6); // the status in the slot's last word
    EXPECT_EQ(last().i(16), 1);
    // The status from the flash code; retention mode 2 after a failure.
    host().flash_code = 17;
    host().flash_status = 3;
    XIF_HXIPP.word[26] = 1;
    EXPECT_EQ(flash(0, 0, 2), 3);
    EXPECT_EQ(host().calls("EQUI_FLSTAT").back().i(2), 17);
    EXPECT_EQ(XIF_HXIPP.word[26], 2);
    // Mode 2 with a negative point hands 1 to the flash; success restores 1.
    host().flash_status = 1;
    flash(0, -1, 2);
    EXPECT_EQ(last().i(16), 1);
    EXPECT_EQ(XIF_HXIPP.word[26], 1);
    host().flash_status = 3; // mode 0 stays 0 whatever the status; negative modes too
    for (int64_t mode : {0, -4}) {
        XIF_HXIPP.word[26] = mode;
        flash(0, 2, 2);
        EXPECT_EQ(XIF_HXIPP.word[26], mode);
    }
}

TEST_F(Flash, OneShotTemperatureEstimateIsUsedOnce) {
    host().eq.T = 300.0; // the stream keeps its temperature across flashes
    XIF_HXRPP.word[1] = 280.0;
    XIF_HXRPP.word[4] = 290.0;
    // Each side's own word is used once, at point 2 of types 1 and 3; the missing value is none.
    // Side, point, type; the estimate handed on (T for 3, P for 4, as written back); words after.
    const std::tuple<int64_t, int64_t, int64_t, double, double, double> steps[] = {
        {0, 2, 1, 280.0, kMissing, 290.0},    {0, 2, 1, 300.0, kMissing, 290.0},
        {1, 1, 3, 300.0, kMissing, 290.0},    {1, 2, 4, 2e5, kMissing, 290.0},
        {1, 2, 3, 290.0, kMissing, kMissing}, {0, 2, 3, 300.0, kMissing, kMissing}};
    for (const auto& [side, point, type, estimate, word0, word1] : steps) {
        flash(side, point, type);
        EXPECT_EQ((Reals{last().r(13), XIF_HXRPP.word[1], XIF_HXRPP.word[4]}),
                  (Reals{estimate, word0, word1}))
            << side << " " << point << " " << type;
    }
    // Nor is one used in retention mode 2.
    XIF_HXRPP.word[1] = 250.0;
    XIF_HXIPP.word[26] = 2;
    flash(0, 2, 3);
    EXPECT_EQ(XIF_HXRPP.word[1], 250.0);
}

TEST_F(Flash, WritesBackTAndPAndVapourFractionAndUpdatesThePointOfTheSide) {
    host().flash_status = 2; // a failed flash too writes back and builds records
    flash(1, 0, 2, 1);
    EXPECT_EQ((Reals{T(), P(), svec[nc + 3], svec[nc + 4]}), (Reals{350.0, 2e5, -5.0, 0.25}));
    EXPECT_EQ(block_int(RIG_HXPKV, 4), 3); // the vapour's three components
    flash(0, 0, 2, 1);
    flash(2, 0, 2, 1); // no side to update
    flash(0, 0, 2, 2); // no update asked
    Ptrs updated;
    for (const Call& c : host().calls("CONV_PEQPT1"))
        updated.push_back(c.p(1));
    EXPECT_EQ(updated, (Ptrs{&XIF_HXSBD.word[1], &XIF_HXSBD.word[0]}));
    // The host's services in their order: set-up, flash, status, records, update.
    XIF_HXIPP.word[1] = 77; // a subset list to look up
    host().subset_list = at::kSubsetList;
    host().log.clear();
    flash(0, 0, 1, 1);
    std::vector<std::string> order;
    for (const Call& c : host().log)
        order.push_back(c.name);
    EXPECT_EQ(order, (std::vector<std::string>{"VEC_SETH", "EQUI_FLASH", "EQUI_FLSTAT",
                                               "AID_IDXH2O", "CAT_LOCATI", "CONV_PEQPT1"}));
}

TEST_F(Flash, RecordsListPresentComponentsAndWaterWithClippedFractions) {
    lay_out(0.4, 0.75);
    // Slot, components, fraction, the weight from VEC_STWORK(59..62).
    const std::tuple<int64_t, Longs, double, double> cases[] = {{4, {1, 2, 3}, 0.4, 112.0},
                                                                {1, {2, 3, 4}, 0.6, 113.0},
                                                                {2, {2, 3, 4}, 0.6 * 0.75, 114.0},
                                                                {3, {3, 4}, 0.6 * 0.25, 115.0}};
    for (const auto& [slot, components, fraction, mw] : cases) {
        EXPECT_EQ(comps(slot), components) << slot;
        EXPECT_DOUBLE_EQ(after(slot, 1), fraction) << slot;
        EXPECT_EQ(after(slot, 2), mw) << slot;
    }
    EXPECT_EQ(after(4, 1), 0.4); // the vapour fraction exactly
    EXPECT_EQ(x(4), (Reals{0.5, 0.3, 0.2}));
    EXPECT_EQ(x(2), (Reals{0.2, 0.7, 0.1}));
    EXPECT_EQ(block_real(VEC_STWORK, 49), 102.0); // nothing copied
    // Water is listed in every liquid even at zero fraction.
    host().water_position = 1;
    lay_out(0.4, 0.75);
    EXPECT_EQ(comps(1), (Longs{1, 2, 3, 4}));
    EXPECT_EQ(comps(3), (Longs{1, 3, 4}));
    // Traces up to 1e-10 are left out.
    host().water_position = 0;
    host().eq.y = {1e-10, std::nextafter(1e-10, 1.0), 0.5, 0.5};
    lay_out(0.5, 0.75);
    EXPECT_EQ(comps(4), (Longs{2, 3, 4}));
    // Fractions are clipped to 0 and 1; an unwanted slot is never touched.
    lay_out(0.99999999995, 0.5);
    EXPECT_EQ((Reals{after(4, 1), after(1, 1)}), (Reals{1.0, 0.0}));
    lay_out(0.9999999998, 0.5);
    EXPECT_EQ(after(4, 1), 0.9999999998);
    set_block_int(RIG_HXPKV, 3, -1);
    set_plex_real(at::slot_record(3), 42.0);
    lay_out(0.5, 0.5);
    EXPECT_EQ(block_int(RIG_HXPKV, 3), -1);
    EXPECT_EQ(plex_real(at::slot_record(3)), 42.0);
    EXPECT_EQ(comps(2).size(), 3u);
}

TEST_F(Flash, TotalLiquidRecordIsCopiedForAShareOfOneOrZero) {
    // Share, vapour fraction, the liquid's fraction, the slot copied to and the other slot,
    // and the offset of the copied per-phase words from the total liquid's 48, 52, 56, 60.
    const std::tuple<double, double, double, int64_t, int64_t, int64_t> cases[] = {
        {1.0, 0.0, 1.0, 2, 3, 1}, {0.0, 0.3, 0.7, 3, 2, 2}};
    for (const auto& [b, vf, fraction, to, other, offset] : cases) {
        SetUp();
        lay_out(vf, b);
        EXPECT_EQ(comps(to), comps(1)) << b;
        EXPECT_EQ(x(to), x(1));
        EXPECT_DOUBLE_EQ(after(to, 1), fraction);
        EXPECT_EQ((Reals{after(to, 2), after(other, 1)}), (Reals{after(1, 2), 0.0}));
        for (int64_t g = 0; g < 4; ++g)
            EXPECT_EQ(block_real(VEC_STWORK, 48 + offset + 4 * g),
                      block_real(VEC_STWORK, 48 + 4 * g));
        const int64_t untouched = 48 + 3 - offset; // the other liquid's word
        EXPECT_EQ(block_real(VEC_STWORK, untouched), 100.0 + static_cast<double>(untouched - 47));
    }
}

TEST_F(Flash, SubsetRecordIsMarkedByEitherFlashArrayAboveTheThreshold) {
    host().eq.y = {0.4, 0.3, 0.2, 0.1};
    lay_out(0.5, 1.0); // none marked: an empty record
    EXPECT_EQ((Reals{double(block_int(RIG_HXPKV, 5)), after(5, 1), after(5, 2)}),
              (Reals{0.0, 0.0, 0.0}));
    host().eq.k1 = {1e8, std::nextafter(1e8, 1e9), 1.0, 1.0};
    host().eq.k2 = {1.0, 1.0, 2e8, 1.0};
    lay_out(0.5, 1.0);
    EXPECT_EQ(comps(5), (Longs{2, 3}));
    EXPECT_DOUBLE_EQ(x(5)[0], 0.6);
    EXPECT_DOUBLE_EQ(x(5)[1], 0.4);
    EXPECT_DOUBLE_EQ(after(5, 1), 0.5 * 0.5);
    EXPECT_DOUBLE_EQ(after(5, 2), 20.0 * 0.6 + 30.0 * 0.4);
    EXPECT_TRUE(host().calls("CAT_LOCATI").empty()); // key 0: no list
    // The exclusion parameter must be zero, and traces stay out.
    host().eq.k1 = {2e8, 2e8, 2e8, 2e8};
    host().eq.y = {0.4, 0.3, 1e-11, 0.3};
    set_plex_real(at::kExclusion + 1, 1.0);
    set_plex_real(at::kExclusion + 4, std::nan(""));
    lay_out(0.5, 1.0);
    EXPECT_EQ(comps(5), (Longs{2}));
    EXPECT_EQ(x(5), (Reals{1.0}));
    // A list matches both identifier words: 4's, not 1's first with another second.
    XIF_HXIPP.word[1] = 77; // key of side 0's list
    host().subset_list = at::kSubsetList;
    const int64_t list[] = {2, plex_int(at::kIds + 7), plex_int(at::kIds + 8),
                            plex_int(at::kIds + 1), 12345};
    for (int64_t i = 0; i < 5; ++i)
        set_plex_int(at::kSubsetList + i, list[i]);
    set_plex_real(at::kExclusion + 4, 0.0);
    host().eq.k1 = host().eq.k2 = {1.0, 1.0, 1.0, 1.0};
    lay_out(0.5, 1.0);
    ASSERT_EQ(host().calls("CAT_LOCATI").size(), 1u);
    EXPECT_EQ(host().calls("CAT_LOCATI")[0].i(1), 77);
    EXPECT_EQ(comps(5), (Longs{4}));
    EXPECT_EQ(after(5, 2), 40.0);
}

} // namespace
} // namespace xif::test
