// Reference pools: guarded blocks with a reference count, user callbacks on reference changes, a
// destructor and a keyed lookup. One global lock serialises every reference pool of the process.
#include <cstring>

#include "os/osinternal.h"
#include "platform/win/Heap.h"

namespace ostrum {
namespace {

void noDestructor(void*) {}
int allowAlways(void*) {
    return 1;
}
void ignoreRelease(void*, int) {}

int traceRef(PoolCommon* pool, const char* file, int line, const void* object, unsigned opcode, int status,
             size_t size = 0, intptr_t count = 0) {
    if (!pool->trace) return status;
    return dispatchTrace(pool->traceCallback, file, line, pool->contextName, object, osDbgTraceType_refPool,
                         opcode, status, reinterpret_cast<uintptr_t>(pool->name), size,
                         static_cast<uintptr_t>(count));
}

RefBlock* refBlockOf(const void* p) {
    return reinterpret_cast<RefBlock*>(blockOf(p, true));
}

bool validRef(const void* p) {
    return !validates(osDbgTraceType_refPool) || findBlockAnywhere(p, true) != nullptr;
}

bool validRefPool(const OsRefPool* pool) {
    return !validates(osDbgTraceType_refPool) || isLiveObject(pool);
}

// Takes one more reference when the pool's increment callback allows it. Under the reference lock.
int addReference(OsRefPool* pool, RefBlock* block, void* p) {
    if (pool->incCallback(p) == 0) return OS_ERR_REF_REFUSED;
    ++block->count;
    return OS_OK;
}

}  // namespace
}  // namespace ostrum

using namespace ostrum;

extern "C" {

OSTRUM_API int _osRefPoolCreate(const char* file, int line, OsRefPool** pool, const char* name,
                                OsRefDestructor destructor, OsContext* context) {
    if (pool == nullptr || *pool != nullptr) return OS_ERR_ARGUMENT;
    if (name == nullptr || name[0] == '\0' || context == nullptr) return OS_ERR_ARGUMENT;
    if (validates(osDbgTraceType_context) && !isLiveContext(context)) return OS_ERR_NOT_FOUND;
    void* memory = nullptr;
    int r = memAlloc(SRC_REF, __LINE__, &memory, sizeof(OsRefPool), &context->defaultPool, true);
    if (r != OS_OK) return r;
    auto* created = static_cast<OsRefPool*>(memory);
    initPool(created, name, context, true);
    created->destructor = destructor != nullptr ? destructor : noDestructor;
    created->incCallback = allowAlways;
    created->decCallback = ignoreRelease;
    {
        RefLock lock;
        appendPool(&context->refPools, created);
    }
    r = traceRef(created, file, line, created, osDbgTraceOp_create, OS_OK);
    if (r != OS_OK) {
        {
            RefLock lock;
            unlinkPool(&context->refPools, created);
        }
        _osMemPoolFree(SRC_REF, __LINE__, &memory);
        return r;
    }
    *pool = created;
    return OS_OK;
}

OSTRUM_API int _osRefPoolDestroy(const char* file, int line, OsRefPool** pool) {
    if (pool == nullptr) return OS_ERR_ARGUMENT;
    OsRefPool* p = *pool;
    if (p == nullptr) return OS_OK;
    if (!validRefPool(p)) return OS_ERR_NOT_FOUND;
    *pool = nullptr;
    RefLock lock;
    int result = OS_OK;
    bool busy = !poolIsEmpty(p);
    if (busy) {
        checkPool(p, file, line);
        result = OS_ERR_BUSY;
    } else {
        unlinkPool(&p->context->refPools, p);
    }
    int r = traceRef(p, file, line, p, osDbgTraceOp_destroy, result);
    if (result == OS_OK) result = r;
    if (!busy) {
        void* memory = p;
        r = _osMemPoolFree(SRC_REF, __LINE__, &memory);
        if (result == OS_OK) result = r;
    }
    return result;
}

OSTRUM_API int _osRefPoolAlloc(const char* file, int line, void** p, size_t size, OsRefPool* pool) {
    if (p == nullptr || *p != nullptr) return OS_ERR_ARGUMENT;
    if (size > OS_MEM_MAX_BLOCK) return OS_ERR_FAILED;
    if (pool == nullptr) return OS_ERR_ARGUMENT;
    if (!validRefPool(pool)) return OS_ERR_NOT_FOUND;
    {
        RefLock lock;
        if (checkPool(pool, file, line) != OS_OK)
            return traceRef(pool, file, line, nullptr, osDbgTraceOp_alloc, OS_ERR_FAILED, size);
    }
    auto* block = static_cast<RefBlock*>(win::heapAlloc(blockTotalSize(size, true)));
    if (block == nullptr)
        return traceRef(pool, file, line, nullptr, osDbgTraceOp_alloc, OS_ERR_NO_MEMORY, size);
    std::memset(block, 0, sizeof(RefBlock));
    block->header.file = file;
    block->header.line = line;
    block->header.size = size;
    block->header.callStack = pool->callStacks ? captureCallStack() : nullptr;
    block->header.pool = pool;
    block->count = 1;
    writeGuards(&block->header, true);
    void* payload = payloadOf(&block->header);
    std::memset(payload, 0, size);
    {
        RefLock lock;
        appendBlock(&pool->blocks[0].list, &block->header, &g_refBlocks);
    }
    int r = traceRef(pool, file, line, payload, osDbgTraceOp_alloc, OS_OK, size, 1);
    if (r != OS_OK) {
        {
            RefLock lock;
            unlinkBlock(&pool->blocks[0].list, &block->header, &g_refBlocks);
        }
        freeCallStack(block->header.callStack);
        win::heapFree(block);
        return r;
    }
    *p = payload;
    return OS_OK;
}

OSTRUM_API int _osRefPoolRef(const char* file, int line, void** out, void* p) {
    if (out == nullptr || *out != nullptr || p == nullptr) return OS_ERR_ARGUMENT;
    if (!validRef(p)) return OS_ERR_NOT_FOUND;
    RefLock lock;
    RefBlock* block = refBlockOf(p);
    auto* pool = static_cast<OsRefPool*>(block->header.pool);
    int result = checkPool(pool, file, line);
    if (result == OS_OK) result = addReference(pool, block, p);
    if (result == OS_OK) *out = p;
    result = traceRef(pool, file, line, p, osDbgTraceOp_ref, result, block->header.size, block->count);
    if (result != OS_OK && *out == p) {
        // A refused trace dispatch leaves no reference behind.
        --block->count;
        *out = nullptr;
    }
    return result;
}

OSTRUM_API int _osRefPoolUnref(const char* file, int line, void** p) {
    if (p == nullptr) return OS_ERR_ARGUMENT;
    void* user = *p;
    *p = nullptr;
    if (user == nullptr) return OS_OK;
    if (!validRef(user)) return OS_ERR_NOT_FOUND;
    RefLock lock;
    RefBlock* block = refBlockOf(user);
    auto* pool = static_cast<OsRefPool*>(block->header.pool);
    size_t size = block->header.size;
    if (checkPool(pool, file, line) != OS_OK)
        return traceRef(pool, file, line, user, osDbgTraceOp_unref, OS_ERR_FAILED, size);
    intptr_t count = --block->count;
    pool->decCallback(user, static_cast<int>(count));
    if (count == 0) {
        unlinkBlock(&pool->blocks[0].list, &block->header, &g_refBlocks);
        freeCallStack(block->header.callStack);
        block->header.callStack = nullptr;
        pool->destructor(user);
        block->header.pool = nullptr;
        win::heapFree(block);
    }
    return traceRef(pool, file, line, user, osDbgTraceOp_unref, OS_OK, size, count);
}

OSTRUM_API int _osRefPoolLock(const char* file, int line, OsRefPool* pool) {
    if (pool == nullptr) return OS_ERR_ARGUMENT;
    if (!validRefPool(pool)) return OS_ERR_NOT_FOUND;
    int result = OS_OK;
    {
        RefLock lock;
        result = checkPool(pool, file, line);
    }
    if (result == OS_OK) result = mutexLockRaw(g_os.refLock);
    return traceRef(pool, file, line, pool, osDbgTraceOp_lock, result);
}

OSTRUM_API int _osRefPoolUnlock(const char* file, int line, OsRefPool* pool) {
    if (pool == nullptr) return OS_ERR_ARGUMENT;
    if (!validRefPool(pool)) return OS_ERR_NOT_FOUND;
    int result = OS_OK;
    {
        RefLock lock;
        result = checkPool(pool, file, line);
    }
    if (result == OS_OK) result = mutexUnlockRaw(g_os.refLock);
    return traceRef(pool, file, line, pool, osDbgTraceOp_unlock, result);
}

OSTRUM_API int osRefPoolLookup(void** out, OsRefCompare compare, const void* key, OsRefPool* pool) {
    if (out == nullptr || *out != nullptr || compare == nullptr || key == nullptr || pool == nullptr) {
        return OS_ERR_ARGUMENT;
    }
    if (!validRefPool(pool)) return OS_ERR_NOT_FOUND;
    RefLock lock;
    if (checkPool(pool, SRC_REF, __LINE__) != OS_OK) return OS_ERR_FAILED;
    for (BlockHeader* b = pool->blocks[0].list.head; b != nullptr; b = b->next) {
        void* user = payloadOf(b);
        int verdict = compare(user, key);
        if (verdict == 0) continue;
        if (verdict != 1) return verdict;
        auto* block = reinterpret_cast<RefBlock*>(b);
        int r = addReference(pool, block, user);
        if (r != OS_OK) return r;
        *out = user;
        traceRef(pool, SRC_REF, __LINE__, user, osDbgTraceOp_ref, OS_OK, b->size, block->count);
        return OS_OK;
    }
    return OS_ERR_NOT_FOUND;
}

OSTRUM_API int osRefPoolIncCallback(OsRefPool* pool, OsRefIncCallback callback) {
    if (pool == nullptr) return OS_ERR_ARGUMENT;
    if (!validRefPool(pool)) return OS_ERR_NOT_FOUND;
    RefLock lock;
    pool->incCallback = callback != nullptr ? callback : allowAlways;
    return OS_OK;
}

OSTRUM_API int osRefPoolDecCallback(OsRefPool* pool, OsRefDecCallback callback) {
    if (pool == nullptr) return OS_ERR_ARGUMENT;
    if (!validRefPool(pool)) return OS_ERR_NOT_FOUND;
    RefLock lock;
    pool->decCallback = callback != nullptr ? callback : ignoreRelease;
    return OS_OK;
}
}
