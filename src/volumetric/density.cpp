// Density: the reciprocal of the phase volume, or the missing value for a
// volume that is not plausible (absent phase included).
#include "core/args.h"

using namespace xif;

namespace {
int64_t side, phase, basis;
double volume;
int64_t volume_status;
} // namespace

extern "C" XIF_API void XIF_HXBDNS(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE,
                                   int64_t* IBASIS, double* VALUE, int64_t* IERR) {
    *IERR = 0;
    side = clip_side(*ISIDE);
    phase = clip_phase(*IPHASE);
    basis = clip_basis(*IBASIS); // the standard-liquid basis is not a density
    XIF_HXBVOL(SVEC, SPARE, &side, &phase, &basis, &volume, &volume_status);
    *VALUE = smallest() < volume && volume < missing() ? 1.0 / volume : missing();
}
