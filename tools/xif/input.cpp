#include "input.h"

#include <xif/refhost.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace xif::cli {

namespace {

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string field(const char* text, size_t width) {
    size_t n = width;
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\0'))
        --n;
    return std::string(text, n);
}

} // namespace

std::vector<std::string> split_list(const std::string& option, const std::string& text) {
    if (trim(text).empty()) throw InputError(option + " is empty");
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string item = trim(
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (item.empty())
            throw InputError(option + ": entry " + std::to_string(out.size() + 1) + " of '" + text +
                             "' is empty");
        out.push_back(item);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

double parse_number(const std::string& option, const std::string& text) {
    const std::string t = trim(text);
    char* end = nullptr;
    const double v = t.empty() ? 0.0 : std::strtod(t.c_str(), &end);
    if (t.empty() || end != t.c_str() + t.size())
        throw InputError(option + ": '" + text + "' is not a number");
    if (!std::isfinite(v)) throw InputError(option + ": '" + text + "' is not a finite number");
    return v;
}

namespace {

bool contains(const std::string& text, const std::string& part) {
    return !part.empty() && text.find(part) != std::string::npos;
}

} // namespace

const std::vector<DatabankEntry>& databank() {
    static const std::vector<DatabankEntry> entries = [] {
        std::vector<DatabankEntry> out;
        const int64_t n = XIFHOST_DATABANK_SIZE();
        for (int64_t i = 1; i <= n; ++i) {
            char id[24], name[24], formula[24];
            const int64_t width = 24;
            double mw = 0, tc = 0, pc = 0;
            int64_t ierr = 0;
            double tm = 0, tb = 0;
            XIFHOST_DATABANK_ENTRY(&i, id, name, formula, &width, &mw, &tc, &pc, &ierr);
            if (ierr == 0) XIFHOST_DATABANK_POINTS(&i, &tm, &tb, &ierr);
            if (ierr == 0)
                out.push_back({field(id, sizeof id), field(name, sizeof name),
                               field(formula, sizeof formula), mw, tc, pc, tm, tb, i});
        }
        return out;
    }();
    return entries;
}

const DatabankEntry& databank_entry(const std::string& id) {
    for (const DatabankEntry& e : databank())
        if (e.id == id) return e;
    throw InputError("unknown component '" + id + "' (xif components lists the databank)");
}

double databank_mw(const std::string& id) {
    return databank_entry(id).mw;
}

DatabankPair databank_pair(const std::string& a, const std::string& b, const std::string& method) {
    const int64_t i = databank_entry(a).index, j = databank_entry(b).index;
    const int64_t m = method == "srk" ? 2 : 1;
    double kij = 0.0;
    int64_t known = 0, ierr = 0;
    XIFHOST_DATABANK_PAIR(&i, &j, &m, &kij, &known, &ierr);
    if (ierr != 0) return {};
    return {kij, known == 1};
}

bool databank_pair_known(const std::string& a, const std::string& b, const std::string& method) {
    return databank_pair(a, b, method).known;
}

std::string component_id(const std::string& text) {
    const std::string t = upper(trim(text));
    for (const DatabankEntry& e : databank())
        if (e.id == t || upper(e.name) == t) return e.id;
    // The same formula first (H2O is water); else names that hold the text,
    // and formulas or ids of three letters or more that the text holds.
    std::vector<std::string> near;
    for (const DatabankEntry& e : databank())
        if (upper(e.formula) == t) near.push_back(e.id);
    auto held = [&](const std::string& part) { return part.size() >= 3 && contains(t, part); };
    if (near.empty() && t.size() >= 2)
        for (const DatabankEntry& e : databank())
            if (near.size() < 5 &&
                (contains(upper(e.name), t) || held(upper(e.formula)) || held(e.id)))
                near.push_back(e.id);
    std::string hint;
    for (size_t k = 0; k < near.size(); ++k)
        hint += (k == 0 ? "did you mean " : k + 1 == near.size() ? " or " : ", ") + near[k];
    throw InputError("unknown component '" + trim(text) + "' (" +
                     (hint.empty() ? "" : hint + "? ") + "xif components lists the databank)");
}

// One entry of --kij, "A:B=value", for two of the stream's components.
PairParameter pair_parameter(const std::string& text, const Options& o) {
    const size_t colon = text.find(':'), equals = text.find('=');
    if (colon == std::string::npos || equals == std::string::npos || equals < colon)
        throw InputError("--kij: '" + text +
                         "' is not of the form A:B=value, e.g. WATER:NPROH=-0.17");
    PairParameter p;
    p.a = component_id(text.substr(0, colon));
    p.b = component_id(text.substr(colon + 1, equals - colon - 1));
    for (const std::string* id : {&p.a, &p.b})
        if (std::find(o.components.begin(), o.components.end(), *id) == o.components.end())
            throw InputError("--kij: " + *id + " is not one of the components");
    if (p.a == p.b) throw InputError("--kij: '" + text + "' pairs " + p.a + " with itself");
    for (const PairParameter& q : o.kij)
        if ((q.a == p.a && q.b == p.b) || (q.a == p.b && q.b == p.a))
            throw InputError("--kij: " + p.a + ":" + p.b + " is given twice");
    p.kij = parse_number("--kij", text.substr(equals + 1));
    if (!(p.kij > -1.0 && p.kij < 1.0))
        throw InputError("--kij: " + p.a + ":" + p.b + " must lie between -1 and 1");
    return p;
}

Options resolve_stream(const StreamArgs& a, Units u) {
    Options o;
    for (const std::string& text : split_list("--components", a.components))
        o.components.push_back(component_id(text));
    for (size_t k = 0; k < o.components.size(); ++k)
        for (size_t m = 0; m < k; ++m)
            if (o.components[k] == o.components[m])
                throw InputError("--components: " + o.components[k] + " is given twice");
    std::vector<double> mw;
    for (const std::string& id : o.components)
        mw.push_back(databank_mw(id));

    const bool molar = !a.flows.empty(), mass = !a.mass_flows.empty();
    if (molar == mass) throw InputError("give exactly one of --flows and --mass-flows");
    const std::string option = molar ? "--flows" : "--mass-flows";
    const std::vector<std::string> items = split_list(option, molar ? a.flows : a.mass_flows);
    if (items.size() != o.components.size())
        throw InputError(option + " gives " + std::to_string(items.size()) + " flows for " +
                         std::to_string(o.components.size()) + " components");
    double total = 0.0;
    for (size_t k = 0; k < items.size(); ++k) {
        const double v = parse_number(option, items[k]);
        if (v < 0.0) throw InputError(option + ": the flow of " + o.components[k] + " is negative");
        double kmol_s;
        if (u == Units::Engineering) // kg/h of the component, either option
            kmol_s = from_units(Qty::MolarFlow, v, u, mw[k]);
        else
            kmol_s = molar ? v : v / mw[k];
        o.flows.push_back(kmol_s);
        total += kmol_s;
    }
    if (!(total > 0.0)) throw InputError(option + ": the stream carries no flow");

    o.method = a.method;
    if (o.method != "pr" && o.method != "srk")
        throw InputError("unknown --method '" + a.method + "' (pr or srk)");
    o.three_phase = a.three_phase;
    o.water_tables = a.water_tables;
    if (!a.noncondensables.empty()) {
        for (const std::string& text : split_list("--noncondensables", a.noncondensables)) {
            const std::string uid = component_id(text);
            bool found = false;
            for (const std::string& c : o.components)
                found = found || c == uid;
            if (!found)
                throw InputError("--noncondensables: " + uid + " is not one of the components");
            o.noncondensables.push_back(uid);
        }
    }
    if (!a.kij.empty())
        for (const std::string& text : split_list("--kij", a.kij))
            o.kij.push_back(pair_parameter(text, o));
    return o;
}

void check_temperature(const std::string& option, double T_si) {
    if (!std::isfinite(T_si)) throw InputError(option + " is not a finite number");
    if (T_si <= 0.0) throw InputError(option + " must be above absolute zero");
}

void check_pressure(const std::string& option, double P_si) {
    if (!std::isfinite(P_si)) throw InputError(option + " is not a finite number");
    if (P_si <= 0.0) throw InputError(option + " must be above 0");
}

} // namespace xif::cli
