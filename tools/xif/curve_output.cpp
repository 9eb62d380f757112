#include "curve_output.h"

#include <cstdio>
#include <sstream>

namespace xif::cli {

namespace {

// The per-phase properties of a curve, by key of property_rows().
constexpr const char* kCurveKeys[] = {"fraction",      "molecular_weight",     "enthalpy",
                                      "enthalpy_flow", "heat_capacity",        "density",
                                      "viscosity",     "thermal_conductivity", "surface_tension"};

const PropertyRow& row_of(const char* key) {
    for (const PropertyRow& r : property_rows())
        if (std::string(r.key) == key) return r;
    return property_rows().front();
}

std::string number(const std::optional<double>& v, const char* format = "%.6g") {
    if (!v) return "";
    char buf[40];
    std::snprintf(buf, sizeof buf, format, *v);
    return buf;
}

// Pads to a width in characters (a unit may hold a degree sign).
std::string pad(const std::string& s, size_t width) {
    size_t chars = 0;
    for (unsigned char c : s)
        chars += (c & 0xC0) != 0x80;
    return chars >= width ? s : std::string(width - chars, ' ') + s;
}

double temperature(const CurvePoint& p, Units u) {
    return to_units(Qty::Temperature, p.report.T, u, 1.0);
}

std::optional<double> apparent_cp(const CurvePoint& p, const Curve& c, Units u) {
    if (!p.apparent_heat_capacity) return std::nullopt;
    return to_units(Qty::MolarHeatCap, *p.apparent_heat_capacity, u, c.molecular_weight);
}

bool phase_seen(const Curve& c, int phase) {
    for (const CurvePoint& p : c.points)
        if (p.report.phases[static_cast<size_t>(phase)].present) return true;
    return false;
}

} // namespace

std::string curve_table(const Curve& c, const std::vector<std::string>& ids, Units u) {
    std::ostringstream out;
    out << "stream:";
    for (const std::string& id : ids)
        out << ' ' << id;
    out << "   (" << c.points.size() << " points, " << units_name(u) << " units)\n\n";
    const int w = 12;
    auto header = [&](const std::vector<std::pair<std::string, std::string>>& cols) {
        std::string names, units;
        for (const auto& [name, unit] : cols) {
            names += pad(name, w) + ' ';
            units += pad(unit, w) + ' ';
        }
        out << names << '\n' << units << '\n';
    };
    header({{"kind", ""},
            {"T", unit_label(Qty::Temperature, u)},
            {"P", unit_label(Qty::Pressure, u)},
            {"duty", unit_label(Qty::EnergyFlow, u)},
            {"vap. frac.", "-"},
            {"liquid2", "-"},
            {"app. Cp", unit_label(Qty::MolarHeatCap, u)}});
    for (const CurvePoint& p : c.points) {
        const PhaseReport& l2 = p.report.phases[4];
        out << pad(kind_name(p.kind), w) << ' ' << pad(number(temperature(p, u), "%.2f"), w) << ' '
            << pad(number(to_units(Qty::Pressure, p.report.P, u, 1.0)), w) << ' '
            << pad(number(to_units(Qty::EnergyFlow, p.duty, u, 1.0)), w) << ' '
            << pad(number(p.report.vapour_fraction, "%.5f"), w) << ' '
            << pad(number(l2.fraction.value_or(0.0), "%.5f"), w) << ' '
            << pad(number(apparent_cp(p, c, u)), w) << '\n';
    }
    for (int phase : kCurvePhases) {
        if (!phase_seen(c, phase)) continue;
        out << '\n' << kPhaseNames[static_cast<size_t>(phase)] << " (where present):\n";
        std::vector<std::pair<std::string, std::string>> cols = {
            {"T", unit_label(Qty::Temperature, u)}};
        static const char* const kShort[] = {"fraction", "MW",   "H",    "H flow",  "Cp",
                                             "density",  "visc", "cond", "surf. t."};
        for (size_t k = 0; k < std::size(kCurveKeys); ++k)
            cols.push_back({kShort[k], unit_label(row_of(kCurveKeys[k]).qty, u)});
        header(cols);
        for (const CurvePoint& p : c.points) {
            const PhaseReport& ph = p.report.phases[static_cast<size_t>(phase)];
            if (!ph.present) continue;
            out << pad(number(temperature(p, u), "%.2f"), w);
            for (const char* key : kCurveKeys) {
                const std::optional<double> v =
                    ph.present ? phase_value(ph, row_of(key), u) : std::nullopt;
                out << ' ' << pad(v ? number(v) : "-", w);
            }
            out << '\n';
        }
    }
    if (!c.failed.empty()) {
        out << "\nflashes that did not converge (left out):";
        for (const FailedFlash& f : c.failed)
            out << ' ' << number(to_units(Qty::Temperature, f.T, u, 1.0), "%.2f");
        out << ' ' << unit_label(Qty::Temperature, u) << '\n';
    }
    return out.str();
}

std::string curve_csv(const Curve& c, Units u) {
    std::ostringstream out;
    auto col = [&](const std::string& name, Qty q) { return name + " [" + unit_label(q, u) + "]"; };
    out << "kind," << col("T", Qty::Temperature) << ',' << col("P", Qty::Pressure) << ','
        << col("duty", Qty::EnergyFlow) << ",vapour_fraction,"
        << col("apparent_heat_capacity", Qty::MolarHeatCap);
    for (int phase : kCurvePhases)
        for (const char* key : kCurveKeys)
            out << ','
                << col(std::string(kPhaseNames[static_cast<size_t>(phase)]) + '.' + key,
                       row_of(key).qty);
    out << '\n';
    for (const CurvePoint& p : c.points) {
        out << kind_name(p.kind) << ',' << number(temperature(p, u), "%.10g") << ','
            << number(to_units(Qty::Pressure, p.report.P, u, 1.0), "%.10g") << ','
            << number(to_units(Qty::EnergyFlow, p.duty, u, 1.0), "%.10g") << ','
            << number(p.report.vapour_fraction, "%.10g") << ','
            << number(apparent_cp(p, c, u), "%.10g");
        for (int phase : kCurvePhases) {
            const PhaseReport& ph = p.report.phases[static_cast<size_t>(phase)];
            for (const char* key : kCurveKeys)
                out << ',' << number(phase_value(ph, row_of(key), u), "%.10g");
        }
        out << '\n';
    }
    return out.str();
}

nlohmann::json curve_json(const Curve& c, const std::vector<std::string>& ids, Units u) {
    nlohmann::json points = nlohmann::json::array();
    for (const CurvePoint& p : c.points) {
        nlohmann::json j;
        j["T"] = temperature(p, u);
        j["P"] = to_units(Qty::Pressure, p.report.P, u, 1.0);
        j["duty"] = to_units(Qty::EnergyFlow, p.duty, u, 1.0);
        j["vapour_fraction"] = p.report.vapour_fraction;
        const std::optional<double> cp = apparent_cp(p, c, u);
        j["apparent_heat_capacity"] = cp ? nlohmann::json(*cp) : nlohmann::json(nullptr);
        j["kind"] = kind_name(p.kind);
        nlohmann::json phases = nlohmann::json::object();
        for (size_t k = 0; k < p.report.phases.size(); ++k)
            phases[kPhaseNames[k]] = phase_json(p.report.phases[k], ids, u);
        j["phases"] = phases;
        points.push_back(std::move(j));
    }
    nlohmann::json failed = nlohmann::json::array();
    for (const FailedFlash& f : c.failed)
        failed.push_back({{"T", to_units(Qty::Temperature, f.T, u, 1.0)},
                          {"P", to_units(Qty::Pressure, f.P, u, 1.0)}});
    return {{"units", units_name(u)}, {"points", points}, {"failed", failed}};
}

} // namespace xif::cli
