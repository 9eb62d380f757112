/*
 * Boils n-hexane at 101325 Pa through an installed xif on the installed
 * reference host: a P-vapour fraction flash at vapour fraction 0.5. Prints
 * the temperature; fails unless it is within 0.5 K of the published normal
 * boiling point, 341.88 K.
 */
#include <xif/refhost.h>
#include <xif/xif.h>

#include <math.h>
#include <stdio.h>

int main(void) {
    double svec[1 + 9], pressure = 101325.0, t = 300.0, vf = 0.5, flow = 1.0, value = 0.0;
    int64_t n = 1, width = 3, ierr = 0;
    XIFHOST_OPEN(&n, "NC6", &width, &ierr);
    if (ierr != 0) return 1;
    XIFHOST_RECOMMEND(XIF_HXIPP.word, XIF_HXRPP.word, XIF_HXSBD.word, XIF_HXRMSS.word,
                      XIF_HXRMIN.word, &ierr);
    XIFHOST_STREAM(&flow, &t, &pressure, svec, &ierr);
    if (ierr != 0) return 1;

    int64_t side = 0, point = 0, type = 3, update = 0, status = 0, whole = 1, molar = 0;
    XIF_HXBZPR(svec, NULL, NULL, &pressure);
    XIF_HXBZVF(svec, NULL, NULL, &vf);
    XIF_HXBFLS(svec, NULL, &side, &point, &type, &update, &status);
    XIF_HXBTMP(svec, NULL, &side, &whole, &molar, &value, &ierr);
    printf("boil_c %.6f %lld\n", value, (long long)status);
    return status == 1 && ierr == 0 && fabs(value - 341.88) < 0.5 ? 0 : 1;
}
