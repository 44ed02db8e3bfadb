#include "runtime/lum/LumMemory.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#include "ostrum.h"
#include "platform/win/SrwLock.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Fatal.h"
#include "runtime/lum/LumMain.h"
#include "travik.h"
#include "vel/exception/MemoryException.h"

void lumMemAlloc(const char* file, int line, void** pp, int size) {
    if (!LUM_ASSERT(file && line > 0) || !LUM_ASSERT_TEXT(pp && *pp == nullptr, "pp && *pp == null") ||
        !LUM_ASSERT(0 <= size && size <= MemoryConstants::MAX_SIZE)) {
        throw MemoryException(OS_ERR_ARGUMENT);
    }
    void* p = nullptr;
    int rc = _slMemAlloc(file, line, &p, size);
    if (rc != OS_OK) throw MemoryException(rc);
    *pp = p;
}

void lumMemRealloc(const char* file, int line, void** pp, int size) {
    if (!LUM_ASSERT(file && line > 0) || !LUM_ASSERT_TEXT(pp, "ppByte") ||
        !LUM_ASSERT(0 <= size && size <= MemoryConstants::MAX_SIZE)) {
        throw MemoryException(OS_ERR_ARGUMENT);
    }
    void* p = *pp;
    int rc = _slMemRealloc(file, line, &p, size);
    // The allocator nulls the pointer on failure while the old block is still live; the caller
    // keeps its pointer so that it can still free it.
    if (rc != OS_OK) throw MemoryException(rc);
    *pp = p;
}

void lumMemFree(const char* file, int line, void** pp) {
    if (!LUM_ASSERT_TEXT(pp, "ppByte")) return;
    void* p = *pp;
    *pp = nullptr;
    int rc = _osMemPoolFree(file, line, &p);
    if (rc == OS_ERR_NOT_FOUND) fatalError("INVALID ADDRESS");
    if (rc != OS_OK) fatalError("%s failed with error %d{error}", "Free", rc);
}

namespace {

// Header in front of every operator new block: where the block came from. 16 bytes keep the
// payload aligned as the host heap aligns it.
constexpr uint64_t FROM_POOL = 0x6c6f6f702d6d756cULL;     // "lum-pool"
constexpr uint64_t FROM_HEAP = 0x706165682d6d756cULL;     // "lum-heap"
constexpr uint64_t FROM_ALIGNED = 0x6e67696c612d6d75ULL;  // over-aligned host block, base follows
constexpr size_t HEADER = 16;

// Whether operator new blocks come from the run-time's pool. Readers hold the lock across their
// pool call, so the pool cannot close under them; a plain lock without constructor or destructor,
// as it is used before static construction and after static destruction.
win::SRWLOCK PoolLock = SRWLOCK_INIT;
bool PoolOpen = false;

class PoolReader {
public:
    PoolReader() { win::AcquireSRWLockShared(&PoolLock); }
    ~PoolReader() { win::ReleaseSRWLockShared(&PoolLock); }
    PoolReader(const PoolReader&) = delete;
    PoolReader& operator=(const PoolReader&) = delete;
};

void setPoolOpen(bool open) {
    win::AcquireSRWLockExclusive(&PoolLock);
    PoolOpen = open;
    win::ReleaseSRWLockExclusive(&PoolLock);
}

}  // namespace

void lumMemoryOpen() {
    setPoolOpen(true);
}

void lumMemoryClose() {
    setPoolOpen(false);
}

void* lumNewBlock(const char* file, int line, size_t size) {
    bool open;
    {
        PoolReader reader;
        open = PoolOpen;
        if (open && size <= static_cast<size_t>(MemoryConstants::MAX_SIZE)) {
            void* p = nullptr;
            if (_slMemAlloc(file, line, &p, static_cast<int>(size + HEADER)) != OS_OK) throw std::bad_alloc();
            *static_cast<uint64_t*>(p) = FROM_POOL;
            return static_cast<char*>(p) + HEADER;
        }
    }
    // While the run-time stands, its limit holds for new as for every checked allocation: a larger
    // request is a broken invariant, not a quiet trip to the system's heap.
    if (open) {
        LUM_ASSERT_TEXT(size <= static_cast<size_t>(MemoryConstants::MAX_SIZE),
                        "0 <= size && size <= MemoryConstants::MAX_SIZE");
        throw std::bad_alloc();
    }
    void* p = malloc(size + HEADER);
    if (p == nullptr) throw std::bad_alloc();
    *static_cast<uint64_t*>(p) = FROM_HEAP;
    return static_cast<char*>(p) + HEADER;
}

void* lumNewAlignedBlock(size_t size, size_t alignment) {
    if (alignment <= HEADER) return lumNewBlock(__FILE__, __LINE__, size);
    // The payload starts one alignment into the block; the tag and the base sit just before it.
    void* base = aligned_alloc(alignment, ((size + alignment + alignment - 1) / alignment) * alignment);
    if (base == nullptr) throw std::bad_alloc();
    char* payload = static_cast<char*>(base) + alignment;
    reinterpret_cast<uint64_t*>(payload - HEADER)[0] = FROM_ALIGNED;
    reinterpret_cast<void**>(payload - HEADER)[1] = base;
    return payload;
}

void lumDeleteBlock(void* payload) {
    if (payload == nullptr) return;
    void* p = static_cast<char*>(payload) - HEADER;
    uint64_t origin = *static_cast<uint64_t*>(p);
    if (origin == FROM_HEAP) {
        free(p);
        return;
    }
    if (origin == FROM_ALIGNED) {
        free(static_cast<void**>(p)[1]);
        return;
    }
    if (!LUM_ASSERT(origin == FROM_POOL)) return;
    // A pool block that outlives the run-time went with its context (and is in its leak report).
    PoolReader reader;
    if (PoolOpen) lumMemFree("delete", 1, &p);
}
