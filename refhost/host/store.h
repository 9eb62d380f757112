// The reference host's data store: the host blocks, the layout of the
// data store for the open component list, and the host's own state.
#pragma once

#include <xif/host.h>

#include "databank/databank.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Host names and the set-up API are exported; everything else stays hidden.
#define XIFHOST_EXPORT __attribute__((visibility("default")))
#define XIFHOST_BLOCK XIFHOST_EXPORT

namespace xif::refhost {

constexpr int64_t kMaxComponents = 64;
constexpr int64_t kPlexWords = 1 << 16;

// Sizes of the host blocks, in words.
constexpr int64_t kStwkwkWords = 32, kIpoff1Words = 460, kIpoff4Words = 4, kStworkWords = 64,
                  kHxpkvWords = 16;

// Method words of the property-method group (word 1, and word 5 for a
// liquid that is pure water).
enum Method : int64_t { kPengRobinson = 1, kSoaveRedlichKwong = 2, kWaterTables = 11 };
// Word 3: how liquid volumes are computed.
enum LiquidVolume : int64_t {
    kVolumeDefault = 0,
    kVolumeTranslatedEos = 1,
    kVolumeCorrelation = 2
};
// Key of the non-condensable identifier list (word 2).
constexpr int64_t kNoncondensableKey = 1;

// 1-based CAT_PLEX indices of everything the host lays out for nc
// components. Offsets are chosen so that CAT_PLEX(offset + i) is the value
// of component i.
struct Layout {
    int64_t nc = 0;
    // Component parameters (offsets).
    int64_t exclusion = 0, mw = 0, param457 = 0, ids = 0;
    int64_t pc = 0, tc = 0, vlstd = 0, tb = 0, omega = 0, mup = 0, zero_table = 0;
    // Flash work areas.
    int64_t real_work = 0, int_work = 0;
    int64_t slot_real_size = 0, slot_int_size = 0; // VEC_STWORK(1), (2) + 1
    // Offsets inside the real work area.
    int64_t k1 = 0, k2 = 0, whole = 0, total = 0, liquid1 = 0, liquid2 = 0, vapour = 0,
            crit_work = 0, flash_real = 0;
    // Offsets inside the integer work area.
    int64_t list = 0, stream_lists = 0, flash_int = 0;
    // Phase records, slot s = 1..5.
    std::array<int64_t, 6> slot_list{}, slot_record{};
    // Retained flash slots: ten integer parts and ten real parts.
    int64_t retained_ints = 0, retained_reals = 0;
    // Identifier lists: the non-condensables and the empty list.
    int64_t noncondensables = 0, empty_list = 0;
    int64_t used = 0; // words in use
};

// What the host knows besides its blocks.
struct HostState {
    bool open = false;
    int64_t nc = 0;
    std::array<const databank::Component*, kMaxComponents> comp{};
    std::array<bool, kMaxComponents> noncondensable{};
    int64_t water = 0; // component number of water, 0 when absent
    Layout at;
    std::string message;
    uint64_t generation = 0; // counts the opens and changes of parameters: caches follow it
    // Interaction parameters set through the set-up API, in place of the
    // databank's: components i and j, method (1 PR, 2 SRK), k_ij.
    struct Pair {
        int64_t i, j, method;
        double kij;
    };
    std::vector<Pair> kij_set;
};

// The one host state; inline, as every monitor call reads it.
extern HostState the_state;
inline HostState& state() {
    return the_state;
}

// Lays out the data store for the components of state() (state().nc > 0).
void lay_out();

// Sets the last error message and returns code.
int64_t fail(int64_t code, const std::string& message);

// Word access.
inline xif_word& plex(int64_t k) {
    return CAT_PLEX[k - 1];
}
inline double plex_real(int64_t k) {
    double d;
    std::memcpy(&d, &plex(k), sizeof d);
    return d;
}
inline int64_t plex_int(int64_t k) {
    int64_t v;
    std::memcpy(&v, &plex(k), sizeof v);
    return v;
}
inline void set_real(xif_word& w, double d) {
    std::memcpy(&w, &d, sizeof d);
}
inline void set_int(xif_word& w, int64_t v) {
    std::memcpy(&w, &v, sizeof v);
}
inline void set_plex_real(int64_t k, double d) {
    set_real(plex(k), d);
}
inline void set_plex_int(int64_t k, int64_t v) {
    set_int(plex(k), v);
}
inline double* plex_reals(int64_t k) {
    return reinterpret_cast<double*>(&plex(k));
}

// An identifier: the 8-character id split over two words.
std::array<int64_t, 2> identifier(const std::string& id);

} // namespace xif::refhost
