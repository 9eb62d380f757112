// The phase records: the flash result laid out per phase in the host data
// store, read by every property routine.
#pragma once

#include <cstdint>

namespace xif {

// Builds the vapour, total-liquid, first-liquid, second-liquid and
// vapour-subset records from the flash work areas. `subset_key` is word 2
// of the flash's property-method group: the data-store key of the list of
// identifiers that mark vapour-subset components (0: no list).
void build_phase_records(const int64_t* subset_key);

} // namespace xif
