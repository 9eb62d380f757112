// Phase slots of RIG_HXPKV and the phase records they locate in CAT_PLEX.
// Phase codes 2..6 use slots 4, 1, 2, 3, 5.
#pragma once

#include "core/args.h"
#include "host/imports.h"

namespace xif {

inline int64_t slot_of(int64_t phase) {
    static constexpr int64_t slots[7] = {0, 0, 4, 1, 2, 3, 5};
    return slots[phase];
}

// One phase slot: count word s, component-number list at word 5 + s,
// record at word 10 + s.
struct Slot {
    int64_t s;

    xif_word& count_word() const { return host::hxpkv(s); }
    int64_t n() const { return host::hxpkv_int(s); }
    int64_t list() const { return host::hxpkv_int(5 + s); }
    int64_t record() const { return host::hxpkv_int(10 + s); }

    // Monitor arguments: mole fractions, count, component numbers.
    double* x() const { return host::plex_reals(record()); }
    const int64_t* count() const { return reinterpret_cast<const int64_t*>(&count_word()); }
    int64_t* idx() const { return host::plex_ints(list()); }

    double fraction() const { return host::plex_real(record() + n()); }
    double mw() const { return host::plex_real(record() + n() + 1); }
};

inline Slot slot_for(int64_t phase) {
    return Slot{slot_of(phase)};
}

// By mass: the phase's molecular weight from its own record over the
// stream's. Off the molar path that every presence test takes.
double mass_share(const double* SVEC, Slot slot, double beta);

// The share of the stream in a phase, for clipped selectors: what
// XIF_HXBFRC returns, and the presence test of every property routine.
inline double phase_fraction(const double* SVEC, int64_t phase, int64_t basis) {
    if (phase == kWhole) return 1.0;
    const Slot slot = slot_for(phase);
    const double beta = slot.n() > 0 ? slot.fraction() : 0.0;
    // Nothing or everything: the same share by mass as by moles.
    if (basis == kMolar || beta == 0.0 || beta == 1.0) return beta;
    return mass_share(SVEC, slot, beta);
}

} // namespace xif
