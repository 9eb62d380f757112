#include "curve.h"

#include <xif/xif.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace xif::cli {

const char* kind_name(PointKind k) {
    switch (k) {
    case PointKind::Dew:
        return "dew";
    case PointKind::Bubble:
        return "bubble";
    default:
        return "point";
    }
}

namespace {

// Temperature step of the apparent heat capacity's central difference, K:
// small against the curve's steps, large against the flash's tolerance.
constexpr double kCpStep = 0.02;
// Offsets of the extra points either side of a dew or bubble point, as
// fractions of the grid's temperature step.
constexpr double kDenseOffsets[] = {0.03, 0.1, 0.3};

class Builder {
  public:
    Builder(Session& s, const CurveArgs& a, const Progress& progress)
        : s_(s), a_(a), progress_(progress) {}

    Curve run() {
        const int n = a_.points;
        // The grid, the dew and bubble points and at most six extra points
        // beside each.
        expected_ = n + 2 + 2 * static_cast<int>(std::size(kDenseOffsets)) * 2;
        // The inlet: every duty is measured from it.
        if (!flash_tp(a_.T_in, a_.P_in))
            throw CurveError(message("the inlet flash did not converge", a_.T_in, a_.P_in));
        H_in_ = whole_enthalpy();
        curve_.molecular_weight = s_.molecular_weight();
        if (a_.equal_enthalpy) {
            if (!flash_tp(a_.T_out, a_.P_out))
                throw CurveError(message("the outlet flash did not converge (equal enthalpy "
                                         "steps need both ends)",
                                         a_.T_out, a_.P_out));
            H_out_ = whole_enthalpy();
        }
        for (int i = 0; i < n; ++i) {
            const double f = static_cast<double>(i) / (n - 1);
            const double T = a_.T_in + (a_.T_out - a_.T_in) * f, P = pressure(f);
            bool ok;
            if (!a_.equal_enthalpy || i == 0 || i == n - 1)
                ok = flash_tp(T, P);
            else
                ok = flash(Spec::PH, P, H_in_ + (H_out_ - H_in_) * f, T);
            add(PointKind::Point, ok, T, P, f);
        }
        if (a_.T_in != a_.T_out) {
            saturation(1.0, PointKind::Dew);
            saturation(0.0, PointKind::Bubble);
        }
        sort_points();
        second_liquid_edges();
        dense();
        sort_points();
        duties();
        return std::move(curve_);
    }

  private:
    Session& s_;
    const CurveArgs& a_;
    const Progress& progress_;
    Curve curve_;
    double H_in_ = 0, H_out_ = 0;
    std::vector<double> edges_; // temperatures where a second liquid appears
    int done_ = 0, expected_ = 0;

    static std::string message(const char* what, double T, double P) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "%s at T = %.6g K, P = %.6g Pa", what, T, P);
        return buf;
    }

    double pressure(double position) const {
        return a_.P_in + (a_.P_out - a_.P_in) * std::clamp(position, 0.0, 1.0);
    }

    double whole_enthalpy() { return s_.enthalpy(); }

    // Position along the curve of a flashed state.
    double position(double T, double H) const {
        if (a_.equal_enthalpy) return H_out_ != H_in_ ? (H - H_in_) / (H_out_ - H_in_) : 0.0;
        return a_.T_out != a_.T_in ? (T - a_.T_in) / (a_.T_out - a_.T_in) : 0.0;
    }

    bool flash(Spec spec, double a, double b, double T_estimate) {
        return s_.flash(spec, a, b, T_estimate) == 1;
    }
    bool flash_tp(double T, double P) { return flash(Spec::TP, T, P, 0.0); }

    // Reads the flashed state into a new point, then its apparent heat
    // capacity (which flashes again either side).
    void add(PointKind kind, bool ok, double T, double P, double grid_position = -1.0) {
        ++done_;
        if (progress_) progress_(done_, std::max(done_, expected_));
        if (!ok) {
            curve_.failed.push_back({T, P});
            return;
        }
        CurvePoint p;
        p.kind = kind;
        p.report = read_report(s_, 1);
        p.position = grid_position >= 0.0 ? grid_position : position(p.report.T, p.report.enthalpy);
        p.apparent_heat_capacity = apparent_cp(p.report.T, p.report.P);
        curve_.points.push_back(std::move(p));
    }

    std::optional<double> apparent_cp(double T, double P) {
        double H[2];
        bool ok[2];
        for (int side = 0; side < 2; ++side) {
            ok[side] = flash_tp(T + (side ? kCpStep : -kCpStep), P);
            H[side] = ok[side] ? whole_enthalpy() : 0.0;
        }
        // One side alone still gives a (one-sided) slope, from the point itself.
        if (ok[0] && ok[1]) return (H[1] - H[0]) / (2 * kCpStep);
        if (!ok[0] && !ok[1]) return std::nullopt;
        if (!flash_tp(T, P)) return std::nullopt;
        const double Hm = whole_enthalpy();
        return ok[1] ? (H[1] - Hm) / kCpStep : (Hm - H[0]) / kCpStep;
    }

    // A dew (vf 1) or bubble (vf 0) point within the range, on the pressure
    // profile: the pressure at the point depends on where it lies.
    void saturation(double vf, PointKind kind) {
        double P = pressure(0.5), T = 0.5 * (a_.T_in + a_.T_out);
        bool found = false;
        for (int iter = 0; iter < 30; ++iter) {
            if (!flash(Spec::PVF, P, vf, T)) return;
            T = s_.temperature();
            const double P_next = pressure(position(T, s_.enthalpy()));
            found = true;
            if (std::abs(P_next - P) <= 1e-9 * P) break;
            P = P_next;
            found = false;
        }
        if (!found) return;
        const double pos = position(T, s_.enthalpy());
        const double lo = std::min(a_.T_in, a_.T_out), hi = std::max(a_.T_in, a_.T_out);
        if (!(T > lo && T < hi) || pos <= 0.0 || pos >= 1.0) return;
        add(kind, true, T, P);
    }

    // Where a second liquid appears or goes between neighbouring points, the
    // edge found by bisection on temperature becomes a point of the curve
    // (on its two-liquid side), with extra points beside it like a dew point.
    void second_liquid_edges() {
        const double step = std::abs(a_.T_out - a_.T_in) / (a_.points - 1);
        std::vector<std::pair<double, double>> brackets; // (T without, T with)
        const std::vector<CurvePoint>& pts = curve_.points;
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            const bool a = two_liquids(pts[i].report), b = two_liquids(pts[i + 1].report);
            if (a != b && pts[i].report.T != pts[i + 1].report.T)
                brackets.push_back(a ? std::pair(pts[i + 1].report.T, pts[i].report.T)
                                     : std::pair(pts[i].report.T, pts[i + 1].report.T));
        }
        for (auto [without, with] : brackets) {
            for (int iter = 0; iter < 40 && std::abs(with - without) > 1e-3 * step; ++iter) {
                const double T = 0.5 * (without + with);
                double P;
                if (!flash_on_profile(T, P)) break;
                (second_liquid_present() ? with : without) = T;
            }
            on_profile(with);
            edges_.push_back(with);
        }
    }

    // Both liquids present: a lone liquid may be named either one.
    bool second_liquid_present() {
        auto present = [&](int64_t phase) {
            int64_t side = 0, basis = 0, ierr = 0;
            double fraction = 0.0;
            XIF_HXBFRC(s_.stream().data(), nullptr, &side, &phase, &basis, &fraction, &ierr);
            return ierr == 0 && fraction > 0.0 && fraction < XIF_HXRMSS.word[0];
        };
        return present(4) && present(5);
    }

    // Extra points either side of each dew and bubble point and second-liquid
    // edge, where the properties change fastest.
    void dense() {
        const double step = std::abs(a_.T_out - a_.T_in) / (a_.points - 1);
        const double lo = std::min(a_.T_in, a_.T_out), hi = std::max(a_.T_in, a_.T_out);
        std::vector<double> centres;
        for (const CurvePoint& p : curve_.points)
            if (p.kind != PointKind::Point) centres.push_back(p.report.T);
        centres.insert(centres.end(), edges_.begin(), edges_.end());
        for (double Tc : centres)
            for (double f : kDenseOffsets)
                for (double sign : {-1.0, 1.0}) {
                    const double T = Tc + sign * f * step;
                    if (!(T > lo && T < hi)) continue;
                    bool crowded = false;
                    for (const CurvePoint& p : curve_.points)
                        crowded = crowded || std::abs(p.report.T - T) < 0.02 * step;
                    if (!crowded) on_profile(T);
                }
    }

    // A T-P flash at T with the profile's pressure there: in equal-enthalpy
    // mode the position depends on the enthalpy, so the pressure is iterated.
    bool flash_on_profile(double T, double& P) {
        P = a_.equal_enthalpy ? pressure(0.5) : pressure(position(T, 0.0));
        for (int iter = 0; iter < 10; ++iter) {
            if (!flash_tp(T, P)) return false;
            const double P_next = pressure(position(T, s_.enthalpy()));
            if (std::abs(P_next - P) <= 1e-9 * P) break;
            P = P_next;
        }
        return true;
    }
    void on_profile(double T) {
        double P;
        const bool ok = flash_on_profile(T, P);
        add(PointKind::Point, ok, T, P);
    }

    // Inlet to outlet.
    void sort_points() {
        std::vector<CurvePoint>& pts = curve_.points;
        // By position, then by enthalpy progress: the dew and bubble points of
        // a pure component share a temperature.
        double H_span = 0.0;
        for (const CurvePoint& p : pts)
            if (std::abs(p.report.enthalpy - H_in_) > std::abs(H_span))
                H_span = p.report.enthalpy - H_in_;
        auto progress = [&](const CurvePoint& p) {
            return H_span != 0.0 ? (p.report.enthalpy - H_in_) / H_span : 0.0;
        };
        std::stable_sort(pts.begin(), pts.end(), [&](const CurvePoint& x, const CurvePoint& y) {
            if (x.position != y.position) return x.position < y.position;
            return progress(x) < progress(y);
        });
    }

    // The duties from the inlet, the first point once sorted (position 0).
    void duties() {
        std::vector<CurvePoint>& pts = curve_.points;
        const auto flow = [](const CurvePoint& p) {
            const PhaseReport& whole = p.report.phases[0];
            return whole.enthalpy_flow.value_or(0.0);
        };
        const double Q_in = flow(pts.front());
        for (CurvePoint& p : pts)
            p.duty = flow(p) - Q_in;
    }
};

} // namespace

Curve compute_curve(Session& s, const CurveArgs& a, const Progress& progress) {
    return Builder(s, a, progress).run();
}

} // namespace xif::cli
