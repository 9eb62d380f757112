// IAPWS-IF97 (revised release 2007, R7-97(2012)): regions 1, 2, 3, 4, 5 and
// the B23 line. The equations work per kg in MPa and kJ as the release does;
// the public functions convert to the kmol basis and shift the reference.
#include "refhost/water/water.h"

#include <cmath>
#include <cstddef>

namespace xif::refhost::water {
namespace {

constexpr double r_kj = 0.461526; // kJ/(kg K), IF97 gas constant per kg
constexpr double t_r1_max = 623.15;
constexpr double t_b23_max = 863.15;
// kg/m3: above every region-3 state (p > 100 MPa there from 623.15 to
// 863.15 K) and below where the region-3 equation turns over.
constexpr double rho_top = 800.0;

struct Term {
    int i;
    int j;
    double n;
};

// Region 1, Gibbs free energy.
constexpr Term r1_terms[] = {
    {0, -2, 0.14632971213167},        {0, -1, -0.84548187169114},
    {0, 0, -0.37563603672040e1},      {0, 1, 0.33855169168385e1},
    {0, 2, -0.95791963387872},        {0, 3, 0.15772038513228},
    {0, 4, -0.16616417199501e-1},     {0, 5, 0.81214629983568e-3},
    {1, -9, 0.28319080123804e-3},     {1, -7, -0.60706301565874e-3},
    {1, -1, -0.18990068218419e-1},    {1, 0, -0.32529748770505e-1},
    {1, 1, -0.21841717175414e-1},     {1, 3, -0.52838357969930e-4},
    {2, -3, -0.47184321073267e-3},    {2, 0, -0.30001780793026e-3},
    {2, 1, 0.47661393906987e-4},      {2, 3, -0.44141845330846e-5},
    {2, 17, -0.72694996297594e-15},   {3, -4, -0.31679644845054e-4},
    {3, 0, -0.28270797985312e-5},     {3, 6, -0.85205128120103e-9},
    {4, -5, -0.22425281908000e-5},    {4, -2, -0.65171222895601e-6},
    {4, 10, -0.14341729937924e-12},   {5, -8, -0.40516996860117e-6},
    {8, -11, -0.12734301741641e-8},   {8, -6, -0.17424871230634e-9},
    {21, -29, -0.68762131295531e-18}, {23, -31, 0.14478307828521e-19},
    {29, -38, 0.26335781662795e-22},  {30, -39, -0.11947622640071e-22},
    {31, -40, 0.18228094581404e-23},  {32, -41, -0.93537087292458e-25},
};

// Region 2, ideal-gas part: exponent J0 and coefficient n0.
struct Term0 {
    int j;
    double n;
};
constexpr Term0 r2_ideal[] = {
    {0, -0.96927686500217e1},  {1, 0.10086655968018e2}, {-5, -0.56087911283020e-2},
    {-4, 0.71452738081455e-1}, {-3, -0.40710498223928}, {-2, 0.14240819171444e1},
    {-1, -0.43839511319450e1}, {2, -0.28408632460772},  {3, 0.21268463753307e-1},
};

// Region 2, residual part.
constexpr Term r2_resid[] = {
    {1, 0, -0.17731742473213e-2},   {1, 1, -0.17834862292358e-1},
    {1, 2, -0.45996013696365e-1},   {1, 3, -0.57581259083432e-1},
    {1, 6, -0.50325278727930e-1},   {2, 1, -0.33032641670203e-4},
    {2, 2, -0.18948987516315e-3},   {2, 4, -0.39392777243355e-2},
    {2, 7, -0.43797295650573e-1},   {2, 36, -0.26674547914087e-4},
    {3, 0, 0.20481737692309e-7},    {3, 1, 0.43870667284435e-6},
    {3, 3, -0.32277677238570e-4},   {3, 6, -0.15033924542148e-2},
    {3, 35, -0.40668253562649e-1},  {4, 1, -0.78847309559367e-9},
    {4, 2, 0.12790717852285e-7},    {4, 3, 0.48225372718507e-6},
    {5, 7, 0.22922076337661e-5},    {6, 3, -0.16714766451061e-10},
    {6, 16, -0.21171472321355e-2},  {6, 35, -0.23895741934104e2},
    {7, 0, -0.59059564324270e-17},  {7, 11, -0.12621808899101e-5},
    {7, 25, -0.38946842435739e-1},  {8, 8, 0.11256211360459e-10},
    {8, 36, -0.82311340897998e1},   {9, 13, 0.19809712802088e-7},
    {10, 4, 0.10406965210174e-18},  {10, 10, -0.10234747095929e-12},
    {10, 14, -0.10018179379511e-8}, {16, 29, -0.80882908646985e-10},
    {16, 50, 0.10693031879409},     {18, 57, -0.33662250574171},
    {20, 20, 0.89185845355421e-24}, {20, 35, 0.30629316876232e-12},
    {20, 48, -0.42002467698208e-5}, {21, 21, -0.59056029685639e-25},
    {22, 53, 0.37826947613457e-5},  {23, 39, -0.12768608934681e-14},
    {24, 26, 0.73087610595061e-28}, {24, 40, 0.55414715350778e-16},
    {24, 58, -0.94369707241210e-6},
};

// Region 3, Helmholtz free energy; n1 multiplies ln(delta).
constexpr double r3_n1 = 0.10658070028513e1;
constexpr Term r3_terms[] = {
    {0, 0, -0.15732845290239e2},   {0, 1, 0.20944396974307e2},    {0, 2, -0.76867707878716e1},
    {0, 7, 0.26185947787954e1},    {0, 10, -0.28080781148620e1},  {0, 12, 0.12053369696517e1},
    {0, 23, -0.84566812812502e-2}, {1, 2, -0.12654315477714e1},   {1, 6, -0.11524407806681e1},
    {1, 15, 0.88521043984318},     {1, 17, -0.64207765181607},    {2, 0, 0.38493460186671},
    {2, 2, -0.85214708824206},     {2, 6, 0.48972281541877e1},    {2, 7, -0.30502617256965e1},
    {2, 22, 0.39420536879154e-1},  {2, 26, 0.12558408424308},     {3, 0, -0.27999329698710},
    {3, 2, 0.13899799569460e1},    {3, 4, -0.20189915023570e1},   {3, 16, -0.82147637173963e-2},
    {3, 26, -0.47596035734923},    {4, 0, 0.43984074473500e-1},   {4, 2, -0.44476435428739},
    {4, 4, 0.90572070719733},      {4, 26, 0.70522450087967},     {5, 1, 0.10770512626332},
    {5, 3, -0.32913623258954},     {5, 26, -0.50871062041158},    {6, 0, -0.22175400873096e-1},
    {6, 2, 0.94260751665092e-1},   {6, 26, 0.16436278447961},     {7, 2, -0.13503372241348e-1},
    {8, 26, -0.14834345352472e-1}, {9, 2, 0.57922953628084e-3},   {9, 26, 0.32308904703711e-2},
    {10, 0, 0.80964802996215e-4},  {10, 1, -0.16557679795037e-3}, {11, 26, -0.44923899061815e-4},
};

// Region 4, saturation line.
constexpr double r4_n[] = {
    0.11670521452767e4,  -0.72421316703206e6, -0.17073846940092e2, 0.12020824702470e5,
    -0.32325550322333e7, 0.14915108613530e2,  -0.48232657361591e4, 0.40511340542057e6,
    -0.23855557567849,   0.65017534844798e3,
};

// B23 line.
constexpr double b23_n[] = {
    0.34805185628969e3, -0.11671859879975e1, 0.10192970039326e-2,
    0.57254459862746e3, 0.13918839778870e2,
};

// Region 5, ideal-gas and residual parts.
constexpr Term0 r5_ideal[] = {
    {0, -0.13179983674201e2}, {1, 0.68540841634434e1},   {-3, -0.24805148933466e-1},
    {-2, 0.36901534980333},   {-1, -0.31161318213925e1}, {2, -0.32961626538917},
};
constexpr Term r5_resid[] = {
    {1, 1, 0.15736404855259e-2}, {1, 2, 0.90153761673944e-3},  {1, 3, -0.50270077677648e-2},
    {2, 3, 0.22440037409485e-5}, {2, 9, -0.41163275453471e-5}, {3, 7, 0.37919454822955e-7},
};

double ipow(double x, int n) {
    if (n == 0) return 1.0;
    if (n < 0) return 1.0 / ipow(x, -n);
    double r = 1.0;
    double b = x;
    while (n > 0) {
        if (n & 1) r *= b;
        b *= b;
        n >>= 1;
    }
    return r;
}

// Dimensionless Gibbs energy and its derivatives in pi and tau.
struct Gibbs {
    double g = 0, gp = 0, gpp = 0, gt = 0, gtt = 0, gpt = 0;
};

Gibbs region1_gibbs(double pi, double tau) {
    Gibbs d;
    const double a = 7.1 - pi;
    const double b = tau - 1.222;
    for (const Term& k : r1_terms) {
        const double ai = ipow(a, k.i);
        const double bj = ipow(b, k.j);
        const double ai1 = k.i >= 1 ? ipow(a, k.i - 1) : 0.0;
        const double ai2 = k.i >= 2 ? ipow(a, k.i - 2) : 0.0;
        const double bj1 = ipow(b, k.j - 1);
        const double bj2 = ipow(b, k.j - 2);
        d.g += k.n * ai * bj;
        d.gp -= k.n * k.i * ai1 * bj;
        d.gpp += k.n * k.i * (k.i - 1) * ai2 * bj;
        d.gt += k.n * ai * k.j * bj1;
        d.gtt += k.n * ai * k.j * (k.j - 1) * bj2;
        d.gpt -= k.n * k.i * ai1 * k.j * bj1;
    }
    return d;
}

// Ideal-gas part of regions 2 and 5: ln(pi) + sum n0 tau^J0.
template <std::size_t N> Gibbs ideal_gibbs(const Term0 (&terms)[N], double pi, double tau) {
    Gibbs d;
    d.g = std::log(pi);
    d.gp = 1.0 / pi;
    d.gpp = -1.0 / (pi * pi);
    for (const Term0& k : terms) {
        d.g += k.n * ipow(tau, k.j);
        d.gt += k.n * k.j * ipow(tau, k.j - 1);
        d.gtt += k.n * k.j * (k.j - 1) * ipow(tau, k.j - 2);
    }
    return d;
}

// Residual part sum n pi^I (tau - shift)^J of regions 2 and 5.
template <std::size_t N>
Gibbs residual_gibbs(const Term (&terms)[N], double pi, double tau, double shift) {
    Gibbs d;
    const double b = tau - shift;
    for (const Term& k : terms) {
        const double pii = ipow(pi, k.i);
        const double pi1 = ipow(pi, k.i - 1);
        const double pi2 = k.i >= 2 ? ipow(pi, k.i - 2) : 0.0;
        const double bj = ipow(b, k.j);
        const double bj1 = k.j >= 1 ? ipow(b, k.j - 1) : 0.0;
        const double bj2 = k.j >= 2 ? ipow(b, k.j - 2) : 0.0;
        d.g += k.n * pii * bj;
        d.gp += k.n * k.i * pi1 * bj;
        d.gpp += k.n * k.i * (k.i - 1) * pi2 * bj;
        d.gt += k.n * pii * k.j * bj1;
        d.gtt += k.n * pii * k.j * (k.j - 1) * bj2;
        d.gpt += k.n * k.i * pi1 * k.j * bj1;
    }
    return d;
}

Gibbs add(const Gibbs& a, const Gibbs& b) {
    return {a.g + b.g, a.gp + b.gp, a.gpp + b.gpp, a.gt + b.gt, a.gtt + b.gtt, a.gpt + b.gpt};
}

// Per-kg state in the release's own units (MPa, kJ, kg).
struct MassState {
    double t = 0, p_mpa = 0, v = 0, h = 0, s = 0, cp = 0, cv = 0, w2 = 0;
    double dvdp = 0; // m3/(kg MPa)
};

// Properties from a Gibbs function with reducing pressure pstar (MPa).
MassState from_gibbs(const Gibbs& d, double t, double p_mpa, double pstar, double tau) {
    const double pi = p_mpa / pstar;
    MassState m;
    m.t = t;
    m.p_mpa = p_mpa;
    // R in kJ/(kg K) times T over MPa gives 1e-3 m3/kg.
    m.v = r_kj * t * pi * d.gp / p_mpa * 1e-3;
    m.h = r_kj * t * tau * d.gt;
    m.s = r_kj * (tau * d.gt - d.g);
    m.cp = -r_kj * tau * tau * d.gtt;
    const double x = d.gp - tau * d.gpt;
    m.cv = r_kj * (-tau * tau * d.gtt + x * x / d.gpp);
    m.w2 = 1e3 * r_kj * t * d.gp * d.gp / (x * x / (tau * tau * d.gtt) - d.gpp);
    m.dvdp = r_kj * t * d.gpp / (pstar * pstar) * 1e-3;
    return m;
}

MassState region1(double t, double p_mpa) {
    const double pi = p_mpa / 16.53;
    const double tau = 1386.0 / t;
    return from_gibbs(region1_gibbs(pi, tau), t, p_mpa, 16.53, tau);
}

MassState region2(double t, double p_mpa) {
    const double pi = p_mpa;
    const double tau = 540.0 / t;
    const Gibbs d = add(ideal_gibbs(r2_ideal, pi, tau), residual_gibbs(r2_resid, pi, tau, 0.5));
    return from_gibbs(d, t, p_mpa, 1.0, tau);
}

MassState region5(double t, double p_mpa) {
    const double pi = p_mpa;
    const double tau = 1000.0 / t;
    const Gibbs d = add(ideal_gibbs(r5_ideal, pi, tau), residual_gibbs(r5_resid, pi, tau, 0.0));
    return from_gibbs(d, t, p_mpa, 1.0, tau);
}

// Dimensionless Helmholtz energy of region 3 and its derivatives.
struct Helmholtz {
    double f = 0, fd = 0, fdd = 0, ft = 0, ftt = 0, fdt = 0;
};

Helmholtz region3_helmholtz(double delta, double tau) {
    Helmholtz d;
    d.f = r3_n1 * std::log(delta);
    d.fd = r3_n1 / delta;
    d.fdd = -r3_n1 / (delta * delta);
    for (const Term& k : r3_terms) {
        const double di = ipow(delta, k.i);
        const double di1 = ipow(delta, k.i - 1);
        const double di2 = ipow(delta, k.i - 2);
        const double tj = ipow(tau, k.j);
        const double tj1 = ipow(tau, k.j - 1);
        const double tj2 = ipow(tau, k.j - 2);
        d.f += k.n * di * tj;
        d.fd += k.n * k.i * di1 * tj;
        d.fdd += k.n * k.i * (k.i - 1) * di2 * tj;
        d.ft += k.n * di * k.j * tj1;
        d.ftt += k.n * di * k.j * (k.j - 1) * tj2;
        d.fdt += k.n * k.i * di1 * k.j * tj1;
    }
    return d;
}

MassState region3(double t, double rho) {
    const double delta = rho / rho_crit;
    const double tau = t_crit / t;
    const Helmholtz d = region3_helmholtz(delta, tau);
    MassState m;
    m.t = t;
    // rho R T in kg/m3 * kJ/kg = kPa; to MPa.
    const double rt = r_kj * t;
    m.p_mpa = rho * rt * delta * d.fd * 1e-3;
    m.v = 1.0 / rho;
    m.h = rt * (tau * d.ft + delta * d.fd);
    m.s = r_kj * (tau * d.ft - d.f);
    m.cv = -r_kj * tau * tau * d.ftt;
    const double x = delta * d.fd - delta * tau * d.fdt;
    const double y = 2.0 * delta * d.fd + delta * delta * d.fdd; // (dp/drho)_T / RT
    m.cp = r_kj * (-tau * tau * d.ftt + x * x / y);
    m.w2 = 1e3 * rt * (y - x * x / (tau * tau * d.ftt));
    // dp/drho in MPa m3/kg; dv/dp = -1/(rho^2 dp/drho).
    const double dpdrho = rt * y * 1e-3;
    m.dvdp = -1.0 / (rho * rho * dpdrho);
    return m;
}

// Pressure (MPa) and its density derivative on a region-3 isotherm.
void region3_p(double t, double rho, double& p_mpa, double& dpdrho) {
    const double delta = rho / rho_crit;
    const Helmholtz d = region3_helmholtz(delta, t_crit / t);
    const double rt = r_kj * t * 1e-3;
    p_mpa = rho * rt * delta * d.fd;
    dpdrho = rt * (2.0 * delta * d.fd + delta * delta * d.fdd);
}

// Density on a region-3 isotherm where p = p_mpa, by Newton's method kept
// inside [lo, hi]. Starting from the dense end finds the liquid root, from
// the dilute end the vapour root: the isotherm is convex above the liquid
// root and concave below the vapour root, so Newton does not jump over.
bool region3_density(double t, double p_mpa, double start, double lo, double hi, double& rho) {
    double x = start;
    bool have_lo = false;
    bool have_hi = false;
    for (int iter = 0; iter < 200; ++iter) {
        double p = 0.0;
        double dp = 0.0;
        region3_p(t, x, p, dp);
        const double f = p - p_mpa;
        if (!std::isfinite(f)) return false;
        if (f > 0.0) {
            hi = x;
            have_hi = true;
        } else {
            lo = x;
            have_lo = true;
        }
        double next = dp > 0.0 ? x - f / dp : std::nan("");
        if (!(next > lo && next < hi)) {
            if (have_lo && have_hi) {
                next = 0.5 * (lo + hi);
            } else {
                next = 0.5 * (x + (f > 0.0 ? lo : hi));
            }
        }
        if (std::fabs(next - x) <= 1e-13 * x) {
            region3_p(t, next, p, dp);
            if (!(dp > 0.0) || std::fabs(p - p_mpa) > 1e-9 * p_mpa) return false;
            rho = next;
            return true;
        }
        x = next;
    }
    return false;
}

double psat_mpa(double t) {
    const double* n = r4_n;
    const double th = t + n[8] / (t - n[9]);
    const double a = th * th + n[0] * th + n[1];
    const double b = n[2] * th * th + n[3] * th + n[4];
    const double c = n[5] * th * th + n[6] * th + n[7];
    const double x = 2.0 * c / (-b + std::sqrt(b * b - 4.0 * a * c));
    return x * x * x * x;
}

double tsat_k(double p_mpa) {
    const double* n = r4_n;
    const double be = std::pow(p_mpa, 0.25);
    const double e = be * be + n[2] * be + n[5];
    const double f = n[0] * be * be + n[3] * be + n[6];
    const double g = n[1] * be * be + n[4] * be + n[7];
    const double d = 2.0 * g / (-f - std::sqrt(f * f - 4.0 * e * g));
    const double s = n[9] + d;
    return 0.5 * (s - std::sqrt(s * s - 4.0 * (n[8] + n[9] * d)));
}

double b23_p_mpa(double t) {
    return b23_n[0] + b23_n[1] * t + b23_n[2] * t * t;
}

// IF97 ideal-gas enthalpy and entropy (kJ/kg, kJ/(kg K)) of the region-2
// ideal part at 298.15 K, the latter at 101325 Pa.
double ideal_h_298() {
    const double tau = 540.0 / 298.15;
    const Gibbs d = ideal_gibbs(r2_ideal, 0.101325, tau);
    return r_kj * 298.15 * tau * d.gt;
}

double ideal_s_298() {
    const double tau = 540.0 / 298.15;
    const Gibbs d = ideal_gibbs(r2_ideal, 0.101325, tau);
    return r_kj * (tau * d.gt - d.g);
}

bool finite_positive(double x) {
    return std::isfinite(x) && x > 0.0;
}

Status check_tp(double t, double p) {
    if (!finite_positive(t) || !finite_positive(p)) return Status::bad_input;
    if (t < t_min || t > t_max) return Status::out_of_range;
    if (p > p_max) return Status::out_of_range;
    if (t > t_max_r2 && p > p_max_r5) return Status::out_of_range;
    return Status::ok;
}

Phase phase_of(double t, double p, double rho) {
    if (t >= t_crit && p >= p_crit) return Phase::supercritical;
    if (t >= t_crit) return Phase::vapour;
    return rho > rho_crit ? Phase::liquid : Phase::vapour;
}

// Converts a per-kg state to the host's kmol basis and reference.
Status finish(const MassState& m, double t, double p, Region region, State& out) {
    const double mm = molar_mass;
    State st;
    st.t = t;
    st.p = p;
    st.v = m.v * mm;
    static const double h_off = enthalpy_offset();
    static const double s_off = entropy_offset();
    st.h = m.h * 1e3 * mm + h_off;
    st.s = m.s * 1e3 * mm + s_off;
    st.cp = m.cp * 1e3 * mm;
    st.cv = m.cv * 1e3 * mm;
    st.w = m.w2 > 0.0 ? std::sqrt(m.w2) : std::nan("");
    st.dvdp_t = m.dvdp * mm * 1e-6;
    st.region = region;
    const double vals[] = {st.v, st.cp, st.cv, st.w, -st.dvdp_t};
    for (double x : vals) {
        if (!finite_positive(x)) return Status::no_solution;
    }
    if (!std::isfinite(st.h) || !std::isfinite(st.s)) return Status::no_solution;
    st.phase = region == Region::r1 ? Phase::liquid : phase_of(t, p, 1.0 / m.v);
    out = st;
    return Status::ok;
}

Status region3_at(double t, double p, PhaseChoice side, State& out) {
    const double p_mpa = p * 1e-6;
    double rho = 0.0;
    bool found = false;
    if (t >= t_crit) {
        // One root; start from the ideal gas and let the bracket do the rest.
        found = region3_density(t, p_mpa, p_mpa * 1e3 / (r_kj * t), 1e-9, rho_top, rho);
    } else if (side == PhaseChoice::liquid) {
        found = region3_density(t, p_mpa, rho_top, rho_crit, rho_top, rho);
    } else {
        found = region3_density(t, p_mpa, p_mpa * 1e3 / (r_kj * t), 1e-9, rho_crit, rho);
    }
    if (!found) return Status::no_solution;
    MassState m = region3(t, rho);
    return finish(m, t, p, Region::r3, out);
}

} // namespace

double enthalpy_offset() {
    return -ideal_h_298() * 1e3 * molar_mass;
}
double entropy_offset() {
    return -ideal_s_298() * 1e3 * molar_mass;
}

double b23_pressure(double t) {
    return b23_p_mpa(t) * 1e6;
}

double b23_temperature(double p) {
    return b23_n[3] + std::sqrt((p * 1e-6 - b23_n[4]) / b23_n[2]);
}

Status saturation_pressure(double t, double& p) {
    if (!finite_positive(t)) return Status::bad_input;
    if (t < t_min || t > t_crit) return Status::out_of_range;
    p = psat_mpa(t) * 1e6;
    return Status::ok;
}

Status saturation_temperature(double p, double& t) {
    if (!finite_positive(p)) return Status::bad_input;
    // The line runs from 273.15 K (611.213 Pa) to the critical point.
    if (p < 611.213 || p > p_crit) return Status::out_of_range;
    t = tsat_k(p * 1e-6);
    return Status::ok;
}

Status region_at(double t, double p, Region& region) {
    const Status st = check_tp(t, p);
    if (st != Status::ok) return st;
    if (t > t_max_r2) {
        region = Region::r5;
    } else if (t <= t_r1_max) {
        region = p >= psat_mpa(t) * 1e6 ? Region::r1 : Region::r2;
    } else if (t <= t_b23_max && p > b23_pressure(t)) {
        region = Region::r3;
    } else {
        region = Region::r2;
    }
    return Status::ok;
}

Status properties(double t, double p, State& out) {
    Region region = Region::none;
    const Status st = region_at(t, p, region);
    if (st != Status::ok) return st;
    const double p_mpa = p * 1e-6;
    switch (region) {
    case Region::r1:
        return finish(region1(t, p_mpa), t, p, region, out);
    case Region::r2:
        return finish(region2(t, p_mpa), t, p, region, out);
    case Region::r5:
        return finish(region5(t, p_mpa), t, p, region, out);
    case Region::r3: {
        // Below the critical temperature the saturation line splits region 3.
        const PhaseChoice side =
            t < t_crit && p < psat_mpa(t) * 1e6 ? PhaseChoice::vapour : PhaseChoice::liquid;
        return region3_at(t, p, side, out);
    }
    default:
        return Status::no_solution;
    }
}

Status properties_as(double t, double p, PhaseChoice phase, State& out) {
    const Status st = check_tp(t, p);
    if (st != Status::ok) return st;
    if (t >= t_crit) return properties(t, p, out);
    const double p_mpa = p * 1e-6;
    State res;
    Status s = Status::ok;
    if (t <= t_r1_max) {
        if (phase == PhaseChoice::liquid) {
            s = finish(region1(t, p_mpa), t, p, Region::r1, res);
        } else if (p_mpa > psat_mpa(t) && p_mpa > 10.0) {
            // Supersaturated steam: the region-2 equation holds up to 10 MPa.
            return Status::no_solution;
        } else {
            s = finish(region2(t, p_mpa), t, p, Region::r2, res);
        }
    } else if (phase == PhaseChoice::vapour && p <= b23_pressure(t)) {
        // 623.15 K < t < critical: region 2 below B23, region 3 above it; a
        // liquid below B23 lies on the metastable dense branch of region 3.
        s = finish(region2(t, p_mpa), t, p, Region::r2, res);
    } else {
        s = region3_at(t, p, phase, res);
    }
    if (s != Status::ok) return s;
    // Far into the metastable range the extrapolated equations drift towards
    // the other phase's densities; past the critical density the asked-for
    // phase has no state left.
    const bool dense = res.mass_density() > rho_crit;
    if (dense != (phase == PhaseChoice::liquid)) return Status::no_solution;
    res.phase = dense ? Phase::liquid : Phase::vapour;
    out = res;
    return Status::ok;
}

Status region3_tv(double t, double v, State& out) {
    if (!finite_positive(t) || !finite_positive(v)) return Status::bad_input;
    if (t < t_r1_max || t > t_b23_max) return Status::out_of_range;
    const double rho = molar_mass / v;
    const MassState m = region3(t, rho);
    const double p = m.p_mpa * 1e6;
    if (!finite_positive(p) || p > p_max) return Status::out_of_range;
    return finish(m, t, p, Region::r3, out);
}

} // namespace xif::refhost::water
