/*
 * Calls every exported routine of xif once per phase and basis on a
 * two-phase stream of the reference host and prints what comes back. Its
 * Fortran twin every_routine.f90 makes the same calls through the xif
 * module; the test compares the two outputs, so that every binding label,
 * argument order and argument type of include/xif/xif.f90 is exercised.
 */
#include <xif/refhost.h>
#include <xif/xif.h>

#include <stdio.h>
#include <string.h>

enum { NC = 3 };

static double svec[NC + 9];
static double spare[4];

typedef void (*property)(double*, void*, int64_t*, int64_t*, int64_t*, double*, int64_t*);

static void show(const char* name, property routine) {
    for (int64_t phase = 1; phase <= 6; ++phase)
        for (int64_t basis = 0; basis <= 1; ++basis) {
            int64_t side = 0, ierr = 0;
            double value = -1.0;
            routine(svec, spare, &side, &phase, &basis, &value, &ierr);
            printf("%s %lld %lld %lld %.9e\n", name, (long long)phase, (long long)basis,
                   (long long)ierr, value);
        }
}

static void show_flash(int64_t type) {
    int64_t side = 0, point = 1, update = 1, status = 0;
    XIF_HXBFLS(svec, spare, &side, &point, &type, &update, &status);
    printf("flash %lld %lld %.9e %.9e %.9e %lld\n", (long long)type, (long long)status,
           svec[NC + 1], svec[NC + 2], svec[NC + 4], (long long)XIF_HXSBD.word[0]);
}

int main(void) {
    int64_t n = NC, width = 4, ierr = 0;
    double flows[NC] = {0.2, 0.3, 0.5}, t = 300.0, p = 5.0e5;
    XIFHOST_OPEN(&n, "N2  C3H8NC5 ", &width, &ierr);
    if (ierr != 0) return 1;
    XIFHOST_RECOMMEND(XIF_HXIPP.word, XIF_HXRPP.word, XIF_HXSBD.word, XIF_HXRMSS.word,
                      XIF_HXRMIN.word, &ierr);
    int64_t one = 1;
    XIFHOST_NONCONDENSABLES(&one, "N2  ", &width, &ierr);
    const int64_t both = 0;
    const double kij = 0.02;
    XIFHOST_INTERACTION("C3H8", "NC5 ", &width, &both, &kij, &ierr);
    if (ierr != 0) return 1;
    XIFHOST_STREAM(flows, &t, &p, svec, &ierr);
    if (ierr != 0) return 1;

    /* The five flash types, each from the state the last one left. */
    XIF_HXBZTP(svec, spare, spare, &t);
    XIF_HXBZPR(svec, spare, spare, &p);
    show_flash(2);
    int64_t side = 0, whole = 1, molar = 0;
    double h = 0.0, vf = 0.0;
    XIF_HXBNTH(svec, spare, &side, &whole, &molar, &h, &ierr);
    XIF_HXBFRC(svec, spare, &side, &(int64_t){2}, &molar, &vf, &ierr);
    XIF_HXBZNT(svec, spare, spare, &h);
    show_flash(1);
    show_flash(4);
    XIF_HXBZVF(svec, spare, spare, &vf);
    show_flash(3);
    show_flash(5);

    double word = 0.0;
    int64_t count = 0;
    XIF_HXBNCP(svec, spare, &side, &whole, &molar, &word, &ierr);
    memcpy(&count, &word, sizeof count);
    printf("components %lld %lld\n", (long long)count, (long long)ierr);

    show("tmp", XIF_HXBTMP);
    show("prs", XIF_HXBPRS);
    show("frc", XIF_HXBFRC);
    show("mwt", XIF_HXBMWT);
    show("mfl", XIF_HXBMFL);
    show("nth", XIF_HXBNTH);
    show("cpp", XIF_HXBCPP);
    show("ntr", XIF_HXBNTR);
    show("qfl", XIF_HXBQFL);
    show("vol", XIF_HXBVOL);
    show("dns", XIF_HXBDNS);
    show("tmc", XIF_HXBTMC);
    show("prc", XIF_HXBPRC);
    show("vis", XIF_HXBVIS);
    show("thc", XIF_HXBTHC);
    show("sft", XIF_HXBSFT);
    show("dif", XIF_HXBDIF);
    show("thv", XIF_HXBTHV);

    for (int64_t phase = 1; phase <= 6; ++phase)
        for (int64_t basis = 0; basis <= 1; ++basis) {
            double x[NC] = {-1.0, -1.0, -1.0};
            int64_t nval = NC;
            XIF_HXBCMP(svec, spare, &side, &phase, &basis, x, &nval, &ierr);
            printf("cmp %lld %lld %lld %.9e %.9e %.9e\n", (long long)phase, (long long)basis,
                   (long long)ierr, x[0], x[1], x[2]);
        }
    for (int64_t code = 2; code <= 8; ++code) {
        double c[NC] = {-1.0, -1.0, -1.0};
        int64_t nval = NC;
        XIF_HXBCPROP(spare, spare, spare, &code, c, &nval);
        printf("cprop %lld %.9e %.9e %.9e\n", (long long)code, c[0], c[1], c[2]);
    }

    double mass = 10.0, flowm = 0.0, sump = 0.0, ratio = 0.0;
    XIF_HXBZMF(svec, spare, &side, &mass, &flowm, &sump, &ratio);
    printf("zmf %.9e %.9e %.9e %.9e %.9e %.9e\n", flowm, sump, ratio, svec[0], svec[1], svec[2]);
    return 0;
}
