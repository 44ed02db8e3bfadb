#pragma once

#include <cstdint>

namespace win {

// A 32-bit id of the calling thread, unique among the threads of the process and never 0.
uint32_t currentThreadId();

// A fresh id for a thread about to be started, so that its creator knows it at once; the new
// thread adopts it with bindCurrentThreadId before anything else.
uint32_t reserveThreadId();
void bindCurrentThreadId(uint32_t id);

}  // namespace win
