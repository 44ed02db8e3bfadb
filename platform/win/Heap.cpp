#include "platform/win/Heap.h"

#include <cstdint>
#include <cstdlib>

#include "platform/base/FailureInjection.h"

namespace win {

namespace {
bool injectFailure(const char* call) {
    std::uint32_t code = 0;
    return base::injectedFailure(call, code);
}
}  // namespace

void* heapAlloc(size_t size) {
    if (injectFailure("heapAlloc")) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void* heapRealloc(void* block, size_t size) {
    if (injectFailure("heapRealloc")) return nullptr;
    return std::realloc(block, size == 0 ? 1 : size);
}

void heapFree(void* block) {
    std::free(block);
}

}  // namespace win
