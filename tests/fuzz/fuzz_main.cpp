// libFuzzer entry: every input is one case of the driver.
#include "driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return xif::fuzz::run_case(data, size);
}
