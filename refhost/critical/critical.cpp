#include "critical.hpp"

#include "brent.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace xif::refhost::critical {

namespace {

using thermo::kMaxComponents;
using thermo::kNaN;
using thermo::kR;
using Mat = std::array<std::array<double, kMaxComponents>, kMaxComponents>;

constexpr double kTlow = 1.0, kThigh = 5000.0; // K, the engine's working range
constexpr double kPhigh = 1e9;                 // Pa
constexpr double kKmin = 1.02, kKmax = 12.0;   // bounds on v / b; pure fluids sit near 4
constexpr int kMaxBrent = 200;

// The mixture as the solver sees it: only components present, with the
// equation-of-state constants worked out once.
struct System {
    int n = 0;
    double d1 = 0, d2 = 0; // P = RT/(v-b) - a/((v+d1 b)(v+d2 b))
    std::array<double, kMaxComponents> z{}, sz{}, b{}, ac{}, m{}, Tc{}, Pc{};
    Mat kij{};
};

// Everything the Hessian and the cubic form share at one (T, v).
struct Terms {
    double bm = 0;                         // mixture b
    double at = 0;                         // sum n_i n_j a_ij / RT
    std::array<double, kMaxComponents> ai; // sum_j n_j a_ij / RT
    Mat aij;                               // a_ij / RT
    double gB = 0, gBB = 0, gBBB = 0;      // derivatives of ln(1 - B/V) in B
    double fB = 0, fBB = 0, fBBB = 0, f = 0;
};

bool bad_number(double x) {
    return !std::isfinite(x);
}

// Builds the system from the mixture and composition; false on bad input.
bool build(const thermo::Mixture& mx, const double* z, System& s) {
    if (mx.n < 1 || mx.n > kMaxComponents || z == nullptr) return false;
    double omega_a = 0, omega_b = 0;
    if (mx.eos == thermo::EosKind::PengRobinson) {
        s.d1 = 1.0 + std::sqrt(2.0);
        s.d2 = 1.0 - std::sqrt(2.0);
        omega_a = 0.45723553;
        omega_b = 0.07779607;
    } else if (mx.eos == thermo::EosKind::SoaveRedlichKwong) {
        s.d1 = 1.0;
        s.d2 = 0.0;
        omega_a = 0.42748023;
        omega_b = 0.08664035;
    } else {
        return false;
    }
    double sum = 0;
    for (int i = 0; i < mx.n; ++i) {
        if (bad_number(z[i]) || z[i] < 0) return false;
        sum += z[i];
    }
    if (!(sum > 0) || bad_number(sum)) return false;
    std::array<int, kMaxComponents> idx{};
    s.n = 0;
    for (int i = 0; i < mx.n; ++i) {
        const thermo::PureParams& p = mx.comp[i];
        if (bad_number(p.Tc) || p.Tc <= 0 || bad_number(p.Pc) || p.Pc <= 0 || bad_number(p.omega) ||
            p.omega < -1.0 || p.omega > 3.0)
            return false;
        for (int j = 0; j < mx.n; ++j)
            if (i != j && (bad_number(mx.kij[i][j]) || std::fabs(mx.kij[i][j]) >= 1.0))
                return false;
        // Traces below 1e-16 move T and P far less than the tolerance, and
        // their null-vector share would be lost in rounding: left out.
        if (!(z[i] > 1e-16 * sum)) continue;
        const int k = s.n++;
        idx[k] = i;
        const double w = p.omega;
        s.z[k] = z[i] / sum;
        s.sz[k] = std::sqrt(s.z[k]);
        s.Tc[k] = p.Tc;
        s.Pc[k] = p.Pc;
        s.b[k] = omega_b * kR * p.Tc / p.Pc;
        s.ac[k] = omega_a * kR * kR * p.Tc * p.Tc / p.Pc;
        if (mx.eos == thermo::EosKind::PengRobinson)
            s.m[k] = w <= 0.491 ? 0.37464 + w * (1.54226 - 0.26992 * w)
                                : 0.379642 + w * (1.48503 + w * (-0.164423 + 0.016666 * w));
        else
            s.m[k] = 0.480 + w * (1.574 - 0.176 * w);
    }
    double kept = 0;
    for (int i = 0; i < s.n; ++i)
        kept += s.z[i];
    for (int i = 0; i < s.n; ++i) {
        s.z[i] /= kept;
        s.sz[i] = std::sqrt(s.z[i]);
        for (int j = 0; j < s.n; ++j)
            s.kij[i][j] = i == j ? 0.0 : mx.kij[idx[i]][idx[j]];
    }
    return true;
}

double mixture_b(const System& s) {
    double b = 0;
    for (int i = 0; i < s.n; ++i)
        b += s.z[i] * s.b[i];
    return b;
}

// Attraction and the volume functions at (T, v) for one kmol of mixture.
void terms(const System& s, double T, double v, Terms& t) {
    const double RT = kR * T;
    std::array<double, kMaxComponents> q{}; // sqrt(a_i / RT)
    for (int i = 0; i < s.n; ++i) {
        const double f = 1.0 + s.m[i] * (1.0 - std::sqrt(T / s.Tc[i]));
        q[i] = std::sqrt(s.ac[i] / RT) * f; // signed, as the engine mixes it
    }
    t.bm = mixture_b(s);
    t.at = 0;
    for (int i = 0; i < s.n; ++i) {
        double sum = 0;
        for (int j = 0; j < s.n; ++j) {
            t.aij[i][j] = q[i] * q[j] * (1.0 - s.kij[i][j]);
            sum += s.z[j] * t.aij[i][j];
        }
        t.ai[i] = sum;
        t.at += s.z[i] * sum;
    }
    const double B = t.bm, r = v - B;
    t.gB = -1.0 / r;
    t.gBB = -1.0 / (r * r);
    t.gBBB = -2.0 / (r * r * r);
    // f(B) = ln((v + d1 B)/(v + d2 B)) / (B (d1 - d2)) and its B-derivatives.
    const double e1 = v + s.d1 * B, e2 = v + s.d2 * B, dd = s.d1 - s.d2;
    const double h = std::log(e1 / e2);
    const double h1 = s.d1 / e1 - s.d2 / e2;
    const double h2 = -s.d1 * s.d1 / (e1 * e1) + s.d2 * s.d2 / (e2 * e2);
    const double h3 =
        2.0 * (s.d1 * s.d1 * s.d1 / (e1 * e1 * e1) - s.d2 * s.d2 * s.d2 / (e2 * e2 * e2));
    const double u0 = 1.0 / B, u1 = -u0 * u0, u2 = 2.0 * u0 * u0 * u0,
                 u3 = -6.0 * u0 * u0 * u0 * u0;
    t.f = h * u0 / dd;
    t.fB = (h1 * u0 + h * u1) / dd;
    t.fBB = (h2 * u0 + 2.0 * h1 * u1 + h * u2) / dd;
    t.fBBB = (h3 * u0 + 3.0 * h2 * u1 + 3.0 * h1 * u2 + h * u3) / dd;
}

// Scaled Hessian M_ij = sqrt(z_i z_j) d2(A/RT)/dn_i dn_j at constant T and V.
// The residual part is F = -n ln(1 - B/V) - (D/RT) f(B), D = sum n_i n_j a_ij.
void hessian(const System& s, const Terms& t, Mat& M) {
    for (int i = 0; i < s.n; ++i) {
        for (int j = 0; j <= i; ++j) {
            const double bi = s.b[i], bj = s.b[j];
            const double q = -t.gB * (bi + bj) - t.gBB * bi * bj - 2.0 * t.aij[i][j] * t.f -
                             2.0 * (t.ai[i] * bj + t.ai[j] * bi) * t.fB - t.at * t.fBB * bi * bj;
            M[i][j] = M[j][i] = s.sz[i] * s.sz[j] * q + (i == j ? 1.0 : 0.0);
        }
    }
}

// Third derivative of A/RT along the mole-number direction dn.
double cubic_form(const System& s, const Terms& t, const double* dn) {
    double nprime = 0, beta = 0, ideal = 0, d1 = 0, d2 = 0;
    for (int i = 0; i < s.n; ++i) {
        nprime += dn[i];
        beta += dn[i] * s.b[i];
        const double r = dn[i] / s.z[i]; // finite for trace components, unlike z^2
        ideal -= r * r * dn[i];
        double row = 0;
        for (int j = 0; j < s.n; ++j)
            row += t.aij[i][j] * dn[j];
        d1 += 2.0 * s.z[i] * row;
        d2 += dn[i] * row;
    }
    const double rep = 3.0 * nprime * t.gBB * beta * beta + t.gBBB * beta * beta * beta;
    const double att = 6.0 * d2 * t.fB * beta + 3.0 * d1 * t.fBB * beta * beta +
                       t.at * t.fBBB * beta * beta * beta;
    return ideal - rep - att;
}

// Smallest eigenvalue of the symmetric A (destroyed) and, when vec is given,
// its unit eigenvector: Householder reduction to tridiagonal form, the
// eigenvalue isolated by Sturm-count bisection and closed in on by Newton's
// method, inverse iteration just below it (positive definite, so the
// tridiagonal solve needs no pivoting) and back-transformation.
double smallest_eigen(int n, Mat& A, double* vec) {
    if (n == 1) {
        if (vec) vec[0] = 1.0;
        return A[0][0];
    }
    std::array<double, kMaxComponents> d{}, e{}, beta{}, p{}, y{};
    for (int k = 0; k + 2 < n; ++k) {
        // Reflector zeroing A[k+2..][k]; v kept in A[k+1..][k].
        double norm = 0;
        for (int i = k + 1; i < n; ++i)
            norm += A[i][k] * A[i][k];
        norm = std::sqrt(norm);
        if (norm == 0) {
            e[k] = 0;
            beta[k] = 0;
            continue;
        }
        const double alpha = A[k + 1][k] > 0 ? -norm : norm;
        A[k + 1][k] -= alpha;
        double vv = 0;
        for (int i = k + 1; i < n; ++i)
            vv += A[i][k] * A[i][k];
        const double b = 2.0 / vv;
        beta[k] = b;
        e[k] = alpha;
        double K = 0;
        for (int i = k + 1; i < n; ++i) {
            double sum = 0;
            for (int j = k + 1; j < n; ++j)
                sum += A[i][j] * A[j][k];
            p[i] = b * sum;
            K += p[i] * A[i][k];
        }
        K *= 0.5 * b;
        for (int i = k + 1; i < n; ++i)
            p[i] -= K * A[i][k];
        for (int i = k + 1; i < n; ++i)
            for (int j = k + 1; j < n; ++j)
                A[i][j] -= A[i][k] * p[j] + p[i] * A[j][k];
    }
    for (int i = 0; i < n; ++i)
        d[i] = A[i][i];
    e[n - 2] = A[n - 1][n - 2];
    // Number of eigenvalues below s (Sturm sequence of the tridiagonal).
    auto below = [&](double s) {
        int count = 0;
        double q = d[0] - s;
        for (int i = 0;; ++i) {
            if (q < 0) ++count;
            if (i + 1 == n) break;
            if (q == 0) q = 1e-300;
            q = d[i + 1] - s - e[i] * e[i] / q;
        }
        return count;
    };
    double lo = d[0], hi = d[0];
    for (int i = 0; i < n; ++i) {
        const double r = (i > 0 ? std::fabs(e[i - 1]) : 0.0) + (i + 1 < n ? std::fabs(e[i]) : 0.0);
        lo = std::min(lo, d[i] - r);
        hi = std::max(hi, d[i] + r);
    }
    const double span = std::max(hi - lo, 1e-300);
    hi = lo + span;
    // Bisection only until the smallest eigenvalue is the one below hi and
    // the interval is narrow; Newton's method closes in from lo.
    int count_hi = n;
    for (int it = 0; it < 200 && hi - lo > 1e-15 * span; ++it) {
        if (count_hi == 1 && hi - lo < 1e-3 * span) break;
        const double mid = 0.5 * (lo + hi);
        const int c = below(mid);
        if (c > 0) {
            hi = mid;
            count_hi = c;
        } else {
            lo = mid;
        }
    }
    // Newton's method on det(T - sI) from lo, below every eigenvalue: the
    // polynomial's roots are all real, so its steps rise to the smallest one
    // without passing it. det'/det = sum q_i'/q_i over the Sturm recurrence
    // q_i = d_i - s - e_{i-1}^2/q_{i-1}, every q_i positive below it.
    auto newton_step = [&](double s) {
        double q = d[0] - s, dq = -1.0;
        if (!(q > 0)) return 0.0;
        double sum = dq / q;
        for (int i = 1; i < n; ++i) {
            const double e2 = e[i - 1] * e[i - 1];
            dq = -1.0 + e2 * dq / (q * q);
            q = d[i] - s - e2 / q;
            if (!(q > 0)) return 0.0;
            sum += dq / q;
        }
        return -1.0 / sum;
    };
    double lambda = lo;
    for (int it = 0; it < 100; ++it) {
        const double step = newton_step(lambda);
        if (!(step > 0) || !(lambda + step < hi)) break;
        lambda += step;
        if (step <= 1e-15 * span) break;
    }
    if (!vec) return lambda;
    // Inverse iteration with T - (lambda - delta) I, positive definite.
    const double shift = lambda - 1e-10 * span;
    for (int i = 0; i < n; ++i)
        y[i] = 1.0;
    for (int it = 0; it < 3; ++it) {
        std::array<double, kMaxComponents> c{}, r{};
        double piv = d[0] - shift;
        c[0] = e[0] / piv;
        r[0] = y[0] / piv;
        for (int i = 1; i < n; ++i) {
            piv = d[i] - shift - e[i - 1] * c[i - 1];
            if (piv == 0) piv = 1e-300;
            c[i] = i + 1 < n ? e[i] / piv : 0.0;
            r[i] = (y[i] - e[i - 1] * r[i - 1]) / piv;
        }
        y[n - 1] = r[n - 1];
        for (int i = n - 2; i >= 0; --i)
            y[i] = r[i] - c[i] * y[i + 1];
        double norm = 0;
        for (int i = 0; i < n; ++i)
            norm += y[i] * y[i];
        norm = std::sqrt(norm);
        for (int i = 0; i < n; ++i)
            y[i] /= norm;
    }
    // Back to the original basis: x = H_0 H_1 ... H_{n-3} y.
    for (int k = n - 3; k >= 0; --k) {
        if (beta[k] == 0) continue;
        double dot = 0;
        for (int i = k + 1; i < n; ++i)
            dot += A[i][k] * y[i];
        dot *= beta[k];
        for (int i = k + 1; i < n; ++i)
            y[i] -= dot * A[i][k];
    }
    for (int i = 0; i < n; ++i)
        vec[i] = y[i];
    return lambda;
}

class Solver {
  public:
    explicit Solver(const System& s) : s_(s), bm_(mixture_b(s)) {}

    // Smallest eigenvalue of the scaled Hessian at (T, v); vec (if given)
    // receives its vector.
    double lambda(double T, double v, double* vec = nullptr) {
        ++evals_;
        terms(s_, T, v, t_);
        hessian(s_, t_, M_);
        return smallest_eigen(s_.n, M_, vec);
    }

    // Highest temperature of the stability limit at volume v, searched
    // downwards from above, or near a guess from a nearby volume when warm:
    // the steps that bracket it then start at 1 % and double.
    double spinodal_t(double v, double guess, double tol, bool warm) {
        double hi = guess, lhi = lambda(hi, v);
        if (!std::isfinite(lhi)) return kNaN;
        // Climb until stable, then walk down to the first unstable point.
        double up = warm ? 0.01 : 0.25;
        while (lhi <= 0) {
            if (hi >= kThigh) return kNaN;
            hi = std::min(hi * (1.0 + up), kThigh);
            up = std::min(2.0 * up, 0.25);
            lhi = lambda(hi, v);
            if (!std::isfinite(lhi)) return kNaN;
        }
        double lo = hi, llo = lhi;
        double down = warm ? 0.01 : 0.1;
        while (llo > 0) {
            if (lo <= kTlow) return kNaN;
            hi = lo;
            lhi = llo;
            lo = std::max(lo * (1.0 - down), kTlow);
            down = std::min(2.0 * down, 0.1);
            llo = lambda(lo, v);
            if (!std::isfinite(llo)) return kNaN;
        }
        double T = kNaN;
        auto f = [&](double x, double& fx) {
            fx = lambda(x, v);
            return std::isfinite(fx);
        };
        int steps = 0;
        if (!thermo::brent(f, lo, hi, llo, lhi, tol * hi, kMaxBrent, T, steps)) return kNaN;
        return T;
    }

    // Cubic form at volume ratio k = v/b on the stability limit; the null
    // vector is oriented like ref (or, when ref is empty, with positive b-sum).
    double cubic_at(double k, double guess, bool warm, double* ref, bool have_ref, double& T,
                    double tol = 1e-12) {
        const double v = k * bm_;
        T = spinodal_t(v, guess, tol, warm);
        if (!std::isfinite(T)) return kNaN;
        double u[kMaxComponents], dn[kMaxComponents];
        lambda(T, v, u);
        double dot = 0, beta = 0;
        for (int i = 0; i < s_.n; ++i) {
            dn[i] = s_.sz[i] * u[i];
            dot += u[i] * ref[i];
            beta += dn[i] * s_.b[i];
        }
        const double sign = (have_ref ? dot : beta) < 0 ? -1.0 : 1.0;
        for (int i = 0; i < s_.n; ++i) {
            u[i] *= sign;
            dn[i] *= sign;
            ref[i] = u[i];
        }
        terms(s_, T, v, t_);
        return cubic_form(s_, t_, dn);
    }

    double pressure(double T, double v) {
        terms(s_, T, v, t_);
        const double RT = kR * T;
        const double a = t_.at * RT, b = t_.bm;
        return RT / (v - b) - a / ((v + s_.d1 * b) * (v + s_.d2 * b));
    }

    double bm() const { return bm_; }
    int evals() const { return evals_; }

  private:
    const System& s_;
    double bm_;
    Terms t_{};
    Mat M_{};
    int evals_ = 0;
};

} // namespace

const char* status_name(Status s) {
    switch (s) {
    case Status::Ok:
        return "ok";
    case Status::NotFound:
        return "no critical point found";
    case Status::BadInput:
        return "bad input";
    }
    return "unknown";
}

Status kay_pseudocritical(const thermo::Mixture& m, const double* z, Result& out) {
    out = Result{};
    System s;
    if (!build(m, z, s)) return Status::BadInput;
    double T = 0, P = 0;
    for (int i = 0; i < s.n; ++i) {
        T += s.z[i] * s.Tc[i];
        P += s.z[i] * s.Pc[i];
    }
    out.T = T;
    out.P = P;
    out.pseudo = true;
    return Status::Ok;
}

Status critical_point(const thermo::Mixture& m, const double* z, Result& out) {
    out = Result{};
    System s;
    if (!build(m, z, s)) return Status::BadInput;
    Solver solver(s);
    double tmax = 0;
    for (int i = 0; i < s.n; ++i)
        tmax = std::max(tmax, s.Tc[i]);

    // Walk the stability limit from the gas side towards the liquid side in
    // v/b and stop at the first sign change of the cubic form: the largest-
    // volume critical point is the gas-liquid one.
    double ref[kMaxComponents] = {};
    double kprev = kKmax, Tprev = kNaN, Tprev2 = kNaN;
    double cprev =
        solver.cubic_at(kprev, std::min(2.0 * tmax, kThigh), false, ref, false, Tprev, 1e-8);
    bool found = false;
    double ka = 0, kb = 0, ca = 0, cb = 0, Ta = 0;
    double refa[kMaxComponents];
    for (double k = kprev / 1.08; k >= kKmin; k /= 1.08) {
        double Tk = kNaN;
        double refk[kMaxComponents];
        std::copy(ref, ref + s.n, refk);
        const bool have = std::isfinite(cprev);
        // The stability limit's temperature from the last two steps'; the
        // steps are equal in ln k.
        const bool warm = std::isfinite(Tprev);
        const double guess = !warm                   ? std::min(2.0 * tmax, kThigh)
                             : std::isfinite(Tprev2) ? std::max(2.0 * Tprev - Tprev2, 0.5 * Tprev)
                                                     : Tprev;
        const double ck = solver.cubic_at(k, guess, warm, refk, have, Tk, 1e-8);
        if (std::isfinite(ck) && std::isfinite(cprev) && (ck > 0) != (cprev > 0)) {
            found = true;
            ka = kprev;
            kb = k;
            ca = cprev;
            cb = ck;
            Ta = Tprev;
            std::copy(ref, ref + s.n, refa);
            break;
        }
        if (std::isfinite(ck)) std::copy(refk, refk + s.n, ref);
        kprev = k;
        cprev = ck;
        Tprev2 = Tprev;
        Tprev = Tk;
    }
    double k = kNaN, T = kNaN;
    if (found) {
        // Each step from the last one's temperature: the steps close in.
        double Tlast = Ta;
        auto f = [&](double kk, double& fk) {
            double r[kMaxComponents], Tk;
            std::copy(refa, refa + s.n, r);
            fk = solver.cubic_at(kk, Tlast, true, r, true, Tk);
            if (std::isfinite(Tk)) Tlast = Tk;
            return std::isfinite(fk);
        };
        int steps = 0;
        if (thermo::brent(f, kb, ka, cb, ca, 1e-13 * ka, kMaxBrent, k, steps)) {
            double r[kMaxComponents];
            std::copy(refa, refa + s.n, r);
            solver.cubic_at(k, Tlast, true, r, true, T);
        }
    }
    if (std::isfinite(k) && std::isfinite(T) && T > kTlow && T < kThigh) {
        const double v = k * solver.bm();
        const double P = solver.pressure(T, v);
        if (std::isfinite(P) && P > 0 && P < kPhigh) {
            out.T = T;
            out.P = P;
            out.v = v;
            out.evaluations = solver.evals();
            return Status::Ok;
        }
    }
    kay_pseudocritical(m, z, out);
    out.evaluations = solver.evals();
    return Status::NotFound;
}

} // namespace xif::refhost::critical
