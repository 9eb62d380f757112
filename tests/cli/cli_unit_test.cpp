// The command line's pieces that the end-to-end scripts cannot reach
// directly: unit conversions, list parsing, atomic output files, and the
// plot's two-liquid shading (no host flash yields a second liquid yet).
#include "curve_output.h"
#include "files.h"
#include "input.h"
#include "plot.h"
#include "units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace xif::cli;
namespace fs = std::filesystem;

namespace {

constexpr Qty kAll[] = {Qty::None,           Qty::Temperature,  Qty::Pressure,
                        Qty::MolarEnergy,    Qty::MolarHeatCap, Qty::MolarVolume,
                        Qty::Density,        Qty::Viscosity,    Qty::Conductivity,
                        Qty::SurfaceTension, Qty::Diffusivity,  Qty::MolecularWeight,
                        Qty::MoleFraction,   Qty::EnergyFlow,   Qty::MolarFlow};

TEST(Units, RoundTripInBothSystems) {
    for (Units u : {Units::SI, Units::Engineering})
        for (Qty q : kAll)
            for (double v : {-12.5, 0.0, 3.25e-4, 987.0}) {
                const double mw = 44.0956;
                EXPECT_NEAR(from_units(q, to_units(q, v, u, mw), u, mw), v,
                            1e-12 * (1 + std::abs(v)))
                    << unit_label(q, u);
            }
}

TEST(Units, EngineeringUnitsAreTheDefinitions) {
    const Units e = Units::Engineering;
    EXPECT_DOUBLE_EQ(to_units(Qty::Temperature, 273.15, e, 1), 0.0);
    EXPECT_DOUBLE_EQ(to_units(Qty::Pressure, 101325, e, 1), 1.01325);
    // 1 kJ/kg of a 18 kg/kmol phase is 18000 J/kmol; so is 1 kJ/(kg K).
    EXPECT_DOUBLE_EQ(from_units(Qty::MolarEnergy, 1.0, e, 18.0), 18000.0);
    EXPECT_DOUBLE_EQ(from_units(Qty::MolarHeatCap, 1.0, e, 18.0), 18000.0);
    EXPECT_DOUBLE_EQ(to_units(Qty::Viscosity, 1e-3, e, 1), 1.0);      // 1 mPa s
    EXPECT_DOUBLE_EQ(to_units(Qty::SurfaceTension, 0.072, e, 1), 72); // mN/m
    EXPECT_DOUBLE_EQ(to_units(Qty::EnergyFlow, 2500, e, 1), 2.5);     // kW
    // 1 kmol/s of water is 18 kg/s, 64800 kg/h.
    EXPECT_DOUBLE_EQ(to_units(Qty::MolarFlow, 1.0, e, 18.0), 64800.0);
    // SI leaves every value alone.
    for (Qty q : kAll)
        EXPECT_EQ(to_units(q, 123.0, Units::SI, 18.0), 123.0);
    Units u = Units::SI;
    EXPECT_TRUE(parse_units("engineering", u));
    EXPECT_EQ(u, Units::Engineering);
    EXPECT_FALSE(parse_units("imperial", u));
}

TEST(Input, ListsAndNumbers) {
    EXPECT_EQ(split_list("--x", " A, B ,C"), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_THROW(split_list("--x", ""), InputError);
    EXPECT_THROW(split_list("--x", "  "), InputError);
    EXPECT_THROW(split_list("--x", "A,,B"), InputError);
    EXPECT_THROW(split_list("--x", "A,"), InputError);
    EXPECT_THROW(split_list("--x", ",A"), InputError);
    EXPECT_DOUBLE_EQ(parse_number("--x", " 2.5e3 "), 2500.0);
    for (const char* bad : {"", "1.5x", "x", "nan", "-inf", "1e999", "1 2"})
        EXPECT_THROW(parse_number("--x", bad), InputError) << bad;
    try {
        split_list("--flows", "1,,2");
        FAIL();
    } catch (const InputError& e) {
        EXPECT_NE(std::string(e.what()).find("--flows: entry 2"), std::string::npos) << e.what();
    }
}

TEST(Input, ResolvesFlowsInBothSystems) {
    const double mw_water = databank_mw("WATER"), mw_n2 = databank_mw("N2");
    StreamArgs a;
    a.components = "water,n2";
    a.mass_flows = "18,28";
    Options o = resolve_stream(a, Units::SI);
    EXPECT_EQ(o.components, (std::vector<std::string>{"WATER", "N2"}));
    EXPECT_NEAR(o.flows[0], 18 / mw_water, 1e-15);
    EXPECT_NEAR(o.flows[1], 28 / mw_n2, 1e-15);
    a.mass_flows.clear();
    a.flows = "3600,7200"; // kg/h in engineering units
    o = resolve_stream(a, Units::Engineering);
    EXPECT_NEAR(o.flows[0], 1 / mw_water, 1e-15);
    EXPECT_NEAR(o.flows[1], 2 / mw_n2, 1e-15);
    EXPECT_THROW(databank_mw("UNOBTAINIUM"), InputError);
}

class Files : public ::testing::Test {
  protected:
    fs::path dir;
    void SetUp() override {
        std::random_device rd;
        dir = fs::temp_directory_path() / ("xif-cli-files-" + std::to_string(rd()));
        ASSERT_TRUE(fs::create_directory(dir));
    }
    void TearDown() override { fs::remove_all(dir); }
    std::vector<std::string> entries() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir))
            out.push_back(e.path().filename().string());
        return out;
    }
    static std::string read(const fs::path& p) {
        std::ifstream in(p);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(Files, CommitWritesTheWholeTextAndNothingElse) {
    const fs::path p = dir / "a.csv";
    {
        OutputFile f(p.string());
        EXPECT_FALSE(fs::exists(p)) << "nothing under the real name before the commit";
        f.commit("one\ntwo\n");
    }
    EXPECT_EQ(read(p), "one\ntwo\n");
    EXPECT_EQ(entries(), std::vector<std::string>{"a.csv"});
    const auto perms = fs::status(p).permissions();
    EXPECT_NE(perms & fs::perms::owner_read, fs::perms::none);
}

TEST_F(Files, AnAbandonedFileLeavesTheOldOneAndNoTemporary) {
    const fs::path p = dir / "a.json";
    std::ofstream(p) << "old";
    { OutputFile f(p.string()); }
    EXPECT_EQ(read(p), "old");
    EXPECT_EQ(entries(), std::vector<std::string>{"a.json"});
}

TEST_F(Files, UnwritablePathsFailAtOnce) {
    EXPECT_THROW(OutputFile((dir / "no" / "x.svg").string()), InputError);
    EXPECT_THROW(OutputFile(dir.string()), InputError);
    EXPECT_THROW(OutputFile(""), InputError);
    EXPECT_TRUE(entries().empty());
}

// A made-up curve: vapour, then vapour and two liquids, then two liquids.
Curve two_liquid_curve(int n, bool second_liquid) {
    Curve c;
    c.molecular_weight = 40.0;
    for (int i = 0; i < n; ++i) {
        CurvePoint p;
        p.position = static_cast<double>(i) / (n - 1);
        p.report.status = 1;
        p.report.T = 450 - 150 * p.position;
        p.report.P = 2e5;
        p.report.vapour_fraction = std::max(0.0, 1.0 - 2 * p.position);
        p.duty = -1e6 * p.position;
        p.apparent_heat_capacity = 1e5;
        auto set = [&](int phase, double fraction, double mu, double rho) {
            PhaseReport& ph = p.report.phases[static_cast<size_t>(phase)];
            ph.present = fraction > 0;
            ph.fraction = fraction;
            if (!ph.present) return;
            ph.molecular_weight = 40.0, ph.viscosity = mu, ph.density = rho;
            ph.enthalpy = -1e7, ph.heat_capacity = 1e5, ph.enthalpy_flow = -1e6;
        };
        const double vf = p.report.vapour_fraction;
        set(0, 1.0, 1e-4, 10);
        set(1, vf, 1e-5, 3);
        const bool two = second_liquid && i > 0 && vf < 1.0;
        set(3, two ? (1 - vf) / 2 : 1 - vf, 3e-4, 950);
        set(4, two ? (1 - vf) / 2 : 0.0, 5e-4, 650);
        c.points.push_back(p);
    }
    return c;
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(Plot, ShadesTheTwoLiquidRegionAndSaysWhenThereIsNone) {
    const std::vector<std::string> ids = {"WATER", "NC6"};
    const std::string with = curve_svg(two_liquid_curve(11, true), ids, Units::SI);
    const std::string without = curve_svg(two_liquid_curve(11, false), ids, Units::SI);
    const std::string band = "fill=\"#9ecae1\" fill-opacity";
    // Points 1..10 have a second liquid: 10 bands between neighbours.
    EXPECT_EQ(count(with, band), 10u);
    EXPECT_EQ(count(without, band), 0u);
    EXPECT_NE(with.find(">two liquids<"), std::string::npos);
    EXPECT_NE(without.find("two liquids (none found)"), std::string::npos);
    EXPECT_NE(with.find(">second liquid<"), std::string::npos) << "legend of the phase panels";
    EXPECT_EQ(without.find(">second liquid<"), std::string::npos);
    // Every element opened is closed.
    EXPECT_EQ(count(with, "<text"), count(with, "</text>"));
    EXPECT_EQ(count(with, "<svg"), 1u);
    EXPECT_EQ(with.substr(with.size() - 7), "</svg>\n");
}

TEST(Plot, AxesCarryTheUnitsOfTheSystem) {
    const Curve c = two_liquid_curve(6, false);
    const std::string si = curve_svg(c, {"A"}, Units::SI);
    const std::string eng = curve_svg(c, {"A"}, Units::Engineering);
    EXPECT_NE(si.find("temperature, K"), std::string::npos);
    EXPECT_NE(si.find("heat removed from the inlet, MW"), std::string::npos);
    EXPECT_NE(si.find("viscosity, Pa s"), std::string::npos);
    EXPECT_NE(eng.find("temperature, °C"), std::string::npos);
    EXPECT_NE(eng.find("heat removed from the inlet, kW"), std::string::npos);
    EXPECT_NE(eng.find("viscosity, mPa s"), std::string::npos);
    // Log axes: the viscosity ticks run over whole decades of the data.
    EXPECT_NE(si.find(">1e-05<"), std::string::npos);
    EXPECT_NE(si.find(">1e-03<"), std::string::npos);
}

TEST(CurveOutput, CsvAndJsonHoldEveryPointInTheChosenUnits) {
    const Curve c = two_liquid_curve(5, true);
    const std::string csv = curve_csv(c, Units::Engineering);
    std::istringstream in(csv);
    std::string line;
    std::vector<size_t> commas;
    while (std::getline(in, line))
        commas.push_back(count(line, ","));
    ASSERT_EQ(commas.size(), 6u);
    for (size_t n : commas)
        EXPECT_EQ(n, commas[0]);
    EXPECT_NE(csv.find("duty [kW]"), std::string::npos);
    EXPECT_NE(csv.find("\npoint,176.85,"), std::string::npos) << "450 K in °C";

    const nlohmann::json j = curve_json(c, {"A"}, Units::Engineering);
    ASSERT_EQ(j["points"].size(), 5u);
    const auto& last = j["points"][4];
    EXPECT_DOUBLE_EQ(last["duty"].get<double>(), -1000.0); // -1 MW in kW
    EXPECT_DOUBLE_EQ(last["apparent_heat_capacity"].get<double>(), 1e5 / 40 / 1000);
    EXPECT_DOUBLE_EQ(last["phases"]["liquid2"]["viscosity"].get<double>(), 0.5); // mPa s
    EXPECT_EQ(last["kind"], "point");
    EXPECT_EQ(j["units"], "engineering");
}

} // namespace
