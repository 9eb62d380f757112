// Stream accessors and the phase fraction; then what every phase property
// routine shares: clipped selectors, absent phases, error codes, water rule.
#include "fixture.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace xif::test {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

class Accessors : public LibTest {};

TEST_F(Accessors, ComponentCountTemperaturePressureAndSetters) {
    start(7);
    double value = 0.0;
    int64_t ierr = 5, side = -9, phase = 99, basis = 42;
    XIF_HXBNCP(svec.data(), nullptr, &side, &phase, &basis, &value, &ierr);
    int64_t nc_read;
    std::memcpy(&nc_read, &value, sizeof nc_read); // an integer in the value's bytes
    EXPECT_EQ(nc_read, 7);
    EXPECT_EQ(ierr, 0);
    T() = 412.5;
    P() = 3.5e6;
    EXPECT_EQ(call(XIF_HXBTMP, 0, 1).value, 412.5);
    EXPECT_EQ(call(XIF_HXBPRS, 0, 1).value, 3.5e6);
    EXPECT_EQ(call(XIF_HXBPRS, 0, 1).ierr, 0);
    // Each setter writes its own element only, and asks the host nothing.
    const std::pair<void (*)(double*, void*, void*, const double*), int64_t> setters[] = {
        {XIF_HXBZTP, 2}, {XIF_HXBZPR, 3}, {XIF_HXBZNT, 4}, {XIF_HXBZVF, 5}};
    for (const auto& [setter, element] : setters) {
        const double v = 100.0 + static_cast<double>(element);
        std::vector<double> want = svec;
        want[nc + element - 1] = v;
        setter(svec.data(), nullptr, nullptr, &v);
        EXPECT_EQ(svec, want) << element;
    }
    EXPECT_TRUE(host().log.empty());
}

TEST_F(Accessors, PhaseFractionIsOneForTheStreamZeroWhenAbsentAndByMassFromItsRecord) {
    set_block_int(RIG_HXPKV, 4, -1); // no vapour record
    for (int64_t basis : {0, 1}) {
        EXPECT_EQ(call(XIF_HXBFRC, 0, 1, basis).value, 1.0);
        EXPECT_EQ(call(XIF_HXBFRC, 0, 2, basis).value, 0.0);
    }
    set_block_int(RIG_HXPKV, 4, 0);
    EXPECT_EQ(call(XIF_HXBFRC, 0, 2, 1).value, 0.0);
    // Components of molecular weight 18 and 46 at 0.5 each, beta 0.4, stream 25.
    set_plex_real(at::kMw + 1, 18.0);
    set_plex_real(at::kMw + 2, 46.0);
    host().set_record(2, {1, 2}, {0.5, 0.5}, 0.4, 999.0); // stored mw is not used
    EXPECT_DOUBLE_EQ(call(XIF_HXBFRC, 0, 4, 1).value, 0.4 * 32.0 / 25.0);
    EXPECT_EQ(call(XIF_HXBFRC, 0, 4, 0).value, 0.4);
    // All or nothing needs no molecular weight; side and spare are never read.
    host().set_record(4, {1}, {1.0}, 1.0, 10.0);
    svec[nc + 8] = std::numeric_limits<double>::quiet_NaN();
    double value = 0;
    int64_t ierr = 3, phase = 2, basis = 1;
    XIF_HXBFRC(svec.data(), nullptr, nullptr, &phase, &basis, &value, &ierr);
    EXPECT_EQ(value, 1.0);
    EXPECT_EQ(ierr, 0);
}

class Shared : public LibTest {
  protected:
    void SetUp() override {
        start(4);
        option_sets();
        three_phases(0.5, 0.3, 0.2);
        // Each monitor answers its slot's number; a wrong monitor or slot answers 0.
        for (const char* m : {"EVAL_VISCL", "EVAL_TCONL", "EVAL_DIFCOL", "EVAL_SRFTEN", "EVAL_VOLL",
                              "EVAL_ENTHL", "EVAL_ENTHL/cp", "EVAL_LMTHMY"})
            host().answer[m] = {{2, 2.0}, {3, 3.0}};
        for (const char* m : {"EVAL_VISCV", "EVAL_TCONV", "EVAL_DIFCOV", "EVAL_VOLV", "EVAL_ENTHV",
                              "EVAL_ENTHV/cp", "EVAL_VMTHRM"})
            host().answer[m] = {{4, 4.0}, {5, 5.0}};
        host().tot_flow = 0.25;
        host().tot_mass = 6.5;
        host().tot_enth = -4e6;
    }
    // What the host was asked: each call's name, the records handed and the group.
    static std::string trace() {
        std::string t;
        for (const Call& c : host().log) {
            t += c.name;
            for (const void* p : c.ptr)
                if (const int64_t s = host().slot_of_record(p)) t += " s" + std::to_string(s);
            t += " g" + std::to_string(c.group[0]) + "; ";
        }
        return t;
    }
};

TEST_F(Shared, PhasesAreMixedAndConvertedByTheirOwnWeights) {
    // Stored weights 20, 27, 44, 12; mass fractions from the compositions' 11, 26, 40.
    const double f2 = 0.5 * 11.0 / 25.0, f4 = 0.3 * 26.0 / 25.0, f5 = 0.2 * 40.0 / 25.0;
    // The total liquid mixes by share; the whole stream sums without normalising.
    const double liquid = 2.0 * 0.3 / 0.5 + 3.0 * 0.2 / 0.5,
                 whole = 2.0 * 0.3 + 3.0 * 0.2 + 4.0 * 0.5;
    const double liquid_mass = (2.0 / 27.0 * f4 + 3.0 / 44.0 * f5) / (f4 + f5);
    const double whole_mass = 2.0 / 27.0 * f4 + 3.0 / 44.0 * f5 + 4.0 / 20.0 * f2;
    const struct {
        int64_t phase;
        double molar, mass;
        std::vector<int64_t> slots; // of the monitors called, in order
    } phases[] = {{2, 4.0, 4.0 / 20.0, {4}},        {4, 2.0, 2.0 / 27.0, {2}},
                  {5, 3.0, 3.0 / 44.0, {3}},        {6, 5.0, 5.0 / 12.0, {5}},
                  {3, liquid, liquid_mass, {2, 3}}, {1, whole, whole_mass, {2, 3, 4}}};
    const struct {
        Named n;
        const char *liquid, *vapour;
        bool mass; // else the basis is not read, and a monitor's error code is passed out
        std::vector<int64_t> codes; // words from the 8th argument: XIF_HXIPP(21), codes, flags
    } cases[] = {{NAMED(XIF_HXBNTH), "EVAL_ENTHL", "EVAL_ENTHV", true, {21, 1}},
                 {NAMED(XIF_HXBCPP), "EVAL_ENTHL", "EVAL_ENTHV", true, {21, 2}},
                 {NAMED(XIF_HXBNTR), "EVAL_LMTHMY", "EVAL_VMTHRM", true, {21, 0, 0, 1, 0, 0}},
                 {NAMED(XIF_HXBVOL), "EVAL_VOLL", "EVAL_VOLV", true, {1}},
                 {NAMED(XIF_HXBVIS), "EVAL_VISCL", "EVAL_VISCV", false, {}},
                 {NAMED(XIF_HXBTHC), "EVAL_TCONL", "EVAL_TCONV", false, {}},
                 {NAMED(XIF_HXBDIF), "EVAL_DIFCOL", "EVAL_DIFCOV", false, {}}};
    for (const auto& c : cases)
        for (const auto& p : phases) {
            if ((c.n.r == XIF_HXBNTH && p.phase == 1) ||               // from the stream totals
                (c.n.r == XIF_HXBDIF && p.phase >= 3 && p.phase <= 5)) // no liquid on its own
                continue;
            Pairs called;
            for (int64_t s : p.slots)
                called.emplace_back(s <= 3 ? c.liquid : c.vapour, s);
            host().error = {{c.liquid, 13}, {c.vapour, 13}};
            EXPECT_EQ(run(c.n.r, p.phase).ierr, c.mass ? 0 : 13) << c.n.name << " " << p.phase;
            host().error.clear();
            for (int64_t basis : {0, 1}) {
                SCOPED_TRACE(std::string(c.n.name) + " phase " + std::to_string(p.phase) +
                             " basis " + std::to_string(basis));
                const double want = basis == 1 && c.mass ? p.mass : p.molar;
                const Answer a = run(c.n.r, p.phase, basis);
                if (p.phase == 1 || p.phase == 3)
                    EXPECT_DOUBLE_EQ(a.value, want);
                else
                    EXPECT_EQ(a.value, want);
                EXPECT_EQ(a.ierr, 0);
                EXPECT_EQ(monitors(), called);
                // T and P by address, the record's count and list, the group, XIF_HXIPP(23).
                for (const Call& m : monitor_calls()) {
                    const int64_t s = host().slot_of_record(m.p(3));
                    const size_t k = m.name == "EVAL_LMTHMY" ? 1 : 0; // the vapour record fourth
                    EXPECT_EQ((std::vector<const void*>{m.p(1), m.p(2), m.p(4 + k), m.p(5 + k),
                                                        m.p(7 + k)}),
                              (std::vector<const void*>{
                                  &svec[nc + 1], &svec[nc + 2], word_at(RIG_HXPKV, s),
                                  plex_at(at::slot_list(s)), word_at(&XIF_HXIPP, 23)}));
                    EXPECT_EQ(m.group, group(0));
                    for (size_t j = 0; j < c.codes.size(); ++j)
                        EXPECT_EQ(m.i(8 + k + j), c.codes[j])
                            << m.name << " argument " << 8 + k + j;
                }
            }
        }
}

TEST_F(Shared, OutOfRangeSelectorsAreWholeStreamSideZeroAndMolar) {
    for (const auto& [name, r] : kCommonRoutines) {
        SCOPED_TRACE(name);
        const Answer whole = run(r, 1);
        const std::string whole_trace = trace();
        for (int64_t phase : {int64_t{0}, int64_t{7}, int64_t{-3}, kMin, kMax}) {
            EXPECT_EQ(run(r, phase).value, whole.value) << phase;
            EXPECT_EQ(trace(), whole_trace) << phase;
        }
        // The first liquid on side 0, molar, against other sides and bases.
        const Answer liquid = run(r, 4);
        const std::string liquid_trace = trace();
        const int64_t highest_basis = r == XIF_HXBVOL ? 2 : 1;
        for (int64_t side : {int64_t{2}, int64_t{-1}, kMin, kMax}) {
            EXPECT_EQ(run(r, 4, 0, side).value, liquid.value) << side;
            EXPECT_EQ(trace(), liquid_trace) << side;
        }
        for (int64_t basis : {highest_basis + 1, int64_t{-1}, int64_t{1000}, kMin, kMax}) {
            EXPECT_EQ(run(r, 4, basis).value, liquid.value) << basis;
            EXPECT_EQ(trace(), liquid_trace) << basis;
        }
    }
}

TEST_F(Shared, AbsentPhasesAskTheHostNothing) {
    const Named mwt = NAMED(XIF_HXBMWT), nth = NAMED(XIF_HXBNTH), cpp = NAMED(XIF_HXBCPP),
                ntr = NAMED(XIF_HXBNTR), vol = NAMED(XIF_HXBVOL), tmc = NAMED(XIF_HXBTMC),
                prc = NAMED(XIF_HXBPRC), vis = NAMED(XIF_HXBVIS), thc = NAMED(XIF_HXBTHC),
                sft = NAMED(XIF_HXBSFT), dif = NAMED(XIF_HXBDIF), thv = NAMED(XIF_HXBTHV),
                qfl = NAMED(XIF_HXBQFL), dns = NAMED(XIF_HXBDNS);
    const struct {
        std::vector<Named> routines;
        bool present; // the usual three phases, else none
        std::vector<int64_t> phases;
        double value;
        int64_t ierr;
    } cases[] = {{{mwt, nth, cpp, ntr, vol, vis, thc, qfl}, false, {2, 3, 4, 5, 6}, kMissing, -1},
                 {{tmc, prc}, false, {2, 3, 4, 5}, kMissing, -1},
                 {{sft, thv}, false, {3, 4, 5}, kMissing, -1},
                 {{thv}, false, {1}, kMissing, -1}, // the whole stream is its liquid
                 {{dns}, false, {1, 2, 3, 4, 5, 6}, kMissing, 0},
                 {{cpp, ntr, vol, vis, dif}, false, {1}, 0.0, 0}, // sums of nothing
                 // Phases that these routines never evaluate, whatever the stream.
                 {{tmc, prc}, true, {6}, kMissing, -1},
                 {{sft, thv}, true, {2, 6}, kMissing, -1},
                 {{dif}, true, {3, 4, 5}, kMissing, -1}};
    for (const auto& c : cases) {
        three_phases(c.present ? 0.5 : 0.0, c.present ? 0.3 : 0.0, c.present ? 0.2 : 0.0);
        for (const auto& [name, r] : c.routines)
            for (int64_t phase : c.phases) {
                const Answer a = run(r, phase);
                // An absent phase carries no enthalpy flow.
                EXPECT_EQ(a.value, r == XIF_HXBQFL ? 0.0 : c.value) << name << " " << phase;
                EXPECT_EQ(a.ierr, c.ierr) << name << " " << phase;
                EXPECT_TRUE(host().log.empty()) << name << " " << phase;
            }
    }
}

TEST_F(Shared, WaterRuleNeedsSwitchOneAndExactlyPureWaterInTheWorkArea) {
    // A liquid whose water is pure gets word 5 of its side's group in place of word 1.
    const struct {
        int64_t switch0, switch1, side, position;
        double first, second;
        bool first_pure, second_pure;
    } cases[] = {{1, 0, 0, 2, 0.3, 1.0, false, true},
                 {1, 0, 0, 2, 1.0, 0.4, true, false},
                 {1, 0, 0, 2, 1.0, 1.0, true, true},
                 {1, 0, 0, 3, 0.999999, std::nextafter(1.0, 0.0), false, false},
                 {1, 0, 0, 4, 0.0, 0.5, false, false}, // the record says pure 4
                 {1, 0, 0, 0, 1.0, 1.0, false, false},
                 {2, 0, 0, 3, 1.0, 1.0, false, false},
                 {1, 0, 1, 3, 1.0, 1.0, false, false}, // each side its own switch
                 {0, 1, 1, 3, 1.0, 1.0, true, true}};
    for (const auto& c : cases) {
        XIF_HXIPP.word[9] = c.switch0;
        XIF_HXIPP.word[19] = c.switch1;
        water_in_work_area(c.position, c.first, c.second);
        int routines = 0; // that evaluate the second liquid; not the heat of vaporization
        for (const auto& [name, r] : kCommonRoutines) {
            bool second = false;
            for (int64_t phase = 1; phase <= 6 && r != XIF_HXBTHV; ++phase) {
                run(r, phase, 0, c.side);
                for (const Call& m : monitor_calls()) {
                    const int64_t s = host().slot_of_record(m.p(3));
                    second = second || s == 3;
                    EXPECT_EQ(m.group,
                              group(c.side, s == 2 ? c.first_pure : s == 3 && c.second_pure))
                        << "case " << &c - cases << " " << name << " phase " << phase;
                }
                const std::vector<Call> idx = host().calls("AID_IDXH2O");
                if (monitor_calls().empty()) continue;
                ASSERT_EQ(idx.size(), (c.side == 0 ? c.switch0 : c.switch1) == 1 ? 1u : 0u);
                if (idx.empty()) continue;
                EXPECT_EQ(idx[0].p(1), plex_at(at::kIntWork + at::kList)); // the flash list
                EXPECT_EQ(idx[0].p(2), word_at(CAT_STWKWK, 3));
            }
            routines += second;
        }
        EXPECT_EQ(routines, 10);
    }
}

} // namespace
} // namespace xif::test
