/* The public header is usable from C; every exported block is zero when
 * the library is loaded. */
#include <xif/xif.h>

#include <stdio.h>
#include <string.h>

static int all_zero(const void* block, size_t size) {
    static const unsigned char zero[256];
    return memcmp(block, zero, size) == 0;
}

int main(void) {
    int failures = 0;
#define CHECK_ZERO(B)                                                                              \
    if (!all_zero(&B, sizeof B)) {                                                                 \
        printf("FAIL: " #B " is not zero at load\n");                                              \
        ++failures;                                                                                \
    }
    CHECK_ZERO(XIF_HXSBD)
    CHECK_ZERO(XIF_HXRPP)
    CHECK_ZERO(XIF_HXIMSS)
    CHECK_ZERO(XIF_HXOUTP)
    CHECK_ZERO(XIF_HXIPP)
    CHECK_ZERO(XIF_HXRMSS)
    CHECK_ZERO(XIF_HXRMIN)
    if (offsetof(xif_hxipp, word) != 0 || sizeof XIF_HXIPP.word[0] != 8) {
        printf("FAIL: XIF_HXIPP layout\n");
        ++failures;
    }
    if (failures == 0) printf("blocks zero at load, header compiles as C\n");
    return failures != 0;
}
