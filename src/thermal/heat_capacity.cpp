// Heat capacity of a phase per mole or per unit mass, from the enthalpy
// monitors' second result; the whole stream sums its phases (no latent heat).
#include "thermal/thermal_monitor.h"

using namespace xif;

namespace {
PropertyCall call;
int64_t capacity_code;
} // namespace

extern "C" XIF_API void XIF_HXBCPP(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE,
                                   int64_t* IBASIS, double* VALUE, int64_t* IERR) {
    enter(call, IERR, ISIDE, IPHASE, IBASIS);
    make_copies(call);
    capacity_code = 2;
    auto capacity = [&](int64_t s) {
        return enthalpy_monitor(call, SVEC, s, &capacity_code, true);
    };
    switch (call.phase) {
    case kWhole:
        sum_phases(call, SVEC, SPARE, &call.basis, VALUE, capacity);
        return;
    case kTotalLiquid:
        total_liquid(call, SVEC, SPARE, &call.basis, VALUE, IERR, capacity);
        return;
    default:
        single_phase(call, SVEC, SPARE, &call.basis, VALUE, IERR,
                     [&](int64_t s) { return *VALUE = capacity(s); });
    }
}
