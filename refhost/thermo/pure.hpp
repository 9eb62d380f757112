// Pure-component helpers on the cubic model: saturation from equal
// fugacities, and single-phase enthalpy of a chosen root.
#pragma once

#include "eos.hpp"

namespace xif::refhost::thermo {

// Vapour pressure of component i at T (Pa). NoSolution at or above Tc.
Status saturation_pressure(const Model& m, int i, double T, double& Psat);
// Saturation temperature of component i at P (K). NoSolution at or above Pc.
Status saturation_temperature(const Model& m, int i, double P, double& Tsat);
// Molar enthalpy (J/kmol) of pure component i on the vapour or liquid root.
Status pure_enthalpy(const Model& m, int i, double T, double P, Root r, double& h);

} // namespace xif::refhost::thermo
