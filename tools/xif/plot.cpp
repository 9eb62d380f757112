#include "plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

namespace xif::cli {

namespace {

constexpr double kWidth = 960;
constexpr double kLeft = 100, kRight = 860; // plot area, x
constexpr const char* kFont = "font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\"";

struct PhaseStyle {
    int phase; // index into StreamReport::phases
    const char* name;
    const char* colour;
};
constexpr PhaseStyle kPhaseStyles[] = {
    {1, "vapour", "#d62728"}, {3, "first liquid", "#1f77b4"}, {4, "second liquid", "#2ca02c"}};

std::string esc(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string fmt(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

std::string tick_label(double v) {
    char buf[32];
    if (v != 0.0 && (std::abs(v) >= 1e6 || std::abs(v) < 1e-2))
        std::snprintf(buf, sizeof buf, "%.0e", v);
    else
        std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

// A linear or logarithmic axis from data values to screen coordinates.
struct Axis {
    double lo = 0, hi = 1;
    bool log = false;
    double s0 = 0, s1 = 1; // screen coordinates of lo and hi
    std::vector<double> ticks;

    double map(double v) const {
        const double a = log ? std::log10(lo) : lo, b = log ? std::log10(hi) : hi;
        const double x = log ? std::log10(v) : v;
        return s0 + (x - a) / (b - a) * (s1 - s0);
    }
};

// Round bounds and ticks at 1, 2 or 5 times a power of ten.
Axis linear_axis(double lo, double hi, double s0, double s1) {
    if (!(hi > lo)) {
        const double pad = lo != 0.0 ? std::abs(lo) * 0.05 : 1.0;
        lo -= pad, hi += pad;
    }
    const double raw = (hi - lo) / 8;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    double step = mag;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * mag >= raw) {
            step = m * mag;
            break;
        }
    Axis a;
    a.lo = std::floor(lo / step + 1e-9) * step;
    a.hi = std::ceil(hi / step - 1e-9) * step;
    a.s0 = s0, a.s1 = s1;
    for (double t = a.lo; t <= a.hi + step * 1e-6; t += step)
        a.ticks.push_back(std::abs(t) < step * 1e-9 ? 0.0 : t);
    return a;
}

// Whole decades; with few decades, 2 and 5 between them too.
Axis log_axis(double lo, double hi, double s0, double s1) {
    Axis a;
    a.log = true;
    a.s0 = s0, a.s1 = s1;
    double d0 = std::floor(std::log10(lo)), d1 = std::ceil(std::log10(hi));
    if (d1 <= d0) d1 = d0 + 1;
    a.lo = std::pow(10.0, d0), a.hi = std::pow(10.0, d1);
    const bool fine = d1 - d0 <= 3;
    for (double d = d0; d <= d1; ++d)
        for (double m : {1.0, 2.0, 5.0}) {
            if (m != 1.0 && (!fine || d == d1)) continue;
            a.ticks.push_back(m * std::pow(10.0, d));
        }
    return a;
}

class Svg {
  public:
    std::ostringstream o;

    void text(double x, double y, const std::string& s, const char* anchor = "middle",
              int size = 13, const char* extra = "") {
        o << "<text x=\"" << fmt(x) << "\" y=\"" << fmt(y) << "\" text-anchor=\"" << anchor
          << "\" font-size=\"" << size << "\" " << kFont << ' ' << extra << '>' << esc(s)
          << "</text>\n";
    }
    void line(double x0, double y0, double x1, double y1, const char* stroke, double width = 1,
              const char* extra = "") {
        o << "<line x1=\"" << fmt(x0) << "\" y1=\"" << fmt(y0) << "\" x2=\"" << fmt(x1)
          << "\" y2=\"" << fmt(y1) << "\" stroke=\"" << stroke << "\" stroke-width=\"" << width
          << "\" " << extra << "/>\n";
    }
    void polyline(const std::vector<std::pair<double, double>>& pts, const char* stroke,
                  double width, const char* extra = "") {
        if (pts.size() < 2) return;
        o << "<polyline fill=\"none\" stroke=\"" << stroke << "\" stroke-width=\"" << width << "\" "
          << extra << " points=\"";
        for (const auto& [x, y] : pts)
            o << fmt(x) << ',' << fmt(y) << ' ';
        o << "\"/>\n";
    }
    void circle(double x, double y, double r, const char* fill) {
        o << "<circle cx=\"" << fmt(x) << "\" cy=\"" << fmt(y) << "\" r=\"" << r << "\" fill=\""
          << fill << "\"/>\n";
    }
    void rect(double x, double y, double w, double h, const char* fill, const char* extra = "") {
        o << "<rect x=\"" << fmt(x) << "\" y=\"" << fmt(y) << "\" width=\"" << fmt(w)
          << "\" height=\"" << fmt(h) << "\" fill=\"" << fill << "\" " << extra << "/>\n";
    }

    // Frame, grid, ticks and labels of a plot area.
    void frame(const Axis& x, const Axis& y, const std::string& xlabel, const std::string& ylabel) {
        const double top = y.s1, bottom = y.s0;
        for (double t : y.ticks) {
            const double sy = y.map(t);
            line(x.s0, sy, x.s1, sy, "#e3e3e3");
            line(x.s0 - 5, sy, x.s0, sy, "#333");
            text(x.s0 - 8, sy + 4, tick_label(t), "end", 12);
        }
        for (double t : x.ticks) {
            const double sx = x.map(t);
            line(sx, top, sx, bottom, "#e3e3e3");
            line(sx, bottom, sx, bottom + 5, "#333");
            text(sx, bottom + 19, tick_label(t), "middle", 12);
        }
        rect(x.s0, top, x.s1 - x.s0, bottom - top, "none", "stroke=\"#333\"");
        text(0.5 * (x.s0 + x.s1), bottom + 40, xlabel, "middle", 14);
        const double cy = 0.5 * (top + bottom), cx = x.s0 - 62;
        o << "<text x=\"" << fmt(cx) << "\" y=\"" << fmt(cy)
          << "\" text-anchor=\"middle\" font-size=\"14\" " << kFont << " transform=\"rotate(-90 "
          << fmt(cx) << ' ' << fmt(cy) << ")\">" << esc(ylabel) << "</text>\n";
    }

    // A legend box at the top right of a plot area: entries of (swatch, label).
    // At the top left instead when `left` is set.
    void legend(double right, double top,
                const std::vector<std::pair<std::string, std::string>>& entries,
                bool left = false) {
        const double w = 215, h = 8 + 20.0 * static_cast<double>(entries.size());
        const double x = left ? kLeft + 8 : right - w - 8, y = top + 8;
        rect(x, y, w, h, "white", "fill-opacity=\"0.9\" stroke=\"#999\"");
        double ey = y + 18;
        for (const auto& [swatch, label] : entries) {
            o << "<g transform=\"translate(" << fmt(x + 10) << ',' << fmt(ey - 5) << ")\">"
              << swatch << "</g>\n";
            text(x + 44, ey, label, "start", 12);
            ey += 20;
        }
    }
};

std::string swatch_line(const char* colour, const char* dash = "") {
    std::string s = "<line x1=\"0\" y1=\"0\" x2=\"26\" y2=\"0\" stroke=\"";
    s += colour;
    s += "\" stroke-width=\"2.5\" ";
    s += dash;
    return s + "/>";
}

// Viscosity or density of each phase against temperature, on a log axis.
void phase_panel(Svg& svg, const Curve& c, Units u, double top, double bottom,
                 const std::string& title, const PropertyRow& row, const Axis& xT,
                 const std::string& xlabel) {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (const CurvePoint& p : c.points)
        for (const PhaseStyle& st : kPhaseStyles) {
            const PhaseReport& ph = p.report.phases[static_cast<size_t>(st.phase)];
            const std::optional<double> v = ph.present ? phase_value(ph, row, u) : std::nullopt;
            if (v && *v > 0.0) lo = std::min(lo, *v), hi = std::max(hi, *v);
        }
    svg.text(kWidth / 2, top - 12, title, "middle", 15, "font-weight=\"bold\"");
    if (!(hi >= lo)) {
        lo = 1, hi = 10;
        svg.text(kWidth / 2, 0.5 * (top + bottom), "no values", "middle", 14);
    }
    Axis y = log_axis(lo, hi, bottom, top);
    svg.frame(xT, y, xlabel, std::string(row.label) + ", " + unit_label(row.qty, u));
    std::vector<std::pair<std::string, std::string>> legend;
    for (const PhaseStyle& st : kPhaseStyles) {
        bool any = false;
        std::vector<std::pair<double, double>> run;
        auto flush = [&] {
            svg.polyline(run, st.colour, 2);
            if (run.size() == 1) svg.circle(run[0].first, run[0].second, 3, st.colour);
            run.clear();
        };
        double last_mw = 0.0;
        for (const CurvePoint& p : c.points) {
            const PhaseReport& ph = p.report.phases[static_cast<size_t>(st.phase)];
            const std::optional<double> v = ph.present ? phase_value(ph, row, u) : std::nullopt;
            // A liquid whose molecular weight jumps is another liquid under the
            // same name (the liquids are renamed where a second one appears):
            // start a new line rather than join them.
            const double mw = ph.molecular_weight.value_or(0.0);
            if (last_mw > 0.0 && mw > 0.0 && std::abs(mw - last_mw) > 0.25 * last_mw) flush();
            last_mw = v ? mw : 0.0;
            const double value = v.value_or(0.0);
            if (value > 0.0) {
                run.push_back(
                    {xT.map(to_units(Qty::Temperature, p.report.T, u, 1.0)), y.map(value)});
                any = true;
            } else {
                flush();
            }
        }
        flush();
        if (any) legend.push_back({swatch_line(st.colour), st.name});
    }
    if (!legend.empty()) svg.legend(xT.s1, top, legend);
}

} // namespace

std::string curve_svg(const Curve& c, const std::vector<std::string>& ids, Units u) {
    Svg svg;
    const double height = 1260;
    svg.o << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\""
          << height << "\" viewBox=\"0 0 " << kWidth << ' ' << height << "\">\n";
    svg.rect(0, 0, kWidth, height, "white");

    // Panel 1: temperature against the heat added or removed from the inlet.
    const bool cooling = !c.points.empty() && c.points.back().duty < 0.0;
    double qmax = 0.0;
    for (const CurvePoint& p : c.points)
        qmax = std::max(qmax, std::abs(p.duty));
    // Duty in the system's unit, scaled so that the ticks stay short.
    double scale = to_units(Qty::EnergyFlow, 1.0, u, 1.0);
    std::string qunit = unit_label(Qty::EnergyFlow, u);
    if (u == Units::SI && qmax >= 1e6)
        scale = 1e-6, qunit = "MW";
    else if (u == Units::SI && qmax >= 1e3)
        scale = 1e-3, qunit = "kW";
    else if (u == Units::Engineering && qmax >= 1e7)
        scale = 1e-6, qunit = "MW";
    auto qx = [&](const CurvePoint& p) { return (cooling ? -p.duty : p.duty) * scale; };

    std::string list;
    for (const std::string& id : ids)
        list += (list.empty() ? "" : ", ") + id;
    const double top1 = 80, bottom1 = 500;
    svg.text(kWidth / 2, 30, std::string(cooling ? "Cooling" : "Heating") + " curve: " + list,
             "middle", 18, "font-weight=\"bold\"");
    double tlo = std::numeric_limits<double>::infinity(), thi = -tlo, xhi = 0.0;
    for (const CurvePoint& p : c.points) {
        const double T = to_units(Qty::Temperature, p.report.T, u, 1.0);
        tlo = std::min(tlo, T), thi = std::max(thi, T), xhi = std::max(xhi, qx(p));
    }
    if (c.points.empty()) tlo = 0, thi = 1;
    const Axis x = linear_axis(0.0, xhi, kLeft, kRight);
    const Axis y = linear_axis(tlo, thi, bottom1, top1);
    const Axis yv = linear_axis(0.0, 1.0, bottom1, top1);
    svg.text(kWidth / 2, top1 - 12, "Temperature and vapour fraction against duty", "middle", 15,
             "font-weight=\"bold\"");

    // The two-liquid region: bands between neighbouring points with a second liquid.
    bool any_two_liquids = false;
    for (size_t i = 0; i + 1 < c.points.size(); ++i) {
        const bool a = two_liquids(c.points[i].report), b = two_liquids(c.points[i + 1].report);
        if (!a && !b) continue;
        any_two_liquids = true;
        const double x0 = x.map(qx(c.points[i])), x1 = x.map(qx(c.points[i + 1]));
        svg.rect(std::min(x0, x1), top1, std::abs(x1 - x0), bottom1 - top1, "#9ecae1",
                 "fill-opacity=\"0.45\"");
    }
    svg.frame(x, y,
              std::string(cooling ? "heat removed from the inlet" : "heat added from the inlet") +
                  ", " + qunit,
              std::string("temperature, ") + unit_label(Qty::Temperature, u));
    // Secondary axis: vapour fraction.
    for (double t : yv.ticks) {
        const double sy = yv.map(t);
        svg.line(kRight, sy, kRight + 5, sy, "#e6550d");
        svg.text(kRight + 8, sy + 4, tick_label(t), "start", 12, "fill=\"#e6550d\"");
    }
    {
        const double cy = 0.5 * (top1 + bottom1), cx = kRight + 50;
        svg.o << "<text x=\"" << fmt(cx) << "\" y=\"" << fmt(cy)
              << "\" text-anchor=\"middle\" font-size=\"14\" fill=\"#e6550d\" " << kFont
              << " transform=\"rotate(90 " << fmt(cx) << ' ' << fmt(cy)
              << ")\">vapour fraction, mol/mol</text>\n";
    }
    std::vector<std::pair<double, double>> tline, vline;
    for (const CurvePoint& p : c.points) {
        const double sx = x.map(qx(p));
        tline.push_back({sx, y.map(to_units(Qty::Temperature, p.report.T, u, 1.0))});
        vline.push_back({sx, yv.map(p.report.vapour_fraction)});
    }
    svg.polyline(vline, "#e6550d", 2, "stroke-dasharray=\"7 4\"");
    svg.polyline(tline, "#222", 2.5);
    for (const auto& [sx, sy] : tline)
        svg.circle(sx, sy, 2.5, "#222");
    for (const CurvePoint& p : c.points) {
        if (p.kind == PointKind::Point) continue;
        const double sx = x.map(qx(p)), sy = y.map(to_units(Qty::Temperature, p.report.T, u, 1.0));
        svg.o << "<path d=\"M " << fmt(sx) << ' ' << fmt(sy - 7) << " L " << fmt(sx + 7) << ' '
              << fmt(sy) << " L " << fmt(sx) << ' ' << fmt(sy + 7) << " L " << fmt(sx - 7) << ' '
              << fmt(sy) << " Z\" fill=\"#756bb1\" stroke=\"white\"/>\n";
        char label[64];
        std::snprintf(label, sizeof label, "%s point %.1f %s", kind_name(p.kind),
                      to_units(Qty::Temperature, p.report.T, u, 1.0),
                      unit_label(Qty::Temperature, u));
        svg.text(sx + 10, sy - 8, label, "start", 12,
                 "fill=\"#54278f\" stroke=\"white\" stroke-width=\"3\" paint-order=\"stroke\"");
    }
    std::vector<std::pair<std::string, std::string>> legend = {
        {swatch_line("#222"), "temperature"},
        {swatch_line("#e6550d", "stroke-dasharray=\"7 4\""), "vapour fraction (right)"},
        {"<path d=\"M 13 -6 L 19 0 L 13 6 L 7 0 Z\" fill=\"#756bb1\"/>", "dew / bubble point"},
    };
    legend.push_back({"<rect x=\"0\" y=\"-6\" width=\"26\" height=\"12\" fill=\"#9ecae1\"/>",
                      any_two_liquids ? "two liquids" : "two liquids (none found)"});
    // A heating curve ends at the top right: keep the legend clear of it.
    svg.legend(kRight, top1, legend, !cooling);

    // Panels 2 and 3: viscosity and density of each phase against temperature.
    const Axis xT = linear_axis(tlo, thi, kLeft, kRight);
    const std::string xlabel = std::string("temperature, ") + unit_label(Qty::Temperature, u);
    const PropertyRow *visc = nullptr, *dens = nullptr;
    for (const PropertyRow& r : property_rows()) {
        if (std::string(r.key) == "viscosity") visc = &r;
        if (std::string(r.key) == "density") dens = &r;
    }
    phase_panel(svg, c, u, 600, 860, "Viscosity of each phase", *visc, xT, xlabel);
    phase_panel(svg, c, u, 960, 1200, "Density of each phase", *dens, xT, xlabel);
    svg.o << "</svg>\n";
    return svg.o.str();
}

} // namespace xif::cli
