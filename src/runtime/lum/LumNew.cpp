// Routes every allocation of a program through checked memory. Linked into programs only (target
// lum_new); unit-test binaries keep the host's operators.
#include <cstddef>
#include <new>

#include "runtime/lum/LumMemory.h"

void* operator new(size_t size) {
    return lumNewBlock(__FILE__, __LINE__, size);
}
void* operator new[](size_t size) {
    return lumNewBlock(__FILE__, __LINE__, size);
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
