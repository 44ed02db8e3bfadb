#pragma once

#include <cstddef>

namespace win {

// The process heap. Allocation and reallocation return null on failure; a failed reallocation
// leaves the original block untouched.
void* heapAlloc(size_t size);
void* heapRealloc(void* block, size_t size);
void heapFree(void* block);

// Failure injection: the next `count` allocations or reallocations fail. Process-wide; 0 switches
// it off.
void failNextHeapAllocs(int count);

}  // namespace win
