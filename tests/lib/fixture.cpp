#include "fixture.h"

#include <cstring>

namespace xif::test {

void LibTest::start(int64_t n) {
    nc = n;
    host().reset(n);
    std::memset(&XIF_HXSBD, 0, sizeof XIF_HXSBD);
    std::memset(&XIF_HXRPP, 0, sizeof XIF_HXRPP);
    std::memset(&XIF_HXIPP, 0, sizeof XIF_HXIPP);
    std::memset(&XIF_HXRMSS, 0, sizeof XIF_HXRMSS);
    std::memset(&XIF_HXRMIN, 0, sizeof XIF_HXRMIN);
    XIF_HXRMSS.word[0] = kMissing;
    XIF_HXRMIN.word[0] = kSmallest;
    svec.assign(static_cast<size_t>(n + 9), 0.0);
    for (int64_t j = 0; j < n; ++j)
        svec[j] = static_cast<double>(j + 1);
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

void LibTest::three_phases(double f2, double f4, double f5) {
    host().set_record(4, {1, 2}, {0.9, 0.1}, f2, 20.0);
    host().set_record(1, {2, 3, 4}, {0.2, 0.3, 0.5}, f4 + f5, 30.0);
    host().set_record(2, {2, 3}, {0.4, 0.6}, f4, 26.0);
    host().set_record(3, {4}, {1.0}, f5, 40.0);
    host().set_record(5, {1}, {1.0}, f2 * 0.9, 10.0);
}

} // namespace xif::test
