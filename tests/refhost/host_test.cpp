// The reference host's routines called directly, as a host's caller would:
// set-up errors, the data-store layout, input guards, and every monitor for
// every databank component across a range of temperatures.
#include <xif/host.h>
#include <xif/refhost.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

int64_t open(const std::vector<std::string>& ids) {
    std::vector<char> a(ids.size() * 10, ' ');
    for (size_t k = 0; k < ids.size(); ++k)
        std::memcpy(&a[k * 10], ids[k].data(), ids[k].size());
    int64_t n = static_cast<int64_t>(ids.size()), width = 10, ierr = -1;
    XIFHOST_OPEN(&n, a.data(), &width, &ierr);
    return ierr;
}

std::string message() {
    char text[200];
    int64_t width = sizeof text, length = 0;
    XIFHOST_MESSAGE(text, &width, &length);
    return std::string(text, static_cast<size_t>(length));
}

int64_t word(xif_word* block, int64_t k) {
    return block[k - 1].i;
}
double real(int64_t k) {
    return CAT_PLEX[k - 1].r;
}

TEST(SetUp, RejectsBadComponentListsAndStates) {
    EXPECT_EQ(open({"CH4", "NOSUCH"}), XIFHOST_UNKNOWN_ID);
    EXPECT_NE(message().find("NOSUCH"), std::string::npos);
    EXPECT_EQ(open({"CH4", "C2H6", "CH4"}), XIFHOST_REPEATED_ID);
    EXPECT_NE(message().find("twice"), std::string::npos);
    EXPECT_EQ(open({"CH4", ""}), XIFHOST_BAD_ARGUMENT);
    EXPECT_EQ(open({}), XIFHOST_BAD_ARGUMENT);
    EXPECT_EQ(open({"ch4", "Water"}), XIFHOST_OK); // ids are not case-sensitive

    ASSERT_EQ(open({"CH4", "C2H6"}), 0);
    std::vector<double> svec(11);
    int64_t ierr = 0;
    const double p = 1e5, flows[2] = {1.0, 1.0}, t = 300.0;
    const struct {
        double flows[2], t;
    } bad[] = {{{-1.0, 1.0}, 300}, {{0.0, 0.0}, 300}, {{NAN, 1}, 300}, {{1, 1}, -5.0},
               {{1, 1}, 0.0},      {{1, 1}, NAN},     {{1, 1}, 1e6}};
    for (const auto& s : bad) {
        XIFHOST_STREAM(s.flows, &s.t, &p, svec.data(), &ierr);
        EXPECT_EQ(ierr, XIFHOST_BAD_ARGUMENT) << s.t << " " << message();
    }
    XIFHOST_STREAM(flows, &t, &p, svec.data(), &ierr);
    EXPECT_EQ(ierr, XIFHOST_OK);
    EXPECT_EQ(svec[2], 2.0);                                // total flow
    EXPECT_NEAR(svec[10], (16.04246 + 30.06904) / 2, 1e-9); // molecular weight
}

// The databank's entries by number: methane's constants, and an entry that
// does not exist refused by each routine.
TEST(SetUp, DatabankEntriesByNumber) {
    const int64_t n = XIFHOST_DATABANK_SIZE();
    int64_t ierr = -1, width = 16;
    char id[16], name[16], formula[16];
    double mw = 0, tc = 0, pc = 0, tm = 0, tb = 0;
    for (int64_t i = 1; i <= n; ++i) {
        XIFHOST_DATABANK_ENTRY(&i, id, name, formula, &width, &mw, &tc, &pc, &ierr);
        ASSERT_EQ(ierr, XIFHOST_OK);
        XIFHOST_DATABANK_POINTS(&i, &tm, &tb, &ierr);
        ASSERT_EQ(ierr, XIFHOST_OK);
        // Carbon dioxide sublimes at one atmosphere: its Tb is below its Tm.
        EXPECT_TRUE(0.0 < tm && tm < tc && 0.0 < tb && tb < tc) << std::string(id, 16);
        if (std::string(id, 4) != "CH4 ") continue;
        EXPECT_NEAR(tm, 90.7, 0.1);
        EXPECT_NEAR(tb, 111.7, 0.1);
    }
    // Pairs: a published parameter (PR, and SRK from it), and none.
    auto entry = [&](const char* want) {
        for (int64_t i = 1; i <= n; ++i) {
            XIFHOST_DATABANK_ENTRY(&i, id, name, formula, &width, &mw, &tc, &pc, &ierr);
            if (std::string(id, 16).rfind(std::string(want) + " ", 0) == 0) return i;
        }
        return int64_t{0};
    };
    const int64_t h2s = entry("H2S"), water = entry("WATER"), nproh = entry("NPROH");
    ASSERT_TRUE(h2s > 0 && water > 0 && nproh > 0);
    double kij = -1.0;
    int64_t known = -1;
    for (const int64_t method : {int64_t{1}, int64_t{2}}) {
        XIFHOST_DATABANK_PAIR(&water, &h2s, &method, &kij, &known, &ierr);
        EXPECT_EQ(ierr, XIFHOST_OK);
        EXPECT_EQ(known, 1);
        EXPECT_DOUBLE_EQ(kij, 0.0394);
        XIFHOST_DATABANK_PAIR(&nproh, &water, &method, &kij, &known, &ierr);
        EXPECT_EQ(known, 0);
        EXPECT_EQ(kij, 0.0);
    }
    const int64_t bad_method = 3, none = n + 1;
    XIFHOST_DATABANK_PAIR(&nproh, &water, &bad_method, &kij, &known, &ierr);
    EXPECT_EQ(ierr, XIFHOST_BAD_ARGUMENT);
    XIFHOST_DATABANK_PAIR(&nproh, &none, &bad_method, &kij, &known, &ierr);
    EXPECT_EQ(ierr, XIFHOST_BAD_ARGUMENT);
    for (int64_t i : {int64_t{0}, n + 1}) {
        XIFHOST_DATABANK_ENTRY(&i, id, name, formula, &width, &mw, &tc, &pc, &ierr);
        EXPECT_EQ(ierr, XIFHOST_BAD_ARGUMENT);
        XIFHOST_DATABANK_POINTS(&i, &tm, &tb, &ierr);
        EXPECT_EQ(ierr, XIFHOST_BAD_ARGUMENT);
        EXPECT_NE(message().find("no databank entry"), std::string::npos);
    }
}

// A pair's parameter set through the set-up API replaces the databank's for
// the open host only, and the host's kept results go with the old one.
TEST(SetUp, InteractionParameterOfAPair) {
    const int64_t width = 10, pr = 1, none = 0;
    auto set = [&](const char* a, const char* b, int64_t method, double kij) {
        char ia[10], ib[10];
        std::memset(ia, ' ', 10);
        std::memset(ib, ' ', 10);
        std::memcpy(ia, a, std::strlen(a));
        std::memcpy(ib, b, std::strlen(b));
        int64_t ierr = -1;
        XIFHOST_INTERACTION(ia, ib, &width, &method, &kij, &ierr);
        return ierr;
    };
    ASSERT_EQ(open({"NPROH", "WATER"}), 0);
    const int64_t G[6] = {1, 1, 0, 0, 11, 0}, two = 2, both[2] = {1, 2}, D = 0;
    const double x[2] = {0.2, 0.8}, t = 298.15, p = 1e5;
    auto liquid_h = [&] {
        double h = 0, cp = 0;
        const int64_t B = 0, code = 1;
        int64_t ierr = -1;
        EVAL_ENTHL(&t, &p, x, &two, both, G, &D, &B, &code, &h, &cp, &ierr);
        EXPECT_EQ(ierr, 0);
        return h;
    };
    auto stream_h = [&] {
        const double flows[2] = {0.2, 0.8};
        std::vector<double> svec(11);
        int64_t ierr = -1;
        XIFHOST_STREAM(flows, &t, &p, svec.data(), &ierr);
        EXPECT_EQ(ierr, 0);
        return svec[5];
    };
    const double h0 = liquid_h(), s0 = stream_h();
    // Attraction between the pair lowers the liquid's enthalpy; the stream,
    // two liquids at k_ij = 0, is one then.
    EXPECT_EQ(set("nproh", "WATER", pr, -0.17), XIFHOST_OK);
    const double h1 = liquid_h();
    EXPECT_LT(h1, h0 - 100.0);
    EXPECT_NE(stream_h(), s0);
    EXPECT_EQ(set("WATER", "NPROH", 2, 0.3), XIFHOST_OK); // SRK only: PR keeps -0.17
    EXPECT_EQ(liquid_h(), h1);
    EXPECT_EQ(set("WATER", "NPROH", none, 0.0), XIFHOST_OK);
    EXPECT_EQ(liquid_h(), h0);
    EXPECT_EQ(set("WATER", "NPROH", pr, -0.17), XIFHOST_OK);
    ASSERT_EQ(open({"NPROH", "WATER"}), 0); // a new host takes the databank's again
    EXPECT_EQ(liquid_h(), h0);
    EXPECT_EQ(stream_h(), s0);

    EXPECT_EQ(set("WATER", "ETOH", pr, -0.1), XIFHOST_NOT_IN_STREAM);
    EXPECT_EQ(set("WATER", "NOSUCH", pr, -0.1), XIFHOST_UNKNOWN_ID);
    EXPECT_EQ(set("WATER", "WATER", pr, -0.1), XIFHOST_BAD_ARGUMENT);
    EXPECT_EQ(set("WATER", "NPROH", 3, -0.1), XIFHOST_BAD_ARGUMENT);
    for (const double bad : {1.0, -1.0, std::nan("")})
        EXPECT_EQ(set("WATER", "NPROH", pr, bad), XIFHOST_BAD_ARGUMENT) << bad;
    EXPECT_NE(message().find("between -1 and 1"), std::string::npos);
    EXPECT_EQ(liquid_h(), h0);
}

TEST(DataStore, ParametersWhereTheLibraryReadsThem) {
    ASSERT_EQ(open({"WATER", "N2"}), 0);
    EXPECT_EQ(word(CAT_NCOMP, 1), 2);
    EXPECT_EQ(real(word(CAT_IPOFF1, 306) + 1), 18.01528);
    EXPECT_EQ(real(word(CAT_IPOFF1, 14) + 1), 1.0); // water never non-condensable
    EXPECT_EQ(real(word(CAT_IPOFF1, 14) + 2), 0.0);
    EXPECT_EQ(CAT_IFCMNC("TC", 2), CAT_IFCMNC("TC  ", 4));
    EXPECT_NEAR(real(CAT_IFCMNC("TC", 2) + 2), 126.192, 1e-3);
    int64_t name[2];
    std::memcpy(name, "VLST    D       ", 16);
    EXPECT_EQ(CAT_IFCMN(name), CAT_IFCMNC("VLSTD", 5));
    EXPECT_NEAR(real(CAT_IFCMN(name) + 1), 0.018, 2e-4);
    // Identifiers: the id blank-padded over two words.
    const int64_t ids = word(CAT_IPOFF4, 3);
    EXPECT_EQ(std::memcmp(&CAT_PLEX[ids + 2], "N2              ", 16), 0); // words 2j - 1, 2j
    // Water's position in the flash list.
    const int64_t count = 2;
    const int64_t list[2] = {2, 1};
    EXPECT_EQ(AID_IDXH2O(list, &count), 2);
    // The non-condensable list.
    const char n2[] = "N2";
    int64_t one = 1, width = 2, ierr = 0, key = 1;
    XIFHOST_NONCONDENSABLES(&one, n2, &width, &ierr);
    ASSERT_EQ(ierr, 0);
    const int64_t l = CAT_LOCATI(&key);
    EXPECT_EQ(CAT_PLEX[l - 1].i, 1);
    EXPECT_EQ(std::memcmp(&CAT_PLEX[l], "N2              ", 16), 0);
    const char water[] = "WATER";
    width = 5;
    XIFHOST_NONCONDENSABLES(&one, water, &width, &ierr);
    EXPECT_NE(ierr, 0);
}

TEST(Monitors, GuardTheirInputs) {
    ASSERT_EQ(open({"CH4", "C2H6"}), 0);
    const int64_t G[6] = {1, 1, 0, 0, 11, 0}, D = 0, n = 2, idx[2] = {1, 2};
    const double x[2] = {0.5, 0.5};
    double v = -1.0;
    int64_t ierr = 0;
    const double t = 300, p = 1e5;
    // Bad states, also right after a good one, in either word; the liquid
    // viscosity would not feel a bad pressure on its own.
    const double good[2] = {t, p}, bad[][2] = {{std::nan(""), p}, {-1.0, p}, {0.0, p},
                                               {t, std::nan("")}, {t, -p},   {t, 0.0}};
    for (auto* monitor : {EVAL_VISCV, EVAL_VISCL})
        for (const auto& s : bad) {
            monitor(&good[0], &good[1], x, &n, idx, G, &D, &v, &ierr);
            EXPECT_EQ(ierr, 0);
            monitor(&s[0], &s[1], x, &n, idx, G, &D, &v, &ierr);
            EXPECT_NE(ierr, 0) << s[0] << " " << s[1];
            EXPECT_TRUE(std::isnan(v)); // not a value left from before
        }
    const double bad_x[2] = {-0.5, 1.5};
    EVAL_VISCV(&t, &p, bad_x, &n, idx, G, &D, &v, &ierr);
    EXPECT_NE(ierr, 0);
    const int64_t bad_idx[2] = {1, 7};
    EVAL_VISCV(&t, &p, x, &n, bad_idx, G, &D, &v, &ierr);
    EXPECT_NE(ierr, 0);
    const int64_t unknown[6] = {99, 0, 0, 0, 0, 0};
    EVAL_VISCV(&t, &p, x, &n, idx, unknown, &D, &v, &ierr);
    EXPECT_NE(ierr, 0);
    // The water tables serve pure water only.
    const int64_t tables[6] = {11, 0, 0, 0, 11, 0};
    EVAL_VISCL(&t, &p, x, &n, idx, tables, &D, &v, &ierr);
    EXPECT_NE(ierr, 0);
}

// The host keeps its last results: a repeated call answers the same, and a
// change of method group, pressure, composition or open host is not answered
// from what was kept.
TEST(Monitors, KeptResultsFollowTheirInputs) {
    ASSERT_EQ(open({"WATER", "CH4"}), 0);
    const int64_t pr[6] = {1, 1, 0, 0, 11, 0}, tables[6] = {11, 1, 0, 0, 11, 0}, D = 0;
    const int64_t one = 1, water = 1, two = 2, both[2] = {1, 2};
    const double t = 350, p = 1e5, x = 1.0, mix[2] = {0.5, 0.5};
    int64_t ierr = -1;
    auto viscl = [&](const int64_t* G, double pressure) {
        double mu = 0;
        EVAL_VISCL(&t, &pressure, &x, &one, &water, G, &D, &mu, &ierr);
        EXPECT_EQ(ierr, 0);
        return mu;
    };
    const double by_pr = viscl(pr, p), by_tables = viscl(tables, p);
    EXPECT_NE(by_pr, by_tables);
    EXPECT_EQ(viscl(pr, p), by_pr);
    EXPECT_NE(viscl(tables, 1e7), by_tables); // the tables feel the pressure
    EXPECT_EQ(viscl(tables, p), by_tables);

    double k1 = 0, k2 = 0;
    EVAL_TCONV(&t, &p, &x, &one, &water, pr, &D, &k1, &ierr);
    EVAL_TCONV(&t, &p, mix, &two, both, pr, &D, &k2, &ierr);
    EXPECT_NE(k1, k2);
    ASSERT_EQ(open({"N2", "CH4"}), 0); // component 1 is now nitrogen
    double k3 = 0;
    EVAL_TCONV(&t, &p, &x, &one, &water, pr, &D, &k3, &ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NE(k3, k1);

    // The liquid diffusivity takes the viscosity just mixed for its own
    // reading only, never another liquid's at the same state.
    const double light[2] = {0.9, 0.1}, heavy[2] = {0.1, 0.9};
    auto difcol = [&](const double* xs) {
        double d = 0;
        EVAL_DIFCOL(&t, &p, xs, &two, both, pr, &D, &d, &ierr);
        EXPECT_EQ(ierr, 0);
        return d;
    };
    auto viscl_of = [&](const double* xs) {
        double mu = 0;
        EVAL_VISCL(&t, &p, xs, &two, both, pr, &D, &mu, &ierr);
        return mu;
    };
    ASSERT_EQ(open({"NC6", "NC10"}), 0);
    const double fresh = difcol(light);
    ASSERT_EQ(open({"NC6", "NC10"}), 0);
    EXPECT_NE(viscl_of(heavy), viscl_of(light));
    EXPECT_EQ(difcol(light), fresh);
    viscl_of(heavy);
    const double after_heavy = difcol(light);
    EXPECT_EQ(after_heavy, fresh);
    EXPECT_NE(difcol(heavy), fresh);

    // A critical point is kept for its composition and the open host.
    auto critical = [&](const double* xs) {
        double tc = 0, pc = 0, v = 0, evaluations = 0;
        EQUI_CRTCAL(&two, xs, both, nullptr, &tc, &pc, &v, &evaluations, &ierr);
        EXPECT_EQ(ierr, 0);
        return std::pair(tc, pc);
    };
    ASSERT_EQ(open({"CH4", "C2H6"}), 0);
    const auto first = critical(light);
    EXPECT_NE(critical(heavy), first);
    EXPECT_EQ(critical(light), first);
    ASSERT_EQ(open({"CH4", "C3H8"}), 0);
    EXPECT_NE(critical(light), first);
    ASSERT_EQ(open({"CH4", "C2H6"}), 0);
    EXPECT_EQ(critical(light), first);
}

// The answers of a phase record, vapour and liquid, thermodynamic and transport.
struct Answers {
    double h, v, mu, k, vl, kl;
    int64_t ierr;
    // Bit for bit, the NaN of a failure included.
    bool operator==(const Answers& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};
Answers answers(const double* x, int64_t n, const int64_t* idx) {
    const int64_t G[6] = {1, 1, 0, 0, 11, 0}, D = 0, code = 1;
    const double t = 250, p = 20e5;
    Answers a{};
    int64_t e[6] = {};
    double cp = 0, z = 0;
    EVAL_ENTHV(&t, &p, x, &n, idx, G, &D, &D, &code, &a.h, &cp, &e[0]);
    EVAL_VOLV(&t, &p, x, &n, idx, G, &D, &D, &a.v, &z, &e[1]);
    EVAL_VISCV(&t, &p, x, &n, idx, G, &D, &a.mu, &e[2]);
    EVAL_TCONV(&t, &p, x, &n, idx, G, &D, &a.k, &e[3]);
    EVAL_VOLL(&t, &p, x, &n, idx, G, &D, &D, &a.vl, &z, &e[4]);
    EVAL_TCONL(&t, &p, x, &n, idx, G, &D, &a.kl, &e[5]);
    for (int64_t ierr : e)
        a.ierr = a.ierr * 10 + ierr;
    return a;
}

// A phase record read again is answered as a new one would be: rewritten in
// place (fractions, component numbers or count), or the same fractions in
// another place. The reference answers come from a freshly opened host, which
// keeps nothing.
TEST(Monitors, PhaseRecordsAreReadByWhatTheyHold) {
    const std::vector<std::string> ids = {"CH4", "C2H6", "C3H8", "N2"};
    struct Record {
        std::vector<double> x;
        std::vector<int64_t> idx;
    };
    const Record records[] = {
        {{0.7, 0.2, 0.1}, {1, 2, 3}},
        {{0.7, 0.2, 0.1}, {1, 3, 2}},         // the same fractions of other components
        {{0.7, 0.2}, {1, 3}},                 // the first two words only
        {{0.7, 0.2, 0.1 + 1e-16}, {1, 2, 3}}, // one fraction a bit larger
        {{0.7, 0.2, -0.0}, {1, 2, 3}},        // a negative zero is a fraction of none
        {{0.7, 0.2, 0.1}, {1, 2, 4}},
        {{1.4, 0.4, 0.2}, {1, 2, 3}}, // the same mole fractions, unnormalised
        {{0.7, 0.2, 0.1}, {1, 2, 9}}, // no such component
    };
    std::vector<Answers> fresh;
    for (const Record& r : records) {
        ASSERT_EQ(open(ids), 0);
        fresh.push_back(answers(r.x.data(), static_cast<int64_t>(r.x.size()), r.idx.data()));
    }
    EXPECT_EQ(fresh[0].ierr, 0);
    EXPECT_NE(fresh[0], fresh[1]);
    EXPECT_NE(fresh[0], fresh[3]); // the record's bits, not a value near them
    EXPECT_NE(fresh[7].ierr, 0);

    // Every record in turn in one place, twice, and in a second place.
    ASSERT_EQ(open(ids), 0);
    double x[3];
    int64_t idx[3];
    for (int pass = 0; pass < 2; ++pass)
        for (size_t k = 0; k < std::size(records); ++k) {
            const Record& r = records[k];
            std::copy(r.x.begin(), r.x.end(), x);
            std::copy(r.idx.begin(), r.idx.end(), idx);
            const auto n = static_cast<int64_t>(r.x.size());
            EXPECT_EQ(answers(x, n, idx), fresh[k]) << "record " << k << " pass " << pass;
            const Record copy = r;
            EXPECT_EQ(answers(copy.x.data(), n, copy.idx.data()), fresh[k]) << "record " << k;
        }
}

// The ten result words of a phase and of a pure component agree with the
// single-value monitors of the same phase; a failure writes NaN in every word
// it writes, with its error code.
TEST(Monitors, TenResultWordsAgreeWithTheSingleValues) {
    ASSERT_EQ(open({"C3H8", "NC4"}), 0);
    const int64_t G[6] = {1, 1, 0, 0, 11, 0}, D = 0, n = 2, idx[2] = {1, 2}, one = 1, h = 1, cp = 2,
                  f = 1;
    const double t = 300, p = 2e5, x[2] = {0.3, 0.7}, bad_t = -1.0, unit = 1.0;
    struct Words {
        double r[10];
        int64_t ierr = -1;
    };
    auto mixture = [&](bool liquid, const double* T) {
        Words w;
        double y[2] = {};
        if (liquid)
            EVAL_LMTHMY(T, &p, x, y, &n, idx, G, &D, &D, &f, &f, &f, &f, &f, &w.r[0], &w.r[1],
                        &w.r[2], &w.r[3], &w.r[4], &w.r[5], &w.r[6], &w.r[7], &w.r[8], &w.r[9],
                        &w.ierr);
        else
            EVAL_VMTHRM(T, &p, x, &n, idx, G, &D, &D, &f, &f, &f, &f, &f, &w.r[0], &w.r[1], &w.r[2],
                        &w.r[3], &w.r[4], &w.r[5], &w.r[6], &w.r[7], &w.r[8], &w.r[9], &w.ierr);
        return w;
    };
    auto component = [&](bool liquid, int64_t c, const double* T) {
        Words w;
        (liquid ? EVAL_LTHRM : EVAL_VTHRM)(T, &p, &D, &c, G, &D, &D, &f, &f, &f, &f, &f, &w.r[0],
                                           &w.r[1], &w.r[2], &w.r[3], &w.r[4], &w.r[5], &w.r[6],
                                           &w.r[7], &w.r[8], &w.r[9], &w.ierr);
        return w;
    };
    // Enthalpy, heat capacity, volume and Z of a record by the single monitors.
    auto single = [&](bool liquid, const double* xs, int64_t count, const int64_t* is) {
        double w[4] = {}, unused = 0;
        int64_t e[4] = {};
        auto enth = liquid ? EVAL_ENTHL : EVAL_ENTHV;
        enth(&t, &p, xs, &count, is, G, &D, &D, &h, &w[0], &unused, &e[0]);
        enth(&t, &p, xs, &count, is, G, &D, &D, &cp, &unused, &w[1], &e[1]);
        (liquid ? EVAL_VOLL : EVAL_VOLV)(&t, &p, xs, &count, is, G, &D, &D, &w[2], &w[3], &e[2]);
        EXPECT_EQ(e[0] + e[1] + e[2], 0);
        return std::vector<double>(w, w + 4);
    };
    for (bool liquid : {false, true}) {
        for (int64_t c : {int64_t{0}, int64_t{1}, int64_t{2}}) {
            const Words w = c ? component(liquid, c, &t) : mixture(liquid, &t);
            ASSERT_EQ(w.ierr, 0) << liquid << c;
            const std::vector<double> s =
                c ? single(liquid, &unit, one, &c) : single(liquid, x, n, idx);
            EXPECT_EQ(w.r[1], s[0]) << liquid << c;
            EXPECT_EQ(w.r[3], s[1]) << liquid << c;
            EXPECT_EQ(w.r[4], s[2]) << liquid << c;
            EXPECT_EQ(w.r[6], s[3]) << liquid << c;
            EXPECT_EQ(w.r[0], w.r[1] - t * w.r[2]) << liquid << c;
        }
        for (int64_t c : {int64_t{0}, int64_t{1}}) {
            const Words w = c ? component(liquid, c, &bad_t) : mixture(liquid, &bad_t);
            EXPECT_NE(w.ierr, 0);
            for (double r : w.r)
                EXPECT_TRUE(std::isnan(r)) << liquid << c;
        }
    }
}

// The heat of vaporization asks the pure-component monitors at a component's
// own vapour pressure, which leaves the equation's range both ways: n-dodecane
// at 265 K (0.7 Pa), hydrogen at 350 K (extrapolated to 28 GPa).
TEST(Monitors, PureComponentsAtTheirVapourPressureOutsideTheRange) {
    ASSERT_EQ(open({"NC12", "H2"}), 0);
    const int64_t G[6] = {1, 1, 0, 0, 11, 0}, D = 0, f = 1;
    const double R = 8314.462618;
    struct Words {
        double r[10];
        int64_t ierr = -1;
    };
    auto words = [&](bool liquid, int64_t c, double T, double P) {
        Words w;
        (liquid ? EVAL_LTHRM : EVAL_VTHRM)(&T, &P, &D, &c, G, &D, &D, &f, &f, &f, &f, &f, &w.r[0],
                                           &w.r[1], &w.r[2], &w.r[3], &w.r[4], &w.r[5], &w.r[6],
                                           &w.r[7], &w.r[8], &w.r[9], &w.ierr);
        return w;
    };
    auto at = [&](bool liquid, int64_t c, double T, double P) {
        const Words w = words(liquid, c, T, P);
        EXPECT_EQ(w.ierr, 0) << liquid << c << " " << T << " " << P;
        return w;
    };
    // Below 1 Pa the answers join those above, and go on down as a gas of constant second
    // virial coefficient B (G falls by RT ln(P0/P) + B (P0 - P)) and an incompressible liquid.
    const double T = 265.0, lo = 1e-3, hi = 1.0 + 1e-9, below = 1.0 - 1e-9;
    for (bool liquid : {false, true}) {
        const Words a = at(liquid, 1, T, below), b = at(liquid, 1, T, hi);
        for (int k = 0; k < 10; ++k)
            EXPECT_NEAR(a.r[k], b.r[k], 1e-6 * (std::fabs(b.r[k]) + 1.0)) << liquid << k;
    }
    const Words v_lo = at(false, 1, T, lo), v_hi = at(false, 1, T, hi);
    const Words l_lo = at(true, 1, T, lo), l_hi = at(true, 1, T, hi);
    const double B = v_hi.r[4] - R * T / hi;
    EXPECT_LT(B, -1.0); // a heavy vapour: P v / RT is 1 - 3e-6 at 1 Pa
    EXPECT_NEAR(v_hi.r[0] - v_lo.r[0], R * T * std::log(hi / lo) + B * (hi - lo), 1e-3);
    EXPECT_NEAR(lo * v_lo.r[4], R * T + B * lo, 1e-6);
    EXPECT_NEAR(v_lo.r[8], v_hi.r[8] * lo / hi, 1e-6); // residual enthalpy
    EXPECT_NEAR(l_hi.r[0] - l_lo.r[0], l_hi.r[4] * (hi - lo), 1e-3);
    EXPECT_NEAR(l_lo.r[4], l_hi.r[4], 1e-12);
    EXPECT_NEAR(l_lo.r[6], l_hi.r[6] * lo / hi, 1e-12);
    EXPECT_NEAR(l_lo.r[1], l_hi.r[1], 1.0);
    EXPECT_TRUE(std::isfinite(at(false, 1, T, std::exp(-170.0)).r[4])); // the interface's floor
    for (const double p : {1e-120, 0.0, -1e-3}) {                       // declined, as before
        const Words w = words(false, 1, T, p);
        EXPECT_EQ(w.ierr, 1) << p;
        EXPECT_TRUE(std::isnan(w.r[4])) << p;
    }
    EXPECT_GT(v_lo.r[1] - l_lo.r[1], 5e7); // about 70 MJ/kmol
    // Far above its critical point hydrogen's correlation runs past 1 GPa: the answer is
    // held there, where vapour and liquid are one root.
    double lnP = 0.0, second = 0.0, t350 = 350.0;
    const int64_t h2 = 2;
    KERN_PL001(&t350, &f, &h2, &f, &f, &D, &lnP, &second);
    EXPECT_DOUBLE_EQ(lnP, std::log(1e9));
    const Words v = at(false, 2, t350, std::exp(lnP)), l = at(true, 2, t350, std::exp(lnP));
    EXPECT_EQ(v.r[1], l.r[1]);
}

// A liquid's volume does not follow the order of the component list, nor
// the host opened before: here with a trace of methane above its critical
// temperature, which counts with its Rackett volume.
TEST(Monitors, LiquidVolumeOfEachOpenHost) {
    const int64_t G[6] = {1, 1, 0, 0, 11, 0}, D = 0, n = 2, idx[2] = {1, 2};
    const double t = 200, p = 20e5;
    auto volume = [&](const std::vector<std::string>& ids, const double* x) {
        EXPECT_EQ(open(ids), 0);
        double v = 0, z = 0;
        int64_t ierr = -1;
        EVAL_VOLL(&t, &p, x, &n, idx, G, &D, &D, &v, &z, &ierr);
        EXPECT_EQ(ierr, 0);
        return v;
    };
    const double trace[2] = {0.03, 0.97}, reversed[2] = {0.97, 0.03};
    const double n2 = volume({"N2", "NC5"}, trace);
    const double ch4 = volume({"CH4", "NC5"}, trace);
    EXPECT_NEAR(volume({"NC5", "CH4"}, reversed), ch4, 1e-13 * ch4);
    EXPECT_NEAR(volume({"N2", "NC5"}, trace), n2, 1e-13 * n2);
    EXPECT_GT(std::fabs(n2 - ch4), 1e-6 * ch4);
}

// A liquid's volume makes no step as a gas dissolves in it (methane in n-heptane: the
// correlations gave way to the equation of state at 5 % with a step of 2.3 %) or as it is
// heated past its critical point at 200 bar (n-heptane: 45 %, the held compression's
// near-critical volume to the equation's); beyond 7.5 % of such components the volume is the
// translated equation's alone.
TEST(Monitors, LiquidVolumeMakesNoStep) {
    const int64_t G[6] = {1, 1, 0, 0, 11, 0}, eos[6] = {1, 1, 1, 0, 11, 0}, D = 0, idx[2] = {1, 2};
    auto volume = [&](double t, double p, const double* x, int64_t n, const int64_t* g = nullptr) {
        double v = 0, z = 0;
        int64_t ierr = -1;
        EVAL_VOLL(&t, &p, x, &n, idx, g ? g : G, &D, &D, &v, &z, &ierr);
        EXPECT_EQ(ierr, 0) << t << " " << p;
        return v;
    };
    ASSERT_EQ(open({"CH4", "NC7"}), 0);
    double last = 0.0;
    for (double x1 = 0.0; x1 <= 0.1; x1 += 0.001) {
        const double x[2] = {x1, 1.0 - x1}, v = volume(250.0, 30e5, x, 2);
        if (last > 0.0) {
            EXPECT_NEAR(v / last, 1.0, 1e-3) << x1;
        }
        last = v;
    }
    const double x[2] = {0.08, 0.92};
    EXPECT_EQ(volume(250.0, 30e5, x, 2), volume(250.0, 30e5, x, 2, eos));
    ASSERT_EQ(open({"NC7"}), 0);
    const double one = 1.0, tc = 540.2;
    last = 0.0;
    for (double t = 0.9 * tc; t < 1.05 * tc; t += 0.05) {
        const double v = volume(t, 200e5, &one, 1);
        if (last > 0.0) {
            EXPECT_NEAR(v / last, 1.0, 5e-3) << t;
        }
        last = v;
    }
}

// Below 273.15 K, outside the water tables, a pure-water liquid is still a
// liquid: the equation of state and water's correlations answer.
TEST(Monitors, SupercooledWaterOutsideTheTablesIsALiquid) {
    ASSERT_EQ(open({"WATER"}), 0);
    const int64_t tables[6] = {11, 1, 0, 0, 11, 0}, D = 0, one = 1, comp = 1, code = 1;
    const double t = 250, p = 1e5, x = 1.0;
    double v = 0, z = 0, h = 0, cp = 0, mu = 0;
    int64_t ierr = -1;
    EVAL_VOLL(&t, &p, &x, &one, &comp, tables, &D, &one, &v, &z, &ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(18.01528 / v, 1000.0, 60.0); // kg/m3
    EVAL_ENTHL(&t, &p, &x, &one, &comp, tables, &D, &D, &code, &h, &cp, &ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_LT(h, -4.5e7); // some 44 MJ/kmol below the ideal gas
    EVAL_VISCL(&t, &p, &x, &one, &comp, tables, &D, &mu, &ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_GT(mu, 1.79e-3); // above its value at 0 degrees C
}

// Opens each databank component alone in turn and calls f(identifier, Tc).
template <class F> void each_component_alone(F f) {
    const int64_t n = XIFHOST_DATABANK_SIZE();
    for (int64_t i = 1; i <= n; ++i) {
        char id[16], name[16], formula[16];
        int64_t width = 16, ierr = 0;
        double mw, tc, pc;
        XIFHOST_DATABANK_ENTRY(&i, id, name, formula, &width, &mw, &tc, &pc, &ierr);
        std::string sid(id, 16);
        sid.erase(sid.find_last_not_of(' ') + 1);
        ASSERT_EQ(open({sid}), 0) << sid;
        f(sid, tc);
    }
}

// Every transport monitor, for every databank component on its own, from
// near its melting point to well above its critical point: a finite
// positive value and no error.
TEST(Monitors, EveryComponentAcrossItsRange) {
    using Monitor = void (*)(const double*, const double*, const double*, const int64_t*,
                             const int64_t*, const int64_t*, const int64_t*, double*, int64_t*);
    struct Named {
        const char* name;
        Monitor m;
    } monitors[] = {{"VISCL", EVAL_VISCL}, {"VISCV", EVAL_VISCV},   {"TCONL", EVAL_TCONL},
                    {"TCONV", EVAL_TCONV}, {"DIFCOL", EVAL_DIFCOL}, {"DIFCOV", EVAL_DIFCOV}};
    ASSERT_EQ(XIFHOST_DATABANK_SIZE(), 40);
    each_component_alone([&](const std::string& sid, double tc) {
        int64_t ierr = 0;
        const int64_t one = 1, comp = 1, D = 0, G[6] = {1, 1, 0, 0, 11, 0};
        const double x = 1.0, p = 1e5;
        for (double tr : {0.45, 0.6, 0.8, 0.95, 1.2, 2.0}) {
            const double t = tr * tc;
            for (const Named& m : monitors) {
                double v = 0.0;
                m.m(&t, &p, &x, &one, &comp, G, &D, &v, &ierr);
                EXPECT_EQ(ierr, 0) << sid << " " << m.name << " at " << t;
                EXPECT_TRUE(std::isfinite(v) && v > 0.0) << sid << " " << m.name << " " << v;
            }
            if (tr < 0.99) {
                double v = 0.0;
                EVAL_SRFTEN(&t, &p, &x, &one, &comp, G, &D, &v, &ierr);
                EXPECT_EQ(ierr, 0) << sid << " SRFTEN at " << t;
                EXPECT_TRUE(std::isfinite(v) && v > 0.0) << sid << " SRFTEN " << v;
            }
        }
    });
}

// A pure liquid's conductivity is continuous in temperature, across the ends
// of its correlation's range too, where the Sato-Riedel function takes over
// scaled to the correlation's value at the nearer end.
TEST(Monitors, LiquidConductivityJoinsItsCorrelation) {
    each_component_alone([&](const std::string& sid, double tc) {
        int64_t ierr = 0;
        const int64_t one = 1, comp = 1, D = 0, G[6] = {1, 1, 0, 0, 11, 0};
        const double x = 1.0, p = 1e5, step = 1e-3 * tc;
        double last = 0.0;
        for (double t = 0.3 * tc; t < 0.9 * tc; t += step) {
            double k = 0.0;
            EVAL_TCONL(&t, &p, &x, &one, &comp, G, &D, &k, &ierr);
            ASSERT_EQ(ierr, 0) << sid << " at " << t;
            if (last > 0.0) {
                EXPECT_LT(std::fabs(k / last - 1.0), 0.01) << sid << " at " << t;
            }
            last = k;
        }
    });
}

} // namespace
