// Pure-component values of the open components at one temperature, for the
// transport monitors. An exchanger program asks for the viscosity, thermal
// conductivity, surface tension and diffusivity of every phase at the same
// state in a row; each value is computed on first use and kept until the
// temperature changes or another host is opened, and so are the Wilke and
// Wassiljewa pair factors, which depend on the temperature alone.
#pragma once

#include "host/engine.h"
#include "transport/transport.hpp"

#include <array>
#include <cmath>
#include <cstdint>

namespace xif::refhost {

namespace databank {
struct Component;
}

// The per-component values the table keeps, by temperature.
enum class Pure : int {
    liquid_viscosity,    // Pa s
    vapour_viscosity,    // Pa s, low pressure
    liquid_conductivity, // W/(m K)
    vapour_conductivity, // W/(m K), low pressure
    surface_tension,     // N/m, 0 above the critical temperature
    liquid_volume,       // m3/kmol, saturated liquid
    liquid_density,      // kmol/m3, the density row's value up to its upper bound, else 0
    translational,       // Roy-Thodos translational conductivity, up to a common factor
    vapour_pressure,     // Pa: the correlation's, else the Lee-Kesler estimate
    compression_b,       // Pa: B of the compressed-liquid volume below
    count
};

// A transport result that succeeded with a finite positive value; v by
// reference, so that it is read after the call that fills it.
inline bool transport_ok(transport::Status s, const double& v) {
    return s == transport::Status::ok && std::isfinite(v) && v > 0.0;
}

// The components present in a composition, one bit per component, of the first n.
inline uint64_t present(const Composition& z, int n) {
    return n >= 64 ? z.present : z.present & ((uint64_t{1} << n) - 1);
}

class PureTable {
  public:
    // The value of q for component j (0-based); 0 where no method gives one.
    double value(Pure q, int j);
    // The saturated liquid volume's factor for pressure P (Thomson, Brobst
    // and Hankinson, AIChE J. 28 (1982) 671): 1 - C ln((B + P) / (B + Psat))
    // above the vapour pressure, else 1.
    double compression(int j, double P);
    // All components' values of q, filled for those present in z.
    const std::array<double, 64>& values(Pure q, const Composition& z);
    // Wilke's factors of the vapour viscosities and the Wassiljewa factors of
    // the translational conductivities, filled for the pairs present in z.
    transport::PairFactors viscosity_factors(const Composition& z);
    transport::PairFactors conductivity_factors(const Composition& z);

    // Constants of the open components, built once per open host.
    int size() const { return n_; }
    transport::ConstantsList constants_list() const { return {k_.data(), static_cast<size_t>(n_)}; }
    transport::Values of(const std::array<double, 64>& v) const {
        return {v.data(), static_cast<size_t>(n_)};
    }
    const std::array<double, 64>& mw() const { return mw_; }
    const std::array<double, 64>& size_factor() const { return q_; }   // Tamura-Kurata-Odani q
    const std::array<double, 64>& association() const { return phi_; } // Wilke-Chang phi
    // Wilke-Chang's volume term of the molar volume at Tb.
    const std::array<double, 64>& wilke_chang_volume() const { return vb_term_; }
    const std::array<double, 64>& lj_sigma() const { return sigma_; } // m
    const std::array<double, 64>& lj_eps_k() const { return eps_; }   // K
    // Fuller's pair terms; usable for z when every component present has a diffusion volume.
    bool fuller(const Composition& z) const { return (present(z, n_) & ~fuller_mask_) == 0; }
    transport::PairFactors fuller_terms() const { return {fuller_term_.data(), 64}; }

    struct Bounds {
        std::array<double, 2> mu, cp; // at a row's lower and upper bound
    };

  private:
    friend PureTable& pure_table(double T);
    void reset(double T, bool rebuild_constants);
    double compute(Pure q, int j);
    transport::PairFactors factors(const Composition& z, Pure base, std::array<double, 64 * 64>& a,
                                   std::array<uint64_t, 64>& have);

    double T_ = 0.0;
    uint64_t generation_ = 0;
    int n_ = 0;
    std::array<std::array<double, 64>, static_cast<int>(Pure::count)> value_{};
    std::array<uint64_t, static_cast<int>(Pure::count)> have_{};
    std::array<double, 64 * 64> phi_mu_{}, phi_k_{};
    std::array<uint64_t, 64> have_mu_{}, have_k_{};

    std::array<const databank::Component*, 64> comp_{};
    std::array<transport::Constants, 64> k_{};
    std::array<double, 64> mw_{}, q_{}, phi_{}, vb_term_{}, sigma_{}, eps_{};
    std::array<double, 64> gamma_{};           // Roy-Thodos Gamma
    std::array<double, 64> tbh_e_{}, tbh_c_{}; // the compressed-liquid volume's e and C
    std::array<Bounds, 64> kv_bounds_{};
    std::array<std::array<double, 2>, 64> kl_factor_{}; // Sato-Riedel's at the liquid row's bounds
    uint64_t fuller_mask_ = 0;
    std::array<double, 64 * 64> fuller_term_{};
    std::array<transport::WilkeMasses, 64 * 64> wilke_masses_{};
};

// The table for the open host at temperature T.
PureTable& pure_table(double T);

} // namespace xif::refhost
