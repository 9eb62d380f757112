// The critical point of a mixture: the Heidemann-Khalil conditions on the
// Peng-Robinson equation of state (refhost/critical/README.md). Where the
// mixture has no critical point within the solver's bounds, the
// pseudo-critical point by Kay's rule with error code 1.
#include "critical/critical.hpp"
#include "host/engine.h"
#include "host/store.h"

using namespace xif::refhost;

extern "C" XIFHOST_EXPORT void EQUI_CRTCAL(const int64_t* n, const double* x, const int64_t* idx,
                                           xif_word*, double* Tc, double* Pc, double* o7,
                                           double* o8, int64_t* ierr) {
    const Composition* c = nullptr;
    if (int64_t e = read_composition(x, n, idx, c)) {
        *ierr = e;
        return;
    }
    critical::Result r;
    const critical::Status s = critical::critical_point(mixture_for_critical(), c->z.data(), r);
    if (s == critical::Status::BadInput) {
        *ierr = kBadComposition;
        return;
    }
    *Tc = r.T;
    *Pc = r.P;
    *o7 = r.v; // molar volume at the critical point (NaN for the pseudo-critical point)
    *o8 = static_cast<double>(r.evaluations);
    *ierr = s == critical::Status::Ok ? int64_t{kMonitorOk} : int64_t{1};
}
