#include "report.h"

#include <xif/xif.h>

#include <cmath>
#include <cstdio>
#include <sstream>

namespace xif::cli {

namespace {

using Routine = void (*)(double*, void*, int64_t*, int64_t*, int64_t*, double*, int64_t*);

// One property through an exported routine; empty where the routine answers
// the missing value or an error.
std::optional<double> ask(Session& s, Routine r, int64_t phase, int64_t basis = 0) {
    int64_t side = 0, ierr = 0;
    double value = 0.0;
    r(s.stream().data(), nullptr, &side, &phase, &basis, &value, &ierr);
    if (ierr != 0 || !std::isfinite(value) || value >= XIF_HXRMSS.word[0]) return std::nullopt;
    return value;
}

std::vector<std::optional<double>> composition(Session& s, int64_t phase) {
    std::vector<double> values(static_cast<size_t>(s.nc()), 0.0);
    int64_t side = 0, basis = 0, ierr = 0, n = s.nc();
    XIF_HXBCMP(s.stream().data(), nullptr, &side, &phase, &basis, values.data(), &n, &ierr);
    std::vector<std::optional<double>> out(values.size());
    if (ierr != 0) return out;
    for (size_t j = 0; j < values.size(); ++j)
        if (std::isfinite(values[j])) out[j] = values[j];
    return out;
}

} // namespace

StreamReport read_report(Session& s, int64_t status) {
    StreamReport r;
    r.status = status;
    r.T = s.temperature();
    r.P = s.pressure();
    r.vapour_fraction = s.vapour_fraction();
    r.enthalpy = s.enthalpy();
    for (int64_t phase = 1; phase <= 6; ++phase) {
        PhaseReport& p = r.phases[static_cast<size_t>(phase - 1)];
        p.fraction = ask(s, XIF_HXBFRC, phase);
        p.present = p.fraction && *p.fraction > 0.0;
        if (!p.present) continue;
        p.molecular_weight = ask(s, XIF_HXBMWT, phase);
        p.composition = composition(s, phase);
        p.enthalpy = ask(s, XIF_HXBNTH, phase);
        p.heat_capacity = ask(s, XIF_HXBCPP, phase);
        p.entropy = ask(s, XIF_HXBNTR, phase);
        p.molar_volume = ask(s, XIF_HXBVOL, phase);
        p.density = ask(s, XIF_HXBDNS, phase, 1);
        p.critical_temperature = ask(s, XIF_HXBTMC, phase);
        p.critical_pressure = ask(s, XIF_HXBPRC, phase);
        p.heat_of_vaporization = ask(s, XIF_HXBTHV, phase);
        p.viscosity = ask(s, XIF_HXBVIS, phase);
        p.thermal_conductivity = ask(s, XIF_HXBTHC, phase);
        p.surface_tension = ask(s, XIF_HXBSFT, phase);
        p.diffusivity = ask(s, XIF_HXBDIF, phase);
        p.enthalpy_flow = ask(s, XIF_HXBQFL, phase);
    }
    return r;
}

namespace {

nlohmann::json value(const std::optional<double>& v) {
    return v ? nlohmann::json(*v) : nlohmann::json(nullptr);
}

std::string number(const std::optional<double>& v) {
    if (!v) return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", *v);
    return buf;
}

} // namespace

const std::vector<PropertyRow>& property_rows() {
    static const std::vector<PropertyRow> rows = {
        {"fraction", "phase fraction", Qty::None, &PhaseReport::fraction},
        {"molecular_weight", "molecular weight", Qty::MolecularWeight,
         &PhaseReport::molecular_weight},
        {"enthalpy", "enthalpy", Qty::MolarEnergy, &PhaseReport::enthalpy},
        {"enthalpy_flow", "enthalpy flow", Qty::EnergyFlow, &PhaseReport::enthalpy_flow},
        {"heat_capacity", "heat capacity", Qty::MolarHeatCap, &PhaseReport::heat_capacity},
        {"entropy", "entropy", Qty::MolarHeatCap, &PhaseReport::entropy},
        {"molar_volume", "molar volume", Qty::MolarVolume, &PhaseReport::molar_volume},
        {"density", "density", Qty::Density, &PhaseReport::density},
        {"critical_temperature", "critical temperature", Qty::Temperature,
         &PhaseReport::critical_temperature},
        {"critical_pressure", "critical pressure", Qty::Pressure, &PhaseReport::critical_pressure},
        {"heat_of_vaporization", "heat of vaporization", Qty::MolarEnergy,
         &PhaseReport::heat_of_vaporization},
        {"viscosity", "viscosity", Qty::Viscosity, &PhaseReport::viscosity},
        {"thermal_conductivity", "thermal conductivity", Qty::Conductivity,
         &PhaseReport::thermal_conductivity},
        {"surface_tension", "surface tension", Qty::SurfaceTension, &PhaseReport::surface_tension},
        {"diffusivity", "diffusivity", Qty::Diffusivity, &PhaseReport::diffusivity},
    };
    return rows;
}

std::optional<double> phase_value(const PhaseReport& p, const PropertyRow& row, Units u) {
    if (row.field == &PhaseReport::fraction) return p.fraction.value_or(0.0);
    const std::optional<double>& v = p.*row.field;
    if (!v) return std::nullopt;
    const bool per_kg =
        u == Units::Engineering && (row.qty == Qty::MolarEnergy || row.qty == Qty::MolarHeatCap ||
                                    row.qty == Qty::MolarVolume);
    if (per_kg && !(p.molecular_weight && *p.molecular_weight > 0.0)) return std::nullopt;
    return to_units(row.qty, *v, u, per_kg ? *p.molecular_weight : 1.0);
}

nlohmann::json phase_json(const PhaseReport& p, const std::vector<std::string>& ids, Units u) {
    nlohmann::json ph = nlohmann::json::object();
    for (const PropertyRow& row : property_rows())
        ph[row.key] = value(phase_value(p, row, u));
    nlohmann::json comp = nlohmann::json::object();
    for (size_t c = 0; c < ids.size(); ++c)
        comp[ids[c]] = c < p.composition.size() ? value(p.composition[c]) : nullptr;
    ph["composition"] = comp;
    return ph;
}

nlohmann::json to_json(const StreamReport& r, const std::vector<std::string>& ids, Units u) {
    nlohmann::json j;
    j["status"] = r.status == 1 ? "ok" : "failed";
    j["flash_status"] = r.status;
    j["units"] = units_name(u);
    j["T"] = to_units(Qty::Temperature, r.T, u, 1.0);
    j["P"] = to_units(Qty::Pressure, r.P, u, 1.0);
    j["vapour_fraction"] = r.vapour_fraction;
    nlohmann::json phases = nlohmann::json::object();
    for (size_t k = 0; k < r.phases.size(); ++k)
        phases[kPhaseNames[k]] = phase_json(r.phases[k], ids, u);
    j["phases"] = phases;
    return j;
}

std::string to_table(const StreamReport& r, const std::vector<std::string>& ids, Units u) {
    std::ostringstream out;
    char line[256];
    std::snprintf(line, sizeof line, "%s: T = %.6g %s, P = %.6g %s, vapour fraction = %.6g\n\n",
                  r.status == 1 ? "converged" : "flash FAILED",
                  to_units(Qty::Temperature, r.T, u, 1.0), unit_label(Qty::Temperature, u),
                  to_units(Qty::Pressure, r.P, u, 1.0), unit_label(Qty::Pressure, u),
                  r.vapour_fraction);
    out << line;
    std::snprintf(line, sizeof line, "%-22s %-11s", "property", "unit");
    out << line;
    for (const char* name : kPhaseNames) {
        std::snprintf(line, sizeof line, " %13s", name);
        out << line;
    }
    out << '\n';
    auto row = [&](const std::string& label, const std::string& unit, auto cell) {
        // Pad by characters, not bytes: a unit may hold a degree sign.
        std::string unit_cell = unit;
        size_t chars = 0;
        for (unsigned char c : unit)
            chars += (c & 0xC0) != 0x80;
        if (chars < 11) unit_cell.append(11 - chars, ' ');
        std::snprintf(line, sizeof line, "%-22s %s", label.c_str(), unit_cell.c_str());
        out << line;
        for (size_t k = 0; k < r.phases.size(); ++k) {
            std::snprintf(line, sizeof line, " %13s", cell(r.phases[k]).c_str());
            out << line;
        }
        out << '\n';
    };
    for (const PropertyRow& rw : property_rows())
        row(rw.label, unit_label(rw.qty, u),
            [&](const PhaseReport& p) { return number(phase_value(p, rw, u)); });
    for (size_t c = 0; c < ids.size(); ++c)
        row("x " + ids[c], "mol/mol", [&](const PhaseReport& p) {
            return c < p.composition.size() ? number(p.composition[c]) : std::string("-");
        });
    return out.str();
}

} // namespace xif::cli
