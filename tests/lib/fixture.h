// A library test: libxif on the scripted host, exported blocks cleared,
// a missing value and smallest value set, and a stream vector.
#pragma once

#include "scripted_host.h"

#include <xif/xif.h>

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace xif::test {

using Routine = void (*)(double*, void*, int64_t*, int64_t*, int64_t*, double*, int64_t*);
using Ints = std::initializer_list<int64_t>;
using Ptrs = std::vector<const void*>;
using Reals = std::vector<double>;
using Longs = std::vector<int64_t>;
using Pairs = std::vector<std::pair<std::string, int64_t>>;
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

struct Answer {
    double value;
    int64_t ierr;
    bool operator==(const Answer&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const Answer& a) {
    return o << "{" << a.value << ", ierr " << a.ierr << "}";
}

// A routine of the common argument list and its name; all nineteen of them.
struct Named {
    const char* name;
    Routine r;
};
#define NAMED(R)                                                                                   \
    { #R, R }
extern const std::vector<Named> kCommonRoutines;

// Arguments ks (from 1) of a logged call as `get` (&Call::p, &Call::i, &Call::r) reads them.
template <class T>
std::vector<T> args(const Call& c, T (Call::*get)(size_t) const, std::initializer_list<size_t> ks) {
    std::vector<T> out;
    for (size_t k : ks)
        out.push_back((c.*get)(k));
    return out;
}

class LibTest : public ::testing::Test {
  protected:
    static constexpr double kMissing = 1e35;
    static constexpr double kSmallest = 1e-30;
    int64_t nc = 4;
    std::vector<double> svec;

    void SetUp() override { start(4); }
    // A fresh host for n components; stream flows 1, 2, ..., 300 K, 1 bar, weight 25.
    void start(int64_t n);
    double& T() { return svec[nc + 1]; }
    double& P() { return svec[nc + 2]; }

    // Calls a routine of the common argument list; `run` clears the host's log first.
    Answer call(Routine r, int64_t side, int64_t phase, int64_t basis = 0);
    Answer run(Routine r, int64_t phase, int64_t basis = 0, int64_t side = 0);
    // The phase monitors (EVAL_*) logged: the calls, and name with record slot.
    static std::vector<Call> monitor_calls();
    static Pairs monitors();

    // Records of vapour f2, first liquid f4, second liquid f5 and total liquid;
    // stored weights 20, 30, 27, 44, 12 differ from the compositions' 11, 30, 26, 40, 10.
    void three_phases(double f2, double f4, double f5);
    // Side 0's property-method group 101..106, side 1's 201..206, XIF_HXIPP(21) = 21,
    // (23) = 23, water switches 0; `group` is a side's as a monitor receives it, with
    // word 5 in place of word 1 for pure water.
    void option_sets();
    static std::array<int64_t, 6> group(int64_t side, bool pure_water = false);
    // Water at `position` of the four-entry flash list, with the given mole fractions
    // in the first and second liquid of the work area.
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
