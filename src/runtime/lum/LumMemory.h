#pragma once

#include <cstddef>

class MemoryConstants {
public:
    // The largest block that may be asked for, in bytes.
    static constexpr int MAX_SIZE = 10000000;
};

// Checked memory from the run-time's context. The position is the caller's; the pointer to fill
// must be empty. A failed allocation throws MemoryException with the allocator's code; a broken
// precondition is an assertion and throws MemoryException as well, so that nothing is touched.
void lumMemAlloc(const char* file, int line, void** pp, int size);
// pp may point at null (a new block). Size 0 frees the block.
void lumMemRealloc(const char* file, int line, void** pp, int size);
// Nulls the caller's pointer; a block the context does not hold ends the process.
void lumMemFree(const char* file, int line, void** pp);

// Typed forms for byte, character and element-pointer blocks.
template <typename T>
void lumAlloc(const char* file, int line, T** pp, int size) {
    void* p = *pp;
    lumMemAlloc(file, line, &p, size);
    *pp = static_cast<T*>(p);
}

template <typename T>
void lumRealloc(const char* file, int line, T** pp, int size) {
    void* p = *pp;
    lumMemRealloc(file, line, &p, size);
    *pp = static_cast<T*>(p);
}

template <typename T>
void lumFree(const char* file, int line, T** pp) {
    if (pp == nullptr) {
        lumMemFree(file, line, nullptr);
        return;
    }
    void* p = *pp;
    *pp = nullptr;
    lumMemFree(file, line, &p);
}

// Blocks for operator new: checked memory while the run-time is ready, the host heap before it is
// and after it has gone. lumDeleteBlock tells them apart by a header of their own.
void* lumNewBlock(const char* file, int line, size_t size);
void lumDeleteBlock(void* p);
// LumMain opens the pool to operator new once travik runs and closes it before the context goes.
void lumMemoryOpen();
void lumMemoryClose();
// Alignments beyond the header's 16 bytes come from the host heap.
void* lumNewAlignedBlock(size_t size, size_t alignment);
