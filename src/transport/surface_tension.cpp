// Surface tension of the liquid. Vapours have none; the whole stream is its
// liquid, absent only when the stream is all vapour.
#include "core/phase_property.h"

using namespace xif;

namespace {
PropertyCall call;
}

extern "C" XIF_API void XIF_HXBSFT(double* SVEC, void*, int64_t* ISIDE, int64_t* IPHASE, int64_t*,
                                   double* VALUE, int64_t* IERR) {
    enter(call, IERR, ISIDE, IPHASE, nullptr);
    make_copies(call, false); // no vapour monitor
    auto into_work = [&](int64_t s) {
        call_monitor(EVAL_SRFTEN, call, SVEC, s, &call.work, IERR);
        return call.work;
    };
    switch (call.phase) {
    case kVapour:
    case kSubset:
        return report_absent(VALUE, IERR);
    case kWhole: {
        const double f2 = fraction(call, SVEC, kVapour, kMolar);
        const double f4 = fraction(call, SVEC, kLiquid1, kMolar);
        const double f5 = fraction(call, SVEC, kLiquid2, kMolar);
        if (f2 == 1.0) return report_absent(VALUE, IERR);
        mix_fetched_liquids(f4, f5, VALUE, into_work);
        return;
    }
    case kTotalLiquid:
        total_liquid(call, SVEC, kMolar, VALUE, IERR, into_work);
        return;
    default:
        single_phase(call, SVEC, kMolar, VALUE, IERR, [&](int64_t s) {
            call_monitor(EVAL_SRFTEN, call, SVEC, s, VALUE, IERR);
            return *VALUE;
        });
    }
}
