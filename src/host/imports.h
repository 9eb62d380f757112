// What libxif imports from the host: the blocks and routines of the host
// contract, with 1-based word access that reads a word as an integer or a
// real without aliasing a union member.
#pragma once

#include <xif/host.h>

#include <cstdint>
#include <cstring>

namespace xif::host {

inline double real(const xif_word& w) {
    double d;
    std::memcpy(&d, &w, sizeof d);
    return d;
}
inline int64_t integer(const xif_word& w) {
    int64_t v;
    std::memcpy(&v, &w, sizeof v);
    return v;
}
inline void set_real(xif_word& w, double d) {
    std::memcpy(&w, &d, sizeof d);
}
inline void set_integer(xif_word& w, int64_t v) {
    std::memcpy(&w, &v, sizeof v);
}

// Word k (from 1) of a host block.
inline xif_word& plex(int64_t k) {
    return CAT_PLEX[k - 1];
}
inline double plex_real(int64_t k) {
    return real(plex(k));
}
inline int64_t plex_int(int64_t k) {
    return integer(plex(k));
}

// Host arrays are handed on by address; the host reads them as reals or
// integers as its contract says.
inline double* plex_reals(int64_t k) {
    return reinterpret_cast<double*>(&plex(k));
}
inline int64_t* plex_ints(int64_t k) {
    return reinterpret_cast<int64_t*>(&plex(k));
}

inline int64_t ncomp() {
    return integer(CAT_NCOMP[0]);
}
inline xif_word& stwkwk(int64_t k) {
    return CAT_STWKWK[k - 1];
}
inline int64_t stwkwk_int(int64_t k) {
    return integer(stwkwk(k));
}
inline double stwkwk_real(int64_t k) {
    return real(stwkwk(k));
}
inline int64_t stwork(int64_t k) {
    return integer(VEC_STWORK[k - 1]);
}
inline int64_t ipoff1(int64_t k) {
    return integer(CAT_IPOFF1[k - 1]);
}
inline int64_t ipoff4(int64_t k) {
    return integer(CAT_IPOFF4[k - 1]);
}
inline double rglob(int64_t k) {
    return real(CAT_RGLOB[k - 1]);
}
inline xif_word& hxpkv(int64_t k) {
    return RIG_HXPKV[k - 1];
}
inline int64_t hxpkv_int(int64_t k) {
    return integer(hxpkv(k));
}

// Start of the flash's real and integer work areas.
inline int64_t real_work() {
    return stwkwk_int(1);
}
inline int64_t int_work() {
    return stwkwk_int(2);
}
// Entries of the flash component list.
inline int64_t flash_count() {
    return stwkwk_int(3);
}
// CAT_PLEX index of the flash component list's first entry.
inline int64_t flash_list() {
    return int_work() + stwork(26);
}
// CAT_PLEX index of entry 1 of a per-component real array at VEC_STWORK(k).
inline int64_t flash_array(int64_t k) {
    return real_work() + stwork(k);
}
// W: start of the two host stream lists.
inline int64_t stream_lists() {
    return int_work() + stwork(29);
}

// Molecular weight of component j.
inline double component_mw(int64_t j) {
    return plex_real(ipoff1(306) + j);
}

} // namespace xif::host
