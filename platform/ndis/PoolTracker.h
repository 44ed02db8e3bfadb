// Pool accounting of the stand-in: every tagged allocation is counted per tag so that tests can
// prove a driver returns all its memory, and an allocation can be told to fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

namespace ndissim {

class PoolTracker {
public:
    static PoolTracker& instance();

    void* allocate(size_t length, uint32_t tag);
    void free(void* address, size_t length);

    // Bytes and blocks still allocated under the tag.
    size_t outstandingBytes(uint32_t tag) const;
    size_t outstandingBlocks(uint32_t tag) const;
    // The next `count` allocations after `skip` successful ones fail.
    void failAllocations(size_t skip, size_t count);

private:
    struct Block {
        size_t length;
        uint32_t tag;
    };
    mutable std::mutex mutex_;
    std::map<void*, Block> blocks_;
    size_t skip_ = 0;
    size_t failCount_ = 0;
};

}  // namespace ndissim
