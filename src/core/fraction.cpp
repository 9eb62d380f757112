// Phase fraction: the share of the stream that a phase holds.
#include "core/phase_record.h"

namespace xif {

double mass_share(const double* SVEC, Slot slot, double beta) {
    // The phase's molecular weight from its own record, not the stored one.
    double mw = 0.0;
    const int64_t n = slot.n();
    const int64_t rec = slot.record();
    const int64_t list = slot.list();
    for (int64_t i = 1; i <= n; ++i)
        mw += host::plex_real(rec + i - 1) * host::component_mw(host::plex_int(list + i - 1));
    return beta * mw / sv(SVEC, host::ncomp() + 9);
}

} // namespace xif

using namespace xif;

extern "C" XIF_API void XIF_HXBFRC(double* SVEC, void*, int64_t*, int64_t* IPHASE, int64_t* IBASIS,
                                   double* VALUE, int64_t* IERR) {
    *IERR = 0;
    *VALUE = phase_fraction(SVEC, clip_phase(*IPHASE), clip_basis(*IBASIS));
}
