// The scripted test host: defines every host block and routine that libxif
// imports. A test lays out the data store, sets the answers (a monitor's
// value per phase slot, a flash's equilibrium, list contents, statuses) and
// reads back the log of calls, with the pointers each routine was handed
// and the words they pointed to at the time of the call.
#pragma once

#include <xif/host.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace xif::test {

// 1-based CAT_PLEX indices of the standard layout.
namespace at {
constexpr int64_t kRealWork = 1001; // CAT_STWKWK(1)
constexpr int64_t kIntWork = 3001;  // CAT_STWKWK(2)
// Offsets inside the real work area (VEC_STWORK words).
constexpr int64_t kWhole = 0, kTotal = 100, kLiquid1 = 200, kLiquid2 = 300, kVapour = 400,
                  kK1 = 500, kK2 = 600, kCritWork = 700, kFlashReal = 800;
// Offsets inside the integer work area.
constexpr int64_t kList = 0, kStreamLists = 100, kFlashInt = 300;
constexpr int64_t kSlotRealSize = 50, kSlotIntSize = 19; // VEC_STWORK(1), (2)
constexpr int64_t kSlotInts = 5001, kSlotReals = 6001;   // for XIF_HXIPP(24), (25)
constexpr int64_t kExclusion = 7000, kMw = 7100, kParam457 = 7200, kIds = 7300;
constexpr int64_t kSubsetList = 12000;
constexpr int64_t kParams = 13000; // CAT_IFCMNC tables, 100 words apart
constexpr int64_t kStdVolume = 14000;
inline int64_t slot_list(int64_t s) {
    return 8000 + 200 * s;
}
inline int64_t slot_record(int64_t s) {
    return 9000 + 200 * s;
}
} // namespace at

constexpr int64_t kPlexWords = 16384;

// One logged call. Argument k (from 1): its pointer and the 8-byte word it
// pointed to when the call was made; `group` holds the six words of a
// property-method group argument.
struct Call {
    std::string name;
    std::vector<const void*> ptr;
    std::vector<xif_word> word;
    std::array<int64_t, 6> group{};
    std::string text; // a name handed as characters

    const void* p(size_t k) const { return ptr.at(k - 1); }
    double r(size_t k) const { return word.at(k - 1).r; }
    int64_t i(size_t k) const { return word.at(k - 1).i; }
};

// A flash equilibrium written into the work areas by the scripted flash.
struct Equilibrium {
    double T = 300.0, P = 1e5, vf = 0.0, b = 1.0; // b: first liquid's share of the liquid
    std::vector<int64_t> components;              // flash list: component numbers
    std::vector<double> z, x, x1, x2, y, k1, k2;  // by list position
    std::array<double, 16> per_phase{};           // VEC_STWORK(47..62)
};

struct ScriptedHost {
    // Monitor answers by routine name and phase slot (0: whole stream).
    std::map<std::string, std::map<int64_t, double>> answer;
    std::map<std::string, int64_t> error; // error code a monitor writes
    // Error code by routine name and phase slot; overrides `error` for that slot.
    std::map<std::string, std::map<int64_t, int64_t>> error_at;
    // Pure-component answers by component number.
    std::map<int64_t, double> ln_p, h_vapour, h_liquid;
    double tot_flow = 0, tot_mass = 0, tot_enth = 0;
    int64_t water_position = 0;
    int64_t subset_list = 0; // what CAT_LOCATI answers
    std::map<std::string, int64_t> param_offset;
    int64_t std_volume_offset = at::kStdVolume;
    Equilibrium eq;
    bool flash_writes = true;
    int64_t flash_code = 0;
    int64_t flash_status = 1;
    std::function<void(double* svec)> on_seth;
    // Run by every host routine when it is called, after it is logged (a
    // host that changes the floating-point environment, for instance).
    std::function<void(const char* name)> on_call;
    double crit_t = 0, crit_p = 0;

    std::vector<Call> log;

    // Zeroes every host block, lays out the standard layout for nc
    // components (molecular weights 10, 20, ...; exclusion parameter 0;
    // identifiers "C<j>"), counts 0 in every slot, clears answers and log.
    void reset(int64_t nc);
    // Writes eq into the work areas (what the scripted flash does).
    void write_equilibrium();
    // Writes a phase record directly: components, mole fractions, fraction, mw.
    void set_record(int64_t s, const std::vector<int64_t>& comps, const std::vector<double>& x,
                    double fraction, double mw);
    // The calls of one routine, in order.
    std::vector<Call> calls(const std::string& name) const;
    // Phase slot whose record begins at x (0 when none).
    int64_t slot_of_record(const void* x) const;
};

ScriptedHost& host();

// Word access for tests.
double plex_real(int64_t k);
int64_t plex_int(int64_t k);
void set_plex_real(int64_t k, double v);
void set_plex_int(int64_t k, int64_t v);
int64_t block_int(xif_word* block, int64_t k);
void set_block_int(xif_word* block, int64_t k, int64_t v);
double block_real(xif_word* block, int64_t k);
void set_block_real(xif_word* block, int64_t k, double v);

} // namespace xif::test
