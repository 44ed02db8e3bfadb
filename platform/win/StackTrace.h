#pragma once

#include <cstddef>
#include <cstdint>

namespace win {

// Captures up to `maxFrames` return addresses of the calling thread, skipping the `skip`
// innermost frames above the caller. Returns the number stored.
int captureStackBackTrace(int skip, int maxFrames, uint64_t* frames);

// Names the code at `address`: the symbol (or, without one, the module) in `name` and the
// offset into it in `offset`. False when nothing is known about the address.
bool describeAddress(uint64_t address, char* name, size_t nameSize, int* offset);

}  // namespace win
