#include "units.h"

namespace xif::cli {

namespace {

constexpr double kZeroCelsius = 273.15; // K
constexpr double kBar = 1e5;            // Pa
constexpr double kHour = 3600.0;        // s

} // namespace

const char* unit_label(Qty q, Units u) {
    const bool eng = u == Units::Engineering;
    switch (q) {
    case Qty::None:
        return "-";
    case Qty::Temperature:
        return eng ? "°C" : "K";
    case Qty::Pressure:
        return eng ? "bar" : "Pa";
    case Qty::MolarEnergy:
        return eng ? "kJ/kg" : "J/kmol";
    case Qty::MolarHeatCap:
        return eng ? "kJ/(kg K)" : "J/(kmol K)";
    case Qty::MolarVolume:
        return eng ? "m3/kg" : "m3/kmol";
    case Qty::Density:
        return "kg/m3";
    case Qty::Viscosity:
        return eng ? "mPa s" : "Pa s";
    case Qty::Conductivity:
        return "W/(m K)";
    case Qty::SurfaceTension:
        return eng ? "mN/m" : "N/m";
    case Qty::Diffusivity:
        return "m2/s";
    case Qty::MolecularWeight:
        return "kg/kmol";
    case Qty::MoleFraction:
        return "mol/mol";
    case Qty::EnergyFlow:
        return eng ? "kW" : "W";
    case Qty::MolarFlow:
        return eng ? "kg/h" : "kmol/s";
    }
    return "?";
}

double to_units(Qty q, double si, Units u, double mw) {
    if (u == Units::SI) return si;
    switch (q) {
    case Qty::Temperature:
        return si - kZeroCelsius;
    case Qty::Pressure:
        return si / kBar;
    case Qty::MolarEnergy:
    case Qty::MolarHeatCap:
        return si / mw / 1000.0; // per kmol -> per kg, J -> kJ
    case Qty::MolarVolume:
        return si / mw;
    case Qty::Viscosity:
    case Qty::SurfaceTension:
        return si * 1000.0;
    case Qty::EnergyFlow:
        return si / 1000.0;
    case Qty::MolarFlow:
        return si * mw * kHour;
    default:
        return si;
    }
}

double from_units(Qty q, double value, Units u, double mw) {
    if (u == Units::SI) return value;
    switch (q) {
    case Qty::Temperature:
        return value + kZeroCelsius;
    case Qty::Pressure:
        return value * kBar;
    case Qty::MolarEnergy:
    case Qty::MolarHeatCap:
        return value * 1000.0 * mw;
    case Qty::MolarVolume:
        return value * mw;
    case Qty::Viscosity:
    case Qty::SurfaceTension:
        return value / 1000.0;
    case Qty::EnergyFlow:
        return value * 1000.0;
    case Qty::MolarFlow:
        return value / kHour / mw;
    default:
        return value;
    }
}

const char* units_name(Units u) {
    return u == Units::Engineering ? "engineering" : "si";
}

bool parse_units(const std::string& text, Units& u) {
    if (text == "si" || text == "SI") return u = Units::SI, true;
    if (text == "engineering") return u = Units::Engineering, true;
    return false;
}

} // namespace xif::cli
