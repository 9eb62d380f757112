// Diffusivity of the vapour, the vapour subset or the whole stream; a
// liquid on its own is never evaluated, though the whole stream includes it.
#include "core/phase_property.h"

using namespace xif;

namespace {
PropertyCall call;
}

extern "C" XIF_API void XIF_HXBDIF(double* SVEC, void*, int64_t* ISIDE, int64_t* IPHASE, int64_t*,
                                   double* VALUE, int64_t* IERR) {
    begin(call, IERR, ISIDE, IPHASE, nullptr);
    if (call.phase >= kTotalLiquid && call.phase <= kLiquid2) return report_absent(VALUE, IERR);
    transport_property(call, EVAL_DIFCOL, EVAL_DIFCOV, SVEC, VALUE, IERR);
}
