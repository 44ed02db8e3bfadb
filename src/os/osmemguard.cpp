// Guard words of memory blocks and what both block kinds share: writing and checking guards, the
// pool-wide guard check, the block lists and the leak report lines.
#include <cstdio>
#include <cstring>

#include "os/osinternal.h"

namespace ostrum {

size_t round4(size_t size) {
    return (size + 3u) & ~static_cast<size_t>(3u);
}

const GuardLayout& memGuardLayout() {
    static constexpr GuardLayout LAYOUT{sizeof(MemBlock), GuardConstants::MEM_HEAD, GuardConstants::MEM_TAIL};
    return LAYOUT;
}

size_t headerSize(bool isRef) {
    return guardLayout(isRef).headerSize;
}

size_t blockTotalSize(size_t size, bool isRef) {
    return headerSize(isRef) + round4(size) + 4u;
}

void* payloadOf(BlockHeader* block) {
    return reinterpret_cast<unsigned char*>(block) + headerSize(block->pool->isRef);
}

BlockHeader* blockOf(const void* payload, bool isRef) {
    return reinterpret_cast<BlockHeader*>(
        const_cast<unsigned char*>(static_cast<const unsigned char*>(payload)) - headerSize(isRef));
}

namespace {

// The head guard is the word right before the payload in both kinds.
unsigned char* headGuardOf(BlockHeader* block, bool isRef) {
    return reinterpret_cast<unsigned char*>(block) + headerSize(isRef) - 4u;
}

unsigned char* payloadBytes(BlockHeader* block, bool isRef) {
    return reinterpret_cast<unsigned char*>(block) + headerSize(isRef);
}

uint32_t readWord(const unsigned char* at) {
    uint32_t w;
    std::memcpy(&w, at, 4);
    return w;
}

}  // namespace

void writeGuards(BlockHeader* block, bool isRef) {
    const GuardLayout& layout = guardLayout(isRef);
    std::memcpy(headGuardOf(block, isRef), &layout.head, 4);
    unsigned char* payload = payloadBytes(block, isRef);
    size_t size = block->size;
    uint32_t mask = g_os.padMask[size & 3u];
    if (mask != 0) {
        // Only the bytes beyond the size take the pattern: the payload's own bytes in the last
        // partial word stay as they are, which keeps a grown block's contents intact.
        unsigned char* padAt = payload + (size & ~static_cast<size_t>(3u));
        uint32_t word = (readWord(padAt) & ~mask) | (GuardConstants::PAD & mask);
        std::memcpy(padAt, &word, 4);
    }
    std::memcpy(payload + round4(size), &layout.tail, 4);
}

int checkBlock(BlockHeader* block, bool isRef) {
    const GuardLayout& layout = guardLayout(isRef);
    if (readWord(headGuardOf(block, isRef)) != layout.head) {
        return osMemCorruption_head;
    }
    const unsigned char* payload = payloadBytes(block, isRef);
    size_t size = block->size;
    uint32_t mask = g_os.padMask[size & 3u];
    if (mask != 0 &&
        (readWord(payload + (size & ~static_cast<size_t>(3u))) & mask) != (GuardConstants::PAD & mask)) {
        return osMemCorruption_tail;
    }
    if (readWord(payload + round4(size)) != layout.tail) {
        return osMemCorruption_tail;
    }
    return 0;
}

namespace {

// The first damaged block of one list, or null.
BlockHeader* damagedBlock(const BlockList& list, bool isRef, int* reason) {
    for (BlockHeader* b = list.head; b != nullptr; b = b->next) {
        *reason = checkBlock(b, isRef);
        if (*reason != 0) return b;
    }
    return nullptr;
}

}  // namespace

int checkPool(PoolCommon* pool, const char* file, int line) {
    if (!pool->guardCheck) return OS_OK;
    int reason = 0;
    BlockHeader* damaged = nullptr;
    if (pool->isRef) {
        damaged = damagedBlock(pool->blocks[0].list, true, &reason);
    } else {
        for (uint32_t shard = 0; damaged == nullptr && shard < ShardConstants::COUNT; ++shard) {
            ShardLock lock(shard);
            damaged = damagedBlock(pool->blocks[shard].list, false, &reason);
        }
    }
    if (damaged == nullptr) return OS_OK;
    if (pool->corruptionCallback != nullptr) {
        pool->corruptionCallback(file, line, pool->contextName, payloadOf(damaged), reason);
    }
    return OS_ERR_FAILED;
}

void appendBlock(BlockList* list, BlockHeader* block, BlockSet* set) {
    block->next = nullptr;
    block->backLink = list->tail;
    *list->tail = block;
    list->tail = &block->next;
    blockSetInsert(set, block);
}

void unlinkBlock(BlockList* list, BlockHeader* block, BlockSet* set) {
    blockSetErase(set, block);
    *block->backLink = block->next;
    if (block->next != nullptr) {
        block->next->backLink = block->backLink;
    } else {
        list->tail = block->backLink;
    }
    block->next = nullptr;
    block->backLink = nullptr;
}

bool poolIsEmpty(const PoolCommon* pool) {
    for (const ShardList& shard : pool->blocks) {
        if (shard.list.head != nullptr) return false;
    }
    return true;
}

void initPool(PoolCommon* pool, const char* name, OsContext* context, bool isRef) {
    copyName(pool->name, name);
    pool->context = context;
    pool->isRef = isRef;
    const OsContextConfig& config = context->config;
    pool->trace = (config.traceKinds & (isRef ? osDbgTraceType_refPool : osDbgTraceType_memPool)) != 0;
    pool->guardCheck = config.guardCheck != 0;
    pool->leakTracking = config.leakTracking != 0;
    pool->callStacks = (config.leakTracking & OS_LEAK_CALL_STACKS) != 0;
    pool->quietWhenEmpty = pool == &context->defaultPool;
    pool->traceCallback = config.traceCallback;
    pool->corruptionCallback = config.corruptionCallback;
    pool->leakCallback = config.leakCallback;
    copyName(pool->contextName, context->name);
    for (ShardList& shard : pool->blocks) {
        shard.list.head = nullptr;
        shard.list.tail = &shard.list.head;
    }
}

void appendPool(PoolList* list, PoolCommon* pool) {
    pool->next = nullptr;
    pool->backLink = list->tail;
    *list->tail = pool;
    list->tail = &pool->next;
}

void unlinkPool(PoolList* list, PoolCommon* pool) {
    *pool->backLink = pool->next;
    if (pool->next != nullptr) {
        pool->next->backLink = pool->backLink;
    } else {
        list->tail = pool->backLink;
    }
    pool->next = nullptr;
    pool->backLink = nullptr;
}

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
    if (poolIsEmpty(pool)) {
        if (pool->quietWhenEmpty) return true;
        std::snprintf(line, sizeof line, pool->isRef ? "m%p RefPoolName:%5s" : "m%p MemPoolName:%5s",
                      static_cast<void*>(pool), pool->name);
        return emit(pool, line);
    }
    // Shard by shard: one thread's blocks stay oldest first.
    for (const ShardList& shard : pool->blocks) {
        for (BlockHeader* b = shard.list.head; b != nullptr; b = b->next) {
            std::snprintf(line, sizeof line, "m%p %5s: %16s:%-4ld len %lu", payloadOf(b), pool->name,
                          baseName(b->file), static_cast<long>(b->line), static_cast<unsigned long>(b->size));
            if (!emit(pool, line)) return false;
            if (!reportCallStack(b->callStack, pool->leakCallback, pool->contextName)) return false;
        }
    }
    return true;
}

}  // namespace ostrum
