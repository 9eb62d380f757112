// Viscosity of a phase or of the whole stream, from the host's liquid and
// vapour viscosity monitors.
#include "core/phase_property.h"

using namespace xif;

namespace {
PropertyCall call;
}

extern "C" XIF_API void XIF_HXBVIS(double* SVEC, void*, int64_t* ISIDE, int64_t* IPHASE, int64_t*,
                                   double* VALUE, int64_t* IERR) {
    begin(call, IERR, ISIDE, IPHASE, nullptr);
    transport_property(call, EVAL_VISCL, EVAL_VISCV, SVEC, VALUE, IERR);
}
