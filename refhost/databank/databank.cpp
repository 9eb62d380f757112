// Strict loader of the databank text and the lookups on the loaded bank.
#include "refhost/databank/databank.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

namespace xif::refhost::databank {

namespace detail {
extern const char embedded_components[];
extern const std::size_t embedded_components_size;
void build_ig_table(Component& k) noexcept;
} // namespace detail

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct Error {
    std::string msg;
};

std::string_view trim(std::string_view s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<std::string_view> split(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        std::size_t j = i;
        while (j < s.size() && s[j] != ' ' && s[j] != '\t')
            ++j;
        if (j > i) out.push_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

std::optional<double> to_number(std::string_view s) {
    double v = 0.0;
    const char* end = s.data() + s.size();
    const auto r = std::from_chars(s.data(), end, v);
    if (s.empty() || r.ec != std::errc{} || r.ptr != end || !std::isfinite(v)) return std::nullopt;
    return v;
}

double number(std::string_view s, std::string_view what) {
    const auto v = to_number(s);
    if (!v) throw Error{"bad number '" + std::string(s) + "' for " + std::string(what)};
    return *v;
}

// "a..b" with a <= b.
std::pair<double, double> range(std::string_view s, std::string_view what) {
    const auto dots = s.find("..");
    if (dots == std::string_view::npos)
        throw Error{"range '" + std::string(s) + "' for " + std::string(what) + " needs a..b"};
    const double a = number(s.substr(0, dots), what);
    const double b = number(s.substr(dots + 2), what);
    if (a > b)
        throw Error{"range '" + std::string(s) + "' for " + std::string(what) + " is reversed"};
    return {a, b};
}

struct Scalar {
    std::string_view key;
    std::string_view unit;
    double Component::*field;
    bool positive;
};

constexpr std::array<Scalar, 9> scalars{{
    {"MW", "kg/kmol", &Component::mw, true},
    {"Tc", "K", &Component::tc, true},
    {"Pc", "Pa", &Component::pc, true},
    {"Vc", "m3/kmol", &Component::vc, true},
    {"Zc", "-", &Component::zc, true},
    {"omega", "-", &Component::omega, false},
    {"Tb", "K", &Component::tb, true},
    {"Tm", "K", &Component::tm, true},
    {"dipole", "debye", &Component::dipole, false},
}};

struct Prop {
    std::string_view key;
    std::string_view unit;
    Correlation Component::*field;
};

constexpr std::array<Prop, 10> props{{
    {"PSAT", "Pa", &Component::psat},
    {"RHOL", "kmol/m3", &Component::rhol},
    {"HVAP", "J/kmol", &Component::hvap},
    {"CPL", "J/kmol/K", &Component::cpl},
    {"CPIG", "J/kmol/K", &Component::cpig},
    {"MUL", "Pa*s", &Component::mul},
    {"MUV", "Pa*s", &Component::muv},
    {"KL", "W/m/K", &Component::kl},
    {"KV", "W/m/K", &Component::kv},
    {"SIGMA", "N/m", &Component::sigma},
}};

std::optional<Form> form_of(std::string_view s) {
    if (s == "100") return Form::dippr100;
    if (s == "101") return Form::dippr101;
    if (s == "102") return Form::dippr102;
    if (s == "105") return Form::dippr105;
    if (s == "106") return Form::dippr106;
    if (s == "114") return Form::dippr114;
    if (s == "116") return Form::dippr116;
    if (s == "TRC") return Form::trc;
    if (s == "MC") return Form::mulero;
    return std::nullopt;
}

bool needs_tc(Form f) {
    return f == Form::dippr106 || f == Form::dippr114 || f == Form::dippr116 || f == Form::mulero;
}

void expect(const std::vector<std::string_view>& t, std::size_t n, std::string_view usage) {
    if (t.size() != n) throw Error{"expected '" + std::string(usage) + "'"};
}

Correlation read_correlation(const Prop& p, const std::vector<std::string_view>& t) {
    if (t.size() < 5) throw Error{std::string(p.key) + " needs: form unit source and coefficients"};
    Correlation c;
    const auto f = form_of(t[1]);
    if (!f) throw Error{"unknown form '" + std::string(t[1]) + "' for " + std::string(p.key)};
    c.form = *f;
    if (t[2] != p.unit)
        throw Error{std::string(p.key) + " must be in " + std::string(p.unit) + ", not " +
                    std::string(t[2])};
    if (p.key == "CPIG" && c.form != Form::dippr100 && c.form != Form::trc)
        throw Error{"CPIG must be form 100 or TRC"};
    bool has_tc = false, has_t = false;
    std::array<bool, 8> seen{};
    c.tmin = 0.0;
    c.tmax = inf;
    for (std::size_t i = 4; i < t.size(); ++i) {
        const auto eq = t[i].find('=');
        if (eq == std::string_view::npos)
            throw Error{"expected key=value, got '" + std::string(t[i]) + "'"};
        const auto k = t[i].substr(0, eq);
        const auto v = t[i].substr(eq + 1);
        if (k == "Tc") {
            if (has_tc) throw Error{"Tc given twice"};
            has_tc = true;
            c.tc = number(v, "Tc");
            if (c.tc <= 0.0) throw Error{"Tc must be positive"};
        } else if (k == "T") {
            if (has_t) throw Error{"T range given twice"};
            has_t = true;
            std::tie(c.tmin, c.tmax) = range(v, "T");
        } else if (k.size() == 1 && k[0] >= 'A' && k[0] <= 'H') {
            const auto n = static_cast<std::size_t>(k[0] - 'A');
            if (seen[n]) throw Error{"coefficient " + std::string(k) + " given twice"};
            seen[n] = true;
            c.c[n] = number(v, k);
        } else {
            throw Error{"unknown field '" + std::string(k) + "'"};
        }
    }
    if (needs_tc(c.form) && !has_tc)
        throw Error{std::string(p.key) + " form " + std::string(t[1]) + " needs Tc="};
    if (c.form == Form::trc && !has_t) throw Error{"TRC rows need a T range"};
    c.prepare();
    return c;
}

struct Block {
    std::unique_ptr<Component> c;
    std::size_t start_line = 0;
    std::vector<std::string_view> seen;
    std::string_view vstd_token;

    bool once(std::string_view key) {
        for (auto s : seen)
            if (s == key) return false;
        seen.push_back(key);
        return true;
    }
    bool has(std::string_view key) const {
        for (auto s : seen)
            if (s == key) return true;
        return false;
    }
};

void block_line(Block& b, const std::vector<std::string_view>& t, std::string_view line) {
    Component& c = *b.c;
    const auto key = t[0];
    if (key != "LJ" && !b.once(key))
        throw Error{"'" + std::string(key) + "' given twice for " + c.id};
    if (key == "name") {
        c.name = std::string(trim(line.substr(line.find("name") + 4)));
        if (c.name.empty()) throw Error{"empty name"};
        return;
    }
    if (key == "cas" || key == "formula") {
        expect(t, 2, std::string(key) + " <value>");
        (key == "cas" ? c.cas : c.formula) = std::string(t[1]);
        return;
    }
    for (const auto& s : scalars) {
        if (key != s.key) continue;
        expect(t, 4, std::string(key) + " <value> " + std::string(s.unit) + " <source>");
        if (t[2] != s.unit)
            throw Error{std::string(key) + " must be in " + std::string(s.unit) + ", not " +
                        std::string(t[2])};
        c.*s.field = number(t[1], key);
        if (s.positive && !(c.*s.field > 0.0)) throw Error{std::string(key) + " must be positive"};
        if (!s.positive && key == "dipole" && c.dipole < 0.0)
            throw Error{"dipole must not be negative"};
        return;
    }
    if (key == "Vstd") {
        expect(t, 4, "Vstd <value|RHOL@288.706|RHOL@Tb> m3/kmol <source>");
        if (t[2] != "m3/kmol") throw Error{"Vstd must be in m3/kmol"};
        if (t[1] == "RHOL@288.706") {
            c.vstd_basis = VstdBasis::rhol_60f;
        } else if (t[1] == "RHOL@Tb") {
            c.vstd_basis = VstdBasis::rhol_tb;
        } else {
            c.vstd_basis = VstdBasis::published;
            c.vstd = number(t[1], "Vstd");
            if (c.vstd <= 0.0) throw Error{"Vstd must be positive"};
        }
        return;
    }
    if (key == "LJ") {
        expect(t, 4, "LJ <set> <sigma> <eps/k>");
        for (const auto& s : c.lj_sets)
            if (s.source == t[1])
                throw Error{"LJ set " + std::string(t[1]) + " given twice for " + c.id};
        LjSet s{std::string(t[1]), number(t[2], "LJ sigma"), number(t[3], "LJ eps/k")};
        if (s.sigma <= 0.0 || s.eps_k <= 0.0) throw Error{"LJ sigma and eps/k must be positive"};
        c.lj_sets.push_back(std::move(s));
        return;
    }
    for (const auto& p : props) {
        if (key == p.key) {
            c.*p.field = read_correlation(p, t);
            return;
        }
    }
    throw Error{"unknown key '" + std::string(key) + "'"};
}

void finish_block(Block& b) {
    Component& c = *b.c;
    for (std::string_view k : {"name", "cas", "formula", "Vstd"})
        if (!b.has(k)) throw Error{"component " + c.id + " lacks '" + std::string(k) + "'"};
    for (const auto& s : scalars)
        if (!b.has(s.key)) throw Error{"component " + c.id + " lacks '" + std::string(s.key) + "'"};
    for (const auto& p : props)
        if (!b.has(p.key)) throw Error{"component " + c.id + " lacks " + std::string(p.key)};
    if (c.lj_sets.empty()) throw Error{"component " + c.id + " has no LJ set"};
    c.lj_sigma = c.lj_sets.front().sigma;
    c.lj_eps_k = c.lj_sets.front().eps_k;
    c.lj_source = c.lj_sets.front().source;
    if (c.vstd_basis != VstdBasis::published) {
        const double T = c.vstd_basis == VstdBasis::rhol_60f ? t_std : c.tb;
        const double rho = c.rhol.eval(T);
        if (!(rho > 0.0) || !std::isfinite(rho))
            throw Error{"component " + c.id + ": RHOL undefined for Vstd"};
        c.vstd = 1.0 / rho;
    }
    detail::build_ig_table(c);
    if (!std::isfinite(c.h_at_ref) || !std::isfinite(c.s_at_ref))
        throw Error{"component " + c.id + ": CPIG cannot be integrated at 298.15 K"};
}

} // namespace

std::string parse(std::string_view text, Databank& out) {
    auto db = std::make_unique<Databank>();
    for (auto& row : db->srk_)
        row.fill(nan);
    std::size_t line_no = 0;
    Block block;
    try {
        std::size_t pos = 0;
        while (pos <= text.size()) {
            auto nl = text.find('\n', pos);
            if (nl == std::string_view::npos) nl = text.size();
            std::string_view line = text.substr(pos, nl - pos);
            pos = nl + 1;
            ++line_no;
            if (const auto hash = line.find('#'); hash != std::string_view::npos)
                line = line.substr(0, hash);
            const auto t = split(line);
            if (t.empty()) continue;
            if (block.c) {
                if (t[0] == "end") {
                    expect(t, 1, "end");
                    finish_block(block);
                    block.c->index = db->comps_.size();
                    db->comps_.push_back(std::move(*block.c));
                    block = Block{};
                } else if (t[0] == "component" || t[0] == "kij") {
                    throw Error{"component " + block.c->id + " is not closed by 'end'"};
                } else {
                    block_line(block, t, line);
                }
            } else if (t[0] == "component") {
                expect(t, 2, "component <ID>");
                if (db->find(t[1]))
                    throw Error{"component " + std::string(t[1]) + " defined twice"};
                if (db->comps_.size() >= max_components) throw Error{"more than 64 components"};
                block.c = std::make_unique<Component>();
                block.c->id = std::string(t[1]);
                block.start_line = line_no;
            } else if (t[0] == "kij") {
                if (t.size() < 6)
                    throw Error{"expected 'kij <PR|SRK> <ID1> <ID2> <value> <source> ...'"};
                BinaryKij k;
                if (t[1] == "PR")
                    k.eos = BinaryKij::Eos::pr;
                else if (t[1] == "SRK")
                    k.eos = BinaryKij::Eos::srk;
                else
                    throw Error{"unknown EOS '" + std::string(t[1]) + "'"};
                const Component* a = db->find(t[2]);
                const Component* b = db->find(t[3]);
                if (!a || !b)
                    throw Error{"kij names unknown component " + std::string(a ? t[3] : t[2])};
                if (a == b) throw Error{"kij of " + a->id + " with itself"};
                k.i = a->index;
                k.j = b->index;
                k.value = number(t[4], "kij");
                if (std::fabs(k.value) > 1.0) throw Error{"kij beyond +-1"};
                k.source = std::string(t[5]);
                for (std::size_t i = 6; i < t.size(); ++i) {
                    if (t[i].starts_with("T="))
                        std::tie(k.tmin, k.tmax) = range(t[i].substr(2), "kij T");
                    else if (t[i].starts_with("P="))
                        (void)range(t[i].substr(2), "kij P");
                    else if (!t[i].starts_with("ref="))
                        throw Error{"unknown kij field '" + std::string(t[i]) + "'"};
                }
                const bool pr = k.eos == BinaryKij::Eos::pr;
                auto& m = pr ? db->pr_ : db->srk_;
                const bool taken = pr ? db->pr_set_[k.i][k.j] : !std::isnan(m[k.i][k.j]);
                if (taken)
                    throw Error{"kij " + std::string(t[1]) + " " + a->id + "-" + b->id +
                                " given twice"};
                m[k.i][k.j] = m[k.j][k.i] = k.value;
                if (pr) db->pr_set_[k.i][k.j] = db->pr_set_[k.j][k.i] = true;
                db->kij_rows_.push_back(std::move(k));
            } else {
                throw Error{"unknown key '" + std::string(t[0]) + "' outside a component"};
            }
        }
        if (block.c) {
            line_no = block.start_line;
            throw Error{"component " + block.c->id + " is not closed by 'end'"};
        }
        if (db->comps_.empty()) throw Error{"no components"};
    } catch (const Error& e) {
        out = Databank{};
        return "line " + std::to_string(line_no) + ": " + e.msg;
    }
    out = std::move(*db);
    return {};
}

const Component* Databank::find(std::string_view id) const noexcept {
    for (const auto& c : comps_)
        if (c.id == id) return &c;
    return nullptr;
}

bool Databank::owns(const Component& c) const noexcept {
    return c.index < comps_.size() && &comps_[c.index] == &c;
}

double Databank::kij_pr(const Component& a, const Component& b) const noexcept {
    if (!owns(a) || !owns(b)) return 0.0;
    return pr_[a.index][b.index];
}

double Databank::kij_srk(const Component& a, const Component& b) const noexcept {
    if (!owns(a) || !owns(b)) return 0.0;
    const double v = srk_[a.index][b.index];
    return std::isnan(v) ? pr_[a.index][b.index] : v;
}

namespace {
struct Loaded {
    Databank db;
    std::string error;
};

const Loaded& loaded() {
    static const Loaded l = [] {
        Loaded r;
        r.error = parse(embedded_text(), r.db);
        return r;
    }();
    return l;
}
} // namespace

std::string_view embedded_text() noexcept {
    return {detail::embedded_components, detail::embedded_components_size};
}

const Databank& bank() {
    return loaded().db;
}
const std::string& load_error() {
    return loaded().error;
}

} // namespace xif::refhost::databank
