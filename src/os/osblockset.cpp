// The addresses of every live block, so that handle validation and the stray-free check find a
// block in constant time however many blocks are live. Memory blocks are guarded by the list
// lock, reference blocks by the reference lock, as their lists are.
#include <cstdlib>
#include <cstring>

#include "os/osinternal.h"

namespace ostrum {

BlockSet g_memBlocks;
BlockSet g_refBlocks;

namespace {

constexpr uintptr_t EMPTY = 0;
constexpr uintptr_t ERASED = 1;  // blocks are at least 16-byte aligned: never a block address
constexpr size_t FIRST_CAPACITY = 256;

size_t slotOf(uintptr_t key, size_t capacity) {
    // Fibonacci hashing of the address without its always-zero low bits.
    return static_cast<size_t>(((key >> 4) * 0x9E3779B97F4A7C15ull) >> 20) & (capacity - 1);
}

bool placeInto(uintptr_t* slots, size_t capacity, uintptr_t key) {
    for (size_t i = slotOf(key, capacity), n = 0; n < capacity; i = (i + 1) & (capacity - 1), ++n) {
        if (slots[i] == EMPTY || slots[i] == ERASED) {
            slots[i] = key;
            return true;
        }
    }
    return false;
}

// Rebuilds the table at a size that keeps it at most a quarter full; false when the host heap
// refuses, which leaves the old table as it was.
bool rebuild(BlockSet* set, size_t wanted) {
    size_t capacity = FIRST_CAPACITY;
    while (capacity < wanted * 4) capacity *= 2;
    auto* slots = static_cast<uintptr_t*>(std::calloc(capacity, sizeof(uintptr_t)));
    if (slots == nullptr) return false;
    for (size_t i = 0; i < set->capacity; ++i) {
        if (set->slots[i] != EMPTY && set->slots[i] != ERASED) placeInto(slots, capacity, set->slots[i]);
    }
    std::free(set->slots);
    set->slots = slots;
    set->capacity = capacity;
    set->erased = 0;
    return true;
}

}  // namespace

BlockSet& blockSetOf(bool refBlocks) {
    return refBlocks ? g_refBlocks : g_memBlocks;
}

void blockSetInsert(BlockSet* set, const BlockHeader* block) {
    if (set->incomplete) return;
    // Three quarters of the slots in use or erased: grow or clean up before probing gets long.
    if ((set->count + set->erased + 1) * 4 > set->capacity * 3 && !rebuild(set, set->count + 1)) {
        // Without room the set can no longer answer for every block; lookups walk the lists.
        set->incomplete = true;
        return;
    }
    placeInto(set->slots, set->capacity, reinterpret_cast<uintptr_t>(block));
    ++set->count;
}

void blockSetErase(BlockSet* set, const BlockHeader* block) {
    if (set->incomplete || set->capacity == 0) return;
    const auto key = reinterpret_cast<uintptr_t>(block);
    for (size_t i = slotOf(key, set->capacity), n = 0; n < set->capacity && set->slots[i] != EMPTY;
         i = (i + 1) & (set->capacity - 1), ++n) {
        if (set->slots[i] == key) {
            set->slots[i] = ERASED;
            --set->count;
            ++set->erased;
            return;
        }
    }
}

bool blockSetContains(const BlockSet* set, const void* block) {
    if (set->capacity == 0) return false;
    const auto key = reinterpret_cast<uintptr_t>(block);
    for (size_t i = slotOf(key, set->capacity), n = 0; n < set->capacity && set->slots[i] != EMPTY;
         i = (i + 1) & (set->capacity - 1), ++n) {
        if (set->slots[i] == key) return true;
    }
    return false;
}

void blockSetClear(BlockSet* set) {
    std::free(set->slots);
    std::memset(set, 0, sizeof *set);
}

void forgetBlocksOf(OsContext* context) {
    for (PoolCommon* pool = context->memPools.head; pool != nullptr; pool = pool->next) {
        for (BlockHeader* b = pool->blocks.head; b != nullptr; b = b->next) blockSetErase(&g_memBlocks, b);
    }
    for (PoolCommon* pool = context->refPools.head; pool != nullptr; pool = pool->next) {
        for (BlockHeader* b = pool->blocks.head; b != nullptr; b = b->next) blockSetErase(&g_refBlocks, b);
    }
}

}  // namespace ostrum
