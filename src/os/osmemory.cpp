// Guarded memory pools: blocks that carry their origin and guard words, on the process heap.
#include <cstring>

#include "os/osinternal.h"
#include "platform/win/Heap.h"

namespace ostrum {

namespace {

bool isDefaultPoolOfLiveContext(const PoolCommon* pool) {
    if (pool == &g_os.context.defaultPool) return true;
    ListLock lock;
    for (OsContext* c = g_os.contextsHead; c != nullptr; c = c->next) {
        if (pool == &c->defaultPool) return true;
    }
    return false;
}

bool isLivePool(const PoolCommon* pool) {
    // A created pool first: its lookup takes no lock, the context walk does.
    return isLiveObject(pool) || isDefaultPoolOfLiveContext(pool);
}

MemBlock* memBlockOf(BlockHeader* block) {
    return reinterpret_cast<MemBlock*>(block);
}

BlockList& listOf(PoolCommon* pool, uint32_t shard) {
    return pool->blocks[shard].list;
}

int traceMem(PoolCommon* pool, const char* file, int line, const void* object, unsigned opcode, int status,
             size_t size) {
    if (!pool->trace) return status;
    return dispatchTrace(pool->traceCallback, file, line, pool->contextName, object, osDbgTraceType_memPool,
                         opcode, status, reinterpret_cast<uintptr_t>(pool->name), size);
}

}  // namespace

int memAlloc(const char* file, int line, void** p, size_t size, OsMemPool* pool, bool zero) {
    if (p == nullptr || *p != nullptr) return OS_ERR_ARGUMENT;
    if (size > OS_MEM_MAX_BLOCK) return OS_ERR_FAILED;
    if (pool == nullptr) return OS_ERR_ARGUMENT;
    if (validates(osDbgTraceType_memPool) && !isLivePool(pool)) return OS_ERR_NOT_FOUND;
    if (checkPool(pool, file, line) != OS_OK)
        return traceMem(pool, file, line, nullptr, osDbgTraceOp_alloc, OS_ERR_FAILED, size);
    auto* block = static_cast<BlockHeader*>(win::heapAlloc(blockTotalSize(size, false)));
    if (block == nullptr)
        return traceMem(pool, file, line, nullptr, osDbgTraceOp_alloc, OS_ERR_NO_MEMORY, size);
    std::memset(block, 0, sizeof(MemBlock));
    block->file = file;
    block->line = line;
    block->size = size;
    block->callStack = pool->callStacks ? captureCallStack() : nullptr;
    block->pool = pool;
    const uint32_t shard = currentShard();
    memBlockOf(block)->shard = shard;
    writeGuards(block, false);
    void* payload = payloadOf(block);
    if (zero) std::memset(payload, 0, size);
    {
        ShardLock lock(shard);
        appendBlock(&listOf(pool, shard), block, &shardBlocks(shard));
    }
    int r = traceMem(pool, file, line, payload, osDbgTraceOp_alloc, OS_OK, size);
    if (r != OS_OK) {
        // The allocation is undone: the caller gets the error and no block.
        {
            ShardLock lock(shard);
            unlinkBlock(&listOf(pool, shard), block, &shardBlocks(shard));
        }
        freeCallStack(block->callStack);
        win::heapFree(block);
        return r;
    }
    *p = payload;
    return OS_OK;
}

}  // namespace ostrum

using namespace ostrum;

extern "C" {

OSTRUM_API int _osMemPoolCreate(const char* file, int line, OsMemPool** pool, const char* name,
                                OsContext* context) {
    if (pool == nullptr || *pool != nullptr) return OS_ERR_ARGUMENT;
    if (name == nullptr || name[0] == '\0' || context == nullptr) return OS_ERR_ARGUMENT;
    if (validates(osDbgTraceType_context) && !isLiveContext(context)) return OS_ERR_NOT_FOUND;
    void* memory = nullptr;
    int r = memAlloc(SRC_MEMORY, __LINE__, &memory, sizeof(OsMemPool), &context->defaultPool, true);
    if (r != OS_OK) return r;
    auto* created = static_cast<OsMemPool*>(memory);
    initPool(created, name, context, false);
    {
        ListLock lock;
        appendPool(&context->memPools, created);
    }
    if (created->trace) {
        r = dispatchTrace(created->traceCallback, file, line, created->contextName, created,
                          osDbgTraceType_memPool, osDbgTraceOp_create, OS_OK,
                          reinterpret_cast<uintptr_t>(created->name));
        if (r != OS_OK) {
            {
                ListLock lock;
                unlinkPool(&context->memPools, created);
            }
            _osMemPoolFree(SRC_MEMORY, __LINE__, &memory);
            return r;
        }
    }
    *pool = created;
    return OS_OK;
}

OSTRUM_API int _osMemPoolDestroy(const char* file, int line, OsMemPool** pool) {
    if (pool == nullptr) return OS_ERR_ARGUMENT;
    OsMemPool* p = *pool;
    if (p == nullptr) return OS_OK;
    if (validates(osDbgTraceType_memPool) && !isLiveObject(p)) return OS_ERR_NOT_FOUND;
    *pool = nullptr;
    int result = OS_OK;
    bool busy = false;
    {
        ListLock lock;
        {
            AllShardsLock shards;
            busy = !poolIsEmpty(p);
            if (!busy) unlinkPool(&p->context->memPools, p);
        }
        if (busy) {
            // Still in use: the pool stays listed so that the context's leak report shows it.
            checkPool(p, file, line);
            result = OS_ERR_BUSY;
        }
    }
    if (p->trace) {
        int r = dispatchTrace(p->traceCallback, file, line, p->contextName, p, osDbgTraceType_memPool,
                              osDbgTraceOp_destroy, result, reinterpret_cast<uintptr_t>(p->name));
        if (result == OS_OK) result = r;
    }
    if (!busy) {
        void* memory = p;
        int r = _osMemPoolFree(SRC_MEMORY, __LINE__, &memory);
        if (result == OS_OK) result = r;
    }
    return result;
}

OSTRUM_API int _osMemPoolAlloc(const char* file, int line, void** p, size_t size, OsMemPool* pool) {
    return memAlloc(file, line, p, size, pool, false);
}

OSTRUM_API int _osMemPoolZalloc(const char* file, int line, void** p, size_t size, OsMemPool* pool) {
    return memAlloc(file, line, p, size, pool, true);
}

OSTRUM_API int _osMemPoolFree(const char* file, int line, void** p) {
    if (p == nullptr) return OS_ERR_ARGUMENT;
    void* user = *p;
    *p = nullptr;
    if (user == nullptr) return OS_OK;
    if (validates(osDbgTraceType_memPool) && findBlockAnywhere(user, false) == nullptr)
        return OS_ERR_NOT_FOUND;
    BlockHeader* block = blockOf(user, false);
    PoolCommon* pool = block->pool;
    if (pool == nullptr) return OS_ERR_FAILED;
    const char* allocFile = block->file;
    int allocLine = static_cast<int>(block->line);
    size_t size = block->size;
    if (checkPool(pool, file, line) != OS_OK) {
        return traceMem(pool, file, line, user, osDbgTraceOp_free, OS_ERR_FAILED, size);
    }
    {
        const uint32_t shard = shardOf(block);
        ShardLock lock(shard);
        unlinkBlock(&listOf(pool, shard), block, &shardBlocks(shard));
    }
    freeCallStack(block->callStack);
    block->callStack = nullptr;
    block->pool = nullptr;
    std::memset(user, GuardConstants::FREED_FILL, size);
    win::heapFree(block);
    return traceMem(pool, allocFile, allocLine, user, osDbgTraceOp_free, OS_OK, size);
}

OSTRUM_API int _osMemPoolRealloc(const char* file, int line, void** p, size_t size, OsMemPool* pool) {
    if (p == nullptr) return OS_ERR_ARGUMENT;
    if (size == 0) return _osMemPoolFree(file, line, p);
    if (*p == nullptr) return memAlloc(file, line, p, size, pool, false);
    void* user = *p;
    int result = OS_OK;
    if (size > OS_MEM_MAX_BLOCK) {
        result = OS_ERR_FAILED;
    } else if (pool == nullptr) {
        result = OS_ERR_ARGUMENT;
    } else if (validates(osDbgTraceType_memPool) &&
               (!isLivePool(pool) || findBlockAnywhere(user, false) == nullptr)) {
        result = OS_ERR_NOT_FOUND;
    } else if (blockOf(user, false)->pool != pool) {
        result = OS_ERR_FAILED;
    }
    if (result != OS_OK) {
        *p = nullptr;
        return pool != nullptr ? traceMem(pool, file, line, user, osDbgTraceOp_realloc, result, size)
                               : result;
    }

    if (checkPool(pool, file, line) != OS_OK) {
        *p = nullptr;
        return traceMem(pool, file, line, user, osDbgTraceOp_realloc, OS_ERR_FAILED, size);
    }
    BlockHeader* moved = nullptr;
    {
        BlockHeader* block = blockOf(user, false);
        // The block stays in the shard it was allocated in, whichever thread resizes it.
        const uint32_t shard = shardOf(block);
        BlockList& list = listOf(pool, shard);
        BlockSet& set = shardBlocks(shard);
        ShardLock lock(shard);
        // The old address leaves the set now: once the host heap has moved the block it is gone.
        blockSetErase(&set, block);
        // Resized in place in the list while the lock keeps every walker out; a failed resize
        // leaves the block where it was and the caller's pointer valid.
        moved = static_cast<BlockHeader*>(win::heapRealloc(block, blockTotalSize(size, false)));
        if (moved == nullptr) {
            blockSetInsert(&set, block);
            return traceMem(pool, file, line, user, osDbgTraceOp_realloc, OS_ERR_NO_MEMORY, size);
        }
        *moved->backLink = moved;
        if (moved->next != nullptr) {
            moved->next->backLink = &moved->next;
        } else {
            list.tail = &moved->next;
        }
        unlinkBlock(&list, moved, &set);
        freeCallStack(moved->callStack);
        moved->file = file;
        moved->line = line;
        moved->size = size;
        moved->callStack = pool->callStacks ? captureCallStack() : nullptr;
        writeGuards(moved, false);
        appendBlock(&list, moved, &set);
    }
    *p = payloadOf(moved);
    return traceMem(pool, file, line, *p, osDbgTraceOp_realloc, OS_OK, size);
}
}
