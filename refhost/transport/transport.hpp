// Transport properties for the reference host: mixing rules, dense-fluid
// corrections, pure-component estimation methods and diffusivities.
//
// Every function takes plain pure-component values (already evaluated by the
// caller from the databank correlations) and returns a Status. On success the
// result is finite and positive (the two dense-gas increments: finite and
// >= 0, being 0 at zero density); on any other status the result is set to 0.
// Nothing here allocates or throws.
//
// Units are SI on a kmol basis: K, Pa, kg/kmol, m3/kmol, kmol/m3, Pa s,
// W/(m K), N/m, m2/s, J/(kmol K). Dipole moments are in debye.
//
// Mole fractions: each must be finite and >= 0 and their sum > 0; they are
// divided by their sum, so a composition that does not add up to 1 is
// normalised rather than rejected. Pure-component values are only checked
// (and only used) for components present, i.e. with x > 0.
#pragma once

#include <cmath>
#include <cstddef>
#include <span>
#include <string_view>

namespace xif::refhost::transport {

inline constexpr std::size_t kMaxComponents = 64;

enum class Status : int {
    ok = 0,
    bad_size,        // empty, more than kMaxComponents, or spans of unequal length
    bad_composition, // a mole fraction negative or not finite, or all zero
    bad_input,       // a required value missing, non-positive or not finite
    no_liquid,       // at or above the critical temperature: no liquid property
    no_value,        // the method gives no finite positive value here
};

const char* to_string(Status s);

// Constants of one component, as the databank holds them.
struct Constants {
    double mw = 0;     // kg/kmol
    double tc = 0;     // K
    double pc = 0;     // Pa
    double vc = 0;     // m3/kmol
    double zc = 0;     // -
    double omega = 0;  // acentric factor
    double dipole = 0; // debye
    double tb = 0;     // K, normal boiling point
    double kappa = 0;  // association factor of Chung et al. (0 unless strongly polar)
};

using Values = std::span<const double>;
using ConstantsList = std::span<const Constants>;

// The pair factors of a Wilke or Wassiljewa sum, row-major with row stride
// `stride`, read only for pairs of components present and off the diagonal.
// A caller that evaluates many mixtures at one temperature keeps them rather
// than take n^2 roots per call.
struct PairFactors {
    const double* a = nullptr;
    std::size_t stride = 0;
    double operator()(std::size_t i, std::size_t j) const { return a[i * stride + j]; }
};

// ---------------------------------------------------------------- viscosity

// Liquid: ln mu = sum x_i ln mu_i (Grunberg-Nissan with zero interaction).
Status liquid_viscosity_mix(Values x, Values mu, double& out);

// Vapour at low pressure: Wilke (1950).
Status vapour_viscosity_low_pressure_mix(Values x, Values mu, ConstantsList c, double& out);
// The same with the factors phi_ij = wilke_factor(mu_i, mu_j, M_i, M_j) given.
Status vapour_viscosity_low_pressure_mix(Values x, Values mu, PairFactors phi, double& out);
double wilke_factor(double mu_i, double mu_j, double m_i, double m_j);
// The molecular-weight part of Wilke's factor, (M_j/M_i)^(1/4) and
// 1/sqrt(8 (1 + M_i/M_j)), which a caller may keep per pair.
struct WilkeMasses {
    double root4 = 0.0, inv_norm = 0.0;
};
WilkeMasses wilke_masses(double m_i, double m_j);
// From sqrt(mu_i / mu_j), which a caller filling many pairs takes from roots per component.
inline double wilke_factor_of_root_ratio(double root_ratio, const WilkeMasses& w) {
    const double a = 1.0 + root_ratio * w.root4;
    return a * a * w.inv_norm;
}
inline double wilke_factor(double mu_i, double mu_j, const WilkeMasses& w) {
    return wilke_factor_of_root_ratio(std::sqrt(mu_i / mu_j), w);
}

// Residual (dense-gas) viscosity mu - mu0 of Jossi, Stiel and Thodos (1962)
// at molar density rho (kmol/m3), with the mixture's pseudo-critical constants.
// Zero at zero density, rising monotonically with density.
Status dense_gas_viscosity_increment(Values x, ConstantsList c, double rho, double& out);

// Vapour at any pressure: Wilke plus the Jossi-Stiel-Thodos increment.
Status vapour_viscosity_mix(Values x, Values mu0, ConstantsList c, double rho, double& out);
Status vapour_viscosity_mix(Values x, Values mu0, PairFactors phi, ConstantsList c, double rho,
                            double& out);

// ----------------------------------------------------- thermal conductivity

// Liquid: Li (1976), volume-fraction weighted harmonic pair means.
// v: pure liquid molar volumes (m3/kmol) at the mixture temperature.
Status liquid_conductivity_mix(Values x, Values k, Values v, double& out);

// Vapour at low pressure: Wassiljewa with the Mason-Saxena coefficients,
// epsilon = 1, translational conductivity ratio from Roy and Thodos.
Status vapour_conductivity_low_pressure_mix(Values x, Values k, ConstantsList c, double t,
                                            double& out);
// The same with the factors A_ij = wilke_factor(ktr_i, ktr_j, M_i, M_j) given, ktr the
// translational conductivities (up to a common factor; NaN for unusable constants).
Status vapour_conductivity_low_pressure_mix(Values x, Values k, PairFactors a, double& out);
double translational_conductivity(double t, const Constants& c);
// The same from the component's Roy-Thodos Gamma, which a caller may keep per component
// (NaN for unusable constants, and then so is the conductivity).
double roy_thodos_gamma(const Constants& c);
double translational_conductivity(double t, double tc, double gamma);

// Residual conductivity k - k0 of Stiel and Thodos (1964) at molar density rho.
Status dense_gas_conductivity_increment(Values x, ConstantsList c, double rho, double& out);

// Vapour at any pressure: Wassiljewa-Mason-Saxena plus the Stiel-Thodos increment.
Status vapour_conductivity_mix(Values x, Values k0, ConstantsList c, double t, double rho,
                               double& out);
Status vapour_conductivity_mix(Values x, Values k0, PairFactors a, ConstantsList c, double rho,
                               double& out);

// --------------------------------------------------------- surface tension

// Liquid surface tension of a mixture.
// v: pure liquid molar volumes (m3/kmol) at t.
// water: index of water in the component list, or -1 if there is none.
// q: Tamura-Kurata-Odani size factor of each organic component (for alcohols
//    and acids the number of carbon atoms, for ketones one less); only read
//    when water is present, and may then be empty to mean q = 1 for all.
// Without water (or when water or the organics are absent) the rule of
// Winterfeld, Scriven and Davis (1978) is used; with both water and organics,
// Tamura, Kurata and Odani (1955) with the organics lumped into one.
Status surface_tension_mix(Values x, Values sigma, Values v, double t, int water, Values q,
                           double& out);

// ------------------------------------------------------------- diffusivity

// Fuller-Schettler-Giddings diffusion volume from a Hill formula (C, H, O, N,
// S, Cl; the simple molecules N2, O2, H2, He, Ar, CO, CO2, H2O, H3N, O2S, H2S
// take their own values). aromatic_rings: number of aromatic or heterocyclic
// rings, each -18.3.
Status fuller_volume(std::string_view hill, int aromatic_rings, double& out);

// Binary gas diffusivities at t (K) and p (Pa).
Status fuller_binary_diffusivity(double t, double p, double mw_a, double mw_b, double v_a,
                                 double v_b, double& out);
// sigma in m, eps_k in K; collision integral of Neufeld et al. (1972).
Status chapman_enskog_binary_diffusivity(double t, double p, double mw_a, double mw_b,
                                         double sigma_a, double sigma_b, double eps_k_a,
                                         double eps_k_b, double& out);

// Effective gas-phase diffusivity D = sum x_i D_i,m, with Blanc's rule
// 1/D_i,m = sum_j x_j / D_ij (the j = i term is the self-diffusivity).
Status gas_diffusivity_fuller(Values x, Values mw, Values v, double t, double p, double& out);
// Fuller's pair term sqrt(M_ab) (v_a^(1/3) + v_b^(1/3))^2 and the factor of t and p with
// D_ab = fuller_factor(t, p) / fuller_pair_term(...); the effective diffusivity from the pair
// terms kept by a caller (the diagonal included).
double fuller_factor(double t, double p);
double fuller_pair_term(double mw_a, double mw_b, double v_a, double v_b);
Status gas_diffusivity_fuller(Values x, PairFactors term, double t, double p, double& out);
Status gas_diffusivity_chapman_enskog(Values x, Values mw, Values sigma, Values eps_k, double t,
                                      double p, double& out);

// Wilke-Chang association factors.
inline constexpr double kAssociationWater = 2.6;
inline constexpr double kAssociationMethanol = 1.9;
inline constexpr double kAssociationEthanol = 1.5;
inline constexpr double kAssociationOther = 1.0;

// Wilke-Chang (1955) diffusivity of solute a at infinite dilution in a
// solvent of viscosity mu (Pa s), molecular weight mw and association factor
// phi; vb_a: molar volume of a at its normal boiling point (m3/kmol).
Status wilke_chang_diffusivity(double t, double mu, double mw, double phi, double vb_a,
                               double& out);

// Effective liquid-phase diffusivity D = sum x_i D_i,m, with D_i,m by
// Wilke-Chang in the mixture: solvent term sum_j x_j phi_j M_j and the
// mixture viscosity mu_mix; from Wilke-Chang's volume terms V^0.6 (V = vb in
// cm3/mol), kept by a caller per component.
double wilke_chang_volume_term(double vb);
Status liquid_diffusivity_kept(Values x, Values mw, Values phi, Values volume_term, double t,
                               double mu_mix, double& out);

// ----------------------------------------- pure-component estimation methods

// Low-pressure vapour viscosity, Chung et al. (1988).
Status chung_vapour_viscosity(double t, const Constants& c, double& out);

// Vapour viscosity outside the correlation's range: Chung's temperature
// dependence scaled to meet mu_ref at t_ref (the nearer limit).
Status vapour_viscosity_out_of_range(double t, double t_ref, double mu_ref, const Constants& c,
                                     double& out);

// Saturated-liquid viscosity, Letsou and Stiel (1973); Tr is held at 1 above Tc.
Status letsou_stiel_liquid_viscosity(double t, const Constants& c, double& out);

// Liquid viscosity above the correlation's t_max: Letsou-Stiel scaled to
// meet the correlation's value mu_max at t_max.
Status liquid_viscosity_above_range(double t, double t_max, double mu_max, const Constants& c,
                                    double& out);

// Liquid viscosity below the correlation's range: ln mu extrapolated linearly
// in 1/T through (t1, mu1) and (t2, mu2), t1 the lower limit; held at mu1
// if the two points do not give a viscosity falling with temperature.
Status liquid_viscosity_below_range(double t, double t1, double mu1, double t2, double mu2,
                                    double& out);

// Low-pressure vapour conductivity, Chung et al. (1988).
// cp: ideal-gas heat capacity (J/(kmol K)); mu: low-pressure viscosity (Pa s).
Status chung_vapour_conductivity(double t, double cp, double mu, const Constants& c, double& out);

// Vapour conductivity outside the correlation's range: Chung's value scaled
// to meet k_ref at t_ref; cp and mu are taken at t, cp_ref and mu_ref at t_ref.
Status vapour_conductivity_out_of_range(double t, double cp, double mu, double t_ref, double cp_ref,
                                        double mu_ref, double k_ref, const Constants& c,
                                        double& out);

// Liquid conductivity, Sato-Riedel.
Status sato_riedel_liquid_conductivity(double t, const Constants& c, double& out);

// Liquid conductivity outside the correlation's range: the Sato-Riedel
// temperature function scaled to meet k_ref at t_ref (the nearer limit).
Status liquid_conductivity_out_of_range(double t, double t_ref, double k_ref, const Constants& c,
                                        double& out);
// The same with the temperature function at t_ref kept by the caller:
// f_ref = sato_riedel_factor(t_ref / c.tc).
Status liquid_conductivity_out_of_range(double t, double t_ref, double k_ref, double f_ref,
                                        const Constants& c, double& out);
// The Sato-Riedel temperature function 3 + 20 (1 - Tr)^(2/3), Tr held at 1 above it.
double sato_riedel_factor(double tr);

// Surface tension, Brock and Bird (1955). no_liquid at or above Tc.
Status brock_bird_surface_tension(double t, const Constants& c, double& out);

// Surface tension outside the correlation's range: sigma_ref (1-Tr)^(11/9)
// scaled to meet sigma_ref at t_ref, going to zero at tc. no_liquid at or
// above tc.
Status surface_tension_out_of_range(double t, double t_ref, double sigma_ref, double tc,
                                    double& out);

} // namespace xif::refhost::transport
