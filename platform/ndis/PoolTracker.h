// Pool accounting of the stand-in: every tagged allocation is counted per tag so that tests can
// prove a driver returns all its memory, and an allocation can be told to fail. Each block
// carries its own record in front of it, so the accounting costs no lock on the frame path.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace ndissim {

class PoolTracker {
public:
    static PoolTracker& instance();

    // Like the kernel's, the memory is not cleared.
    void* allocate(size_t length, uint32_t tag);
    void free(void* address, size_t length);

    // Bytes and blocks still allocated under the tag.
    size_t outstandingBytes(uint32_t tag) const;
    size_t outstandingBlocks(uint32_t tag) const;
    // The next `count` allocations after `skip` successful ones fail.
    void failAllocations(size_t skip, size_t count);

private:
    struct TagCounts {
        std::atomic<uint64_t> tag{0};  // the tag plus one; 0 while the slot is free
        std::atomic<size_t> bytes{0};
        std::atomic<size_t> blocks{0};
    };
    static constexpr size_t TAG_SLOTS = 32;

    bool failThisOne();
    // The tag's counters; null when every slot holds another tag (then the tag is not counted).
    TagCounts* countsOf(uint32_t tag);
    const TagCounts* findCounts(uint32_t tag) const;

    TagCounts tags_[TAG_SLOTS];
    std::mutex failMutex_;
    std::atomic<bool> failing_{false};
    size_t skip_ = 0;
    size_t failCount_ = 0;
};

}  // namespace ndissim
