#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "tests/os/OsTestSupport.h"

using namespace ostest;

namespace {

class ContextLifecycleTest : public ContextTest {};

std::vector<int> g_exitOrder;

int recordExit(OsExitRecord* record);

struct NumberedExit {
    OsExitRecord record;
    int number;
};

int recordExit(OsExitRecord* record) {
    g_exitOrder.push_back(reinterpret_cast<NumberedExit*>(record)->number);
    return OS_OK;
}

TEST_F(ContextLifecycleTest, ExitFunctionsRunNewestFirstAndOnlyOnce) {
    open(makeConfig());
    g_exitOrder.clear();
    NumberedExit first{{recordExit, nullptr}, 1};
    NumberedExit second{{recordExit, nullptr}, 2};
    ASSERT_EQ(OS_OK, _osContextAddExitFunc(__FILE__, __LINE__, &first.record, ctx));
    ASSERT_EQ(OS_OK, _osContextAddExitFunc(__FILE__, __LINE__, &second.record, ctx));
    EXPECT_EQ(OS_ERR_BUSY, _osContextAddExitFunc(__FILE__, __LINE__, &first.record, ctx));
    EXPECT_EQ(OS_ERR_BUSY, _osContextAddExitFunc(__FILE__, __LINE__, &second.record, ctx));
    ASSERT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));
    EXPECT_EQ((std::vector<int>{2, 1}), g_exitOrder);
    EXPECT_EQ(nullptr, first.record.link);
    EXPECT_EQ(nullptr, second.record.link);
}

TEST_F(ContextLifecycleTest, LibraryStartsAfreshAfterTheLastContextWithNewValidation) {
    int notAnObject = 0;
    auto* fake = reinterpret_cast<OsMutex*>(&notAnObject);

    open(makeConfig(0, 0, 0, osDbgTraceType_mutex));
    EXPECT_EQ(OS_ERR_NOT_FOUND, _osMutexLock(__FILE__, __LINE__, fake));
    ASSERT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));

    // Validation follows the first context of each library lifetime, not this later one.
    OsContext* second = nullptr;
    OsContextConfig config = makeConfig(0, 0, 0, osDbgTraceType_signal);
    ASSERT_EQ(OS_OK, _osContextCreate(__FILE__, __LINE__, &ctx, "first", &config));
    config.handleValidation = osDbgTraceType_mutex;
    ASSERT_EQ(OS_OK, _osContextCreate(__FILE__, __LINE__, &second, "second", &config));
    EXPECT_EQ(OS_ERR_NOT_FOUND, _osSignalSet(__FILE__, __LINE__, reinterpret_cast<OsSignal*>(&notAnObject)));
    OsMutex* real = nullptr;
    ASSERT_EQ(OS_OK, _osMutexCreate(__FILE__, __LINE__, &real, second));
    EXPECT_EQ(OS_OK, _osMutexLock(__FILE__, __LINE__, real));
    EXPECT_EQ(OS_OK, _osMutexUnlock(__FILE__, __LINE__, real));
    EXPECT_EQ(OS_OK, _osMutexDestroy(__FILE__, __LINE__, &real));
    EXPECT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &second));
}

TEST_F(ContextLifecycleTest, ValidatedContextOperationsRejectUnknownContexts) {
    open(makeConfig(0, 0, 0, 0xFF));
    alignas(16) unsigned char bogus[512] = {};
    auto* fake = reinterpret_cast<OsContext*>(bogus);
    OsMutex* m = nullptr;
    OsMsgQ* q = nullptr;
    OsMemPool* pool = nullptr;
    EXPECT_EQ(OS_ERR_NOT_FOUND, _osMutexCreate(__FILE__, __LINE__, &m, fake));
    EXPECT_EQ(OS_ERR_NOT_FOUND, _osMsgQCreate(__FILE__, __LINE__, &q, 1, 4, fake));
    EXPECT_EQ(OS_ERR_NOT_FOUND, _osMemPoolCreate(__FILE__, __LINE__, &pool, "x", fake));
    OsContext* alias = fake;
    EXPECT_EQ(OS_ERR_NOT_FOUND, _osContextDestroy(__FILE__, __LINE__, &alias));
    EXPECT_EQ(nullptr, m);
    EXPECT_EQ(nullptr, q);
}

TEST_F(ContextLifecycleTest, ContextOperationsAreTracedWhenAsked) {
    open(makeConfig(osDbgTraceType_context), "a-long-context-name");
    ASSERT_EQ(OS_OK, _osContextDestroy("destroyer.cpp", 99, &ctx));
    Seen& s = Seen::instance();
    std::lock_guard<std::mutex> lock(s.mutex);
    ASSERT_EQ(2u, s.traces.size());
    EXPECT_EQ(osDbgTraceOp_create, s.traces[0].opcode);
    EXPECT_EQ(osDbgTraceOp_destroy, s.traces[1].opcode);
    EXPECT_EQ("destroyer.cpp", s.traces[1].file);
    EXPECT_EQ(99, s.traces[1].line);
    for (const TraceSeen& t : s.traces) {
        EXPECT_EQ("a-long-c", t.contextName) << "names keep 8 characters";
        EXPECT_EQ(static_cast<unsigned>(osDbgTraceType_context), t.kind);
    }
}

TEST_F(ContextLifecycleTest, TracedCreateWithoutPositionLeavesNothingBehind) {
    OsContextConfig config = makeConfig(osDbgTraceType_context);
    EXPECT_EQ(OS_ERR_FAILED, _osContextCreate(__FILE__, 0, &ctx, "nope", &config));
    EXPECT_EQ(nullptr, ctx);
    EXPECT_EQ(OS_ERR_FAILED, _osContextCreate(nullptr, 5, &ctx, "nope", &config));
    EXPECT_EQ(nullptr, ctx);
    // The library went back to uninitialised: this context's validation bits are the ones in force.
    open(makeConfig(0, 0, 0, osDbgTraceType_mutex));
    int notAnObject = 0;
    EXPECT_EQ(OS_ERR_NOT_FOUND, _osMutexLock(__FILE__, __LINE__, reinterpret_cast<OsMutex*>(&notAnObject)));
}

// ---- leak reports ----

class LeakReportTest : public ContextTest {
protected:
    std::vector<std::string> leaks() {
        Seen& s = Seen::instance();
        std::lock_guard<std::mutex> lock(s.mutex);
        return s.leaks;
    }
};

std::string ptr(const void* p) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", p);
    return text;
}

TEST_F(LeakReportTest, ReportListsReferencePoolsThenMemoryPoolsWithEveryBlock) {
    open(makeConfig(0, 0, OS_LEAK_REPORT | OS_LEAK_CALL_STACKS), "leaky");
    OsMemPool* blocks = nullptr;
    OsMemPool* empty = nullptr;
    OsRefPool* refs = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &blocks, "blocks", ctx));
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &empty, "empty", ctx));
    ASSERT_EQ(OS_OK, _osRefPoolCreate(__FILE__, __LINE__, &refs, "refs", nullptr, ctx));
    void* a = nullptr;
    void* b = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolAlloc("src/vel/x/first.cpp", 42, &a, 7, blocks));
    ASSERT_EQ(OS_OK, _osMemPoolAlloc("C:\\work\\second.cpp", 1234, &b, 100, blocks));
    OsMemPool* held = blocks;
    EXPECT_EQ(OS_ERR_BUSY, _osMemPoolDestroy(__FILE__, __LINE__, &blocks));
    EXPECT_EQ(nullptr, blocks);

    ASSERT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));
    std::vector<std::string> lines = leaks();

    auto find = [&](const std::string& line) {
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == line) return static_cast<long>(i);
        }
        return -1L;
    };
    long refLine = find("leaky|m" + ptr(refs) + " RefPoolName: refs");
    long emptyLine = find("leaky|m" + ptr(empty) + " MemPoolName:empty");
    long firstLine = find("leaky|m" + ptr(a) + " blocks:        first.cpp:42   len 7");
    long secondLine = find("leaky|m" + ptr(b) + " blocks:       second.cpp:1234 len 100");
    ASSERT_GE(refLine, 0);
    ASSERT_GE(emptyLine, 0);
    ASSERT_GE(firstLine, 0);
    ASSERT_GE(secondLine, 0);
    EXPECT_LT(refLine, firstLine) << "reference pools come first";
    EXPECT_LT(firstLine, secondLine) << "blocks oldest first";
    EXPECT_LT(firstLine, emptyLine) << "pools in creation order";
    // Asked for call stacks, each block line is followed by its stack.
    ASSERT_LT(static_cast<size_t>(firstLine + 1), lines.size());
    EXPECT_TRUE(std::regex_match(lines[firstLine + 1], std::regex("leaky\\|    [^ ].*:[0-9]+")))
        << lines[firstLine + 1];
    (void)held;
}

TEST_F(LeakReportTest, ByDefaultEachBlockIsNamedByItsAllocatingLineWithoutAStack) {
    open(makeConfig(0, 0, OS_LEAK_REPORT), "plain");
    OsMemPool* pool = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "plain", ctx));
    void* a = nullptr;
    void* b = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolAlloc("src/vel/x/caller.cpp", 17, &a, 12, pool));
    ASSERT_EQ(OS_OK, _osMemPoolRealloc("src/vel/x/grower.cpp", 88, &a, 40, pool));
    ASSERT_EQ(OS_OK, _osMemPoolAlloc("src/vel/x/other.cpp", 9, &b, 3, pool));
    ASSERT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));

    // The reallocated block is named by its last allocating line, and no stack lines follow.
    const std::vector<std::string> lines = leaks();
    const std::vector<std::string> blocks = {"plain|m" + ptr(a) + " plain:       grower.cpp:88   len 40",
                                             "plain|m" + ptr(b) + " plain:        other.cpp:9    len 3"};
    auto first = std::find(lines.begin(), lines.end(), blocks[0]);
    ASSERT_NE(lines.end(), first) << blocks[0];
    ASSERT_NE(lines.end(), first + 1);
    EXPECT_EQ(blocks[1], *(first + 1));
    for (const std::string& line : lines) EXPECT_EQ(std::string::npos, line.find("|    ")) << line;
}

TEST_F(LeakReportTest, EmptyDefaultPoolIsQuietAndFailingCallbackStopsTheReport) {
    open(makeConfig(0, 0, 1), "quiet");
    ASSERT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));
    EXPECT_TRUE(leaks().empty());

    open(makeConfig(0, 0, 1), "stops");
    OsMemPool* pool = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "many", ctx));
    for (int i = 0; i < 3; ++i) {
        void* p = nullptr;
        ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &p, 8, pool));
    }
    Seen::instance().failLeakAfter = 1;
    ASSERT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));
    EXPECT_EQ(1u, leaks().size());
}

TEST_F(LeakReportTest, NoReportWithoutLeakTracking) {
    open(makeConfig(0, 0, 0));
    OsMemPool* pool = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "kept", ctx));
    void* p = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &p, 8, pool));
    ASSERT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));
    EXPECT_TRUE(leaks().empty());
}

}  // namespace
