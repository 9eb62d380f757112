#include "thermal/records.h"

#include "core/phase_record.h"

namespace xif {

namespace {

constexpr double kTrace = 1e-10;
constexpr double kMarked = 1e8; // a flash array value above it marks a subset component

double clipped(double f) {
    if (f <= kTrace) f = 0.0;
    if (f >= 0.9999999999) f = 1.0;
    return f;
}

xif_word& stwork_word(int64_t k) {
    return VEC_STWORK[k - 1];
}

// One liquid holds all the liquid: it gets the total liquid's composition
// and per-phase values, so that its record equals the total liquid's.
void fill_single_liquid(int64_t to_offset, int64_t to_group_word) {
    const int64_t from = host::flash_array(16);
    const int64_t to = host::flash_array(to_offset);
    for (int64_t i = 0; i < host::ncomp(); ++i)
        host::plex(to + i) = host::plex(from + i);
    for (int64_t g = 0; g < 4; ++g)
        stwork_word(to_group_word + 4 * g) = stwork_word(48 + 4 * g);
}

void build_record(int64_t s, int64_t composition, double fraction, const xif_word& mw,
                  int64_t water) {
    const Slot slot{s};
    if (slot.n() == -1) return; // not wanted: never touched
    const int64_t list = slot.list();
    const int64_t rec = slot.record();
    const int64_t x0 = host::flash_array(composition);
    const int64_t c = host::flash_count();
    int64_t n = 0;
    for (int64_t i = 1; i <= c; ++i) {
        const double x = host::plex_real(x0 + i - 1);
        if (x > kTrace || i == water) { // water is always listed
            ++n;
            host::plex(list + n - 1) = host::plex(host::flash_list() + i - 1);
            host::set_real(host::plex(rec + n - 1), x);
        }
    }
    host::set_integer(slot.count_word(), n);
    host::set_real(host::plex(rec + n), clipped(fraction));
    host::plex(rec + n + 1) = mw;
}

bool listed(int64_t k, int64_t list) {
    if (list == 0) return false;
    const int64_t id = host::ipoff4(3) + 2 * k;
    const int64_t entries = host::plex_int(list);
    for (int64_t e = 1; e <= entries; ++e)
        if (host::plex_int(list + 2 * e - 1) == host::plex_int(id - 1) &&
            host::plex_int(list + 2 * e) == host::plex_int(id))
            return true;
    return false;
}

void build_subset(const int64_t* key, double vf) {
    const Slot slot{5};
    if (slot.n() == -1) return;
    const int64_t list = *key != 0 ? CAT_LOCATI(key) : 0;
    const int64_t rec = slot.record();
    const int64_t y0 = host::flash_array(19);
    const int64_t k1 = host::flash_array(7);
    const int64_t k2 = host::flash_array(8);
    const int64_t c = host::flash_count();
    int64_t n = 0;
    double sum = 0.0;
    for (int64_t i = 1; i <= c; ++i) {
        const int64_t k = host::plex_int(host::flash_list() + i - 1);
        const double y = host::plex_real(y0 + i - 1);
        if (!(host::plex_real(host::ipoff1(14) + k) == 0.0) || !(y > kTrace)) continue;
        if (!(host::plex_real(k1 + i - 1) > kMarked || host::plex_real(k2 + i - 1) > kMarked ||
              listed(k, list)))
            continue;
        ++n;
        sum += y;
        host::set_integer(host::plex(slot.list() + n - 1), k);
        host::set_real(host::plex(rec + n - 1), y);
    }
    double mw = 0.0;
    for (int64_t j = 1; j <= n; ++j) {
        const double y = host::plex_real(rec + j - 1) / sum;
        host::set_real(host::plex(rec + j - 1), y);
        mw += host::component_mw(host::plex_int(slot.list() + j - 1)) * y;
    }
    host::set_integer(slot.count_word(), n);
    host::set_real(host::plex(rec + n), clipped(sum * vf));
    host::set_real(host::plex(rec + n + 1), mw);
}

} // namespace

void build_phase_records(const int64_t* subset_key) {
    const double b = host::stwkwk_real(23);
    if (b == 1.0)
        fill_single_liquid(17, 49);
    else if (b == 0.0)
        fill_single_liquid(18, 50);

    const int64_t water = AID_IDXH2O(host::plex_ints(host::flash_list()),
                                     reinterpret_cast<const int64_t*>(&host::stwkwk(3)));
    const double vf = host::stwkwk_real(21);
    build_record(4, 19, vf, stwork_word(59), water);
    build_record(1, 16, 1.0 - vf, stwork_word(60), water);
    build_record(2, 17, (1.0 - vf) * b, stwork_word(61), water);
    build_record(3, 18, (1.0 - vf) * (1.0 - b), stwork_word(62), water);
    build_subset(subset_key, vf);
}

} // namespace xif
