// Stream accessors and setters, selector clipping, and the phase fraction.
#include "fixture.h"

#include <cstring>
#include <limits>

namespace xif::test {
namespace {

class Accessors : public LibTest {};

TEST_F(Accessors, ComponentCountIsAnIntegerInValueBytes) {
    start(7);
    double value = 0.0;
    int64_t ierr = 5, side = -9, phase = 99, basis = 42;
    XIF_HXBNCP(svec.data(), nullptr, &side, &phase, &basis, &value, &ierr);
    int64_t nc_read;
    std::memcpy(&nc_read, &value, sizeof nc_read);
    EXPECT_EQ(nc_read, 7);
    EXPECT_EQ(ierr, 0);
}

TEST_F(Accessors, TemperatureAndPressureReadTheirElements) {
    T() = 412.5;
    P() = 3.5e6;
    EXPECT_EQ(call(XIF_HXBTMP, 0, 1).value, 412.5);
    EXPECT_EQ(call(XIF_HXBPRS, 0, 1).value, 3.5e6);
    EXPECT_EQ(call(XIF_HXBPRS, 0, 1).ierr, 0);
}

TEST_F(Accessors, EachSetterWritesOnlyItsOwnElement) {
    struct Case {
        void (*setter)(double*, void*, void*, const double*);
        int64_t element; // from NC + 1
    } cases[] = {{XIF_HXBZTP, 2}, {XIF_HXBZPR, 3}, {XIF_HXBZNT, 4}, {XIF_HXBZVF, 5}};
    for (const Case& c : cases) {
        start(3);
        const std::vector<double> before = svec;
        const double v = 123.25;
        c.setter(svec.data(), nullptr, nullptr, &v);
        for (size_t i = 0; i < svec.size(); ++i) {
            if (static_cast<int64_t>(i) == nc + c.element - 1)
                EXPECT_EQ(svec[i], v);
            else
                EXPECT_EQ(svec[i], before[i]) << "element " << i + 1;
        }
        EXPECT_TRUE(host().log.empty()); // no flash, no host call
    }
}

TEST_F(Accessors, VapourFractionSetterLeavesTemperature) {
    const double vf = 0.4;
    XIF_HXBZVF(svec.data(), nullptr, nullptr, &vf);
    EXPECT_EQ(call(XIF_HXBTMP, 0, 1).value, 300.0);
}

class Fraction : public LibTest {};

TEST_F(Fraction, WholeStreamIsOneForEveryOutOfRangePhase) {
    for (int64_t phase : {int64_t{1}, int64_t{0}, int64_t{-3}, int64_t{7},
                          std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()})
        for (int64_t basis : {0, 1}) {
            const Answer a = call(XIF_HXBFRC, 0, phase, basis);
            EXPECT_EQ(a.value, 1.0) << phase;
            EXPECT_EQ(a.ierr, 0);
        }
}

TEST_F(Fraction, AbsentPhaseIsZeroOnBothBases) {
    host().set_record(4, {}, {}, 0.0, 0.0);
    set_block_int(RIG_HXPKV, 4, -1);
    EXPECT_EQ(call(XIF_HXBFRC, 0, 2, 0).value, 0.0);
    EXPECT_EQ(call(XIF_HXBFRC, 0, 2, 1).value, 0.0);
    set_block_int(RIG_HXPKV, 4, 0);
    EXPECT_EQ(call(XIF_HXBFRC, 0, 2, 1).value, 0.0);
}

TEST_F(Fraction, MassFractionFromTheRecordsOwnComposition) {
    // Components of molecular weight 18 and 46 at 0.5 each, beta 0.4, stream 25.
    set_plex_real(at::kMw + 1, 18.0);
    set_plex_real(at::kMw + 2, 46.0);
    host().set_record(2, {1, 2}, {0.5, 0.5}, 0.4, 999.0); // stored mw is not used
    svec[nc + 8] = 25.0;
    EXPECT_DOUBLE_EQ(call(XIF_HXBFRC, 0, 4, 1).value, 0.4 * 32.0 / 25.0);
    EXPECT_EQ(call(XIF_HXBFRC, 0, 4, 0).value, 0.4);
    // A basis out of range is molar.
    EXPECT_EQ(call(XIF_HXBFRC, 0, 4, 2).value, 0.4);
    EXPECT_EQ(call(XIF_HXBFRC, 0, 4, -1).value, 0.4);
}

TEST_F(Fraction, AllOrNothingNeedsNoMolecularWeight) {
    host().set_record(4, {1}, {1.0}, 1.0, 10.0);
    svec[nc + 8] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(call(XIF_HXBFRC, 0, 2, 1).value, 1.0);
}

TEST_F(Fraction, SideAndSpareAreNeverRead) {
    host().set_record(3, {4}, {1.0}, 0.25, 40.0);
    double value = 0;
    int64_t ierr = 3, phase = 5, basis = 0;
    XIF_HXBFRC(svec.data(), nullptr, nullptr, &phase, &basis, &value, &ierr);
    EXPECT_EQ(value, 0.25);
    EXPECT_EQ(ierr, 0);
}

} // namespace
} // namespace xif::test
