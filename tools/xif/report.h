// Phase properties of a flashed stream, read through xif's exported
// routines only, and their rendering as JSON or as a table.
#pragma once

#include "session.h"
#include "units.h"

#include <nlohmann/json.hpp>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace xif::cli {

// The phases in xif's phase codes 1..6.
inline constexpr std::array<const char*, 6> kPhaseNames = {"whole",   "vapour",  "total_liquid",
                                                           "liquid1", "liquid2", "vapour_subset"};

struct PhaseReport {
    std::optional<double> fraction, molecular_weight, enthalpy, heat_capacity, entropy,
        molar_volume, density, critical_temperature, critical_pressure, heat_of_vaporization,
        viscosity, thermal_conductivity, surface_tension, diffusivity, enthalpy_flow;
    std::vector<std::optional<double>> composition; // by component
    bool present = false;
};

struct StreamReport {
    int64_t status = 0;
    double T = 0, P = 0, vapour_fraction = 0, enthalpy = 0;
    std::array<PhaseReport, 6> phases;
};

// Both liquids present (a lone liquid may be named either one).
inline bool two_liquids(const StreamReport& r) {
    return r.phases[3].present && r.phases[4].present;
}

// Reads every property of every phase of the session's flashed stream.
StreamReport read_report(Session& s, int64_t status);

// One property row of a phase: its key, label, kind of quantity and field.
struct PropertyRow {
    const char* key;
    const char* label;
    Qty qty;
    std::optional<double> PhaseReport::*field;
};
// Every property row, in the order of the table and the JSON.
const std::vector<PropertyRow>& property_rows();

// A property of a phase in the chosen units (per kg in engineering units,
// with the phase's molecular weight); empty when it is missing.
std::optional<double> phase_value(const PhaseReport& p, const PropertyRow& row, Units u);

// A phase as one JSON object (the same in `xif flash` and `xif curve`).
nlohmann::json phase_json(const PhaseReport& p, const std::vector<std::string>& ids, Units u);

nlohmann::json to_json(const StreamReport& r, const std::vector<std::string>& ids, Units u);
std::string to_table(const StreamReport& r, const std::vector<std::string>& ids, Units u);

} // namespace xif::cli
