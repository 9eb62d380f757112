// xif: an exchanger program on the reference host. It flashes streams and
// tabulates their properties through xif's exported routines only.
#include "report.h"
#include "session.h"

#include <xif/refhost.h>

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>

using namespace xif::cli;

namespace {

void add_stream_options(CLI::App* cmd, Options& o) {
    cmd->add_option("--components", o.components, "databank ids, e.g. CH4,C2H6")
        ->delimiter(',')
        ->required();
    cmd->add_option("--flows", o.flows, "component molar flows, kmol/s")
        ->delimiter(',')
        ->required();
    cmd->add_option("--method", o.method, "equation of state: pr or srk")
        ->check(CLI::IsMember({"pr", "srk"}));
    cmd->add_flag("--three-phase", o.three_phase, "allow a second liquid");
    cmd->add_option("--noncondensables", o.noncondensables,
                    "components kept out of the liquids, e.g. N2,O2")
        ->delimiter(',');
    cmd->add_flag("--no-water-tables{false}", o.water_tables,
                  "evaluate a pure-water liquid with the mixture models");
}

struct FlashArgs {
    std::optional<double> T, P, H, vf;
    bool json = false;
};

// The specification pair the options name.
Spec spec_of(const FlashArgs& a, double& first, double& second) {
    const int given = a.T.has_value() + a.P.has_value() + a.H.has_value() + a.vf.has_value();
    if (given != 2)
        throw InputError("give exactly two of --T, --P, --H and --vf (one of the pairs T-P, "
                         "P-H, P-vf, T-H, T-vf)");
    for (const auto* v : {&a.T, &a.P, &a.H, &a.vf})
        if (v->has_value() && !std::isfinite(**v))
            throw InputError("a specification is not a number");
    if (a.T && *a.T <= 0.0) throw InputError("--T must be above 0 K");
    if (a.P && *a.P <= 0.0) throw InputError("--P must be above 0 Pa");
    if (a.vf && (*a.vf < 0.0 || *a.vf > 1.0)) throw InputError("--vf must lie in [0, 1]");
    if (a.T && a.P) return first = *a.T, second = *a.P, Spec::TP;
    if (a.P && a.H) return first = *a.P, second = *a.H, Spec::PH;
    if (a.P && a.vf) return first = *a.P, second = *a.vf, Spec::PVF;
    if (a.T && a.H) return first = *a.T, second = *a.H, Spec::TH;
    if (a.T && a.vf) return first = *a.T, second = *a.vf, Spec::TVF;
    throw InputError("--H and --vf do not make a specification pair");
}

int run_flash(const Options& o, const FlashArgs& a) {
    double first = 0, second = 0;
    const Spec spec = spec_of(a, first, second);
    Session s(o);
    // Start from a state near the specification; the flash then solves it.
    const double t0 = a.T.value_or(300.0), p0 = a.P.value_or(101325.0);
    s.set_state(t0, p0);
    const int64_t status = s.flash(spec, first, second);
    const StreamReport r = read_report(s, status);
    if (a.json)
        std::cout << to_json(r, s.ids()).dump(2) << '\n';
    else
        std::cout << to_table(r, s.ids());
    if (status != 1) {
        std::cerr << "xif: the flash did not converge (flash status " << status << ")\n";
        return 3;
    }
    return 0;
}

int run_components() {
    const int64_t n = XIFHOST_DATABANK_SIZE();
    std::printf("%-9s %-24s %-10s %10s %10s %12s\n", "id", "name", "formula", "MW", "Tc/K",
                "Pc/Pa");
    for (int64_t i = 1; i <= n; ++i) {
        char id[24], name[24], formula[24];
        const int64_t width = 24;
        double mw, tc, pc;
        int64_t ierr;
        XIFHOST_DATABANK_ENTRY(&i, id, name, formula, &width, &mw, &tc, &pc, &ierr);
        if (ierr != 0) continue;
        std::printf("%-9.9s %-24.24s %-10.10s %10.4f %10.3f %12.6g\n", id, name, formula, mw, tc,
                    pc);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"xif: flash streams and tabulate their properties on the reference host"};
    app.require_subcommand(1);

    Options flash_opts;
    FlashArgs flash_args;
    CLI::App* flash =
        app.add_subcommand("flash", "flash a stream and show every phase's properties");
    add_stream_options(flash, flash_opts);
    flash->add_option("--T", flash_args.T, "temperature, K");
    flash->add_option("--P", flash_args.P, "pressure, Pa");
    flash->add_option("--H", flash_args.H, "molar enthalpy, J/kmol");
    flash->add_option("--vf", flash_args.vf, "vapour fraction, 0 to 1");
    flash->add_flag("--json", flash_args.json, "print one JSON object");

    CLI::App* components = app.add_subcommand("components", "list the databank");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    try {
        if (*flash) return run_flash(flash_opts, flash_args);
        if (*components) return run_components();
    } catch (const InputError& e) {
        std::cerr << "xif: " << e.what() << '\n';
        return 2;
    }
    return 1;
}
