// The addresses of every live block, so that handle validation and the stray-free check find a
// block in constant time however many blocks are live. Reference blocks are guarded by the
// reference lock, as their lists are; memory blocks by their shard's lock.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "os/osinternal.h"

namespace ostrum {

BlockSet g_refBlocks;

namespace {

constexpr uintptr_t EMPTY = 0;
constexpr uintptr_t ERASED = 1;  // blocks are at least 16-byte aligned: never a block address
constexpr size_t FIRST_CAPACITY = 256;

size_t slotOf(uintptr_t key, size_t capacity) {
    // Fibonacci hashing of the address without its always-zero low bits.
    return static_cast<size_t>(((key >> 4) * 0x9E3779B97F4A7C15ull) >> 20) & (capacity - 1);
}

// Slots are read by lookups that do not hold the lock, so every access is atomic; an erased slot
// never turns empty again within a table, which keeps such a lookup's probe running past it.
uintptr_t loadSlot(uintptr_t* slot) {
    return std::atomic_ref<uintptr_t>(*slot).load(std::memory_order_relaxed);
}

void storeSlot(uintptr_t* slot, uintptr_t value) {
    std::atomic_ref<uintptr_t>(*slot).store(value, std::memory_order_relaxed);
}

// Places the key; true when it took an erased slot.
bool placeInto(BlockTable* table, uintptr_t key) {
    const size_t capacity = table->capacity;
    for (size_t i = slotOf(key, capacity), n = 0; n < capacity; i = (i + 1) & (capacity - 1), ++n) {
        uintptr_t slot = loadSlot(&table->slots[i]);
        if (slot == EMPTY || slot == ERASED) {
            storeSlot(&table->slots[i], key);
            return slot == ERASED;
        }
    }
    return false;
}

void freeTables(BlockTable* table) {
    while (table != nullptr) {
        BlockTable* replaced = table->replaced;
        std::free(table->slots);
        std::free(table);
        table = replaced;
    }
}

// The slot holding `key`, or null.
uintptr_t* slotHolding(BlockTable* table, uintptr_t key) {
    if (table == nullptr) return nullptr;
    const size_t capacity = table->capacity;
    for (size_t i = slotOf(key, capacity), n = 0; n < capacity; i = (i + 1) & (capacity - 1), ++n) {
        uintptr_t slot = loadSlot(&table->slots[i]);
        if (slot == key) return &table->slots[i];
        if (slot == EMPTY) return nullptr;
    }
    return nullptr;
}

// Rebuilds the table at a size that keeps it at most a quarter full; false when the host heap
// refuses, which leaves the old table as it was.
bool rebuild(BlockSet* set, size_t wanted) {
    size_t capacity = FIRST_CAPACITY;
    while (capacity < wanted * 4) capacity *= 2;
    auto* table = static_cast<BlockTable*>(std::malloc(sizeof(BlockTable)));
    auto* slots = static_cast<uintptr_t*>(std::calloc(capacity, sizeof(uintptr_t)));
    if (table == nullptr || slots == nullptr) {
        std::free(table);
        std::free(slots);
        return false;
    }
    BlockTable* old = set->table.load(std::memory_order_relaxed);
    *table = BlockTable{capacity, nullptr, slots};
    if (old != nullptr) {
        for (size_t i = 0; i < old->capacity; ++i) {
            uintptr_t slot = loadSlot(&old->slots[i]);
            if (slot != EMPTY && slot != ERASED) placeInto(table, slot);
        }
        old->replaced = set->retired;
        set->retired = old;
    }
    set->table.store(table, std::memory_order_seq_cst);
    set->erased = 0;
    return true;
}

// A lookup that starts after a table is replaced sees the new one: once no lookup is under way,
// none can still read a replaced table. Tried at every change until it succeeds, so that replaced
// tables do not pile up while other threads keep looking blocks up.
void freeReplacedTables(BlockSet* set) {
    if (set->retired != nullptr && noLookupUnderWay()) {
        freeTables(set->retired);
        set->retired = nullptr;
    }
}

}  // namespace

void blockSetInsert(BlockSet* set, const BlockHeader* block) {
    if (set->incomplete.load(std::memory_order_relaxed)) return;
    freeReplacedTables(set);
    BlockTable* table = set->table.load(std::memory_order_relaxed);
    size_t capacity = table != nullptr ? table->capacity : 0;
    // Three quarters of the slots in use or erased: grow or clean up before probing gets long.
    if ((set->count + set->erased + 1) * 4 > capacity * 3 && !rebuild(set, set->count + 1)) {
        // Without room the set can no longer answer for every block; lookups walk the lists.
        set->incomplete.store(true, std::memory_order_release);
        return;
    }
    if (placeInto(set->table.load(std::memory_order_relaxed), reinterpret_cast<uintptr_t>(block)))
        --set->erased;
    ++set->count;
}

void blockSetErase(BlockSet* set, const BlockHeader* block) {
    if (set->incomplete.load(std::memory_order_relaxed)) return;
    freeReplacedTables(set);
    uintptr_t* slot = slotHolding(set->table.load(std::memory_order_relaxed), reinterpret_cast<uintptr_t>(block));
    if (slot == nullptr) return;
    storeSlot(slot, ERASED);
    --set->count;
    ++set->erased;
}

bool blockSetContains(const BlockSet* set, const void* block) {
    return slotHolding(set->table.load(std::memory_order_seq_cst), reinterpret_cast<uintptr_t>(block)) !=
           nullptr;
}

void blockSetClear(BlockSet* set) {
    freeTables(set->table.load(std::memory_order_relaxed));
    freeTables(set->retired);
    set->table.store(nullptr, std::memory_order_relaxed);
    set->retired = nullptr;
    set->count = 0;
    set->erased = 0;
    set->incomplete.store(false, std::memory_order_relaxed);
}

void forgetBlocksOf(OsContext* context) {
    for (PoolCommon* pool = context->memPools.head; pool != nullptr; pool = pool->next) {
        for (uint32_t shard = 0; shard < ShardConstants::COUNT; ++shard) {
            for (BlockHeader* b = pool->blocks[shard].list.head; b != nullptr; b = b->next)
                blockSetErase(&shardBlocks(shard), b);
        }
    }
    for (PoolCommon* pool = context->refPools.head; pool != nullptr; pool = pool->next) {
        for (BlockHeader* b = pool->blocks[0].list.head; b != nullptr; b = b->next) blockSetErase(&g_refBlocks, b);
    }
}

}  // namespace ostrum
