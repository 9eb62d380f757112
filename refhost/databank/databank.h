// Component databank of the reference host: pure-component constants, temperature
// correlations, Lennard-Jones parameters and cubic-EOS k_ij for the compiled-in components.
// Every value is SI on a kmol basis. The data are parsed once, on first use, from the text
// compiled into the library (components.dat); no file is read at run time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace xif::refhost::databank {

inline constexpr std::size_t max_components = 64;
inline constexpr double r_gas = 8314.462618; // J/(kmol K)
inline constexpr double t_ref = 298.15;      // K, ideal-gas enthalpy and entropy are 0 here
inline constexpr double t_std = 288.706;     // K, 60 F, reference of the standard liquid volume

// Equation forms of the correlations; the numbers are the DIPPR equation numbers.
enum class Form : std::uint8_t {
    none,
    dippr100,
    dippr101,
    dippr102,
    dippr105,
    dippr106,
    dippr114,
    dippr116,
    trc,    // TRC ideal-gas heat capacity, coefficients a0..a7 dimensionless
    mulero, // Mulero-Cachadina surface tension
};

struct Correlation {
    Form form = Form::none;
    std::array<double, 8> c{}; // A..H
    double tc = 0.0;           // K, the critical temperature the row was fitted with
    double tmin = 0.0;         // K
    double tmax = 0.0;         // K; +inf when the row holds at any temperature
    double ln_b = 0.0;         // 105: ln B, so that B^y is exp(y ln B) (set by prepare)
    double at_tmin = 0.0;      // eval at tmin and at a finite tmax (set by prepare)
    double at_tmax = 0.0;

    // Literal value of the form at T (K), in SI kmol units, also outside [tmin, tmax].
    // NaN where the form is undefined (T <= 0; above the row's Tc for 105, 114 and 116).
    // Forms that vanish at the critical point (106, MC) give 0 at and above it.
    double eval(double T) const noexcept;
    // The same with ln T given (the 101 and 102 forms take it), for a caller that
    // evaluates many rows at one temperature.
    double eval(double T, double lnT) const noexcept;
    bool in_range(double T) const noexcept;
    bool present() const noexcept { return form != Form::none; }
    // Sets the factors eval takes from the coefficients alone; the loader calls it once a
    // row is read, and whoever changes a row's coefficients calls it again.
    void prepare() noexcept;
};

struct LjSet {
    std::string source; // POLING, MAGALHAES or CHEMSEP
    double sigma = 0.0; // Angstrom
    double eps_k = 0.0; // K
};

enum class VstdBasis : std::uint8_t { rhol_60f, rhol_tb, published };

struct Component {
    std::size_t index = 0; // position in all()
    std::string id;        // e.g. "WATER", "CH4"
    std::string name;
    std::string cas;
    std::string formula;
    double mw = 0.0;     // kg/kmol
    double tc = 0.0;     // K
    double pc = 0.0;     // Pa
    double vc = 0.0;     // m3/kmol
    double zc = 0.0;     // -
    double omega = 0.0;  // -
    double tb = 0.0;     // K
    double tm = 0.0;     // K
    double dipole = 0.0; // debye
    double vstd = 0.0;   // m3/kmol, standard liquid volume at 60 F
    VstdBasis vstd_basis = VstdBasis::rhol_60f;
    double lj_sigma = 0.0; // Angstrom, preferred set
    double lj_eps_k = 0.0; // K, preferred set
    std::string lj_source;
    std::vector<LjSet> lj_sets; // every set the data carry, preferred first

    Correlation psat;  // Pa
    Correlation rhol;  // kmol/m3, saturated liquid
    Correlation hvap;  // J/kmol
    Correlation cpl;   // J/(kmol K)
    Correlation cpig;  // J/(kmol K)
    Correlation mul;   // Pa s
    Correlation muv;   // Pa s, low pressure
    Correlation kl;    // W/(m K)
    Correlation kv;    // W/(m K), low pressure
    Correlation sigma; // N/m

    // Ideal gas. Outside the CPIG range Cp is held at its value at the nearer bound, so the
    // three are finite and consistent (h' = cp, s' = cp/T) for any T > 0.
    double cp_ig(double T) const noexcept; // J/(kmol K)
    double h_ig(double T) const noexcept;  // J/kmol, integral of cp_ig from 298.15 K
    double s_ig(double T) const noexcept;  // J/(kmol K), integral of cp_ig/T from 298.15 K
    // The three at once: the two integrals share their values of cp.
    void ideal_gas(double T, double& cp, double& h, double& s) const noexcept;

    // Filled by the loader: the CPIG integrals at evenly spaced nodes over the row's range
    // (used by the TRC form, which has no closed-form integral).
    struct IgTable {
        double t0 = 0.0, dt = 0.0;
        std::size_t n = 0;
        std::array<double, 129> h{}; // integral of cp from t0
        std::array<double, 129> s{}; // integral of cp/T from t0
    } ig;
    double h_at_ref = 0.0; // unshifted enthalpy integral at 298.15 K
    double s_at_ref = 0.0;
};

struct BinaryKij {
    enum class Eos : std::uint8_t { pr, srk } eos = Eos::pr;
    std::size_t i = 0, j = 0; // component indices
    double value = 0.0;
    std::string source;
    double tmin = 0.0, tmax = 0.0; // K of the fitted data, 0 when not given
};

class Databank {
  public:
    std::span<const Component> all() const noexcept { return comps_; }
    const Component* find(std::string_view id) const noexcept;
    // Symmetric; 0 on the diagonal, for pairs without data and for components of another bank.
    double kij_pr(const Component& a, const Component& b) const noexcept;
    // The SRK value where one is given, else the PR value.
    double kij_srk(const Component& a, const Component& b) const noexcept;
    std::span<const BinaryKij> kij_rows() const noexcept { return kij_rows_; }

  private:
    friend std::string parse(std::string_view text, Databank& out);
    bool owns(const Component& c) const noexcept;
    std::vector<Component> comps_;
    std::vector<BinaryKij> kij_rows_;
    std::array<std::array<double, max_components>, max_components> pr_{};
    std::array<std::array<double, max_components>, max_components> srk_{}; // NaN: use PR
    std::array<std::array<bool, max_components>, max_components> pr_set_{};
};

// Parses databank text into out. Returns "" on success, else "line N: what is wrong"; out is
// then left empty.
std::string parse(std::string_view text, Databank& out);

// The compiled-in databank, parsed on first use (thread-safe).
const Databank& bank();
// "" when the compiled-in text loaded; otherwise the parse error, and bank() is empty.
const std::string& load_error();
std::string_view embedded_text() noexcept;

inline std::span<const Component> all() {
    return bank().all();
}
inline const Component* find(std::string_view id) {
    return bank().find(id);
}
inline double kij_pr(const Component& a, const Component& b) {
    return bank().kij_pr(a, b);
}
inline double kij_srk(const Component& a, const Component& b) {
    return bank().kij_srk(a, b);
}

} // namespace xif::refhost::databank
