// An exchanger program's session: the reference host set up for a list of
// components, the exported blocks set, a stream vector, and the flash.
// Everything goes through the set-up API and xif's exported routines.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace xif::cli {

// Bad input at the command line or in the set-up: the message names it.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An interaction parameter given for a pair of the stream's components.
struct PairParameter {
    std::string a, b; // databank ids
    double kij = 0.0;
};

struct Options {
    std::vector<std::string> components; // databank ids
    std::vector<double> flows;           // kmol/s
    std::string method = "pr";           // pr | srk
    bool three_phase = false;
    std::vector<std::string> noncondensables;
    bool water_tables = true;
    std::vector<PairParameter> kij; // in place of the databank's, under `method`
};

// Flash specification pairs, by xif's flash type.
enum class Spec : int64_t { PH = 1, TP = 2, PVF = 3, TH = 4, TVF = 5 };

class Session {
  public:
    explicit Session(const Options& o);

    int64_t nc() const { return static_cast<int64_t>(ids_.size()); }
    const std::vector<std::string>& ids() const { return ids_; }
    std::vector<double>& stream() { return svec_; }

    // Lays out the stream vector at T and P. The host also flashes it there;
    // when that flash alone fails the vector still holds the flows, T and P,
    // and the flash that follows decides.
    void set_state(double T, double P);
    // Flashes the stream at a specification pair; returns the flash status
    // (1 = converged). P-H and P-vf flashes start from the stream's present
    // temperature, or from T_estimate when it is above 0.
    int64_t flash(Spec spec, double a, double b, double T_estimate = 0.0);

    double temperature() const { return svec_[nc() + 1]; }
    double pressure() const { return svec_[nc() + 2]; }
    double enthalpy() const { return svec_[nc() + 3]; }
    double vapour_fraction() const { return svec_[nc() + 4]; }
    double total_flow() const { return svec_[nc()]; }           // kmol/s
    double molecular_weight() const { return svec_[nc() + 8]; } // kg/kmol

  private:
    std::vector<std::string> ids_;
    std::vector<double> flows_;
    std::vector<double> svec_;
};

// The set-up API's last message.
std::string host_message();

} // namespace xif::cli
