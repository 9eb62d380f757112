// Stream accessors and setters: single elements of the stream vector.
#include "core/args.h"
#include "host/imports.h"

#include <cstring>

using namespace xif;

extern "C" {

XIF_API void XIF_HXBNCP(double*, void*, int64_t*, int64_t*, int64_t*, double* VALUE,
                        int64_t* IERR) {
    *IERR = 0;
    const int64_t nc = host::ncomp();
    std::memcpy(VALUE, &nc, sizeof nc); // the integer's 8 bytes, not a real
}

XIF_API void XIF_HXBTMP(double* SVEC, void*, int64_t*, int64_t*, int64_t*, double* VALUE,
                        int64_t* IERR) {
    *IERR = 0;
    *VALUE = sv(SVEC, host::ncomp() + 2);
}

XIF_API void XIF_HXBPRS(double* SVEC, void*, int64_t*, int64_t*, int64_t*, double* VALUE,
                        int64_t* IERR) {
    *IERR = 0;
    *VALUE = sv(SVEC, host::ncomp() + 3);
}

XIF_API void XIF_HXBZTP(double* SVEC, void*, void*, const double* VALIN) {
    sv(SVEC, host::ncomp() + 2) = *VALIN;
}

XIF_API void XIF_HXBZPR(double* SVEC, void*, void*, const double* VALIN) {
    sv(SVEC, host::ncomp() + 3) = *VALIN;
}

XIF_API void XIF_HXBZNT(double* SVEC, void*, void*, const double* VALIN) {
    sv(SVEC, host::ncomp() + 4) = *VALIN;
}

XIF_API void XIF_HXBZVF(double* SVEC, void*, void*, const double* VALIN) {
    sv(SVEC, host::ncomp() + 5) = *VALIN;
}
}
