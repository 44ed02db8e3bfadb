#pragma once

#include <cstddef>

namespace win {

// The process heap. Allocation and reallocation return null on failure; a failed reallocation
// leaves the original block untouched. Both fail on demand as "heapAlloc" and "heapRealloc".
void* heapAlloc(size_t size);
void* heapRealloc(void* block, size_t size);
void heapFree(void* block);

}  // namespace win
