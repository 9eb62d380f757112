// Data-store lookups, stream totals and utilities of the host contract.
#include "host/engine.h"
#include "host/store.h"

#include <cmath>
#include <string_view>

using namespace xif::refhost;

namespace {

bool stream_ok(const double* svec) {
    return svec != nullptr && state().open;
}

// Total molar flow and mass flow from the component flows.
void totals(const double* svec, double& molar, double& mass) {
    const HostState& s = state();
    molar = mass = 0.0;
    for (int64_t j = 0; j < s.nc; ++j) {
        molar += svec[j];
        mass += svec[j] * s.comp[j]->mw;
    }
}

// The stream totals answer the missing value for a stream they cannot total.
constexpr double kNoTotal = 1e35;

} // namespace

extern "C" {

// Key 1 is the list of non-condensables; any other key an empty list.
XIFHOST_EXPORT int64_t CAT_LOCATI(const int64_t* key) {
    const HostState& s = state();
    if (!s.open || !key) return 0;
    return *key == kNoncondensableKey ? s.at.noncondensables : s.at.empty_list;
}

// Offset of a component parameter table; an unknown name gets a table of zeros.
XIFHOST_EXPORT int64_t CAT_IFCMNC(const char* name, size_t name_len) {
    const HostState& s = state();
    if (!s.open || !name) return 0;
    std::string_view n(name, name_len);
    while (!n.empty() && n.back() == ' ')
        n.remove_suffix(1);
    const Layout& a = s.at;
    if (n == "MW") return a.mw;
    if (n == "PC") return a.pc;
    if (n == "TC") return a.tc;
    if (n == "VLSTD") return a.vlstd;
    if (n == "TB") return a.tb;
    if (n == "OMEGA") return a.omega;
    if (n == "MUP") return a.mup;
    return a.zero_table;
}

XIFHOST_EXPORT int64_t CAT_IFCMN(const int64_t* name) {
    const HostState& s = state();
    if (!s.open || !name) return 0;
    const std::string_view n(reinterpret_cast<const char*>(name), 16);
    return n == "VLST    D       " ? s.at.vlstd : s.at.zero_table;
}

XIFHOST_EXPORT void VEC_TOTFLO(double* SVEC, const int64_t*, xif_word*, xif_word*, double* out) {
    double molar, mass;
    if (!stream_ok(SVEC)) return void(*out = kNoTotal);
    totals(SVEC, molar, mass);
    *out = std::isfinite(molar) ? molar : kNoTotal;
}

XIFHOST_EXPORT void VEC_TOTMAS(double* SVEC, const int64_t*, xif_word*, xif_word*, double* out) {
    double molar, mass;
    if (!stream_ok(SVEC)) return void(*out = kNoTotal);
    totals(SVEC, molar, mass);
    *out = std::isfinite(mass) ? mass : kNoTotal;
}

// Enthalpy flow: the stream's molar enthalpy times its molar flow.
XIFHOST_EXPORT void VEC_TOTENT(double* SVEC, const int64_t*, xif_word*, xif_word*, double* out) {
    double molar, mass;
    if (!stream_ok(SVEC)) return void(*out = kNoTotal);
    totals(SVEC, molar, mass);
    const double h = SVEC[state().nc + 3] * molar;
    *out = std::isfinite(h) ? h : kNoTotal;
}

// Before a pressure-enthalpy flash: a temperature the flash can start from.
XIFHOST_EXPORT void VEC_SETH(double* SVEC, const int64_t*, xif_word*, xif_word*, double* out) {
    if (!stream_ok(SVEC)) return;
    double& t = SVEC[state().nc + 1];
    if (!std::isfinite(t) || t < 10.0 || t > 3000.0) t = 298.15;
    if (out) *out = 0.0;
}

XIFHOST_EXPORT int64_t AID_IDXH2O(const int64_t* list, const int64_t* count) {
    const HostState& s = state();
    if (!s.open || !list || !count || s.water == 0) return 0;
    for (int64_t i = 0; i < *count && i < s.nc; ++i)
        if (list[i] == s.water) return i + 1;
    return 0;
}

// Counts the point updates of an exchanger side in its word.
XIFHOST_EXPORT void CONV_PEQPT1(int64_t* word) {
    if (word) ++*word;
}

XIFHOST_EXPORT int64_t EQUI_FLSTAT(const int64_t*, const int64_t* code) {
    return code ? flash_status(*code) : flash_status(-1);
}
}
