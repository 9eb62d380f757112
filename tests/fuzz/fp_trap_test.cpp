// Floating-point traps: libxif on the scripted host with invalid,
// division-by-zero and overflow trapping on, as a Fortran host may run.
// Valid input never traps; the inputs listed in docs/robustness.md trap
// exactly where the interface's own arithmetic meets them; a NaN handed in
// by the host traps only where the library compares it, and only with a
// compiler whose ordered comparisons signal; xif leaves the host's
// floating-point environment as it finds it.
#include "scripted_host.h"

#include <xif/xif.h>

#include <gtest/gtest.h>

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
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
const double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMissing = 1e35;

using Routine = void (*)(double*, void*, int64_t*, int64_t*, int64_t*, double*, int64_t*);
struct Named {
    const char* name;
    Routine routine;
};
const Named kCommon[] = {
    {"XIF_HXBNCP", XIF_HXBNCP}, {"XIF_HXBTMP", XIF_HXBTMP}, {"XIF_HXBPRS", XIF_HXBPRS},
    {"XIF_HXBFRC", XIF_HXBFRC}, {"XIF_HXBMWT", XIF_HXBMWT}, {"XIF_HXBMFL", XIF_HXBMFL},
    {"XIF_HXBNTH", XIF_HXBNTH}, {"XIF_HXBCPP", XIF_HXBCPP}, {"XIF_HXBNTR", XIF_HXBNTR},
    {"XIF_HXBQFL", XIF_HXBQFL}, {"XIF_HXBVOL", XIF_HXBVOL}, {"XIF_HXBDNS", XIF_HXBDNS},
    {"XIF_HXBTMC", XIF_HXBTMC}, {"XIF_HXBPRC", XIF_HXBPRC}, {"XIF_HXBVIS", XIF_HXBVIS},
    {"XIF_HXBTHC", XIF_HXBTHC}, {"XIF_HXBSFT", XIF_HXBSFT}, {"XIF_HXBDIF", XIF_HXBDIF},
    {"XIF_HXBTHV", XIF_HXBTHV},
};

// Whether an ordered comparison of a NaN raises the invalid exception in
// code built by this compiler, the one that built libxif: g++ compares
// with signalling instructions, clang with quiet ones.
__attribute__((noinline)) bool greater(double a, double b) {
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

// ---- Running with traps on ----

char where[160]; // the call in progress, reported by the trap handler
int report_fd = -1;

void on_trap(int) {
    const ssize_t n = write(report_fd, where, std::strlen(where));
    (void)n;
    _exit(kTrapExit);
}

void label(const char* routine, int64_t side, int64_t phase, int64_t basis) {
    std::snprintf(where, sizeof where, "%s %lld/%lld side %lld", routine,
                  static_cast<long long>(phase), static_cast<long long>(basis),
                  static_cast<long long>(side));
}

struct Outcome {
    bool trapped = false;
    std::string at; // the call that trapped
    int raised = 0; // the same calls with traps off: exceptions raised
};

// Runs body in a child with the traps enabled, then in this process with
// them masked. Both runs must agree on whether a trapping exception occurs.
template <class Body> Outcome run(Body body) {
    Outcome o;
    int fds[2];
    if (pipe(fds) != 0) {
        ADD_FAILURE() << "pipe";
        return o;
    }
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        report_fd = fds[1];
        std::signal(SIGFPE, on_trap);
        std::feclearexcept(FE_ALL_EXCEPT);
        feenableexcept(kTraps);
        body();
        // A library that switched the traps off would hide the host's setting.
        _exit(fegetexcept() == kTraps ? 0 : 3);
    }
    close(fds[1]);
    char buf[256];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        o.at.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    o.trapped = WIFEXITED(status) && WEXITSTATUS(status) == kTrapExit;
    EXPECT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == 0 || o.trapped))
        << "child status " << status;

    std::feclearexcept(FE_ALL_EXCEPT);
    body();
    o.raised = std::fetestexcept(kTraps);
    std::feclearexcept(FE_ALL_EXCEPT);
    EXPECT_EQ(o.trapped, o.raised != 0) << "trap and flags disagree: " << o.at;
    return o;
}

// ---- Streams ----

class FpTrapTest : public ::testing::Test {
  public: // the trapping inputs below reach the stream from outside
    static constexpr int64_t kNc = 4;
    std::vector<double> svec;
    int64_t spare = 0;

    void SetUp() override { valid_host(); }

    // Four components (molecular weights 10..40), every monitor answering a
    // finite value, and the equilibrium of a three-phase flash; component 1
    // is marked for the vapour subset.
    void valid_host() {
        host().reset(kNc);
        std::memset(&XIF_HXSBD, 0, sizeof XIF_HXSBD);
        std::memset(&XIF_HXRPP, 0, sizeof XIF_HXRPP);
        std::memset(&XIF_HXIPP, 0, sizeof XIF_HXIPP);
        XIF_HXIPP.word[XIF_IPP_SLOT_INT - 1] = at::kSlotInts;
        XIF_HXIPP.word[XIF_IPP_SLOT_REAL - 1] = at::kSlotReals;
        XIF_HXRMSS.word[0] = kMissing;
        XIF_HXRMIN.word[0] = 1e-30;
        svec = {1, 2, 3, 4, 10, 300, 1e5, -1e6, 0.3, 0, 0, 0, 25};
        int v = 1;
        for (const char* m :
             {"EVAL_VISCL", "EVAL_VISCV", "EVAL_TCONL", "EVAL_TCONV", "EVAL_DIFCOL", "EVAL_DIFCOV",
              "EVAL_SRFTEN", "EVAL_VOLL", "EVAL_VOLV", "EVAL_ENTHL", "EVAL_ENTHV", "EVAL_ENTHL/cp",
              "EVAL_ENTHV/cp", "EVAL_VMTHRM", "EVAL_LMTHMY"})
            for (int64_t s = 0; s <= 5; ++s)
                host().answer[m][s] = 0.01 * v++;
        for (int64_t j = 1; j <= kNc; ++j) {
            host().ln_p[j] = std::log(1e4 * static_cast<double>(j));
            host().h_vapour[j] = 1e6 * static_cast<double>(j);
            host().h_liquid[j] = -3e7 * static_cast<double>(j);
            set_plex_real(at::kStdVolume + j, 0.02 * static_cast<double>(j));
        }
        host().tot_flow = 10, host().tot_mass = 250, host().tot_enth = -1e7;
        host().crit_t = 500, host().crit_p = 4e6;
        const char* names[] = {"MW", "PC", "TC", "VLSTD", "TB", "OMEGA", "MUP"};
        for (int64_t k = 0; k < 7; ++k)
            host().param_offset[names[k]] = at::kParams + 100 * k;
        Equilibrium& eq = host().eq;
        eq.components = {1, 2, 3, 4};
        eq.T = 310, eq.P = 2e5, eq.vf = 0.3, eq.b = 0.6;
        eq.z = {0.1, 0.2, 0.3, 0.4};
        eq.x = {0.0, 0.2, 0.3, 0.5};
        eq.x1 = {0.0, 0.4, 0.6, 0.0};
        eq.x2 = {0.0, 0.0, 0.0, 1.0};
        eq.y = {0.5, 0.3, 0.2, 0.0};
        eq.k1 = {2e8, 1, 1, 1};
        eq.k2 = {1, 1, 1, 1};
        eq.per_phase = {};
        eq.per_phase[12] = 17, eq.per_phase[13] = 30, eq.per_phase[14] = 26, eq.per_phase[15] = 40;
    }

    int64_t flash(int64_t side = 0, int64_t point = 0, int64_t type = 2, int64_t update = 0) {
        int64_t ierr = 0;
        std::snprintf(where, sizeof where, "XIF_HXBFLS side %lld point %lld type %lld",
                      static_cast<long long>(side), static_cast<long long>(point),
                      static_cast<long long>(type));
        XIF_HXBFLS(svec.data(), &spare, &side, &point, &type, &update, &ierr);
        return ierr;
    }

    double call(Routine r, const char* name, int64_t side, int64_t phase, int64_t basis,
                int64_t* ierr = nullptr) {
        double value = 0;
        int64_t e = 0;
        label(name, side, phase, basis);
        r(svec.data(), &spare, &side, &phase, &basis, &value, ierr ? ierr : &e);
        return value;
    }

    // Every routine with every selector, valid or clipped (or, after a
    // flash, the valid ones only); the stream vector's own values are
    // restored after the setters and the rescaling.
    void every_routine(bool clipped = true) {
        const std::vector<double> kept = svec;
        const std::vector<int64_t> sides =
            clipped ? std::vector<int64_t>{0, 1, -1} : std::vector<int64_t>{0};
        const std::vector<int64_t> bases =
            clipped ? std::vector<int64_t>{0, 1, 2, 5} : std::vector<int64_t>{0, 1};
        for (const Named& n : kCommon)
            for (int64_t side : sides)
                for (int64_t phase = clipped ? 0 : 1; phase <= (clipped ? 7 : 6); ++phase)
                    for (int64_t basis : bases)
                        call(n.routine, n.name, side, phase, basis);
        host().log.clear();
        double values[8];
        for (int64_t side : {0, 1})
            for (int64_t phase = 0; phase <= 7; ++phase)
                for (int64_t basis : {0, 1, 3})
                    for (int64_t nval : {-1, 0, 4, 8}) {
                        int64_t ierr;
                        label("XIF_HXBCMP", side, phase, basis);
                        XIF_HXBCMP(svec.data(), &spare, &side, &phase, &basis, values, &nval,
                                   &ierr);
                    }
        for (int64_t code = 0; code <= 9; ++code)
            for (int64_t nval : {0, 4}) {
                std::snprintf(where, sizeof where, "XIF_HXBCPROP code %lld",
                              static_cast<long long>(code));
                XIF_HXBCPROP(&spare, &spare, &spare, &code, values, &nval);
            }
        const double in = 2.5;
        label("setters", 0, 0, 0);
        for (auto* set : {XIF_HXBZTP, XIF_HXBZPR, XIF_HXBZNT, XIF_HXBZVF})
            set(svec.data(), &spare, &spare, &in);
        double flowm, sump, ratio;
        int64_t side = 0;
        label("XIF_HXBZMF", 0, 0, 0);
        XIF_HXBZMF(svec.data(), &spare, &side, &in, &flowm, &sump, &ratio);
        svec = kept;
    }

    // Every flash type, side, point and point update, each followed by
    // every routine on the records it left.
    void every_flash() {
        for (int64_t type = 1; type <= 6; ++type)
            for (int64_t side : {0, 1, 4})
                for (int64_t point : {0, 2, -1}) {
                    flash(side == 4 && XIF_HXIPP.word[XIF_IPP_RETENTION - 1] != 0 ? 0 : side, point,
                          type, type % 2);
                    every_routine(false);
                }
    }
};

// ---- Valid input never traps ----

TEST_F(FpTrapTest, ValidStreamsNeverTrap) {
    struct Stream {
        const char* what;
        double vf, b;
    };
    // Three phases; all vapour; all liquid in either liquid; one liquid
    // gone; a total liquid whose two liquids both round to nothing.
    for (const Stream s :
         {Stream{"three phases", 0.3, 0.6}, Stream{"all vapour", 1.0, 1.0},
          Stream{"first liquid only", 0.0, 1.0}, Stream{"second liquid only", 0.0, 0.0},
          Stream{"vapour and first liquid", 0.5, 1.0},
          Stream{"liquids below the trace", 1.0 - 1.5e-10, 0.5}}) {
        SCOPED_TRACE(s.what);
        valid_host();
        host().eq.vf = s.vf, host().eq.b = s.b;
        ASSERT_EQ(flash(), 1);
        const Outcome o = run([&] {
            every_routine();
            every_flash();
        });
        EXPECT_FALSE(o.trapped) << o.at;
    }
}

TEST_F(FpTrapTest, ValidOptionsAndHostAnswersNeverTrap) {
    struct Variant {
        const char* what;
        void (*apply)(FpTrapTest&);
    };
    const Variant variants[] = {
        {"phases not wanted",
         [](FpTrapTest&) {
             for (int64_t s : {2, 3, 5})
                 set_block_int(RIG_HXPKV, s, -1);
         }},
        {"pure-water first liquid with the water rule",
         [](FpTrapTest&) {
             XIF_HXIPP.word[XIF_IPP_WATER_SWITCH - 1] = 1;
             XIF_HXIPP.word[XIF_IPP_WATER_SWITCH + XIF_IPP_SIDE - 1] = 1;
             host().water_position = 3;
             host().eq.x1 = {0, 0, 1, 0};
         }},
        {"no vapour-subset component",
         [](FpTrapTest&) {
             host().eq.k1 = {1, 1, 1, 1};
         }},
        {"subset listed by identifier",
         [](FpTrapTest&) {
             XIF_HXIPP.word[1] = 77;
             host().subset_list = at::kSubsetList;
             set_plex_int(at::kSubsetList, 1);
             set_plex_int(at::kSubsetList + 1, plex_int(at::kIds + 3));
             set_plex_int(at::kSubsetList + 2, plex_int(at::kIds + 4));
         }},
        {"host answers zero",
         [](FpTrapTest&) {
             for (auto& [name, slots] : host().answer)
                 for (auto& [slot, v] : slots)
                     v = 0.0;
         }},
        {"host answers the missing value",
         [](FpTrapTest&) {
             for (auto& [name, slots] : host().answer)
                 for (auto& [slot, v] : slots)
                     v = kMissing;
             host().tot_flow = host().tot_mass = host().tot_enth = kMissing;
             for (auto& [j, v] : host().ln_p)
                 v = 500.0; // clipped before the exponential
         }},
        {"monitor error codes",
         [](FpTrapTest&) {
             for (const char* m : {"EVAL_VISCL", "EVAL_VISCV", "EVAL_SRFTEN", "EVAL_VOLL"})
                 host().error[m] = 7;
         }},
        {"failed flash, retained slots",
         [](FpTrapTest&) {
             XIF_HXIPP.word[XIF_IPP_RETENTION - 1] = 1;
             host().flash_status = 4;
             XIF_HXRPP.word[1] = 250.0;
             XIF_HXRPP.word[4] = 260.0;
         }},
        {"blocks as loaded: missing value and smallest value 0",
         [](FpTrapTest&) { XIF_HXRMSS.word[0] = 0.0, XIF_HXRMIN.word[0] = 0.0; }},
        {"zero component molecular weights",
         [](FpTrapTest&) {
             for (int64_t j = 1; j <= kNc; ++j)
                 set_plex_real(at::kMw + j, 0.0);
         }},
    };
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.what);
        valid_host();
        v.apply(*this);
        flash();
        const Outcome o = run([&] {
            every_routine();
            every_flash();
        });
        EXPECT_FALSE(o.trapped) << o.at;
    }
}

// ---- Documented trapping inputs ----

// A call of a property routine, "XIF_HXBNTH 2/1" for phase 2 on basis 1.
using Calls = std::set<std::string>;
std::string key(const std::string& name, int64_t phase, int64_t basis) {
    return name + " " + std::to_string(phase) + "/" + std::to_string(basis);
}
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

// The routines that take a phase fraction on the caller's basis, so that
// IBASIS 1 divides by SVEC(NC+9), and those that divide a phase's value by
// the phase's stored molecular weight on IBASIS 1.
const Calls kMassFractionCalls =
    calls({"XIF_HXBFRC", "XIF_HXBMWT", "XIF_HXBMFL", "XIF_HXBNTH"}, {2, 3, 4, 5, 6}, {1}) +
    calls({"XIF_HXBCPP", "XIF_HXBNTR", "XIF_HXBVOL", "XIF_HXBDNS", "XIF_HXBCMP"},
          {1, 2, 3, 4, 5, 6}, {1}) +
    calls({"XIF_HXBTHV"}, {1, 3, 4, 5}, {1});
const Calls kVapourAndFirstLiquidWeightCalls =
    calls({"XIF_HXBNTH"}, {2, 3, 4}, {1}) +
    calls({"XIF_HXBCPP", "XIF_HXBNTR", "XIF_HXBVOL", "XIF_HXBDNS"}, {1, 2, 3, 4}, {1}) +
    calls({"XIF_HXBTHV"}, {1, 3, 4}, {1}) + calls({"XIF_HXBCMP"}, {2, 4}, {1});

class TrapSetTest : public FpTrapTest {
  protected:
    // Every property routine on phases 1..6 and bases 0 and 1, the
    // component fractions (NVAL 4) and the rescaling, each followed by
    // after(the call's key).
    template <class After> void each_call(After after) {
        for (const Named& n : kCommon)
            for (int64_t phase = 1; phase <= 6; ++phase)
                for (int64_t basis : {0, 1}) {
                    call(n.routine, n.name, 0, phase, basis);
                    after(key(n.name, phase, basis));
                }
        double values[kNc];
        for (int64_t phase = 1; phase <= 6; ++phase)
            for (int64_t basis : {0, 1}) {
                int64_t side = 0, p = phase, b = basis, nval = kNc, ierr;
                label("XIF_HXBCMP", side, phase, basis);
                XIF_HXBCMP(svec.data(), &spare, &side, &p, &b, values, &nval, &ierr);
                after(key("XIF_HXBCMP", phase, basis));
            }
        const std::vector<double> kept = svec;
        const double in = 50;
        double flowm, sump, ratio;
        int64_t side = 0;
        label("XIF_HXBZMF", 0, 0, 0);
        XIF_HXBZMF(svec.data(), &spare, &side, &in, &flowm, &sump, &ratio);
        after(key("XIF_HXBZMF", 0, 0));
        svec = kept;
    }

    // The calls that raise a trapping exception, with traps masked.
    Calls trapping_calls() {
        Calls out;
        std::feclearexcept(FE_ALL_EXCEPT);
        each_call([&](const std::string& k) {
            if (std::fetestexcept(kTraps)) out.insert(k);
            std::feclearexcept(FE_ALL_EXCEPT);
        });
        return out;
    }
};

// Each input of the list in docs/robustness.md traps in exactly the calls
// listed there, with the traps on as with them masked.
TEST_F(TrapSetTest, TrapsExactlyOnTheDocumentedInputs) {
    const bool signals = signalling_compares();
    const double nan = kNaN;
    struct Input {
        const char* what;
        std::function<void(FpTrapTest&)> before_flash, after_flash;
        Calls expected;
    };
    auto nothing = [](FpTrapTest&) {};
    const Input inputs[] = {
        {"the stream's molecular weight SVEC(NC+9) is 0", nothing,
         [](FpTrapTest& t) { t.svec[kNc + 8] = 0; },
         kMassFractionCalls + Calls{key("XIF_HXBZMF", 0, 0)}},
        {"the stream's total flow SVEC(NC+1) is 0",
         nothing,
         [](FpTrapTest& t) { t.svec[kNc] = 0; },
         {key("XIF_HXBZMF", 0, 0)}},
        {"the host's total molar flow is 0",
         nothing,
         [](FpTrapTest&) { host().tot_flow = 0; },
         {key("XIF_HXBNTH", 1, 0)}},
        {"the host's total mass flow is 0",
         nothing,
         [](FpTrapTest&) { host().tot_mass = 0; },
         {key("XIF_HXBNTH", 1, 1)}},
        {"vapour and first-liquid molecular weights are 0",
         [](FpTrapTest&) { host().eq.per_phase[12] = host().eq.per_phase[14] = 0; }, nothing,
         kVapourAndFirstLiquidWeightCalls},
        {"a volume below 1/DBL_MAX with XIF_HXRMIN(1) at 0", nothing,
         [](FpTrapTest&) {
             for (const char* m : {"EVAL_VOLL", "EVAL_VOLV"})
                 for (auto& [slot, v] : host().answer[m])
                     v = 1e-310;
             XIF_HXRMIN.word[0] = 0;
         },
         calls({"XIF_HXBDNS"}, {1, 2, 3, 4, 5, 6}, {0, 1})},
        {"the same volume with XIF_HXRMIN(1) above it",
         nothing,
         [](FpTrapTest&) {
             for (const char* m : {"EVAL_VOLL", "EVAL_VOLV"})
                 for (auto& [slot, v] : host().answer[m])
                     v = 1e-310;
         },
         {}},
        {"component molecular weights 0 (phases absent on the mass basis)",
         [](FpTrapTest&) {
             for (int64_t j = 1; j <= kNc; ++j)
                 set_plex_real(at::kMw + j, 0.0);
         },
         nothing,
         {}},
        {"total liquid present, both liquids below the trace",
         [](FpTrapTest&) { host().eq.vf = 1.0 - 1.5e-10, host().eq.b = 0.5; },
         nothing,
         {}},
        {"a monitor answer near DBL_MAX", nothing,
         [](FpTrapTest&) {
             for (auto& [name, slots] : host().answer)
                 for (auto& [slot, v] : slots)
                     v = DBL_MAX;
         },
         calls({"XIF_HXBQFL"}, {2, 3, 4, 5, 6}, {0, 1})}, // flow times enthalpy
        {"pure-component enthalpies near DBL_MAX of opposite sign", nothing,
         [](FpTrapTest&) {
             for (auto& [j, v] : host().h_vapour)
                 v = DBL_MAX;
             for (auto& [j, v] : host().h_liquid)
                 v = -DBL_MAX;
         },
         calls({"XIF_HXBTHV"}, {1, 3, 4, 5}, {0, 1})},
        // A NaN from the host traps only where the library compares it.
        {"every monitor answers NaN", nothing,
         [nan](FpTrapTest&) {
             for (auto& [name, slots] : host().answer)
                 for (auto& [slot, v] : slots)
                     v = nan;
         },
         signals ? calls({"XIF_HXBDNS"}, {1, 2, 3, 4, 5, 6}, {0, 1}) : Calls{}},
        {"every vapour pressure is NaN", nothing,
         [nan](FpTrapTest&) {
             for (auto& [j, v] : host().ln_p)
                 v = nan;
         },
         signals ? calls({"XIF_HXBTHV"}, {1, 3, 4, 5}, {0, 1}) : Calls{}},
        {"the host's stream totals are NaN", nothing,
         [nan](FpTrapTest&) { host().tot_flow = host().tot_mass = host().tot_enth = nan; },
         signals ? calls({"XIF_HXBMFL"}, {1, 2, 3, 4, 5, 6}, {0, 1}) +
                       calls({"XIF_HXBQFL"}, {2, 3, 4, 5, 6}, {0, 1})
                 : Calls{}},
        // The two sentinel words are bounds that the library compares with.
        {"XIF_HXRMSS(1) is NaN", nothing, [nan](FpTrapTest&) { XIF_HXRMSS.word[0] = nan; },
         signals ? calls({"XIF_HXBMFL", "XIF_HXBDNS"}, {1, 2, 3, 4, 5, 6}, {0, 1}) +
                       calls({"XIF_HXBQFL"}, {2, 3, 4, 5, 6}, {0, 1})
                 : Calls{}},
        {"XIF_HXRMIN(1) is NaN", nothing, [nan](FpTrapTest&) { XIF_HXRMIN.word[0] = nan; },
         // Without signalling comparisons every subset fraction falls below
         // it and the subset's renormalisation is 0/0.
         signals ? calls({"XIF_HXBDNS", "XIF_HXBCMP"}, {1, 2, 3, 4, 5, 6}, {0, 1})
                 : calls({"XIF_HXBCMP"}, {6}, {0, 1})},
    };
    for (const Input& in : inputs) {
        SCOPED_TRACE(in.what);
        valid_host();
        in.before_flash(*this);
        ASSERT_EQ(flash(), 1);
        in.after_flash(*this);
        EXPECT_EQ(trapping_calls(), in.expected);
        const Outcome o = run([this] { each_call([](const std::string&) {}); });
        EXPECT_EQ(o.trapped, !in.expected.empty());
        // The trap stops the first of the expected calls.
        if (o.trapped) {
            EXPECT_EQ(in.expected.count(o.at.substr(0, o.at.find(" side"))), 1u) << o.at;
        }
    }
}

TEST_F(FpTrapTest, VapourSubsetWithNoQualifyingComponentTraps) {
    // Component 2 qualifies for the subset, so the subset is present; the
    // first NVAL entries hold no qualifying one: 0/0.
    host().eq.k1 = {1, 2e8, 1, 1};
    flash();
    double values[4];
    auto subset = [&](int64_t nval) {
        return [&, nval] {
            int64_t side = 0, phase = 6, basis = 0, n = nval, ierr;
            label("XIF_HXBCMP", side, phase, basis);
            XIF_HXBCMP(svec.data(), &spare, &side, &phase, &basis, values, &n, &ierr);
        };
    };
    EXPECT_FALSE(run(subset(2)).trapped);
    EXPECT_FALSE(run(subset(0)).trapped) << "nothing divided";
    EXPECT_EQ(run(subset(1)).raised, FE_INVALID);
}

TEST_F(FpTrapTest, WholeStreamEnthalpyOfNoEnthalpyAndNoFlowIsZeroOverZero) {
    flash();
    host().tot_flow = host().tot_enth = 0.0;
    EXPECT_EQ(run([this] { call(XIF_HXBNTH, "XIF_HXBNTH", 0, 1, 0); }).raised, FE_INVALID);
}

TEST_F(FpTrapTest, RescalingOfAZeroStreamTrapsAtItsFirstDivision) {
    svec[kNc + 8] = 0.0;
    const double in = 50;
    double flowm = 0, sump = 0, ratio = 0;
    const Outcome o = run([&] {
        int64_t side = 0;
        label("XIF_HXBZMF", 0, 0, 0);
        XIF_HXBZMF(svec.data(), &spare, &side, &in, &flowm, &sump, &ratio);
    });
    // Masked, the infinite ratio then meets the zero parameter sum: inf * 0.
    EXPECT_EQ(o.raised, FE_DIVBYZERO | FE_INVALID);
    EXPECT_TRUE(std::isinf(flowm) && std::isinf(ratio) && std::isnan(sump));
}

// ---- Flash results that are not numbers ----

TEST_F(FpTrapTest, NonFiniteFlashResultsTrapWhileTheRecordsAreBuilt) {
    const bool signals = signalling_compares();
    EXPECT_FALSE(run([this] { flash(); }).trapped);
    // An infinite vapour fraction of a subset component: inf / inf.
    host().eq.y = {std::numeric_limits<double>::infinity(), 0.3, 0.2, 0.0};
    EXPECT_EQ(run([this] { flash(); }).raised, FE_INVALID);
    // Vapour mole fractions that sum beyond the largest double.
    valid_host();
    host().eq.y = {DBL_MAX, DBL_MAX, 0.2, 0.0};
    host().eq.k1 = {2e8, 2e8, 1, 1};
    EXPECT_EQ(run([this] { flash(); }).raised, FE_OVERFLOW);
    // A NaN vapour fraction or first-liquid share meets the clipping of the
    // phase fractions, an ordered comparison.
    valid_host();
    host().eq.vf = kNaN;
    EXPECT_EQ(run([this] { flash(); }).trapped, signals);
    valid_host();
    host().eq.b = kNaN;
    EXPECT_EQ(run([this] { flash(); }).trapped, signals);
    // A NaN missing value meets the test of the one-shot temperature
    // estimate, made only at point 2 for flash types 1 and 3.
    valid_host();
    XIF_HXRMSS.word[0] = kNaN;
    EXPECT_FALSE(run([this] { flash(0, 2, 2); }).trapped);
    EXPECT_FALSE(run([this] { flash(0, 0, 3); }).trapped);
    EXPECT_EQ(run([this] { flash(0, 2, 3); }).trapped, signals);
}

TEST_F(FpTrapTest, AHostNaNThatIsNotComparedReachesTheValue) {
    flash();
    host().answer["EVAL_VISCV"][4] = kNaN;
    host().answer["EVAL_VISCL"][2] = kNaN;
    host().tot_enth = kNaN;
    EXPECT_TRUE(std::isnan(call(XIF_HXBVIS, "XIF_HXBVIS", 0, 2, 0)));
    EXPECT_TRUE(std::isnan(call(XIF_HXBVIS, "XIF_HXBVIS", 0, 1, 0)));
    EXPECT_TRUE(std::isnan(call(XIF_HXBNTH, "XIF_HXBNTH", 0, 1, 0)));
    // Where it is compared and does not trap, the answer is the missing value.
    if (!signalling_compares()) {
        host().answer["EVAL_VOLV"][4] = kNaN;
        EXPECT_EQ(call(XIF_HXBDNS, "XIF_HXBDNS", 0, 2, 0), kMissing);
    }
}

// ---- The host's floating-point environment ----

TEST_F(FpTrapTest, HostEnvironmentIsLeftAsFoundAndAsTheHostSetsIt) {
    flash();
    // Flags and rounding that the host set before calling stay set.
    std::feclearexcept(FE_ALL_EXCEPT);
    std::feraiseexcept(FE_UNDERFLOW | FE_INEXACT);
    ASSERT_EQ(std::fesetround(FE_DOWNWARD), 0);
    every_routine();
    EXPECT_EQ(std::fegetround(), FE_DOWNWARD);
    EXPECT_EQ(std::fetestexcept(FE_UNDERFLOW), FE_UNDERFLOW);
    std::fesetround(FE_TONEAREST);
    // What the host changes inside its own routines is not undone.
    host().on_call = [](const char* name) {
        if (std::strcmp(name, "EVAL_VISCV") == 0) std::fesetround(FE_UPWARD);
    };
    call(XIF_HXBVIS, "XIF_HXBVIS", 0, 2, 0);
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    std::fesetround(FE_TONEAREST);
    host().on_call = nullptr;
    // The trap mask itself is checked by every child of run().
    EXPECT_FALSE(run([this] { every_routine(); }).trapped);
    std::feclearexcept(FE_ALL_EXCEPT);
}

} // namespace
} // namespace xif::test
