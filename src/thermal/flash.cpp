// Stream flash: the host flash at one of five specification pairs, in the
// host's work areas or in a retained slot of the caller's, then the phase
// records and the write-back of temperature, pressure and vapour fraction.
#include "core/args.h"
#include "host/imports.h"
#include "thermal/records.h"

using namespace xif;

namespace {

// What the flash keeps from one call to the next, and the only such state
// in the library: an ISIDE other than 0 or 1 reuses the last option copies,
// and a flash type that sets no specification (type 2's estimate, unknown
// types) hands the previous call's values to the host flash again.
struct FlashMemory {
    int64_t method[6];  // property-method group of the last side copied
    int64_t option7;    // 7th flash argument: XIF_HXIPP(8) / (18)
    int64_t option8;    // 8th: XIF_HXIPP(7) / (17)
    int64_t option9;    // 9th: XIF_HXIPP(9) / (19)
    double real_option; // 10th: XIF_HXRPP(1) / (4)
    double spec1;       // first specification
    double spec2;       // second specification
    double estimate;    // estimate of the state variable solved for
    int64_t mode;       // retention mode handed to the flash
    int64_t one;        // the word holding 1
    int64_t code;       // flash code that the host flash returns
};
FlashMemory memory;

// Words handed by reference for a single call, set before each use.
double seth_out;
int64_t status_zero;

void copy_options(int64_t side) {
    for (int64_t w = 1; w <= 6; ++w)
        memory.method[w - 1] = option(side, w);
    memory.option7 = option(side, 8);
    memory.option8 = option(side, 7);
    memory.option9 = option(side, 9);
    memory.real_option = rpp(1 + 3 * side);
}

void set_specifications(double* svec, int64_t type) {
    const int64_t nc = host::ncomp();
    const double t = sv(svec, nc + 2), p = sv(svec, nc + 3), h = sv(svec, nc + 4),
                 vf = sv(svec, nc + 5);
    switch (type) {
    case 1: {
        // The enthalpy is read before the host sets up the stream, the rest after.
        memory.spec2 = h;
        const int64_t w = host::stream_lists();
        seth_out = 0.0;
        VEC_SETH(svec, &ipp(XIF_IPP_LIST_COUNT), &host::plex(w),
                 &host::plex(w + ipp(XIF_IPP_LIST_COUNT)), &seth_out);
        memory.spec1 = sv(svec, nc + 3);
        memory.estimate = ipp(XIF_IPP_LIST_COUNT) <= 1 ? sv(svec, nc + 2) : host::rglob(1);
        break;
    }
    case 2:
        memory.spec1 = t, memory.spec2 = p;
        break;
    case 3:
        memory.spec1 = p, memory.spec2 = vf, memory.estimate = t;
        break;
    case 4:
        memory.spec1 = t, memory.spec2 = h, memory.estimate = p;
        break;
    case 5:
        memory.spec1 = t, memory.spec2 = vf, memory.estimate = p;
        break;
    default:
        break;
    }
}

// A temperature estimate that the exchanger program leaves for one flash.
void take_one_shot_estimate(int64_t side, int64_t point, int64_t type) {
    if (type == 2 || type == 4 || type == 5) return;
    if (ipp(XIF_IPP_RETENTION) > 1 || point != 2) return;
    if (side != 0 && side != 1) return;
    double& estimate = rpp(2 + 3 * side);
    if (missing() > estimate) {
        memory.estimate = estimate;
        estimate = missing();
    }
}

} // namespace

extern "C" XIF_API void XIF_HXBFLS(double* SVEC, void*, int64_t* ISIDE, int64_t* IPOINT,
                                   int64_t* IFTYPE, int64_t* IUPDATE, int64_t* IERR) {
    *IERR = 0;
    const int64_t side = *ISIDE; // not clipped: another value keeps the last copies
    const int64_t point = *IPOINT;
    if (side == 0 || side == 1) copy_options(side);
    set_specifications(SVEC, *IFTYPE);
    take_one_shot_estimate(side, point, *IFTYPE);

    const int64_t retention = ipp(XIF_IPP_RETENTION);
    const bool retained = retention != 0 && point > 0;
    xif_word* rwork;
    xif_word* iwork;
    if (retained) {
        const int64_t k = point + 5 * side - 1;
        rwork = &host::plex(ipp(XIF_IPP_SLOT_REAL) + host::stwork(1) * k);
        iwork = &host::plex(ipp(XIF_IPP_SLOT_INT) + (host::stwork(2) + 1) * k);
    } else {
        rwork = &host::plex(host::real_work() + host::stwork(25));
        iwork = &host::plex(host::int_work() + host::stwork(30));
    }
    memory.mode = retention == 2 && point < 0 ? 1 : retention;
    memory.one = 1;

    const int64_t w = host::stream_lists();
    EQUI_FLASH(SVEC, &ipp(XIF_IPP_LIST_COUNT), &host::plex(w),
               &host::plex(w + ipp(XIF_IPP_LIST_COUNT)), memory.method, IFTYPE, &memory.option7,
               &memory.option8, &memory.option9, &memory.real_option, &memory.spec1, &memory.spec2,
               &memory.estimate, &ipp(XIF_IPP_FLASH_OPT_22), &ipp(XIF_IPP_MONITOR_OPT),
               &memory.mode, &memory.one, rwork, iwork, &memory.code);

    status_zero = 0;
    const int64_t status = EQUI_FLSTAT(&status_zero, &memory.code);
    *IERR = status;
    int64_t& mode = ipp(XIF_IPP_RETENTION);
    if (status == 1 && mode == 2)
        mode = 1;
    else if (status != 1 && mode > 0)
        mode = 2;
    if (retained) host::set_integer(iwork[host::stwork(2)], status);

    build_phase_records(&memory.method[1]);

    const int64_t nc = host::ncomp();
    sv(SVEC, nc + 2) = host::stwkwk_real(19);
    sv(SVEC, nc + 3) = host::stwkwk_real(20);
    sv(SVEC, nc + 5) = host::stwkwk_real(21);

    if (*IUPDATE == 1 && (side == 0 || side == 1)) CONV_PEQPT1(&XIF_HXSBD.word[side]);
}
