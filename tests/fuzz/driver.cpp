#include "driver.h"

#include "scripted_host.h"

#include <xif/xif.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace xif::fuzz {

namespace {

namespace at = test::at;
using test::host;

// Block sizes of the scripted host (tests/host/scripted_host.cpp).
constexpr size_t kStwkwkWords = 32, kIpoff1Words = 460, kIpoff4Words = 4, kStworkWords = 64,
                 kHxpkvWords = 16;
constexpr int64_t kMaxComponents = 8;
constexpr int kMaxCalls = 6;

// ---- Reading the input ----

class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // An exhausted input reads as zeros, so every prefix is a whole case.
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint64_t raw() {
        uint64_t v = 0;
        for (int k = 0; k < 8; ++k)
            v |= uint64_t{byte()} << (8 * k);
        return v;
    }
    int64_t range(int64_t lo, int64_t hi) {
        return lo + static_cast<int64_t>(byte() % static_cast<uint64_t>(hi - lo + 1));
    }
    bool flag() { return (byte() & 1) != 0; }

    // Selectors and option words: the interesting values, or any 64 bits.
    int64_t selector() {
        static constexpr int64_t kTable[16] = {0,
                                               1,
                                               2,
                                               3,
                                               4,
                                               5,
                                               6,
                                               7,
                                               -1,
                                               -2,
                                               -6,
                                               8,
                                               std::numeric_limits<int64_t>::min(),
                                               std::numeric_limits<int64_t>::max(),
                                               int64_t{1} << 32,
                                               (int64_t{1} << 32) + 1};
        const uint8_t b = byte();
        return b < 0xF0 ? kTable[b & 15] : static_cast<int64_t>(raw());
    }

    // Reals: the thresholds the library tests against, the non-finite
    // values, the extremes, or any 64 bits.
    double real() {
        static const double kTable[24] = {0.0,
                                          -0.0,
                                          1.0,
                                          -1.0,
                                          0.5,
                                          0.25,
                                          1e-10,
                                          std::nextafter(1e-10, 1.0),
                                          0.9999999999,
                                          1e8,
                                          std::nextafter(1e8, 2e8),
                                          1e35,
                                          300.0,
                                          1e5,
                                          18.015,
                                          1e-300,
                                          std::numeric_limits<double>::denorm_min(),
                                          DBL_MAX,
                                          -DBL_MAX,
                                          std::numeric_limits<double>::quiet_NaN(),
                                          std::numeric_limits<double>::infinity(),
                                          -std::numeric_limits<double>::infinity(),
                                          1e-30,
                                          2.0};
        const uint8_t b = byte();
        if (b < 0xF0) return kTable[b % 24];
        const uint64_t bits = raw();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// ---- The routines ----

using Common = void (*)(double*, void*, int64_t*, int64_t*, int64_t*, double*, int64_t*);
using Setter = void (*)(double*, void*, void*, const double*);

enum class Kind { kCommon, kSetter, kScale, kComponents, kConstants, kFlash };

struct Routine {
    const char* name;
    Kind kind;
    Common common = nullptr;
    Setter setter = nullptr;
    int64_t element = 0; // a setter's stream-vector element past NC
};

const Routine kRoutines[27] = {
    {"XIF_HXBNCP", Kind::kCommon, XIF_HXBNCP},
    {"XIF_HXBTMP", Kind::kCommon, XIF_HXBTMP},
    {"XIF_HXBPRS", Kind::kCommon, XIF_HXBPRS},
    {"XIF_HXBZTP", Kind::kSetter, nullptr, XIF_HXBZTP, 2},
    {"XIF_HXBZPR", Kind::kSetter, nullptr, XIF_HXBZPR, 3},
    {"XIF_HXBZNT", Kind::kSetter, nullptr, XIF_HXBZNT, 4},
    {"XIF_HXBZVF", Kind::kSetter, nullptr, XIF_HXBZVF, 5},
    {"XIF_HXBFRC", Kind::kCommon, XIF_HXBFRC},
    {"XIF_HXBMWT", Kind::kCommon, XIF_HXBMWT},
    {"XIF_HXBMFL", Kind::kCommon, XIF_HXBMFL},
    {"XIF_HXBZMF", Kind::kScale},
    {"XIF_HXBCMP", Kind::kComponents},
    {"XIF_HXBCPROP", Kind::kConstants},
    {"XIF_HXBFLS", Kind::kFlash},
    {"XIF_HXBNTH", Kind::kCommon, XIF_HXBNTH},
    {"XIF_HXBCPP", Kind::kCommon, XIF_HXBCPP},
    {"XIF_HXBNTR", Kind::kCommon, XIF_HXBNTR},
    {"XIF_HXBQFL", Kind::kCommon, XIF_HXBQFL},
    {"XIF_HXBVOL", Kind::kCommon, XIF_HXBVOL},
    {"XIF_HXBDNS", Kind::kCommon, XIF_HXBDNS},
    {"XIF_HXBTMC", Kind::kCommon, XIF_HXBTMC},
    {"XIF_HXBPRC", Kind::kCommon, XIF_HXBPRC},
    {"XIF_HXBVIS", Kind::kCommon, XIF_HXBVIS},
    {"XIF_HXBTHC", Kind::kCommon, XIF_HXBTHC},
    {"XIF_HXBSFT", Kind::kCommon, XIF_HXBSFT},
    {"XIF_HXBDIF", Kind::kCommon, XIF_HXBDIF},
    {"XIF_HXBTHV", Kind::kCommon, XIF_HXBTHV},
};

// What the caller hands by reference, in one block of words so that a
// write to any of them is seen.
struct Args {
    int64_t side, phase, basis, nval, icode, point, type, update;
    double valin;
    int64_t spare[4];
};
static_assert(sizeof(Args) % 8 == 0);

// Written by the routines; not checked for stray writes.
struct Outputs {
    double value;
    int64_t ierr;
    double flowm, sump, ratio;
};

struct PlannedCall {
    const Routine* routine;
    Args args;
};

// ---- Words that may change ----

enum RegionId {
    kSbd,
    kRpp,
    kImss,
    kOutp,
    kIpp,
    kRmss,
    kRmin,
    kPlex,
    kNcomp,
    kStwkwk,
    kIpoff1,
    kIpoff4,
    kRglob,
    kStwork,
    kHxpkv,
    kSvec,
    kArgs,
    kValues,
    kRegionCount
};

struct Region {
    const char* name;
    const void* base;
    size_t words;
};

using Allowed = std::set<std::pair<int, size_t>>; // region, word from 0

struct Case {
    int64_t nc = 1;
    std::unique_ptr<double[]> svec;
    std::unique_ptr<double[]> values;
    size_t values_len = 0;
    std::set<int64_t> monitor_codes; // error codes the transport monitors write

    std::vector<Region> regions(const Args& args) const {
        return {
            {"XIF_HXSBD", &XIF_HXSBD, 4},
            {"XIF_HXRPP", &XIF_HXRPP, 8},
            {"XIF_HXIMSS", &XIF_HXIMSS, 4},
            {"XIF_HXOUTP", &XIF_HXOUTP, 4},
            {"XIF_HXIPP", &XIF_HXIPP, 28},
            {"XIF_HXRMSS", &XIF_HXRMSS, 4},
            {"XIF_HXRMIN", &XIF_HXRMIN, 5},
            {"CAT_PLEX", CAT_PLEX, test::kPlexWords},
            {"CAT_NCOMP", CAT_NCOMP, 1},
            {"CAT_STWKWK", CAT_STWKWK, kStwkwkWords},
            {"CAT_IPOFF1", CAT_IPOFF1, kIpoff1Words},
            {"CAT_IPOFF4", CAT_IPOFF4, kIpoff4Words},
            {"CAT_RGLOB", CAT_RGLOB, 1},
            {"VEC_STWORK", VEC_STWORK, kStworkWords},
            {"RIG_HXPKV", RIG_HXPKV, kHxpkvWords},
            {"SVEC", svec.get(), static_cast<size_t>(nc + 9)},
            {"arguments", &args, sizeof(Args) / 8},
            {"VALUES", values.get(), values_len},
        };
    }
};

using Snapshot = std::vector<std::vector<uint64_t>>;

// Kept from call to call: a fresh copy of the data store for every call
// costs more than the call.
const Snapshot& take(const std::vector<Region>& regions) {
    static Snapshot s;
    s.resize(regions.size());
    for (size_t r = 0; r < regions.size(); ++r) {
        s[r].resize(regions[r].words);
        std::memcpy(s[r].data(), regions[r].base, regions[r].words * 8);
    }
    return s;
}

[[noreturn]] void fail(const char* routine, int call, const std::string& what) {
    std::fprintf(stderr, "xif fuzz: call %d, %s: %s\n", call + 1, routine, what.c_str());
    std::abort();
}

void check_writes(const std::vector<Region>& regions, const Snapshot& before,
                  const Allowed& allowed, const char* routine, int call) {
    for (size_t r = 0; r < regions.size(); ++r) {
        if (std::memcmp(before[r].data(), regions[r].base, regions[r].words * 8) == 0) continue;
        for (size_t w = 0; w < regions[r].words; ++w) {
            uint64_t now;
            std::memcpy(&now, static_cast<const char*>(regions[r].base) + 8 * w, 8);
            if (now == before[r][w] || allowed.count({static_cast<int>(r), w})) continue;
            char text[160];
            std::snprintf(text, sizeof text, "wrote %s(%zu): %016llx -> %016llx", regions[r].name,
                          w + 1, static_cast<unsigned long long>(before[r][w]),
                          static_cast<unsigned long long>(now));
            fail(routine, call, text);
        }
    }
}

// ---- Laying out the host ----

int64_t plex_index(int64_t k) {
    return k - 1;
}

void zero_blocks() {
    std::memset(&XIF_HXSBD, 0, sizeof XIF_HXSBD);
    std::memset(&XIF_HXRPP, 0, sizeof XIF_HXRPP);
    std::memset(&XIF_HXIMSS, 0, sizeof XIF_HXIMSS);
    std::memset(&XIF_HXOUTP, 0, sizeof XIF_HXOUTP);
    std::memset(&XIF_HXIPP, 0, sizeof XIF_HXIPP);
    std::memset(&XIF_HXRMSS, 0, sizeof XIF_HXRMSS);
    std::memset(&XIF_HXRMIN, 0, sizeof XIF_HXRMIN);
}

// The flash keeps option copies, its two set values, its estimate and its
// code from one call to the next. One flash on a cleared host sets all of
// them, so that every case starts from the same state whatever ran before.
void settle_flash_memory(int64_t nc) {
    host().reset(nc);
    zero_blocks();
    std::vector<double> svec(static_cast<size_t>(nc + 9), 0.0);
    int64_t side = 0, point = 0, type = 1, update = 0, ierr = 0, spare = 0;
    XIF_HXBFLS(svec.data(), &spare, &side, &point, &type, &update, &ierr);
}

const char* const kMonitors[] = {"EVAL_VISCL",    "EVAL_VISCV",  "EVAL_TCONL",  "EVAL_TCONV",
                                 "EVAL_DIFCOL",   "EVAL_DIFCOV", "EVAL_SRFTEN", "EVAL_VOLL",
                                 "EVAL_VOLV",     "EVAL_ENTHL",  "EVAL_ENTHV",  "EVAL_ENTHL/cp",
                                 "EVAL_ENTHV/cp", "EVAL_VMTHRM", "EVAL_LMTHMY"};
constexpr int kTransportMonitors = 7; // the first seven write into the caller's IERR

void lay_out(Input& in, Case& c) {
    const int64_t nc = c.nc;
    host().reset(nc);
    zero_blocks();

    // Exported blocks: any option words, except the data-store indices of
    // the retained slots and the stream-list count, which locate storage.
    for (auto& w : XIF_HXIPP.word)
        w = in.selector();
    XIF_HXIPP.word[XIF_IPP_SLOT_INT - 1] = at::kSlotInts;
    XIF_HXIPP.word[XIF_IPP_SLOT_REAL - 1] = at::kSlotReals;
    XIF_HXIPP.word[XIF_IPP_LIST_COUNT - 1] = in.range(0, 3);
    for (auto& w : XIF_HXRPP.word)
        w = in.real();
    for (auto& w : XIF_HXSBD.word)
        w = in.selector();
    for (auto& w : XIF_HXIMSS.word)
        w = in.selector();
    for (auto& w : XIF_HXOUTP.word)
        w = in.selector();
    for (auto& w : XIF_HXRMSS.word)
        w = in.real();
    for (auto& w : XIF_HXRMIN.word)
        w = in.real();

    // Component data.
    for (int64_t j = 1; j <= nc; ++j) {
        test::set_plex_real(at::kMw + j, in.real());
        test::set_plex_real(at::kExclusion + j, in.range(0, 3) == 0 ? in.real() : 0.0);
        test::set_plex_real(at::kParam457 + j, in.real());
        test::set_plex_real(at::kStdVolume + j, in.real());
    }
    static const char* const kNames[] = {"MW", "PC", "TC", "VLSTD", "TB", "OMEGA", "MUP"};
    for (int64_t k = 0; k < 7; ++k) {
        if (in.range(0, 7) == 0) continue; // unknown to the host: offset 0
        const int64_t off = at::kParams + 100 * k;
        host().param_offset[kNames[k]] = off;
        for (int64_t j = 1; j <= nc; ++j)
            test::set_plex_real(off + j, in.real());
    }
    if (in.flag()) {
        host().subset_list = at::kSubsetList;
        const int64_t entries = in.range(0, 3);
        test::set_plex_int(at::kSubsetList, entries);
        for (int64_t e = 1; e <= entries; ++e) {
            const int64_t j = in.range(1, nc + 1); // nc + 1: an identifier of no component
            for (int64_t h = 0; h < 2; ++h)
                test::set_plex_int(at::kSubsetList + 2 * e - 1 + h,
                                   j <= nc ? test::plex_int(at::kIds + 2 * j - 1 + h)
                                           : static_cast<int64_t>(in.raw()));
        }
    }
    CAT_RGLOB[0].r = in.real();

    // The equilibrium as the host flash leaves it in the work areas; the
    // scripted flash itself writes nothing, so every change seen during a
    // stream flash is the library's own.
    test::Equilibrium& eq = host().eq;
    const int64_t count = in.range(-1, nc);
    for (int64_t i = 0; i < count; ++i)
        eq.components.push_back(in.range(1, nc));
    for (auto* v : {&eq.z, &eq.x, &eq.x1, &eq.x2, &eq.y, &eq.k1, &eq.k2})
        for (int64_t i = 0; i < count; ++i)
            v->push_back(in.real());
    eq.T = in.real(), eq.P = in.real(), eq.vf = in.real();
    eq.b = in.range(0, 2) == 0 ? in.real() : static_cast<double>(in.range(0, 1));
    for (auto& w : eq.per_phase)
        w = in.real();
    host().write_equilibrium();
    if (count < 0) test::set_block_int(CAT_STWKWK, 3, -1);
    host().flash_writes = false;
    host().flash_code = in.selector();
    host().flash_status = in.range(0, 3) == 0 ? in.selector() : 1;
    host().water_position = in.range(-1, (count > 0 ? count : 0) + 1);

    // Phase records as a previous flash left them: counts from -1 to NC.
    for (int64_t s = 1; s <= 5; ++s) {
        const int64_t n = in.range(-1, nc);
        if (n < 0) {
            test::set_block_int(RIG_HXPKV, s, -1);
            continue;
        }
        std::vector<int64_t> comps;
        std::vector<double> x;
        for (int64_t i = 0; i < n; ++i)
            comps.push_back(in.range(1, nc)), x.push_back(in.real());
        const double fraction = in.real();
        host().set_record(s, comps, x, fraction, in.real());
    }

    // Host answers.
    for (int m = 0; m < static_cast<int>(std::size(kMonitors)); ++m) {
        for (int64_t s = 0; s <= 5; ++s)
            host().answer[kMonitors[m]][s] = in.real();
        static constexpr int64_t kCodes[4] = {0, 0, 3, -5}; // -1 is the library's own
        const int64_t code = kCodes[in.range(0, 3)];
        if (code != 0) host().error[kMonitors[m]] = code;
        if (m < kTransportMonitors) c.monitor_codes.insert(code);
    }
    for (int64_t j = 1; j <= nc; ++j) {
        host().ln_p[j] = in.real();
        host().h_vapour[j] = in.real();
        host().h_liquid[j] = in.real();
    }
    host().tot_flow = in.real(), host().tot_mass = in.real(), host().tot_enth = in.real();
    host().crit_t = in.real(), host().crit_p = in.real();

    for (int64_t i = 0; i < nc + 9; ++i)
        c.svec[i] = in.real();

    // The host's stream set-up before a P-H flash leaves the temperature and
    // pressure that the flash needs in the stream vector.
    if (in.flag()) {
        const double t = in.real(), p = in.real();
        host().on_seth = [t, p, nc](double* svec) {
            svec[nc + 1] = t;
            svec[nc + 2] = p;
        };
    }
}

PlannedCall read_call(Input& in) {
    PlannedCall s{};
    s.routine = &kRoutines[in.byte() % 27];
    Args& a = s.args;
    a.side = in.selector(), a.phase = in.selector(), a.basis = in.selector();
    a.nval = in.range(-1, kMaxComponents + 3);
    a.icode = in.selector();
    a.point = in.selector(), a.type = in.selector(), a.update = in.selector();
    a.valin = in.real();
    for (int64_t k = 0; k < 4; ++k)
        a.spare[k] = 0x5350415245000000 + k; // never read by any routine
    return s;
}

// ---- One call and its checks ----

void allow_range(Allowed& a, int region, int64_t from, int64_t count) {
    for (int64_t k = 0; k < count; ++k)
        a.insert({region, static_cast<size_t>(from + k)});
}

// The words a stream flash may write, from the state before it runs.
void allow_flash(Allowed& a, const Case& c, const Args& args) {
    const int64_t nc = c.nc;
    a.insert({kIpp, XIF_IPP_RETENTION - 1});
    a.insert({kRpp, 1});
    a.insert({kRpp, 4});
    const int64_t count = test::block_int(CAT_STWKWK, 3);
    const int64_t n_max = count > 0 ? count : 0;
    for (int64_t s = 1; s <= 5; ++s) {
        if (test::block_int(RIG_HXPKV, s) == -1) continue; // a phase not wanted is never touched
        a.insert({kHxpkv, static_cast<size_t>(s - 1)});
        allow_range(a, kPlex, plex_index(test::block_int(RIG_HXPKV, 5 + s)), n_max);
        allow_range(a, kPlex, plex_index(test::block_int(RIG_HXPKV, 10 + s)), n_max + 2);
    }
    const double b = test::block_real(CAT_STWKWK, 23);
    if (b == 1.0 || b == 0.0) {
        const int64_t to = b == 1.0 ? 17 : 18;
        allow_range(a, kPlex, plex_index(at::kRealWork + test::block_int(VEC_STWORK, to)), nc);
        for (int64_t g = 0; g < 4; ++g)
            a.insert({kStwork, static_cast<size_t>((b == 1.0 ? 48 : 49) + 4 * g)});
    }
    if (XIF_HXIPP.word[XIF_IPP_RETENTION - 1] != 0 && args.point > 0) {
        const int64_t k = args.point + 5 * args.side - 1;
        const int64_t ints = test::block_int(VEC_STWORK, 2);
        a.insert({kPlex, static_cast<size_t>(plex_index(XIF_HXIPP.word[XIF_IPP_SLOT_INT - 1] +
                                                        (ints + 1) * k + ints))});
    }
    for (int64_t e : {2, 3, 5})
        a.insert({kSvec, static_cast<size_t>(nc + e - 1)});
}

void run_call(Case& c, PlannedCall& planned, int index) {
    const Routine& r = *planned.routine;
    Args& args = planned.args;
    const int64_t nc = c.nc;

    // The caller's side of the flash contract: a retained slot is addressed
    // from ISIDE and IPOINT, so both stay in range when one is used.
    if (r.kind == Kind::kFlash && XIF_HXIPP.word[XIF_IPP_RETENTION - 1] != 0 && args.point > 0) {
        args.side &= 1;
        args.point = 1 + args.point % 5;
    }
    // VALUES holds NC elements at least, and NVAL when that is more.
    c.values_len = static_cast<size_t>(args.nval > nc ? args.nval : nc);
    c.values.reset(new double[c.values_len]);
    for (size_t i = 0; i < c.values_len; ++i)
        c.values[i] = -3.5;

    Allowed allowed;
    switch (r.kind) {
    case Kind::kSetter:
        allowed.insert({kSvec, static_cast<size_t>(nc + r.element - 1)});
        break;
    case Kind::kScale:
        allow_range(allowed, kSvec, 0, nc);
        break;
    case Kind::kConstants:
        allow_range(allowed, kValues, 0, args.nval);
        break;
    case Kind::kComponents: {
        allow_range(allowed, kValues, 0, args.nval);
        const int64_t count = test::block_int(CAT_STWKWK, 3);
        const int64_t m = count < args.nval ? count : args.nval;
        for (int64_t i = 0; i < m; ++i)
            allowed.insert(
                {kValues, static_cast<size_t>(test::plex_int(at::kIntWork + at::kList + i) - 1)});
        break;
    }
    case Kind::kFlash:
        allow_flash(allowed, c, args);
        break;
    case Kind::kCommon:
        break;
    }

    const std::vector<Region> regions = c.regions(args);
    const Snapshot& before = take(regions);
    const double missing = XIF_HXRMSS.word[0];
    Outputs out{-7.25, -7, -7.25, -7.25, -7.25};
    switch (r.kind) {
    case Kind::kCommon:
        r.common(c.svec.get(), args.spare, &args.side, &args.phase, &args.basis, &out.value,
                 &out.ierr);
        break;
    case Kind::kSetter:
        r.setter(c.svec.get(), &args.spare[1], &args.spare[2], &args.valin);
        break;
    case Kind::kScale:
        XIF_HXBZMF(c.svec.get(), args.spare, &args.side, &args.valin, &out.flowm, &out.sump,
                   &out.ratio);
        break;
    case Kind::kComponents:
        XIF_HXBCMP(c.svec.get(), args.spare, &args.side, &args.phase, &args.basis, c.values.get(),
                   &args.nval, &out.ierr);
        break;
    case Kind::kConstants:
        XIF_HXBCPROP(&args.spare[1], &args.spare[2], &args.spare[3], &args.icode, c.values.get(),
                     &args.nval);
        break;
    case Kind::kFlash:
        XIF_HXBFLS(c.svec.get(), args.spare, &args.side, &args.point, &args.type, &args.update,
                   &out.ierr);
        break;
    }
    check_writes(regions, before, allowed, r.name, index);

    // The error flag: 0, -1 for an absent phase, a monitor's code, or the
    // flash status; an absent phase answers the missing value.
    if (r.kind == Kind::kFlash && out.ierr != host().flash_status)
        fail(r.name, index, "IERR is not the flash status");
    if (r.kind == Kind::kCommon || r.kind == Kind::kComponents) {
        if (out.ierr != 0 && out.ierr != -1 && !c.monitor_codes.count(out.ierr))
            fail(r.name, index, "IERR " + std::to_string(out.ierr) + " from nowhere");
        const bool absent_answers_missing = r.kind == Kind::kCommon && r.common != XIF_HXBQFL;
        if (out.ierr == -1 && absent_answers_missing &&
            std::memcmp(&out.value, &missing, sizeof missing) != 0)
            fail(r.name, index, "absent phase without the missing value");
    }
    // Component arrays: an absent phase fills positions 1..m with the missing
    // value and leaves the rest of 1..NVAL cleared; a property code outside
    // 2..8 leaves all of 1..NVAL cleared.
    // On the mass basis IERR also carries what XIF_HXBMWT reports for the
    // phase's molar fraction, which inconsistent records can make -1 after
    // the values were written.
    const bool absent = r.kind == Kind::kComponents && out.ierr == -1 && args.basis != 1;
    const bool no_code = r.kind == Kind::kConstants && (args.icode < 2 || args.icode > 8);
    if (absent || no_code) {
        const int64_t count = test::block_int(CAT_STWKWK, 3);
        const int64_t m = absent ? (count < args.nval ? count : args.nval) : 0;
        for (int64_t i = 0; i < args.nval; ++i) {
            const double want = i < m ? missing : 0.0;
            if (std::memcmp(&c.values[i], &want, sizeof want) != 0)
                fail(r.name, index, "VALUES(" + std::to_string(i + 1) + ") not as documented");
        }
    }
}

} // namespace

int run_case(const uint8_t* data, size_t size) {
    Input in(data, size);
    Case c;
    c.nc = in.range(1, kMaxComponents);
    std::vector<PlannedCall> calls(static_cast<size_t>(in.range(1, kMaxCalls)));
    for (auto& call : calls)
        call = read_call(in);

    settle_flash_memory(c.nc);
    c.svec.reset(new double[static_cast<size_t>(c.nc + 9)]);
    lay_out(in, c);
    for (size_t k = 0; k < calls.size(); ++k)
        run_call(c, calls[k], static_cast<int>(k));
    return 0;
}

} // namespace xif::fuzz
