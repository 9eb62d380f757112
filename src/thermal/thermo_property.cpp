// The third result of the host's phase thermo monitors (the reference host:
// entropy), per mole or per unit mass.
#include "thermal/thermal_monitor.h"

using namespace xif;

namespace {
PropertyCall call;
int64_t flags[5];

double third_result(double* SVEC, int64_t s) {
    const Slot slot{s};
    double* r = call.spare;
    if (is_vapour_slot(s)) {
        EVAL_VMTHRM(temperature(SVEC), pressure(SVEC), slot.x(), slot.count(), slot.idx(),
                    copy_for(call, s), monitor_option(), &ipp(XIF_IPP_THERMO_OPT), &flags[0],
                    &flags[1], &flags[2], &flags[3], &flags[4], &r[0], &r[1], &r[2], &r[3], &r[4],
                    &r[5], &r[6], &r[7], &r[8], &r[9], &call.work_err);
    } else {
        // The liquid monitor always gets the vapour's record, present or not.
        EVAL_LMTHMY(temperature(SVEC), pressure(SVEC), slot.x(), Slot{4}.x(), slot.count(),
                    slot.idx(), copy_for(call, s), monitor_option(), &ipp(XIF_IPP_THERMO_OPT),
                    &flags[0], &flags[1], &flags[2], &flags[3], &flags[4], &r[0], &r[1], &r[2],
                    &r[3], &r[4], &r[5], &r[6], &r[7], &r[8], &r[9], &call.work_err);
    }
    return call.basis == kMass ? r[2] / slot.mw() : r[2];
}
} // namespace

extern "C" XIF_API void XIF_HXBNTR(double* SVEC, void*, int64_t* ISIDE, int64_t* IPHASE,
                                   int64_t* IBASIS, double* VALUE, int64_t* IERR) {
    enter(call, IERR, ISIDE, IPHASE, IBASIS);
    flags[0] = 0, flags[1] = 0, flags[2] = 1, flags[3] = 0, flags[4] = 0;
    make_copies(call);
    auto value_of = [&](int64_t s) { return third_result(SVEC, s); };
    summed_property(call, SVEC, call.basis, VALUE, IERR, value_of);
}
