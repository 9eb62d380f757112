// Critical temperature and pressure of a phase or of the whole stream, from
// the host's critical-point routine. The two routines differ only in which
// of its outputs they return.
#include "core/phase_property.h"

using namespace xif;

namespace {

struct CriticalCall {
    PropertyCall call;
    double other; // the output that is not returned
    double extra[2];
    int64_t err;
};
CriticalCall temperature_call, pressure_call;

enum Output { kTemperature, kPressure };

void critical(CriticalCall& cc, Output out, double* SVEC, void*, int64_t* ISIDE, int64_t* IPHASE,
              double* VALUE, int64_t* IERR) {
    PropertyCall& c = cc.call;
    enter(c, IERR, ISIDE, IPHASE, nullptr);
    if (c.phase == kSubset) return report_absent(VALUE, IERR);
    double* tc = out == kTemperature ? VALUE : &cc.other;
    double* pc = out == kPressure ? VALUE : &cc.other;
    xif_word* work = &host::plex(host::flash_array(20));
    if (c.phase == kWhole) {
        EQUI_CRTCAL(reinterpret_cast<const int64_t*>(&host::stwkwk(3)),
                    host::plex_reals(host::flash_array(15)), host::plex_ints(host::flash_list()),
                    work, tc, pc, &cc.extra[0], &cc.extra[1], &cc.err);
        return;
    }
    if (!(fraction(c, SVEC, c.phase, kMolar) > 0.0)) return report_absent(VALUE, IERR);
    const Slot slot = slot_for(c.phase);
    EQUI_CRTCAL(slot.count(), slot.x(), slot.idx(), work, tc, pc, &cc.extra[0], &cc.extra[1],
                &cc.err);
}

} // namespace

extern "C" XIF_API void XIF_HXBTMC(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE,
                                   int64_t*, double* VALUE, int64_t* IERR) {
    critical(temperature_call, kTemperature, SVEC, SPARE, ISIDE, IPHASE, VALUE, IERR);
}

extern "C" XIF_API void XIF_HXBPRC(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE,
                                   int64_t*, double* VALUE, int64_t* IERR) {
    critical(pressure_call, kPressure, SVEC, SPARE, ISIDE, IPHASE, VALUE, IERR);
}
