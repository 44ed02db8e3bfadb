// Result codes of misuse, one row per wrong call.
#include <functional>
#include <vector>

#include "tests/os/OsTestSupport.h"

using namespace ostest;

namespace {

void nothing(void*) {}
int noExit(OsExitRecord*) {
    return OS_OK;
}

struct Objects {
    OsContext* ctx;
    OsMemPool* pool;
    OsRefPool* refs;
    OsMutex* mutex;
    OsSignal* signal;
    OsMsgQ* queue;
};

struct MisuseCase {
    const char* name;
    int expected;
    std::function<int(Objects&)> call;
};

template <typename T>
T* notNull() {
    alignas(16) static unsigned char storage[256];
    return reinterpret_cast<T*>(storage);
}

const MisuseCase CASES[] = {
    {"context with empty name", OS_ERR_ARGUMENT,
     [](Objects&) {
         OsContext* c = nullptr;
         OsContextConfig config = makeConfig();
         int r = _osContextCreate(__FILE__, __LINE__, &c, "", &config);
         return c == nullptr ? r : 999;
     }},
    {"context with null name", OS_ERR_ARGUMENT,
     [](Objects&) {
         OsContext* c = nullptr;
         OsContextConfig config = makeConfig();
         return _osContextCreate(__FILE__, __LINE__, &c, nullptr, &config);
     }},
    {"context without configuration", OS_ERR_ARGUMENT,
     [](Objects&) {
         OsContext* c = nullptr;
         return _osContextCreate(__FILE__, __LINE__, &c, "x", nullptr);
     }},
    {"create into a non-empty out-pointer", OS_ERR_ARGUMENT,
     [](Objects& o) {
         OsMutex* m = notNull<OsMutex>();
         int r = _osMutexCreate(__FILE__, __LINE__, &m, o.ctx);
         return m == notNull<OsMutex>() ? r : 999;
     }},
    {"destroy of a null context", OS_OK,
     [](Objects&) {
         OsContext* c = nullptr;
         return _osContextDestroy(__FILE__, __LINE__, &c);
     }},
    {"exit record without function", OS_ERR_ARGUMENT,
     [](Objects& o) {
         OsExitRecord record{nullptr, nullptr};
         return _osContextAddExitFunc(__FILE__, __LINE__, &record, o.ctx);
     }},
    {"exit record with a dirty link", OS_ERR_FAILED,
     [](Objects& o) {
         OsExitRecord other{noExit, nullptr};
         OsExitRecord record{noExit, &other};
         return _osContextAddExitFunc(__FILE__, __LINE__, &record, o.ctx);
     }},
    {"pool with empty name", OS_ERR_ARGUMENT,
     [](Objects& o) {
         OsMemPool* p = nullptr;
         return _osMemPoolCreate(__FILE__, __LINE__, &p, "", o.ctx);
     }},
    {"allocation from no pool", OS_ERR_ARGUMENT,
     [](Objects&) {
         void* p = nullptr;
         return _osMemPoolAlloc(__FILE__, __LINE__, &p, 4, nullptr);
     }},
    {"free of a null pointer", OS_OK,
     [](Objects&) {
         void* p = nullptr;
         return _osMemPoolFree(__FILE__, __LINE__, &p);
     }},
    {"free through a null pointer-to-pointer", OS_ERR_ARGUMENT,
     [](Objects&) { return _osMemPoolFree(__FILE__, __LINE__, nullptr); }},
    {"unlock of a free mutex", OS_ERR_FAILED,
     [](Objects& o) { return _osMutexUnlock(__FILE__, __LINE__, o.mutex); }},
    {"lock of no mutex", OS_ERR_ARGUMENT, [](Objects&) { return _osMutexLock(__FILE__, __LINE__, nullptr); }},
    {"wait on no signal", OS_ERR_ARGUMENT,
     [](Objects&) { return _osSignalWait(__FILE__, __LINE__, nullptr); }},
    {"queue of capacity 0", OS_ERR_ARGUMENT,
     [](Objects& o) {
         OsMsgQ* q = nullptr;
         return _osMsgQCreate(__FILE__, __LINE__, &q, 0, 4, o.ctx);
     }},
    {"queue with negative maximum", OS_ERR_ARGUMENT,
     [](Objects& o) {
         OsMsgQ* q = nullptr;
         return _osMsgQCreate(__FILE__, __LINE__, &q, 1, -1, o.ctx);
     }},
    {"send of no pieces", OS_ERR_ARGUMENT,
     [](Objects& o) { return _osMsgQSendV(__FILE__, __LINE__, o.queue, nullptr, 1, 0); }},
    {"receive from an empty queue", OS_ERR_WOULD_BLOCK,
     [](Objects& o) {
         char b[8];
         OsMsgQPiece piece{b, 8};
         int n = 1;
         return _osMsgQRecvV(__FILE__, __LINE__, o.queue, &piece, &n, 0);
     }},
    {"count into nothing", OS_ERR_ARGUMENT, [](Objects& o) { return osMsgQCount(o.queue, nullptr); }},
    {"thread without function", OS_ERR_ARGUMENT,
     [](Objects& o) {
         OsThread* t = nullptr;
         return _osThreadExec(__FILE__, __LINE__, &t, nullptr, nullptr, o.ctx);
     }},
    {"join of a null thread", OS_OK,
     [](Objects&) {
         OsThread* t = nullptr;
         return _osThreadJoin(__FILE__, __LINE__, &t);
     }},
    {"id of no thread", OS_ERR_ARGUMENT,
     [](Objects&) {
         OsThreadId id = 7;
         int r = osThreadId(nullptr, &id);
         return id == 0 ? r : 999;
     }},
    {"equal with a null id", OS_ERR_ARGUMENT,
     [](Objects&) {
         OsThreadId id = 1;
         return osThreadEqual(&id, nullptr);
     }},
    {"self into nothing", OS_ERR_ARGUMENT, [](Objects&) { return osThreadSelf(nullptr); }},
    {"timer without callback", OS_ERR_ARGUMENT,
     [](Objects& o) {
         OsTimer* t = nullptr;
         return _osTimerCreate(__FILE__, __LINE__, &t, nullptr, nullptr, o.ctx);
     }},
    {"timer without context", OS_ERR_ARGUMENT,
     [](Objects&) {
         OsTimer* t = nullptr;
         return _osTimerCreate(__FILE__, __LINE__, &t, nothing, nullptr, nullptr);
     }},
    {"destroy of a null timer", OS_OK,
     [](Objects&) {
         OsTimer* t = nullptr;
         return _osTimerDestroy(__FILE__, __LINE__, &t);
     }},
    {"reference of nothing", OS_ERR_ARGUMENT,
     [](Objects&) {
         void* out = nullptr;
         return _osRefPoolRef(__FILE__, __LINE__, &out, nullptr);
     }},
    {"lookup without comparator", OS_ERR_ARGUMENT,
     [](Objects& o) {
         void* out = nullptr;
         return osRefPoolLookup(&out, nullptr, "k", o.refs);
     }},
    {"unlock of a reference lock not held", OS_ERR_FAILED,
     [](Objects& o) { return _osRefPoolUnlock(__FILE__, __LINE__, o.refs); }},
};

class MisuseTest : public ContextTest {};

TEST_F(MisuseTest, EachWrongCallGetsItsResultCode) {
    open(makeConfig());
    Objects o{ctx, nullptr, nullptr, nullptr, nullptr, nullptr};
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &o.pool, "pool", ctx));
    ASSERT_EQ(OS_OK, _osRefPoolCreate(__FILE__, __LINE__, &o.refs, "refs", nullptr, ctx));
    ASSERT_EQ(OS_OK, _osMutexCreate(__FILE__, __LINE__, &o.mutex, ctx));
    ASSERT_EQ(OS_OK, _osSignalCreate(__FILE__, __LINE__, &o.signal, ctx));
    ASSERT_EQ(OS_OK, _osMsgQCreate(__FILE__, __LINE__, &o.queue, 2, 8, ctx));
    for (const MisuseCase& c : CASES) EXPECT_EQ(c.expected, c.call(o)) << c.name;
    EXPECT_EQ(OS_OK, _osMsgQDestroy(__FILE__, __LINE__, &o.queue));
    EXPECT_EQ(OS_OK, _osSignalDestroy(__FILE__, __LINE__, &o.signal));
    EXPECT_EQ(OS_OK, _osMutexDestroy(__FILE__, __LINE__, &o.mutex));
    EXPECT_EQ(OS_OK, _osRefPoolDestroy(__FILE__, __LINE__, &o.refs));
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &o.pool));
}

struct ValidationCase {
    const char* name;
    std::function<int(void*)> call;
};

const ValidationCase VALIDATED[] = {
    {"mutex lock", [](void* p) { return _osMutexLock(__FILE__, __LINE__, static_cast<OsMutex*>(p)); }},
    {"signal set", [](void* p) { return _osSignalSet(__FILE__, __LINE__, static_cast<OsSignal*>(p)); }},
    {"queue count",
     [](void* p) {
         int n = 5;
         int r = osMsgQCount(static_cast<OsMsgQ*>(p), &n);
         return n == 0 ? r : 999;
     }},
    {"thread id",
     [](void* p) {
         OsThreadId id = 5;
         int r = osThreadId(static_cast<OsThread*>(p), &id);
         return id == 0 ? r : 999;
     }},
    {"memory free",
     [](void* p) {
         void* q = p;
         return _osMemPoolFree(__FILE__, __LINE__, &q);
     }},
    {"reference",
     [](void* p) {
         void* out = nullptr;
         return _osRefPoolRef(__FILE__, __LINE__, &out, p);
     }},
    {"pool allocation",
     [](void* p) {
         void* out = nullptr;
         return _osMemPoolAlloc(__FILE__, __LINE__, &out, 4, static_cast<OsMemPool*>(p));
     }},
    {"timer destroy",
     [](void* p) {
         OsTimer* t = static_cast<OsTimer*>(p);
         return _osTimerDestroy(__FILE__, __LINE__, &t);
     }},
};

TEST_F(MisuseTest, WithValidationOnForeignHandlesAreNotFound) {
    open(makeConfig(0, 0, 0, 0xFF));
    // Looks like a block to nobody: validation searches the lists and never reads through it.
    alignas(16) static unsigned char foreign[256] = {};
    for (const ValidationCase& c : VALIDATED) EXPECT_EQ(OS_ERR_NOT_FOUND, c.call(foreign + 128)) << c.name;
}

}  // namespace

namespace {

TEST_F(MisuseTest, WithManyLiveBlocksAFreeStillRefusesWhatTheContextDoesNotHold) {
    open(makeConfig(0, 0, 0, osDbgTraceType_memPool | osDbgTraceType_refPool));
    OsMemPool* pool = nullptr;
    OsRefPool* refs = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "many", ctx));
    ASSERT_EQ(OS_OK, _osRefPoolCreate(__FILE__, __LINE__, &refs, "refs", nullptr, ctx));
    std::vector<void*> live(5000, nullptr);
    for (void*& p : live) ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &p, 24, pool));
    void* ref = nullptr;
    ASSERT_EQ(OS_OK, _osRefPoolAlloc(__FILE__, __LINE__, &ref, 24, refs));
    // Half of them go, so that the rest are found among freed places.
    for (size_t i = 0; i < live.size(); i += 2)
        ASSERT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &live[i]));

    // A block of a context destroyed since is nobody's any more, though its memory is still there.
    OsContext* gone = nullptr;
    OsContextConfig config = makeConfig();
    ASSERT_EQ(OS_OK, _osContextCreate(__FILE__, __LINE__, &gone, "gone", &config));
    OsMemPool* left = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &left, "left", gone));
    void* orphan = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &orphan, 8, left));
    ASSERT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &gone));

    void* freed = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &freed, 24, pool));
    void* stale = freed;
    ASSERT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &freed));
    void* moving = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &moving, 16, pool));
    void* before = moving;
    ASSERT_EQ(OS_OK, _osMemPoolRealloc(__FILE__, __LINE__, &moving, 1 << 20, pool));

    alignas(16) static unsigned char foreign[256] = {};
    struct Refused {
        const char* name;
        void* address;
    } const refused[] = {
        {"an address the context never gave", foreign + 128},
        {"the inside of a live block", static_cast<char*>(live[1]) + 8},
        {"a block freed before", stale},
        {"a reference block freed as memory", ref},
        {"a block of a destroyed context", orphan},
    };
    for (const Refused& r : refused) {
        void* p = r.address;
        EXPECT_EQ(OS_ERR_NOT_FOUND, _osMemPoolFree(__FILE__, __LINE__, &p)) << r.name;
    }
    if (moving != before) {
        void* p = before;
        EXPECT_EQ(OS_ERR_NOT_FOUND, _osMemPoolFree(__FILE__, __LINE__, &p))
            << "the old place of a moved block";
    }
    void* memoryAsRef = live[1];
    void* out = nullptr;
    EXPECT_EQ(OS_ERR_NOT_FOUND, _osRefPoolRef(__FILE__, __LINE__, &out, memoryAsRef))
        << "memory as a reference";

    EXPECT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &moving));
    for (size_t i = 1; i < live.size(); i += 2)
        EXPECT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &live[i]));
    EXPECT_EQ(OS_OK, _osRefPoolUnref(__FILE__, __LINE__, &ref));
    EXPECT_EQ(OS_OK, _osRefPoolDestroy(__FILE__, __LINE__, &refs));
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &pool));
}

}  // namespace
