// The critical point of a mixture: the Heidemann-Khalil conditions on the
// Peng-Robinson equation of state (refhost/critical/README.md). Where the
// mixture has no critical point within the solver's bounds, the
// pseudo-critical point by Kay's rule with error code 1.
#include "critical/critical.hpp"
#include "host/engine.h"
#include "host/recent.h"
#include "host/store.h"

#include <algorithm>

using namespace xif::refhost;

namespace {

// The last critical points found. Each is a search over hundreds of
// equation-of-state Hessians, and an exchanger program asks for the critical
// temperature and then the pressure of the same phase, and for the whole
// stream's at every point of a curve. A result depends on the composition
// alone, for the open host (its generation).
struct KeptCritical {
    uint64_t generation = 0; // 0: never filled (an open host's is 1 or more)
    uint64_t key = 0;
    std::array<double, 64> z{};
    critical::Status status = critical::Status::BadInput;
    critical::Result r{};
};
Recent<KeptCritical, 8> kept;

const KeptCritical& critical_of(const Composition& c) {
    const HostState& s = state();
    const KeptCritical* e = kept.find([&](const KeptCritical& k) {
        return k.generation == s.generation && same_fractions(c, k.key, k.z.data(), s.nc);
    });
    if (e) return *e;
    KeptCritical& k = kept.take();
    k.status = critical::critical_point(mixture_for_critical(), c.z.data(), k.r);
    k.generation = s.generation;
    k.key = c.key;
    std::copy_n(c.z.begin(), s.nc, k.z.begin());
    return k;
}

} // namespace

extern "C" XIFHOST_EXPORT void EQUI_CRTCAL(const int64_t* n, const double* x, const int64_t* idx,
                                           xif_word*, double* Tc, double* Pc, double* o7,
                                           double* o8, int64_t* ierr) {
    const Composition* c = nullptr;
    if (int64_t e = read_composition(x, n, idx, c)) {
        *ierr = e;
        return;
    }
    const KeptCritical& k = critical_of(*c);
    if (k.status == critical::Status::BadInput) {
        *ierr = kBadComposition;
        return;
    }
    *Tc = k.r.T;
    *Pc = k.r.P;
    *o7 = k.r.v; // molar volume at the critical point (NaN for the pseudo-critical point)
    *o8 = static_cast<double>(k.r.evaluations); // of the search that found it
    *ierr = k.status == critical::Status::Ok ? int64_t{kMonitorOk} : int64_t{1};
}
