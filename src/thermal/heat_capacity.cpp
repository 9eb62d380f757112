// Heat capacity of a phase per mole or per unit mass, from the enthalpy
// monitors' second result; the whole stream sums its phases (no latent heat).
#include "thermal/thermal_monitor.h"

using namespace xif;

namespace {
PropertyCall call;
}

extern "C" XIF_API void XIF_HXBCPP(double* SVEC, void*, int64_t* ISIDE, int64_t* IPHASE,
                                   int64_t* IBASIS, double* VALUE, int64_t* IERR) {
    begin(call, IERR, ISIDE, IPHASE, IBASIS);
    call.code = 2;
    summed_property(call, SVEC, call.basis, VALUE, IERR,
                    [&](int64_t s) { return enthalpy_monitor(call, SVEC, s, true); });
}
