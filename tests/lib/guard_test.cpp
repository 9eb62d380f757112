// What each routine may write: around calls of all 27 routines with a range
// of selectors, every word of the exported blocks, of the host blocks and
// data store, of the stream vector and of the caller's selector variables
// is compared with a snapshot; only the routine's own outputs may differ.
#include "fixture.h"

#include <cstring>
#include <functional>
#include <limits>
#include <sstream>
#include <string>

namespace xif::test {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
const std::vector<int64_t> kSelectors{0, 1, 2, 3, 4, 5, 6, 7, -1, -7, 1000, kMin, kMax};
const std::vector<int64_t> kFew{0, 1, 2, -1, kMin, kMax};

struct Region {
    std::string name;
    void* data;
    size_t words;
};

// A word may change when the predicate says so: region name and word (from 1).
using Allowed = std::function<bool(const std::string&, int64_t)>;

class Guard : public LibTest {
  protected:
    std::vector<Region> regions;
    std::vector<std::vector<uint64_t>> saved;

    void SetUp() override {
        start(4);
        option_sets();
        // Every exported word carries a value of its own.
        for (int64_t k = 1; k <= 4; ++k) {
            XIF_HXSBD.word[k - 1] = 40 + k;
            XIF_HXIMSS.word[k - 1] = 50 + k;
            XIF_HXOUTP.word[k - 1] = 60 + k;
        }
        for (int64_t k = 1; k <= 8; ++k)
            XIF_HXRPP.word[k - 1] = 0.5 + static_cast<double>(k);
        for (int64_t k = 2; k <= 4; ++k)
            XIF_HXRMSS.word[k - 1] = 7.25 * static_cast<double>(k);
        for (int64_t k = 2; k <= 5; ++k)
            XIF_HXRMIN.word[k - 1] = 3.75 * static_cast<double>(k);
        for (int64_t k : {7, 8, 9, 17, 18, 19, 22, 28})
            XIF_HXIPP.word[k - 1] = 300 + k;
        XIF_HXIPP.word[9] = 1; // water switches on
        XIF_HXIPP.word[19] = 1;
        XIF_HXIPP.word[23] = at::kSlotInts;
        XIF_HXIPP.word[24] = at::kSlotReals;
        XIF_HXIPP.word[25] = 2;
        // Unused data-store words are not zero, so that a stray zero shows.
        for (int64_t k = 1; k <= kPlexWords; ++k)
            if (plex_int(k) == 0) set_plex_real(k, 0.001 * static_cast<double>(k) + 0.25);
        for (int64_t j = 1; j <= nc; ++j)
            set_plex_real(at::kExclusion + j, 0.0);
        Equilibrium& e = host().eq;
        e.components = {1, 2, 3, 4};
        e.z = {0.1, 0.2, 0.3, 0.4};
        e.x = {0.0, 0.2, 0.3, 0.5};
        e.x1 = {0.0, 0.4, 0.6, 0.0};
        e.x2 = {0.0, 0.0, 0.0, 1.0};
        e.y = {0.9, 0.1, 0.0, 0.0};
        e.k1 = {2e8, 1.0, 1.0, 1.0};
        e.k2 = {1.0, 1.0, 1.0, 1.0};
        e.vf = 0.5;
        e.b = 0.6;
        host().write_equilibrium();
        host().water_position = 4; // pure in the second liquid
        host().subset_list = at::kSubsetList;
        set_plex_int(at::kSubsetList, 0);
        three_phases(0.5, 0.3, 0.2);
        host().tot_flow = 10.0;
        host().tot_mass = 250.0;
        host().tot_enth = -1e6;
        host().ln_p = {{1, 12.0}, {2, 11.0}, {3, 10.0}, {4, 9.0}};
        host().crit_t = 500.0;
        host().crit_p = 3e6;

        regions = {{"XIF_HXSBD", &XIF_HXSBD, 4},
                   {"XIF_HXRPP", &XIF_HXRPP, 8},
                   {"XIF_HXIMSS", &XIF_HXIMSS, 4},
                   {"XIF_HXOUTP", &XIF_HXOUTP, 4},
                   {"XIF_HXIPP", &XIF_HXIPP, 28},
                   {"XIF_HXRMSS", &XIF_HXRMSS, 4},
                   {"XIF_HXRMIN", &XIF_HXRMIN, 5},
                   {"CAT_PLEX", CAT_PLEX, static_cast<size_t>(kPlexWords)},
                   {"CAT_NCOMP", CAT_NCOMP, 1},
                   {"CAT_STWKWK", CAT_STWKWK, 32},
                   {"CAT_IPOFF1", CAT_IPOFF1, 460},
                   {"CAT_IPOFF4", CAT_IPOFF4, 4},
                   {"CAT_RGLOB", CAT_RGLOB, 1},
                   {"VEC_STWORK", VEC_STWORK, 64},
                   {"RIG_HXPKV", RIG_HXPKV, 16},
                   {"SVEC", svec.data(), svec.size()}};
    }

    // A stream whose phases are all absent, to run the absent-phase paths.
    void absent_phases() {
        three_phases(0.0, 0.0, 0.0);
        for (int64_t s : {2, 4})
            set_block_int(RIG_HXPKV, s, -1);
    }

    void take() {
        saved.clear();
        for (const Region& r : regions) {
            std::vector<uint64_t> w(r.words);
            std::memcpy(w.data(), r.data, 8 * r.words);
            saved.push_back(std::move(w));
        }
    }
    void restore() {
        for (size_t i = 0; i < regions.size(); ++i)
            std::memcpy(regions[i].data, saved[i].data(), 8 * regions[i].words);
    }
    // Words that changed although not allowed to; the state is put back.
    std::string changed(const Allowed& allowed) {
        std::ostringstream out;
        int reported = 0;
        for (size_t i = 0; i < regions.size(); ++i) {
            const Region& r = regions[i];
            if (std::memcmp(r.data, saved[i].data(), 8 * r.words) == 0) continue;
            const auto* now = static_cast<const uint64_t*>(r.data);
            for (size_t k = 0; k < r.words; ++k)
                if (now[k] != saved[i][k] && !allowed(r.name, static_cast<int64_t>(k + 1)) &&
                    reported++ < 5)
                    out << r.name << "(" << k + 1 << ") ";
        }
        restore();
        return out.str();
    }

    static bool nothing(const std::string&, int64_t) { return false; }

    // A routine of the common list under every combination of selectors.
    void common(const char* name, Routine r) {
        for (int64_t side : kFew)
            for (int64_t phase : kSelectors)
                for (int64_t basis : kFew) {
                    int64_t s = side, p = phase, b = basis, ierr = 0, spare = 0x5151;
                    double value = 0;
                    take();
                    r(svec.data(), &spare, &s, &p, &b, &value, &ierr);
                    const std::string bad = changed(nothing);
                    ASSERT_EQ(bad, "")
                        << name << " side " << side << " phase " << phase << " basis " << basis;
                    ASSERT_EQ(s, side);
                    ASSERT_EQ(p, phase);
                    ASSERT_EQ(b, basis);
                    ASSERT_EQ(spare, 0x5151);
                }
    }
};

#define COMMON_ROUTINE(R)                                                                          \
    { #R, R }
const std::pair<const char*, Routine> kCommon[] = {
    COMMON_ROUTINE(XIF_HXBNCP), COMMON_ROUTINE(XIF_HXBTMP), COMMON_ROUTINE(XIF_HXBPRS),
    COMMON_ROUTINE(XIF_HXBFRC), COMMON_ROUTINE(XIF_HXBMWT), COMMON_ROUTINE(XIF_HXBMFL),
    COMMON_ROUTINE(XIF_HXBNTH), COMMON_ROUTINE(XIF_HXBCPP), COMMON_ROUTINE(XIF_HXBQFL),
    COMMON_ROUTINE(XIF_HXBNTR), COMMON_ROUTINE(XIF_HXBVOL), COMMON_ROUTINE(XIF_HXBDNS),
    COMMON_ROUTINE(XIF_HXBTMC), COMMON_ROUTINE(XIF_HXBPRC), COMMON_ROUTINE(XIF_HXBVIS),
    COMMON_ROUTINE(XIF_HXBTHC), COMMON_ROUTINE(XIF_HXBSFT), COMMON_ROUTINE(XIF_HXBDIF),
    COMMON_ROUTINE(XIF_HXBTHV)};
#undef COMMON_ROUTINE

TEST_F(Guard, PropertyRoutinesWriteOnlyValueAndIerr) {
    for (const auto& [name, r] : kCommon)
        common(name, r);
}

TEST_F(Guard, PropertyRoutinesOnAbsentPhasesWriteOnlyValueAndIerr) {
    absent_phases();
    for (const auto& [name, r] : kCommon)
        common(name, r);
}

TEST_F(Guard, SettersWriteOnlyTheirOwnElement) {
    const std::pair<void (*)(double*, void*, void*, const double*), int64_t> setters[] = {
        {XIF_HXBZTP, 2}, {XIF_HXBZPR, 3}, {XIF_HXBZNT, 4}, {XIF_HXBZVF, 5}};
    for (const auto& [setter, element] : setters)
        for (int64_t a : kSelectors) {
            int64_t a2 = a, a3 = a;
            const double v = 987.5;
            take();
            setter(svec.data(), &a2, &a3, &v);
            EXPECT_EQ(svec[nc + element - 1], v);
            const int64_t own = nc + element;
            EXPECT_EQ(changed([own](const std::string& region, int64_t k) {
                          return region == "SVEC" && k == own;
                      }),
                      "")
                << element;
            EXPECT_EQ(a2, a);
            EXPECT_EQ(a3, a);
        }
}

TEST_F(Guard, FlowScalingWritesOnlyComponentFlows) {
    for (int64_t side : kSelectors) {
        int64_t s = side, spare = 0x77;
        const double valin = 400.0;
        double flowm = 0, sump = 0, ratio = 0;
        take();
        XIF_HXBZMF(svec.data(), &spare, &s, &valin, &flowm, &sump, &ratio);
        const int64_t n = nc;
        EXPECT_EQ(changed([n](const std::string& region, int64_t k) {
                      return region == "SVEC" && k <= n;
                  }),
                  "");
        EXPECT_EQ(s, side);
        EXPECT_EQ(spare, 0x77);
    }
}

TEST_F(Guard, ComponentRoutinesWriteOnlyTheCallersArray) {
    for (bool absent : {false, true}) {
        if (absent) absent_phases();
        for (int64_t side : kFew)
            for (int64_t phase : kSelectors)
                for (int64_t basis : kFew)
                    for (int64_t nval :
                         {int64_t{-3}, int64_t{0}, int64_t{2}, int64_t{4}, int64_t{8}}) {
                        int64_t s = side, p = phase, b = basis, n = nval, ierr = 0;
                        std::vector<double> values(8, -1.0);
                        take();
                        XIF_HXBCMP(svec.data(), nullptr, &s, &p, &b, values.data(), &n, &ierr);
                        ASSERT_EQ(changed(nothing), "")
                            << "side " << side << " phase " << phase << " basis " << basis;
                        ASSERT_EQ(s, side);
                        ASSERT_EQ(p, phase);
                        ASSERT_EQ(b, basis);
                        ASSERT_EQ(n, nval);
                    }
    }
    for (int64_t code : kSelectors)
        for (int64_t nval : {int64_t{-3}, int64_t{0}, int64_t{3}, int64_t{8}}) {
            int64_t a = 11, c = code, n = nval;
            std::vector<double> values(8, -1.0);
            take();
            XIF_HXBCPROP(&a, &a, &a, &c, values.data(), &n);
            EXPECT_EQ(changed(nothing), "") << code;
            EXPECT_EQ(c, code);
            EXPECT_EQ(n, nval);
            EXPECT_EQ(a, 11);
        }
}

// The flash writes the retention mode, the one-shot estimates, the slot
// counts, the records and the work areas, and temperature, pressure and
// vapour fraction of the stream vector.
bool flash_may_write(int64_t nc, const std::string& region, int64_t k) {
    if (region == "XIF_HXIPP") return k == 27;
    if (region == "XIF_HXRPP") return k == 2 || k == 5;
    if (region == "RIG_HXPKV") return k >= 1 && k <= 5;
    if (region == "SVEC") return k == nc + 2 || k == nc + 3 || k == nc + 5;
    if (region == "CAT_STWKWK") return true;
    if (region == "VEC_STWORK") return k >= 47 && k <= 62;
    if (region != "CAT_PLEX") return false;
    const auto in = [k](int64_t from, int64_t words) { return k >= from && k < from + words; };
    return in(at::kRealWork, 2000) || in(at::kIntWork, 1000) ||
           in(at::kSlotInts, 10 * (at::kSlotIntSize + 1)) ||
           in(at::kSlotReals, 10 * at::kSlotRealSize) || in(at::slot_list(1), 2000);
}

TEST_F(Guard, FlashWritesOnlyItsDocumentedOutputs) {
    struct Sweep {
        int64_t retention;
        std::vector<int64_t> sides, points;
    } sweeps[] = {{0, kSelectors, kSelectors}, {1, {0, 1}, {-2, 0, 1, 3, 5}}};
    for (const Sweep& w : sweeps)
        for (int64_t side : w.sides)
            for (int64_t point : w.points)
                for (int64_t type : {int64_t{1}, int64_t{2}, int64_t{3}, int64_t{4}, int64_t{5},
                                     int64_t{0}, int64_t{-1}, kMax})
                    for (int64_t update : {0, 1, 2, -1}) {
                        XIF_HXIPP.word[26] = w.retention;
                        int64_t s = side, p = point, t = type, u = update, ierr = 0, spare = 3;
                        take();
                        XIF_HXBFLS(svec.data(), &spare, &s, &p, &t, &u, &ierr);
                        const int64_t n = nc;
                        ASSERT_EQ(changed([n](const std::string& region, int64_t k) {
                                      return flash_may_write(n, region, k);
                                  }),
                                  "")
                            << "side " << side << " point " << point << " type " << type;
                        ASSERT_EQ(s, side);
                        ASSERT_EQ(p, point);
                        ASSERT_EQ(t, type);
                        ASSERT_EQ(u, update);
                        ASSERT_EQ(spare, 3);
                    }
}

// The guard must see a stray write: a setter writes its own element, which
// is not allowed under the plain predicate.
TEST_F(Guard, SnapshotNoticesAWrite) {
    const double v = 1.0;
    take();
    XIF_HXBZTP(svec.data(), nullptr, nullptr, &v);
    EXPECT_EQ(changed(nothing), "SVEC(" + std::to_string(nc + 2) + ") ");
    EXPECT_EQ(svec[nc + 1], 300.0); // put back
}

} // namespace
} // namespace xif::test
