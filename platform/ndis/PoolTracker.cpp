#include "platform/ndis/PoolTracker.h"

#include <cstdio>
#include <cstdlib>

namespace ndissim {

PoolTracker& PoolTracker::instance() {
    static PoolTracker tracker;
    return tracker;
}

void* PoolTracker::allocate(size_t length, uint32_t tag) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (failCount_ > 0) {
        if (skip_ > 0) {
            --skip_;
        } else {
            --failCount_;
            return nullptr;
        }
    }
    void* block = std::calloc(1, length ? length : 1);
    if (block) blocks_[block] = Block{length, tag};
    return block;
}

void PoolTracker::free(void* address, size_t length) {
    if (!address) return;
    std::lock_guard<std::mutex> guard(mutex_);
    auto it = blocks_.find(address);
    if (it == blocks_.end() || it->second.length != length) {
        // A free of memory that was never handed out, or with the wrong size, is a driver bug
        // that the kernel would punish with a crash.
        std::fprintf(stderr, "ndis: bad free of %p (%zu bytes)\n", address, length);
        std::abort();
    }
    blocks_.erase(it);
    std::free(address);
}

size_t PoolTracker::outstandingBytes(uint32_t tag) const {
    std::lock_guard<std::mutex> guard(mutex_);
    size_t total = 0;
    for (const auto& [address, block] : blocks_)
        if (block.tag == tag) total += block.length;
    return total;
}

size_t PoolTracker::outstandingBlocks(uint32_t tag) const {
    std::lock_guard<std::mutex> guard(mutex_);
    size_t total = 0;
    for (const auto& [address, block] : blocks_)
        if (block.tag == tag) ++total;
    return total;
}

void PoolTracker::failAllocations(size_t skip, size_t count) {
    std::lock_guard<std::mutex> guard(mutex_);
    skip_ = skip;
    failCount_ = count;
}

}  // namespace ndissim
