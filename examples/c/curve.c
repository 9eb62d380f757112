/*
 * A small exchanger program in C: the cooling curve of a propane, n-butane
 * and n-pentane vapour condensed at 1 MPa from 380 K to 320 K, in five points
 * of equal duty, on the reference host.
 *
 * Output: the component count, the inlet and outlet states, then one line
 * per point: T (K), vapour fraction, enthalpy (J/kmol), vapour and liquid
 * viscosity (Pa s) and density (kg/m3). An absent phase prints "missing".
 * The Fortran program examples/fortran/curve.f90 prints the same numbers.
 */
#include <xif/refhost.h>
#include <xif/xif.h>

#include <stdio.h>
#include <string.h>

enum { NC = 3, NPOINT = 5 };

static const char ids[] = "C3H8    NC4     NC5     "; /* three ids of 8 characters */
static const double flows[NC] = {0.3, 0.4, 0.3};      /* kmol/s */
static const double pressure = 1.0e6;                 /* Pa */
static const double t_in = 380.0, t_out = 320.0;      /* K */

static double svec[NC + 9];
static int64_t side = 0;

static int report_host_error(const char* what) {
    char text[200];
    int64_t width = sizeof text - 1, length = 0;
    XIFHOST_MESSAGE(text, &width, &length);
    text[length] = '\0';
    fprintf(stderr, "curve: %s: %s\n", what, text);
    return 1;
}

typedef void (*property)(double*, void*, int64_t*, int64_t*, int64_t*, double*, int64_t*);

/* A property of a phase, or 0 with *present = 0 when the phase is absent. */
static double get(property routine, int64_t phase, int64_t basis, int* present) {
    double value = 0.0;
    int64_t ierr = 0;
    routine(svec, NULL, &side, &phase, &basis, &value, &ierr);
    *present = ierr == 0 && value < XIF_HXRMSS.word[0];
    return value;
}

static void print_value(double value, int present) {
    if (present)
        printf(" %16.9e", value);
    else
        printf(" %16s", "missing");
}

/* Flash at type `type` after setting the two specifications; the status. */
static int64_t flash(int64_t type, double first, double second) {
    int64_t point = 0, update = 0, status = 0;
    XIF_HXBZPR(svec, NULL, NULL, &first);
    if (type == 2)
        XIF_HXBZTP(svec, NULL, NULL, &second);
    else
        XIF_HXBZNT(svec, NULL, NULL, &second);
    XIF_HXBFLS(svec, NULL, &side, &point, &type, &update, &status);
    return status;
}

int main(void) {
    int64_t n = NC, width = 8, ierr = 0;
    XIFHOST_OPEN(&n, ids, &width, &ierr);
    if (ierr != 0) return report_host_error("open");
    XIFHOST_RECOMMEND(XIF_HXIPP.word, XIF_HXRPP.word, XIF_HXSBD.word, XIF_HXRMSS.word,
                      XIF_HXRMIN.word, &ierr);
    if (ierr != 0) return report_host_error("recommend");
    if (XIFHOST_STREAM_SIZE(&n) > (int64_t)(sizeof svec / sizeof svec[0])) return 1;
    XIFHOST_STREAM(flows, &t_in, &pressure, svec, &ierr);
    if (ierr != 0) return report_host_error("stream");

    /* The component count comes back as an integer in the value's bytes. */
    int present = 0;
    double word = get(XIF_HXBNCP, 1, 0, &present);
    int64_t count = 0;
    memcpy(&count, &word, sizeof count);
    printf("components %lld\n", (long long)count);

    /* Inlet and outlet by T-P flashes give the duty. */
    if (flash(2, pressure, t_in) != 1) return 1;
    double h_in = get(XIF_HXBNTH, 1, 0, &present);
    double mw = get(XIF_HXBMWT, 1, 0, &present);
    printf("inlet %16.9e %16.9e %16.9e %16.9e\n", t_in, pressure, h_in, mw);
    if (flash(2, pressure, t_out) != 1) return 1;
    double h_out = get(XIF_HXBNTH, 1, 0, &present);
    printf("outlet %16.9e %16.9e %16.9e\n", t_out, pressure, h_out);

    /* Points of equal duty by P-H flashes. */
    printf("point %16s %16s %16s %16s %16s %16s %16s\n", "T", "vf", "H", "mu_v", "mu_l", "rho_v",
           "rho_l");
    for (int k = 0; k < NPOINT; ++k) {
        double h = h_in + (h_out - h_in) * k / (NPOINT - 1);
        int64_t status = flash(1, pressure, h);
        if (status != 1) {
            fprintf(stderr, "curve: flash at point %d failed with status %lld\n", k + 1,
                    (long long)status);
            return 1;
        }
        printf("point");
        int p[7];
        double v[7];
        v[0] = get(XIF_HXBTMP, 1, 0, &p[0]);
        v[1] = get(XIF_HXBFRC, 2, 0, &p[1]);
        v[2] = get(XIF_HXBNTH, 1, 0, &p[2]);
        v[3] = get(XIF_HXBVIS, 2, 0, &p[3]);
        v[4] = get(XIF_HXBVIS, 3, 0, &p[4]);
        v[5] = get(XIF_HXBDNS, 2, 1, &p[5]);
        v[6] = get(XIF_HXBDNS, 3, 1, &p[6]);
        for (int j = 0; j < 7; ++j)
            print_value(v[j], p[j]);
        printf("\n");
    }
    return 0;
}
