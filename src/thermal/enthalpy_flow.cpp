// Enthalpy flow of a phase: its molar flow times its molar enthalpy.
#include "core/phase_property.h"

using namespace xif;

namespace {
PropertyCall call;
double flow;
double enthalpy;
} // namespace

extern "C" XIF_API void XIF_HXBQFL(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE,
                                   int64_t*, double* VALUE, int64_t* IERR) {
    enter(call, IERR, ISIDE, IPHASE, nullptr);
    call.basis = kMolar; // always molar, whatever the caller asked
    if (call.phase == kWhole) {
        const int64_t w = host::stream_lists();
        const int64_t* m = &ipp(XIF_IPP_LIST_COUNT);
        VEC_TOTENT(SVEC, m, &host::plex(w), &host::plex(w + *m), VALUE);
        return;
    }
    if (!(fraction(call, SVEC, call.phase, call.basis) > 0.0)) {
        *VALUE = 0.0; // an absent phase carries no enthalpy
        *IERR = -1;
        return;
    }
    // The inner routines get the caller's side and error flag and clip themselves.
    XIF_HXBMFL(SVEC, SPARE, ISIDE, code_word(call.phase), &call.basis, &flow, IERR);
    XIF_HXBNTH(SVEC, SPARE, ISIDE, code_word(call.phase), &call.basis, &enthalpy, IERR);
    *VALUE = flow * enthalpy;
}
