#include "win/Heap.h"

#include <atomic>
#include <cstdlib>

namespace win {

namespace {
std::atomic<int> g_failingAllocs{0};

bool injectFailure() {
    int pending = g_failingAllocs.load();
    while (pending > 0) {
        if (g_failingAllocs.compare_exchange_weak(pending, pending - 1)) return true;
    }
    return false;
}
}  // namespace

void failNextHeapAllocs(int count) {
    g_failingAllocs.store(count < 0 ? 0 : count);
}

void* heapAlloc(size_t size) {
    if (injectFailure()) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void* heapRealloc(void* block, size_t size) {
    if (injectFailure()) return nullptr;
    return std::realloc(block, size == 0 ? 1 : size);
}

void heapFree(void* block) {
    std::free(block);
}

}  // namespace win
