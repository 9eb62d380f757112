// libxif on the scripted host with invalid, division-by-zero and overflow trapping on, as a
// Fortran host may run: valid input never traps, the inputs in docs/robustness.md trap exactly
// where listed, and the environment stays.
#include "scripted_host.h"

#include <xif/xif.h>

#include <gtest/gtest.h>

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace xif::test {
namespace {

constexpr int kTraps = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
constexpr int kTrapExit = 86;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMissing = 1e35;

using Routine = void (*)(double*, void*, int64_t*, int64_t*, int64_t*, double*, int64_t*);
const std::pair<const char*, Routine> kCommon[] = {
    {"XIF_HXBNCP", XIF_HXBNCP}, {"XIF_HXBTMP", XIF_HXBTMP}, {"XIF_HXBPRS", XIF_HXBPRS},
    {"XIF_HXBFRC", XIF_HXBFRC}, {"XIF_HXBMWT", XIF_HXBMWT}, {"XIF_HXBMFL", XIF_HXBMFL},
    {"XIF_HXBNTH", XIF_HXBNTH}, {"XIF_HXBCPP", XIF_HXBCPP}, {"XIF_HXBNTR", XIF_HXBNTR},
    {"XIF_HXBQFL", XIF_HXBQFL}, {"XIF_HXBVOL", XIF_HXBVOL}, {"XIF_HXBDNS", XIF_HXBDNS},
    {"XIF_HXBTMC", XIF_HXBTMC}, {"XIF_HXBPRC", XIF_HXBPRC}, {"XIF_HXBVIS", XIF_HXBVIS},
    {"XIF_HXBTHC", XIF_HXBTHC}, {"XIF_HXBSFT", XIF_HXBSFT}, {"XIF_HXBDIF", XIF_HXBDIF},
    {"XIF_HXBTHV", XIF_HXBTHV}};

// Whether an ordered comparison of a NaN raises invalid in code built by this compiler: g++
// compares with signalling instructions, clang with quiet ones. The operand is read through a
// volatile reference: an optimiser would otherwise take the comparison for a pure function and
// move it past the test of the flags.
__attribute__((noinline)) bool greater(const volatile double& a, double b) {
    return a > b;
}
bool signalling_compares() {
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile double nan = kNaN;
    const bool r = greater(nan, 0.0);
    const bool raised = std::fetestexcept(FE_INVALID) != 0;
    std::feclearexcept(FE_ALL_EXCEPT);
    return raised && !r;
}

// "XIF_HXBNTH 2/1": a routine's call for phase 2 on basis 1.
std::string key(const std::string& name, int64_t phase, int64_t basis) {
    return name + " " + std::to_string(phase) + "/" + std::to_string(basis);
}

using Calls = std::set<std::string>;
Calls calls(std::initializer_list<const char*> names, std::initializer_list<int64_t> phases,
            std::initializer_list<int64_t> bases) {
    Calls out;
    for (const char* n : names)
        for (int64_t p : phases)
            for (int64_t b : bases)
                out.insert(key(n, p, b));
    return out;
}
Calls operator+(Calls a, const Calls& b) {
    a.insert(b.begin(), b.end());
    return a;
}

struct Outcome {
    bool trapped = false;
    std::string at; // the call that trapped
    Calls raising;  // with traps masked: the calls that raised a trapping exception
    int raised = 0; // and the exceptions
};

// Each call is labelled before it is made: the trap handler reports the label, and a recording
// run (traps masked) notes each call that raised.
char where[160];
int report_fd = -1;
std::string current;
Outcome* recording = nullptr;

void label(const std::string& call, int64_t side = 0) {
    if (recording) {
        if (const int f = std::fetestexcept(kTraps))
            recording->raising.insert(current), recording->raised |= f;
        std::feclearexcept(FE_ALL_EXCEPT);
    }
    current = call;
    std::snprintf(where, sizeof where, "%s side %lld", call.c_str(), static_cast<long long>(side));
}

void on_trap(int) {
    [[maybe_unused]] const ssize_t n = write(report_fd, where, std::strlen(where));
    _exit(kTrapExit);
}

// Runs body in a child with the traps enabled, then here with them masked; both must agree on
// whether a trapping exception occurs.
template <class Body> void run(Body body, Outcome& o) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::fflush(nullptr);
    if (fork() == 0) {
        close(fds[0]), report_fd = fds[1];
        std::signal(SIGFPE, on_trap);
        std::feclearexcept(FE_ALL_EXCEPT), feenableexcept(kTraps);
        body();
        _exit(fegetexcept() == kTraps ? 0 : 3); // traps switched off would hide the host's setting
    }
    close(fds[1]);
    char buf[256];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        o.at.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    wait(&status);
    o.trapped = WIFEXITED(status) && WEXITSTATUS(status) == kTrapExit;
    EXPECT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == 0 || o.trapped)) << status;
    recording = &o, current.clear(), std::feclearexcept(FE_ALL_EXCEPT);
    body();
    label(""), recording = nullptr, o.raising.erase("");
    EXPECT_EQ(o.trapped, o.raised != 0) << "trap and flags disagree: " << o.at;
}

// Every monitor answer (or those of `only`) set to v.
void answers(double v, std::set<std::string> only = {}) {
    for (auto& [name, slots] : host().answer)
        for (auto& [slot, x] : slots)
            if (only.empty() || only.count(name)) x = v;
}

constexpr int64_t kNc = 4;
std::vector<double> svec;
int64_t spare = 0, ierr = 0; // handed to the routines; ierr is not read

// Four components (molecular weights 10..40), every monitor answering a finite value, a
// three-phase flash; component 1 is in the vapour subset.
void valid_host() {
    ScriptedHost& h = host();
    h.reset(kNc);
    std::memset(&XIF_HXSBD, 0, sizeof XIF_HXSBD);
    std::memset(&XIF_HXRPP, 0, sizeof XIF_HXRPP);
    std::memset(&XIF_HXIPP, 0, sizeof XIF_HXIPP);
    XIF_HXIPP.word[XIF_IPP_SLOT_INT - 1] = at::kSlotInts;
    XIF_HXIPP.word[XIF_IPP_SLOT_REAL - 1] = at::kSlotReals;
    XIF_HXRMSS.word[0] = kMissing, XIF_HXRMIN.word[0] = 1e-30;
    svec = {1, 2, 3, 4, 10, 300, 1e5, -1e6, 0.3, 0, 0, 0, 25};
    int v = 1;
    for (const char* m :
         {"EVAL_VISCL", "EVAL_VISCV", "EVAL_TCONL", "EVAL_TCONV", "EVAL_DIFCOL", "EVAL_DIFCOV",
          "EVAL_SRFTEN", "EVAL_VOLL", "EVAL_VOLV", "EVAL_ENTHL", "EVAL_ENTHV", "EVAL_ENTHL/cp",
          "EVAL_ENTHV/cp", "EVAL_VMTHRM", "EVAL_LMTHMY"})
        for (int64_t s = 0; s <= 5; ++s)
            h.answer[m][s] = 0.01 * v++;
    for (int64_t j = 1; j <= kNc; ++j) {
        const double f = static_cast<double>(j);
        h.ln_p[j] = std::log(1e4 * f), h.h_vapour[j] = 1e6 * f, h.h_liquid[j] = -3e7 * f;
        set_plex_real(at::kStdVolume + j, 0.02 * f);
    }
    h.tot_flow = 10, h.tot_mass = 250, h.tot_enth = -1e7, h.crit_t = 500, h.crit_p = 4e6;
    int64_t k = 0;
    for (const char* p : {"MW", "PC", "TC", "VLSTD", "TB", "OMEGA", "MUP"})
        h.param_offset[p] = at::kParams + 100 * k++;
    Equilibrium& eq = h.eq;
    eq.components = {1, 2, 3, 4}, eq.T = 310, eq.P = 2e5, eq.vf = 0.3, eq.b = 0.6;
    eq.z = {0.1, 0.2, 0.3, 0.4}, eq.x = {0.0, 0.2, 0.3, 0.5}, eq.x1 = {0.0, 0.4, 0.6, 0.0};
    eq.x2 = {0.0, 0.0, 0.0, 1.0}, eq.y = {0.5, 0.3, 0.2, 0.0}, eq.k1 = {2e8, 1, 1, 1};
    eq.k2 = {1, 1, 1, 1}, eq.per_phase = {};
    eq.per_phase[12] = 17, eq.per_phase[13] = 30, eq.per_phase[14] = 26, eq.per_phase[15] = 40;
}

int64_t flash(int64_t side = 0, int64_t point = 0, int64_t type = 2, int64_t update = 0) {
    int64_t status = 0;
    label(key("XIF_HXBFLS", point, type), side);
    XIF_HXBFLS(svec.data(), &spare, &side, &point, &type, &update, &status);
    return status;
}

double call(Routine r, const char* name, int64_t phase, int64_t basis = 0, int64_t side = 0) {
    double value = 0;
    label(key(name, phase, basis), side);
    r(svec.data(), &spare, &side, &phase, &basis, &value, &ierr);
    return value;
}

void cmp(int64_t phase, int64_t basis, int64_t nval, int64_t side = 0) {
    double values[8];
    label(key("XIF_HXBCMP", phase, basis), side);
    XIF_HXBCMP(svec.data(), &spare, &side, &phase, &basis, values, &nval, &ierr);
}

void rescale() {
    double in = 50, flowm, sump, ratio;
    int64_t side = 0;
    label(key("XIF_HXBZMF", 0, 0));
    XIF_HXBZMF(svec.data(), &spare, &side, &in, &flowm, &sump, &ratio);
}

// Every routine: wide, with every selector (clipped ones too), NVAL and the setters; narrow,
// side 0, phases 1..6, bases 0 and 1. The stream vector is restored at the end.
void each_call(bool wide) {
    using V = std::vector<int64_t>;
    const std::vector<double> kept = svec;
    const int64_t first = wide ? 0 : 1, last = wide ? 7 : 6;
    for (const auto& [name, routine] : kCommon)
        for (int64_t side : wide ? V{0, 1, -1} : V{0})
            for (int64_t phase = first; phase <= last; ++phase)
                for (int64_t basis : wide ? V{0, 1, 2, 5} : V{0, 1})
                    call(routine, name, phase, basis, side);
    host().log.clear();
    for (int64_t side : wide ? V{0, 1} : V{0})
        for (int64_t phase = first; phase <= last; ++phase)
            for (int64_t basis : wide ? V{0, 1, 3} : V{0, 1})
                for (int64_t nval : wide ? V{-1, 0, 4, 8} : V{kNc})
                    cmp(phase, basis, nval, side);
    double values[8];
    for (int64_t code = 0; wide && code <= 9; ++code)
        for (int64_t nval : {0, 4}) {
            label("XIF_HXBCPROP code " + std::to_string(code));
            XIF_HXBCPROP(&spare, &spare, &spare, &code, values, &nval);
        }
    const double in = 2.5;
    label("setters");
    for (auto* set : {XIF_HXBZTP, XIF_HXBZPR, XIF_HXBZNT, XIF_HXBZVF})
        wide ? set(svec.data(), &spare, &spare, &in) : void();
    rescale();
    svec = kept;
}

// The wide sweep, then every flash type, side, point and point update, each followed by the
// narrow sweep.
void everything() {
    each_call(true);
    for (int64_t type = 1; type <= 6; ++type)
        for (int64_t side : {0, 1, 4})
            for (int64_t point : {0, 2, -1}) {
                const bool kept = XIF_HXIPP.word[XIF_IPP_RETENTION - 1] != 0;
                flash(side == 4 && kept ? 0 : side, point, type, type % 2);
                each_call(false);
            }
}

using Change = void (*)();

// Each input of docs/robustness.md on the valid host: the calls that raise a trapping exception
// with traps masked are exactly those listed there, a trap stops the first of them, and where
// the list names the exception, it is the one raised. Valid input is swept through everything.
TEST(FpTrap, TrapsExactlyWhereDocumented) {
    const bool g = signalling_compares();
    const int gi = g ? FE_INVALID : 0;
    static constexpr Change nan_missing = [] { XIF_HXRMSS.word[0] = kNaN; };
    static constexpr Change subset_of_2 = [] { host().eq.k1[0] = 1, host().eq.k1[1] = 2e8; };
    static constexpr Change tiny_volumes = [] { answers(1e-310, {"EVAL_VOLL", "EVAL_VOLV"}); };
    static constexpr auto vapour_pressures = [](double v) {
        for (auto& [j, p] : host().ln_p)
            p = v;
    };
    static constexpr auto phases = [](double vf, double b) { host().eq.vf = vf, host().eq.b = b; };
    const Calls none, zmf = calls({"XIF_HXBZMF"}, {0}, {0});
    const Calls nth_0 = calls({"XIF_HXBNTH"}, {1}, {0}), nth_1 = calls({"XIF_HXBNTH"}, {1}, {1});
    const Calls fls_0 = calls({"XIF_HXBFLS"}, {0}, {2}), fls_2 = calls({"XIF_HXBFLS"}, {2}, {3});
    const Calls dns = calls({"XIF_HXBDNS"}, {1, 2, 3, 4, 5, 6}, {0, 1});
    const Calls qfl = calls({"XIF_HXBQFL"}, {2, 3, 4, 5, 6}, {0, 1});
    const Calls thv = calls({"XIF_HXBTHV"}, {1, 3, 4, 5}, {0, 1});
    const Calls flows = calls({"XIF_HXBMFL"}, {1, 2, 3, 4, 5, 6}, {0, 1}) + qfl;
    // Every mass-basis fraction of a phase strictly between 0 and 1, and the whole stream's mass
    // fractions, divide by SVEC(NC+9).
    const Calls mass_fractions =
        calls({"XIF_HXBFRC", "XIF_HXBMWT", "XIF_HXBMFL", "XIF_HXBNTH"}, {2, 3, 4, 5, 6}, {1}) +
        calls({"XIF_HXBCPP", "XIF_HXBNTR", "XIF_HXBVOL", "XIF_HXBDNS", "XIF_HXBCMP"},
              {1, 2, 3, 4, 5, 6}, {1}) +
        calls({"XIF_HXBTHV"}, {1, 3, 4, 5}, {1});
    // Each phase whose value is divided by its stored weight, and the mixtures of it.
    const Calls phase_weights =
        calls({"XIF_HXBNTH"}, {2, 3, 4}, {1}) + calls({"XIF_HXBTHV"}, {1, 3, 4}, {1}) +
        calls({"XIF_HXBCPP", "XIF_HXBNTR", "XIF_HXBVOL", "XIF_HXBDNS"}, {1, 2, 3, 4}, {1}) +
        calls({"XIF_HXBCMP"}, {2, 4}, {1});
    struct Input {
        const char* what;
        bool before_flash; // else after it
        Change set;
        Calls expected;
        Change body = [] { each_call(false); };
        int raised = -1; // the exceptions, where listed
    };
    // clang-format off
    // Valid input, set before the flash and swept through everything: nothing traps.
    const std::pair<const char*, Change> valid[] = {
        {"three phases", [] {}},
        {"all vapour", [] { phases(1.0, 1.0); }},
        {"first liquid only", [] { phases(0.0, 1.0); }},
        {"second liquid only", [] { phases(0.0, 0.0); }},
        {"vapour and first liquid", [] { phases(0.5, 1.0); }},
        {"both liquids below the trace", [] { phases(1.0 - 1.5e-10, 0.5); }},
        {"phases not wanted", [] { for (int64_t s : {2, 3, 5}) set_block_int(RIG_HXPKV, s, -1); }},
        {"pure-water first liquid with the water rule", [] {
             XIF_HXIPP.word[XIF_IPP_WATER_SWITCH - 1] = 1;
             XIF_HXIPP.word[XIF_IPP_WATER_SWITCH + XIF_IPP_SIDE - 1] = 1;
             host().water_position = 3, host().eq.x1 = {0, 0, 1, 0}; }},
        {"no vapour-subset component", [] { host().eq.k1[0] = 1; }},
        {"subset listed by identifier", [] {
             XIF_HXIPP.word[1] = 77, host().subset_list = at::kSubsetList;
             set_plex_int(at::kSubsetList, 1);
             set_plex_int(at::kSubsetList + 1, plex_int(at::kIds + 3));
             set_plex_int(at::kSubsetList + 2, plex_int(at::kIds + 4)); }},
        {"host answers zero", [] { answers(0.0); }},
        {"host answers the missing value; vapour pressures clipped before the exponential", [] {
             answers(kMissing), vapour_pressures(500.0);
             host().tot_flow = host().tot_mass = host().tot_enth = kMissing; }},
        {"monitor error codes", [] {
             for (const char* m : {"EVAL_VISCL", "EVAL_VISCV", "EVAL_SRFTEN", "EVAL_VOLL"})
                 host().error[m] = 7; }},
        {"failed flash, retained slots", [] {
             XIF_HXIPP.word[XIF_IPP_RETENTION - 1] = 1, host().flash_status = 4;
             XIF_HXRPP.word[1] = 250.0, XIF_HXRPP.word[4] = 260.0; }},
        {"blocks as loaded: missing and smallest value 0",
         [] { XIF_HXRMSS.word[0] = XIF_HXRMIN.word[0] = 0.0; }},
        {"component molecular weights 0: absent on the mass basis",
         [] { for (int64_t j = 1; j <= kNc; ++j) set_plex_real(at::kMw + j, 0.0); }},
    };
    const Input inputs[] = {
        // Divisions by what the caller or the host supplies.
        {"SVEC(NC+9) 0", false, [] { svec[kNc + 8] = 0; }, mass_fractions + zmf},
        {"SVEC(NC+9) 0, rescaling: then inf * 0", false, [] { svec[kNc + 8] = 0; }, zmf, rescale,
         FE_DIVBYZERO | FE_INVALID},
        {"SVEC(NC+1) 0", false, [] { svec[kNc] = 0; }, zmf},
        {"host total molar flow 0", false, [] { host().tot_flow = 0; }, nth_0},
        {"host total molar flow and enthalpy 0: 0/0", false,
         [] { host().tot_flow = host().tot_enth = 0; }, nth_0,
         [] { call(XIF_HXBNTH, "XIF_HXBNTH", 1); }, FE_INVALID},
        {"host total mass flow 0", false, [] { host().tot_mass = 0; }, nth_1},
        {"vapour and first-liquid molecular weights 0", true,
         [] { host().eq.per_phase[12] = host().eq.per_phase[14] = 0; }, phase_weights},
        {"subset component not among NVAL 1: 0/0", true, subset_of_2,
         calls({"XIF_HXBCMP"}, {6}, {0}), [] { cmp(6, 0, 1); }, FE_INVALID},
        {"subset of NVAL 0: nothing divided", true, subset_of_2, none, [] { cmp(6, 0, 0); }},
        {"a volume below 1/DBL_MAX, XIF_HXRMIN(1) 0", false,
         [] { tiny_volumes(), XIF_HXRMIN.word[0] = 0; }, dns},
        {"the same volume, XIF_HXRMIN(1) above it", false, tiny_volumes, none},
        {"infinite subset vapour fraction: inf/inf", true, [] { host().eq.y[0] = kInf; }, fls_0,
         [] { flash(); }, FE_INVALID},
        {"subset vapour fractions beyond DBL_MAX", true,
         [] { host().eq.y[0] = host().eq.y[1] = DBL_MAX, host().eq.k1[1] = 2e8; }, fls_0,
         [] { flash(); }, FE_OVERFLOW},
        {"monitor answers near DBL_MAX, times a flow", false, [] { answers(DBL_MAX); }, qfl},
        {"pure-component enthalpies near DBL_MAX of opposite sign", false, [] {
             for (int64_t j = 1; j <= kNc; ++j)
                 host().h_vapour[j] = DBL_MAX, host().h_liquid[j] = -DBL_MAX; }, thv},
        // A NaN from the host, or in a sentinel word, traps only where compared.
        {"monitor answers NaN", false, [] { answers(kNaN); }, g ? dns : none},
        {"vapour pressures NaN", false, [] { vapour_pressures(kNaN); }, g ? thv : none},
        {"host stream totals NaN", false,
         [] { host().tot_flow = host().tot_mass = host().tot_enth = kNaN; }, g ? flows : none},
        {"flash vapour fraction NaN", true, [] { host().eq.vf = kNaN; }, g ? fls_0 : none,
         [] { flash(); }, gi},
        {"flash first-liquid share NaN", true, [] { host().eq.b = kNaN; }, g ? fls_0 : none,
         [] { flash(); }, gi},
        {"XIF_HXRMSS(1) NaN", false, nan_missing, g ? flows + dns : none},
        // Compared in the one-shot temperature estimate, at point 2 of types 1 and 3 only.
        {"XIF_HXRMSS(1) NaN, P-vf point 2", false, nan_missing, g ? fls_2 : none,
         [] { flash(0, 2, 3); }, gi},
        {"XIF_HXRMSS(1) NaN, P-vf point 0", false, nan_missing, none, [] { flash(0, 0, 3); }},
        {"XIF_HXRMSS(1) NaN, T-P point 2", false, nan_missing, none, [] { flash(0, 2, 2); }},
        // Quiet comparisons put every subset fraction below it: 0/0.
        {"XIF_HXRMIN(1) NaN", false, [] { XIF_HXRMIN.word[0] = kNaN; },
         g ? dns + calls({"XIF_HXBCMP"}, {1, 2, 3, 4, 5, 6}, {0, 1})
           : calls({"XIF_HXBCMP"}, {6}, {0, 1})},
    };
    // clang-format on
    auto check = [](const Input& in) {
        SCOPED_TRACE(in.what);
        valid_host();
        if (in.before_flash) in.set();
        ASSERT_EQ(flash(), host().flash_status);
        if (!in.before_flash) in.set();
        Outcome o;
        run(in.body, o);
        EXPECT_EQ(o.raising, in.expected);
        EXPECT_TRUE(!o.trapped || in.expected.count(o.at.substr(0, o.at.find(" side")))) << o.at;
        EXPECT_TRUE(in.raised < 0 || o.raised == in.raised) << o.raised;
    };
    for (const auto& [what, set] : valid)
        check({what, true, set, {}, everything});
    for (const Input& in : inputs)
        check(in);
}

TEST(FpTrap, AHostNaNThatIsNotComparedReachesTheValue) {
    valid_host();
    flash();
    host().answer["EVAL_VISCV"][4] = host().answer["EVAL_VISCL"][2] = host().tot_enth = kNaN;
    EXPECT_TRUE(std::isnan(call(XIF_HXBVIS, "XIF_HXBVIS", 2)));
    EXPECT_TRUE(std::isnan(call(XIF_HXBVIS, "XIF_HXBVIS", 1)));
    EXPECT_TRUE(std::isnan(call(XIF_HXBNTH, "XIF_HXBNTH", 1)));
    // Where it is compared and does not trap, the answer is the missing value.
    host().answer["EVAL_VOLV"][4] = kNaN;
    EXPECT_TRUE(signalling_compares() || call(XIF_HXBDNS, "XIF_HXBDNS", 2) == kMissing);
}

// The trap mask itself is checked by every child of run().
TEST(FpTrap, HostEnvironmentIsLeftAsFoundAndAsTheHostSetsIt) {
    valid_host();
    flash();
    // Flags and rounding that the host set before calling stay set.
    std::feclearexcept(FE_ALL_EXCEPT);
    std::feraiseexcept(FE_UNDERFLOW | FE_INEXACT);
    ASSERT_EQ(std::fesetround(FE_DOWNWARD), 0);
    each_call(true);
    EXPECT_EQ(std::fegetround(), FE_DOWNWARD);
    EXPECT_EQ(std::fetestexcept(FE_UNDERFLOW), FE_UNDERFLOW);
    // What the host changes inside its own routines is not undone.
    host().on_call = [](const char* name) {
        if (std::strcmp(name, "EVAL_VISCV") == 0) std::fesetround(FE_UPWARD);
    };
    call(XIF_HXBVIS, "XIF_HXBVIS", 2);
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    std::fesetround(FE_TONEAREST), host().on_call = nullptr, std::feclearexcept(FE_ALL_EXCEPT);
}

} // namespace
} // namespace xif::test
