// Published constants for the thermodynamic engine's tests.
#pragma once

#include "eos.hpp"

#include <initializer_list>
#include <memory>

namespace thermo_test {

namespace th = xif::refhost::thermo;

enum Comp : int {
    CH4,
    C2H6,
    C3H8,
    NC4,
    NC5,
    N2,
    CO2,
    H2O,
    NC6,
    NC7,
    NC8,
    BENZENE,
    TOLUENE,
    EBENZENE,
    kNumComp
};

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

} // namespace thermo_test
