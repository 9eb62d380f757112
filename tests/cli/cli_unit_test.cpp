// The command line's pieces that the end-to-end scripts cannot reach
// directly: every quantity's units, number and list parsing, and the output
// file that appears only when committed.
#include "files.h"
#include "input.h"
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

TEST(Units, EveryQuantityRoundTripsInBothSystems) {
    for (Units u : {Units::SI, Units::Engineering})
        for (Qty q : {Qty::None, Qty::Temperature, Qty::Pressure, Qty::MolarEnergy,
                      Qty::MolarHeatCap, Qty::MolarVolume, Qty::Density, Qty::Viscosity,
                      Qty::Conductivity, Qty::SurfaceTension, Qty::Diffusivity,
                      Qty::MolecularWeight, Qty::MoleFraction, Qty::EnergyFlow, Qty::MolarFlow})
            for (double v : {-12.5, 0.0, 3.25e-4, 987.0})
                EXPECT_NEAR(from_units(q, to_units(q, v, u, 44.0956), u, 44.0956), v,
                            1e-12 * (1 + std::abs(v)))
                    << unit_label(q, u);
}

TEST(Input, MalformedListsAndNumbersAreRejected) {
    EXPECT_EQ(split_list("--x", " A, B ,C"), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_DOUBLE_EQ(parse_number("--x", " 2.5e3 "), 2500.0);
    for (const char* bad : {"", "  ", "A,,B", "A,", ",A"})
        EXPECT_THROW(split_list("--x", bad), InputError) << bad;
    for (const char* bad : {"", "1.5x", "x", "nan", "-inf", "1e999", "1 2"})
        EXPECT_THROW(parse_number("--x", bad), InputError) << bad;
}

// A component by its id or its name in any case; an unknown one names the ids it may mean.
TEST(Input, ComponentsByIdOrNameAndSuggestionsForTheRest) {
    for (const char* text : {"NC4", "nc4", " n-Butane "})
        EXPECT_EQ(component_id(text), "NC4") << text;
    EXPECT_EQ(component_id("water"), "WATER");
    auto message = [](const char* text) {
        try {
            component_id(text);
        } catch (const InputError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_NE(message("H2O").find("did you mean WATER?"), std::string::npos) << message("H2O");
    EXPECT_NE(message("NC4H10").find("did you mean NC4 or IC4?"), std::string::npos);
    EXPECT_NE(message("propanol").find("NPROH or IPROH"), std::string::npos);
    // Two-letter ids and formulas suggest nothing by being held in the text (HE in hexane).
    EXPECT_NE(message("hexane").find("did you mean NC6 or CYCLOHEX?"), std::string::npos)
        << message("hexane");
    EXPECT_NE(message("xyz").find("unknown component 'xyz' (xif components"), std::string::npos);
}

// Nothing under the real name before the commit; an abandoned file leaves
// the old one and no temporary; an unwritable path fails at once.
TEST(Files, OutputAppearsWholeOnlyWhenCommitted) {
    const fs::path dir =
        fs::temp_directory_path() / ("xif-cli-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(dir));
    const fs::path p = dir / "a.csv";
    auto text = [&] {
        std::stringstream s;
        s << std::ifstream(p).rdbuf();
        return s.str();
    };
    {
        OutputFile f(p.string());
        EXPECT_FALSE(fs::exists(p));
        f.commit("one\ntwo\n");
    }
    EXPECT_EQ(text(), "one\ntwo\n");
    { OutputFile f(p.string()); }
    EXPECT_EQ(text(), "one\ntwo\n");
    for (const fs::path& bad : {dir / "no" / "x.svg", dir, fs::path()})
        EXPECT_THROW(OutputFile(bad.string()), InputError) << bad;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

} // namespace
