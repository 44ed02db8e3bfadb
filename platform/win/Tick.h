#pragma once

#include <cstdint>

namespace win {

// Milliseconds of a monotonic clock since system start; wraps at 32 bits.
uint32_t tickCount();

}  // namespace win
