// Pure water and steam for the reference host: IAPWS-IF97 thermodynamics,
// IAPWS 2008 viscosity, IAPWS 2011 thermal conductivity and IAPWS 1994
// surface tension.
//
// Every answer is SI on a kmol basis (M = 18.015268 kg/kmol): J/kmol,
// J/(kmol K), m3/kmol, Pa s, W/(m K), N/m. Enthalpy and entropy are shifted
// off the IF97 reference (liquid at the triple point) onto the host's: the
// ideal gas at 298.15 K has H = 0, and at 298.15 K and 101325 Pa has S = 0.
// See README.md for the constants and the validity ranges.
//
// No function throws or allocates; each reports a Status and leaves its
// outputs untouched unless it returns Status::ok.
#pragma once

namespace xif::refhost::water {

inline constexpr double molar_mass = 18.015268; // kg/kmol
inline constexpr double t_crit = 647.096;       // K
inline constexpr double p_crit = 22.064e6;      // Pa
inline constexpr double rho_crit = 322.0;       // kg/m3
inline constexpr double t_triple = 273.16;      // K

// Validity of the thermodynamic tables.
inline constexpr double t_min = 273.15;     // K
inline constexpr double t_max = 2273.15;    // K (region 5)
inline constexpr double t_max_r2 = 1073.15; // K, top of regions 1-3 and 2
inline constexpr double p_max = 100.0e6;    // Pa below 1073.15 K
inline constexpr double p_max_r5 = 50.0e6;  // Pa above 1073.15 K

enum class Status {
    ok = 0,
    bad_input,    // NaN, infinite or non-positive T, P or volume
    out_of_range, // finite but outside the tables' validity
    no_solution,  // the asked-for phase does not exist there, or no convergence
};

// IF97 regions: 1 compressed liquid, 2 steam, 3 near-critical, 4 saturation
// line, 5 high-temperature steam.
enum class Region { none = 0, r1 = 1, r2 = 2, r3 = 3, r4 = 4, r5 = 5 };

enum class Phase { liquid, vapour, supercritical };

// The phase a host has already chosen for properties_as().
enum class PhaseChoice { liquid, vapour };

// One single-phase state.
struct State {
    double t = 0.0;      // K
    double p = 0.0;      // Pa
    double v = 0.0;      // m3/kmol
    double h = 0.0;      // J/kmol, host reference
    double s = 0.0;      // J/(kmol K), host reference
    double cp = 0.0;     // J/(kmol K)
    double cv = 0.0;     // J/(kmol K)
    double w = 0.0;      // m/s
    double dvdp_t = 0.0; // (dv/dP) at constant T, m3/(kmol Pa); negative
    Region region = Region::none;
    Phase phase = Phase::liquid;

    double mass_density() const { return molar_mass / v; } // kg/m3
};

// --- IF97 ---------------------------------------------------------------

// Region of (t, p) by the IF97 boundaries: the saturation line below
// 623.15 K, the B23 line up to 863.15 K, 1073.15 K between 2 and 5. On the
// saturation line itself the answer is region 1 (liquid).
Status region_at(double t, double p, Region& region);

// Stable single-phase state at (t, p) in its own IF97 region.
Status properties(double t, double p, State& out);

// State in the phase the caller has chosen, metastable if need be: liquid is
// region 1 up to 623.15 K and the dense root of region 3 up to the critical
// temperature; vapour is region 2 up to 623.15 K (extrapolated above the
// saturation pressure, to 10 MPa at most) and below B23, and the dilute root
// of region 3 up to the critical temperature. Above the critical temperature,
// or where (t, p) is already in the chosen phase, this is properties().
// no_solution when the phase has no state there: past its spinodal, or so
// deep in the metastable range that the liquid would be lighter (the vapour
// denser) than the critical density.
Status properties_as(double t, double p, PhaseChoice phase, State& out);

// Region-3 state from temperature and molar volume (m3/kmol); p is an output.
// Valid for 623.15 K <= t <= 863.15 K and states inside region 3.
Status region3_tv(double t, double v, State& out);

// Saturation pressure (Pa) for 273.15 K <= t <= 647.096 K.
Status saturation_pressure(double t, double& p);
// Saturation temperature (K) for 611.213 Pa <= p <= 22.064 MPa.
Status saturation_temperature(double p, double& t);

// The B23 boundary between regions 2 and 3, in Pa and K, no range checks.
double b23_pressure(double t);
double b23_temperature(double p);

// --- transport and interface ---------------------------------------------

// Viscosity (Pa s) by IAPWS 2008 without the critical enhancement, which
// matters (above 2 %) only within about 645.9-650.8 K and 246-405 kg/m3.
// From temperature and molar volume, or from an IF97 state.
Status viscosity_tv(double t, double v, double& mu);
Status viscosity(const State& st, double& mu);
// Viscosity of the stable phase at (t, p).
Status viscosity(double t, double p, double& mu);

// Thermal conductivity (W/(m K)) by IAPWS 2011. The _tv form is the
// background only (no critical enhancement); the State form adds the
// enhancement as the release gives it for industrial use, with cp, cv and
// the compressibility from IF97.
Status thermal_conductivity_tv(double t, double v, double& lambda);
Status thermal_conductivity(const State& st, double& lambda);
// Thermal conductivity of the stable phase at (t, p).
Status thermal_conductivity(double t, double p, double& lambda);

// Vapour-liquid surface tension (N/m) by IAPWS 1994, from 248.15 K
// (supercooled) up to the critical temperature, where it is zero.
Status surface_tension(double t, double& sigma);

// --- reference shift ------------------------------------------------------

// Host enthalpy minus IF97 enthalpy (J/kmol), and host entropy minus IF97
// entropy (J/(kmol K)); both constants, from the region-2 ideal-gas part.
double enthalpy_offset();
double entropy_offset();

} // namespace xif::refhost::water
