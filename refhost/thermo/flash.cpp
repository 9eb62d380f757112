// Isothermal flash: tangent-plane stability, Rachford-Rice, accelerated
// successive substitution, then Newton on ln K.
#include "flash_detail.hpp"

#include <algorithm>
#include <cmath>

namespace xif::refhost::thermo {

using detail::Mat;
using detail::max_abs;

namespace detail {

bool solve_dense(int n, Mat& A, double* b) {
    for (int k = 0; k < n; ++k) {
        int p = k;
        for (int i = k + 1; i < n; ++i)
            if (std::fabs(A[i][k]) > std::fabs(A[p][k])) p = i;
        if (!(std::fabs(A[p][k]) > 1e-300)) return false;
        if (p != k) {
            std::swap_ranges(A[p].begin() + k, A[p].begin() + n, A[k].begin() + k);
            std::swap(b[p], b[k]);
        }
        for (int i = k + 1; i < n; ++i) {
            const double f = A[i][k] / A[k][k];
            if (f == 0) continue;
            for (int j = k; j < n; ++j)
                A[i][j] -= f * A[k][j];
            b[i] -= f * b[k];
        }
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = b[i];
        for (int j = i + 1; j < n; ++j)
            s -= A[i][j] * b[j];
        b[i] = s / A[i][i];
        if (!std::isfinite(b[i])) return false;
    }
    return true;
}

bool solve_symmetric(int n, Mat& A, double* b, bool* cholesky) {
    if (cholesky) *cholesky = false;
    // L over the lower triangle, 1/L(j, j) on the diagonal so that the solves
    // multiply; the upper triangle keeps A for the fallback.
    double diag[kMatDim];
    for (int j = 0; j < n; ++j)
        diag[j] = A[j][j];
    bool definite = true;
    for (int j = 0; j < n && definite; ++j) {
        double d = A[j][j];
        for (int k = 0; k < j; ++k)
            d -= A[j][k] * A[j][k];
        if (!(d > 0.0)) {
            definite = false;
            break;
        }
        const double r = 1.0 / std::sqrt(d);
        A[j][j] = r;
        for (int i = j + 1; i < n; ++i) {
            double s = A[i][j];
            for (int k = 0; k < j; ++k)
                s -= A[i][k] * A[j][k];
            A[i][j] = s * r;
        }
    }
    if (!definite) {
        for (int j = 0; j < n; ++j) {
            A[j][j] = diag[j];
            for (int i = j + 1; i < n; ++i)
                A[i][j] = A[j][i];
        }
        return solve_dense(n, A, b);
    }
    if (cholesky) *cholesky = true;
    return cholesky_solve(n, A, b);
}

bool cholesky_solve(int n, const Mat& A, double* b) {
    for (int i = 0; i < n; ++i) {
        double s = b[i];
        for (int k = 0; k < i; ++k)
            s -= A[i][k] * b[k];
        b[i] = s * A[i][i];
    }
    // L^T by rows of L: each solved unknown leaves the rest a contiguous update.
    for (int j = n - 1; j >= 0; --j) {
        b[j] *= A[j][j];
        const double bj = b[j];
        for (int i = 0; i < j; ++i)
            b[i] -= A[j][i] * bj;
    }
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(b[i])) return false;
    return true;
}

VapourOnly vapour_only(const Model& m, const FlashOptions& o, const double* z) {
    VapourOnly vo;
    for (int i = 0; i < m.size(); ++i) {
        vo.on[i] = o.vapour_only && o.vapour_only[i];
        if (!(z[i] > 0)) continue;
        if (vo.on[i]) {
            vo.any = true;
            vo.zsum += z[i];
        } else {
            ++vo.condensable;
        }
    }
    return vo;
}

void report_vapour_only(const VapourOnly& vo, int n, FlashResult& r) {
    if (r.status != Status::Ok) return;
    bool flagged = false;
    for (int i = 0; i < n; ++i)
        if (vo.on[i]) {
            flagged = true;
            r.K[i] = kVapourOnlyK;
        }
    if (!flagged) return;
    for (int k : {int(kLiquid), int(kLiquid2)}) {
        if (r.present[k]) continue;
        double s = 0;
        for (int i = 0; i < n; ++i) {
            if (vo.on[i]) r.x[k][i] = 0.0;
            s += r.x[k][i];
        }
        if (s > 0)
            for (int i = 0; i < n; ++i)
                r.x[k][i] /= s;
    }
}

int active_components(int n, const double* z, int& last) {
    int c = 0;
    last = -1;
    for (int i = 0; i < n; ++i)
        if (z[i] > 0) {
            ++c;
            last = i;
        }
    return c;
}

bool roots_consistent(const Model& m, double T, double P, const double* x, Root rx, const double* y,
                      Root ry) {
    return m.lower_gibbs_root(T, P, x, rx) && m.lower_gibbs_root(T, P, y, ry);
}

Status fill_single(const Model& m, double T, double P, const double* z, FlashResult& r, Root root) {
    const int n = m.size();
    PhaseProps p;
    if (Status s = m.properties(T, P, z, root, p); s != Status::Ok) return s;
    const int slot =
        root == Root::Liquid || (p.liquid_like && root != Root::Vapour) ? kLiquid : kVapour;
    r.T = T;
    r.P = P;
    r.nphases = 1;
    for (int k = 0; k < kSlots; ++k) {
        r.present[k] = k == slot;
        r.frac[k] = k == slot ? 1.0 : 0.0;
        for (int i = 0; i < n; ++i)
            r.x[k][i] = z[i];
        r.phase[k] = PhaseProps{};
    }
    r.phase[slot] = p;
    r.vf = slot == kVapour ? 1.0 : 0.0;
    for (int i = 0; i < n; ++i)
        r.K[i] = m.wilson_k(i, T, P);
    r.h = p.h;
    r.s = p.s;
    r.status = Status::Ok;
    return Status::Ok;
}

Status fill_two(const Model& m, double T, double P, double beta, const double* x, const double* y,
                Root rl, Root rv, bool relabel, FlashResult& r, Model::Terms* tx,
                Model::Terms* ty) {
    const int n = m.size();
    PhaseProps pl, pv;
    if (Status s = tx ? m.properties(T, P, *tx, pl) : m.properties(T, P, x, rl, pl);
        s != Status::Ok)
        return s;
    if (Status s = ty ? m.properties(T, P, *ty, pv) : m.properties(T, P, y, rv, pv);
        s != Status::Ok)
        return s;
    const double* xx = x;
    const double* yy = y;
    if (relabel && vapour_of_two(pl, pv)) {
        std::swap(pl, pv);
        std::swap(xx, yy);
        beta = 1.0 - beta;
    }
    r.T = T;
    r.P = P;
    r.nphases = 2;
    r.present[kVapour] = r.present[kLiquid] = true;
    r.present[kLiquid2] = false;
    r.frac[kVapour] = beta;
    r.frac[kLiquid] = 1.0 - beta;
    r.frac[kLiquid2] = 0.0;
    r.phase[kVapour] = pv;
    r.phase[kLiquid] = pl;
    r.phase[kLiquid2] = PhaseProps{};
    double sx = 0, sy = 0;
    for (int i = 0; i < n; ++i) {
        sx += xx[i];
        sy += yy[i];
    }
    for (int i = 0; i < n; ++i) {
        r.x[kLiquid][i] = xx[i] / sx;
        r.x[kVapour][i] = yy[i] / sy;
        r.x[kLiquid2][i] = r.x[kLiquid][i];
        r.K[i] = r.x[kLiquid][i] > 0 ? r.x[kVapour][i] / r.x[kLiquid][i] : 1.0;
    }
    // K of absent components from the fugacity ratio at infinite dilution.
    double lpl[kMaxComponents], lpv[kMaxComponents];
    bool absent = false;
    for (int i = 0; i < n; ++i)
        absent = absent || !(r.x[kLiquid][i] > 0);
    if (absent && m.lnphi(T, P, r.x[kLiquid].data(), rl, lpl) == Status::Ok &&
        m.lnphi(T, P, r.x[kVapour].data(), rv, lpv) == Status::Ok)
        for (int i = 0; i < n; ++i)
            if (!(r.x[kLiquid][i] > 0)) r.K[i] = std::exp(std::clamp(lpl[i] - lpv[i], -700., 700.));
    r.vf = beta;
    r.h = beta * pv.h + (1.0 - beta) * pl.h;
    r.s = beta * pv.s + (1.0 - beta) * pl.s;
    r.status = Status::Ok;
    return Status::Ok;
}

} // namespace detail

bool rachford_rice(int n, const double* z, const double* K, double& beta, const bool* vapour_only) {
    double kmin = 1e300, kmax = -1e300, zv = 0;
    for (int i = 0; i < n; ++i) {
        if (!(z[i] > 0)) continue;
        if (vapour_only && vapour_only[i]) {
            zv += z[i];
            continue;
        }
        kmin = std::min(kmin, K[i]);
        kmax = std::max(kmax, K[i]);
    }
    // Infinite K: the term z/beta keeps beta above 0 and the sum above the
    // others' contribution, so only a K below 1 is needed.
    if (zv > 0) {
        if (!(kmin < 1.0)) return false;
    } else if (!(kmin < 1.0 && kmax > 1.0)) {
        return false;
    }
    double lo = zv > 0 ? 0.0 : 1.0 / (1.0 - kmax), hi = 1.0 / (1.0 - kmin);
    // f and its slope; mag is the sum of the terms' sizes, against which f
    // is told from rounding.
    auto f = [&](double b, double& df, double& mag) {
        double s = 0;
        df = 0;
        mag = 0;
        if (zv > 0) {
            s = mag = zv / b;
            df = -zv / (b * b);
        }
        for (int i = 0; i < n; ++i) {
            if (!(z[i] > 0) || (vapour_only && vapour_only[i])) continue;
            const double k1 = K[i] - 1.0;
            const double d = 1.0 / (1.0 + b * k1);
            const double term = z[i] * k1 * d;
            s += term;
            mag += std::fabs(term);
            df -= term * k1 * d;
        }
        return s;
    };
    double b = std::clamp(beta, lo, hi);
    if (!std::isfinite(b) || b <= lo || b >= hi) b = 0.5 * (lo + hi);
    for (int it = 0; it < 200; ++it) {
        double df, mag;
        const double fv = f(b, df, mag);
        if (fv == 0) { // exact root: the bisection below would leave it
            beta = b;
            return true;
        }
        if (fv > 0)
            lo = b; // f decreases with beta
        else
            hi = b;
        double next = b - fv / df;
        // Relative to beta when vapour-only components allow a tiny beta.
        // Tested before the bracket: at the root a Newton step below the
        // rounding of beta would otherwise count as leaving the collapsed
        // bracket and start a bisection from its far end. An infinite slope
        // (a huge K near its pole) gives a zero step anywhere: not a root.
        // Nor is a beta far below the root where a K of 1e35 makes f about
        // z / beta: the step there is beta itself, below the tolerance.
        const double tol = zv > 0 ? 4e-16 * b : 1e-15 * (1.0 + std::fabs(b));
        if (std::isfinite(df) && std::fabs(next - b) <= tol && std::fabs(fv) <= 1e-8 * mag) {
            beta = next > lo && next < hi ? next : b;
            return true;
        }
        if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        b = next;
    }
    beta = b;
    return true;
}

double liquid_share(int n, const double* z, const double* K, double beta, const bool* vapour_only) {
    double psi = 1.0 - beta;
    for (int it = 0; it < 20 && psi > 0.0; ++it) {
        double g = 0, dg = 0;
        for (int i = 0; i < n; ++i) {
            if (!(z[i] > 0)) continue;
            if (vapour_only && vapour_only[i]) { // z / beta
                const double b = 1.0 / (1.0 - psi);
                g += z[i] * b;
                dg += z[i] * b * b;
                continue;
            }
            const double k1 = K[i] - 1.0;
            const double d = 1.0 / (K[i] - psi * k1);
            g += z[i] * k1 * d;
            dg += z[i] * k1 * k1 * d * d;
        }
        if (!(dg > 0) || !std::isfinite(g)) break;
        const double step = g / dg; // g rises with psi
        const double next = psi - step;
        if (!(next > 0.0)) {
            psi *= 0.5;
            continue;
        }
        const bool done = std::fabs(step) <= 1e-15 * next;
        psi = next;
        if (done) break;
    }
    return psi;
}

namespace {

struct TwoPhase {
    Vec lnK{}, x{}, y{};
    Vec lpx{}, lpy{};    // ln phi of x and y, as the residual found them
    Model::Roots qx, qy; // and the roots of their cubics
    double beta = 0.5;
    Root rl = Root::Liquid, rv = Root::Vapour; // roots of the x and y phases
    bool single = false;                       // Rachford-Rice has no root: one phase

    // Ready for another start, its storage kept (what a solve reads it
    // writes first); the caller sets lnK and the roots.
    void restart() {
        beta = 0.5;
        rl = Root::Liquid;
        rv = Root::Vapour;
        single = false;
    }
};

// r_i = ln K_i + ln phi_V(y) - ln phi_L(x) for the K-values in tp.lnK.
// Vapour-only components stay out of x: x = 0, y = z / beta, r = 0. The
// phases' terms, when asked, are kept in tx and ty.
Status tp_residual(const Model& m, double T, double P, const double* z,
                   const detail::VapourOnly& vo, TwoPhase& tp, double* r,
                   Model::Terms* tx = nullptr, Model::Terms* ty = nullptr) {
    const int n = m.size();
    Vec K{};
    for (int i = 0; i < n; ++i)
        K[i] = std::exp(std::clamp(tp.lnK[i], -600.0, 600.0));
    tp.single = !rachford_rice(n, z, K.data(), tp.beta, vo.any ? vo.on : nullptr);
    if (tp.single) return Status::Ok;
    // A liquid of 1e-6 or less beside the gas: its share in full precision.
    const double psi = 1.0 - tp.beta;
    const bool trace = psi > 0.0 && psi < 1e-6;
    const double share =
        trace ? liquid_share(n, z, K.data(), tp.beta, vo.any ? vo.on : nullptr) : 0.0;
    for (int i = 0; i < n; ++i) {
        if (vo.any && vo.on[i]) {
            tp.x[i] = 0.0;
            tp.y[i] = z[i] / tp.beta;
            continue;
        }
        tp.x[i] =
            trace ? z[i] / (K[i] - share * (K[i] - 1.0)) : z[i] / (1.0 + tp.beta * (K[i] - 1.0));
        tp.y[i] = K[i] * tp.x[i];
    }
    double* lpl = tp.lpx.data();
    double* lpv = tp.lpy.data();
    // The heavier phase takes the liquid root, the lighter one the vapour
    // root: the lower-Gibbs root of an incipient phase on its own may be the
    // wrong one near a dew or bubble point.
    if (Status s = m.lnphi(T, P, tp.x.data(), tp.rl, lpl, nullptr, &tp.qx, tx); s != Status::Ok)
        return s;
    if (Status s = m.lnphi(T, P, tp.y.data(), tp.rv, lpv, nullptr, &tp.qy, ty); s != Status::Ok)
        return s;
    for (int i = 0; i < n; ++i)
        r[i] = vo.any && vo.on[i] ? 0.0 : tp.lnK[i] + lpv[i] - lpl[i];
    return Status::Ok;
}

// Whether both phases of a converged split hold their lower-Gibbs roots,
// from the roots that its last residual found.
bool lower_gibbs_roots(const Model& m, const TwoPhase& tp) {
    return m.lower_gibbs(tp.qx, tp.rl) && m.lower_gibbs(tp.qy, tp.rv);
}

bool trivial(int n, const double* z, const Vec& lnK) {
    double s = 0;
    for (int i = 0; i < n; ++i)
        if (z[i] > 0) s = std::max(s, std::fabs(lnK[i]));
    return s < 1e-4;
}

enum class TpOutcome { Converged, Trivial, Single, Failed };

// The phase terms of a split's last residual; valid where the split
// converged on them, so that its phases' properties need not solve the
// cubics again.
struct SplitTerms {
    Model::Terms x, y;
    bool valid = false;
    Model::Terms* of_x() { return valid ? &x : nullptr; }
    Model::Terms* of_y() { return valid ? &y : nullptr; }
};

// Substitution's residual below which the Newton stage on mole numbers starts.
constexpr double kNewtonStart = 1e-2;
// Below it a Newton step on the mole numbers converges (err^2 < tol).
constexpr double kNewtonFinish = 1e-6;

// Newton on the vapour mole numbers v with the Gibbs energy's Hessian from
// the analytic composition derivatives (Michelsen): from a split that
// substitution has brought near, each step squares the error where
// substitution divides it by a constant. Components absent from the feed
// stay out. Returns false, leaving tp as it was, where a step fails to lower
// the residual; the caller then goes on substituting. The first point is
// tp's own split, whose residual r and phase terms tx, ty the caller has:
// its derivatives are taken from them.
bool newton_on_moles(const Model& m, double T, double P, const double* z, TwoPhase& tp,
                     const double* r, Model::Terms& tx, Model::Terms& ty, const FlashOptions& o,
                     FlashResult& res) {
    const int n = m.size();
    int act[kMaxComponents];
    int na = 0;
    for (int i = 0; i < n; ++i)
        if (z[i] > 0) act[na++] = i;
    double v[kMaxComponents];
    for (int i = 0; i < n; ++i)
        v[i] = z[i] > 0 ? tp.beta * tp.y[i] : 0.0;
    // A point of the iteration with its phases' terms; the caller needs only
    // its K-values and beta.
    struct Point {
        double beta;
        Vec lnK, x, y;
        Model::Terms* tx;
        Model::Terms* ty;
    };
    // The Hessian at t from its terms. d ln y_i / d v_j = (delta_ij / y_i -
    // 1) / beta, and alike for x; rows and columns of the active components,
    // packed in place.
    auto derive = [&](const Point& t, Mat& H) {
        for (int i = 0; i < n; ++i)
            std::fill_n(H[i].begin(), n, 0.0);
        const double bv = 1.0 / t.beta, bl = 1.0 / (1.0 - t.beta), both = bv + bl;
        if (m.add_dn(T, P, *t.ty, bv, H[0].data(), detail::kMatDim) != Status::Ok ||
            m.add_dn(T, P, *t.tx, bl, H[0].data(), detail::kMatDim) != Status::Ok)
            return false;
        for (int k = 0; k < na; ++k) {
            for (int l = 0; l < na; ++l)
                H[k][l] = H[act[k]][act[l]] - both;
            H[k][k] += bv / t.y[act[k]] + bl / t.x[act[k]];
        }
        return true;
    };
    // The residual at vm; writes the split and its terms into t.
    auto evaluate = [&](const double* vm, Point& t, double* g) {
        double beta = 0;
        for (int k = 0; k < na; ++k)
            beta += vm[act[k]];
        if (!(beta > 1e-12 && beta < 1.0 - 1e-12)) return false;
        for (int i = 0; i < n; ++i) {
            t.y[i] = z[i] > 0 ? vm[i] / beta : 0.0;
            t.x[i] = z[i] > 0 ? (z[i] - vm[i]) / (1.0 - beta) : 0.0;
        }
        t.beta = beta;
        double lpv[kMaxComponents], lpl[kMaxComponents];
        if (m.lnphi(T, P, t.y.data(), tp.rv, lpv, nullptr, nullptr, t.ty) != Status::Ok ||
            m.lnphi(T, P, t.x.data(), tp.rl, lpl, nullptr, nullptr, t.tx) != Status::Ok)
            return false;
        for (int i = 0; i < n; ++i) // absent ones: the K that the phases give them
            if (!(z[i] > 0)) t.lnK[i] = lpl[i] - lpv[i];
        for (int k = 0; k < na; ++k) {
            const int i = act[k];
            t.lnK[i] = std::log(t.y[i] / t.x[i]);
            g[k] = t.lnK[i] + lpv[i] - lpl[i];
            if (!std::isfinite(g[k])) return false;
        }
        return true;
    };
    // The K-values and beta of the split at v + dv, the answer.
    auto finish = [&](const double* dv) {
        double beta = 0;
        for (int k = 0; k < na; ++k)
            beta += v[act[k]] + dv[k];
        if (!(beta > 1e-12 && beta < 1.0 - 1e-12)) return false;
        for (int k = 0; k < na; ++k) {
            const double vi = v[act[k]] + dv[k];
            if (!(vi > 0.0 && vi < z[act[k]])) return false;
        }
        for (int k = 0; k < na; ++k) {
            const int i = act[k];
            const double vi = v[i] + dv[k];
            tp.lnK[i] = std::log((vi / beta) / ((z[i] - vi) / (1.0 - beta)));
        }
        tp.beta = beta; // Rachford-Rice starts at its root
        return true;
    };
    Mat H;
    double g[kMaxComponents], dv[kMaxComponents + 1];
    // Two points, the current one and a trial, swapped as a trial is taken;
    // the first is tp's split, with the terms its residual kept.
    Model::Terms trial_tx, trial_ty;
    Point pa, pb;
    Point* cur = &pa;
    Point* trial = &pb;
    cur->tx = &tx;
    cur->ty = &ty;
    trial->tx = &trial_tx;
    trial->ty = &trial_ty;
    cur->beta = tp.beta;
    for (int i = 0; i < n; ++i) {
        cur->x[i] = tp.x[i];
        cur->y[i] = tp.y[i];
        cur->lnK[i] = z[i] > 0 ? tp.lnK[i] : tp.lpx[i] - tp.lpy[i];
    }
    for (int k = 0; k < na; ++k)
        g[k] = r[act[k]];
    if (!derive(*cur, H)) return false;
    double err = max_abs(na, g);
    for (int it = 0; it < 12; ++it) {
        ++res.it_newton;
        if (err < o.tol) {
            std::copy_n(cur->lnK.begin(), n, tp.lnK.begin());
            tp.beta = cur->beta;
            return true;
        }
        for (int k = 0; k < na; ++k)
            dv[k] = -g[k];
        bool cholesky = false;
        if (!detail::solve_symmetric(na, H, dv, &cholesky)) return false;
        // The longest step, up to the whole one, that keeps every component
        // in both phases.
        double step = 1.0;
        for (int k = 0; k < na; ++k) {
            const int i = act[k];
            if (v[i] + step * dv[k] <= 0.0) step = 0.9 * v[i] / -dv[k];
            if (v[i] + step * dv[k] >= z[i]) step = 0.9 * (z[i] - v[i]) / dv[k];
        }
        // Close enough that the whole step squares the error: its split is
        // the answer, and the caller's residual from its K-values checks it
        // without a further evaluation of the derivatives.
        if (step == 1.0 && err < kNewtonFinish && finish(dv)) return true;
        const double last = err;
        double taken = 0.0;
        for (int ls = 0; ls < 6 && taken == 0.0; ++ls, step *= 0.5) {
            double vn[kMaxComponents];
            for (int k = 0; k < na; ++k)
                vn[act[k]] = v[act[k]] + step * dv[k];
            double g2[kMaxComponents];
            if (!evaluate(vn, *trial, g2) || !(max_abs(na, g2) < err)) continue;
            for (int k = 0; k < na; ++k)
                v[act[k]] = vn[act[k]];
            std::copy_n(g2, na, g);
            err = max_abs(na, g);
            std::swap(cur, trial);
            taken = step;
        }
        if (taken == 0.0) return false;
        // A whole step that squared the error: the Hessian has changed by
        // about the last error, so the next step by the same factor lands
        // within its product with this error, far inside the tolerance.
        if (taken == 1.0 && cholesky && err < kNewtonFinish && err < 1e-3 * last) {
            for (int k = 0; k < na; ++k)
                dv[k] = -g[k];
            if (detail::cholesky_solve(na, H, dv) && finish(dv)) return true;
        }
        if (!derive(*cur, H)) return false;
    }
    return false;
}

// Successive substitution with dominant-eigenvalue extrapolation until the
// split is near, then Newton on mole numbers; where that fails, substitution
// goes on, and Newton on ln K with a finite-difference Jacobian takes over
// once it is slow. `halved`: every substitution step is half a step, for a
// split that full steps carry round a cycle.
TpOutcome two_phase_solve(const Model& m, double T, double P, const double* z,
                          const detail::VapourOnly& vo, TwoPhase& tp, const FlashOptions& o,
                          FlashResult& res, SplitTerms* kept = nullptr, bool halved = false) {
    const int n = m.size();
    double r[kMaxComponents], dprev[kMaxComponents] = {};
    double err_prev = 0;
    const int ss_first = 15;
    bool newton_tried = false, moles_tried = false;
    SplitTerms local;
    SplitTerms& terms = kept ? *kept : local;
    terms.valid = false;
    Model::Terms &tx = terms.x, &ty = terms.y;
    for (int it = 0; it < o.max_iter; ++it) {
        if (tp_residual(m, T, P, z, vo, tp, r, &tx, &ty) != Status::Ok) return TpOutcome::Failed;
        if (tp.single) return TpOutcome::Single;
        ++res.it_ss;
        const double err = max_abs(n, r);
        if (err < o.tol) {
            terms.valid = true;
            return TpOutcome::Converged;
        }
        if (trivial(n, z, tp.lnK)) return TpOutcome::Trivial;
        if (!vo.any && !moles_tried && err < kNewtonStart &&
            std::min(tp.beta, 1.0 - tp.beta) > 1e-8) {
            moles_tried = true;
            // Converged, the split is taken again from its K-values: a warm
            // start from them (the retained slots, the enthalpy flash's
            // steps) then finds the very same state.
            if (newton_on_moles(m, T, P, z, tp, r, tx, ty, o, res)) continue;
        }
        double dot_dd = 0, dot_pd = 0;
        for (int i = 0; i < n; ++i) {
            dot_dd += r[i] * r[i];
            dot_pd += dprev[i] * r[i];
        }
        const double accel = detail::dominant_eigen_accel(it, 5, dot_dd, dot_pd);
        // A step that turns back on the last one far from the split, the
        // residual falling by less than a tenth (a small phase flipping
        // between two compositions, as aqueous ammonia does), is halved. A
        // step that turns back but gains more is left alone: near a critical
        // point halving it can carry the split onto the trivial one.
        const double step =
            halved || (dot_pd < -0.5 * dot_dd && err > kNewtonStart && err > 0.9 * err_prev)
                ? 0.5
                : 1.0 + accel;
        for (int i = 0; i < n; ++i) {
            tp.lnK[i] -= r[i] * step;
            dprev[i] = r[i];
        }
        const bool slow = it >= ss_first && err > 0.3 * err_prev;
        err_prev = err;
        if (!newton_tried && (slow || it == 3 * ss_first) && err < 1e-2) {
            newton_tried = true;
            // Newton stage on ln K; the Jacobian by forward differences.
            TwoPhase keep = tp;
            bool ok = false;
            for (int nt = 0; nt < 40; ++nt) {
                ++res.it_newton;
                if (tp_residual(m, T, P, z, vo, tp, r) != Status::Ok || tp.single) break;
                const double e0 = max_abs(n, r);
                if (e0 < o.tol) {
                    ok = true;
                    break;
                }
                Mat J;
                double rr[kMaxComponents];
                bool jac_ok = true;
                for (int j = 0; j < n && jac_ok; ++j) {
                    if (vo.any && vo.on[j]) { // r_j = 0 and no r depends on ln K_j
                        for (int i = 0; i < n; ++i)
                            J[i][j] = i == j ? 1.0 : 0.0;
                        continue;
                    }
                    TwoPhase t2 = tp;
                    const double h = 1e-7;
                    t2.lnK[j] += h;
                    if (tp_residual(m, T, P, z, vo, t2, rr) != Status::Ok || t2.single)
                        jac_ok = false;
                    for (int i = 0; i < n && jac_ok; ++i)
                        J[i][j] = (rr[i] - r[i]) / h;
                }
                double dx[kMaxComponents + 1];
                for (int i = 0; i < n; ++i)
                    dx[i] = -r[i];
                if (!jac_ok || !detail::solve_dense(n, J, dx)) break;
                double step = 1.0;
                const double big = max_abs(n, dx);
                if (big > 1.0) step = 1.0 / big;
                bool moved = false;
                for (int ls = 0; ls < 10; ++ls) {
                    TwoPhase t2 = tp;
                    for (int i = 0; i < n; ++i)
                        t2.lnK[i] += step * dx[i];
                    if (tp_residual(m, T, P, z, vo, t2, rr) == Status::Ok && !t2.single &&
                        max_abs(n, rr) < e0) {
                        tp = t2;
                        moved = true;
                        break;
                    }
                    step *= 0.5;
                }
                if (!moved) break;
            }
            if (ok) return trivial(n, z, tp.lnK) ? TpOutcome::Trivial : TpOutcome::Converged;
            tp = keep; // back to substitution
        }
    }
    return TpOutcome::Failed;
}

// Reduced Gibbs energy of a phase, sum x (ln x + ln phi).
double phase_g(int n, const double* x, const double* lp) {
    double s = 0, g = 0;
    for (int i = 0; i < n; ++i)
        s += x[i];
    for (int i = 0; i < n; ++i)
        if (x[i] > 0) g += x[i] / s * (std::log(x[i] / s) + lp[i]);
    return g;
}

// K-values from each trial phase that proved the feed unstable, the feed
// and the trial as the heavier and the lighter phase by their volumes.
struct TrialStarts {
    Vec lnK[4];
    int n = 0;
};

// Michelsen tangent-plane analysis of the feed. Trial phases: Wilson
// vapour-like and liquid-like, then each pure component. On instability
// returns true and initial K-values (lighter over heavier phase) in Kinit,
// and each unstable trial's own in `each` (may be nullptr).
// With vapour-only components in the feed, the feed is a vapour and the
// trials are liquids without them.
bool unstable(const Model& m, double T, double P, const double* z, const detail::VapourOnly& vo,
              Vec& lnKinit, Vec& lnKtrial, FlashResult& res, bool* denser_only = nullptr,
              TrialStarts* each = nullptr) {
    const int n = m.size();
    double lpz[kMaxComponents], Zz = 0;
    if (m.lnphi(T, P, z, vo.any ? Root::Vapour : Root::MinGibbs, lpz, &Zz) != Status::Ok)
        return false;
    Vec d{}, Kw{};
    for (int i = 0; i < n; ++i) {
        d[i] = z[i] > 0 ? std::log(z[i]) + lpz[i] : 0.0;
        Kw[i] = m.wilson_k(i, T, P);
    }
    bool found = false;
    double best_tm = 0;
    Vec best_y{};
    double best_Z = 0;
    Vec light{}, heavy{};
    bool have_light = false, have_heavy = false;
    // Stationary points already found with tm > 0: a later trial within 1e-3
    // of one in every mole fraction would end there too, so it stops (the
    // pure-component trials of a gas mostly end on the liquid trial's point).
    Vec seen[4];
    int nseen = 0;
    auto near_seen = [&](const Vec& W, double sw) {
        for (int k = 0; k < nseen; ++k)
            if (detail::distance(n, W.data(), sw, seen[k].data()) < 1e-3) return true;
        return false;
    };
    const int ntrial = 2 + n;
    // 0: the vapour-like trial not yet held on the vapour root; 1: held now; 2: done.
    int vapour_hold = 0;
    for (int t = 0; t < ntrial; ++t) {
        if (t >= 2 && found) break;
        if (t >= 2 && (!(z[t - 2] > 0) || (vo.any && vo.on[t - 2]))) continue;
        Vec W{};
        for (int i = 0; i < n; ++i) {
            if (!(z[i] > 0) || (vo.any && vo.on[i])) continue;
            if (t == 0)
                W[i] = z[i] * Kw[i];
            else if (t == 1)
                W[i] = z[i] / Kw[i];
            else
                W[i] = (i == t - 2) ? 1.0 : 1e-3 * z[i];
        }
        double lp[kMaxComponents], Zw = 0, tm = 1.0;
        double dprev[kMaxComponents] = {};
        Vec lnW{}; // kept alongside W: a logarithm per component and step saved
        for (int i = 0; i < n; ++i)
            if (W[i] > 0) lnW[i] = std::log(W[i]);
        detail::LiquidHold hold;
        bool is_trivial = false;
        Root root = t == 0 && vapour_hold == 1 ? Root::Vapour : Root::MinGibbs;
        double z_high = 0.0;  // the trial's largest root at its first step
        bool settled = false; // on a stationary point, not out of steps
        detail::LowestPoint low;
        for (int it = 0; it < 150; ++it) {
            ++res.it_stability;
            Model::Roots rs;
            if (m.lnphi(T, P, W.data(), root, lp, &Zw, &rs) != Status::Ok) {
                is_trivial = true;
                break;
            }
            if (it == 0) z_high = rs.z[rs.n - 1];
            hold.note(n, it, root, rs, Zw, W, lnW, dprev);
            detail::TrialStep s;
            detail::trial_step(n, W.data(), lnW.data(), lp, d.data(), dprev, z, s);
            tm = s.tm;
            low.note(n, tm, Zw, W);
            const double dist = detail::distance(n, W.data(), s.sw, z);
            if (detail::on_tested_phase(tm, s.beta, dist, Zw, Zz, vo.any)) {
                if (hold.resume(n, root, Zz, it, W, lnW, dprev)) continue;
                is_trivial = true;
                break;
            }
            if (s.err < 1e-10 || detail::settled_above(tm, s.err)) {
                settled = true;
                break;
            }
            if (tm < -1e-4 && it >= 8) break; // clearly unstable; the flash refines it
            if (near_seen(W, s.sw)) {
                is_trivial = true;
                break;
            }
            detail::advance_trial(n, it, 3, s, W, lnW, dprev);
        }
        if (low.take(n, tm, Zw, W)) is_trivial = false;
        // A vapour-like trial of nearly the liquid feed's composition (a
        // liquid near its boiling point, K near 1) takes the feed's root and
        // closes in on it; held on its vapour root it finds the vapour
        // (cyclohexane with a little water at 383 K and 2.7 bar).
        if (t == 0 && is_trivial && vapour_hold == 0 && !vo.any && z_high > 2.0 * Zz) {
            vapour_hold = 1;
            --t;
            continue;
        }
        if (t == 0) vapour_hold = 2;
        double sw = 0;
        for (int i = 0; i < n; ++i)
            sw += W[i];
        // Only a stationary point stops later trials: one that ran out of
        // steps in a cycle (water and ammonia swinging in a trace) is no
        // place that another trial would end on.
        if (settled && !(tm < -1e-8) && nseen < 4) {
            for (int i = 0; i < n; ++i)
                seen[nseen][i] = W[i] / sw;
            ++nseen;
        }
        if (is_trivial || !(tm < -1e-8)) continue;
        found = true;
        Vec y{};
        for (int i = 0; i < n; ++i)
            y[i] = W[i] / sw;
        if (each && each->n < 4) {
            Vec& k = each->lnK[each->n++];
            for (int i = 0; i < n; ++i)
                k[i] = !(z[i] > 0) ? std::log(Kw[i])
                       : Zw > Zz   ? std::log(std::max(y[i], 1e-300) / z[i])
                                   : std::log(z[i] / std::max(y[i], 1e-300));
        }
        // Lighter trial: its molar volume Zw R T / P exceeds the feed's.
        if (Zw > Zz) {
            light = y;
            have_light = true;
        } else {
            heavy = y;
            have_heavy = true;
        }
        if (tm < best_tm) {
            best_tm = tm;
            best_y = y;
            best_Z = Zw;
        }
    }
    if (!found) return false;
    if (denser_only) *denser_only = have_heavy && !have_light;
    for (int i = 0; i < n; ++i) {
        double k;
        if (vo.any)
            k = vo.on[i] ? kVapourOnlyK : z[i] / std::max(best_y[i], 1e-300);
        else if (have_light && have_heavy)
            k = light[i] / std::max(heavy[i], 1e-300);
        else if (best_Z > Zz)
            k = best_y[i] / std::max(z[i], 1e-300);
        else
            k = z[i] / std::max(best_y[i], 1e-300);
        lnKinit[i] = std::log(std::max(k, 1e-300));
    }
    // The best trial phase against what the feed leaves when half as much
    // of it as the feed could give is taken out.
    double bmax = 1.0;
    for (int i = 0; i < n; ++i)
        if (best_y[i] > z[i]) bmax = std::min(bmax, z[i] / best_y[i]);
    const double b0 = 0.5 * bmax;
    for (int i = 0; i < n; ++i) {
        const double rest = std::max((z[i] - b0 * best_y[i]) / (1.0 - b0), 1e-300);
        const double kt = best_Z > Zz ? best_y[i] / rest : rest / std::max(best_y[i], 1e-300);
        lnKtrial[i] = std::log(std::max(kt, 1e-300));
    }
    // Components absent from the feed keep Wilson values.
    for (int i = 0; i < n; ++i)
        if (!(z[i] > 0)) lnKinit[i] = lnKtrial[i] = std::log(Kw[i]);
    return true;
}

// The reduced Gibbs energy of a split, its phases as the last residual
// evaluated them.
double split_g(int n, const TwoPhase& tp) {
    // y = K x as the residual made it: ln y from ln x and ln K, a logarithm
    // per component fewer, where both phases hold the component.
    double sx = 0, sy = 0;
    for (int i = 0; i < n; ++i) {
        sx += tp.x[i];
        sy += tp.y[i];
    }
    const double shift = std::log(sx / sy);
    double gx = 0, gy = 0;
    for (int i = 0; i < n; ++i) {
        const double xi = tp.x[i] / sx, yi = tp.y[i] / sy;
        const double lx = xi > 0 ? std::log(xi) : 0.0;
        if (xi > 0) gx += xi * (lx + tp.lpx[i]);
        if (!(yi > 0)) continue;
        const double ly =
            xi > 0 && std::fabs(tp.lnK[i]) < 600.0 ? tp.lnK[i] + lx + shift : std::log(yi);
        gy += yi * (ly + tp.lpy[i]);
    }
    return tp.beta * gy + (1.0 - tp.beta) * gx;
}

bool better_than_feed(const Model& m, double T, double P, const double* z,
                      const detail::VapourOnly& vo, const TwoPhase& tp) {
    const int n = m.size();
    double lpz[kMaxComponents];
    if (m.lnphi(T, P, z, vo.any ? Root::Vapour : Root::MinGibbs, lpz) != Status::Ok) return false;
    return split_g(n, tp) < phase_g(n, z, lpz) - 1e-12;
}

bool inside(double beta) {
    return beta > 0.0 && beta < 1.0;
}

// A split whose lighter phase is a liquid: two liquids, not a vapour and a
// liquid. With a vapour root of its own the lighter phase is a liquid when
// held on its liquid root. With one real root it is one when liquid-like and
// below its pseudo-critical temperature: a nonane liquid beside a little water
// at a few bar is one; a methane- or CO2-rich phase at 200 bar beside water,
// liquid-like by the phase identification alone, is a dense gas.
bool two_liquids(const Model& m, double T, double P, const TwoPhase& tp) {
    using detail::distinct_roots;
    // A phase on a vapour root of its own, or on its one root at 4 b or
    // above, is a gas (and so is anything lighter).
    if (tp.qx.n < 1 || tp.qy.n < 1) return false;
    if (tp.rv == Root::Vapour && (tp.qy.z[tp.qy.n - 1] >= 4.0 * tp.qy.B || distinct_roots(tp.qy)))
        return false;
    const auto held = [](const Model::Roots& q, Root r) {
        return r == Root::Liquid ? q.z[0] : q.z[q.n - 1];
    };
    const bool y_lighter = held(tp.qy, tp.rv) >= held(tp.qx, tp.rl);
    const Model::Roots& q = y_lighter ? tp.qy : tp.qx;
    const Root r = y_lighter ? tp.rv : tp.rl;
    if (distinct_roots(q)) return r == Root::Liquid;
    if (!detail::liquid_range(m, q)) return false;
    PhaseProps p, other;
    if (m.properties(T, P, y_lighter ? tp.y.data() : tp.x.data(), r, p) != Status::Ok ||
        !p.liquid_like)
        return false;
    // Beside a gas of smaller molar volume it is the liquid, not a second one.
    return m.properties(T, P, y_lighter ? tp.x.data() : tp.y.data(), y_lighter ? tp.rl : tp.rv,
                        other) == Status::Ok &&
           !detail::gas_like(other);
}

} // namespace

namespace {

// Dense liquid-like phase (the test used for a "vapour" that is not one).
bool dense(const Model& m, double T, double P, const double* x, Root r) {
    PhaseProps p;
    if (m.properties(T, P, x, r, p) != Status::Ok) return true;
    return p.liquid_like && p.pip > 1.5;
}

// T-P split with vapour-only components in the feed. The phase holding them
// must be a gas: a dense "vapour" (a liquid holding them in solution, which
// can have the lower Gibbs energy) is kept only as the last resort. Starts:
// the stability trial's K, then a gas over the feed's condensables as a
// liquid (K = phi_L, ideal gas), then Wilson's K. With no split found the
// feed is a single vapour.
void tp_vapour_only(const Model& m, double T, double P, const Vec& z, const detail::VapourOnly& vo,
                    const FlashOptions& o, bool unst, const Vec& lnK0, FlashResult& res) {
    const int n = m.size();
    const bool feed_dense = dense(m, T, P, z.data(), Root::Vapour);
    auto single = [&]() { res.status = detail::fill_single(m, T, P, z.data(), res, Root::Vapour); };
    if (!unst && !feed_dense) return single();
    Vec starts[3];
    int ns = 0;
    if (unst) starts[ns++] = lnK0;
    Vec xc{};
    double lp[kMaxComponents];
    for (int i = 0; i < n; ++i)
        xc[i] = vo.on[i] ? 0.0 : z[i];
    if (m.lnphi(T, P, xc.data(), Root::Liquid, lp) == Status::Ok) {
        for (int i = 0; i < n; ++i)
            starts[ns][i] = vo.on[i] ? detail::kLnVapourOnlyK : lp[i];
        ++ns;
    }
    for (int i = 0; i < n; ++i)
        starts[ns][i] = vo.on[i] ? detail::kLnVapourOnlyK : std::log(m.wilson_k(i, T, P));
    ++ns;
    TwoPhase tp, fallback;
    SplitTerms kept;
    bool have_fallback = false, collapsed = false;
    // Last, the first start with the liquid root for both phases: a dense
    // "vapour" that the three-phase flash can still split off a gas from.
    for (int k = 0; k <= ns; ++k) {
        if (k == ns && have_fallback) break;
        tp.restart();
        tp.lnK = starts[k < ns ? k : 0];
        if (k == ns) tp.rv = Root::Liquid;
        const TpOutcome out = two_phase_solve(m, T, P, z.data(), vo, tp, o, res, &kept);
        if (out == TpOutcome::Converged && inside(tp.beta) && lower_gibbs_roots(m, tp)) {
            if (!dense(m, T, P, tp.y.data(), tp.rv)) {
                res.status = detail::fill_two(m, T, P, tp.beta, tp.x.data(), tp.y.data(), tp.rl,
                                              tp.rv, false, res, kept.of_x(), kept.of_y());
                return;
            }
            if (!have_fallback) fallback = tp;
            have_fallback = true;
        } else if (out == TpOutcome::Single || (out == TpOutcome::Converged && tp.beta >= 1.0)) {
            collapsed = true; // every condensable stays in the gas
        }
    }
    if (have_fallback) {
        res.status = detail::fill_two(m, T, P, fallback.beta, fallback.x.data(), fallback.y.data(),
                                      fallback.rl, fallback.rv, false, res);
        return;
    }
    if (collapsed || feed_dense) return single();
    res.status = Status::NotConverged;
}

void tp_impl(const Model& m, double T, double P, const Vec& z, const detail::VapourOnly& vo,
             const FlashOptions& o, FlashResult& res) {
    const int n = m.size();
    int last;
    // Nothing condensable: a vapour.
    if (detail::active_components(n, z.data(), last) == 1 || (vo.any && vo.condensable == 0)) {
        res.status =
            detail::fill_single(m, T, P, z.data(), res, vo.any ? Root::Vapour : Root::MinGibbs);
        return;
    }
    // The heavier phase takes the liquid root and the lighter one the vapour
    // root; if that split fails, both take the liquid root (two liquids).
    // With vapour-only components the phase holding them is a vapour: only
    // the first pair.
    const Root pairs[2][2] = {{Root::Liquid, Root::Vapour}, {Root::Liquid, Root::Liquid}};
    const int npairs = vo.any ? 1 : 2;
    TwoPhase tp;
    SplitTerms kept; // of the split in tp while valid
    auto accepted = [&](TpOutcome out) {
        return out == TpOutcome::Converged && inside(tp.beta) && lower_gibbs_roots(m, tp);
    };
    // The split in tp from K-values lnK on pair p of roots, afresh.
    auto solve_from = [&](const Vec& lnK, int p, bool halved = false) {
        tp.restart();
        tp.lnK = lnK;
        tp.rl = pairs[p][0];
        tp.rv = pairs[p][1];
        return two_phase_solve(m, T, P, z.data(), vo, tp, o, res, &kept, halved);
    };
    // With vapour-only components a warm start must give a gas.
    auto dense_vapour = [&]() { return vo.any && dense(m, T, P, tp.y.data(), tp.rv); };
    auto fill = [&]() {
        // The phase holding the vapour-only components is the vapour.
        res.status = detail::fill_two(m, T, P, tp.beta, tp.x.data(), tp.y.data(), tp.rl, tp.rv,
                                      !vo.any, res, kept.of_x(), kept.of_y());
    };
    // With one liquid allowed the answer is the split of least Gibbs energy,
    // and the first found need not be it: glycol beside a gas that holds
    // aromatics far above their saturation forms a trace liquid of its own,
    // where a liquid of the aromatics that dissolves the glycol lies lower.
    // A trial phase below the split's tangent plane (tested from its vapour)
    // starts another split, kept where it lies lower.
    auto try_split = [&](const Vec& lnK, double beta) {
        TwoPhase alt;
        alt.lnK = lnK;
        alt.beta = beta;
        SplitTerms alt_kept;
        if (two_phase_solve(m, T, P, z.data(), vo, alt, o, res, &alt_kept) !=
                TpOutcome::Converged ||
            !inside(alt.beta) || std::min(alt.beta, 1.0 - alt.beta) <= 1e-9 ||
            !lower_gibbs_roots(m, alt) || two_liquids(m, T, P, alt) ||
            !(split_g(n, alt) < split_g(n, tp) - 1e-12))
            return false;
        tp = alt;
        kept = alt_kept;
        return true;
    };
    auto normalised = [&](const Vec& w) {
        Vec v{};
        double s = 0;
        for (int i = 0; i < n; ++i)
            s += w[i];
        for (int i = 0; i < n; ++i)
            v[i] = w[i] / s;
        return v;
    };
    // A trace phase y beside the bulk x: the bulk split on its own by its
    // own phase test, its liquid joined by the trace, starts the feed's
    // split. Argon and helium at 254 bar over a trace of ethanol's liquid:
    // the split from the trial's K-values runs back to the trace, where a
    // hydrocarbon-rich liquid that dissolves it lies lower.
    auto joined_split = [&]() {
        const Vec bulk = normalised(tp.x);
        Vec lnKb{}, unused{};
        if (!unstable(m, T, P, bulk.data(), vo, lnKb, unused, res)) return false;
        TwoPhase b;
        b.lnK = lnKb;
        SplitTerms b_kept;
        if (two_phase_solve(m, T, P, bulk.data(), vo, b, o, res, &b_kept) != TpOutcome::Converged ||
            !inside(b.beta))
            return false;
        // Of the bulk's two phases the liquid takes the trace: the one
        // richer in what the trace is richest in.
        int rich = 0;
        for (int i = 1; i < n; ++i)
            if (tp.y[i] > tp.y[rich]) rich = i;
        const bool x_liquid = b.x[rich] >= b.y[rich];
        const Vec& gas = x_liquid ? b.y : b.x;
        const Vec& liquid = x_liquid ? b.x : b.y;
        const double ag = (1.0 - tp.beta) * (x_liquid ? b.beta : 1.0 - b.beta);
        const double al = 1.0 - tp.beta - ag, at = tp.beta;
        Vec lnK{};
        for (int i = 0; i < n; ++i) {
            const double xl = (al * liquid[i] + at * tp.y[i]) / (al + at);
            lnK[i] = std::log(std::max(gas[i], 1e-300) / std::max(xl, 1e-300));
        }
        return try_split(lnK, ag);
    };
    auto least_split = [&]() {
        for (int round = 0; round < 2 && o.single_liquid; ++round) {
            const Vec y = normalised(tp.y);
            Vec lnKs{}, unused{};
            if (unstable(m, T, P, y.data(), vo, lnKs, unused, res) && try_split(lnKs, 0.5))
                continue;
            if (!(tp.beta < 1e-3 && joined_split())) return;
        }
    };
    // Warm start: accept a converged split that lowers the Gibbs energy.
    if (o.K_guess) {
        Vec lnK{};
        bool good = true;
        for (int i = 0; i < n && good; ++i) {
            if (vo.any && vo.on[i]) {
                lnK[i] = detail::kLnVapourOnlyK;
                continue;
            }
            good = std::isfinite(o.K_guess[i]) && o.K_guess[i] > 0;
            if (good) lnK[i] = std::log(o.K_guess[i]);
        }
        for (int p = 0; p < npairs && good; ++p) {
            tp.restart();
            if (o.beta_guess > 0.0 && o.beta_guess < 1.0) tp.beta = o.beta_guess;
            tp.lnK = lnK;
            tp.rl = pairs[p][0];
            tp.rv = pairs[p][1];
            if (accepted(two_phase_solve(m, T, P, z.data(), vo, tp, o, res, &kept)) &&
                better_than_feed(m, T, P, z.data(), vo, tp) && !dense_vapour() &&
                !(o.single_liquid && two_liquids(m, T, P, tp))) {
                // A split far from the one it started from (a K-value by a
                // factor of e^0.5, or the fraction by 0.1), or from a state
                // 5 K or 5 % in pressure away, may be on another branch
                // than the least. Near it, as along a curve, the split
                // follows its branch untested, a phase test being three
                // times the flash.
                double moved = std::fabs(tp.beta - o.beta_guess) / 0.2;
                for (int i = 0; i < n; ++i)
                    if (z[i] > 0 && !(vo.any && vo.on[i]))
                        moved = std::max(moved, std::fabs(tp.lnK[i] - lnK[i]));
                if (!(moved <= 0.5) || std::fabs(T - o.K_T) > 5.0 ||
                    std::fabs(std::log(P / o.K_P)) > 0.05)
                    least_split();
                return fill();
            }
        }
    }
    Vec lnK0{}, lnKt{};
    bool denser_only = false;
    TrialStarts each;
    const bool unst = unstable(m, T, P, z.data(), vo, lnK0, lnKt, res, &denser_only, &each);
    if (vo.any) return tp_vapour_only(m, T, P, z, vo, o, unst, lnK0, res);
    if (!unst) {
        res.status = detail::fill_single(m, T, P, z.data(), res);
        return;
    }
    bool collapsed = false, have_vanishing = false, have_liquids = false;
    TwoPhase vanishing;
    // Further starts for a pair whose split from the stability test failed
    // or left a vanishing phase (1e-20: the feed's own Gibbs energy, where
    // the trial phase only touches the tangent plane): Wilson's K, then the
    // feed's liquid fugacity coefficients (an ideal gas over a cold liquid).
    // The next pair of roots can find it too (a cold CO2-rich phase is a
    // liquid), and for two liquids the best trial phase against the feed
    // alone can where the first K-values converge outside (0, 1). A
    // vanishing split is the last resort.
    double lpl[kMaxComponents];
    const bool have_lpl = m.lnphi(T, P, z.data(), Root::Liquid, lpl) == Status::Ok;
    // Where the split from the phase test's K-values collapses on the first
    // pair, the best trial against what the feed leaves is tried on it
    // before the collapse is believed.
    const int order[3][4] = {{0, 1, 2, -1}, {0, 3, 1, 2}, {0, 3, -1, -1}};
    bool lost = false; // the first pair's split from the phase test's K-values
    for (int p = 0; p < 2; ++p) {
        for (int k = 0; k < 4; ++k) {
            const int start = order[p == 0 && lost ? 2 : p][k];
            if (start < 0) break;
            if (start == 2 && !have_lpl) continue;
            Vec lnK{};
            for (int i = 0; i < n; ++i)
                lnK[i] = start == 0   ? lnK0[i]
                         : start == 1 ? std::log(m.wilson_k(i, T, P))
                         : start == 2 ? lpl[i]
                                      : lnKt[i];
            const TpOutcome out = solve_from(lnK, p);
            if (accepted(out) && o.single_liquid && two_liquids(m, T, P, tp)) {
                have_liquids = true;
                // On liquid roots every start finds the same two liquids; on a
                // vapour root another start can still find a vapour.
                if (p == 1) break;
                continue;
            }
            if (accepted(out)) {
                if (std::min(tp.beta, 1.0 - tp.beta) > 1e-9 &&
                    (start == 0 || better_than_feed(m, T, P, z.data(), vo, tp))) {
                    least_split();
                    return fill();
                }
                if (std::min(tp.beta, 1.0 - tp.beta) <= 1e-9 && !have_vanishing) {
                    vanishing = tp;
                    have_vanishing = true;
                }
                continue;
            }
            if (start == 0 && p == 0)
                collapsed = out == TpOutcome::Trivial || out == TpOutcome::Single ||
                            (out == TpOutcome::Converged && !inside(tp.beta));
            if (start == 0 && (out == TpOutcome::Trivial || out == TpOutcome::Single)) {
                if (p == 1) break;
                lost = true;
            }
        }
    }
    // Where no start gave anything, the phase test's K-values once more by
    // half steps on both pairs: a small phase that flips between
    // compositions can carry full steps round a cycle of three or more, or
    // onto the feed (1e-4 of a heptane-rich phase over hot water, whose
    // heptane the phase test finds far above its solubility).
    for (int p = 0; p < 2 && !have_vanishing && !have_liquids; ++p) {
        if (!accepted(solve_from(lnK0, p, true))) continue;
        if (o.single_liquid && two_liquids(m, T, P, tp))
            have_liquids = true;
        else if (std::min(tp.beta, 1.0 - tp.beta) > 1e-9 &&
                 better_than_feed(m, T, P, z.data(), vo, tp)) {
            least_split();
            return fill();
        }
    }
    // With one liquid allowed, where the test's best trial led to two
    // liquids, each unstable trial on its own: carbon monoxide at 173 bar
    // over heptane with butanol, whose butanol-rich trial splits off a
    // liquid, where its gas-like trial finds the gas over a heptane liquid.
    for (int k = 0; k < each.n && have_liquids && o.single_liquid; ++k) {
        if (accepted(solve_from(each.lnK[k], 0)) && !two_liquids(m, T, P, tp) &&
            std::min(tp.beta, 1.0 - tp.beta) > 1e-9 &&
            better_than_feed(m, T, P, z.data(), vo, tp)) {
            least_split();
            return fill();
        }
    }
    if (have_vanishing) {
        tp = vanishing;
        kept.valid = false;
        return fill();
    }
    if (collapsed || have_liquids) {
        // The instability was marginal and the split collapses onto the
        // feed, or it is towards a second liquid that is not allowed.
        const Root root = vo.any ? Root::Vapour : have_liquids ? Root::Liquid : Root::MinGibbs;
        res.status = detail::fill_single(m, T, P, z.data(), res, root);
        return;
    }
    // With one liquid allowed, a liquid feed unstable only towards denser
    // phases is one liquid where no split converges: a trace of aqueous
    // ammonia under a liquid of xylene.
    PhaseProps feed;
    if (o.single_liquid && denser_only &&
        m.properties(T, P, z.data(), Root::MinGibbs, feed) == Status::Ok &&
        !detail::gas_like(feed)) {
        res.status = detail::fill_single(m, T, P, z.data(), res, Root::Liquid);
        return;
    }
    res.status = Status::NotConverged;
}

// Largest |sum of frac x_i over the present phases - z_i|: what a split
// loses of the feed's moles (0 to rounding for a converged one).
double imbalance(int n, const double* z, const FlashResult& r) {
    double worst = 0;
    for (int i = 0; i < n; ++i) {
        double held = 0;
        for (int k = 0; k < kSlots; ++k)
            if (r.present[k]) held += r.frac[k] * r.x[k][i];
        worst = std::max(worst, std::fabs(held - z[i]));
    }
    return worst;
}

} // namespace

namespace detail {

bool split_with_roots(const Model& m, double T, double P, const double* z, const FlashOptions& o,
                      const double* K, Root rl, Root rv, FlashResult& r) {
    const int n = m.size();
    const VapourOnly vo = vapour_only(m, o, z);
    TwoPhase tp;
    for (int i = 0; i < n; ++i) {
        if (vo.any && vo.on[i]) {
            tp.lnK[i] = kLnVapourOnlyK;
            continue;
        }
        if (!(std::isfinite(K[i]) && K[i] > 0)) return false;
        tp.lnK[i] = std::log(K[i]);
    }
    tp.rl = rl;
    tp.rv = rv;
    SplitTerms kept;
    const TpOutcome out = two_phase_solve(m, T, P, z, vo, tp, o, r, &kept);
    if (out != TpOutcome::Converged || !inside(tp.beta) || !lower_gibbs_roots(m, tp) ||
        !better_than_feed(m, T, P, z, vo, tp))
        return false;
    if (fill_two(m, T, P, tp.beta, tp.x.data(), tp.y.data(), tp.rl, tp.rv, !vo.any, r, kept.of_x(),
                 kept.of_y()) != Status::Ok)
        return false;
    report_vapour_only(vo, n, r);
    return true;
}

} // namespace detail

FlashResult flash_tp(const Model& m, double T, double P, const double* zin, const FlashOptions& o) {
    const int n = m.size();
    Vec z{};
    FlashResult res;
    if (n < 1 || !valid_tp(T, P) || !normalise_composition(n, zin, z.data()) || o.max_iter < 1 ||
        !(o.tol > 0)) {
        res.status = Status::BadInput;
        return res;
    }
    const detail::VapourOnly vo = detail::vapour_only(m, o, z.data());
    tp_impl(m, T, P, z, vo, o, res);
    // A split that loses moles (1e-9 of a mole fraction) is no answer,
    // whatever solve let it through.
    if (res.status == Status::Ok && imbalance(n, z.data(), res) > 1e-9)
        res.status = Status::NotConverged;
    detail::report_vapour_only(vo, n, res);
    return res;
}

} // namespace xif::refhost::thermo
