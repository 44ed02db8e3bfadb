// Records shared by the library's modules. Nothing here leaves the library.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "ostrum.h"
#include "platform/win/Event.h"

namespace ostrum {

// Source texts the library passes to itself when one operation calls another.
inline constexpr const char* SRC_CONTEXT = "src/os/oscontext";
inline constexpr const char* SRC_MEMGUARD = "src/os/osmemguard";
inline constexpr const char* SRC_MEMORY = "src/os/osmemory";
inline constexpr const char* SRC_MUTEX = "src/os/osmutex";
inline constexpr const char* SRC_MSGQ = "src/os/osmsgq";
inline constexpr const char* SRC_REFGUARD = "src/os/osrefguard";
inline constexpr const char* SRC_REF = "src/os/osref";
inline constexpr const char* SRC_TIMER = "src/os/ostimer";
inline constexpr const char* SRC_SIGNAL = "src/os/ossignal_win32";
inline constexpr const char* SRC_THREAD = "src/os/osthread_win32";

struct GuardConstants {
    static constexpr uint32_t MEM_HEAD = 0xDEAD0101u;
    static constexpr uint32_t MEM_TAIL = 0xDEAD0102u;
    static constexpr uint32_t REF_HEAD = 0xDEAD0201u;
    static constexpr uint32_t REF_TAIL = 0xDEAD0202u;
    static constexpr uint32_t PAD = 0xDEADBEAFu;
    static constexpr unsigned char FREED_FILL = 0xEE;
};

inline constexpr size_t NAME_SIZE = OS_NAME_MAX + 1;

// Header words shared by memory and reference blocks.
struct BlockHeader {
    BlockHeader* next;
    BlockHeader** backLink;  // the previous block's "next" word, or the list head
    const char* file;
    intptr_t line;
    size_t size;
    uint64_t* callStack;  // frame count followed by the frames, or null
    struct PoolCommon* pool;
};

struct MemBlock {
    BlockHeader header;
    uint32_t shard;  // the shard whose lock guards the block's list links, fixed for its life
    uint32_t headGuard;
};

struct RefBlock {
    BlockHeader header;
    intptr_t count;
    uint32_t reserved[3];
    uint32_t headGuard;
};

// The payload follows the head guard directly and keeps the host allocator's alignment.
static_assert(sizeof(MemBlock) % 16 == 0);
static_assert(sizeof(RefBlock) % 16 == 0);
static_assert(offsetof(MemBlock, headGuard) + 4 == sizeof(MemBlock));
static_assert(offsetof(RefBlock, headGuard) + 4 == sizeof(RefBlock));

struct BlockList {
    BlockHeader* head;
    BlockHeader** tail;  // the last block's "next" word, or &head
};

struct ShardConstants {
    // Memory blocks are listed per shard, a thread allocating into its own shard, so that threads
    // allocating at once do not wait for each other. Reference pools use list 0 only.
    static constexpr uint32_t COUNT = 16;
    static constexpr size_t LINE = 64;
};

// One shard's list of a pool, alone on its cache line as far as the host allocator's alignment
// allows, so that two threads' lists do not share a line.
struct ShardList {
    BlockList list;
    char pad[ShardConstants::LINE - sizeof(BlockList)];
};

struct PoolCommon {
    PoolCommon* next;
    PoolCommon** backLink;
    char name[NAME_SIZE];
    OsContext* context;
    bool isRef;
    bool trace;
    bool guardCheck;
    bool leakTracking;
    bool callStacks;  // a stack per block; without it the report names the allocating file and line
    bool quietWhenEmpty;
    OsTraceCallback traceCallback;
    OsCorruptionCallback corruptionCallback;
    OsLeakCallback leakCallback;
    char contextName[NAME_SIZE];
    ShardList blocks[ShardConstants::COUNT];
};

// A table of the block set. A replaced table stays allocated until no lookup without the lock is
// under way, as such a lookup may still read the table it started on.
struct BlockTable {
    size_t capacity;  // a power of two
    BlockTable* replaced;
    uintptr_t* slots;
};

// Open-addressing set of block header addresses. Changed under its owner's lock; looked up under
// it or, for an address whose insertion happened before the lookup, without it.
struct BlockSet {
    // Read by other threads' lookups: kept off the line that every insertion writes.
    alignas(ShardConstants::LINE) std::atomic<BlockTable*> table;  // null before the first block
    std::atomic<bool> incomplete;  // the host heap refused to grow it: it no longer answers for every block
    alignas(ShardConstants::LINE) BlockTable* retired;  // replaced tables not yet freed
    size_t count;
    size_t erased;
};

struct PoolList {
    PoolCommon* head;
    PoolCommon** tail;
};

}  // namespace ostrum

struct OsMemPool : ostrum::PoolCommon {};

struct OsRefPool : ostrum::PoolCommon {
    OsRefDestructor destructor;
    OsRefIncCallback incCallback;
    OsRefDecCallback decCallback;
};

struct OsContext {
    OsContext* next;
    OsContext** backLink;
    char name[ostrum::NAME_SIZE];
    OsContextConfig config;
    OsMemPool defaultPool;
    ostrum::PoolList memPools;  // the default pool first
    ostrum::PoolList refPools;
    OsExitRecord* exitChain;
};

struct OsMutex {
    uint32_t owner;  // thread id of the holder, 0 when free; interlocked access only
    // Threads that found the mutex held and may wait on its event; interlocked access only. An
    // unlock sets the event only while one is there.
    uint32_t waiters;
    int count;
    win::EventHandle event;
    bool trace;
    OsContext* context;
    OsTraceCallback traceCallback;
    char contextName[ostrum::NAME_SIZE];
};

struct OsSignal {
    win::EventHandle event;
    OsContext* context;
    bool trace;
    OsTraceCallback traceCallback;
    char contextName[ostrum::NAME_SIZE];
};

namespace ostrum {

// ---- global state (oscontext) ----

struct TimerRecord;

struct Global {
    bool initialised;
    OsContext context;  // "OS", all-zero configuration
    OsContext* contextsHead;
    OsContext** contextsTail;
    OsMutex* listLock;
    OsMutex* refLock;
    uint32_t padMask[4];
    TimerRecord* timer;
    OsExitRecord timerExit;
    unsigned validation;  // OsDbgTraceType bits of the first context
};

extern Global g_os;

inline bool validates(unsigned kind) {
    return (g_os.validation & kind) != 0;
}

// Copies at most OS_NAME_MAX characters and terminates.
void copyName(char* dst, const char* src);

// The global locks are never traced or validated: they are taken by validation itself.
int mutexLockRaw(OsMutex* mutex);
int mutexUnlockRaw(OsMutex* mutex);

struct ListLock {
    ListLock();
    ~ListLock();
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;
};

// A shard's lock: recursive, as the context's destroy holds every shard while it frees.
struct ShardLock {
    explicit ShardLock(uint32_t shard);
    ~ShardLock();
    ShardLock(const ShardLock&) = delete;
    ShardLock& operator=(const ShardLock&) = delete;

private:
    uint32_t m_shard;
};

// Every shard's lock, taken in shard order.
struct AllShardsLock {
    AllShardsLock();
    ~AllShardsLock();
    AllShardsLock(const AllShardsLock&) = delete;
    AllShardsLock& operator=(const AllShardsLock&) = delete;
};

struct RefLock {
    RefLock();
    ~RefLock();
    RefLock(const RefLock&) = delete;
    RefLock& operator=(const RefLock&) = delete;
};

// Trace dispatch: calls the callback with the record and returns `status`, or -1 when the record
// cannot be dispatched (null file, line below 1, no callback) and `status` was 0.
int dispatchTrace(OsTraceCallback callback, const char* file, int line, const char* contextName,
                  const void* object, unsigned kind, unsigned opcode, int status, uintptr_t extra1 = 0,
                  uintptr_t extra2 = 0, uintptr_t extra3 = 0);

// Handle validation: is `object` the payload of a live block of some context's default pool?
bool isLiveObject(const void* object);
// Is `context` in the global list?
bool isLiveContext(const OsContext* context);
// Finds the block whose payload is `p` in any pool of any context; null when there is none.
BlockHeader* findBlockAnywhere(const void* p, bool refBlocks);

// ---- live block addresses (osblockset) ----

// Every live reference block, under the reference lock; memory blocks are in their shard's set.
extern BlockSet g_refBlocks;
void blockSetInsert(BlockSet* set, const BlockHeader* block);
void blockSetErase(BlockSet* set, const BlockHeader* block);
bool blockSetContains(const BlockSet* set, const void* block);
void blockSetClear(BlockSet* set);
// A destroyed context's leaked blocks stay allocated but are no longer anybody's live blocks.
// Under every shard's lock.
void forgetBlocksOf(OsContext* context);

// ---- shards of the memory block lists (osshard) ----

// The calling thread's shard.
uint32_t currentShard();
uint32_t shardOf(const BlockHeader* memBlock);
BlockSet& shardBlocks(uint32_t shard);
// Lookups that do not hold the set's lock run between these two.
void enterLookup();
void leaveLookup();
// No lookup without the lock is under way: replaced tables may go.
bool noLookupUnderWay();
// Finds a live memory block by its header address, the caller's shard first; null when none.
BlockHeader* findMemBlock(const void* header);
void clearShards();

// ---- blocks and guards (osmemguard, osrefguard) ----

// Where a block kind keeps its head guard and which guard values it uses.
struct GuardLayout {
    size_t headerSize;  // payload offset
    uint32_t head;
    uint32_t tail;
};
const GuardLayout& memGuardLayout();
const GuardLayout& refGuardLayout();
inline const GuardLayout& guardLayout(bool isRef) {
    return isRef ? refGuardLayout() : memGuardLayout();
}

size_t round4(size_t size);
size_t headerSize(bool isRef);
size_t blockTotalSize(size_t size, bool isRef);
void* payloadOf(BlockHeader* block);
BlockHeader* blockOf(const void* payload, bool isRef);
void writeGuards(BlockHeader* block, bool isRef);
// 0 intact, else the corruption reason.
int checkBlock(BlockHeader* block, bool isRef);
// Checks every block of the pool; on damage calls the corruption callback and returns -1. Memory
// pools take each shard's lock in turn; reference pools are checked under the reference lock.
int checkPool(PoolCommon* pool, const char* file, int line);
// Links the block at the list's tail and enters it in `set`; under the lock that guards both.
void appendBlock(BlockList* list, BlockHeader* block, BlockSet* set);
void unlinkBlock(BlockList* list, BlockHeader* block, BlockSet* set);
bool poolIsEmpty(const PoolCommon* pool);
void initPool(PoolCommon* pool, const char* name, OsContext* context, bool isRef);
void appendPool(PoolList* list, PoolCommon* pool);
void unlinkPool(PoolList* list, PoolCommon* pool);
// Reports one pool; false when the leak callback failed.
bool reportPoolLeaks(PoolCommon* pool);

// ---- call stacks (oscallstack) ----

uint64_t* captureCallStack();
void freeCallStack(uint64_t* record);
// Sends the record's lines to the pool's leak callback; false when the callback failed.
bool reportCallStack(const uint64_t* record, OsLeakCallback callback, const char* contextName);

// ---- internal entry points used across modules ----

int memAlloc(const char* file, int line, void** p, size_t size, OsMemPool* pool, bool zero);
// Creates the process's timer record and registers its teardown on the global context.
int createTimerRecord();

}  // namespace ostrum
