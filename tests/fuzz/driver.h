// One fuzz case: a scripted host laid out from the input bytes, then a few
// calls of exported routines, each checked for words written outside its
// documented outputs. Shared by the libFuzzer target and the replay test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xif::fuzz {

// Runs one case. Returns 0; a violated check prints what was found and
// aborts, so that libFuzzer and the replay test both see it as a crash.
int run_case(const uint8_t* data, size_t size);

} // namespace xif::fuzz
