#include "scripted_host.h"

#include <cstdio>
#include <cstring>

namespace xif::test {

namespace {
ScriptedHost the_host;

xif_word snapshot(const void* p) {
    xif_word w{};
    if (p) std::memcpy(&w, p, sizeof w);
    return w;
}

Call& record(const char* name, std::initializer_list<const void*> args) {
    Call c;
    c.name = name;
    for (const void* a : args) {
        c.ptr.push_back(a);
        c.word.push_back(snapshot(a));
    }
    the_host.log.push_back(std::move(c));
    if (the_host.on_call) the_host.on_call(name);
    return the_host.log.back();
}

void keep_group(Call& c, const int64_t* g) {
    for (int k = 0; k < 6; ++k)
        c.group[k] = g[k];
}

double answer_for(const char* name, const void* x) {
    auto it = the_host.answer.find(name);
    if (it == the_host.answer.end()) return 0.0;
    auto v = it->second.find(the_host.slot_of_record(x));
    return v == it->second.end() ? 0.0 : v->second;
}

int64_t error_for(const char* name, const void* x = nullptr) {
    auto at_slot = the_host.error_at.find(name);
    if (at_slot != the_host.error_at.end()) {
        auto e = at_slot->second.find(the_host.slot_of_record(x));
        if (e != at_slot->second.end()) return e->second;
    }
    auto it = the_host.error.find(name);
    return it == the_host.error.end() ? 0 : it->second;
}

void monitor(const char* name, const double* T, const double* P, const double* x, const int64_t* n,
             const int64_t* idx, const int64_t* G, const int64_t* D, double* value, int64_t* ierr) {
    Call& c = record(name, {T, P, x, n, idx, G, D, value, ierr});
    keep_group(c, G);
    *value = answer_for(name, x);
    *ierr = error_for(name, x);
}

void thermo(const char* name, Call& c, const void* x, const int64_t* const* flags,
            double* const* results, int64_t* ierr) {
    for (int k = 0; k < 10; ++k)
        *results[k] = -1.0; // words nobody asked for
    for (int k = 0; k < 5; ++k)
        if (*flags[k] == 1) *results[k] = answer_for(name, x);
    *ierr = error_for(name);
    (void)c;
}

void pure_thermo(const char* name, const int64_t* component, const int64_t* const* flags,
                 double* const* results, int64_t* ierr, const std::map<int64_t, double>& h) {
    for (int k = 0; k < 10; ++k)
        *results[k] = -1.0;
    auto it = h.find(*component);
    if (*flags[1] == 1) *results[1] = it == h.end() ? 0.0 : it->second;
    *ierr = error_for(name);
}
} // namespace

ScriptedHost& host() {
    return the_host;
}

double plex_real(int64_t k) {
    return CAT_PLEX[k - 1].r;
}
int64_t plex_int(int64_t k) {
    return CAT_PLEX[k - 1].i;
}
void set_plex_real(int64_t k, double v) {
    CAT_PLEX[k - 1].r = v;
}
void set_plex_int(int64_t k, int64_t v) {
    CAT_PLEX[k - 1].i = v;
}
int64_t block_int(xif_word* block, int64_t k) {
    return block[k - 1].i;
}
void set_block_int(xif_word* block, int64_t k, int64_t v) {
    block[k - 1].i = v;
}
double block_real(xif_word* block, int64_t k) {
    return block[k - 1].r;
}
void set_block_real(xif_word* block, int64_t k, double v) {
    block[k - 1].r = v;
}

void ScriptedHost::reset(int64_t nc) {
    *this = ScriptedHost{};
    std::memset(CAT_PLEX, 0, sizeof(xif_word) * kPlexWords);
    std::memset(CAT_STWKWK, 0, sizeof(xif_word) * 32);
    std::memset(CAT_IPOFF1, 0, sizeof(xif_word) * 460);
    std::memset(CAT_IPOFF4, 0, sizeof(xif_word) * 4);
    std::memset(VEC_STWORK, 0, sizeof(xif_word) * 64);
    std::memset(RIG_HXPKV, 0, sizeof(xif_word) * 16);
    CAT_RGLOB[0].r = 0.0;
    CAT_NCOMP[0].i = nc;
    set_block_int(CAT_STWKWK, 1, at::kRealWork);
    set_block_int(CAT_STWKWK, 2, at::kIntWork);
    set_block_int(VEC_STWORK, 1, at::kSlotRealSize);
    set_block_int(VEC_STWORK, 2, at::kSlotIntSize);
    set_block_int(VEC_STWORK, 7, at::kK1);
    set_block_int(VEC_STWORK, 8, at::kK2);
    set_block_int(VEC_STWORK, 15, at::kWhole);
    set_block_int(VEC_STWORK, 16, at::kTotal);
    set_block_int(VEC_STWORK, 17, at::kLiquid1);
    set_block_int(VEC_STWORK, 18, at::kLiquid2);
    set_block_int(VEC_STWORK, 19, at::kVapour);
    set_block_int(VEC_STWORK, 20, at::kCritWork);
    set_block_int(VEC_STWORK, 25, at::kFlashReal);
    set_block_int(VEC_STWORK, 26, at::kList);
    set_block_int(VEC_STWORK, 29, at::kStreamLists);
    set_block_int(VEC_STWORK, 30, at::kFlashInt);
    set_block_int(CAT_IPOFF1, 14, at::kExclusion);
    set_block_int(CAT_IPOFF1, 306, at::kMw);
    set_block_int(CAT_IPOFF1, 457, at::kParam457);
    set_block_int(CAT_IPOFF4, 3, at::kIds);
    for (int64_t s = 1; s <= 5; ++s) {
        set_block_int(RIG_HXPKV, 5 + s, at::slot_list(s));
        set_block_int(RIG_HXPKV, 10 + s, at::slot_record(s));
    }
    for (int64_t j = 1; j <= nc; ++j) {
        set_plex_real(at::kMw + j, 10.0 * static_cast<double>(j));
        char id[24] = {};
        std::snprintf(id, sizeof id, "C%-7lld", static_cast<long long>(j));
        int64_t w;
        std::memcpy(&w, id, 8);
        set_plex_int(at::kIds + 2 * j - 1, w);
        std::memcpy(&w, "        ", 8);
        set_plex_int(at::kIds + 2 * j, w);
    }
}

void ScriptedHost::write_equilibrium() {
    const int64_t r = at::kRealWork, i0 = at::kIntWork;
    set_block_int(CAT_STWKWK, 3, static_cast<int64_t>(eq.components.size()));
    set_block_real(CAT_STWKWK, 19, eq.T);
    set_block_real(CAT_STWKWK, 20, eq.P);
    set_block_real(CAT_STWKWK, 21, eq.vf);
    set_block_real(CAT_STWKWK, 23, eq.b);
    auto put = [&](int64_t off, const std::vector<double>& v) {
        for (size_t k = 0; k < v.size(); ++k)
            set_plex_real(r + off + static_cast<int64_t>(k), v[k]);
    };
    for (size_t k = 0; k < eq.components.size(); ++k)
        set_plex_int(i0 + at::kList + static_cast<int64_t>(k), eq.components[k]);
    put(at::kWhole, eq.z);
    put(at::kTotal, eq.x);
    put(at::kLiquid1, eq.x1);
    put(at::kLiquid2, eq.x2);
    put(at::kVapour, eq.y);
    put(at::kK1, eq.k1);
    put(at::kK2, eq.k2);
    for (int k = 0; k < 16; ++k)
        set_block_real(VEC_STWORK, 47 + k, eq.per_phase[k]);
}

void ScriptedHost::set_record(int64_t s, const std::vector<int64_t>& comps,
                              const std::vector<double>& x, double fraction, double mw) {
    const auto n = static_cast<int64_t>(comps.size());
    set_block_int(RIG_HXPKV, s, n);
    for (int64_t k = 0; k < n; ++k) {
        set_plex_int(at::slot_list(s) + k, comps[k]);
        set_plex_real(at::slot_record(s) + k, x[k]);
    }
    set_plex_real(at::slot_record(s) + n, fraction);
    set_plex_real(at::slot_record(s) + n + 1, mw);
}

std::vector<Call> ScriptedHost::calls(const std::string& name) const {
    std::vector<Call> out;
    for (const Call& c : log)
        if (c.name == name) out.push_back(c);
    return out;
}

int64_t ScriptedHost::slot_of_record(const void* x) const {
    for (int64_t s = 1; s <= 5; ++s)
        if (x == &CAT_PLEX[at::slot_record(s) - 1]) return s;
    return 0;
}

} // namespace xif::test

using xif::test::the_host;
using namespace xif::test;

extern "C" {

xif_word CAT_PLEX[kPlexWords];
xif_word CAT_NCOMP[1];
xif_word CAT_STWKWK[32];
xif_word CAT_IPOFF1[460];
xif_word CAT_IPOFF4[4];
xif_word CAT_RGLOB[1];
xif_word VEC_STWORK[64];
xif_word RIG_HXPKV[16];

int64_t CAT_LOCATI(const int64_t* key) {
    record("CAT_LOCATI", {key});
    return the_host.subset_list;
}

int64_t CAT_IFCMNC(const char* name, size_t name_len) {
    Call& c = record("CAT_IFCMNC", {});
    c.text.assign(name, name_len);
    auto it = the_host.param_offset.find(c.text);
    return it == the_host.param_offset.end() ? 0 : it->second;
}

int64_t CAT_IFCMN(const int64_t* name) {
    Call& c = record("CAT_IFCMN", {name});
    c.text.assign(reinterpret_cast<const char*>(name), 16);
    return the_host.std_volume_offset;
}

void VEC_TOTFLO(double* SVEC, const int64_t* m, xif_word* l1, xif_word* l2, double* out) {
    record("VEC_TOTFLO", {SVEC, m, l1, l2, out});
    *out = the_host.tot_flow;
}
void VEC_TOTMAS(double* SVEC, const int64_t* m, xif_word* l1, xif_word* l2, double* out) {
    record("VEC_TOTMAS", {SVEC, m, l1, l2, out});
    *out = the_host.tot_mass;
}
void VEC_TOTENT(double* SVEC, const int64_t* m, xif_word* l1, xif_word* l2, double* out) {
    record("VEC_TOTENT", {SVEC, m, l1, l2, out});
    *out = the_host.tot_enth;
}
void VEC_SETH(double* SVEC, const int64_t* m, xif_word* l1, xif_word* l2, double* out) {
    record("VEC_SETH", {SVEC, m, l1, l2, out});
    if (the_host.on_seth) the_host.on_seth(SVEC);
}

int64_t AID_IDXH2O(const int64_t* list, const int64_t* count) {
    record("AID_IDXH2O", {list, count});
    return the_host.water_position;
}

void CONV_PEQPT1(int64_t* word) {
    record("CONV_PEQPT1", {word});
}

#define SCRIPTED_MONITOR(NAME)                                                                     \
    void NAME(const double* T, const double* P, const double* x, const int64_t* n,                 \
              const int64_t* idx, const int64_t* G, const int64_t* D, double* value,               \
              int64_t* ierr) {                                                                     \
        monitor(#NAME, T, P, x, n, idx, G, D, value, ierr);                                        \
    }
SCRIPTED_MONITOR(EVAL_VISCL)
SCRIPTED_MONITOR(EVAL_VISCV)
SCRIPTED_MONITOR(EVAL_TCONL)
SCRIPTED_MONITOR(EVAL_TCONV)
SCRIPTED_MONITOR(EVAL_DIFCOL)
SCRIPTED_MONITOR(EVAL_DIFCOV)
SCRIPTED_MONITOR(EVAL_SRFTEN)

#define SCRIPTED_VOLUME(NAME)                                                                      \
    void NAME(const double* T, const double* P, const double* x, const int64_t* n,                 \
              const int64_t* idx, const int64_t* G, const int64_t* D, const int64_t* one,          \
              double* vol, double* second, int64_t* ierr) {                                        \
        Call& c = record(#NAME, {T, P, x, n, idx, G, D, one, vol, second, ierr});                  \
        keep_group(c, G);                                                                          \
        *vol = answer_for(#NAME, x);                                                               \
        *second = -1.0;                                                                            \
        *ierr = error_for(#NAME);                                                                  \
    }
SCRIPTED_VOLUME(EVAL_VOLL)
SCRIPTED_VOLUME(EVAL_VOLV)

// Code 1 answers the enthalpy under NAME, code 2 the heat capacity under NAME/cp.
#define SCRIPTED_ENTHALPY(NAME)                                                                    \
    void NAME(const double* T, const double* P, const double* x, const int64_t* n,                 \
              const int64_t* idx, const int64_t* G, const int64_t* D, const int64_t* B,            \
              const int64_t* code, double* r1, double* r2, int64_t* ierr) {                        \
        Call& c = record(#NAME, {T, P, x, n, idx, G, D, B, code, r1, r2, ierr});                   \
        keep_group(c, G);                                                                          \
        *r1 = *code == 1 ? answer_for(#NAME, x) : -1.0;                                            \
        *r2 = *code == 2 ? answer_for(#NAME "/cp", x) : -1.0;                                      \
        *ierr = error_for(#NAME);                                                                  \
    }
SCRIPTED_ENTHALPY(EVAL_ENTHL)
SCRIPTED_ENTHALPY(EVAL_ENTHV)

void EVAL_VMTHRM(const double* T, const double* P, const double* x, const int64_t* n,
                 const int64_t* idx, const int64_t* G, const int64_t* D, const int64_t* B,
                 const int64_t* f1, const int64_t* f2, const int64_t* f3, const int64_t* f4,
                 const int64_t* f5, double* r1, double* r2, double* r3, double* r4, double* r5,
                 double* r6, double* r7, double* r8, double* r9, double* r10, int64_t* ierr) {
    Call& c = record("EVAL_VMTHRM", {T,  P,  x,  n,  idx, G,  D,  B,  f1, f2, f3,  f4,
                                     f5, r1, r2, r3, r4,  r5, r6, r7, r8, r9, r10, ierr});
    keep_group(c, G);
    const int64_t* flags[5] = {f1, f2, f3, f4, f5};
    double* results[10] = {r1, r2, r3, r4, r5, r6, r7, r8, r9, r10};
    thermo("EVAL_VMTHRM", c, x, flags, results, ierr);
}

void EVAL_LMTHMY(const double* T, const double* P, const double* x, const double* y,
                 const int64_t* n, const int64_t* idx, const int64_t* G, const int64_t* D,
                 const int64_t* B, const int64_t* f1, const int64_t* f2, const int64_t* f3,
                 const int64_t* f4, const int64_t* f5, double* r1, double* r2, double* r3,
                 double* r4, double* r5, double* r6, double* r7, double* r8, double* r9,
                 double* r10, int64_t* ierr) {
    Call& c = record("EVAL_LMTHMY", {T,  P,  x,  y,  n,  idx, G,  D,  B,  f1, f2,  f3,  f4,
                                     f5, r1, r2, r3, r4, r5,  r6, r7, r8, r9, r10, ierr});
    keep_group(c, G);
    const int64_t* flags[5] = {f1, f2, f3, f4, f5};
    double* results[10] = {r1, r2, r3, r4, r5, r6, r7, r8, r9, r10};
    thermo("EVAL_LMTHMY", c, x, flags, results, ierr);
}

#define SCRIPTED_PURE(NAME, TABLE)                                                                 \
    void NAME(const double* T, const double* P, const int64_t* one, const int64_t* component,      \
              const int64_t* G, const int64_t* D, const int64_t* B, const int64_t* f1,             \
              const int64_t* f2, const int64_t* f3, const int64_t* f4, const int64_t* f5,          \
              double* r1, double* r2, double* r3, double* r4, double* r5, double* r6, double* r7,  \
              double* r8, double* r9, double* r10, int64_t* ierr) {                                \
        Call& c = record(#NAME, {T,  P,  one, component, G,  D,  B,  f1, f2, f3,  f4,  f5,         \
                                 r1, r2, r3,  r4,        r5, r6, r7, r8, r9, r10, ierr});          \
        keep_group(c, G);                                                                          \
        const int64_t* flags[5] = {f1, f2, f3, f4, f5};                                            \
        double* results[10] = {r1, r2, r3, r4, r5, r6, r7, r8, r9, r10};                           \
        pure_thermo(#NAME, component, flags, results, ierr, the_host.TABLE);                       \
    }
SCRIPTED_PURE(EVAL_VTHRM, h_vapour)
SCRIPTED_PURE(EVAL_LTHRM, h_liquid)

void KERN_PL001(const double* T, const int64_t* one, const int64_t* component, const int64_t* one2,
                const int64_t* one3, const int64_t* D, double* lnP, double* second) {
    record("KERN_PL001", {T, one, component, one2, one3, D, lnP, second});
    auto it = the_host.ln_p.find(*component);
    *lnP = it == the_host.ln_p.end() ? 0.0 : it->second;
    *second = -1.0;
}

void EQUI_FLASH(double* SVEC, const int64_t* m, xif_word* list1, xif_word* list2, const int64_t* G,
                const int64_t* IFTYPE, const int64_t* o7, const int64_t* o8, const int64_t* o9,
                const double* r10, double* spec1, double* spec2, double* estimate,
                const int64_t* w22, const int64_t* D, const int64_t* mode, const int64_t* one,
                xif_word* rwork, xif_word* iwork, int64_t* code) {
    Call& c =
        record("EQUI_FLASH", {SVEC,  m,     list1,    list2, G, IFTYPE, o7,  o8,    o9,    r10,
                              spec1, spec2, estimate, w22,   D, mode,   one, rwork, iwork, code});
    keep_group(c, G);
    if (the_host.flash_writes) the_host.write_equilibrium();
    *code = the_host.flash_code;
}

int64_t EQUI_FLSTAT(const int64_t* zero, const int64_t* code) {
    record("EQUI_FLSTAT", {zero, code});
    return the_host.flash_status;
}

void EQUI_CRTCAL(const int64_t* n, const double* x, const int64_t* idx, xif_word* rwork, double* Tc,
                 double* Pc, double* o7, double* o8, int64_t* ierr) {
    record("EQUI_CRTCAL", {n, x, idx, rwork, Tc, Pc, o7, o8, ierr});
    *Tc = the_host.crit_t;
    *Pc = the_host.crit_p;
    *o7 = *o8 = -1.0;
    *ierr = 0;
}
}
