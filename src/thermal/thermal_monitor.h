// The host's enthalpy and thermo monitors on a phase record, with the
// result converted to the mass basis by the phase's own molecular weight.
#pragma once

#include "core/phase_property.h"

namespace xif {

inline bool is_vapour_slot(int64_t s) {
    return s == 4 || s == 5;
}

// EVAL_ENTHV / EVAL_ENTHL with calculation code c.code (1 enthalpy, 2 heat
// capacity); `second` picks the 11th argument instead of the 10th.
inline double enthalpy_monitor(PropertyCall& c, double* SVEC, int64_t s, bool second) {
    const Slot slot{s};
    auto* monitor = is_vapour_slot(s) ? EVAL_ENTHV : EVAL_ENTHL;
    monitor(temperature(SVEC), pressure(SVEC), slot.x(), slot.count(), slot.idx(), copy_for(c, s),
            monitor_option(), &ipp(XIF_IPP_THERMO_OPT), &c.code, &c.spare[0], &c.spare[1],
            &c.work_err);
    const double molar = second ? c.spare[1] : c.spare[0];
    return c.basis == kMass ? molar / slot.mw() : molar;
}

} // namespace xif
