#include "eos.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace xif::refhost::thermo {

namespace {

bool finite_pos(double v) {
    return std::isfinite(v) && v > 0;
}

} // namespace

const char* status_name(Status s) {
    switch (s) {
    case Status::Ok:
        return "ok";
    case Status::BadInput:
        return "bad input";
    case Status::NotConverged:
        return "not converged";
    case Status::NoSolution:
        return "no solution";
    case Status::NumericalFailure:
        return "numerical failure";
    case Status::TooManyPhases:
        return "more phases than the flash holds";
    }
    return "unknown";
}

void PolynomialIdealGas::set(int i, double c0, double c1, double c2, double c3, double c4) {
    if (i >= 0 && i < kMaxComponents) c_[i] = {c0, c1, c2, c3, c4};
}

void PolynomialIdealGas::eval(int i, double T, double& cp, double& h, double& s) const {
    const auto& c = c_[i];
    auto H = [&](double t) {
        return t * (c[0] + t * (c[1] / 2 + t * (c[2] / 3 + t * (c[3] / 4 + t * c[4] / 5))));
    };
    auto S = [&](double t) {
        return c[0] * std::log(t) + t * (c[1] + t * (c[2] / 2 + t * (c[3] / 3 + t * c[4] / 4)));
    };
    cp = c[0] + T * (c[1] + T * (c[2] + T * (c[3] + T * c[4])));
    h = H(T) - H(kTref);
    s = S(T) - S(kTref);
}

bool valid_tp(double T, double P) {
    return std::isfinite(T) && std::isfinite(P) && T >= kTmin && T <= kTmax && P >= kPmin &&
           P <= kPmax;
}

bool normalise_composition(int n, const double* z, double* out) {
    if (n < 1 || n > kMaxComponents || z == nullptr) return false;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(z[i]) || z[i] < 0) return false;
        sum += z[i];
    }
    if (!(std::fabs(sum - 1.0) <= 1e-4)) return false;
    for (int i = 0; i < n; ++i)
        out[i] = z[i] / sum;
    return true;
}

namespace {

// Cube root by a bit-level first guess and three Halley steps (cubic
// convergence: 5e-2, 1e-4, 1e-12, rounding), a fraction of the library
// function's cost; the roots are polished by Newton afterwards anyway.
double cube_root(double a) {
    const double x = std::fabs(a);
    if (!std::isnormal(x)) return std::cbrt(a);
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    bits = bits / 3 + 0x2A9F7893782DA1CEull; // exponent / 3 with the bias kept
    double y;
    std::memcpy(&y, &bits, sizeof y);
    for (int k = 0; k < 3; ++k) {
        const double y3 = y * y * y;
        y *= (y3 + 2.0 * x) / (2.0 * y3 + x);
    }
    return a < 0 ? -y : y;
}

// cos(acos(x) / 3) for x in [-1, 1]: with s = cos(acos(x) / 2) = sqrt((1 + x) / 2)
// it is cos(2/3 acos(s)), smooth in s on [0, 1], here its Chebyshev series of
// degree 8 (within 4e-9), then one Newton step on 4 c^3 - 3 c = x, which it
// solves, away from its double root at x = -1: about the cosines' precision for a
// fifth of their cost.
double cos_third_of_acos(double x) {
    static constexpr double c[] = {
        0.75809116543512944,     0.24933602102708877,     -0.0080211745487952877,
        0.00065564681889126487,  -6.8924356328062264e-05, 8.1888771731718907e-06,
        -1.0466055461212653e-06, 1.4043322851299556e-07,  -1.9510326252150656e-08};
    const double u = 2.0 * std::sqrt(0.5 * (1.0 + x)) - 1.0; // s mapped onto [-1, 1]
    double b1 = 0.0, b2 = 0.0;
    for (int k = 8; k > 0; --k) {
        const double b = 2.0 * u * b1 - b2 + c[k];
        b2 = b1;
        b1 = b;
    }
    const double y = u * b1 - b2 + c[0];
    const double dy = 12.0 * y * y - 3.0; // 0 at x = -1, where the root is double
    return dy > 1e-4 ? y - ((4.0 * y * y - 3.0) * y - x) / dy : y;
}

} // namespace

int solve_cubic(double c2, double c1, double c0, double roots[3]) {
    // Depressed cubic t^3 + p t + q = 0 with Z = t - c2/3.
    const double shift = c2 / 3.0;
    const double p = c1 - c2 * c2 / 3.0;
    const double q = 2.0 * c2 * c2 * c2 / 27.0 - c2 * c1 / 3.0 + c0;
    const double disc = q * q / 4.0 + p * p * p / 27.0;
    int nr = 0;
    if (disc > 0 || p >= 0) {
        const double sd = std::sqrt(std::max(disc, 0.0));
        roots[0] = cube_root(-q / 2.0 + sd) + cube_root(-q / 2.0 - sd) - shift;
        nr = 1;
    } else {
        const double r = 2.0 * std::sqrt(-p / 3.0);
        double arg = 3.0 * q / (p * r);
        arg = std::clamp(arg, -1.0, 1.0);
        // cos(phi - 2 pi k / 3) from cos phi and sin phi, phi = acos(arg) / 3 in [0, pi/3].
        const double c = cos_third_of_acos(arg), sn = std::sqrt(std::max(1.0 - c * c, 0.0));
        const double h = std::sqrt(3.0) / 2.0;
        roots[0] = r * (-0.5 * c - h * sn) - shift; // ascending
        roots[1] = r * (-0.5 * c + h * sn) - shift;
        roots[2] = r * c - shift;
        nr = 3;
    }
    // Polish: the trigonometric and Cardano forms lose digits near multiple roots.
    for (int k = 0; k < nr; ++k) {
        double z = roots[k];
        for (int it = 0; it < 3; ++it) {
            const double f = ((z + c2) * z + c1) * z + c0;
            const double df = (3.0 * z + 2.0 * c2) * z + c1;
            if (df == 0) break;
            const double dz = f / df;
            if (!std::isfinite(dz) || std::fabs(dz) > 1e-3 * (std::fabs(z) + 1e-3)) break;
            z -= dz;
            if (std::fabs(dz) <= 1e-15 * std::fabs(z)) break; // at rounding
        }
        roots[k] = z;
    }
    // Polishing may swap two roots that nearly coincide.
    if (nr == 3) {
        if (roots[0] > roots[1]) std::swap(roots[0], roots[1]);
        if (roots[1] > roots[2]) std::swap(roots[1], roots[2]);
        if (roots[0] > roots[1]) std::swap(roots[0], roots[1]);
    }
    return nr;
}

Status Model::init(const Mixture& m) {
    alpha_ = Alpha{};
    if (m.n < 1 || m.n > kMaxComponents || m.ideal_gas == nullptr) return Status::BadInput;
    n_ = m.n;
    eos_ = m.eos;
    translate_ = m.volume_translation;
    ig_ = m.ideal_gas;
    if (m.water < -1 || m.water >= m.n) return Status::BadInput;
    water_ = m.water;
    double zra_a = 0, zra_b = 0;
    if (eos_ == EosKind::PengRobinson) {
        d1_ = 1.0 + std::sqrt(2.0);
        d2_ = 1.0 - std::sqrt(2.0);
        omega_a_ = 0.45723553;
        omega_b_ = 0.07779607;
        zra_a = 0.50033; // Peneloux-type shift fitted for PR
        zra_b = 0.25969;
    } else if (eos_ == EosKind::SoaveRedlichKwong) {
        d1_ = 1.0;
        d2_ = 0.0;
        omega_a_ = 0.42748023;
        omega_b_ = 0.08664035;
        zra_a = 0.40768; // Peneloux et al. 1982
        zra_b = 0.29441;
    } else {
        return Status::BadInput;
    }
    for (int i = 0; i < n_; ++i) {
        const PureParams& p = m.comp[i];
        if (!finite_pos(p.Tc) || !finite_pos(p.Pc) || !finite_pos(p.MW) ||
            !std::isfinite(p.omega) || p.omega < -1.0 || p.omega > 3.0)
            return Status::BadInput;
        comp_[i] = p;
        const double w = p.omega;
        if (eos_ == EosKind::PengRobinson)
            m_[i] = w <= 0.491 ? 0.37464 + w * (1.54226 - 0.26992 * w)
                               : 0.379642 + w * (1.48503 + w * (-0.164423 + 0.016666 * w));
        else
            m_[i] = 0.480 + w * (1.574 - 0.176 * w);
        ac_[i] = omega_a_ * kR * kR * p.Tc * p.Tc / p.Pc;
        b_[i] = omega_b_ * kR * p.Tc / p.Pc;
        if (std::isfinite(p.vshift)) {
            c_[i] = p.vshift;
        } else {
            const double zra = std::isfinite(p.zra) ? p.zra : 0.29056 - 0.08775 * w;
            c_[i] = zra_a * (zra_b - zra) * kR * p.Tc / p.Pc;
        }
        if (!translate_) c_[i] = 0.0;
        for (int j = 0; j < n_; ++j) {
            const double k = i == j ? 0.0 : m.kij[i][j];
            if (!std::isfinite(k) || std::fabs(k) >= 1.0) return Status::BadInput;
            omk_[i][j] = 1.0 - k;
        }
    }
    return Status::Ok;
}

double Model::wilson_k(int i, double T, double P) const {
    const PureParams& p = comp_[i];
    return p.Pc / P * std::exp(5.373 * (1.0 + p.omega) * (1.0 - p.Tc / T));
}

const Model::Alpha& Model::alpha(double T) const {
    if (alpha_.T == T) return alpha_;
    for (int i = 0; i < n_; ++i) {
        const double s = std::sqrt(T / comp_[i].Tc);
        const double f = 1.0 + m_[i] * (1.0 - s);
        // sqrt(a_i) = sqrt(ac) * f; f is linear in sqrt(T).
        const double sac = std::sqrt(ac_[i]);
        alpha_.q[i] = sac * f;
        alpha_.dq[i] = sac * (-m_[i] * s / (2.0 * T));
        alpha_.d2q[i] = sac * (m_[i] * s / (4.0 * T * T));
    }
    alpha_.T = T;
    return alpha_;
}

Status Model::mix_terms(double T, const double* xin, Terms& mt, bool derivs) const {
    double sum = 0;
    for (int i = 0; i < n_; ++i) {
        if (!std::isfinite(xin[i]) || xin[i] < 0) return Status::BadInput;
        sum += xin[i];
    }
    if (!(sum > 0) || !std::isfinite(sum)) return Status::BadInput;
    const Alpha& al = alpha(T);
    const Vec& q = al.q;
    mt.b = mt.c = 0;
    for (int i = 0; i < n_; ++i) {
        mt.x[i] = xin[i] / sum;
        mt.b += mt.x[i] * b_[i];
        mt.c += mt.x[i] * c_[i];
    }
    mt.a = 0;
    // r_i: the rows of (1 - k_ij) against x_j q_j; a = sum_i x_i q_i r_i.
    Vec xq;
    for (int j = 0; j < n_; ++j)
        xq[j] = mt.x[j] * q[j];
    for (int i = 0; i < n_; ++i) {
        const double* row = omk_[i].data();
        double r = 0;
        for (int j = 0; j < n_; ++j)
            r += row[j] * xq[j];
        mt.r[i] = r;
        mt.sa[i] = r * q[i];
        mt.a += mt.x[i] * mt.sa[i];
    }
    if (derivs)
        a_derivatives(T, mt);
    else
        mt.da = mt.d2a = 0;
    return Status::Ok;
}

// t_i and u_i: the rows of (1 - k_ij) against x_j q'_j and x_j q''_j. Then
// a' = sum_i x_i (q'_i r_i + q_i t_i) and a'' = sum_i x_i (q''_i r_i +
// 2 q'_i t_i + q_i u_i); the flash needs a alone.
void Model::a_derivatives(double T, Terms& mt) const {
    const Alpha& al = alpha(T);
    const Vec &q = al.q, &dq = al.dq, &d2q = al.d2q;
    Vec xdq, xd2q;
    for (int j = 0; j < n_; ++j) {
        xdq[j] = mt.x[j] * dq[j];
        xd2q[j] = mt.x[j] * d2q[j];
    }
    mt.da = mt.d2a = 0;
    for (int i = 0; i < n_; ++i) {
        const double* row = omk_[i].data();
        double t = 0, u = 0;
        for (int j = 0; j < n_; ++j) {
            t += row[j] * xdq[j];
            u += row[j] * xd2q[j];
        }
        const double r = mt.r[i];
        mt.da += mt.x[i] * (dq[i] * r + q[i] * t);
        mt.d2a += mt.x[i] * (d2q[i] * r + 2.0 * dq[i] * t + q[i] * u);
    }
}

Status Model::lnphi(double T, double P, const double* x, Root r, double* lp, double* Zout,
                    Roots* roots, Terms* terms) const {
    if (!valid_tp(T, P) || x == nullptr) return Status::BadInput;
    Terms local;
    Terms& mt = terms ? *terms : local;
    if (Status s = mix_terms(T, x, mt, false); s != Status::Ok) return s;
    return lnphi_of(T, P, mt, r, lp, Zout, roots);
}

int Model::physical_roots(double A, double B, double zs[3]) const {
    const double u = d1_ + d2_, w = d1_ * d2_;
    double roots[3];
    const int nr = solve_cubic(-(1.0 + B - u * B), A + w * B * B - u * B - u * B * B,
                               -(A * B + w * B * B + w * B * B * B), roots);
    int nz = 0;
    for (int k = 0; k < nr; ++k)
        if (std::isfinite(roots[k]) && roots[k] > B) zs[nz++] = roots[k];
    return nz;
}

double Model::chosen_root(double A, double B, const double* zs, int nz, Root r) const {
    if (r != Root::MinGibbs || nz == 1) return r == Root::Liquid ? zs[0] : zs[nz - 1];
    double L, lzb;
    return chosen_root(A, B, zs, nz, r, L, lzb);
}

double Model::chosen_root(double A, double B, const double* zs, int nz, Root r, double& L,
                          double& lzb) const {
    auto logs_at = [&](double z, double& l, double& lz) {
        l = std::log((z + d1_ * B) / (z + d2_ * B));
        lz = std::log(z - B);
    };
    if (r == Root::MinGibbs && nz > 1) {
        // The residual Gibbs energies of both roots take both roots' logarithms.
        const double z0 = zs[0], z1 = zs[nz - 1], c = A / (B * (d1_ - d2_));
        double L0, l0, L1, l1;
        logs_at(z0, L0, l0);
        logs_at(z1, L1, l1);
        const bool low = z0 - 1.0 - l0 - c * L0 < z1 - 1.0 - l1 - c * L1;
        L = low ? L0 : L1;
        lzb = low ? l0 : l1;
        return low ? z0 : z1;
    }
    const double z = r == Root::Liquid ? zs[0] : zs[nz - 1];
    logs_at(z, L, lzb);
    return z;
}

bool Model::lower_gibbs_root(double T, double P, const double* x, Root r) const {
    if (!valid_tp(T, P) || x == nullptr) return false;
    Terms mt;
    if (mix_terms(T, x, mt, false) != Status::Ok) return false;
    const double RT = kR * T;
    Roots rs;
    rs.A = mt.a * P / (RT * RT);
    rs.B = mt.b * P / RT;
    rs.n = physical_roots(rs.A, rs.B, rs.z);
    return lower_gibbs(rs, r);
}

bool Model::lower_gibbs(const Roots& rs, Root r) const {
    if (rs.n == 0) return false;
    if (rs.n == 1) return true;
    const double z = chosen_root(rs.A, rs.B, rs.z, rs.n, r);
    const double zm = chosen_root(rs.A, rs.B, rs.z, rs.n, Root::MinGibbs);
    return std::fabs(z - zm) <= 1e-9 * zm;
}

Status Model::lnphi_of(double T, double P, Terms& mt, Root r, double* lp, double* Zout,
                       Roots* roots) const {
    const double RT = kR * T;
    const double A = mt.a * P / (RT * RT);
    const double B = mt.b * P / RT;
    Roots& rs = mt.roots;
    rs.A = A;
    rs.B = B;
    rs.n = physical_roots(A, B, rs.z);
    if (roots) *roots = rs;
    if (rs.n == 0) return Status::NumericalFailure;
    const double den = d1_ - d2_;
    // The root's logarithms: choosing by the Gibbs energy has taken them.
    double L, lzb;
    const double Z = chosen_root(A, B, rs.z, rs.n, r, L, lzb);
    for (int i = 0; i < n_; ++i) {
        const double bb = b_[i] / mt.b;
        lp[i] = bb * (Z - 1.0) - lzb - A / (B * den) * (2.0 * mt.sa[i] / mt.a - bb) * L -
                c_[i] * P / RT;
    }
    mt.Z = Z;
    mt.L = L;
    mt.lzb = lzb;
    if (Zout) *Zout = Z;
    return Status::Ok;
}

// From the reduced residual Helmholtz energy F(n, T, V) = -n g - D f / T,
// g = ln(1 - B/V), f = ln((V + d1 B)/(V + d2 B)) / (R B (d1 - d2)), B = sum
// n_i b_i, D = sum n_i n_j a_ij, taken at n = 1 (Michelsen and Mollerup,
// Thermodynamic Models, ch. 3):
//   n dln(phi_i)/dn_j = n F_ij + 1 + n P_i P_j / (RT P_V),
// P_i = RT (1/V - F_iV), P_V = -RT (F_VV + n/V^2). The translation adds
// c_i P/RT to ln phi_i, the same for every composition.
Status Model::add_dn(double T, double P, const Terms& mt, double scale, double* H,
                     int stride) const {
    const double RT = kR * T;
    const double V = mt.Z * RT / P, B = mt.b, D = mt.a, den = d1_ - d2_;
    const double e1 = V + d1_ * B, e2 = V + d2_ * B, vb = V - B;
    const double gV = B / (V * vb), gB = -1.0 / vb;
    const double gVV = 1.0 / (V * V) - 1.0 / (vb * vb), gBV = 1.0 / (vb * vb), gBB = -gBV;
    const double f = std::log(e1 / e2) / (kR * B * den);
    const double fV = -1.0 / (kR * e1 * e2);
    const double fB = -(f + V * fV) / B;
    const double fVV = (1.0 / (e2 * e2) - 1.0 / (e1 * e1)) / (kR * B * den);
    const double fBV = -(2.0 * fV + V * fVV) / B;
    const double fBB = -(2.0 * fB + V * fBV) / B;
    const double FnB = -gB, FBD = -fB / T, FBB = -gBB - D * fBB / T, FD = -f / T;
    const double FnV = -gV, FBV = -gBV - D * fBV / T, FDV = -fV / T;
    const double FVV = -gVV - D * fVV / T;
    const double PV = -RT * (FVV + 1.0 / (V * V));
    if (!(PV < 0.0) || !std::isfinite(PV)) return Status::NumericalFailure;
    const Vec& q = alpha(T).q;
    // n F_ij = FnB (b_i + b_j) + FBD (b_i D_j + D_i b_j) + FBB b_i b_j + FD D_ij,
    // D_i = 2 sa_i, D_ij = 2 a_ij; grouped by row, the terms of column j
    // (scaled) are kept in arrays.
    double Pi[kMaxComponents], su[kMaxComponents], sb[kMaxComponents], sq[kMaxComponents],
        sp[kMaxComponents], c[kMaxComponents];
    const double pp = scale / (RT * PV);
    for (int i = 0; i < n_; ++i) {
        const double Di = 2.0 * mt.sa[i];
        Pi[i] = RT * (1.0 / V - (FnV + FBV * b_[i] + FDV * Di));
        su[i] = scale * (FnB + FBD * Di);
        sb[i] = scale * b_[i];
        sq[i] = scale * q[i];
        sp[i] = pp * Pi[i];
        c[i] = FnB + FBD * Di + FBB * b_[i];
    }
    for (int i = 0; i < n_; ++i) {
        double* row = H + static_cast<std::ptrdiff_t>(i) * stride;
        const double bi = b_[i], ci = c[i], fi = 2.0 * FD * q[i], pi = Pi[i];
        const double* omk = omk_[i].data();
        for (int j = 0; j <= i; ++j) {
            const double v = scale + bi * su[j] + ci * sb[j] + fi * sq[j] * omk[j] + pi * sp[j];
            row[j] += v;
            if (j != i) H[static_cast<std::ptrdiff_t>(j) * stride + i] += v;
        }
    }
    return Status::Ok;
}

double Model::volume_shift(const double* x) const {
    // The sums of mix_terms, in its order.
    double sum = 0, c = 0;
    for (int i = 0; i < n_; ++i)
        sum += x[i];
    for (int i = 0; i < n_; ++i)
        c += x[i] / sum * c_[i];
    return c;
}

Status Model::properties(double T, double P, const double* x, Root r, PhaseProps& out,
                         double* lpout) const {
    double lpbuf[kMaxComponents];
    double* lp = lpout ? lpout : lpbuf;
    if (!valid_tp(T, P) || x == nullptr) return Status::BadInput;
    Terms mt;
    if (Status s = mix_terms(T, x, mt, true); s != Status::Ok) return s;
    if (Status s = lnphi_of(T, P, mt, r, lp, nullptr); s != Status::Ok) return s;
    return finish_properties(T, P, mt, out);
}

Status Model::properties(double T, double P, Terms& mt, PhaseProps& out) const {
    if (!valid_tp(T, P) || mt.roots.n == 0) return Status::BadInput;
    a_derivatives(T, mt);
    return finish_properties(T, P, mt, out);
}

// mt from lnphi_of at the same T and P: its root and the root's logarithms.
Status Model::finish_properties(double T, double P, const Terms& mt, PhaseProps& out) const {
    const Roots& rs = mt.roots;
    const double Z = mt.Z;
    const double RT = kR * T;
    const double den = d1_ - d2_;
    const double L = mt.L;
    const double v = Z * RT / P; // untranslated
    const double b = mt.b, a = mt.a, da = mt.da, d2a = mt.d2a;
    const double hres = RT * (Z - 1.0) + (T * da - a) / (b * den) * L - mt.c * P;
    const double sres = kR * mt.lzb + da / (b * den) * L;
    const double cvres = T * d2a / (b * den) * L;
    const double u = d1_ + d2_, w = d1_ * d2_;
    const double D = v * v + u * b * v + w * b * b;
    const double dD = 2.0 * v + u * b;
    const double vb = v - b;
    const double dPdT = kR / vb - da / D;
    const double dPdv = -RT / (vb * vb) + a * dD / (D * D);
    const double d2Pdv2 = 2.0 * RT / (vb * vb * vb) + a * (2.0 * D - 2.0 * dD * dD) / (D * D * D);
    const double d2PdTdv = -kR / (vb * vb) + da * dD / (D * D);
    double cpres = cvres - kR;
    if (dPdv < 0)
        cpres += -T * dPdT * dPdT / dPdv;
    else
        cpres = kNaN; // mechanically unstable root; only reachable with a forced root
    double hig = 0, sig = 0, cpig = 0, mw = 0, smix = 0;
    for (int i = 0; i < n_; ++i) {
        const double xi = mt.x[i];
        if (xi <= 0) continue;
        double cpi, hi, si;
        ig_->eval(i, T, cpi, hi, si);
        hig += xi * hi;
        sig += xi * si;
        cpig += xi * cpi;
        mw += xi * comp_[i].MW;
        smix -= kR * xi * std::log(xi);
    }
    out.v = v - mt.c;
    out.Z = P * out.v / RT;
    out.mw = mw;
    out.hres = hres;
    out.sres = sres;
    out.cvres = cvres;
    out.cpres = cpres;
    out.h = hig + hres;
    out.s = sig + smix - kR * std::log(P / kPref) + sres;
    out.cp = cpig + cpres;
    out.cv = cpig - kR + cvres;
    out.pip = v * (d2PdTdv / dPdT - d2Pdv2 / dPdv);
    out.root = Z;
    out.root_low = rs.z[0];
    out.root_high = rs.z[rs.n - 1];
    // PIP alone calls a hot, dilute gas (PIP -> 1 from above) liquid: also
    // require a volume below the equation's own critical volume, Zc/Omega_b b.
    const double zc = eos_ == EosKind::PengRobinson ? 0.307401 : 1.0 / 3.0;
    out.liquid_like = !(out.pip <= 1.0) && v < zc / omega_b_ * b;
    out.subcritical = subcritical(rs);
    if (!std::isfinite(out.h) || !std::isfinite(out.s) || !std::isfinite(out.v) ||
        !std::isfinite(out.cp))
        return Status::NumericalFailure;
    return Status::Ok;
}

} // namespace xif::refhost::thermo
