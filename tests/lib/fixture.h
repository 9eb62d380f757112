// A library test: libxif on the scripted host, exported blocks cleared,
// a missing value and smallest value set, and a stream vector.
#pragma once

#include "scripted_host.h"

#include <xif/xif.h>

#include <gtest/gtest.h>

#include <vector>

namespace xif::test {

using Routine = void (*)(double*, void*, int64_t*, int64_t*, int64_t*, double*, int64_t*);

struct Answer {
    double value;
    int64_t ierr;
};

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

    // Phase records for a two-liquid, vapour-bearing stream: vapour f2,
    // first liquid f4, second liquid f5 (total liquid f4 + f5).
    void three_phases(double f2, double f4, double f5);
};

} // namespace xif::test
