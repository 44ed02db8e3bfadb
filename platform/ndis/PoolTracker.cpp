#include "platform/ndis/PoolTracker.h"

#include <cstdio>
#include <cstdlib>

namespace ndissim {

namespace {

// In front of every block; 16 bytes keep the payload aligned as the host heap aligns it.
struct BlockRecord {
    uint32_t magic;
    uint32_t tag;
    uint64_t length;
};
static_assert(sizeof(BlockRecord) == 16);

constexpr uint32_t LIVE = 0x4C495645u;   // "LIVE"
constexpr uint32_t FREED = 0x46524545u;  // "FREE"

[[noreturn]] void badFree(const void* address, size_t length) {
    // A free of memory that was never handed out, freed twice, or with the wrong size, is a
    // driver bug that the kernel would punish with a crash.
    std::fprintf(stderr, "ndis: bad free of %p (%zu bytes)\n", address, length);
    std::abort();
}

}  // namespace

PoolTracker& PoolTracker::instance() {
    static PoolTracker tracker;
    return tracker;
}

bool PoolTracker::failThisOne() {
    if (!failing_.load(std::memory_order_acquire)) return false;
    std::lock_guard<std::mutex> guard(failMutex_);
    if (failCount_ == 0) return false;
    if (skip_ > 0) {
        --skip_;
        return false;
    }
    if (--failCount_ == 0) failing_.store(false, std::memory_order_release);
    return true;
}

PoolTracker::TagCounts* PoolTracker::countsOf(uint32_t tag) {
    const uint64_t key = uint64_t{tag} + 1;
    for (TagCounts& slot : tags_) {
        uint64_t seen = slot.tag.load(std::memory_order_acquire);
        if (seen == 0 && slot.tag.compare_exchange_strong(seen, key)) return &slot;
        if (seen == key) return &slot;
    }
    return nullptr;
}

const PoolTracker::TagCounts* PoolTracker::findCounts(uint32_t tag) const {
    const uint64_t key = uint64_t{tag} + 1;
    for (const TagCounts& slot : tags_) {
        if (slot.tag.load(std::memory_order_acquire) == key) return &slot;
    }
    return nullptr;
}

void* PoolTracker::allocate(size_t length, uint32_t tag) {
    if (failThisOne()) return nullptr;
    auto* record = static_cast<BlockRecord*>(std::malloc(sizeof(BlockRecord) + (length ? length : 1)));
    if (record == nullptr) return nullptr;
    *record = BlockRecord{LIVE, tag, length};
    if (TagCounts* counts = countsOf(tag)) {
        counts->bytes.fetch_add(length, std::memory_order_relaxed);
        counts->blocks.fetch_add(1, std::memory_order_relaxed);
    }
    return record + 1;
}

void PoolTracker::free(void* address, size_t length) {
    if (!address) return;
    auto* record = static_cast<BlockRecord*>(address) - 1;
    if (record->magic != LIVE || record->length != length) badFree(address, length);
    record->magic = FREED;
    if (TagCounts* counts = countsOf(record->tag)) {
        counts->bytes.fetch_sub(length, std::memory_order_relaxed);
        counts->blocks.fetch_sub(1, std::memory_order_relaxed);
    }
    std::free(record);
}

size_t PoolTracker::outstandingBytes(uint32_t tag) const {
    const TagCounts* counts = findCounts(tag);
    return counts ? counts->bytes.load() : 0;
}

size_t PoolTracker::outstandingBlocks(uint32_t tag) const {
    const TagCounts* counts = findCounts(tag);
    return counts ? counts->blocks.load() : 0;
}

void PoolTracker::failAllocations(size_t skip, size_t count) {
    std::lock_guard<std::mutex> guard(failMutex_);
    skip_ = skip;
    failCount_ = count;
    failing_.store(count > 0, std::memory_order_release);
}

}  // namespace ndissim
