// Routes every allocation of a program through checked memory. Linked into programs only (target
// lum_new); unit-test binaries keep the host's operators. Every form is replaced, so that no block
// of one allocator reaches the other's delete.
#include <cstddef>
#include <new>

#include "runtime/lum/LumMemory.h"

void* operator new(size_t size) {
    return lumNewBlock(__FILE__, __LINE__, size);
}
void* operator new[](size_t size) {
    return lumNewBlock(__FILE__, __LINE__, size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return lumNewBlock(__FILE__, __LINE__, size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    try {
        return lumNewBlock(__FILE__, __LINE__, size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new(size_t size, std::align_val_t alignment) {
    return lumNewAlignedBlock(size, static_cast<size_t>(alignment));
}

void* operator new[](size_t size, std::align_val_t alignment) {
    return lumNewAlignedBlock(size, static_cast<size_t>(alignment));
}

void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    try {
        return lumNewAlignedBlock(size, static_cast<size_t>(alignment));
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    try {
        return lumNewAlignedBlock(size, static_cast<size_t>(alignment));
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* p) noexcept {
    lumDeleteBlock(p);
}
void operator delete[](void* p) noexcept {
    lumDeleteBlock(p);
}
void operator delete(void* p, size_t) noexcept {
    lumDeleteBlock(p);
}
void operator delete[](void* p, size_t) noexcept {
    lumDeleteBlock(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    lumDeleteBlock(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    lumDeleteBlock(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    lumDeleteBlock(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    lumDeleteBlock(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
    lumDeleteBlock(p);
}
void operator delete[](void* p, size_t, std::align_val_t) noexcept {
    lumDeleteBlock(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    lumDeleteBlock(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    lumDeleteBlock(p);
}
