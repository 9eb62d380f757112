// Molecular weight and flow of the stream or a phase, and rescaling a
// stream to a given mass flow.
#include "core/phase_property.h"

using namespace xif;

namespace {
PropertyCall weight_call;
PropertyCall flow_call;
} // namespace

extern "C" {

XIF_API void XIF_HXBMWT(double* SVEC, void*, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR) {
    PropertyCall& c = weight_call;
    enter(c, IERR, ISIDE, IPHASE, IBASIS);
    if (c.phase == kWhole) {
        *VALUE = sv(SVEC, host::ncomp() + 9);
        return;
    }
    if (!(fraction(c, SVEC, c.phase, c.basis) > 0.0)) return report_absent(VALUE, IERR);
    *VALUE = slot_for(c.phase).mw(); // the stored phase molecular weight
}

XIF_API void XIF_HXBMFL(double* SVEC, void*, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR) {
    PropertyCall& c = flow_call;
    enter(c, IERR, ISIDE, IPHASE, IBASIS);
    const int64_t w = host::stream_lists();
    const int64_t* m = &ipp(XIF_IPP_LIST_COUNT);
    auto* total = c.basis == kMass ? VEC_TOTMAS : VEC_TOTFLO;
    total(SVEC, m, &host::plex(w), &host::plex(w + *m), VALUE);
    if (*VALUE >= missing()) *VALUE = 0.0;
    *VALUE = fraction(c, SVEC, c.phase, c.basis) * *VALUE;
}

XIF_API void XIF_HXBZMF(double* SVEC, void*, int64_t*, const double* VALIN, double* FLOWM,
                        double* SUMP, double* RATIO) {
    const int64_t nc = host::ncomp();
    *FLOWM = *VALIN / sv(SVEC, nc + 9);
    *RATIO = *FLOWM / sv(SVEC, nc + 1);
    double sum = 0.0;
    for (int64_t j = 1; j <= nc; ++j) {
        sum += host::plex_real(host::ipoff1(457) + j) * sv(SVEC, j);
        sv(SVEC, j) *= *RATIO;
    }
    *SUMP = nc > 0 ? *RATIO * sum : 0.0;
}
}
