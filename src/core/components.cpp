// Per-component fractions of the stream or a phase, from the flash work
// area, and pure-component constants by property code.
#include "core/phase_property.h"

using namespace xif;

namespace {

PropertyCall call;
double weight;
int64_t method[6];

// Composition offsets in the flash's real work area, by phase code.
constexpr int64_t kComposition[7] = {0, 15, 19, 16, 17, 18, 19};

double at_least_smallest(double x) {
    return x >= smallest() ? x : 0.0;
}

// Vapour components that the flash marks as the vapour subset, renormalised.
void subset_fractions(double* VALUES, int64_t m) {
    const int64_t key = method[1];
    const int64_t list = key != 0 ? CAT_LOCATI(&method[1]) : 0;
    const int64_t entries = list != 0 ? host::plex_int(list) : 0;
    const int64_t y0 = host::flash_array(19);
    const int64_t k1 = host::flash_array(7);
    const int64_t k2 = host::flash_array(8);
    auto component = [](int64_t i) { return host::plex_int(host::flash_list() + i - 1); };
    for (int64_t i = 1; i <= m; ++i) {
        const int64_t j = component(i);
        const bool allowed = host::plex_real(host::ipoff1(14) + j) == 0.0;
        VALUES[j - 1] = allowed ? at_least_smallest(host::plex_real(y0 + i - 1)) : 0.0;
    }
    double s = 0.0;
    for (int64_t i = 1; i <= m; ++i) {
        const int64_t j = component(i);
        bool marked = host::plex_real(k1 + i - 1) > 1e8 || host::plex_real(k2 + i - 1) > 1e8;
        const int64_t id = host::ipoff4(3) + 2 * j;
        for (int64_t e = 1; !marked && e <= entries; ++e)
            marked = host::plex_int(list + 2 * e - 1) == host::plex_int(id - 1) &&
                     host::plex_int(list + 2 * e) == host::plex_int(id);
        if (!marked) VALUES[j - 1] = 0.0;
        s += VALUES[j - 1];
    }
    for (int64_t i = 1; i <= m; ++i)
        VALUES[component(i) - 1] /= s;
}

} // namespace

extern "C" {

XIF_API void XIF_HXBCMP(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUES, const int64_t* NVAL, int64_t* IERR) {
    // The selectors are read before IERR is cleared: a caller may pass one
    // variable for both.
    const int64_t side = *ISIDE, phase = *IPHASE, basis = *IBASIS;
    enter(call, IERR, &side, &phase, &basis);
    for (int64_t w = 1; w <= 6; ++w)
        method[w - 1] = option(call.side, w);
    const int64_t nval = *NVAL;
    for (int64_t i = 0; i < nval; ++i)
        VALUES[i] = 0.0;
    const int64_t c = host::flash_count();
    const int64_t m = c < nval ? c : nval;

    if (call.phase != kWhole && !(fraction(call, SVEC, call.phase, call.basis) > 0.0)) {
        for (int64_t i = 0; i < m; ++i)
            VALUES[i] = missing(); // by position, not component
        *IERR = -1;
        return;
    }
    if (call.phase == kSubset) {
        subset_fractions(VALUES, m);
    } else {
        const int64_t x0 = host::flash_array(kComposition[call.phase]);
        for (int64_t i = 1; i <= m; ++i)
            VALUES[host::plex_int(host::flash_list() + i - 1) - 1] =
                at_least_smallest(host::plex_real(x0 + i - 1));
    }
    if (call.basis == kMass) {
        XIF_HXBMWT(SVEC, SPARE, &call.side, code_word(call.phase), basis_word(kMolar), &weight,
                   IERR);
        for (int64_t i = 1; i <= m; ++i) {
            const int64_t j = host::plex_int(host::flash_list() + i - 1);
            VALUES[j - 1] = VALUES[j - 1] * host::component_mw(j) / weight;
        }
    }
}

XIF_API void XIF_HXBCPROP(void*, void*, void*, const int64_t* ICODE, double* VALUES,
                          const int64_t* NVAL) {
    const int64_t nval = *NVAL;
    for (int64_t i = 0; i < nval; ++i)
        VALUES[i] = 0.0;
    // Looked up in this order whatever the code asks for.
    const int64_t tb = CAT_IFCMNC("TB", 2);
    const int64_t omega = CAT_IFCMNC("OMEGA", 5);
    const int64_t mup = CAT_IFCMNC("MUP", 3);
    const int64_t vlstd = CAT_IFCMNC("VLSTD", 5);
    const int64_t mw = CAT_IFCMNC("MW", 2);
    const int64_t tc = CAT_IFCMNC("TC", 2);
    const int64_t pc = CAT_IFCMNC("PC", 2);
    if (nval < 1) return;
    int64_t off;
    switch (*ICODE) {
    case 2:
        off = mw;
        break;
    case 3:
        off = pc;
        break;
    case 4:
        off = tc;
        break;
    case 5:
        off = vlstd;
        break;
    case 6:
        off = tb;
        break;
    case 7:
        off = omega;
        break;
    case 8:
        off = mup;
        break;
    default:
        return;
    }
    for (int64_t i = 1; i <= nval; ++i)
        VALUES[i - 1] = host::plex_real(off + i);
}
}
