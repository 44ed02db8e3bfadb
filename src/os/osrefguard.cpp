// Leak reports of memory and reference pools, one line per block to the context's leak callback.
#include <cstdio>
#include <cstring>

#include "osinternal.h"

namespace ostrum {

namespace {

const char* baseName(const char* path) {
    if (path == nullptr) return "";
    const char* base = path;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '/' || *c == '\\') base = c + 1;
    }
    return base;
}

bool emit(PoolCommon* pool, const char* text) {
    return pool->leakCallback(pool->contextName, text) == 0;
}

}  // namespace

bool reportPoolLeaks(PoolCommon* pool) {
    if (pool->leakCallback == nullptr) return false;
    char line[256];
    if (pool->blocks.head == nullptr) {
        if (pool->quietWhenEmpty) return true;
        std::snprintf(line, sizeof line, pool->isRef ? "m%p RefPoolName:%5s" : "m%p MemPoolName:%5s",
                      static_cast<void*>(pool), pool->name);
        return emit(pool, line);
    }
    for (BlockHeader* b = pool->blocks.head; b != nullptr; b = b->next) {
        std::snprintf(line, sizeof line, "m%p %5s: %16s:%-4ld len %lu", payloadOf(b), pool->name,
                      baseName(b->file), static_cast<long>(b->line), static_cast<unsigned long>(b->size));
        if (!emit(pool, line)) return false;
        if (!reportCallStack(b->callStack, pool->leakCallback, pool->contextName)) return false;
    }
    return true;
}

}  // namespace ostrum
