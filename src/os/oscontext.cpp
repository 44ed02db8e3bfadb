// Contexts, the one hidden global context, trace dispatch and handle validation.
#include <cstring>
#include <mutex>

#include "os/osinternal.h"

namespace ostrum {

Global g_os;

namespace {

// Serialises the library's start-up and final tear-down, which happen outside the global locks
// because those locks are themselves created and destroyed there.
std::mutex g_lifecycle;

int runExitFunctions(OsContext* context) {
    int result = OS_OK;
    while (OsExitRecord* record = context->exitChain) {
        context->exitChain = record->link;
        record->link = nullptr;
        int r = record->function(record);
        if (result == OS_OK && r != OS_OK) result = r;
    }
    return result;
}

void destroyGlobalLock(OsMutex** lock, int* result) {
    OsMutex* m = *lock;
    // From here on the lock is gone for everybody; the lists are only touched by this thread.
    *lock = nullptr;
    int r = _osMutexDestroy(SRC_CONTEXT, __LINE__, &m);
    if (*result == OS_OK && r != OS_OK) *result = r;
}

// The library goes back to uninitialised; every step is attempted and the first error kept.
int tearDownGlobal() {
    g_os.initialised = false;
    int result = runExitFunctions(&g_os.context);
    destroyGlobalLock(&g_os.refLock, &result);
    destroyGlobalLock(&g_os.listLock, &result);
    clearShards();
    blockSetClear(&g_refBlocks);
    return result;
}

int initGlobal(const OsContextConfig* config) {
    std::memset(&g_os, 0, sizeof g_os);
    clearShards();
    blockSetClear(&g_refBlocks);
    OsContext* global = &g_os.context;
    copyName(global->name, "OS");
    g_os.contextsTail = &g_os.contextsHead;
    g_os.validation = static_cast<unsigned>(config->handleValidation & 0xFFu);
    global->memPools.tail = &global->memPools.head;
    global->refPools.tail = &global->refPools.head;
    initPool(&global->defaultPool, "OS", global, false);
    appendPool(&global->memPools, &global->defaultPool);

    static constexpr uint32_t PAD_MASKS[4] = {0x00000000u, 0xFFFFFF00u, 0xFFFF0000u, 0xFF000000u};
    std::memcpy(g_os.padMask, PAD_MASKS, sizeof PAD_MASKS);

    int r = _osMutexCreate(SRC_CONTEXT, __LINE__, &g_os.listLock, global);
    if (r == OS_OK) r = _osMutexCreate(SRC_CONTEXT, __LINE__, &g_os.refLock, global);
    if (r == OS_OK) r = createTimerRecord();
    if (r != OS_OK) {
        tearDownGlobal();
        return r;
    }
    g_os.initialised = true;
    return OS_OK;
}

void unlinkContext(OsContext* context) {
    *context->backLink = context->next;
    if (context->next != nullptr) {
        context->next->backLink = context->backLink;
    } else {
        g_os.contextsTail = context->backLink;
    }
    context->next = nullptr;
    context->backLink = nullptr;
}

BlockHeader* findInPools(const PoolList& pools, const void* p) {
    for (PoolCommon* pool = pools.head; pool != nullptr; pool = pool->next) {
        for (BlockHeader* b = pool->blocks[0].list.head; b != nullptr; b = b->next) {
            if (payloadOf(b) == p) return b;
        }
    }
    return nullptr;
}

}  // namespace

void copyName(char* dst, const char* src) {
    size_t i = 0;
    if (src != nullptr) {
        for (; i < OS_NAME_MAX && src[i] != '\0'; ++i) dst[i] = src[i];
    }
    dst[i] = '\0';
}

ListLock::ListLock() {
    mutexLockRaw(g_os.listLock);
}
ListLock::~ListLock() {
    mutexUnlockRaw(g_os.listLock);
}
RefLock::RefLock() {
    mutexLockRaw(g_os.refLock);
}
RefLock::~RefLock() {
    mutexUnlockRaw(g_os.refLock);
}

int dispatchTrace(OsTraceCallback callback, const char* file, int line, const char* contextName,
                  const void* object, unsigned kind, unsigned opcode, int status, uintptr_t extra1,
                  uintptr_t extra2, uintptr_t extra3) {
    if (file == nullptr || line < 1 || callback == nullptr) return status == OS_OK ? OS_ERR_FAILED : status;
    OsTraceRecord record{file, line, contextName, object, kind, opcode, status, extra1, extra2, extra3};
    callback(&record);
    return status;
}

bool isLiveContext(const OsContext* context) {
    if (context == &g_os.context) return true;
    ListLock lock;
    for (OsContext* c = g_os.contextsHead; c != nullptr; c = c->next) {
        if (c == context) return true;
    }
    return false;
}

bool isLiveObject(const void* object) {
    if (object == nullptr) return false;
    const BlockHeader* block = findMemBlock(static_cast<const char*>(object) - headerSize(false));
    return block != nullptr && block->pool == &block->pool->context->defaultPool;
}

BlockHeader* findBlockAnywhere(const void* p, bool refBlocks) {
    if (p == nullptr) return nullptr;
    if (!refBlocks) return findMemBlock(static_cast<const char*>(p) - headerSize(false));
    RefLock refLock;
    if (!g_refBlocks.incomplete.load(std::memory_order_relaxed)) {
        const void* header = static_cast<const char*>(p) - headerSize(true);
        return blockSetContains(&g_refBlocks, header) ? static_cast<BlockHeader*>(const_cast<void*>(header))
                                                      : nullptr;
    }
    ListLock listLock;
    if (BlockHeader* b = findInPools(g_os.context.refPools, p)) return b;
    for (OsContext* c = g_os.contextsHead; c != nullptr; c = c->next) {
        if (BlockHeader* b = findInPools(c->refPools, p)) return b;
    }
    return nullptr;
}

}  // namespace ostrum

using namespace ostrum;

extern "C" {

OSTRUM_API int _osContextCreate(const char* file, int line, OsContext** context, const char* name,
                                const OsContextConfig* config) {
    if (context == nullptr || *context != nullptr) return OS_ERR_ARGUMENT;
    if (name == nullptr || name[0] == '\0' || config == nullptr) return OS_ERR_ARGUMENT;

    std::lock_guard<std::mutex> lifecycle(g_lifecycle);
    if (!g_os.initialised) {
        int r = initGlobal(config);
        if (r != OS_OK) return r;
    }

    void* memory = nullptr;
    int r = memAlloc(SRC_CONTEXT, __LINE__, &memory, sizeof(OsContext), &g_os.context.defaultPool, true);
    if (r != OS_OK) {
        if (g_os.contextsHead == nullptr) tearDownGlobal();
        return r;
    }
    auto* c = static_cast<OsContext*>(memory);
    copyName(c->name, name);
    c->config = *config;
    c->memPools.tail = &c->memPools.head;
    c->refPools.tail = &c->refPools.head;
    initPool(&c->defaultPool, "OS", c, false);
    appendPool(&c->memPools, &c->defaultPool);
    {
        ListLock lock;
        c->backLink = g_os.contextsTail;
        *g_os.contextsTail = c;
        g_os.contextsTail = &c->next;
    }

    if ((c->config.traceKinds & osDbgTraceType_context) != 0) {
        r = dispatchTrace(c->config.traceCallback, file, line, c->name, c, osDbgTraceType_context,
                          osDbgTraceOp_create, OS_OK);
        if (r != OS_OK) {
            {
                ListLock lock;
                unlinkContext(c);
            }
            _osMemPoolFree(SRC_CONTEXT, __LINE__, &memory);
            if (g_os.contextsHead == nullptr) tearDownGlobal();
            return r;
        }
    }
    *context = c;
    return OS_OK;
}

OSTRUM_API int _osContextDestroy(const char* file, int line, OsContext** context) {
    if (context == nullptr) return OS_ERR_ARGUMENT;
    if (*context == nullptr) return OS_OK;

    std::lock_guard<std::mutex> lifecycle(g_lifecycle);
    OsContext* c = *context;
    if (!g_os.initialised) return OS_ERR_NOT_FOUND;
    if (validates(osDbgTraceType_context) && !isLiveContext(c)) return OS_ERR_NOT_FOUND;
    *context = nullptr;

    int result = runExitFunctions(c);

    mutexLockRaw(g_os.refLock);
    mutexLockRaw(g_os.listLock);
    {
        // Every shard as well: the leak report and the forgetting walk every block list.
        AllShardsLock shards;
        unlinkContext(c);

        if ((c->config.traceKinds & osDbgTraceType_context) != 0) {
            int r = dispatchTrace(c->config.traceCallback, file, line, c->name, c, osDbgTraceType_context,
                                  osDbgTraceOp_destroy, OS_OK);
            if (result == OS_OK) result = r;
        }
        if (c->config.leakTracking != 0) {
            bool go = true;
            for (PoolCommon* pool = c->refPools.head; go && pool != nullptr; pool = pool->next)
                go = reportPoolLeaks(pool);
            for (PoolCommon* pool = c->memPools.head; go && pool != nullptr; pool = pool->next)
                go = reportPoolLeaks(pool);
        }

        forgetBlocksOf(c);
        void* record = c;
        int r = _osMemPoolFree(SRC_CONTEXT, __LINE__, &record);
        if (result == OS_OK) result = r;
    }

    bool last = g_os.contextsHead == nullptr;
    mutexUnlockRaw(g_os.listLock);
    mutexUnlockRaw(g_os.refLock);
    if (last) {
        // The global exit functions join the timer thread, whose callbacks may need the global
        // locks, so they run after the locks are released; the lifecycle lock keeps creates out.
        int r = tearDownGlobal();
        if (result == OS_OK) result = r;
    }
    return result;
}

OSTRUM_API int _osContextAddExitFunc(const char*, int, OsExitRecord* record, OsContext* context) {
    if (record == nullptr || context == nullptr) return OS_ERR_ARGUMENT;
    if (validates(osDbgTraceType_context) && !isLiveContext(context)) return OS_ERR_NOT_FOUND;
    ListLock lock;
    if (record->function == nullptr) return OS_ERR_ARGUMENT;
    for (OsExitRecord* r = context->exitChain; r != nullptr; r = r->link) {
        if (r == record) return OS_ERR_BUSY;
    }
    if (record->link != nullptr) return OS_ERR_FAILED;
    record->link = context->exitChain;
    context->exitChain = record;
    return OS_OK;
}
}
