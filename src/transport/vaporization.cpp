// Heat of vaporization of a liquid: the mole-fraction-weighted difference
// of each component's pure vapour and liquid enthalpies at the stream
// temperature and the component's own vapour pressure.
#include "core/phase_property.h"

#include <cmath>

using namespace xif;

namespace {
PropertyCall call;
double temperature_copy;
int64_t one;
int64_t flags[5];
double ln_p, p, second;
double hv[10], hl[10];

double liquid_heat_of_vaporization(int64_t s) {
    const Slot slot{s};
    const int64_t* copy = copy_for(call, s);
    double sum = 0.0;
    for (int64_t j = 1; j <= slot.n(); ++j) {
        const int64_t* component = host::plex_ints(slot.list() + j - 1);
        KERN_PL001(&temperature_copy, &one, component, &one, &one, monitor_option(), &ln_p,
                   &second);
        // Keep the exponential finite for any vapour pressure the host reports.
        if (ln_p > 80.0) ln_p = 80.0;
        if (ln_p < -170.0) ln_p = -170.0;
        p = std::exp(ln_p);
        EVAL_VTHRM(&temperature_copy, &p, &one, component, copy, monitor_option(),
                   &ipp(XIF_IPP_THERMO_OPT), &flags[0], &flags[1], &flags[2], &flags[3], &flags[4],
                   &hv[0], &hv[1], &hv[2], &hv[3], &hv[4], &hv[5], &hv[6], &hv[7], &hv[8], &hv[9],
                   &call.work_err);
        EVAL_LTHRM(&temperature_copy, &p, &one, component, copy, monitor_option(),
                   &ipp(XIF_IPP_THERMO_OPT), &flags[0], &flags[1], &flags[2], &flags[3], &flags[4],
                   &hl[0], &hl[1], &hl[2], &hl[3], &hl[4], &hl[5], &hl[6], &hl[7], &hl[8], &hl[9],
                   &call.work_err);
        sum += (hv[1] - hl[1]) * host::plex_real(slot.record() + j - 1);
    }
    return call.basis == kMass ? sum / slot.mw() : sum;
}
} // namespace

extern "C" XIF_API void XIF_HXBTHV(double* SVEC, void*, int64_t* ISIDE, int64_t* IPHASE,
                                   int64_t* IBASIS, double* VALUE, int64_t* IERR) {
    enter(call, IERR, ISIDE, IPHASE, IBASIS);
    temperature_copy = *temperature(SVEC);
    one = 1;
    flags[0] = 0, flags[1] = 1, flags[2] = 0, flags[3] = 0, flags[4] = 0;
    make_copies(call, false); // the liquids' copies only
    switch (call.phase) {
    case kVapour:
    case kSubset:
        return report_absent(VALUE, IERR);
    case kLiquid1:
    case kLiquid2:
        single_phase(call, SVEC, call.basis, VALUE, IERR,
                     [&](int64_t s) { return *VALUE = liquid_heat_of_vaporization(s); });
        return;
    default: {
        // The whole stream is its liquid.
        const double f3 = fraction(call, SVEC, kTotalLiquid, call.basis);
        const double f4 = fraction(call, SVEC, kLiquid1, call.basis);
        const double f5 = fraction(call, SVEC, kLiquid2, call.basis);
        if (!(f3 > 0.0)) return report_absent(VALUE, IERR);
        const double dh1 = f4 > 0.0 ? liquid_heat_of_vaporization(2) : 0.0;
        const double dh2 = f5 > 0.0 ? liquid_heat_of_vaporization(3) : 0.0;
        // A total liquid whose two liquids both hold nothing has no heat of
        // vaporization to weigh: 0, as the other routines answer that case.
        *VALUE = f4 + f5 > 0.0 ? (dh1 * f4 + dh2 * f5) / (f4 + f5) : 0.0;
    }
    }
}
