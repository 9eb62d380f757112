// Argument conventions shared by every exported routine: the exported
// blocks by word number and the clipping of selectors. Selectors are tested
// as unsigned numbers so that negative values fall out with the large ones.
#pragma once

#include <xif/xif.h>

#include <cstdint>

namespace xif {

inline int64_t clip_side(int64_t v) {
    return static_cast<uint64_t>(v) > 1u ? 0 : v;
}
inline int64_t clip_phase(int64_t v) {
    return static_cast<uint64_t>(v) - 1u > 5u ? 1 : v;
}
inline int64_t clip_basis(int64_t v, uint64_t highest = 1) {
    return static_cast<uint64_t>(v) > highest ? 0 : v;
}

// Word k (from 1) of an exported block.
inline int64_t& ipp(int64_t k) {
    return XIF_HXIPP.word[k - 1];
}
inline double& rpp(int64_t k) {
    return XIF_HXRPP.word[k - 1];
}
inline double missing() {
    return XIF_HXRMSS.word[0];
}
inline double smallest() {
    return XIF_HXRMIN.word[0];
}

// Word w of option set `side` (0 or 1), w = 1..10.
inline int64_t& option(int64_t side, int64_t w) {
    return ipp(w + 10 * side);
}

// Stream vector element i (from 1).
inline double& sv(double* svec, int64_t i) {
    return svec[i - 1];
}
inline double sv(const double* svec, int64_t i) {
    return svec[i - 1];
}

enum Phase : int64_t {
    kWhole = 1,
    kVapour = 2,
    kTotalLiquid = 3,
    kLiquid1 = 4,
    kLiquid2 = 5,
    kSubset = 6
};
enum Basis : int64_t { kMolar = 0, kMass = 1, kStdLiquid = 2 };

} // namespace xif
