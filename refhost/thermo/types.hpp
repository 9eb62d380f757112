// Common types of the reference host's thermodynamic engine: component
// parameters, mixture description, ideal-gas hook, status codes and the
// per-phase property record. SI units on a kmol basis throughout.
#pragma once

#include <array>
#include <limits>

namespace xif::refhost::thermo {

inline constexpr int kMaxComponents = 64;
inline constexpr double kR = 8314.462618; // J/(kmol K)
inline constexpr double kTref = 298.15;   // K, ideal-gas enthalpy zero
inline constexpr double kPref = 101325.0; // Pa, ideal-gas entropy reference pressure
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using Vec = std::array<double, kMaxComponents>;

enum class Status : int {
    Ok = 0,
    BadInput = 1,         // NaN, non-positive or absurd T, P, H, fraction or composition
    NotConverged = 2,     // iteration limit reached
    NoSolution = 3,       // the requested state does not exist (e.g. no dew point at this P)
    NumericalFailure = 4, // the equation of state gave no usable root
    TooManyPhases = 5,    // a third liquid, or a fourth phase, lowers the Gibbs energy
};

const char* status_name(Status s);

enum class EosKind : int { PengRobinson = 0, SoaveRedlichKwong = 1 };

// Which root of the cubic a phase takes.
enum class Root : int { Vapour = 0, Liquid = 1, MinGibbs = 2 };

struct PureParams {
    double Tc = 0;        // K
    double Pc = 0;        // Pa
    double omega = 0;     // acentric factor
    double MW = 0;        // kg/kmol
    double vshift = kNaN; // Peneloux volume translation, m3/kmol; NaN: from zra
    double zra = kNaN;    // Rackett compressibility; NaN: 0.29056 - 0.08775 omega
};

// Ideal-gas part, supplied by the caller. For component i at T:
// cp [J/(kmol K)], h [J/kmol] = integral of cp from 298.15 K,
// s [J/(kmol K)] = integral of cp/T from 298.15 K (pressure part excluded).
class IdealGas {
  public:
    virtual ~IdealGas() = default;
    virtual void eval(int i, double T, double& cp, double& h, double& s) const = 0;
};

// cp = c0 + c1 T + c2 T^2 + c3 T^3 + c4 T^4 per component, J/(kmol K).
class PolynomialIdealGas final : public IdealGas {
  public:
    void set(int i, double c0, double c1, double c2, double c3, double c4);
    void eval(int i, double T, double& cp, double& h, double& s) const override;

  private:
    std::array<std::array<double, 5>, kMaxComponents> c_{};
};

struct Mixture {
    int n = 0;
    std::array<PureParams, kMaxComponents> comp{};
    std::array<std::array<double, kMaxComponents>, kMaxComponents> kij{}; // symmetric, kii = 0
    EosKind eos = EosKind::PengRobinson;
    bool volume_translation = false;     // apply Peneloux shift to volume, ln phi and H
    const IdealGas* ideal_gas = nullptr; // not owned; must outlive the model
    int water = -1; // index of water, if present: names the aqueous liquid in a three-phase result
};

// Properties of one phase at (T, P, composition).
struct PhaseProps {
    double Z = kNaN;  // compressibility, P v / (R T), with translated v
    double v = kNaN;  // molar volume, m3/kmol
    double mw = kNaN; // kg/kmol
    double h = kNaN;  // J/kmol
    double s = kNaN;  // J/(kmol K)
    double cp = kNaN; // J/(kmol K)
    double cv = kNaN; // J/(kmol K)
    double hres = kNaN, sres = kNaN, cpres = kNaN, cvres = kNaN;
    double pip = kNaN;  // phase identification parameter; > 1 liquid-like
    double root = kNaN; // the cubic's root taken, P v / (R T) before translation
    // Its smallest and largest roots: the liquid and vapour roots that the
    // same composition would take.
    double root_low = kNaN, root_high = kNaN;
    bool liquid_like = false;
    // Below the pseudo-critical temperature of its one fluid: a / (b R T)
    // above Omega_a / Omega_b.
    bool subcritical = false;
};

} // namespace xif::refhost::thermo
