// Stream accessors and the phase fraction; then what every phase property
// routine shares: clipped selectors, absent phases, error codes, water rule.
#include "fixture.h"

#include <cmath>
#include <cstring>
#include <tuple>

namespace xif::test {
namespace {

using Accessors = LibTest;

TEST_F(Accessors, ComponentCountTemperaturePressureAndSetters) {
    start(7);
    Answer a{0.0, 5};
    int64_t side = -9, phase = 99, basis = 42, nc_read;
    XIF_HXBNCP(svec.data(), nullptr, &side, &phase, &basis, &a.value, &a.ierr);
    std::memcpy(&nc_read, &a.value, sizeof nc_read); // an integer in the value's bytes
    EXPECT_EQ(nc_read, 7);
    EXPECT_EQ(a.ierr, 0);
    T() = 412.5;
    P() = 3.5e6;
    EXPECT_EQ(call(XIF_HXBTMP, 0, 1), (Answer{412.5, 0}));
    EXPECT_EQ(call(XIF_HXBPRS, 0, 1), (Answer{3.5e6, 0}));
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
    Answer a{0.0, 3};
    int64_t phase = 2, basis = 1;
    XIF_HXBFRC(svec.data(), nullptr, nullptr, &phase, &basis, &a.value, &a.ierr);
    EXPECT_EQ(a, (Answer{1.0, 0}));
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
    // Slots of the monitors called, in order.
    const std::tuple<int64_t, double, double, std::vector<int64_t>> phases[] = {
        {2, 4.0, 4.0 / 20.0, {4}},        {4, 2.0, 2.0 / 27.0, {2}},
        {5, 3.0, 3.0 / 44.0, {3}},        {6, 5.0, 5.0 / 12.0, {5}},
        {3, liquid, liquid_mass, {2, 3}}, {1, whole, whole_mass, {2, 3, 4}}};
    // Routine, monitors, whether by mass (else the basis is not read and a monitor's error
    // code is passed out), words from the 8th argument: XIF_HXIPP(21), codes, flags.
    const std::tuple<Named, const char*, const char*, bool, std::vector<int64_t>> cases[] = {
        {NAMED(XIF_HXBNTH), "EVAL_ENTHL", "EVAL_ENTHV", true, {21, 1}},
        {NAMED(XIF_HXBCPP), "EVAL_ENTHL", "EVAL_ENTHV", true, {21, 2}},
        {NAMED(XIF_HXBNTR), "EVAL_LMTHMY", "EVAL_VMTHRM", true, {21, 0, 0, 1, 0, 0}},
        {NAMED(XIF_HXBVOL), "EVAL_VOLL", "EVAL_VOLV", true, {1}},
        {NAMED(XIF_HXBVIS), "EVAL_VISCL", "EVAL_VISCV", false, {}},
        {NAMED(XIF_HXBTHC), "EVAL_TCONL", "EVAL_TCONV", false, {}},
        {NAMED(XIF_HXBDIF), "EVAL_DIFCOL", "EVAL_DIFCOV", false, {}}};
    for (const auto& [n, liquid, vapour, by_mass, codes] : cases)
        for (const auto& [phase, molar, mass, slots] : phases) {
            if ((n.r == XIF_HXBNTH && phase == 1) ||             // from the stream totals
                (n.r == XIF_HXBDIF && phase >= 3 && phase <= 5)) // no liquid on its own
                continue;
            Pairs called;
            for (int64_t s : slots)
                called.emplace_back(s <= 3 ? liquid : vapour, s);
            host().error = {{liquid, 13}, {vapour, 13}};
            EXPECT_EQ(run(n.r, phase).ierr, by_mass ? 0 : 13) << n.name << " " << phase;
            host().error.clear();
            for (int64_t basis : {0, 1}) {
                SCOPED_TRACE(std::string(n.name) + " phase " + std::to_string(phase) + " basis " +
                             std::to_string(basis));
                const double want = basis == 1 && by_mass ? mass : molar;
                const Answer a = run(n.r, phase, basis);
                if (phase == 1 || phase == 3)
                    EXPECT_DOUBLE_EQ(a.value, want);
                else
                    EXPECT_EQ(a.value, want);
                EXPECT_EQ(a.ierr, 0);
                EXPECT_EQ(monitors(), called);
                // T and P by address, the record's count and list, the group, XIF_HXIPP(23).
                for (const Call& m : monitor_calls()) {
                    const int64_t s = host().slot_of_record(m.p(3));
                    const size_t k = m.name == "EVAL_LMTHMY" ? 1 : 0; // the vapour record fourth
                    EXPECT_EQ(args(m, &Call::p, {1, 2, 4 + k, 5 + k, 7 + k}),
                              (Ptrs{&svec[nc + 1], &svec[nc + 2], word_at(RIG_HXPKV, s),
                                    plex_at(at::slot_list(s)), word_at(&XIF_HXIPP, 23)}));
                    EXPECT_EQ(m.group, group(0));
                    for (size_t j = 0; j < codes.size(); ++j)
                        EXPECT_EQ(m.i(8 + k + j), codes[j]) << m.name << " argument " << 8 + k + j;
                }
            }
        }
}

TEST_F(Shared, OutOfRangeSelectorsAreWholeStreamSideZeroAndMolar) {
    for (const auto& [name, r] : kCommonRoutines) {
        SCOPED_TRACE(name);
        // The same value and host calls as phase `as` on side 0, molar.
        const auto same_as = [&, r = r](int64_t as, int64_t phase, int64_t basis, int64_t side) {
            const double want = run(r, as).value;
            const std::string want_trace = trace();
            EXPECT_EQ(run(r, phase, basis, side).value, want)
                << phase << " " << basis << " " << side;
            EXPECT_EQ(trace(), want_trace) << phase << " " << basis << " " << side;
        };
        for (int64_t phase : Ints{0, 7, -3, kMin, kMax})
            same_as(1, phase, 0, 0);
        for (int64_t side : Ints{2, -1, kMin, kMax})
            same_as(4, 4, 0, side);
        for (int64_t basis : Ints{r == XIF_HXBVOL ? 3 : 2, -1, 1000, kMin, kMax})
            same_as(4, 4, basis, 0);
    }
}

TEST_F(Shared, AbsentPhasesAskTheHostNothing) {
    const Named mwt = NAMED(XIF_HXBMWT), nth = NAMED(XIF_HXBNTH), cpp = NAMED(XIF_HXBCPP),
                ntr = NAMED(XIF_HXBNTR), vol = NAMED(XIF_HXBVOL), tmc = NAMED(XIF_HXBTMC),
                prc = NAMED(XIF_HXBPRC), vis = NAMED(XIF_HXBVIS), thc = NAMED(XIF_HXBTHC),
                sft = NAMED(XIF_HXBSFT), dif = NAMED(XIF_HXBDIF), thv = NAMED(XIF_HXBTHV),
                qfl = NAMED(XIF_HXBQFL), dns = NAMED(XIF_HXBDNS);
    // Routines, with the usual three phases (else none), phases, value, error code.
    const std::tuple<std::vector<Named>, bool, std::vector<int64_t>, double, int64_t> cases[] = {
        {{mwt, nth, cpp, ntr, vol, vis, thc, qfl}, false, {2, 3, 4, 5, 6}, kMissing, -1},
        {{tmc, prc}, false, {2, 3, 4, 5}, kMissing, -1},
        {{sft, thv}, false, {3, 4, 5}, kMissing, -1},
        {{thv}, false, {1}, kMissing, -1}, // the whole stream is its liquid
        {{dns}, false, {1, 2, 3, 4, 5, 6}, kMissing, 0},
        {{cpp, ntr, vol, vis, dif}, false, {1}, 0.0, 0}, // sums of nothing
        // Phases that these routines never evaluate, whatever the stream.
        {{tmc, prc}, true, {6}, kMissing, -1},
        {{sft, thv}, true, {2, 6}, kMissing, -1},
        {{dif}, true, {3, 4, 5}, kMissing, -1}};
    for (const auto& [routines, present, phases, value, ierr] : cases) {
        three_phases(present ? 0.5 : 0.0, present ? 0.3 : 0.0, present ? 0.2 : 0.0);
        for (const auto& [name, r] : routines)
            for (int64_t phase : phases) {
                // An absent phase carries no enthalpy flow.
                EXPECT_EQ(run(r, phase), (Answer{r == XIF_HXBQFL ? 0.0 : value, ierr}))
                    << name << " " << phase;
                EXPECT_TRUE(host().log.empty()) << name << " " << phase;
            }
    }
}

TEST_F(Shared, WaterRuleNeedsSwitchOneAndExactlyPureWaterInTheWorkArea) {
    // A liquid whose water is pure gets word 5 of its side's group in place of word 1.
    // Switches of sides 0 and 1, side, water position, its fractions in the two liquids,
    // and whether each liquid counts as pure water.
    const std::tuple<int64_t, int64_t, int64_t, int64_t, double, double, bool, bool> cases[] = {
        {1, 0, 0, 2, 0.3, 1.0, false, true},
        {1, 0, 0, 2, 1.0, 0.4, true, false},
        {1, 0, 0, 2, 1.0, 1.0, true, true},
        {1, 0, 0, 3, 0.999999, std::nextafter(1.0, 0.0), false, false},
        {1, 0, 0, 4, 0.0, 0.5, false, false}, // the record says pure 4
        {1, 0, 0, 0, 1.0, 1.0, false, false},
        {2, 0, 0, 3, 1.0, 1.0, false, false},
        {1, 0, 1, 3, 1.0, 1.0, false, false}, // each side its own switch
        {0, 1, 1, 3, 1.0, 1.0, true, true}};
    for (const auto& [switch0, switch1, side, position, first, second, first_pure, second_pure] :
         cases) {
        SCOPED_TRACE(testing::Message()
                     << "switches " << switch0 << switch1 << " side " << side << " water "
                     << position << ": " << first << ", " << second);
        XIF_HXIPP.word[9] = switch0;
        XIF_HXIPP.word[19] = switch1;
        water_in_work_area(position, first, second);
        int routines = 0; // that evaluate the second liquid; not the heat of vaporization
        for (const auto& [name, r] : kCommonRoutines) {
            bool evaluated = false;
            for (int64_t phase = 1; phase <= 6 && r != XIF_HXBTHV; ++phase) {
                run(r, phase, 0, side);
                for (const Call& m : monitor_calls()) {
                    const int64_t s = host().slot_of_record(m.p(3));
                    evaluated = evaluated || s == 3;
                    EXPECT_EQ(m.group, group(side, s == 2 ? first_pure : s == 3 && second_pure))
                        << name << " phase " << phase;
                }
                const std::vector<Call> idx = host().calls("AID_IDXH2O");
                if (monitor_calls().empty()) continue;
                ASSERT_EQ(idx.size(), (side == 0 ? switch0 : switch1) == 1 ? 1u : 0u);
                if (idx.empty()) continue;
                EXPECT_EQ(idx[0].p(1), plex_at(at::kIntWork + at::kList)); // the flash list
                EXPECT_EQ(idx[0].p(2), word_at(CAT_STWKWK, 3));
            }
            routines += evaluated;
        }
        EXPECT_EQ(routines, 10);
    }
}

} // namespace
} // namespace xif::test
