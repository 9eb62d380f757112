// Vapour-liquid-liquid flash: tangent-plane test of the liquid from the
// vapour-liquid flash, three-phase Rachford-Rice, accelerated substitution
// and Newton on the two sets of ln K.
#include "flash3.hpp"

#include "flash_detail.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace xif::refhost::thermo {

using detail::Mat;
using detail::max_abs;

bool rachford_rice3(int n, const double* z, const double* K1, const double* K2, double b[2]) {
    // Region: every phase mole fraction at most 1, i.e. t_i >= z_i max(1, K1_i, K2_i).
    auto t_of = [&](int i, const double* bb) {
        return 1.0 + bb[0] * (K1[i] - 1.0) + bb[1] * (K2[i] - 1.0);
    };
    auto feasible = [&](const double* bb) {
        for (int i = 0; i < n; ++i) {
            if (!(z[i] > 0)) continue;
            if (!(t_of(i, bb) > z[i] * std::max({1.0, K1[i], K2[i]}))) return false;
        }
        return true;
    };
    auto F = [&](const double* bb) {
        double f = 0;
        for (int i = 0; i < n; ++i)
            if (z[i] > 0) f -= z[i] * std::log(t_of(i, bb));
        return f;
    };
    double cur[2] = {b[0], b[1]};
    if (!std::isfinite(cur[0]) || !std::isfinite(cur[1]) || !feasible(cur)) {
        const double starts[][2] = {{0, 0},     {0.5, 0.25}, {0.25, 0.5}, {0.33, 0.33},
                                    {0.1, 0.1}, {0.8, 0.1},  {0.1, 0.8},  {0.01, 0.01}};
        bool any = false;
        double best = 1e300;
        for (const auto& s : starts)
            if (feasible(s) && F(s) < best) {
                best = F(s);
                cur[0] = s[0];
                cur[1] = s[1];
                any = true;
            }
        if (!any) {
            // The region can be a thin sliver when a phase is nearly pure:
            // take the centroid of its vertices (inside a box of +-10).
            double vs[2] = {0, 0};
            int nvx = 0;
            auto con = [&](int i, double& a0, double& a1, double& c) {
                if (i >= n) { // box sides
                    const int k = i - n;
                    a0 = (k == 0) ? 1 : (k == 1 ? -1 : 0);
                    a1 = (k == 2) ? 1 : (k == 3 ? -1 : 0);
                    c = -10.0;
                    return true;
                }
                if (!(z[i] > 0)) return false;
                a0 = K1[i] - 1.0;
                a1 = K2[i] - 1.0;
                c = z[i] * std::max({1.0, K1[i], K2[i]}) - 1.0;
                const double sc = std::max({std::fabs(a0), std::fabs(a1), std::fabs(c), 1e-300});
                a0 /= sc;
                a1 /= sc;
                c /= sc;
                return true;
            };
            for (int i = 0; i < n + 4; ++i)
                for (int j = i + 1; j < n + 4; ++j) {
                    double a0, a1, c, e0, e1, d;
                    if (!con(i, a0, a1, c) || !con(j, e0, e1, d)) continue;
                    const double det = a0 * e1 - a1 * e0;
                    if (std::fabs(det) < 1e-14) continue;
                    const double p0 = (c * e1 - a1 * d) / det, p1 = (a0 * d - c * e0) / det;
                    bool in = true;
                    for (int k = 0; k < n + 4 && in; ++k) {
                        double g0, g1, h;
                        if (con(k, g0, g1, h)) in = g0 * p0 + g1 * p1 >= h - 1e-12;
                    }
                    if (in) {
                        vs[0] += p0;
                        vs[1] += p1;
                        ++nvx;
                    }
                }
            if (nvx < 3) return false;
            cur[0] = vs[0] / nvx;
            cur[1] = vs[1] / nvx;
            if (!feasible(cur)) return false;
        }
    }
    for (int it = 0; it < 200; ++it) {
        double g[2] = {0, 0}, H[2][2] = {{0, 0}, {0, 0}};
        for (int i = 0; i < n; ++i) {
            if (!(z[i] > 0)) continue;
            // (K - 1) / t stays near 1 / b where K reaches 1e260: its square
            // does not overflow as (K - 1)^2 / t^2 would.
            const double t = t_of(i, cur);
            const double u[2] = {(K1[i] - 1.0) / t, (K2[i] - 1.0) / t};
            for (int j = 0; j < 2; ++j) {
                g[j] -= z[i] * u[j];
                for (int k = 0; k < 2; ++k)
                    H[j][k] += z[i] * u[j] * u[k];
            }
        }
        if (std::fabs(g[0]) + std::fabs(g[1]) < 1e-15) break;
        double det = H[0][0] * H[1][1] - H[0][1] * H[1][0];
        double d[2];
        if (std::fabs(det) > 1e-300 * (std::fabs(H[0][0]) + 1.0)) {
            d[0] = -(H[1][1] * g[0] - H[0][1] * g[1]) / det;
            d[1] = -(-H[1][0] * g[0] + H[0][0] * g[1]) / det;
        } else { // singular (e.g. K2 = K1): steepest descent
            d[0] = -g[0];
            d[1] = -g[1];
        }
        // Largest step keeping the region, then backtrack on F.
        double amax = 1.0;
        for (int i = 0; i < n; ++i) {
            if (!(z[i] > 0)) continue;
            const double lim = z[i] * std::max({1.0, K1[i], K2[i]});
            const double dt = d[0] * (K1[i] - 1.0) + d[1] * (K2[i] - 1.0);
            const double t = t_of(i, cur);
            if (dt < 0) amax = std::min(amax, 0.99 * (t - lim) / -dt);
        }
        const double f0 = F(cur);
        double a = amax;
        bool moved = false;
        // Near the minimum F changes by less than its rounding: take the
        // Newton step there, as far as the region allows (a phase nearly
        // pure lies within 1e-9 of its edge).
        const bool polish = std::fabs(g[0]) + std::fabs(g[1]) < 1e-6;
        for (int ls = 0; ls < 40; ++ls) {
            const double nb[2] = {cur[0] + a * d[0], cur[1] + a * d[1]};
            if (feasible(nb) && (polish || F(nb) <= f0)) {
                const double step = std::fabs(nb[0] - cur[0]) + std::fabs(nb[1] - cur[1]);
                cur[0] = nb[0];
                cur[1] = nb[1];
                moved = step > 1e-16;
                break;
            }
            a *= 0.5;
        }
        if (!moved) break;
    }
    b[0] = cur[0];
    b[1] = cur[1];
    return std::isfinite(b[0]) && std::isfinite(b[1]);
}

namespace {

// Phases already present, which a trial of the tangent-plane test must not
// land on to count as a new one.
struct Known {
    const double* x[kSlots] = {nullptr, nullptr, nullptr};
    int n = 0;
    void add(const double* c) {
        if (n < kSlots) x[n++] = c;
    }
};

// Tangent-plane test of phase w (root rw). Trials: one rich in each
// component, Wilson vapour- and liquid-like ones (lower-Gibbs root), then each
// known phase on its liquid and on its vapour root: a liquid forming out of a
// gas starts from the gas's own composition on the liquid branch. A trial
// held on one root can only overstate the tangent-plane distance, so a
// negative one proves instability all the same. Returns the most unstable
// trial not landing on a known phase. Trials leave out vapour-only components
// (vo, may be nullptr): any new phase is a liquid. own_only: the trials
// that start from w itself alone (rich in a component, Wilson's).
bool phase_unstable(const Model& m, double T, double P, const double* w, Root rw, Vec& trial,
                    int& iters, const bool* vo, const Known& known = {}, double* tm_found = nullptr,
                    bool own_only = false) {
    const int n = m.size();
    double lpw[kMaxComponents], Zw = 0;
    if (m.lnphi(T, P, w, rw, lpw, &Zw) != Status::Ok) return false;
    Vec d{}, Kw{};
    for (int i = 0; i < n; ++i) {
        d[i] = w[i] > 0 ? std::log(w[i]) + lpw[i] : 0.0;
        Kw[i] = m.wilson_k(i, T, P);
    }
    double best = -1e-8;
    bool found = false;
    // Whether trial W (sum sw) lies within tol of a known phase.
    auto near_known = [&](const double* W, double sw, double tol) {
        for (int k = 0; k < known.n; ++k)
            if (detail::distance(n, W, sw, known.x[k]) < tol) return true;
        return false;
    };
    const int ntrials = n + 2 + 2 * known.n;
    for (int t = 0; t < ntrials; ++t) {
        if (t < n && (!(w[t] > 0) || (vo && vo[t]))) continue;
        if (own_only && t >= n + 2) continue;
        Root rt = Root::MinGibbs;
        const double* from = nullptr;
        if (t >= n + 2) {
            from = known.x[(t - n - 2) / 2];
            rt = (t - n - 2) % 2 == 0 ? Root::Liquid : Root::Vapour;
        }
        Vec W{};
        for (int i = 0; i < n; ++i) {
            if (!(w[i] > 0) || (vo && vo[i])) continue;
            if (t < n)
                W[i] = i == t ? 1.0 : 1e-3 * w[i];
            else if (t == n)
                W[i] = w[i] * Kw[i];
            else if (t == n + 1)
                W[i] = w[i] / Kw[i];
            else
                W[i] = std::max(from[i], 1e-12 * w[i]);
        }
        double lp[kMaxComponents], Zt = 0, tm = 1.0, dprev[kMaxComponents] = {};
        Vec lnW{}; // kept alongside W: a logarithm per component and step saved
        for (int i = 0; i < n; ++i)
            if (W[i] > 0) lnW[i] = std::log(W[i]);
        detail::LiquidHold hold;
        bool trivial = false;
        detail::LowestPoint low;
        for (int it = 0; it < 150; ++it) {
            ++iters;
            Model::Roots rs;
            if (m.lnphi(T, P, W.data(), rt, lp, &Zt, &rs) != Status::Ok) {
                trivial = true;
                break;
            }
            hold.note(n, it, rt, rs, Zt, W, lnW, dprev);
            detail::TrialStep s;
            detail::trial_step(n, W.data(), lnW.data(), lp, d.data(), dprev, w, s);
            tm = s.tm;
            low.note(n, tm, Zt, W);
            const double dist = detail::distance(n, W.data(), s.sw, w);
            if (detail::on_tested_phase(tm, s.beta, dist, Zt, Zw, vo != nullptr)) {
                if (hold.resume(n, rt, Zw, it, W, lnW, dprev)) continue;
                trivial = true;
                break;
            }
            if (s.err < 1e-10 || detail::settled_above(tm, s.err)) break;
            // Closing in on a phase already present: it would be passed over
            // below, so it need not converge.
            if (near_known(W.data(), s.sw, 1e-6)) {
                trivial = true;
                break;
            }
            detail::advance_trial(n, it, 5, s, W, lnW, dprev);
        }
        if (low.take(n, tm, Zt, W)) trivial = false;
        if (trivial || !(tm < best)) continue;
        double sw = 0;
        for (int i = 0; i < n; ++i)
            sw += W[i];
        // A trial that lands on a phase already present is not a new one.
        if (near_known(W.data(), sw, 1e-4)) continue;
        best = tm;
        found = true;
        for (int i = 0; i < n; ++i)
            trial[i] = W[i] / sw;
    }
    if (tm_found) *tm_found = best;
    return found;
}

struct Ph {
    PhaseProps p;
    Vec x{};
    double frac = 0;
};

// Share of vapour-only components in phase a (0 without a mask).
double vapour_only_share(const Ph& a, int n, const bool* vo) {
    double s = 0;
    for (int i = 0; vo && i < n; ++i)
        if (vo[i]) s += a.x[i];
    return s;
}

// Puts phases into slots by the rules in flash3.hpp and fills the result.
// A phase holding vapour-only components is the vapour whatever its density.
void assign(const Model& m, Ph* ph, int np, const Vec& Kprev, const bool* vo, FlashResult& r) {
    const int n = m.size();
    int slot[3] = {-1, -1, -1};
    int vap = -1;
    double vshare = 0;
    for (int k = 0; k < np; ++k) {
        const double sh = vapour_only_share(ph[k], n, vo);
        if (sh > vshare) {
            vshare = sh;
            vap = k;
        }
    }
    auto dense = [](const Ph& a) { return a.p.liquid_like && a.p.pip > 1.5; };
    auto organic_first = [&](int a, int b) {
        // True if phase a should be liquid 1.
        const int w = m.water();
        if (w >= 0 && ph[a].x[w] != ph[b].x[w]) return ph[a].x[w] < ph[b].x[w];
        return ph[a].p.mw / ph[a].p.v < ph[b].p.mw / ph[b].p.v;
    };
    if (vap >= 0) {
        slot[vap] = kVapour;
        if (np == 2) {
            slot[1 - vap] = kLiquid;
        } else if (np == 3) {
            const int a = (vap + 1) % 3, b = (vap + 2) % 3;
            const bool first = organic_first(a, b);
            slot[a] = first ? kLiquid : kLiquid2;
            slot[b] = first ? kLiquid2 : kLiquid;
        }
    } else if (np == 1) {
        slot[0] = ph[0].p.liquid_like ? kLiquid : kVapour;
    } else if (np == 2) {
        if (dense(ph[0]) && dense(ph[1]) && !detail::gas_like(ph[0].p) &&
            !detail::gas_like(ph[1].p)) {
            const bool first = organic_first(0, 1);
            slot[0] = first ? kLiquid : kLiquid2;
            slot[1] = first ? kLiquid2 : kLiquid;
        } else {
            const bool v0 = detail::vapour_of_two(ph[0].p, ph[1].p);
            slot[0] = v0 ? kVapour : kLiquid;
            slot[1] = v0 ? kLiquid : kVapour;
        }
    } else {
        // The vapour is the largest of the gases, else of the phases that
        // are not dense: a liquid of hexane (0.12 m3/kmol) beside hydrogen
        // at 230 bar (0.085) is no vapour, nor one of xylene beside nitrogen
        // at 133 K and 74 bar, which the phase identification calls dense.
        const auto largest = [&](auto skip) {
            int v = -1;
            for (int k = 0; k < 3; ++k)
                if (!skip(ph[k]) && (v < 0 || ph[k].p.v > ph[v].p.v)) v = k;
            return v;
        };
        int v = largest([](const Ph& a) { return !detail::gas_like(a.p); });
        if (v < 0) v = largest(dense);
        if (v < 0) v = largest([](const Ph&) { return false; }); // three dense phases
        const int a = (v + 1) % 3, b = (v + 2) % 3;
        slot[v] = kVapour;
        const bool first = organic_first(a, b);
        slot[a] = first ? kLiquid : kLiquid2;
        slot[b] = first ? kLiquid2 : kLiquid;
    }
    const double T = r.T, P = r.P;
    FlashResult out;
    out.T = T;
    out.P = P;
    out.nphases = np;
    out.it_stability = r.it_stability;
    out.it_ss = r.it_ss;
    out.it_newton = r.it_newton;
    out.it_outer = r.it_outer;
    out.h = out.s = 0;
    for (int k = 0; k < kSlots; ++k) {
        out.present[k] = false;
        out.frac[k] = 0;
    }
    for (int k = 0; k < np; ++k) {
        const int s = slot[k];
        out.present[s] = true;
        out.frac[s] = ph[k].frac;
        out.phase[s] = ph[k].p;
        out.x[s] = ph[k].x;
        out.h += ph[k].frac * ph[k].p.h;
        out.s += ph[k].frac * ph[k].p.s;
    }
    // Absent slots hold the feed composition.
    Vec zf{};
    for (int k = 0; k < np; ++k)
        for (int i = 0; i < n; ++i)
            zf[i] += ph[k].frac * ph[k].x[i];
    for (int s = 0; s < kSlots; ++s)
        if (!out.present[s]) out.x[s] = zf;
    out.vf = out.frac[kVapour];
    int num = -1, den = -1;
    if (out.present[kVapour] && out.present[kLiquid])
        num = kVapour, den = kLiquid;
    else if (out.present[kLiquid] && out.present[kLiquid2])
        num = kLiquid2, den = kLiquid;
    for (int i = 0; i < n; ++i) {
        double k = (std::isfinite(Kprev[i]) && Kprev[i] > 0) ? Kprev[i] : 1.0;
        if (num >= 0 && out.x[den][i] > 0)
            k = out.x[num][i] / out.x[den][i];
        else if (num < 0)
            k = m.wilson_k(i, T, P);
        out.K[i] = k;
    }
    out.status = Status::Ok;
    r = out;
}

// Re-slots a vapour-liquid result by the three-phase rules.
FlashResult relabel(const Model& m, FlashResult r, const bool* vo) {
    if (r.status != Status::Ok) return r;
    Ph ph[3];
    int np = 0;
    for (int k = 0; k < kSlots; ++k)
        if (r.present[k]) {
            ph[np].p = r.phase[k];
            ph[np].x = r.x[k];
            ph[np].frac = r.frac[k];
            ++np;
        }
    const Vec K = r.K;
    assign(m, ph, np, K, vo, r);
    return r;
}

struct Split3 {
    Vec lnK1{}, lnK2{}, x{}, w1{}, w2{};
    double b[2] = {kNaN, kNaN};
    Root rx = Root::Liquid, r1 = Root::Vapour, r2 = Root::Liquid;
    // Vapour-only components: x is then the vapour and both K are exactly 0
    // for them (ln K held at -kLnVapourOnlyK, residual 0).
    const bool* vo = nullptr;
};

// Largest amount times |sum - 1| of the three phases' mole fractions, the
// moles a phase loses when they are normalised: K-values that no amounts
// meet leave the split of least Rachford-Rice function on the edge of its
// region, off the material balance. A converged split stays below
// kBalanceTol.
constexpr double kBalanceTol = 1e-10;
double unbalanced(int n, const Split3& s) {
    double sx = 0, s1 = 0, s2 = 0;
    for (int i = 0; i < n; ++i) {
        sx += s.x[i];
        s1 += s.w1[i];
        s2 += s.w2[i];
    }
    const double a0 = std::fabs(1.0 - s.b[0] - s.b[1]), a1 = std::fabs(s.b[0]),
                 a2 = std::fabs(s.b[1]);
    return std::max({a0 * std::fabs(sx - 1.0), a1 * std::fabs(s1 - 1.0), a2 * std::fabs(s2 - 1.0)});
}

bool held(const Split3& s, int i) {
    return s.vo && s.vo[i];
}

// r_i = ln K1_i + ln phi(w1) - ln phi(x), r_{n+i} likewise for w2.
Status split3_eval(const Model& m, double T, double P, const double* z, Split3& s, double* r) {
    const int n = m.size();
    // K is not floored short of underflow: a floor holds a component in a
    // phase above its equilibrium share (decane in water at 70 K at e^-600
    // of its share in the hydrocarbon liquid, where e^-644 is right), and
    // the phase test of that phase then finds a false fourth phase rich in it.
    Vec K1{}, K2{};
    for (int i = 0; i < n; ++i) {
        K1[i] = held(s, i) ? 0.0 : std::exp(std::clamp(s.lnK1[i], -800.0, 600.0));
        K2[i] = held(s, i) ? 0.0 : std::exp(std::clamp(s.lnK2[i], -800.0, 600.0));
    }
    if (!rachford_rice3(n, z, K1.data(), K2.data(), s.b)) return Status::NotConverged;
    for (int i = 0; i < n; ++i) {
        const double t = 1.0 + s.b[0] * (K1[i] - 1.0) + s.b[1] * (K2[i] - 1.0);
        s.x[i] = z[i] / t;
        s.w1[i] = K1[i] * s.x[i];
        s.w2[i] = K2[i] * s.x[i];
    }
    double lx[kMaxComponents], l1[kMaxComponents], l2[kMaxComponents];
    if (Status st = m.lnphi(T, P, s.x.data(), s.rx, lx); st != Status::Ok) return st;
    if (Status st = m.lnphi(T, P, s.w1.data(), s.r1, l1); st != Status::Ok) return st;
    if (Status st = m.lnphi(T, P, s.w2.data(), s.r2, l2); st != Status::Ok) return st;
    for (int i = 0; i < n; ++i) {
        r[i] = held(s, i) ? 0.0 : s.lnK1[i] + l1[i] - lx[i];
        r[n + i] = held(s, i) ? 0.0 : s.lnK2[i] + l2[i] - lx[i];
    }
    return Status::Ok;
}

// Substitution with dominant-eigenvalue extrapolation; Newton with a
// forward-difference Jacobian once slow (up to 32 components, 2n unknowns).
bool split3_solve(const Model& m, double T, double P, const double* z, Split3& s,
                  const FlashOptions& o, FlashResult& res) {
    const int n = m.size(), nv = 2 * n;
    double r[2 * kMaxComponents], dprev[2 * kMaxComponents] = {};
    double err_prev = 1e300;
    bool newton_tried = false;
    const int max_it = 3 * o.max_iter;
    // Runs that cannot end in three phases, their residual wandering about
    // 1e-5 for hundreds of steps, stop: amounts that stay beyond any
    // phase's (1e27 moles a mole of feed), or two phases that stay alike
    // (ln K within 1e-10 of 0 between them), which no split of three takes.
    int absurd = 0, alike = 0;
    for (int it = 0; it < max_it; ++it) {
        ++res.it_ss;
        if (split3_eval(m, T, P, z, s, r) != Status::Ok) return false;
        const double err = max_abs(nv, r);
        // Equal fugacities on amounts that break the balance: K-values
        // no split of three meets, where substitution stands still.
        if (err < o.tol) return unbalanced(n, s) < kBalanceTol;
        absurd = std::fabs(s.b[0]) < 1e6 && std::fabs(s.b[1]) < 1e6 ? 0 : absurd + 1;
        double d1 = 0, d2 = 0, d12 = 0;
        for (int i = 0; i < n; ++i) {
            if (held(s, i)) continue;
            d1 = std::max(d1, std::fabs(s.lnK1[i]));
            d2 = std::max(d2, std::fabs(s.lnK2[i]));
            d12 = std::max(d12, std::fabs(s.lnK1[i] - s.lnK2[i]));
        }
        alike = std::min({d1, d2, d12}) < 1e-10 ? alike + 1 : 0;
        if (absurd == 50 || alike == 20) return false;
        double dd = 0, pd = 0;
        for (int i = 0; i < nv; ++i) {
            dd += r[i] * r[i];
            pd += dprev[i] * r[i];
        }
        const double accel = detail::dominant_eigen_accel(it, 5, dd, pd);
        // Steps that turn back on themselves (a phase flipping between two
        // compositions, water-rich and ammonia-rich) are halved.
        const double step = pd < -0.5 * dd ? 0.5 : 1.0 + accel;
        for (int i = 0; i < n; ++i) {
            s.lnK1[i] -= r[i] * step;
            s.lnK2[i] -= r[n + i] * step;
        }
        for (int i = 0; i < nv; ++i)
            dprev[i] = r[i];
        const bool slow = it >= 20 && err > 0.5 * err_prev;
        err_prev = err;
        if (!newton_tried && slow && err < 1e-2 && nv < detail::kMatDim) {
            newton_tried = true;
            Split3 keep = s;
            bool ok = false;
            for (int nt = 0; nt < 30; ++nt) {
                ++res.it_newton;
                if (split3_eval(m, T, P, z, s, r) != Status::Ok) break;
                const double e0 = max_abs(nv, r);
                if (e0 < o.tol) {
                    ok = unbalanced(n, s) < kBalanceTol;
                    break;
                }
                Mat J;
                double rr[2 * kMaxComponents];
                bool jac_ok = true;
                for (int j = 0; j < nv && jac_ok; ++j) {
                    if (held(s, j < n ? j : j - n)) { // r_j = 0, nothing depends on it
                        for (int i = 0; i < nv; ++i)
                            J[i][j] = i == j ? 1.0 : 0.0;
                        continue;
                    }
                    Split3 s2 = s;
                    const double h = 1e-7;
                    if (j < n)
                        s2.lnK1[j] += h;
                    else
                        s2.lnK2[j - n] += h;
                    jac_ok = split3_eval(m, T, P, z, s2, rr) == Status::Ok;
                    for (int i = 0; i < nv && jac_ok; ++i)
                        J[i][j] = (rr[i] - r[i]) / h;
                }
                double dx[detail::kMatDim];
                for (int i = 0; i < nv; ++i)
                    dx[i] = -r[i];
                if (!jac_ok || !detail::solve_dense(nv, J, dx)) break;
                double step = std::min(1.0, 1.0 / std::max(max_abs(nv, dx), 1e-300));
                bool moved = false;
                for (int ls = 0; ls < 10; ++ls) {
                    Split3 s2 = s;
                    for (int i = 0; i < n; ++i) {
                        s2.lnK1[i] += step * dx[i];
                        s2.lnK2[i] += step * dx[n + i];
                    }
                    if (split3_eval(m, T, P, z, s2, rr) == Status::Ok && max_abs(nv, rr) < e0) {
                        s = s2;
                        moved = true;
                        break;
                    }
                    step *= 0.5;
                }
                if (!moved) break;
            }
            if (ok) return true;
            s = keep;
        }
    }
    return false;
}

// Root a phase keeps while iterating: the lower-Gibbs one; with a single
// real root, the side that root lies on, so that the phase does not jump to
// the other branch when a second root appears along the way.
Root root_of(const Model& m, double T, double P, const double* x) {
    double lp[kMaxComponents], zl = 0, zv = 0, zm = 0;
    if (m.lnphi(T, P, x, Root::Liquid, lp, &zl) != Status::Ok ||
        m.lnphi(T, P, x, Root::Vapour, lp, &zv) != Status::Ok ||
        m.lnphi(T, P, x, Root::MinGibbs, lp, &zm) != Status::Ok)
        return Root::MinGibbs;
    if (zl != zv) return zm == zl ? Root::Liquid : Root::Vapour;
    PhaseProps p;
    if (m.properties(T, P, x, Root::MinGibbs, p) != Status::Ok) return Root::MinGibbs;
    return p.liquid_like ? Root::Liquid : Root::Vapour;
}

bool root_ok(const Model& m, double T, double P, const double* x, Root r) {
    double lp[kMaxComponents], zf = 0, zm = 0;
    return m.lnphi(T, P, x, r, lp, &zf) == Status::Ok &&
           m.lnphi(T, P, x, Root::MinGibbs, lp, &zm) == Status::Ok &&
           std::fabs(zf - zm) <= 1e-9 * zm;
}

int active(const Model& m, const double* z) {
    int last;
    return detail::active_components(m.size(), z, last);
}

// Three phases at one T and P, as a two-component feed has them at a single
// temperature for a given pressure: the vapour from one side of the jump,
// both liquids from the other. Amounts from the material balance and either
// the vapour fraction beta or the enthalpy H (the other NaN).
bool three_at_jump(const Model& m, const Vec& z, double beta, double H, const FlashResult& a,
                   const FlashResult& b, const bool* vo, FlashResult& out) {
    const FlashResult* vs = nullptr;
    const FlashResult* ls = nullptr;
    for (const FlashResult* r : {&a, &b}) {
        if (r->status != Status::Ok) return false;
        if (r->nphases == 3) vs = ls = r; // a side that already holds all three
    }
    for (const FlashResult* r : {&a, &b}) {
        if (vs && ls) break;
        if (r->present[kVapour]) vs = r;
        if (r->present[kLiquid] && r->present[kLiquid2]) ls = r;
    }
    if (!vs || !ls) return false;
    const int n = m.size();
    const double T = ls->T, P = ls->P;
    Ph ph[3];
    const Vec* comp[3] = {&vs->x[kVapour], &ls->x[kLiquid], &ls->x[kLiquid2]};
    // The three must differ: a supercritical phase that changes its name from
    // vapour to liquid across the jump is one phase, not two (largest |ln K|
    // between each pair, as for a converged split).
    for (int k = 0; k < 3; ++k) {
        const Vec& p = *comp[k];
        const Vec& q = *comp[(k + 1) % 3];
        double sep = 0;
        for (int i = 0; i < n; ++i)
            if (z[i] > 0 && p[i] > 0 && q[i] > 0)
                sep = std::max(sep, std::fabs(std::log(p[i] / q[i])));
        if (!(sep > 1e-4)) return false;
    }
    const Root roots[3] = {Root::Vapour, Root::Liquid, Root::Liquid};
    for (int k = 0; k < 3; ++k) {
        ph[k].x = *comp[k];
        if (m.properties(T, P, ph[k].x.data(), roots[k], ph[k].p) != Status::Ok) return false;
    }
    // Least squares on: sum of amounts, component balances, the extra condition.
    double AtA[3][3] = {}, Atb[3] = {};
    auto row = [&](const double c[3], double rhs) {
        for (int j = 0; j < 3; ++j) {
            Atb[j] += c[j] * rhs;
            for (int k = 0; k < 3; ++k)
                AtA[j][k] += c[j] * c[k];
        }
    };
    const double one[3] = {1, 1, 1};
    row(one, 1.0);
    for (int i = 0; i < n; ++i) {
        const double c[3] = {ph[0].x[i], ph[1].x[i], ph[2].x[i]};
        row(c, z[i]);
    }
    double hs = 1.0;
    if (std::isfinite(beta)) {
        const double c[3] = {1, 0, 0};
        row(c, beta);
    } else {
        hs = std::max(
            {std::fabs(ph[0].p.h), std::fabs(ph[1].p.h), std::fabs(ph[2].p.h), std::fabs(H), 1.0});
        const double c[3] = {ph[0].p.h / hs, ph[1].p.h / hs, ph[2].p.h / hs};
        row(c, H / hs);
    }
    Mat M;
    double amt[detail::kMatDim];
    for (int j = 0; j < 3; ++j) {
        for (int k = 0; k < 3; ++k)
            M[j][k] = AtA[j][k];
        amt[j] = Atb[j];
    }
    if (!detail::solve_dense(3, M, amt)) return false;
    double worst = std::fabs(amt[0] + amt[1] + amt[2] - 1.0);
    for (int i = 0; i < n; ++i)
        worst = std::max(worst, std::fabs(amt[0] * ph[0].x[i] + amt[1] * ph[1].x[i] +
                                          amt[2] * ph[2].x[i] - z[i]));
    if (std::isfinite(beta))
        worst = std::max(worst, std::fabs(amt[0] - beta));
    else
        worst = std::max(
            worst,
            std::fabs(amt[0] * ph[0].p.h + amt[1] * ph[1].p.h + amt[2] * ph[2].p.h - H) / hs);
    if (!(worst < 1e-7)) return false;
    for (int k = 0; k < 3; ++k) {
        if (amt[k] < -1e-9) return false;
        ph[k].frac = std::max(amt[k], 0.0);
    }
    out = FlashResult{};
    out.T = T;
    out.P = P;
    out.it_stability = a.it_stability + b.it_stability;
    out.it_ss = a.it_ss + b.it_ss;
    out.it_newton = a.it_newton + b.it_newton;
    assign(m, ph, 3, ls->K, vo, out);
    if (std::isfinite(beta)) out.vf = beta; // exact by construction, to rounding
    return true;
}

bool jump_h(const Model& m, const Vec& z, double H, const FlashResult& below,
            const FlashResult& above, const FlashOptions& o, FlashResult& out) {
    return three_at_jump(m, z, kNaN, H, below, above, o.vapour_only, out);
}

} // namespace

namespace {

// A liquid as the vapour-liquid flash tells its lighter phase: on the lower
// of two roots, or on its one root liquid-like, below 4 b and below the
// pseudo-critical temperature of its one fluid.
bool liquid(const Model& m, double T, double P, const Ph& a) {
    double lp[kMaxComponents];
    Model::Roots q;
    if (m.lnphi(T, P, a.x.data(), Root::MinGibbs, lp, nullptr, &q) != Status::Ok || q.n < 1)
        return false;
    if (detail::distinct_roots(q)) return a.p.root < 0.5 * (q.z[0] + q.z[q.n - 1]);
    return a.p.liquid_like && detail::liquid_range(m, q);
}

// Checks a converged three-phase split (amounts in (0, 1), distinct phases,
// lower-Gibbs roots, not three liquids) and fills out from it; out carries T,
// P and counts. The lowest Gibbs energy of three liquids goes to g_liquids.
bool three_result(const Model& m, double T, double P, const Vec& z, const Split3& s,
                  const bool* mask, const Vec& Kprev, FlashResult& out,
                  double* g_liquids = nullptr) {
    const int n = m.size();
    const double amt[3] = {1.0 - s.b[0] - s.b[1], s.b[0], s.b[1]};
    const double* comp[3] = {s.x.data(), s.w1.data(), s.w2.data()};
    const Root roots[3] = {s.rx, s.r1, s.r2};
    // Largest |ln K| between each pair: the three phases must differ.
    double sep[3] = {0, 0, 0};
    for (int i = 0; i < n; ++i) {
        if (!(z[i] > 0)) continue;
        sep[0] = std::max(sep[0], std::fabs(s.lnK1[i]));
        sep[1] = std::max(sep[1], std::fabs(s.lnK2[i]));
        sep[2] = std::max(sep[2], std::fabs(s.lnK1[i] - s.lnK2[i]));
    }
    bool good = true;
    for (int k = 0; k < 3; ++k) {
        good = good && amt[k] > 0 && amt[k] < 1 && sep[k] > 1e-4;
        good = good && root_ok(m, T, P, comp[k], roots[k]);
    }
    Ph ph[3];
    for (int k = 0; k < 3 && good; ++k) {
        good = m.properties(T, P, comp[k], roots[k], ph[k].p) == Status::Ok;
        double sum = 0;
        for (int i = 0; i < n; ++i)
            sum += comp[k][i];
        for (int i = 0; i < n; ++i)
            ph[k].x[i] = comp[k][i] / sum;
        ph[k].frac = amt[k];
    }
    if (!good) return false;
    // Three liquids have no slot for the third; unless one holds the
    // vapour-only components (the vapour whatever its density), the split is
    // no answer.
    bool three_liquids = true;
    for (int k = 0; k < 3 && three_liquids; ++k)
        three_liquids = vapour_only_share(ph[k], n, mask) == 0 && liquid(m, T, P, ph[k]);
    if (three_liquids) {
        double g = 0;
        for (int k = 0; k < 3; ++k)
            g += amt[k] * (ph[k].p.h - T * ph[k].p.s);
        if (g_liquids) *g_liquids = std::min(*g_liquids, g);
        return false;
    }
    assign(m, ph, 3, Kprev, mask, out);
    return true;
}

// An empty result at T and P that counts the iterations of the
// vapour-liquid flash r2 it builds on.
FlashResult building_on(const FlashResult& r2, double T, double P) {
    FlashResult res;
    res.T = T;
    res.P = P;
    res.it_stability = r2.it_stability;
    res.it_ss = r2.it_ss;
    res.it_newton = r2.it_newton;
    return res;
}

bool dense_phase(const PhaseProps& p) {
    return p.liquid_like && p.pip > 1.5;
}

// The vapour-liquid flash found no gas: its "vapour" is a liquid holding the
// vapour-only components in solution. Starts a gas over both phases (ideal
// gas at their common fugacities, the rest vapour-only components) with the
// two as liquids; true with the three-phase state in out if it has a gas.
bool gas_over_liquids(const Model& m, double T, double P, const Vec& z,
                      const detail::VapourOnly& vo, const FlashResult& r2, const FlashOptions& o,
                      FlashResult& out) {
    const int n = m.size();
    Vec xo = r2.x[kVapour];
    const Vec& xa = r2.x[kLiquid];
    for (int i = 0; i < n; ++i)
        if (vo.on[i]) xo[i] = 0.0;
    double lo[kMaxComponents], la[kMaxComponents];
    if (m.lnphi(T, P, xo.data(), Root::Liquid, lo) != Status::Ok ||
        m.lnphi(T, P, xa.data(), Root::Liquid, la) != Status::Ok)
        return false;
    Vec y{};
    double sy = 0;
    for (int i = 0; i < n; ++i) {
        if (vo.on[i]) continue;
        y[i] = xo[i] > 0 ? xo[i] * std::exp(lo[i]) : xa[i] * std::exp(la[i]);
        sy += y[i];
    }
    const double gas = std::max(1.0 - sy, 0.05);
    for (int i = 0; i < n; ++i)
        if (vo.on[i]) y[i] = gas * z[i] / vo.zsum;
    Split3 s;
    s.vo = vo.on;
    for (int i = 0; i < n; ++i) {
        if (vo.on[i]) {
            s.lnK1[i] = s.lnK2[i] = -detail::kLnVapourOnlyK;
            continue;
        }
        const double yi = std::max(y[i], 1e-300);
        s.lnK1[i] = std::log(std::max(xo[i], 1e-300) / yi);
        s.lnK2[i] = std::log(std::max(xa[i], 1e-300) / yi);
    }
    s.rx = Root::Vapour;
    s.r1 = s.r2 = Root::Liquid;
    FlashResult res = building_on(r2, T, P);
    out = res;
    if (!split3_solve(m, T, P, z.data(), s, o, res)) return false;
    out.it_ss = res.it_ss;
    out.it_newton = res.it_newton;
    return three_result(m, T, P, z, s, o.vapour_only, r2.K, out) &&
           !dense_phase(out.phase[kVapour]);
}

// Tests every present phase of r, the heavier first, for a further phase;
// trials landing on a present phase do not count. True with the trial in W.
bool split_unstable(const Model& m, const FlashResult& r, const bool* vo, Vec& W, int& iters,
                    double& tm) {
    Known kn;
    for (int k = 0; k < kSlots; ++k)
        if (r.present[k]) kn.add(r.x[k].data());
    // The phases of a converged split share their tangent plane, so a trial
    // takes the same path whichever of them is tested: the trials from the
    // known phases, which start alike for every phase, are taken with the
    // first phase tested only.
    bool first = true;
    for (int k : {int(kLiquid2), int(kLiquid), int(kVapour)}) {
        if (!r.present[k]) continue;
        const Root rk = root_of(m, r.T, r.P, r.x[k].data());
        if (phase_unstable(m, r.T, r.P, r.x[k].data(), rk, W, iters, vo, kn, &tm, !first))
            return true;
        first = false;
    }
    return false;
}

// Reference phase of a three-phase split: K-values relative to a nearly pure
// phase (water holding 1e-14 toluene) reach 1e13 and more, and the
// three-phase Rachford-Rice then loses the amounts to rounding. Take the
// phase whose scarcest component is the most abundant (with a gas present,
// normally the gas).
int reference_phase(int n, const double* z, const Vec* const c[3], const bool* held_mask) {
    int ref = 0;
    double best = -1;
    for (int k = 0; k < 3; ++k) {
        double lo = 1.0;
        for (int i = 0; i < n; ++i)
            if (z[i] > 0 && !(held_mask && held_mask[i])) lo = std::min(lo, (*c[k])[i]);
        if (lo > best) {
            best = lo;
            ref = k;
        }
    }
    return ref;
}

// Tangent-plane distance (per mole of trial, over RT) below which an
// instability that no split can lower the Gibbs energy for is put down to
// rounding.
constexpr double kMarginalTm = 1e-6;

// The most of trial phase W (mole fractions) that feed z can form, per mole
// of feed: what the trial's tangent-plane distance can gain at the most.
double most_of(int n, const double* z, const Vec& W) {
    double a = 1.0;
    for (int i = 0; i < n; ++i)
        if (W[i] > 0.0) a = std::min(a, z[i] / W[i]);
    return a;
}

FlashResult tp3_impl(const Model& m, double T, double P, const double* zin, const FlashOptions& o) {
    const int n = m.size();
    const bool* mask = o.vapour_only;
    // Cold start: a warm start may settle on a metastable split of two
    // liquids where gas and liquid are stable, which the phase test below
    // cannot always undo, and would make the result depend on the path.
    FlashOptions cold = o;
    cold.K_guess = nullptr;
    cold.single_liquid = false;
    FlashResult r2 = flash_tp(m, T, P, zin, cold);
    if (r2.status != Status::Ok || active(m, zin) < 2) return relabel(m, r2, mask);
    // The single-phase case: the feed's own test already tried every
    // component-rich trial.
    if (r2.nphases < 2) return relabel(m, r2, mask);
    Vec z{};
    normalise_composition(n, zin, z.data());
    const detail::VapourOnly vo = detail::vapour_only(m, o, z.data());
    const bool* held_mask = vo.any ? vo.on : nullptr;
    auto gibbs = [&](const FlashResult& r) { return r.h - T * r.s; };
    if (vo.any && r2.phase[kVapour].liquid_like) {
        FlashResult three;
        if (gas_over_liquids(m, T, P, z, vo, r2, o, three)) return three;
    }
    FlashResult res = building_on(r2, T, P);
    auto counted = [&](FlashResult r) {
        r.it_stability = res.it_stability;
        r.it_ss = res.it_ss;
        r.it_newton = res.it_newton;
        return r;
    };
    auto failed = [&](Status st) {
        FlashResult f;
        f.status = st;
        return counted(f);
    };
    // Each round tests the current split and, if a further phase lowers the
    // Gibbs energy, replaces it by the best split found from the three
    // phases; only a split that passes the test is returned. Three liquids
    // are no answer, and a split above them that passes the test is not
    // either: the test missed the third liquid.
    FlashResult cur = relabel(m, r2, mask);
    double g_liquids = std::numeric_limits<double>::infinity();
    auto answer = [&] {
        return gibbs(cur) < g_liquids ? counted(cur) : failed(Status::TooManyPhases);
    };
    const int kRounds = 4;
    for (int round = 0;; ++round) {
        Vec W{};
        double tm = 0;
        if (!split_unstable(m, cur, held_mask, W, res.it_stability, tm)) return answer();
        if (round == kRounds) return failed(Status::NotConverged);
        // Phases the new one joins: both of a pair; two of three, each left
        // out in turn (the new phase may take the place of one that only
        // stood in for it).
        int sl[kSlots], ns = 0;
        for (int k = 0; k < kSlots; ++k)
            if (cur.present[k]) sl[ns++] = k;
        Split3 starts[kSlots];
        int nstarts = 0;
        for (int out = ns == 3 ? 0 : -1; out < (ns == 3 ? ns : 0); ++out) {
            int keep[2], nk = 0;
            for (int k = 0; k < ns; ++k)
                if (k != out && nk < 2) keep[nk++] = sl[k];
            // With vapour-only components the gas stays: it holds them.
            if (vo.any && out >= 0 && sl[out] == kVapour) continue;
            const Vec* c[3] = {&cur.x[keep[0]], &cur.x[keep[1]], &W};
            const double amt[3] = {0.99 * cur.frac[keep[0]], 0.99 * cur.frac[keep[1]], 0.01};
            // With vapour-only components the gas is the reference phase:
            // their K are then exactly 0.
            int ref = reference_phase(n, z.data(), c, held_mask);
            if (vo.any) ref = keep[0] == kVapour ? 0 : (keep[1] == kVapour ? 1 : ref);
            const int o1 = (ref + 1) % 3, o2 = (ref + 2) % 3;
            Split3& s = starts[nstarts++];
            s.vo = held_mask;
            for (int i = 0; i < n; ++i) {
                if (held(s, i)) {
                    s.lnK1[i] = s.lnK2[i] = -detail::kLnVapourOnlyK;
                    continue;
                }
                const double xr = std::max((*c[ref])[i], 1e-300);
                s.lnK1[i] = std::log(std::max((*c[o1])[i], 1e-300) / xr);
                s.lnK2[i] = std::log(std::max((*c[o2])[i], 1e-300) / xr);
            }
            s.rx = root_of(m, T, P, c[ref]->data());
            s.r1 = root_of(m, T, P, c[o1]->data());
            s.r2 = root_of(m, T, P, c[o2]->data());
            s.b[0] = amt[o1];
            s.b[1] = amt[o2];
        }
        const Vec* c[3] = {&cur.x[sl[0]], &cur.x[sl[1]], &W};
        // Among the candidates the lowest Gibbs energy wins; it must lie
        // below the split found unstable, by a margin unless the test proved
        // that split unstable: a phase about to form or vanish lowers the
        // Gibbs energy by less than the margin.
        FlashResult best;
        const double g0 = gibbs(cur);
        double gbest = tm < -kMarginalTm ? g0 : g0 - 1e-9 * std::fabs(g0);
        bool improved = false;
        // A split that has drifted back onto the one being replaced is no
        // candidate, whatever rounding says of its Gibbs energy. A phase is
        // known by its composition and its root: liquid oxygen holding
        // traces is as pure as its vapour, yet another phase.
        auto other_split = [&](const FlashResult& next) {
            for (int k = 0; k < kSlots; ++k) {
                bool known = !next.present[k];
                const double rk = next.phase[k].root;
                for (int j = 0; j < kSlots && !known; ++j)
                    known = cur.present[j] &&
                            detail::distance(n, next.x[k].data(), 1.0, cur.x[j].data()) < 1e-6 &&
                            std::fabs(rk - cur.phase[j].root) <= 1e-4 * rk;
                if (!known) return true;
            }
            return false;
        };
        // A split between phases a and b of set c: each phase on its own
        // root first, so that two liquids do not drift onto the gas-liquid
        // split found unstable.
        auto try_pair = [&](const Vec* const* set, int a, int b) {
            Vec K{};
            for (int i = 0; i < n; ++i)
                K[i] = std::max((*set[a])[i], 1e-300) / std::max((*set[b])[i], 1e-300);
            const Root ra = root_of(m, T, P, set[b]->data());
            const Root rb = root_of(m, T, P, set[a]->data());
            const Root tries[3][2] = {
                {ra, rb}, {Root::Liquid, Root::Liquid}, {Root::Liquid, Root::Vapour}};
            for (int t = 0; t < 3; ++t) {
                if (t > 0 && tries[t][0] == ra && tries[t][1] == rb) continue;
                FlashResult two;
                two.it_ss = two.it_newton = two.it_stability = 0;
                const bool ok = detail::split_with_roots(m, T, P, z.data(), o, K.data(),
                                                         tries[t][0], tries[t][1], two);
                res.it_ss += two.it_ss;
                res.it_newton += two.it_newton;
                if (!ok) continue;
                two.T = T;
                two.P = P;
                if (gibbs(two) < gbest && other_split(two)) {
                    best = relabel(m, two, mask);
                    gbest = gibbs(two);
                    improved = true;
                }
                return;
            }
        };
        // Two components hold three phases at one T (P) only: no
        // three-phase split at a given T and P, the new phase pairs with one
        // of the two.
        const bool binary = active(m, z.data()) < 3;
        // A converged three-phase split where the test proved the pair
        // unstable need not even lie below it: a phase of 1e-9 changes the
        // Gibbs energy by less than its rounding, and the split is tested
        // again before it is taken.
        const double bar3 = tm < -kMarginalTm
                                ? g0 + 1e-12 * (std::fabs(cur.h) + T * std::fabs(cur.s) + kR * T)
                                : gbest;
        for (int k = 0; k < nstarts && !binary; ++k) {
            FlashResult three = res;
            if (split3_solve(m, T, P, z.data(), starts[k], o, res) &&
                three_result(m, T, P, z, starts[k], mask, cur.K, three, &g_liquids) &&
                gibbs(three) < (improved ? gbest : bar3) && other_split(three)) {
                best = three;
                gbest = gibbs(three);
                improved = true;
            }
        }
        // A fourth phase beside three is beyond this flash.
        if (!improved && ns == 3)
            return failed(tm < -kMarginalTm ? Status::TooManyPhases : Status::NotConverged);
        if (!improved) {
            // The new phase with each of the two as found (the pair of them
            // is the split being replaced).
            try_pair(c, 0, 2);
            try_pair(c, 1, 2);
        }
        if (!improved && !binary) {
            // As the three-phase iteration left them.
            const Split3& s = starts[0];
            const Vec* c3[3] = {&s.x, &s.w1, &s.w2};
            for (int q = 0; q < 3; ++q)
                for (int r = q + 1; r < 3; ++r)
                    try_pair(c3, q, r);
        }
        // Within a hair of the temperature where a binary holds three
        // phases, or where a trace phase turns from gas to liquid, the
        // further phase lowers the Gibbs energy by less than rounding: the
        // split stands.
        const double rounding = 1e-12 * (std::fabs(cur.h) + T * std::fabs(cur.s) + kR * T);
        if (!improved && (tm > -kMarginalTm || -tm * kR * T * most_of(n, z.data(), W) < rounding))
            return answer();
        // Three liquids below the split: a third liquid forms beside the two.
        if (!improved) return failed(g_liquids < g0 ? Status::TooManyPhases : Status::NotConverged);
        cur = best;
    }
}

// Vapour-only reporting on a public result (z as given by the caller).
FlashResult reported3(const Model& m, const double* zin, const FlashOptions& o, FlashResult r) {
    if (!o.vapour_only || r.status != Status::Ok) return r;
    Vec z{};
    if (!normalise_composition(m.size(), zin, z.data())) return r;
    detail::report_vapour_only(detail::vapour_only(m, o, z.data()), m.size(), r);
    return r;
}

} // namespace

FlashResult flash3_tp(const Model& m, double T, double P, const double* zin,
                      const FlashOptions& o) {
    return reported3(m, zin, o, tp3_impl(m, T, P, zin, o));
}

FlashResult flash3_ph(const Model& m, double P, double H, const double* zin,
                      const FlashOptions& o) {
    Vec z{};
    if (active(m, zin) < 2 || !normalise_composition(m.size(), zin, z.data()))
        return reported3(m, zin, o, relabel(m, flash_ph(m, P, H, zin, o), o.vapour_only));
    if (!valid_tp(300.0, P) || !std::isfinite(H) || o.max_iter < 1 || !(o.tol > 0)) {
        FlashResult r;
        r.status = Status::BadInput;
        return r;
    }
    return reported3(m, zin, o,
                     detail::enthalpy_flash_with(m, false, P, H, z, o, flash3_tp, jump_h));
}

FlashResult flash3_th(const Model& m, double T, double H, const double* zin,
                      const FlashOptions& o) {
    Vec z{};
    if (active(m, zin) < 2 || !normalise_composition(m.size(), zin, z.data()))
        return reported3(m, zin, o, relabel(m, flash_th(m, T, H, zin, o), o.vapour_only));
    if (!valid_tp(T, 1e5) || !std::isfinite(H) || o.max_iter < 1 || !(o.tol > 0)) {
        FlashResult r;
        r.status = Status::BadInput;
        return r;
    }
    return reported3(m, zin, o,
                     detail::enthalpy_flash_with(m, true, T, H, z, o, flash3_tp, jump_h));
}

namespace {

// Vapour fraction given with two liquids possible: keep the vapour-liquid
// answer when its liquid is stable, else bisect on the three-phase T-P flash
// along T (fixed P) or ln P (fixed T) from the vapour side.
FlashResult fraction3(const Model& m, bool fixed_t, double fixed, double beta, const double* zin,
                      const FlashOptions& o) {
    const bool* mask = o.vapour_only;
    FlashResult r2 = fixed_t ? flash_tv(m, fixed, beta, zin, o) : flash_pv(m, fixed, beta, zin, o);
    if (r2.status == Status::BadInput || active(m, zin) < 2) return relabel(m, r2, mask);
    Vec z{};
    normalise_composition(m.size(), zin, z.data());
    const detail::VapourOnly vo = detail::vapour_only(m, o, z.data());
    // At or below the vapour-only share there is no state (flash_pv said so).
    if (vo.any && beta <= vo.zsum) return r2;
    if (r2.status == Status::Ok) {
        Vec W{};
        int it = 0;
        double tm = 0;
        if (!split_unstable(m, r2, mask, W, it, tm)) {
            r2.it_stability += it;
            // The fraction is the vapour's: keep the vapour-liquid labels. By
            // molar volume alone, a dense gas (hydrogen at a bubble point of
            // hundreds of bar) would swap places with its liquid, vf = 1 - beta.
            return r2;
        }
    }
    const double T0 = fixed_t ? fixed : 0, P0 = fixed_t ? 0 : fixed;
    auto at = [&](double v) {
        const double T = fixed_t ? T0 : v;
        const double P = fixed_t ? std::exp(v) : P0;
        return flash3_tp(m, T, P, zin,
                         FlashOptions{kNaN, kNaN, nullptr, o.max_iter, o.tol, o.vapour_only});
    };
    // On the vapour side of the wanted fraction?
    auto vapour_side = [&](const FlashResult& r) {
        return beta >= 1.0 ? (r.nphases == 1 && r.present[kVapour]) : r.vf > beta;
    };
    const int kScan = 48;
    double first = fixed_t ? std::log(1e2) : 1500.0;
    const double last = fixed_t ? std::log(5e8) : 20.0;
    double va = first;
    FlashResult ra = at(va);
    int evals = 1;
    // Still liquid at 100 Pa: a cold feed whose vapour forms lower down
    // (isopropanol and water at 230 K boil at 32 Pa) is scanned from 1 Pa.
    if (fixed_t && ra.status == Status::Ok && !vapour_side(ra)) {
        first = va = 0.0;
        ra = at(va);
        ++evals;
    }
    Status failed = Status::NoSolution; // what the scan ends in without a bracket
    const int kMaxFailures = 3;         // then the rest of the scan is not worth its time
    int failures = 0;
    if (ra.status != Status::Ok || !vapour_side(ra)) {
        FlashResult f;
        f.status = Status::NoSolution;
        return f;
    }
    for (int k = 1; k <= kScan; ++k) {
        const double vb = fixed_t ? first + (last - first) * k / kScan
                                  : first * std::pow(last / first, double(k) / kScan);
        FlashResult rb = at(vb);
        ++evals;
        // A point that does not flash (most often far below the freezing
        // points) is passed over: the bracket may lie beyond it.
        if (rb.status != Status::Ok) {
            failed = rb.status;
            if (++failures == kMaxFailures) break;
            continue;
        }
        if (vapour_side(rb)) {
            // Flashing again on the same side, the scan has passed over the
            // points that did not as over any step: no bracket there.
            va = vb;
            ra = rb;
            failed = Status::NoSolution;
            continue;
        }
        double lo = va, hi = vb; // lo on the vapour side
        FlashResult rlo = ra, rhi = rb;
        bool broke = false;
        for (int it = 0; it < 80 && std::fabs(hi - lo) > 1e-10 * std::fabs(hi); ++it) {
            // A point where the flash fails (a phase about to vanish) is
            // stepped around: the bracket holds other points.
            double mid = 0.5 * (lo + hi);
            FlashResult rm = at(mid);
            ++evals;
            for (double t : {0.3, 0.7}) {
                if (rm.status == Status::Ok) break;
                mid = lo + t * (hi - lo);
                rm = at(mid);
                ++evals;
            }
            if (rm.status != Status::Ok) {
                broke = true;
                break;
            }
            // Inside the envelope the fraction varies smoothly: a state this
            // close is the answer, no need to close the bracket to rounding.
            if (beta > 0.0 && beta < 1.0 && std::fabs(rm.vf - beta) < 1e-10) {
                rm.it_outer = evals;
                return rm;
            }
            if (vapour_side(rm)) {
                lo = mid;
                rlo = rm;
            } else {
                hi = mid;
                rhi = rm;
            }
        }
        if (broke) {
            FlashResult f;
            f.status = Status::NotConverged;
            f.it_outer = evals;
            return f;
        }
        // Bubble: the side where the vapour has just appeared; dew: the side
        // where the liquid has.
        FlashResult& pick =
            beta <= 0.0   ? rlo
            : beta >= 1.0 ? rhi
                          : (std::fabs(rlo.vf - beta) <= std::fabs(rhi.vf - beta) ? rlo : rhi);
        pick.it_outer = evals;
        if (std::fabs(pick.vf - beta) < 1e-6) return pick;
        // The fraction jumps past beta: three phases at this one T (or P).
        FlashResult three;
        if (three_at_jump(m, z, beta, kNaN, rlo, rhi, mask, three)) {
            three.it_outer = evals;
            return three;
        }
        FlashResult f;
        f.status = Status::NoSolution;
        f.it_outer = evals;
        return f;
    }
    FlashResult f;
    f.status = failed;
    f.it_outer = evals;
    return f;
}

} // namespace

FlashResult flash3_pv(const Model& m, double P, double vf, const double* z, const FlashOptions& o) {
    return reported3(m, z, o, fraction3(m, false, P, vf, z, o));
}

FlashResult flash3_tv(const Model& m, double T, double vf, const double* z, const FlashOptions& o) {
    return reported3(m, z, o, fraction3(m, true, T, vf, z, o));
}

} // namespace xif::refhost::thermo
