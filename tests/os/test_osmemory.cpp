#include <cstring>
#include <regex>

#include "tests/os/OsTestSupport.h"

using namespace ostest;

namespace {

uint32_t wordAt(const void* p, ptrdiff_t offset) {
    uint32_t w;
    std::memcpy(&w, static_cast<const unsigned char*>(p) + offset, 4);
    return w;
}

struct GuardCase {
    size_t size;
    uint32_t padMask;  // bytes of the last partial word beyond the size
    ptrdiff_t tailOffset;
};

const GuardCase GUARD_CASES[] = {
    {0, 0, 0}, {1, 0xFFFFFF00u, 4}, {2, 0xFFFF0000u, 4}, {3, 0xFF000000u, 4}, {4, 0, 4}, {5, 0xFFFFFF00u, 8},
};

class MemoryTest : public ContextTest {};

TEST_F(MemoryTest, BlocksCarryHeadPadAndTailGuardsForEverySize) {
    open(makeConfig());
    OsMemPool* pool = nullptr;
    OsRefPool* refs = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "guards", ctx));
    ASSERT_EQ(OS_OK, _osRefPoolCreate(__FILE__, __LINE__, &refs, "refs", nullptr, ctx));
    for (const GuardCase& c : GUARD_CASES) {
        SCOPED_TRACE(c.size);
        void* m = nullptr;
        void* r = nullptr;
        ASSERT_EQ(OS_OK, _osMemPoolZalloc(__FILE__, __LINE__, &m, c.size, pool));
        ASSERT_EQ(OS_OK, _osRefPoolAlloc(__FILE__, __LINE__, &r, c.size, refs));
        EXPECT_EQ(0xDEAD0101u, wordAt(m, -4));
        EXPECT_EQ(0xDEAD0201u, wordAt(r, -4));
        if (c.padMask != 0) {
            EXPECT_EQ(0xDEADBEAFu & c.padMask, wordAt(m, c.tailOffset - 4) & c.padMask);
            EXPECT_EQ(0xDEADBEAFu & c.padMask, wordAt(r, c.tailOffset - 4) & c.padMask);
            EXPECT_EQ(0u, wordAt(m, c.tailOffset - 4) & ~c.padMask) << "payload bytes must stay zeroed";
        }
        EXPECT_EQ(0xDEAD0102u, wordAt(m, c.tailOffset));
        EXPECT_EQ(0xDEAD0202u, wordAt(r, c.tailOffset));
        EXPECT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &m));
        EXPECT_EQ(OS_OK, _osRefPoolUnref(__FILE__, __LINE__, &r));
    }
    void* three = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &three, 3, pool));
    EXPECT_EQ(0xDE, static_cast<unsigned char*>(three)[3]);
    EXPECT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &three));
    EXPECT_EQ(OS_OK, _osRefPoolDestroy(__FILE__, __LINE__, &refs));
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &pool));
}

struct DamageCase {
    const char* name;
    size_t size;
    ptrdiff_t offset;  // relative to the payload
    int reason;
};

const DamageCase DAMAGE_CASES[] = {
    {"one byte past a 3-byte block", 3, 3, osMemCorruption_tail},
    {"first byte after a 4-byte block", 4, 4, osMemCorruption_tail},
    {"pad of a 5-byte block", 5, 6, osMemCorruption_tail},
    {"last byte of the head guard", 8, -1, osMemCorruption_head},
};

TEST_F(MemoryTest, DamagedGuardIsReportedAtTheNextCheckedOperation) {
    open(makeConfig(0, 1));
    OsMemPool* pool = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "damage", ctx));
    for (const DamageCase& c : DAMAGE_CASES) {
        SCOPED_TRACE(c.name);
        Seen::instance().clear();
        void* p = nullptr;
        ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &p, c.size, pool));
        auto* byte = static_cast<unsigned char*>(p) + c.offset;
        unsigned char saved = *byte;
        *byte ^= 0x5A;
        void* other = nullptr;
        int checkLine = __LINE__ + 1;
        EXPECT_EQ(OS_ERR_FAILED, _osMemPoolAlloc("checker.cpp", checkLine, &other, 16, pool));
        EXPECT_EQ(nullptr, other);
        {
            Seen& s = Seen::instance();
            std::lock_guard<std::mutex> lock(s.mutex);
            ASSERT_EQ(1u, s.corruptions.size());
            EXPECT_EQ(c.reason, s.corruptions[0].reason);
            EXPECT_EQ(p, s.corruptions[0].userPointer);
            EXPECT_EQ("checker.cpp", s.corruptions[0].file);
            EXPECT_EQ(checkLine, s.corruptions[0].line);
            EXPECT_EQ("test", s.corruptions[0].contextName);
        }
        *byte = saved;
        EXPECT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &p));
    }
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &pool));
}

TEST_F(MemoryTest, ReallocKeepsContentsAcrossGrowthAndShrink) {
    open(makeConfig(0, 1));
    OsMemPool* pool = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "grow", ctx));
    void* p = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolRealloc(__FILE__, __LINE__, &p, 5, pool)) << "a null pointer allocates";
    std::memcpy(p, "ABCDE", 5);
    const size_t sizes[] = {6, 7, 8, 9, 1000, 3};
    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        ASSERT_EQ(OS_OK, _osMemPoolRealloc(__FILE__, __LINE__, &p, size, pool));
        ASSERT_NE(nullptr, p);
        size_t kept = size < 5 ? size : 5;
        EXPECT_EQ(0, std::memcmp(p, "ABCDE", kept));
        EXPECT_EQ(0xDEAD0101u, wordAt(p, -4));
        EXPECT_EQ(0xDEAD0102u, wordAt(p, static_cast<ptrdiff_t>((size + 3) & ~size_t{3})));
    }
    EXPECT_TRUE(Seen::instance().corruptions.empty());
    EXPECT_EQ(OS_OK, _osMemPoolRealloc(__FILE__, __LINE__, &p, 0, pool)) << "size 0 frees";
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &pool));
}

TEST_F(MemoryTest, ReallocIntoAnotherPoolIsRefused) {
    open(makeConfig());
    OsMemPool* a = nullptr;
    OsMemPool* b = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &a, "a", ctx));
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &b, "b", ctx));
    void* p = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &p, 8, a));
    void* held = p;
    EXPECT_EQ(OS_ERR_FAILED, _osMemPoolRealloc(__FILE__, __LINE__, &p, 16, b));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &held));
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &a));
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &b));
}

TEST_F(MemoryTest, SizeLimitIsOneHundredMebibytes) {
    open(makeConfig());
    OsMemPool* pool = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "big", ctx));
    void* p = nullptr;
    EXPECT_EQ(OS_ERR_FAILED, _osMemPoolAlloc(__FILE__, __LINE__, &p, 104857601u, pool));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &p, 104857600u, pool));
    EXPECT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &p));
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &pool));
}

TEST_F(MemoryTest, AllocationsAreTracedWithPoolNameAndSize) {
    open(makeConfig(osDbgTraceType_memPool));
    OsMemPool* pool = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate("creator.cpp", 7, &pool, "traced", ctx));
    void* p = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolAlloc("alloc.cpp", 11, &p, 24, pool));
    void* user = p;
    ASSERT_EQ(OS_OK, _osMemPoolFree("free.cpp", 13, &p));
    std::vector<TraceSeen> traces;
    {
        Seen& s = Seen::instance();
        std::lock_guard<std::mutex> lock(s.mutex);
        traces = s.traces;
    }
    const void* poolRecord = pool;
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &pool));
    std::vector<TraceSeen> mine;
    for (const TraceSeen& t : traces) {
        if (t.object == poolRecord || t.object == user) mine.push_back(t);
    }
    ASSERT_EQ(4u, mine.size());
    // The pool record itself comes from the context's default pool, allocated by the library.
    EXPECT_EQ(osDbgTraceOp_alloc, mine[0].opcode);
    EXPECT_EQ("src/os/osmemory", mine[0].file);
    EXPECT_EQ(osDbgTraceOp_create, mine[1].opcode);
    EXPECT_EQ("creator.cpp", mine[1].file);
    EXPECT_EQ(7, mine[1].line);
    EXPECT_EQ(osDbgTraceOp_alloc, mine[2].opcode);
    EXPECT_EQ(24u, mine[2].extra2);
    EXPECT_EQ(osDbgTraceOp_free, mine[3].opcode);
    // A successful free is reported at the allocating position.
    EXPECT_EQ("alloc.cpp", mine[3].file);
    EXPECT_EQ(11, mine[3].line);
    for (const TraceSeen& t : mine) {
        EXPECT_EQ(static_cast<unsigned>(osDbgTraceType_memPool), t.kind);
        EXPECT_EQ("test", t.contextName);
    }
}

}  // namespace
