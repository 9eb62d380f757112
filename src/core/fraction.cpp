// Phase fraction: the share of the stream that a phase holds, and the
// presence test of every property routine.
#include "core/phase_record.h"

using namespace xif;

extern "C" XIF_API void XIF_HXBFRC(double* SVEC, void*, int64_t*, int64_t* IPHASE, int64_t* IBASIS,
                                   double* VALUE, int64_t* IERR) {
    *IERR = 0;
    const int64_t phase = clip_phase(*IPHASE);
    const int64_t basis = clip_basis(*IBASIS);
    if (phase == kWhole) {
        *VALUE = 1.0;
        return;
    }
    const Slot slot = slot_for(phase);
    const int64_t n = slot.n();
    const double beta = n > 0 ? slot.fraction() : 0.0;
    // Nothing or everything: the same share by mass as by moles.
    if (beta == 0.0 || beta == 1.0 || basis == kMolar) {
        *VALUE = beta;
        return;
    }
    // The phase's molecular weight from its own record, not the stored one.
    double mw = 0.0;
    const int64_t rec = slot.record();
    const int64_t list = slot.list();
    for (int64_t i = 1; i <= n; ++i)
        mw += host::plex_real(rec + i - 1) * host::component_mw(host::plex_int(list + i - 1));
    *VALUE = beta * mw / sv(SVEC, host::ncomp() + 9);
}
