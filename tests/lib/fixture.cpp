#include "fixture.h"

#include <cstring>
#include <numeric>

namespace xif::test {

const std::vector<Named> kCommonRoutines{
    NAMED(XIF_HXBNCP), NAMED(XIF_HXBTMP), NAMED(XIF_HXBPRS), NAMED(XIF_HXBFRC), NAMED(XIF_HXBMWT),
    NAMED(XIF_HXBMFL), NAMED(XIF_HXBNTH), NAMED(XIF_HXBCPP), NAMED(XIF_HXBQFL), NAMED(XIF_HXBNTR),
    NAMED(XIF_HXBVOL), NAMED(XIF_HXBDNS), NAMED(XIF_HXBTMC), NAMED(XIF_HXBPRC), NAMED(XIF_HXBVIS),
    NAMED(XIF_HXBTHC), NAMED(XIF_HXBSFT), NAMED(XIF_HXBDIF), NAMED(XIF_HXBTHV)};

void LibTest::start(int64_t n) {
    nc = n;
    host().reset(n);
    [](auto&... b) { (std::memset(&b, 0, sizeof b), ...); }(XIF_HXSBD, XIF_HXRPP, XIF_HXIPP,
                                                            XIF_HXRMSS, XIF_HXRMIN);
    XIF_HXRMSS.word[0] = kMissing;
    XIF_HXRMIN.word[0] = kSmallest;
    svec.assign(static_cast<size_t>(n + 9), 0.0);
    std::iota(svec.begin(), svec.begin() + n, 1.0);
    svec[n] = n * (n + 1) / 2.0;
    svec[n + 1] = 300.0;
    svec[n + 2] = 1e5;
    svec[n + 8] = 25.0;
}

Answer LibTest::call(Routine r, int64_t side, int64_t phase, int64_t basis) {
    Answer a{-7.0, -7};
    int64_t spare = 0;
    r(svec.data(), &spare, &side, &phase, &basis, &a.value, &a.ierr);
    return a;
}

Answer LibTest::run(Routine r, int64_t phase, int64_t basis, int64_t side) {
    host().log.clear();
    return call(r, side, phase, basis);
}

std::vector<Call> LibTest::monitor_calls() {
    std::vector<Call> out;
    for (const Call& c : host().log)
        if (c.name.rfind("EVAL_", 0) == 0) out.push_back(c);
    return out;
}

Pairs LibTest::monitors() {
    Pairs out;
    for (const Call& c : monitor_calls())
        out.emplace_back(c.name, host().slot_of_record(c.p(3)));
    return out;
}

void LibTest::three_phases(double f2, double f4, double f5) {
    host().set_record(4, {1, 2}, {0.9, 0.1}, f2, 20.0);
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, f4 + f5, 30.0);
    host().set_record(2, {2, 3}, {0.4, 0.6}, f4, 27.0);
    host().set_record(3, {4}, {1.0}, f5, 44.0);
    host().set_record(5, {1}, {1.0}, f2 * 0.9, 12.0);
}

void LibTest::option_sets() {
    for (int64_t w = 1; w <= 6; ++w) {
        XIF_HXIPP.word[w - 1] = 100 + w;
        XIF_HXIPP.word[10 + w - 1] = 200 + w;
    }
    XIF_HXIPP.word[21 - 1] = 21;
    XIF_HXIPP.word[23 - 1] = 23;
}

std::array<int64_t, 6> LibTest::group(int64_t side, bool pure_water) {
    std::array<int64_t, 6> g{};
    std::iota(g.begin(), g.end(), side == 1 ? 201 : 101);
    if (pure_water) g[0] = g[4];
    return g;
}

void LibTest::water_in_work_area(int64_t position, double in_first, double in_second) {
    host().water_position = position;
    set_block_int(CAT_STWKWK, 3, 4);
    for (int64_t i = 1; i <= 4; ++i) {
        set_plex_int(at::kIntWork + at::kList + i - 1, i);
        const bool water = i == position;
        set_plex_real(at::kRealWork + at::kLiquid1 + i - 1, water ? in_first : 0.0);
        set_plex_real(at::kRealWork + at::kLiquid2 + i - 1, water ? in_second : 0.0);
    }
}

} // namespace xif::test
