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
    uint32_t reserved;
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
    BlockList blocks;
};

// Open-addressing set of block header addresses.
struct BlockSet {
    uintptr_t* slots;
    size_t capacity;  // a power of two, or 0 before the first block
    size_t count;
    size_t erased;
    bool incomplete;  // the host heap refused to grow it: it no longer answers for every block
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

// Every live memory block (under the list lock) and reference block (under the reference lock).
extern BlockSet g_memBlocks;
extern BlockSet g_refBlocks;
BlockSet& blockSetOf(bool refBlocks);
void blockSetInsert(BlockSet* set, const BlockHeader* block);
void blockSetErase(BlockSet* set, const BlockHeader* block);
bool blockSetContains(const BlockSet* set, const void* block);
void blockSetClear(BlockSet* set);
// A destroyed context's leaked blocks stay allocated but are no longer anybody's live blocks.
void forgetBlocksOf(OsContext* context);

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
// Checks every block of the pool; on damage calls the corruption callback and returns -1.
int checkPool(PoolCommon* pool, const char* file, int line);
void appendBlock(BlockList* list, BlockHeader* block);
void unlinkBlock(BlockList* list, BlockHeader* block);
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
