// The property engine behind the host routines: the equation-of-state
// models of the open component list, phase properties of a composition
// handed as a phase record, and the stream flash.
#pragma once

#include "thermo/eos.hpp"

#include <array>
#include <cstdint>
#include <cstring>

namespace xif::refhost {

namespace databank {
struct Component;
}

// Error codes that the monitors write (0 is success).
enum MonitorError : int64_t {
    kMonitorOk = 0,
    kBadState = 1,       // temperature or pressure NaN, non-positive or out of range
    kBadComposition = 2, // count, component numbers or mole fractions unusable
    kBadMethod = 3,      // a method word this host does not know
    kNoRoot = 4,         // the equation of state has no such phase here
    kNotOpen = 5,        // no host open
    kNoValue = 6,        // the model gives no value here
};

// Builds the models for state()'s components; false with a message on failure.
bool engine_open();

// A composition handed as (x, n, idx): mole fractions of listed components.
struct Composition {
    std::array<double, 64> z; // by component number - 1, normalised; only the open ones are set
    int64_t single = 0;       // the component number when only one is present
    uint64_t present = 0;     // one bit per component with z > 0, by component number - 1
    uint64_t key = 0;         // of the reading: readings of one key hold the same fractions
};
// Whether fractions z of nc components, kept with key, are c's, bit for bit.
inline bool same_fractions(const Composition& c, uint64_t key, const double* z, int64_t nc) {
    return key == c.key ||
           std::memcmp(z, c.z.data(), sizeof(double) * static_cast<size_t>(nc)) == 0;
}
// Reads and checks a phase record; kMonitorOk or an error code. The
// composition read is the host's, until the next reading.
int64_t read_composition(const double* x, const int64_t* n, const int64_t* idx,
                         const Composition*& c);
// Checks temperature and pressure.
int64_t check_state(const double* T, const double* P);

// The Peng-Robinson mixture of the open components.
const thermo::Mixture& mixture_for_critical();

// The model that method word `method` names, or nullptr.
const thermo::Model* model_for(int64_t method);

// The Rackett estimate of open component j's (from 0) saturated-liquid
// volume at T, m3/kmol, with its reduced temperature held below 1.
double rackett_volume(int64_t j, double T);

// ln of a component's vapour pressure (Pa) at T by the Lee-Kesler estimate
// from Tc, Pc and the acentric factor, for where its correlation gives none.
double lee_kesler_ln_psat(const databank::Component& c, double T);

// Properties of a phase of composition c at (T, P) on the liquid or vapour
// root, by the method of the property-method group G (water tables for a
// pure-water phase when G[0] names them). Liquid volumes follow G[2]. The
// properties are the cache's, until the next phase evaluation.
int64_t phase_properties(double T, double P, const Composition& c, bool liquid, const int64_t* G,
                         const thermo::PhaseProps*& out);

// Offers the cache a phase of the last flash's answer, its mole fractions x
// by component and its properties p by the method of G[0]; a monitor takes
// them when it would compute exactly these. A new flash forgets the offers.
void offer_flash_phase(double T, double P, const double* x, bool liquid, const int64_t* G,
                       const thermo::PhaseProps& p);
void forget_flash_phases();

// Empties the cache of recent phase evaluations.
void forget_phases();

// Fills the enthalpy and vapour fraction of a new stream vector (T-P flash).
bool stream_state(double* svec);

// The flash status of a flash code: 1 for success, 2.. for each failure.
int64_t flash_status(int64_t code);

} // namespace xif::refhost
