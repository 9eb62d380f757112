#include "host/store.h"

#include <algorithm>

extern "C" {
XIFHOST_BLOCK xif_word CAT_PLEX[xif::refhost::kPlexWords];
XIFHOST_BLOCK xif_word CAT_NCOMP[1];
XIFHOST_BLOCK xif_word CAT_STWKWK[xif::refhost::kStwkwkWords];
XIFHOST_BLOCK xif_word CAT_IPOFF1[xif::refhost::kIpoff1Words];
XIFHOST_BLOCK xif_word CAT_IPOFF4[xif::refhost::kIpoff4Words];
XIFHOST_BLOCK xif_word CAT_RGLOB[1];
XIFHOST_BLOCK xif_word VEC_STWORK[xif::refhost::kStworkWords];
XIFHOST_BLOCK xif_word RIG_HXPKV[xif::refhost::kHxpkvWords];
}

namespace xif::refhost {

HostState the_state;

int64_t fail(int64_t code, const std::string& message) {
    state().message = message;
    return code;
}

std::array<int64_t, 2> identifier(const std::string& id) {
    char text[16];
    std::memset(text, ' ', sizeof text);
    std::memcpy(text, id.data(), std::min<size_t>(id.size(), sizeof text));
    std::array<int64_t, 2> w{};
    std::memcpy(w.data(), text, sizeof text);
    return w;
}

namespace {

void set_block_int(xif_word* block, int64_t k, int64_t v) {
    set_int(block[k - 1], v);
}

// Hands out consecutive regions of the data store.
struct Allocator {
    int64_t next = 1;
    int64_t take(int64_t words) {
        const int64_t at = next;
        next += words;
        return at;
    }
    // An offset such that offset + i, i = 1..n, are the n words taken.
    int64_t table(int64_t n) { return take(n) - 1; }
};

} // namespace

void lay_out() {
    HostState& s = state();
    const int64_t nc = s.nc;
    Layout a;
    a.nc = nc;
    Allocator alloc;

    // Component parameters.
    a.exclusion = alloc.table(nc);
    a.mw = alloc.table(nc);
    a.param457 = alloc.table(nc);
    a.ids = alloc.table(2 * nc);
    a.pc = alloc.table(nc);
    a.tc = alloc.table(nc);
    a.vlstd = alloc.table(nc);
    a.tb = alloc.table(nc);
    a.omega = alloc.table(nc);
    a.mup = alloc.table(nc);
    a.zero_table = alloc.table(nc);

    // Real work area: seven per-component arrays, the critical-point work
    // and the host's own flash work.
    a.slot_real_size = 3 * nc + 8;
    a.slot_int_size = 4;
    const int64_t crit_words = 2 * nc + 8;
    a.real_work = alloc.take(7 * nc + crit_words + a.slot_real_size);
    a.k1 = 0;
    a.k2 = nc;
    a.whole = 2 * nc;
    a.total = 3 * nc;
    a.liquid1 = 4 * nc;
    a.liquid2 = 5 * nc;
    a.vapour = 6 * nc;
    a.crit_work = 7 * nc;
    a.flash_real = 7 * nc + crit_words;
    // Integer work area: the flash list, the two stream lists, the flash work.
    a.int_work = alloc.take(nc + 2 + a.slot_int_size);
    a.list = 0;
    a.stream_lists = nc;
    a.flash_int = nc + 2;

    for (int64_t slot = 1; slot <= 5; ++slot) {
        a.slot_list[slot] = alloc.take(nc);
        a.slot_record[slot] = alloc.take(nc + 2);
    }
    a.retained_ints = alloc.take(10 * a.slot_int_size);
    a.retained_reals = alloc.take(10 * a.slot_real_size);
    a.noncondensables = alloc.take(1 + 2 * nc);
    a.empty_list = alloc.take(1);
    a.used = alloc.next - 1;
    s.at = a;

    std::memset(CAT_PLEX, 0, sizeof CAT_PLEX);
    std::memset(CAT_STWKWK, 0, sizeof CAT_STWKWK);
    std::memset(CAT_IPOFF1, 0, sizeof CAT_IPOFF1);
    std::memset(CAT_IPOFF4, 0, sizeof CAT_IPOFF4);
    std::memset(VEC_STWORK, 0, sizeof VEC_STWORK);
    std::memset(RIG_HXPKV, 0, sizeof RIG_HXPKV);
    set_real(CAT_RGLOB[0], databank::t_ref);
    set_int(CAT_NCOMP[0], nc);
    set_block_int(CAT_IPOFF1, 14, a.exclusion);
    set_block_int(CAT_IPOFF1, 306, a.mw);
    set_block_int(CAT_IPOFF1, 457, a.param457);
    set_block_int(CAT_IPOFF4, 3, a.ids);
    set_block_int(CAT_STWKWK, 1, a.real_work);
    set_block_int(CAT_STWKWK, 2, a.int_work);
    set_block_int(CAT_STWKWK, 3, nc);
    set_block_int(VEC_STWORK, 1, a.slot_real_size);
    set_block_int(VEC_STWORK, 2, a.slot_int_size - 1);
    set_block_int(VEC_STWORK, 7, a.k1);
    set_block_int(VEC_STWORK, 8, a.k2);
    set_block_int(VEC_STWORK, 15, a.whole);
    set_block_int(VEC_STWORK, 16, a.total);
    set_block_int(VEC_STWORK, 17, a.liquid1);
    set_block_int(VEC_STWORK, 18, a.liquid2);
    set_block_int(VEC_STWORK, 19, a.vapour);
    set_block_int(VEC_STWORK, 20, a.crit_work);
    set_block_int(VEC_STWORK, 25, a.flash_real);
    set_block_int(VEC_STWORK, 26, a.list);
    set_block_int(VEC_STWORK, 29, a.stream_lists);
    set_block_int(VEC_STWORK, 30, a.flash_int);
    for (int64_t slot = 1; slot <= 5; ++slot) {
        set_block_int(RIG_HXPKV, slot, 0); // every phase wanted
        set_block_int(RIG_HXPKV, 5 + slot, a.slot_list[slot]);
        set_block_int(RIG_HXPKV, 10 + slot, a.slot_record[slot]);
    }

    for (int64_t j = 1; j <= nc; ++j) {
        const databank::Component& c = *s.comp[j - 1];
        // Water never counts as non-condensable.
        set_plex_real(a.exclusion + j, c.id == "WATER" ? 1.0 : 0.0);
        set_plex_real(a.mw + j, c.mw);
        set_plex_real(a.param457 + j, c.vstd); // flow scaling sums the standard liquid volume flow
        const auto id = identifier(c.id);
        set_plex_int(a.ids + 2 * j - 1, id[0]);
        set_plex_int(a.ids + 2 * j, id[1]);
        set_plex_real(a.pc + j, c.pc);
        set_plex_real(a.tc + j, c.tc);
        set_plex_real(a.vlstd + j, c.vstd);
        set_plex_real(a.tb + j, c.tb);
        set_plex_real(a.omega + j, c.omega);
        set_plex_real(a.mup + j, c.dipole);
        set_plex_int(a.int_work + a.list + j - 1, j);
    }
    // One molar stream: list 1 holds its kind, list 2 its index.
    set_plex_int(a.int_work + a.stream_lists, 1);
    set_plex_int(a.int_work + a.stream_lists + 1, 1);
    set_plex_int(a.noncondensables, 0);
    set_plex_int(a.empty_list, 0);
}

} // namespace xif::refhost
