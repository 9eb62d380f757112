// A library test: libxif on the scripted host, exported blocks cleared,
// a missing value and smallest value set, and a stream vector.
#pragma once

#include "scripted_host.h"

#include <xif/xif.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace xif::test {

using Routine = void (*)(double*, void*, int64_t*, int64_t*, int64_t*, double*, int64_t*);

struct Answer {
    double value;
    int64_t ierr;
};

using Pairs = std::vector<std::pair<std::string, int64_t>>;

// A routine of the common argument list and its name; all nineteen of them.
struct Named {
    const char* name;
    Routine r;
};
#define NAMED(R)                                                                                   \
    { #R, R }
extern const std::vector<Named> kCommonRoutines;

class LibTest : public ::testing::Test {
  protected:
    static constexpr double kMissing = 1e35;
    static constexpr double kSmallest = 1e-30;
    int64_t nc = 4;
    std::vector<double> svec;

    void SetUp() override { start(4); }

    // A fresh host for n components and a stream vector of n + 9 elements
    // (flows 1, 2, ...; T 300 K; P 1 bar; molecular weight 25).
    void start(int64_t n);
    double& T() { return svec[nc + 1]; }
    double& P() { return svec[nc + 2]; }

    // Calls a routine of the common argument list.
    Answer call(Routine r, int64_t side, int64_t phase, int64_t basis = 0);
    // The same with the host's log cleared first.
    Answer run(Routine r, int64_t phase, int64_t basis = 0, int64_t side = 0);
    // The phase monitors (EVAL_*) logged: the calls, and name with record slot.
    static std::vector<Call> monitor_calls();
    static Pairs monitors();

    // Phase records for a two-liquid, vapour-bearing stream: vapour f2,
    // first liquid f4, second liquid f5 (total liquid f4 + f5). Stored
    // weights 20, 30, 27, 44, 12 differ from the compositions' 11, 30, 26, 40, 10.
    void three_phases(double f2, double f4, double f5);

    // Distinct option sets: side 0's property-method group 101..106, side
    // 1's 201..206, XIF_HXIPP(21) = 21 and (23) = 23; water switches 0.
    void option_sets();
    // The property-method group of a side as a monitor should receive it;
    // `pure_water` puts word 5 in place of word 1.
    static std::array<int64_t, 6> group(int64_t side, bool pure_water = false);
    // Water at `position` of a four-entry flash list (components 1..4), with
    // the given water mole fractions of the first and second liquid in the
    // flash work area, and the scripted water index answering `position`.
    void water_in_work_area(int64_t position, double in_first, double in_second);
};

// The address of word k (from 1) of a block, as the host sees it handed on.
inline const void* word_at(const void* block, int64_t k) {
    return static_cast<const char*>(block) + 8 * (k - 1);
}
inline const void* plex_at(int64_t k) {
    return &CAT_PLEX[k - 1];
}

} // namespace xif::test
