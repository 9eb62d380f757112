// The benchmarks' stream: a host opened on a component list, the
// recommended options, one stream vector, and the stream flash.
#pragma once

#include <xif/host.h>
#include <xif/refhost.h>
#include <xif/xif.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace xif::bench {

struct Stream {
    std::vector<double> svec;
    int64_t nc = 0;

    Stream(const std::vector<std::string>& ids, const std::vector<double>& flows, double T,
           double P, int64_t phases = 2) {
        std::vector<char> a(ids.size() * 8, ' ');
        for (size_t k = 0; k < ids.size(); ++k)
            std::memcpy(&a[k * 8], ids[k].data(), ids[k].size());
        int64_t n = static_cast<int64_t>(ids.size()), width = 8, ierr = 0;
        XIFHOST_OPEN(&n, a.data(), &width, &ierr);
        XIFHOST_RECOMMEND(XIF_HXIPP.word, XIF_HXRPP.word, XIF_HXSBD.word, XIF_HXRMSS.word,
                          XIF_HXRMIN.word, &ierr);
        XIF_HXIPP.word[6] = XIF_HXIPP.word[16] = phases;
        nc = n;
        svec.assign(static_cast<size_t>(XIFHOST_STREAM_SIZE(&n)), 0.0);
        XIFHOST_STREAM(flows.data(), &T, &P, svec.data(), &ierr);
        if (ierr != 0) throw std::runtime_error("stream set-up failed");
    }

    [[gnu::noinline]] int64_t flash(int64_t type, double a, double b, int64_t point = 0) {
        double* s = svec.data();
        switch (type) {
        case 1:
            XIF_HXBZPR(s, nullptr, nullptr, &a), XIF_HXBZNT(s, nullptr, nullptr, &b);
            break;
        case 2:
            XIF_HXBZTP(s, nullptr, nullptr, &a), XIF_HXBZPR(s, nullptr, nullptr, &b);
            break;
        }
        int64_t side = 0, update = 0, status = 0;
        XIF_HXBFLS(s, nullptr, &side, &point, &type, &update, &status);
        return status;
    }
};

inline Stream natural_gas(double T = 220.0, double P = 40e5) {
    return Stream({"CH4", "C2H6", "C3H8", "NC4", "NC5", "N2", "CO2"},
                  {0.85, 0.07, 0.04, 0.02, 0.01, 0.005, 0.005}, T, P);
}

using Routine = void (*)(double*, void*, int64_t*, int64_t*, int64_t*, double*, int64_t*);
using Monitor = void (*)(const double*, const double*, const double*, const int64_t*,
                         const int64_t*, const int64_t*, const int64_t*, double*, int64_t*);

// The phase record of slot s, as the monitors take it.
inline int64_t slot_count(int64_t s) {
    return RIG_HXPKV[s - 1].i;
}
inline const double* slot_x(int64_t s) {
    return &CAT_PLEX[RIG_HXPKV[10 + s - 1].i - 1].r;
}
inline const int64_t* slot_idx(int64_t s) {
    return &CAT_PLEX[RIG_HXPKV[5 + s - 1].i - 1].i;
}

// A property routine on side 0, molar basis.
inline double through(Stream& s, Routine r, int64_t phase) {
    int64_t side = 0, basis = 0, ierr = 0;
    double v = 0.0;
    r(s.svec.data(), nullptr, &side, &phase, &basis, &v, &ierr);
    return v;
}

// The full set of properties an exchanger program reads at one state: 10
// routines for the whole stream, the vapour and the first liquid. Not
// inlined, so that a profiler can count one call of it.
[[gnu::noinline]] inline double property_set(Stream& s) {
    static const Routine routines[] = {XIF_HXBFRC, XIF_HXBMWT, XIF_HXBNTH, XIF_HXBCPP, XIF_HXBVOL,
                                       XIF_HXBDNS, XIF_HXBVIS, XIF_HXBTHC, XIF_HXBSFT, XIF_HXBDIF};
    double sum = 0.0;
    for (int64_t phase : {1, 2, 4})
        for (Routine r : routines)
            sum += through(s, r, phase);
    return sum;
}

// The monitor that routine calls, made directly on slot s's phase record
// with side 0's method group, as the routine makes it.
inline double direct(Stream& s, Monitor m, int64_t slot) {
    const int64_t n = slot_count(slot);
    int64_t ierr = 0;
    double v = 0.0;
    m(&s.svec[s.nc + 1], &s.svec[s.nc + 2], slot_x(slot), &n, slot_idx(slot), XIF_HXIPP.word,
      &XIF_HXIPP.word[22], &v, &ierr);
    return v;
}

} // namespace xif::bench
