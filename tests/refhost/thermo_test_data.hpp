// Published constants and shared result checks for the thermodynamic engine's tests.
#pragma once

#include "flash3.hpp"
#include "pure.hpp"

#include <initializer_list>
#include <memory>

namespace thermo_test {

namespace th = xif::refhost::thermo;

// clang-format off
enum Comp { CH4, C2H6, C3H8, NC4, NC5, N2, CO2, H2O, NC6, NC7, NC8, BENZENE, TOLUENE, EBENZENE,
            kNumComp };
// clang-format on

// A model over a subset of the table's components, in the order given.
struct Fixture {
    th::PolynomialIdealGas ig;
    th::Mixture mix;
    th::Model model;
};

std::unique_ptr<Fixture> make(std::initializer_list<Comp> comps,
                              th::EosKind eos = th::EosKind::PengRobinson, bool translate = false,
                              bool with_kij = true);

// Perry's Handbook (8th ed.) Table 2-8 vapour pressure, Pa.
double perry_psat(Comp c, double T);

// Enthalpy of pure component i on both roots at (T, P).
struct SatH {
    double l, v;
};
SatH sat_h(const th::Model& m, int i, double T, double P);

// Root of f in [lo, hi] by bisection; f changes sign across the interval.
template <class F> double bisect(F f, double lo, double hi) {
    const bool rising = f(hi) > 0;
    for (int i = 0; i < 100; ++i) {
        const double mid = 0.5 * (lo + hi);
        ((f(mid) > 0) == rising ? hi : lo) = mid;
    }
    return 0.5 * (lo + hi);
}

// The five flashes of the two- or the three-phase family.
using Flash = th::FlashResult (*)(const th::Model&, double, double, const double*,
                                  const th::FlashOptions&);
struct Family {
    Flash tp, ph, th, pv, tv;
};
extern const Family kTwoPhase, kThreePhase;

// A successful result: finite, fractions in [0, 1], balances closed, aqueous liquid in the
// second liquid slot, components flagged in vapour_only (may be nullptr) in the vapour only.
th::FlashResult sane(const th::Model& m, const th::FlashResult& r, const double* z,
                     const bool* vapour_only = nullptr);

// ln x + ln phi equal in all present phases (skipping flagged or absent components), and
// a vapour less dense than the liquid beside it.
void expect_equal_fugacity(const th::Model& m, const th::FlashResult& r, double tol,
                           const bool* vapour_only = nullptr);

} // namespace thermo_test
