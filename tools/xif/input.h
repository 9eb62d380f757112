// Command-line input: comma lists, numbers and the stream options, checked
// and turned into the session's SI options. Every fault is an InputError
// whose message names the option and the entry.
#pragma once

#include "session.h"
#include "units.h"

#include <string>
#include <vector>

namespace xif::cli {

// The stream as typed: lists unparsed, values in the chosen units.
struct StreamArgs {
    std::string components, flows, mass_flows, noncondensables, kij;
    std::string method = "pr";
    bool three_phase = false;
    bool water_tables = true;
};

// Splits "A,B,C"; an empty list or an empty entry is an error.
std::vector<std::string> split_list(const std::string& option, const std::string& text);
// A finite number, the whole text.
double parse_number(const std::string& option, const std::string& text);

// A component of the reference host's databank as it lists it.
struct DatabankEntry {
    std::string id, name, formula;
    double mw = 0.0, tc = 0.0, pc = 0.0; // kg/kmol, K, Pa
    double tm = 0.0, tb = 0.0;           // melting and normal boiling points, K
    int64_t index = 0;                   // the set-up API's entry number
};
// The databank, read once.
const std::vector<DatabankEntry>& databank();

// A databank component by id; an unknown id is an error.
const DatabankEntry& databank_entry(const std::string& id);
// Molecular weight of a databank component (kg/kmol); an unknown id is an error.
double databank_mw(const std::string& id);
// Whether the databank has an interaction parameter for the pair under the
// method ("pr" or "srk").
bool databank_pair_known(const std::string& a, const std::string& b, const std::string& method);
// The pair's parameter under the method, and whether the databank has one.
struct DatabankPair {
    double kij = 0.0;
    bool known = false;
};
DatabankPair databank_pair(const std::string& a, const std::string& b, const std::string& method);
// The databank id that a user's text names: an id or a component's name, in
// any case. An unknown text is an error that suggests ids it may mean (the
// same formula, or an id or name that it contains or that contains it).
std::string component_id(const std::string& text);

// The session options: databank ids, flows in kmol/s. --flows is kmol/s
// in SI and kg/h (component mass flows) in engineering units; --mass-flows
// is kg/s in SI and kg/h in engineering units.
Options resolve_stream(const StreamArgs& a, Units u);

// Checks a state value typed by the user: finite, and (for T and P) above 0.
void check_temperature(const std::string& option, double T_si);
void check_pressure(const std::string& option, double P_si);

} // namespace xif::cli
