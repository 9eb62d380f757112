// Enthalpy of a phase per mole or per unit mass; the whole stream from the
// host's stream totals.
#include "thermal/thermal_monitor.h"

using namespace xif;

namespace {
PropertyCall call;
double total_flow;
} // namespace

extern "C" XIF_API void XIF_HXBNTH(double* SVEC, void*, int64_t* ISIDE, int64_t* IPHASE,
                                   int64_t* IBASIS, double* VALUE, int64_t* IERR) {
    begin(call, IERR, ISIDE, IPHASE, IBASIS);
    call.code = 1;
    if (call.phase != kWhole)
        return phase_or_total_liquid(call, SVEC, call.basis, VALUE, IERR, [&](int64_t s) {
            return enthalpy_monitor(call, SVEC, s, false);
        });
    // The stream's enthalpy flow over its molar or mass flow.
    const int64_t w = host::stream_lists();
    const int64_t* m = &ipp(XIF_IPP_LIST_COUNT);
    *VALUE = 0.0;
    VEC_TOTENT(SVEC, m, &host::plex(w), &host::plex(w + *m), VALUE);
    auto* total = call.basis == kMass ? VEC_TOTMAS : VEC_TOTFLO;
    total(SVEC, m, &host::plex(w), &host::plex(w + *m), &total_flow);
    *VALUE /= total_flow;
}
