// Cubic equation of state (Peng-Robinson 1978 alpha, or Soave-Redlich-Kwong)
// with one-fluid van der Waals mixing and optional Peneloux translation.
#pragma once

#include "types.hpp"

namespace xif::refhost::thermo {

class Model {
  public:
    // Checks and copies the mixture; computes per-component constants.
    Status init(const Mixture& m);

    int size() const { return n_; }
    EosKind eos() const { return eos_; }
    const PureParams& component(int i) const { return comp_[i]; }
    double vshift(int i) const { return c_[i]; }
    const IdealGas* ideal_gas() const { return ig_; }
    int water() const { return water_; }

    // The roots above B of a phase's cubic in A and B, ascending.
    struct Roots {
        double A = 0, B = 0;
        double z[3] = {};
        int n = 0;
    };

    // A phase's mixing sums and the root it took: what the composition
    // derivatives need beyond the phase's ln phi, kept so that they can be
    // had later without solving the cubic again.
    struct Terms {
        double a, da, d2a, b, c; // a and its temperature derivatives (when asked), b, translation
        double Z;                // the root taken, untranslated
        double L, lzb;           // ln((Z + d1 B)/(Z + d2 B)) and ln(Z - B) there
        Roots roots;             // all the cubic's roots
        Vec x;                   // normalised composition
        Vec r;                   // sum_j (1 - k_ij) x_j sqrt(a_j)
        Vec sa;                  // sum_j x_j a_ij
    };

    // ln fugacity coefficients of a phase of mole fractions x (need not be
    // normalised; they are scaled to sum 1). Z is the compressibility of the
    // root used (untranslated); roots, when asked, all the cubic's roots;
    // terms, when asked, the phase's terms (without a's derivatives).
    // Fails on bad input or when no root exists.
    Status lnphi(double T, double P, const double* x, Root r, double* lnphi, double* Z = nullptr,
                 Roots* roots = nullptr, Terms* terms = nullptr) const;

    // The composition derivatives at constant T and P from the terms that
    // lnphi kept at the same T and P: adds scale * n d(ln phi_i)/d(n_j) to
    // H[i * stride + j] (symmetric).
    Status add_dn(double T, double P, const Terms& t, double scale, double* H, int stride) const;

    // Whether root r of a phase of mole fractions x is its lower-Gibbs root
    // (within 1e-9 in Z); always where the cubic has one root above B.
    // False where there is no root.
    bool lower_gibbs_root(double T, double P, const double* x, Root r) const;
    // The same for the roots that lnphi found.
    bool lower_gibbs(const Roots& rs, Root r) const;

    // Whether a phase lies below the temperature at which the one fluid of
    // its a and b is critical (a / (b R T) above Omega_a / Omega_b there).
    bool subcritical(const Roots& rs) const { return rs.A * omega_b_ > omega_a_ * rs.B; }

    // The volume translation of a phase of mole fractions x, m3/kmol, as
    // properties() subtracts it (0 for an untranslated model).
    double volume_shift(const double* x) const;

    // Full phase properties; lnphi optional.
    Status properties(double T, double P, const double* x, Root r, PhaseProps& out,
                      double* lnphi = nullptr) const;
    // The same for the phase whose terms lnphi kept at this T and P, on the
    // root it took; adds a's temperature derivatives to the terms.
    Status properties(double T, double P, Terms& t, PhaseProps& out) const;

    // Wilson K-value of component i.
    double wilson_k(int i, double T, double P) const;

  private:
    Status mix_terms(double T, const double* x, Terms& mt, bool derivs) const;
    void a_derivatives(double T, Terms& mt) const;
    Status finish_properties(double T, double P, const Terms& mt, PhaseProps& out) const;
    Status lnphi_of(double T, double P, Terms& mt, Root r, double* lnphi, double* Z,
                    Roots* roots = nullptr) const;
    // The roots above B of the cubic for A and B, ascending; returns their count.
    int physical_roots(double A, double B, double zs[3]) const;
    // Root r among them (MinGibbs: the lower reduced residual Gibbs energy).
    double chosen_root(double A, double B, const double* zs, int nz, Root r) const;
    // The same with the chosen root's ln((Z + d1 B)/(Z + d2 B)) and ln(Z - B).
    double chosen_root(double A, double B, const double* zs, int nz, Root r, double& L,
                       double& lzb) const;

    // sqrt(a_i) and its first two temperature derivatives, kept for the last
    // temperature: a flash or a set of property calls evaluates many phases at one T.
    struct Alpha {
        double T = -1.0;
        Vec q{}, dq{}, d2q{};
    };
    const Alpha& alpha(double T) const;
    mutable Alpha alpha_;

    int n_ = 0;
    EosKind eos_ = EosKind::PengRobinson;
    bool translate_ = false;
    const IdealGas* ig_ = nullptr;
    int water_ = -1;
    double d1_ = 0, d2_ = 0, omega_a_ = 0, omega_b_ = 0;
    std::array<PureParams, kMaxComponents> comp_{};
    Vec m_{}, ac_{}, b_{}, c_{};
    std::array<std::array<double, kMaxComponents>, kMaxComponents> omk_{}; // 1 - k_ij
};

// Real roots of Z^3 + c2 Z^2 + c1 Z + c0 = 0, ascending; returns the count (1..3).
int solve_cubic(double c2, double c1, double c0, double roots[3]);

// The engine's working range.
constexpr double kTmin = 1.0, kTmax = 5000.0; // K
constexpr double kPmin = 1.0, kPmax = 1e9;    // Pa

// True if T, P are finite and inside the engine's working range.
bool valid_tp(double T, double P);
// Checks z (finite, >= 0, sum within 1e-4 of 1) and writes the normalised copy.
bool normalise_composition(int n, const double* z, double* out);

} // namespace xif::refhost::thermo
