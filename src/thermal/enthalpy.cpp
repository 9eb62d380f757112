// Enthalpy of a phase per mole or per unit mass; the whole stream from the
// host's stream totals.
#include "thermal/thermal_monitor.h"

using namespace xif;

namespace {
PropertyCall call;
int64_t enthalpy_code;
double total_flow;
} // namespace

extern "C" XIF_API void XIF_HXBNTH(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE,
                                   int64_t* IBASIS, double* VALUE, int64_t* IERR) {
    enter(call, IERR, ISIDE, IPHASE, IBASIS);
    make_copies(call);
    enthalpy_code = 1;
    auto enthalpy = [&](int64_t s) {
        return enthalpy_monitor(call, SVEC, s, &enthalpy_code, false);
    };
    switch (call.phase) {
    case kWhole: {
        const int64_t w = host::stream_lists();
        const int64_t* m = &ipp(XIF_IPP_LIST_COUNT);
        *VALUE = 0.0;
        VEC_TOTENT(SVEC, m, &host::plex(w), &host::plex(w + *m), VALUE);
        auto* total = call.basis == kMass ? VEC_TOTMAS : VEC_TOTFLO;
        total(SVEC, m, &host::plex(w), &host::plex(w + *m), &total_flow);
        *VALUE /= total_flow;
        return;
    }
    case kTotalLiquid:
        total_liquid(call, SVEC, SPARE, &call.basis, VALUE, IERR, enthalpy);
        return;
    default:
        single_phase(call, SVEC, SPARE, &call.basis, VALUE, IERR,
                     [&](int64_t s) { return *VALUE = enthalpy(s); });
    }
}
