// Unit systems of the command line. The library and the host work in SI on a
// kmol basis; the engineering system is for people reading tables: °C, bar,
// kg/h, and energies and heat capacities per kg.
#pragma once

#include <string>

namespace xif::cli {

enum class Units { SI, Engineering };

// Kinds of quantity, each with its unit in both systems.
enum class Qty {
    None,            // dimensionless: fractions
    Temperature,     // K | °C
    Pressure,        // Pa | bar
    MolarEnergy,     // J/kmol | kJ/kg (enthalpy, heat of vaporization)
    MolarHeatCap,    // J/(kmol K) | kJ/(kg K) (heat capacity, entropy)
    MolarVolume,     // m3/kmol | m3/kg
    Density,         // kg/m3 in both
    Viscosity,       // Pa s | mPa s
    Conductivity,    // W/(m K) in both
    SurfaceTension,  // N/m | mN/m
    Diffusivity,     // m2/s in both
    MolecularWeight, // kg/kmol in both
    MoleFraction,    // mol/mol in both
    EnergyFlow,      // W | kW (enthalpy flow, duty)
    MolarFlow,       // kmol/s | kg/h (a mass flow)
};

// The unit of a quantity in a system, as printed.
const char* unit_label(Qty q, Units u);

// An SI value in the system's unit; mw (kg/kmol) turns per-kmol values into
// per-kg ones and is needed for MolarEnergy, MolarHeatCap, MolarVolume and
// MolarFlow in engineering units.
double to_units(Qty q, double si, Units u, double mw);

// A value given in the system's unit, in SI (the inverse of to_units).
double from_units(Qty q, double value, Units u, double mw);

// "si" or "engineering".
const char* units_name(Units u);
// Parses "si" or "engineering"; false for anything else.
bool parse_units(const std::string& text, Units& u);

} // namespace xif::cli
