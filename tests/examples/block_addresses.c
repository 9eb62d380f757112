/* The seven blocks as C sees them through xif.h: addresses and sizes in the
 * order SBD, RPP, IMSS, OUTP, IPP, RMSS, RMIN, for the Fortran twin to
 * compare with its module variables. */
#include <xif/xif.h>

void xif_test_blocks(void* address[7], int64_t size[7]);

void xif_test_blocks(void* address[7], int64_t size[7]) {
    address[0] = &XIF_HXSBD, size[0] = (int64_t)sizeof XIF_HXSBD;
    address[1] = &XIF_HXRPP, size[1] = (int64_t)sizeof XIF_HXRPP;
    address[2] = &XIF_HXIMSS, size[2] = (int64_t)sizeof XIF_HXIMSS;
    address[3] = &XIF_HXOUTP, size[3] = (int64_t)sizeof XIF_HXOUTP;
    address[4] = &XIF_HXIPP, size[4] = (int64_t)sizeof XIF_HXIPP;
    address[5] = &XIF_HXRMSS, size[5] = (int64_t)sizeof XIF_HXRMSS;
    address[6] = &XIF_HXRMIN, size[6] = (int64_t)sizeof XIF_HXRMIN;
}
