#include "core/phase_property.h"

namespace xif {

namespace {
// Phase codes and bases as words: nested calls take them by reference.
int64_t codes[7] = {0, 1, 2, 3, 4, 5, 6};
int64_t bases[3] = {0, 1, 2};
} // namespace

int64_t* code_word(int64_t code) {
    return &codes[code];
}
int64_t* basis_word(int64_t basis) {
    return &bases[basis];
}

void apply_water_rule(PropertyCall& c) {
    const int64_t p = AID_IDXH2O(host::plex_ints(host::flash_list()),
                                 reinterpret_cast<const int64_t*>(&host::stwkwk(3)));
    if (p <= 0) return;
    // Exactly pure water only: a trace of anything else keeps the mixture method.
    if (host::plex_real(host::flash_array(17) + p - 1) == 1.0)
        c.copy[kLiquid1Copy][0] = c.copy[kLiquid1Copy][4];
    if (host::plex_real(host::flash_array(18) + p - 1) == 1.0)
        c.copy[kLiquid2Copy][0] = c.copy[kLiquid2Copy][4];
}

void call_monitor(Monitor m, const PropertyCall& c, double* SVEC, int64_t s, double* value,
                  int64_t* ierr) {
    const Slot slot{s};
    m(temperature(SVEC), pressure(SVEC), slot.x(), slot.count(), slot.idx(), copy_for(c, s),
      monitor_option(), value, ierr);
}

void transport_property(PropertyCall& c, Monitor liquid, Monitor vapour, double* SVEC,
                        double* VALUE, int64_t* IERR) {
    auto monitor_for = [&](int64_t s) { return s == 2 || s == 3 ? liquid : vapour; };
    auto into_value = [&](int64_t s) {
        call_monitor(monitor_for(s), c, SVEC, s, VALUE, IERR);
        return *VALUE;
    };
    auto into_work = [&](int64_t s) {
        call_monitor(monitor_for(s), c, SVEC, s, &c.work, IERR);
        return c.work;
    };
    switch (c.phase) {
    case kWhole:
        sum_phases(c, SVEC, kMolar, VALUE, into_work);
        return;
    case kTotalLiquid:
        total_liquid(c, SVEC, kMolar, VALUE, IERR, into_work);
        return;
    default:
        single_phase(c, SVEC, kMolar, VALUE, IERR, into_value);
    }
}

} // namespace xif
