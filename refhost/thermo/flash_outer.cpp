// Flashes around the isothermal one: enthalpy given (outer loop on T or
// ln P with a bracketed Brent solve around flash_tp), vapour fraction given
// (Newton on ln K and T or ln P).
#include "brent.hpp"
#include "flash_detail.hpp"
#include "pure.hpp"

#include <algorithm>
#include <cmath>

namespace xif::refhost::thermo {

using detail::Mat;

namespace {

constexpr double kTlo = 10.0, kThi = 4900.0;
const double kLnPlo = std::log(1.0), kLnPhi = std::log(1e9);

bool check_inputs(const Model& m, const double* zin, Vec& z, const FlashOptions& o) {
    return m.size() >= 1 && normalise_composition(m.size(), zin, z.data()) && o.max_iter >= 1 &&
           o.tol > 0;
}

FlashResult bad() {
    FlashResult r;
    r.status = Status::BadInput;
    return r;
}

// Pure feed inside the saturation dome: both roots at (T, P), given fraction.
FlashResult pure_two_phase(const Model& m, double T, double P, double beta, const Vec& z) {
    FlashResult r;
    r.status =
        detail::fill_two(m, T, P, beta, z.data(), z.data(), Root::Liquid, Root::Vapour, false, r);
    for (int i = 0; i < m.size(); ++i)
        r.K[i] = 1.0;
    return r;
}

// Pure feed with enthalpy between the saturated liquid and vapour values.
bool pure_in_dome(const Model& m, int i, double T, double P, double H, const Vec& z,
                  FlashResult& r) {
    double hl, hv;
    if (pure_enthalpy(m, i, T, P, Root::Liquid, hl) != Status::Ok ||
        pure_enthalpy(m, i, T, P, Root::Vapour, hv) != Status::Ok || !(hv > hl))
        return false;
    if (H < hl || H > hv) return false;
    r = pure_two_phase(m, T, P, (H - hl) / (hv - hl), z);
    return r.status == Status::Ok;
}

// An inner flash that "succeeded" with a non-finite enthalpy still failed.
Status failed_status(Status s) {
    return s == Status::Ok ? Status::NumericalFailure : s;
}

double mixture_cp(const FlashResult& r) {
    double cp = 0;
    for (int k = 0; k < kSlots; ++k)
        if (r.present[k]) cp += r.frac[k] * r.phase[k].cp;
    return cp;
}

// Solves h(var) = H where var is T (fixed P) or ln P (fixed T).
FlashResult enthalpy_flash(const Model& m, bool fixed_t, double fixed, double H, const Vec& z,
                           const FlashOptions& o, detail::TpFn tp, detail::JumpFn jump) {
    const int n = m.size();
    Vec kwarm{};
    bool have_warm = false;
    if (o.K_guess) {
        have_warm = true;
        for (int i = 0; i < n; ++i) {
            have_warm = have_warm && std::isfinite(o.K_guess[i]) && o.K_guess[i] > 0;
            kwarm[i] = have_warm ? o.K_guess[i] : 1.0;
        }
    }
    double bwarm = o.beta_guess;
    FlashResult last;
    int outer = 0, inner_ss = 0, inner_nt = 0, inner_st = 0;
    auto eval = [&](double var, double& f) {
        FlashOptions oi = o;
        oi.K_guess = have_warm ? kwarm.data() : nullptr;
        oi.beta_guess = bwarm;
        const double T = fixed_t ? fixed : var;
        const double P = fixed_t ? std::exp(var) : fixed;
        last = tp(m, T, P, z.data(), oi);
        ++outer;
        inner_ss += last.it_ss;
        inner_nt += last.it_newton;
        inner_st += last.it_stability;
        if (last.status != Status::Ok) return false;
        if (last.nphases == 2) {
            kwarm = last.K;
            bwarm = last.vf;
            have_warm = true;
        }
        f = last.h - H;
        return std::isfinite(f);
    };
    auto finish = [&](FlashResult r, Status s) {
        if (s != Status::Ok) r = FlashResult{}; // no half-filled state on failure
        r.status = s;
        r.it_outer = outer;
        r.it_ss = inner_ss;
        r.it_newton = inner_nt;
        r.it_stability = inner_st;
        return r;
    };
    const double lo_lim = fixed_t ? kLnPlo : kTlo, hi_lim = fixed_t ? kLnPhi : kThi;
    double x0;
    if (fixed_t)
        x0 = std::isfinite(o.P_guess) && o.P_guess > 0 ? std::log(o.P_guess) : std::log(1e5);
    else
        x0 = std::isfinite(o.T_guess) && o.T_guess > 0 ? o.T_guess : 300.0;
    x0 = std::clamp(x0, lo_lim, hi_lim);
    double f0;
    if (!eval(x0, f0)) return finish(last, failed_status(last.status));
    // The estimate meets the enthalpy to rounding (a flash at a state's own
    // enthalpy, started from that state): it is the answer.
    if (std::fabs(f0) <= 1e-11 * (std::fabs(H) + kR * last.T)) return finish(last, Status::Ok);
    const double scale0 = std::fabs(H) + kR * last.T;
    // Closes a bracket on a root; true with the state in `found`. A bracket
    // that closes on a jump in h (a pure component, or a flash switching
    // branch) holds no state of enthalpy H unless `jump` builds one there.
    Status failure = Status::NoSolution; // the outcome if no bracket holds a root
    FlashResult found;
    auto solve = [&](double a, double fa, double b, double fb) {
        if (fa == 0 || fb == 0) {
            double f;
            if (!eval(fa == 0 ? a : b, f)) return failure = failed_status(last.status), false;
            found = last;
            return true;
        }
        double root = b;
        int bit = 0;
        const double xtol = fixed_t ? 1e-12 : 1e-11 * std::max(std::fabs(a), std::fabs(b));
        if (!brent(eval, a, b, fa, fb, xtol, 200, root, bit)) {
            failure = last.status != Status::Ok ? last.status : Status::NotConverged;
            return false;
        }
        double fr;
        if (!eval(root, fr)) return failure = failed_status(last.status), false;
        const double scale = std::fabs(H) + kR * last.T;
        if (std::fabs(fr) <= 1e-7 * scale) return found = last, true;
        if (jump) {
            const double d = fixed_t ? 1e-9 : 1e-9 * root;
            double fl, fu;
            if (eval(root - d, fl)) {
                const FlashResult below = last;
                if (eval(root + d, fu) && fl * fu < 0 && jump(m, z, H, below, last, o, found))
                    return true;
            }
        }
        failure = Status::NotConverged;
        return false;
    };
    if (!fixed_t) {
        // h rises with T: march in the direction the heat capacity suggests.
        const double cp = std::max(mixture_cp(last), 1e3);
        double step = std::clamp(std::fabs(f0) / cp, 0.5, 0.3 * x0);
        const double dir = f0 > 0 ? -1.0 : 1.0;
        double a = x0, fa = f0;
        int shortened = 0;
        for (int k = 0; k < 60; ++k) {
            double xn = std::clamp(a + dir * step, lo_lim, hi_lim);
            if (xn == a) return finish(last, Status::NoSolution);
            double fn;
            if (!eval(xn, fn)) {
                // A flash on the way that fails (near a critical point of two
                // liquids, say) need not end the search: a shorter step may
                // bracket the answer before that point.
                if (++shortened > 3) return finish(last, failed_status(last.status));
                step *= 0.25;
                continue;
            }
            if (fn * fa <= 0)
                return solve(a, fa, xn, fn) ? finish(found, Status::Ok) : finish(last, failure);
            a = xn;
            fa = fn;
            step *= 2.0;
        }
        return finish(last, Status::NoSolution);
    }
    // h(ln P) need not be monotone for liquids: search outwards from the
    // initial pressure and take the nearest sign change. Brackets found wait
    // in `pend`; one that closes on a jump gives way to the next, and the
    // search goes on past it.
    struct Bracket {
        double a, fa, b, fb;
    };
    Bracket pend[4];
    int npend = 0;
    auto push = [&](double x1, double f1, double x2, double f2) {
        if (npend < 4)
            pend[npend++] = {std::min(x1, x2), x1 < x2 ? f1 : f2, std::max(x1, x2),
                             x1 < x2 ? f2 : f1};
    };
    auto phases = [&]() { return last.vf <= 0.0 ? 0 : last.vf >= 1.0 ? 2 : 1; };
    // A step across a phase boundary without a change of sign may pass
    // over a dip (a liquid's enthalpy is least at its bubble pressure):
    // the boundary is sought by bisection, watching the sign. A sign change
    // there brackets a root on either side of the point that shows it.
    auto across = [&](double x1, double f1, int c1, double x2, double f2) {
        for (int it = 0; it < 45 && std::fabs(x2 - x1) > 1e-12; ++it) {
            const double xm = 0.5 * (x1 + x2);
            double fm;
            if (!eval(xm, fm)) return;
            if (fm * f1 <= 0) {
                push(x1, f1, xm, fm);
                push(xm, fm, x2, f2);
                return;
            }
            if (phases() == c1)
                x1 = xm, f1 = fm;
            else
                x2 = xm, f2 = fm;
        }
    };
    // The points of the outward search, for the dips between them.
    constexpr int kSteps = 40;
    double ux[kSteps], uf[kSteps], dx[kSteps], df[kSteps];
    int nu = 0, nd = 0;
    double pu = x0, fu = f0, pd = x0, fd = f0, step = 0.1;
    int cu = phases(), cd = cu, k = 0;
    bool up_ok = true, down_ok = true;
    // One step on one side, from p to xn: a change of sign brackets a root,
    // a change of phases without one is looked into.
    auto side = [&](double& p, double& f, int& c0, bool& ok, double* xs, double* fs, int& n,
                    double xn) {
        double fn;
        bool got = xn != p && eval(xn, fn);
        // A flash that fails there: shorter steps towards it, before the side is given up.
        for (int k = 0; k < 3 && !got && xn != p; ++k) {
            xn = p + 0.25 * (xn - p);
            got = xn != p && eval(xn, fn);
        }
        if (!got) {
            ok = false;
            return;
        }
        const int c = phases();
        if (fn * f <= 0)
            push(p, f, xn, fn);
        else if (c != c0)
            across(p, f, c0, xn, fn);
        p = xn, f = fn, c0 = c;
        xs[n] = xn, fs[n++] = fn;
    };
    // One step outwards each way; false when the search is over.
    auto advance = [&]() {
        if (k >= kSteps || !(up_ok || down_ok)) return false;
        if (up_ok) side(pu, fu, cu, up_ok, ux, uf, nu, std::min(pu + step, hi_lim));
        if (down_ok && npend == 0)
            side(pd, fd, cd, down_ok, dx, df, nd, std::max(pd - step, lo_lim));
        step *= 1.6;
        ++k;
        return true;
    };
    for (int tries = 0; tries < 6;) {
        if (npend == 0) {
            if (!advance()) break;
            continue;
        }
        const Bracket br = pend[0];
        std::copy(pend + 1, pend + npend, pend);
        --npend;
        ++tries;
        if (solve(br.a, br.fa, br.b, br.fb)) return finish(found, Status::Ok);
    }
    // No bracket: h may still cross H inside a dip between points of the
    // search that lie on one side (a liquid whose h is least at some
    // pressure, or a branch of the flash that ends in a jump). The point
    // of a dip nearest H is refined by golden section; a point across H
    // brackets a root, a point that meets H is the answer.
    {
        constexpr int kPts = 2 * kSteps + 1;
        double xs[kPts], fs[kPts];
        bool done[kPts] = {};
        int np = 0;
        for (int i = nd - 1; i >= 0; --i)
            xs[np] = dx[i], fs[np++] = df[i];
        xs[np] = x0, fs[np++] = f0;
        for (int i = 0; i < nu; ++i)
            xs[np] = ux[i], fs[np++] = uf[i];
        for (int dips = 0; dips < 2; ++dips) {
            int best = -1;
            for (int i = 1; i + 1 < np; ++i) {
                const double sgn = fs[i] > 0 ? 1.0 : -1.0;
                if (!done[i] && sgn * fs[i - 1] > sgn * fs[i] && sgn * fs[i + 1] > sgn * fs[i] &&
                    (best < 0 || std::fabs(fs[i]) < std::fabs(fs[best])))
                    best = i;
            }
            if (best < 0) break;
            const double sgn = fs[best] > 0 ? 1.0 : -1.0;
            double l = xs[best - 1], r = xs[best + 1], xm = xs[best], fm = fs[best];
            done[best] = true;
            constexpr double kGold = 0.3819660112501051;
            for (int it = 0; it < 40 && r - l > 1e-10; ++it) {
                const bool right = r - xm > xm - l;
                const double xt = right ? xm + kGold * (r - xm) : xm - kGold * (xm - l);
                double ft;
                if (!eval(xt, ft)) break;
                if (std::fabs(ft) <= 1e-7 * scale0) return finish(last, Status::Ok);
                if (sgn * ft <= 0) {
                    if (solve(std::min(xm, xt), xt < xm ? ft : fm, std::max(xm, xt),
                              xt < xm ? fm : ft))
                        return finish(found, Status::Ok);
                    break;
                }
                if (sgn * ft < sgn * fm) {
                    (right ? l : r) = xm;
                    xm = xt, fm = ft;
                } else {
                    (right ? r : l) = xt;
                }
            }
        }
    }
    return finish(last, failure);
}

// Residual of the fixed-fraction problem: r_i = ln K_i + ln phi_V - ln phi_L,
// r_n = sum (y - x). var is T (fixed P) or ln P (fixed T).
// Vapour-only components: x = 0, y = z / beta, r_i = 0.
Status sat_residual(const Model& m, bool fixed_t, double fixed, double beta, const double* z,
                    const detail::VapourOnly& vo, const double* lnK, double var, double* r,
                    Vec* xo = nullptr, Vec* yo = nullptr) {
    const int n = m.size();
    const double T = fixed_t ? fixed : var;
    const double P = fixed_t ? std::exp(var) : fixed;
    if (!valid_tp(T, P)) return Status::NoSolution;
    Vec x{}, y{};
    double g = 0;
    for (int i = 0; i < n; ++i) {
        if (vo.any && vo.on[i]) {
            y[i] = z[i] / beta;
            g += y[i];
            continue;
        }
        const double K = std::exp(std::clamp(lnK[i], -600.0, 600.0));
        x[i] = z[i] / (1.0 + beta * (K - 1.0));
        y[i] = K * x[i];
        g += y[i] - x[i];
    }
    double lpl[kMaxComponents], lpv[kMaxComponents];
    if (Status s = m.lnphi(T, P, x.data(), Root::Liquid, lpl); s != Status::Ok) return s;
    if (Status s = m.lnphi(T, P, y.data(), Root::Vapour, lpv); s != Status::Ok) return s;
    for (int i = 0; i < n; ++i)
        r[i] = vo.any && vo.on[i] ? 0.0 : lnK[i] + lpv[i] - lpl[i];
    r[n] = g;
    if (xo) *xo = x;
    if (yo) *yo = y;
    return Status::Ok;
}

double wilson_g(const Model& m, bool fixed_t, double fixed, double beta, const double* z,
                const detail::VapourOnly& vo, double var) {
    const double T = fixed_t ? fixed : var;
    const double P = fixed_t ? std::exp(var) : fixed;
    double g = vo.any ? vo.zsum / beta : 0.0;
    for (int i = 0; i < m.size(); ++i) {
        if (!(z[i] > 0) || (vo.any && vo.on[i])) continue;
        const double K = m.wilson_k(i, T, P);
        g += z[i] * (K - 1.0) / (1.0 + beta * (K - 1.0));
    }
    return g;
}

// A split of two dense phases (cold, high pressure) has no vapour; the
// phase holding vapour-only components is the vapour by definition.
bool dense_vapour(const detail::VapourOnly& vo, const FlashResult& r) {
    return !vo.any && r.phase[kVapour].liquid_like && r.phase[kVapour].pip > 1.5;
}

// The options of a T-P flash from scratch: no estimates, no K-values.
FlashOptions from_scratch(const FlashOptions& o) {
    return FlashOptions{kNaN, kNaN, nullptr, o.max_iter, o.tol, o.vapour_only, o.single_liquid};
}

// A failure with status s that keeps the iteration counts of r and none of
// its half-filled state.
FlashResult failure(Status s, const FlashResult& r) {
    FlashResult f;
    f.status = s;
    f.it_ss = r.it_ss;
    f.it_newton = r.it_newton;
    f.it_stability = r.it_stability;
    f.it_outer = r.it_outer;
    return f;
}

// One Newton solve of the fixed-fraction problem from var0, with K-values
// from Kstart, else from a split at the starting point, else Wilson's.
FlashResult fraction_attempt(const Model& m, bool fixed_t, double fixed, double beta, const Vec& z,
                             const detail::VapourOnly& vo, const FlashOptions& o, double var0,
                             const double* Kstart) {
    const int n = m.size();
    FlashResult res;
    auto fail = [&](Status s) { return failure(s, res); };
    const double lo_lim = fixed_t ? kLnPlo : kTlo, hi_lim = fixed_t ? kLnPhi : kThi;
    double var = var0;
    FlashOptions ok = o;
    ok.K_guess = Kstart;
    Vec lnK{}, slope{};
    bool have_k = ok.K_guess != nullptr;
    for (int i = 0; i < n && have_k; ++i)
        have_k = (vo.any && vo.on[i]) || (std::isfinite(ok.K_guess[i]) && ok.K_guess[i] > 0);
    // Without K-values, a split at the starting point gives better ones than
    // Wilson's near the critical region.
    FlashResult start;
    if (!have_k) {
        const double T = fixed_t ? fixed : var;
        const double P = fixed_t ? std::exp(var) : fixed;
        start = flash_tp(m, T, P, z.data(), from_scratch(o));
        res.it_stability += start.it_stability;
    }
    const bool from_split = !have_k && start.status == Status::Ok && start.nphases == 2;
    for (int i = 0; i < n; ++i) {
        const double T = fixed_t ? fixed : var;
        const double P = fixed_t ? std::exp(var) : fixed;
        const PureParams& c = m.component(i);
        lnK[i] = have_k       ? std::log(ok.K_guess[i])
                 : from_split ? std::log(start.K[i])
                              : std::log(m.wilson_k(i, T, P));
        slope[i] = fixed_t ? -1.0 : 5.373 * (1.0 + c.omega) * c.Tc / (T * T);
        if (vo.any && vo.on[i]) {
            lnK[i] = detail::kLnVapourOnlyK;
            slope[i] = 0.0;
        }
    }
    double r[kMaxComponents + 1];
    auto max_lnk = [&]() {
        double s = 0;
        for (int i = 0; i < n; ++i)
            if (z[i] > 0) s = std::max(s, std::fabs(lnK[i]));
        return s;
    };
    auto is_trivial = [&]() { return max_lnk() < 1e-4; };
    // Substitution on K with a Newton step on var from Wilson-like slopes.
    for (int it = 0; it < 40; ++it) {
        ++res.it_ss;
        if (Status s = sat_residual(m, fixed_t, fixed, beta, z.data(), vo, lnK.data(), var, r);
            s != Status::Ok)
            return fail(s == Status::BadInput ? Status::NoSolution : s);
        double err = 0;
        for (int i = 0; i < n; ++i) {
            lnK[i] -= r[i];
            err = std::max(err, std::fabs(r[i]));
        }
        double dv = 0;
        for (int k = 0; k < 20; ++k) {
            double g = vo.any ? vo.zsum / beta : 0.0, dg = 0;
            for (int i = 0; i < n; ++i) {
                if (!(z[i] > 0) || (vo.any && vo.on[i])) continue;
                const double K = std::exp(std::clamp(lnK[i] + slope[i] * dv, -600.0, 600.0));
                const double den = 1.0 + beta * (K - 1.0);
                g += z[i] * (K - 1.0) / den;
                dg += z[i] * K * slope[i] / (den * den);
            }
            if (!(dg != 0) || !std::isfinite(g)) break;
            const double step = -g / dg;
            dv += step;
            if (std::fabs(step) < 1e-12) break;
        }
        const double lim = fixed_t ? 0.5 : 0.1 * var;
        dv = std::clamp(dv, -lim, lim);
        dv = std::clamp(var + dv, lo_lim, hi_lim) - var;
        var += dv;
        for (int i = 0; i < n; ++i)
            lnK[i] += slope[i] * dv;
        if (is_trivial()) return fail(Status::NoSolution);
        if (err < 1e-5 && std::fabs(dv) < 1e-5 * (fixed_t ? 1.0 : var)) break;
    }
    // Newton on (ln K, var); finite-difference Jacobian, damped.
    bool conv = false;
    const int nv = n + 1;
    for (int it = 0; it < 60; ++it) {
        ++res.it_newton;
        if (Status s = sat_residual(m, fixed_t, fixed, beta, z.data(), vo, lnK.data(), var, r);
            s != Status::Ok)
            return fail(s == Status::BadInput ? Status::NoSolution : s);
        double e0 = 0;
        for (int i = 0; i < nv; ++i)
            e0 = std::max(e0, std::fabs(r[i]));
        if (e0 < o.tol) {
            conv = true;
            break;
        }
        Mat J;
        double rr[kMaxComponents + 1];
        for (int j = 0; j < nv; ++j) {
            if (j < n && vo.any && vo.on[j]) { // r_j = 0, nothing depends on ln K_j
                for (int i = 0; i < nv; ++i)
                    J[i][j] = i == j ? 1.0 : 0.0;
                continue;
            }
            Vec lk = lnK;
            double v2 = var;
            const double h = j < n ? 1e-7 : (fixed_t ? 1e-7 : 1e-7 * var);
            if (j < n)
                lk[j] += h;
            else
                v2 += h;
            if (sat_residual(m, fixed_t, fixed, beta, z.data(), vo, lk.data(), v2, rr) !=
                Status::Ok)
                return fail(Status::NotConverged);
            for (int i = 0; i < nv; ++i)
                J[i][j] = (rr[i] - r[i]) / h;
        }
        double dx[kMaxComponents + 1];
        for (int i = 0; i < nv; ++i)
            dx[i] = -r[i];
        if (!detail::solve_dense(nv, J, dx)) return fail(Status::NotConverged);
        double scale = 1.0;
        for (int i = 0; i < n; ++i)
            scale = std::min(scale, 1.0 / std::max(std::fabs(dx[i]), 1.0));
        const double vlim = fixed_t ? 0.5 : 0.1 * var;
        if (std::fabs(dx[n]) > vlim) scale = std::min(scale, vlim / std::fabs(dx[n]));
        bool moved = false;
        for (int ls = 0; ls < 12; ++ls) {
            Vec lk = lnK;
            for (int i = 0; i < n; ++i)
                lk[i] += scale * dx[i];
            const double v2 = var + scale * dx[n];
            if (v2 > lo_lim && v2 < hi_lim &&
                sat_residual(m, fixed_t, fixed, beta, z.data(), vo, lk.data(), v2, rr) ==
                    Status::Ok) {
                double e1 = 0;
                for (int i = 0; i < nv; ++i)
                    e1 = std::max(e1, std::fabs(rr[i]));
                if (e1 < e0 || ls == 11) {
                    lnK = lk;
                    var = v2;
                    moved = true;
                    break;
                }
            }
            scale *= 0.5;
        }
        if (!moved) return fail(Status::NotConverged);
        if (is_trivial()) return fail(Status::NoSolution);
    }
    if (!conv) return fail(Status::NotConverged);
    // Near the critical point Newton can settle on the trivial root with K
    // a hair from 1; a real split this close to it is not resolvable anyway.
    if (max_lnk() < 1e-3) return fail(Status::NoSolution);
    Vec x{}, y{};
    sat_residual(m, fixed_t, fixed, beta, z.data(), vo, lnK.data(), var, r, &x, &y);
    const double T = fixed_t ? fixed : var;
    const double P = fixed_t ? std::exp(var) : fixed;
    if (!detail::roots_consistent(m, T, P, x.data(), Root::Liquid, y.data(), Root::Vapour))
        return fail(Status::NoSolution);
    const int it_ss = res.it_ss, it_nt = res.it_newton;
    if (detail::fill_two(m, T, P, beta, x.data(), y.data(), Root::Liquid, Root::Vapour, false,
                         res) != Status::Ok)
        return fail(Status::NumericalFailure);
    res.it_ss = it_ss;
    res.it_newton = it_nt;
    if (dense_vapour(vo, res)) return fail(Status::NoSolution);
    return res;
}

// How close a T-P flash found by bisection must come to the fraction asked.
constexpr double kFractionTol = 1e-12;
// By how much (reduced, per mole of feed) the T-P flash at a solved state
// must lower the Gibbs energy to overrule the solution: well above what
// the solutions' tolerance of 1e-10 in ln K leaves.
constexpr double kLowerGibbs = 1e-8;

// Gibbs energy per kmol of feed, from the phases as the result took them.
double gibbs(const FlashResult& r) {
    return r.h - r.T * r.s;
}

// Starting point from the caller's estimate, else from Wilson K-values;
// if Newton fails from there, scan T-P flashes along the free variable for
// the fraction and restart from the bracket found.
FlashResult fraction_flash(const Model& m, bool fixed_t, double fixed, double beta, const Vec& z,
                           const detail::VapourOnly& vo, const FlashOptions& o) {
    const double lo_lim = fixed_t ? kLnPlo : kTlo, hi_lim = fixed_t ? kLnPhi : kThi;
    double var = kNaN;
    const double guess = fixed_t ? o.P_guess : o.T_guess;
    if (std::isfinite(guess) && guess > 0) var = fixed_t ? std::log(guess) : guess;
    if (!(var > lo_lim && var < hi_lim)) {
        var = kNaN;
        double a = lo_lim, b = hi_lim;
        double ga = wilson_g(m, fixed_t, fixed, beta, z.data(), vo, a);
        const double gb = wilson_g(m, fixed_t, fixed, beta, z.data(), vo, b);
        if (ga * gb <= 0) {
            for (int k = 0; k < 200 && b - a > 1e-10 * std::fabs(b); ++k) {
                const double c = fixed_t ? 0.5 * (a + b) : std::sqrt(a * b);
                const double gc = wilson_g(m, fixed_t, fixed, beta, z.data(), vo, c);
                if (gc * ga > 0) {
                    a = c;
                    ga = gc;
                } else {
                    b = c;
                }
            }
            var = 0.5 * (a + b);
        }
    }
    // A solution of the fraction's equations need not be the equilibrium:
    // the dew point of one liquid can lie where another has long formed. The
    // T-P flash at the state, from scratch, has the last word where it finds
    // a lower Gibbs energy; where it finds none or fails (its phase test can
    // pass over a small phase that the solution holds), the solution stands.
    auto equilibrium = [&](const FlashResult& r) {
        const FlashResult c = flash_tp(m, r.T, r.P, z.data(), from_scratch(o));
        return c.status != Status::Ok || !(gibbs(c) < gibbs(r) - kLowerGibbs * kR * r.T);
    };
    FlashResult first;
    first.status = Status::NoSolution;
    if (std::isfinite(var)) {
        first = fraction_attempt(m, fixed_t, fixed, beta, z, vo, o, var, o.K_guess);
        if (first.status == Status::Ok && equilibrium(first)) return first;
        if (first.status == Status::Ok) first = failure(Status::NoSolution, first);
    }
    // Scan from the vapour side: T downwards from 1500 K, or ln P upwards
    // over the working range; the first bracket is the warmest (or the
    // lowest-pressure) solution, away from dense splits at very low T.
    const int kScan = 48;
    double s_first = fixed_t ? std::log(1e2) : 1500.0;
    const double s_last = fixed_t ? std::log(5e8) : 20.0;
    auto at = [&](double v) {
        const double T = fixed_t ? fixed : v;
        const double P = fixed_t ? std::exp(v) : fixed;
        return flash_tp(m, T, P, z.data(), from_scratch(o));
    };
    // Side of the wanted fraction: +1 on the vapour side. Labels of single
    // phases are unreliable near the critical point, so a single phase is
    // on the vapour side until a split has been passed.
    auto side = [&](const FlashResult& r, bool seen_two) {
        if (r.status != Status::Ok) return 0;
        if (r.nphases == 1) return seen_two && !vo.any ? -1 : 1; // never a liquid with them
        const double d = r.vf - beta;
        return d > 0 ? 1 : (d < 0 ? -1 : 0);
    };
    int evals = 0, scan_failures = 0;
    FlashResult ra = at(s_first);
    // All liquid at 100 Pa: a cold feed whose vapour forms lower down is
    // scanned from 1 Pa.
    if (fixed_t && ra.status == Status::Ok && ra.nphases == 1 && ra.vf == 0.0) {
        s_first = 0.0;
        ra = at(s_first);
        ++evals;
    }
    if (ra.status != Status::Ok) ++scan_failures;
    bool seen_two = ra.status == Status::Ok && ra.nphases == 2;
    int sa = side(ra, seen_two);
    double va = s_first;
    for (int k = 1; k <= kScan; ++k) {
        double vb = fixed_t ? s_first + (s_last - s_first) * k / kScan
                            : s_first * std::pow(s_last / s_first, double(k) / kScan);
        FlashResult rb = at(vb);
        ++evals;
        if (rb.status != Status::Ok) ++scan_failures;
        // A vapour on one side and a liquid on the other: the two-phase band
        // between them is narrower than the step. Bisect on the label for a
        // point inside it and take that as the next point of the scan.
        if (ra.status == Status::Ok && rb.status == Status::Ok && ra.nphases == 1 &&
            rb.nphases == 1 && ra.vf != rb.vf) {
            double lo = va, hi = vb;
            for (int it = 0; it < 30; ++it) {
                const double mid = 0.5 * (lo + hi);
                FlashResult rm = at(mid);
                ++evals;
                if (rm.status != Status::Ok) break;
                if (rm.nphases == 2) {
                    vb = mid;
                    rb = rm;
                    --k; // the grid point is still to come
                    break;
                }
                (rm.vf == ra.vf ? lo : hi) = mid;
            }
        }
        seen_two = seen_two || (rb.status == Status::Ok && rb.nphases == 2);
        const int sb = side(rb, seen_two);
        if (sa != 0 && sb != 0 && sa != sb) {
            // Narrow the bracket by bisection, keeping a two-phase end.
            double lo = va, hi = vb;
            FlashResult rlo = ra, rhi = rb;
            bool closed = false; // down to rounding
            auto two_end = [&]() -> const FlashResult& { return rlo.nphases == 2 ? rlo : rhi; };
            auto narrow = [&](int steps, double tol) {
                for (int it = 0; it < steps; ++it) {
                    if (two_end().nphases == 2 && std::fabs(two_end().vf - beta) <= tol) return;
                    const double mid = 0.5 * (lo + hi);
                    if (mid == lo || mid == hi) {
                        closed = true;
                        return;
                    }
                    FlashResult rm = at(mid);
                    ++evals;
                    int sm;
                    if (rm.status != Status::Ok) return;
                    if (rm.nphases == 2)
                        sm = side(rm, true);
                    else if (rlo.nphases == 1)
                        sm = sa;
                    else if (rhi.nphases == 1)
                        sm = sb;
                    else
                        return;
                    if (sm == 0) {
                        rlo = rm;
                        return;
                    }
                    if (sm == sa) {
                        lo = mid;
                        rlo = rm;
                    } else {
                        hi = mid;
                        rhi = rm;
                    }
                }
            };
            narrow(30, 0.0);
            const FlashResult& two = two_end();
            if (two.nphases != 2) break;
            const double v0 = fixed_t ? std::log(two.P) : two.T;
            FlashResult again =
                fraction_attempt(m, fixed_t, fixed, beta, z, vo, o, v0, two.K.data());
            again.it_outer = evals;
            if (again.status == Status::Ok && equilibrium(again)) return again;
            if (again.status == Status::Ok) again = failure(Status::NoSolution, again);
            // The bracket holds the fraction but the solve from it failed
            // (close to a critical point, or where its own tests reject the
            // split the T-P flash accepts): the T-P flash at the fraction,
            // found by bisection, is the answer.
            narrow(200, kFractionTol);
            const FlashResult& end = two_end();
            if (end.nphases != 2 || !(std::fabs(end.vf - beta) <= kFractionTol)) {
                // The fraction jumps across the one asked for between two
                // neighbouring numbers: no state along the path has it. A
                // bubble or dew point there (a liquid that boils off all but
                // a trace at once) is the last single phase before the jump.
                const FlashResult& one = rlo.nphases == 1 ? rlo : rhi;
                if (closed && (beta == 0.0 || beta == 1.0) && end.nphases == 2 &&
                    !dense_vapour(vo, end) && one.status == Status::Ok && one.nphases == 1 &&
                    one.vf == beta) {
                    FlashResult found = one;
                    found.it_outer = evals;
                    return found;
                }
                if (closed) again.status = Status::NoSolution;
                return again;
            }
            if (dense_vapour(vo, end)) {
                again.status = Status::NoSolution;
                return again;
            }
            FlashResult found = end;
            found.it_outer = evals;
            return found;
        }
        // A point where the T-P flash fails tells no side: the bracket is
        // taken across it, from the last point that flashed.
        if (rb.status != Status::Ok && ra.status == Status::Ok) continue;
        ra = rb;
        sa = sb;
        va = vb;
    }
    // Every point of the scan flashed and none brackets the fraction: the
    // first attempt's failure to converge was a search for what is not there.
    if (first.status == Status::NotConverged && scan_failures == 0)
        first.status = Status::NoSolution;
    first.it_outer = evals;
    return first;
}

// Public results carry the vapour-only reporting (K, absent liquids).
FlashResult reported(const detail::VapourOnly& vo, int n, FlashResult r) {
    detail::report_vapour_only(vo, n, r);
    return r;
}

// Vapour fraction at or below the vapour-only share: every condensable
// component would have to be liquid, which needs K = 0.
bool below_vapour_only(const detail::VapourOnly& vo, double vf) {
    return vo.any && vf <= vo.zsum;
}

} // namespace

FlashResult detail::enthalpy_flash_with(const Model& m, bool fixed_t, double fixed, double H,
                                        const Vec& z, const FlashOptions& o, TpFn tp, JumpFn jump) {
    return enthalpy_flash(m, fixed_t, fixed, H, z, o, tp, jump);
}

FlashResult flash_ph(const Model& m, double P, double H, const double* zin, const FlashOptions& o) {
    Vec z{};
    if (!check_inputs(m, zin, z, o) || !valid_tp(300.0, P) || !std::isfinite(H)) return bad();
    const detail::VapourOnly vo = detail::vapour_only(m, o, z.data());
    int last;
    if (detail::active_components(m.size(), z.data(), last) == 1 && !vo.any) {
        double Ts;
        FlashResult r;
        if (saturation_temperature(m, last, P, Ts) == Status::Ok &&
            pure_in_dome(m, last, Ts, P, H, z, r))
            return reported(vo, m.size(), r);
    }
    return reported(vo, m.size(), enthalpy_flash(m, false, P, H, z, o, flash_tp, nullptr));
}

FlashResult flash_th(const Model& m, double T, double H, const double* zin, const FlashOptions& o) {
    Vec z{};
    if (!check_inputs(m, zin, z, o) || !valid_tp(T, 1e5) || !std::isfinite(H)) return bad();
    const detail::VapourOnly vo = detail::vapour_only(m, o, z.data());
    int last;
    if (detail::active_components(m.size(), z.data(), last) == 1 && !vo.any) {
        double Ps;
        FlashResult r;
        if (saturation_pressure(m, last, T, Ps) == Status::Ok &&
            pure_in_dome(m, last, T, Ps, H, z, r)) {
            // h(P) at fixed T is not monotone: a compressed liquid can have
            // the enthalpy of a two-phase state at the saturation pressure.
            // As for mixtures, the root nearest the estimate wins.
            const double g = o.P_guess;
            if (std::isfinite(g) && g > 0 && std::fabs(std::log(g / Ps)) > 1e-6) {
                FlashResult one = enthalpy_flash(m, true, T, H, z, o, flash_tp, nullptr);
                if (one.status == Status::Ok &&
                    std::fabs(std::log(one.P / g)) < std::fabs(std::log(Ps / g)))
                    return reported(vo, m.size(), one);
            }
            return reported(vo, m.size(), r);
        }
    }
    return reported(vo, m.size(), enthalpy_flash(m, true, T, H, z, o, flash_tp, nullptr));
}

namespace {

// A vapour-fraction flash at fixed pressure or, fixed_t, fixed temperature.
FlashResult vapour_fraction_flash(const Model& m, bool fixed_t, double fixed, double vf,
                                  const double* zin, const FlashOptions& o) {
    Vec z{};
    if (!check_inputs(m, zin, z, o) || !valid_tp(fixed_t ? fixed : 300.0, fixed_t ? 1e5 : fixed) ||
        !std::isfinite(vf) || vf < 0 || vf > 1)
        return bad();
    const detail::VapourOnly vo = detail::vapour_only(m, o, z.data());
    FlashResult r;
    if (below_vapour_only(vo, vf)) {
        r.status = Status::NoSolution;
        return r;
    }
    int last;
    if (detail::active_components(m.size(), z.data(), last) == 1) {
        double sat;
        r.status = fixed_t ? saturation_pressure(m, last, fixed, sat)
                           : saturation_temperature(m, last, fixed, sat);
        if (r.status != Status::Ok) return r;
        const double T = fixed_t ? fixed : sat, P = fixed_t ? sat : fixed;
        return reported(vo, m.size(), pure_two_phase(m, T, P, vf, z));
    }
    return reported(vo, m.size(), fraction_flash(m, fixed_t, fixed, vf, z, vo, o));
}

} // namespace

FlashResult flash_pv(const Model& m, double P, double vf, const double* zin,
                     const FlashOptions& o) {
    return vapour_fraction_flash(m, false, P, vf, zin, o);
}

FlashResult flash_tv(const Model& m, double T, double vf, const double* zin,
                     const FlashOptions& o) {
    return vapour_fraction_flash(m, true, T, vf, zin, o);
}

} // namespace xif::refhost::thermo
