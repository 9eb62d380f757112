// What each routine may write: all exported and host blocks, the data store, the
// stream vector and the caller's arguments, against a snapshot around each call.
#include "fixture.h"

#include <cstring>
#include <sstream>
#include <tuple>

namespace xif::test {
namespace {

const Longs kSelectors{0, 1, 2, 3, 4, 5, 6, 7, -1, -7, 1000, kMin, kMax};
const Longs kFew{0, 1, 2, -1, kMin, kMax};

// Words that may change: region, first and last word (from 1).
using Range = std::tuple<std::string, int64_t, int64_t>;
using Allowed = std::vector<Range>;

class Guard : public LibTest {
  protected:
    struct Region {
        std::string name;
        void* data;
        size_t words;
    };
    std::vector<Region> regions;
    std::vector<std::vector<uint64_t>> saved;
    int64_t args[8] = {}; // the caller's selector variables

    void SetUp() override {
        start(4);
        option_sets();
#define REGION(B, WORDS) Region{#B, &B, WORDS}
        regions = {REGION(XIF_HXSBD, 4),    REGION(XIF_HXRPP, 8),
                   REGION(XIF_HXIMSS, 4),   REGION(XIF_HXOUTP, 4),
                   REGION(XIF_HXIPP, 28),   REGION(XIF_HXRMSS, 4),
                   REGION(XIF_HXRMIN, 5),   REGION(CAT_PLEX, kPlexWords),
                   REGION(CAT_NCOMP, 1),    REGION(CAT_STWKWK, 32),
                   REGION(CAT_IPOFF1, 460), REGION(CAT_IPOFF4, 4),
                   REGION(CAT_RGLOB, 1),    REGION(VEC_STWORK, 64),
                   REGION(RIG_HXPKV, 16),   Region{"SVEC", svec.data(), svec.size()},
                   REGION(args, 8)};
#undef REGION
        // Zero words of exported blocks and data store get values, so a stray zero shows.
        for (size_t i = 0; i < 8; ++i)
            for (size_t k = 0; k < regions[i].words; ++k)
                if (auto* w = static_cast<xif_word*>(regions[i].data) + k; w->i == 0)
                    w->r = 0.001 * static_cast<double>(k + 1) + 0.25;
        XIF_HXIPP.word[9] = XIF_HXIPP.word[19] = 1; // water switches on
        XIF_HXIPP.word[23] = at::kSlotInts;
        XIF_HXIPP.word[24] = at::kSlotReals;
        XIF_HXIPP.word[25] = 2;
        for (int64_t j = 1; j <= nc; ++j)
            set_plex_real(at::kExclusion + j, 0.0);
        // A vapour subset, and pure water in the second liquid: the water rule applies.
        // clang-format off
        host().eq = {.vf = 0.5, .b = 0.6, .components = {1, 2, 3, 4}, .z = {0.1, 0.2, 0.3, 0.4},
                     .x = {0.1, 0.2, 0.3, 0.4}, .x1 = {0.0, 0.4, 0.6, 0.0}, .x2 = {0.0, 0.0, 0.0, 1.0},
                     .y = {0.1, 0.2, 0.3, 0.4}, .k1 = {2e8, 1.0, 1.0, 1.0}, .k2 = {1.0, 1.0, 1.0, 1.0}};
        // clang-format on
        host().write_equilibrium();
        host().water_position = 4;
        host().subset_list = at::kSubsetList;
        set_plex_int(at::kSubsetList, 0);
        three_phases(0.5, 0.3, 0.2);
        host().tot_flow = 10.0;
        host().tot_mass = 250.0;
    }
    void take(std::initializer_list<int64_t> a) {
        std::copy(a.begin(), a.end(), args);
        saved.clear();
        for (const Region& r : regions)
            saved.emplace_back(static_cast<uint64_t*>(r.data),
                               static_cast<uint64_t*>(r.data) + r.words);
    }
    // Words that changed although not allowed to; the state is put back.
    std::string changed(const Allowed& allowed = {}) {
        std::ostringstream out;
        for (size_t i = 0; i < regions.size(); ++i) {
            const Region& r = regions[i];
            if (std::memcmp(r.data, saved[i].data(), 8 * r.words) == 0) continue;
            for (size_t k = 1; k <= r.words; ++k) {
                if (static_cast<const uint64_t*>(r.data)[k - 1] == saved[i][k - 1]) continue;
                bool ok = false;
                for (const auto& [name, from, to] : allowed)
                    ok = ok || (name == r.name && from <= int64_t(k) && int64_t(k) <= to);
                if (!ok) out << r.name << "(" << k << ") ";
            }
            std::memcpy(r.data, saved[i].data(), 8 * r.words);
        }
        return out.str();
    }
};

TEST_F(Guard, PropertyAndComponentRoutinesWriteOnlyTheirOutputs) {
    const double v = 987.5;
    take({});
    XIF_HXBZTP(svec.data(), nullptr, nullptr, &v); // the guard sees a write and puts it back
    EXPECT_EQ(changed(), "SVEC(" + std::to_string(nc + 2) + ") ");
    EXPECT_EQ(svec[nc + 1], 300.0);
    for (const auto& [name, r] : kCommonRoutines)
        for (int64_t side : kFew)
            for (int64_t phase : kSelectors)
                for (int64_t basis : kFew) {
                    double value = 0;
                    int64_t ierr = 0;
                    take({side, phase, basis, 0, 0x5151});
                    r(svec.data(), &args[4], &args[0], &args[1], &args[2], &value, &ierr);
                    ASSERT_EQ(changed(), "")
                        << name << " side " << side << " phase " << phase << " basis " << basis;
                }
    std::vector<double> values(8, -1.0);
    int64_t ierr = 0;
    for (int64_t nval : Ints{-3, 0, 2, 4, 8})
        for (int64_t phase : kSelectors)
            for (int64_t side : kFew)
                for (int64_t basis : kFew) {
                    take({side, phase, basis, nval});
                    XIF_HXBCMP(svec.data(), nullptr, &args[0], &args[1], &args[2], values.data(),
                               &args[3], &ierr);
                    ASSERT_EQ(changed(), "") << "side " << side << " phase " << phase;
                }
}

TEST_F(Guard, FlashWritesOnlyItsOutputs) {
    // Retention mode, one-shot estimates, slot counts, T, P, vapour fraction, work areas.
    // clang-format off
    Allowed outputs = {{"XIF_HXIPP", 27, 27}, {"XIF_HXRPP", 2, 2}, {"XIF_HXRPP", 5, 5},
                       {"RIG_HXPKV", 1, 5}, {"SVEC", nc + 2, nc + 3}, {"SVEC", nc + 5, nc + 5},
                       {"CAT_STWKWK", 1, 32}, {"VEC_STWORK", 47, 62}};
    // clang-format on
    for (const auto& [from, words] : {std::pair<int64_t, int64_t>{at::kRealWork, 2000},
                                      {at::kIntWork, 1000},
                                      {at::kSlotInts, 10 * (at::kSlotIntSize + 1)},
                                      {at::kSlotReals, 10 * at::kSlotRealSize},
                                      {at::slot_list(1), 2000}})
        outputs.emplace_back("CAT_PLEX", from, from + words - 1);
    // Retention mode, sides, points.
    const std::tuple<int64_t, Longs, Longs> sweeps[] = {{0, kSelectors, kSelectors},
                                                        {1, {0, 1}, {-2, 0, 1, 3, 5}}};
    for (const auto& [retention, sides, points] : sweeps)
        for (int64_t side : sides)
            for (int64_t point : points)
                for (int64_t type : Ints{1, 2, 3, 4, 5, 0, -1, kMax})
                    for (int64_t update : {0, 1, 2, -1}) {
                        XIF_HXIPP.word[26] = retention;
                        host().flash_status = type == 3 ? 2 : 1; // a failure changes the mode
                        int64_t ierr = 0;
                        take({side, point, type, update, 3});
                        XIF_HXBFLS(svec.data(), &args[4], &args[0], &args[1], &args[2], &args[3],
                                   &ierr);
                        ASSERT_EQ(changed(outputs), "")
                            << "side " << side << " point " << point << " type " << type;
                    }
}

} // namespace
} // namespace xif::test
