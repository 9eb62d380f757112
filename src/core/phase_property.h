// The pattern that every phase property routine shares, written once:
// clipped selectors, the vapour, first-liquid and second-liquid copies of
// the property-method group with the water rule, the presence test through
// the phase fraction, a monitor call on a phase record, the total liquid
// mixed by f4/(f4+f5) and the whole stream summed without normalising.
//
// Each routine keeps one PropertyCall in storage of its own: every value in
// it is handed to the host by reference, and nested routines must not share
// it. Every field is written before it is read on each call.
#pragma once

#include "core/phase_record.h"

#include <cstring>

namespace xif {

enum Copy : int { kVapourCopy = 0, kLiquid1Copy = 1, kLiquid2Copy = 2 };

struct PropertyCall {
    int64_t side;
    int64_t phase;
    int64_t basis;
    int64_t copy[3][6]; // vapour, first liquid, second liquid
    int64_t water_switch;
    double f[7];          // phase fractions by phase code
    int64_t fraction_err; // what the phase fraction reports; never read
    double work;          // a monitor's value while phases are mixed
    double spare[10];     // monitor results that are not read
    int64_t work_err;     // monitor error codes that are not passed out
    int64_t code;         // a calculation code handed to a monitor
};

// IERR 0 and the clipped selectors. `highest_basis` is 2 for the volume.
inline void enter(PropertyCall& c, int64_t* IERR, const int64_t* ISIDE, const int64_t* IPHASE,
                  const int64_t* IBASIS, uint64_t highest_basis = 1) {
    *IERR = 0;
    c.side = clip_side(*ISIDE);
    c.phase = clip_phase(*IPHASE);
    c.basis = IBASIS ? clip_basis(*IBASIS, highest_basis) : 0;
}

// With the water switch at 1, a liquid whose water mole fraction is exactly
// 1.0 is evaluated with word 5 of its copy in place of word 1.
void apply_water_rule(PropertyCall& c);

// The copies of the side's property-method group and the water rule: all
// three, or the two liquids' for the routines that ask no vapour monitor.
inline void make_copies(PropertyCall& c, bool vapour = true) {
    const int64_t* group = &option(c.side, 1);
    for (int k = vapour ? kVapourCopy : kLiquid1Copy; k <= kLiquid2Copy; ++k)
        std::memcpy(c.copy[k], group, sizeof c.copy[k]);
    c.water_switch = option(c.side, XIF_IPP_WATER_SWITCH);
    if (c.water_switch == 1) apply_water_rule(c);
}

// Both of the above: the start of every routine that calls a phase monitor.
inline void begin(PropertyCall& c, int64_t* IERR, const int64_t* ISIDE, const int64_t* IPHASE,
                  const int64_t* IBASIS, uint64_t highest_basis = 1) {
    enter(c, IERR, ISIDE, IPHASE, IBASIS, highest_basis);
    make_copies(c);
}

// The copy that serves a phase slot: vapour for slots 4 and 5.
inline const int64_t* copy_for(const PropertyCall& c, int64_t s) {
    return c.copy[s == 2 ? kLiquid1Copy : s == 3 ? kLiquid2Copy : kVapourCopy];
}

// Addressable phase codes and bases, handed by reference to nested calls.
int64_t* code_word(int64_t code);
int64_t* basis_word(int64_t basis);

// The fraction of phase `code` on basis `basis` (saved in c.f[code]), as
// XIF_HXBFRC gives it.
inline double fraction(PropertyCall& c, const double* SVEC, int64_t code, int64_t basis) {
    c.fraction_err = 0;
    return c.f[code] = phase_fraction(SVEC, code, clip_basis(basis));
}

// An absent phase: the missing value and -1.
inline void report_absent(double* VALUE, int64_t* IERR) {
    *VALUE = missing();
    *IERR = -1;
}

// Temperature and pressure, by address into the stream vector itself.
inline const double* temperature(double* SVEC) {
    return &sv(SVEC, host::ncomp() + 2);
}
inline const double* pressure(double* SVEC) {
    return &sv(SVEC, host::ncomp() + 3);
}

// The option handed to every property monitor, XIF_HXIPP(23).
inline const int64_t* monitor_option() {
    return &ipp(XIF_IPP_MONITOR_OPT);
}

// A nine-argument monitor (viscosity, conductivity, diffusivity, surface
// tension) on the record of slot s with the slot's copy.
using Monitor = void (*)(const double*, const double*, const double*, const int64_t*,
                         const int64_t*, const int64_t*, const int64_t*, double*, int64_t*);
void call_monitor(Monitor m, const PropertyCall& c, double* SVEC, int64_t s, double* value,
                  int64_t* ierr);

// Total liquid from the two liquids: fractions f4 then f5 on `*basis`, and
// for each present liquid `value_of(slot)` weighted by its share f/(f4+f5).
template <class ValueOf>
void mix_fetched_liquids(double f4, double f5, double* VALUE, ValueOf value_of) {
    *VALUE = 0.0;
    if (f4 > 0.0) *VALUE += value_of(int64_t{2}) * f4 / (f4 + f5);
    if (f5 > 0.0) *VALUE += value_of(int64_t{3}) * f5 / (f4 + f5);
}
template <class ValueOf>
void mix_liquids(PropertyCall& c, double* SVEC, int64_t basis, double* VALUE, ValueOf value_of) {
    *VALUE = 0.0;
    const double f4 = fraction(c, SVEC, kLiquid1, basis);
    const double f5 = fraction(c, SVEC, kLiquid2, basis);
    mix_fetched_liquids(f4, f5, VALUE, value_of);
}

// The total liquid when its own fraction says it is present, else absent.
template <class ValueOf>
void total_liquid(PropertyCall& c, double* SVEC, int64_t basis, double* VALUE, int64_t* IERR,
                  ValueOf value_of) {
    if (!(fraction(c, SVEC, kTotalLiquid, basis) > 0.0)) return report_absent(VALUE, IERR);
    mix_liquids(c, SVEC, basis, VALUE, value_of);
}

// Whole stream: fractions f2, f4, f5 on `*basis`, then the fraction-weighted
// values of first liquid, second liquid and vapour, in that order, without
// dividing by the sum of the fractions. The vapour subset takes no part.
template <class ValueOf>
void sum_phases(PropertyCall& c, double* SVEC, int64_t basis, double* VALUE, ValueOf value_of) {
    *VALUE = 0.0;
    const double f2 = fraction(c, SVEC, kVapour, basis);
    const double f4 = fraction(c, SVEC, kLiquid1, basis);
    const double f5 = fraction(c, SVEC, kLiquid2, basis);
    if (f4 > 0.0) *VALUE += value_of(int64_t{2}) * f4;
    if (f5 > 0.0) *VALUE += value_of(int64_t{3}) * f5;
    if (f2 > 0.0) *VALUE += value_of(int64_t{4}) * f2;
}

// A single phase (codes 2, 4, 5, 6): absent when its fraction is not above
// 0, else `value_of(slot)` into VALUE. Returns whether it was present.
template <class ValueOf>
bool single_phase(PropertyCall& c, double* SVEC, int64_t basis, double* VALUE, int64_t* IERR,
                  ValueOf value_of) {
    if (!(fraction(c, SVEC, c.phase, basis) > 0.0)) {
        report_absent(VALUE, IERR);
        return false;
    }
    value_of(slot_of(c.phase));
    return true;
}

// Codes 2 to 6: the total liquid from the two liquids, any other phase on
// its own, `value_of(slot)` giving a phase's value.
template <class ValueOf>
void phase_or_total_liquid(PropertyCall& c, double* SVEC, int64_t basis, double* VALUE,
                           int64_t* IERR, ValueOf value_of) {
    if (c.phase == kTotalLiquid) return total_liquid(c, SVEC, basis, VALUE, IERR, value_of);
    single_phase(c, SVEC, basis, VALUE, IERR, [&](int64_t s) { return *VALUE = value_of(s); });
}

// Every code, the whole stream as the fraction-weighted sum of its phases.
template <class ValueOf>
void summed_property(PropertyCall& c, double* SVEC, int64_t basis, double* VALUE, int64_t* IERR,
                     ValueOf value_of) {
    if (c.phase == kWhole) return sum_phases(c, SVEC, basis, VALUE, value_of);
    phase_or_total_liquid(c, SVEC, basis, VALUE, IERR, value_of);
}

// The transport pattern (viscosity, thermal conductivity): every phase code
// with one liquid and one vapour monitor, which write into IERR.
void transport_property(PropertyCall& c, Monitor liquid, Monitor vapour, double* SVEC,
                        double* VALUE, int64_t* IERR);

} // namespace xif
