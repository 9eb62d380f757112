// The reference host's work in instructions, steady state: after one
// flash and property set to open everything, N units of one kind in a
// function of their own for a profiler to count (bench/count.sh):
//   valgrind --tool=callgrind --toggle-collect='*units*' xif_count flash 300
// Every unit is a new state (220 K + k mK, 40 bar) unless said otherwise.
#include "stream.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace xif::bench;

namespace {

double sink = 0.0;

double temperature(int k) {
    return 220.0 + 1e-3 * k;
}

[[gnu::noinline]] void flash_units(Stream& s, int n) {
    for (int k = 1; k <= n; ++k)
        sink += static_cast<double>(s.flash(2, temperature(k), 40e5));
}

[[gnu::noinline]] void flash_properties_units(Stream& s, int n) {
    for (int k = 1; k <= n; ++k) {
        s.flash(2, temperature(k), 40e5);
        sink += property_set(s);
    }
}

// The property set alone, after a flash that is not counted.
[[gnu::noinline]] void properties_units(Stream& s) {
    sink += property_set(s);
}

// The same state again: the host's caches answer.
[[gnu::noinline]] void repeated_units(Stream& s, int n) {
    for (int k = 1; k <= n; ++k)
        sink += property_set(s);
}

// Three phases, water / n-hexane / n-heptane at 1 atm, 345 K + k mK.
[[gnu::noinline]] void three_phase_units(Stream& s, int n) {
    for (int k = 1; k <= n; ++k)
        sink += static_cast<double>(s.flash(2, 345.0 + 1e-3 * k, 101325.0));
}

// A unit is a curve point: 100 of them from 150 to 348 K.
[[gnu::noinline]] void curve_units(Stream& s, int n) {
    for (int c = 0; c < n / 100; ++c)
        for (int k = 0; k < 100; ++k) {
            s.flash(2, 150.0 + 2.0 * k, 40e5);
            sink += property_set(s);
        }
}

} // namespace

int main(int argc, char** argv) {
    const char* kind = argc > 1 ? argv[1] : "";
    const int n = argc > 2 ? std::atoi(argv[2]) : 0;
    if (n < 1) {
        std::fprintf(
            stderr,
            "usage: xif_count flash|flash_properties|properties|repeated|curve|three_phase N\n");
        return 2;
    }
    if (!std::strcmp(kind, "three_phase")) {
        Stream w({"WATER", "NC6", "NC7"}, {0.4, 0.4, 0.2}, 345.0, 101325.0, 3);
        three_phase_units(w, n);
        std::printf("%s: %d units (%g)\n", kind, n, sink);
        return 0;
    }
    Stream s = natural_gas();
    s.flash(2, 220.0, 40e5);
    property_set(s);
    if (!std::strcmp(kind, "flash")) {
        flash_units(s, n);
    } else if (!std::strcmp(kind, "flash_properties")) {
        flash_properties_units(s, n);
    } else if (!std::strcmp(kind, "properties")) {
        for (int k = 1; k <= n; ++k) {
            s.flash(2, temperature(k), 40e5);
            properties_units(s);
        }
    } else if (!std::strcmp(kind, "repeated")) {
        repeated_units(s, n);
    } else if (!std::strcmp(kind, "curve")) {
        s.flash(2, 348.0, 40e5); // the curve's last point, as when it is run again
        curve_units(s, n);
    } else {
        std::fprintf(stderr, "xif_count: unknown kind '%s'\n", kind);
        return 2;
    }
    std::printf("%s: %d units (%g)\n", kind, n, sink);
    return 0;
}
