// Volume of a phase: molar, specific, or from the components' standard
// liquid volumes.
#include "core/phase_property.h"

#include <cstring>

using namespace xif;

namespace {
PropertyCall call;
int64_t one;
int64_t std_volume_name[2];

double standard_liquid_volume(int64_t s) {
    std::memcpy(std_volume_name, "VLST    D       ", sizeof std_volume_name);
    const int64_t off = CAT_IFCMN(std_volume_name);
    const Slot slot{s};
    double v = 0.0;
    for (int64_t j = 1; j <= slot.n(); ++j)
        v += host::plex_real(slot.record() + j - 1) *
             host::plex_real(off + host::plex_int(slot.list() + j - 1));
    return v;
}

double phase_volume(double* SVEC, int64_t s) {
    if (call.basis == kStdLiquid) return standard_liquid_volume(s);
    const Slot slot{s};
    auto* monitor = s == 4 || s == 5 ? EVAL_VOLV : EVAL_VOLL;
    one = 1;
    monitor(temperature(SVEC), pressure(SVEC), slot.x(), slot.count(), slot.idx(),
            copy_for(call, s), monitor_option(), &one, &call.work, &call.spare[0], &call.work_err);
    return call.basis == kMass ? call.work / slot.mw() : call.work;
}
} // namespace

extern "C" XIF_API void XIF_HXBVOL(double* SVEC, void*, int64_t* ISIDE, int64_t* IPHASE,
                                   int64_t* IBASIS, double* VALUE, int64_t* IERR) {
    begin(call, IERR, ISIDE, IPHASE, IBASIS, kStdLiquid);
    auto volume = [&](int64_t s) { return phase_volume(SVEC, s); };
    summed_property(call, SVEC, call.basis, VALUE, IERR, volume);
}
