// xif: an exchanger program on the reference host. It flashes streams,
// tabulates their properties and draws heating and cooling curves through
// xif's exported routines only.
#include "curve.h"
#include "curve_output.h"
#include "files.h"
#include "input.h"
#include "notes.h"
#include "plot.h"
#include "report.h"
#include "session.h"
#include "units.h"

#include <xif/refhost.h>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace xif::cli;

namespace {

constexpr const char* kUnitsHelp = R"(
Units (--units):
  si (default)   K, Pa, flows kmol/s (--mass-flows kg/s), J/kmol, J/(kmol K),
                 m3/kmol, kg/m3, Pa s, W/(m K), N/m, W.
  engineering    °C, bar, flows kg/h (--flows and --mass-flows are both
                 component mass flows), kJ/kg, kJ/(kg K), m3/kg, kg/m3,
                 mPa s, W/(m K), mN/m, kW. Enthalpies, entropies and heat
                 capacities are per kg of the phase.
Mole fractions are mol/mol and molecular weights kg/kmol in both.)";

void add_stream_options(CLI::App* cmd, StreamArgs& a, std::string& units) {
    cmd->add_option("--components", a.components,
                    "databank ids or names, e.g. CH4,C2H6 or methane,ethane (xif components)")
        ->required();
    cmd->add_option("--flows", a.flows,
                    "component flows: kmol/s (si) or mass flows kg/h (engineering)");
    cmd->add_option("--mass-flows", a.mass_flows,
                    "component mass flows: kg/s (si) or kg/h (engineering)");
    cmd->add_option("--method", a.method, "equation of state: pr or srk (default pr)");
    cmd->add_flag("--three-phase", a.three_phase, "allow a second liquid");
    cmd->add_option("--noncondensables", a.noncondensables,
                    "components kept out of the liquids, e.g. N2,O2");
    cmd->add_option("--kij", a.kij,
                    "interaction parameters in place of the databank's, e.g. WATER:NPROH=-0.17");
    cmd->add_flag_callback(
        "--no-water-tables", [&a] { a.water_tables = false; },
        "evaluate a pure-water liquid with the mixture models");
    cmd->add_option("--units", units, "si (default) or engineering");
    cmd->footer(kUnitsHelp);
}

Units units_of(const std::string& text) {
    Units u = Units::SI;
    if (!parse_units(text, u))
        throw InputError("unknown --units '" + text + "' (si or engineering)");
    return u;
}

// Molecular weight of the stream, kg/kmol, from the databank.
double stream_mw(const Options& o) {
    double n = 0, m = 0;
    for (size_t k = 0; k < o.components.size(); ++k)
        n += o.flows[k], m += o.flows[k] * databank_mw(o.components[k]);
    return m / n;
}

struct FlashArgs {
    std::optional<double> T, P, H, vf;
    bool json = false;
};

// The specification pair the options name, in SI.
Spec spec_of(const FlashArgs& a, Units u, double mw, double& first, double& second) {
    const int given = a.T.has_value() + a.P.has_value() + a.H.has_value() + a.vf.has_value();
    if (given != 2)
        throw InputError("give exactly two of --T, --P, --H and --vf (one of the pairs T-P, "
                         "P-H, P-vf, T-H, T-vf)");
    for (const auto* v : {&a.T, &a.P, &a.H, &a.vf})
        if (v->has_value() && !std::isfinite(**v))
            throw InputError("a specification is not a finite number");
    const double T = a.T ? from_units(Qty::Temperature, *a.T, u, 1.0) : 0.0;
    const double P = a.P ? from_units(Qty::Pressure, *a.P, u, 1.0) : 0.0;
    const double H = a.H ? from_units(Qty::MolarEnergy, *a.H, u, mw) : 0.0;
    if (a.T) check_temperature("--T", T);
    if (a.P) check_pressure("--P", P);
    if (a.vf && (*a.vf < 0.0 || *a.vf > 1.0)) throw InputError("--vf must lie in [0, 1]");
    if (a.T && a.P) return first = T, second = P, Spec::TP;
    if (a.P && a.H) return first = P, second = H, Spec::PH;
    if (a.P && a.vf) return first = P, second = *a.vf, Spec::PVF;
    if (a.T && a.H) return first = T, second = H, Spec::TH;
    if (a.T && a.vf) return first = T, second = *a.vf, Spec::TVF;
    throw InputError("--H and --vf do not make a specification pair");
}

// What a flash status other than 1 means on the reference host.
const char* flash_failure(int64_t status) {
    switch (status) {
    case 2:
        return "bad input";
    case 3:
        return "not converged";
    case 4:
        return "no solution for the specification (e.g. a vapour fraction outside the "
               "two-phase region)";
    case 5:
        return "the equation of state gave no usable root";
    case 9:
        return "the stream forms more phases than the flash holds (a third liquid, or a "
               "fourth phase beside three)";
    default:
        return "the host refused the flash";
    }
}

void print_notes(const std::vector<std::string>& notes) {
    for (const std::string& n : notes)
        std::cerr << "xif: note: " << n << '\n';
}

int run_flash(const StreamArgs& sa, const std::string& units, const FlashArgs& a) {
    const Units u = units_of(units);
    const Options o = resolve_stream(sa, u);
    double first = 0, second = 0;
    const Spec spec = spec_of(a, u, stream_mw(o), first, second);
    Session s(o);
    // Start from a state near the specification; the flash then solves it.
    const double t0 = spec == Spec::TP || spec == Spec::TH || spec == Spec::TVF ? first : 300.0;
    const double p0 = spec == Spec::TP                        ? second
                      : spec == Spec::PH || spec == Spec::PVF ? first
                                                              : 101325.0;
    s.set_state(t0, p0);
    const int64_t status = s.flash(spec, first, second);
    if (status != 1) {
        // No table: a failed flash leaves no state worth showing.
        std::cerr << "xif: the flash failed: " << flash_failure(status) << " (flash status "
                  << status << ")\n";
        if (a.json)
            std::cout << nlohmann::json{{"status", "failed"},
                                        {"flash_status", status},
                                        {"reason", flash_failure(status)}}
                             .dump(2)
                      << '\n';
        return 3;
    }
    const StreamReport r = read_report(s, status);
    const std::vector<std::string> notes = flash_notes(r, o, u);
    if (a.json) {
        nlohmann::json j = to_json(r, s.ids(), u);
        j["notes"] = notes;
        std::cout << j.dump(2) << '\n';
    } else {
        std::cout << to_table(r, s.ids(), u);
    }
    print_notes(notes);
    return 0;
}

int run_components() {
    std::printf("%-9s %-24s %-10s %10s %10s %12s %9s %9s\n", "id", "name", "formula", "MW", "Tc/K",
                "Pc/Pa", "Tm/K", "Tb/K");
    for (const DatabankEntry& e : databank())
        std::printf("%-9.9s %-24.24s %-10.10s %10.4f %10.3f %12.6g %9.3f %9.3f\n", e.id.c_str(),
                    e.name.c_str(), e.formula.c_str(), e.mw, e.tc, e.pc, e.tm, e.tb);
    return 0;
}

// The interaction parameter of every pair of the components, and where it
// comes from: a pair without one stands at 0 and may split into liquids.
int run_pairs(const std::string& components, const std::string& method) {
    if (method != "pr" && method != "srk")
        throw InputError("unknown --method '" + method + "' (pr or srk)");
    std::vector<std::string> ids;
    for (const std::string& text : split_list("--components", components)) {
        ids.push_back(component_id(text));
        if (std::count(ids.begin(), ids.end(), ids.back()) > 1)
            throw InputError("--components: " + ids.back() + " is given twice");
    }
    if (ids.size() < 2) throw InputError("--components: a pair needs two components");
    std::printf("%-9s %-9s %9s  %s\n", "id", "id", "k_ij", "source");
    for (size_t a = 0; a < ids.size(); ++a)
        for (size_t b = a + 1; b < ids.size(); ++b) {
            const DatabankPair p = databank_pair(ids[a], ids[b], method);
            std::printf("%-9s %-9s %9.4f  %s\n", ids[a].c_str(), ids[b].c_str(), p.kij,
                        p.known ? "databank" : "none: 0 (--kij sets one)");
        }
    return 0;
}

struct CurveCli {
    std::optional<double> T_in, T_out, P, P_out;
    int points = 21;
    bool equal_enthalpy = false;
    std::string csv, json, plot;
    bool json_given = false;
};

bool stderr_is_terminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(2) != 0;
#endif
}

// Progress on a terminal once a curve takes more than a moment.
class ProgressLine {
  public:
    ProgressLine() : start_(std::chrono::steady_clock::now()), tty_(stderr_is_terminal()) {}
    ~ProgressLine() {
        if (shown_) std::fputs("\r\033[K", stderr);
    }
    void operator()(int done, int expected) {
        if (!tty_) return;
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        if (s < 0.3) return;
        shown_ = true;
        std::fprintf(stderr, "\rxif curve: point %d of at most %d", done, expected);
        std::fflush(stderr);
    }

  private:
    std::chrono::steady_clock::time_point start_;
    bool tty_, shown_ = false;
};

int run_curve(const StreamArgs& sa, const std::string& units, const CurveCli& c,
              bool print_table = true) {
    const Units u = units_of(units);
    const Options o = resolve_stream(sa, u);
    if (!c.T_in || !c.T_out || !c.P) throw InputError("give --T-in, --T-out and --P");
    CurveArgs a;
    a.T_in = from_units(Qty::Temperature, *c.T_in, u, 1.0);
    a.T_out = from_units(Qty::Temperature, *c.T_out, u, 1.0);
    a.P_in = from_units(Qty::Pressure, *c.P, u, 1.0);
    a.P_out = c.P_out ? from_units(Qty::Pressure, *c.P_out, u, 1.0) : a.P_in;
    check_temperature("--T-in", a.T_in);
    check_temperature("--T-out", a.T_out);
    check_pressure("--P", a.P_in);
    check_pressure("--P-out", a.P_out);
    if (c.points < kMinPoints || c.points > kMaxPoints)
        throw InputError("--points must be " + std::to_string(kMinPoints) + " to " +
                         std::to_string(kMaxPoints) + ", not " + std::to_string(c.points));
    a.points = c.points;
    a.equal_enthalpy = c.equal_enthalpy;

    // Open every output first: a bad path fails before the work, and a
    // failed run leaves no file behind.
    std::unique_ptr<OutputFile> csv, json, plot;
    if (!c.csv.empty()) csv = std::make_unique<OutputFile>(c.csv);
    if (!c.json.empty()) json = std::make_unique<OutputFile>(c.json);
    if (!c.plot.empty()) plot = std::make_unique<OutputFile>(c.plot);

    Session s(o);
    try {
        s.set_state(a.T_in, a.P_in);
    } catch (const InputError& e) {
        throw InputError(std::string("the inlet state: ") + e.what());
    }
    Curve curve;
    {
        ProgressLine line;
        curve = compute_curve(s, a, [&](int done, int expected) { line(done, expected); });
    }
    const std::string svg = plot ? curve_svg(curve, s.ids(), u) : std::string();
    const std::vector<std::string> notes = curve_notes(curve, o, u);
    std::string json_text;
    if (json || c.json_given) {
        nlohmann::json j = curve_json(curve, s.ids(), u);
        j["notes"] = notes;
        json_text = j.dump(2) + "\n";
    }
    if (csv) csv->commit(curve_csv(curve, u));
    if (json) json->commit(json_text);
    if (plot) plot->commit(svg);
    if (c.json_given && c.json.empty())
        std::cout << json_text;
    else if (print_table)
        std::cout << curve_table(curve, s.ids(), u);
    if (!curve.failed.empty())
        std::cerr << "xif: " << curve.failed.size()
                  << " flash(es) of the curve did not converge; those points are left out\n";
    print_notes(notes);
    return 0;
}

int run_demo(const std::string& out_dir, const std::string& units) {
    std::error_code ec;
    std::filesystem::create_directories(out_dir, ec);
    if (ec) throw InputError("cannot create '" + out_dir + "': " + ec.message());
    // A water/hydrocarbon condenser: steam with n-hexane and n-heptane and a
    // little nitrogen, cooled from 450 K to 300 K at 2 bar falling to 1.9 bar.
    StreamArgs sa;
    sa.components = "WATER,NC6,NC7,N2";
    sa.three_phase = true;
    sa.noncondensables = "N2";
    CurveCli c;
    const Units u = units_of(units);
    const double flows_si[] = {0.05, 0.02, 0.02, 0.002}; // kmol/s
    const char* ids[] = {"WATER", "NC6", "NC7", "N2"};
    for (size_t k = 0; k < 4; ++k) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%s%.10g", k ? "," : "",
                      to_units(Qty::MolarFlow, flows_si[k], u, databank_mw(ids[k])));
        sa.flows += buf;
    }
    c.T_in = to_units(Qty::Temperature, 450.0, u, 1.0);
    c.T_out = to_units(Qty::Temperature, 300.0, u, 1.0);
    c.P = to_units(Qty::Pressure, 2.0e5, u, 1.0);
    c.P_out = to_units(Qty::Pressure, 1.9e5, u, 1.0);
    c.points = 31;
    const std::string dir = out_dir.empty() || out_dir.back() == '/' ? out_dir : out_dir + "/";
    c.csv = dir + "demo.csv";
    c.json = dir + "demo.json";
    c.plot = dir + "demo.svg";
    std::cout << "xif demo: condensing steam, n-hexane and n-heptane with nitrogen, 450 K to "
                 "300 K, 2 bar falling to 1.9 bar, three phases allowed\n";
    const int rc = run_curve(sa, units, c);
    if (rc == 0) std::cout << "\nwritten: " << c.csv << ", " << c.json << ", " << c.plot << '\n';
    return rc;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"xif: flash streams, tabulate their properties and draw heating and cooling "
                 "curves on the reference host"};
    app.require_subcommand(1);

    StreamArgs flash_stream;
    std::string flash_units = "si";
    FlashArgs flash_args;
    CLI::App* flash =
        app.add_subcommand("flash", "flash a stream and show every phase's properties");
    add_stream_options(flash, flash_stream, flash_units);
    flash->add_option("--T", flash_args.T, "temperature, K (°C)");
    flash->add_option("--P", flash_args.P, "pressure, Pa (bar)");
    flash->add_option("--H", flash_args.H, "enthalpy, J/kmol (kJ/kg)");
    flash->add_option("--vf", flash_args.vf, "vapour fraction, 0 to 1");
    flash->add_flag("--json", flash_args.json, "print one JSON object");

    StreamArgs curve_stream;
    std::string curve_units = "si";
    CurveCli curve_args;
    CLI::App* curve = app.add_subcommand(
        "curve", "the heating or cooling curve of a stream: every phase's properties from an "
                 "inlet to an outlet temperature, with its dew and bubble points");
    add_stream_options(curve, curve_stream, curve_units);
    curve->add_option("--T-in", curve_args.T_in, "inlet temperature, K (°C)")->required();
    curve->add_option("--T-out", curve_args.T_out, "outlet temperature, K (°C)")->required();
    curve->add_option("--P", curve_args.P, "inlet pressure, Pa (bar)")->required();
    curve->add_option("--P-out", curve_args.P_out,
                      "outlet pressure, Pa (bar); the pressure falls linearly (default: --P)");
    curve->add_option("--points", curve_args.points,
                      "points from inlet to outlet, 2 to 10000 "
                      "(default 21)");
    curve->add_flag("--equal-enthalpy", curve_args.equal_enthalpy,
                    "space the points in equal enthalpy steps (P-H flashes)");
    curve->add_option("--csv", curve_args.csv, "write the curve as CSV to FILE")
        ->option_text("FILE");
    curve
        ->add_option("--json", curve_args.json,
                     "write the curve as JSON to FILE, or without FILE print it instead of "
                     "the table")
        ->expected(0, 1)
        ->option_text("[FILE]");
    curve->add_option("--plot", curve_args.plot, "draw the curve as SVG to FILE")
        ->option_text("FILE");

    std::string demo_out = ".", demo_units = "si";
    CLI::App* demo = app.add_subcommand(
        "demo", "a water/hydrocarbon condenser curve: writes DIR/demo.csv, demo.json and "
                "demo.svg and prints the table");
    demo->add_option("--out", demo_out, "output directory (default: the current one)");
    demo->add_option("--units", demo_units, "si (default) or engineering");

    CLI::App* components = app.add_subcommand("components", "list the databank");

    std::string pair_components, pair_method = "pr";
    CLI::App* pairs = app.add_subcommand(
        "pairs", "the databank's interaction parameter of every pair of some components");
    pairs->add_option("--components", pair_components, "databank ids or names, e.g. WATER,ETOH")
        ->required();
    pairs->add_option("--method", pair_method, "equation of state: pr or srk (default pr)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    try {
        curve_args.json_given = curve->count("--json") > 0;
        if (curve->count("--csv") > 0 && curve_args.csv.empty())
            throw InputError("--csv: the file name is empty");
        if (curve->count("--plot") > 0 && curve_args.plot.empty())
            throw InputError("--plot: the file name is empty");
        if (*flash) return run_flash(flash_stream, flash_units, flash_args);
        if (*curve) return run_curve(curve_stream, curve_units, curve_args);
        if (*demo) return run_demo(demo_out, demo_units);
        if (*components) return run_components();
        if (*pairs) return run_pairs(pair_components, pair_method);
    } catch (const InputError& e) {
        std::cerr << "xif: " << e.what() << '\n';
        return 2;
    } catch (const CurveError& e) {
        std::cerr << "xif: " << e.what() << '\n';
        return 3;
    } catch (const std::exception& e) {
        std::cerr << "xif: " << e.what() << '\n';
        return 1;
    }
    return 1;
}
