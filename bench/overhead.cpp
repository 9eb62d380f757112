// What libxif adds to a property call, counted in instructions: the routine
// and the monitor it calls, each N times on the same phase record, in
// functions of their own for a profiler to count (docs/performance.md):
//   valgrind --tool=callgrind --toggle-collect='*through_calls*' xif_overhead vis_v new
// and the same with direct_calls; the difference over N is libxif's share.
#include "stream.h"

#include <cstdio>
#include <cstdlib>

using namespace xif::bench;

namespace {

constexpr int kCalls = 2000;
double sink = 0.0;

// A new temperature every call, so that the host evaluates the phase anew.
double temperature(int k, bool fresh) {
    return fresh ? 220.0 + 1e-3 * k : 220.0;
}

[[gnu::noinline]] void through_calls(Stream& s, Routine r, int64_t phase, bool fresh) {
    for (int k = 0; k < kCalls; ++k) {
        s.svec[s.nc + 1] = temperature(k, fresh);
        sink += through(s, r, phase);
    }
}

[[gnu::noinline]] void direct_calls(Stream& s, Monitor m, int64_t slot, bool fresh) {
    for (int k = 0; k < kCalls; ++k) {
        s.svec[s.nc + 1] = temperature(k, fresh);
        sink += direct(s, m, slot);
    }
}

struct Case {
    const char* name;
    Routine routine;
    int64_t phase;
    Monitor monitor;
    int64_t slot;
};
const Case kCases[] = {
    {"vis_v", XIF_HXBVIS, 2, EVAL_VISCV, 4},  {"vis_l", XIF_HXBVIS, 4, EVAL_VISCL, 2},
    {"thc_v", XIF_HXBTHC, 2, EVAL_TCONV, 4},  {"thc_l", XIF_HXBTHC, 4, EVAL_TCONL, 2},
    {"sft_l", XIF_HXBSFT, 4, EVAL_SRFTEN, 2},
};

} // namespace

int main(int argc, char** argv) {
    const char* which = argc > 1 ? argv[1] : "";
    const bool fresh = argc > 2 && std::string(argv[2]) == "new";
    for (const Case& c : kCases) {
        if (std::string(which) != c.name) continue;
        Stream s = natural_gas();
        s.flash(2, 220.0, 40e5);
        through_calls(s, c.routine, c.phase, fresh);
        s.flash(2, 220.0, 40e5);
        direct_calls(s, c.monitor, c.slot, fresh);
        std::printf("%s: %d calls each way (%g)\n", c.name, kCalls, sink);
        return 0;
    }
    std::fprintf(stderr, "usage: xif_overhead vis_v|vis_l|thc_v|thc_l|sft_l [new]\n");
    return 2;
}
