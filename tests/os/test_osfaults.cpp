// Error paths driven through the platform layer's failure injection.
#include <cstring>
#include <functional>
#include <string>

#include "platform/base/FailureInjection.h"
#include "platform/base/Win32Error.h"
#include "tests/os/OsTestSupport.h"

using namespace ostest;

namespace {

class FaultTest : public ContextTest {
protected:
    void TearDown() override {
        base::clearFailures();
        ContextTest::TearDown();
    }
    std::vector<std::string> leaks() {
        Seen& s = Seen::instance();
        std::lock_guard<std::mutex> lock(s.mutex);
        return s.leaks;
    }
};

TEST_F(FaultTest, FailedHostReallocationKeepsTheBlockAndTheCallersPointer) {
    open(makeConfig(0, 1, 0));
    OsMemPool* pool = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "keep", ctx));
    void* first = nullptr;
    void* p = nullptr;
    void* last = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &first, 8, pool));
    ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &p, 6, pool));
    ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &last, 8, pool));
    std::memcpy(p, "kept!", 6);
    void* before = p;

    base::failNext("heapRealloc", base::win32::ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_EQ(OS_ERR_NO_MEMORY, _osMemPoolRealloc(__FILE__, __LINE__, &p, 4096, pool));
    EXPECT_EQ(before, p);
    EXPECT_STREQ("kept!", static_cast<const char*>(p));

    // Still linked and intact: the guard-checked operations pass and every block frees cleanly.
    ASSERT_EQ(OS_OK, _osMemPoolRealloc(__FILE__, __LINE__, &p, 4096, pool));
    EXPECT_STREQ("kept!", static_cast<const char*>(p));
    EXPECT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &first));
    EXPECT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &p));
    EXPECT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &last));
    EXPECT_TRUE(Seen::instance().corruptions.empty());
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &pool));
}

TEST_F(FaultTest, FailedReallocationLeavesTheBlockInTheLeakReport) {
    open(makeConfig(0, 0, 1), "report");
    OsMemPool* pool = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "keep", ctx));
    void* p = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolAlloc("owner.cpp", 5, &p, 6, pool));
    base::failNext("heapRealloc", base::win32::ERROR_NOT_ENOUGH_MEMORY, 1);
    ASSERT_EQ(OS_ERR_NO_MEMORY, _osMemPoolRealloc(__FILE__, __LINE__, &p, 64, pool));
    ASSERT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));
    char expected[128];
    std::snprintf(expected, sizeof expected, "report|m%p  keep:        owner.cpp:5    len 6", p);
    bool found = false;
    for (const std::string& line : leaks()) found = found || line == expected;
    EXPECT_TRUE(found) << expected;
}

TEST_F(FaultTest, HostAllocationFailureIsReportedAndLeavesNoBlock) {
    open(makeConfig(0, 0, 1), "nomem");
    OsMemPool* pool = nullptr;
    ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "empty", ctx));
    void* p = nullptr;
    base::failNext("heapAlloc", base::win32::ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_EQ(OS_ERR_NO_MEMORY, _osMemPoolAlloc(__FILE__, __LINE__, &p, 16, pool));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &pool));
}

struct EventFailureCase {
    const char* name;
    int failingEvent;  // which event creation of the create fails, 1 = the first
    std::function<int(OsContext*)> create;
};

int createQueue(OsContext* c) {
    OsMsgQ* q = nullptr;
    int r = _osMsgQCreate(__FILE__, __LINE__, &q, 4, 16, c);
    return q == nullptr ? r : 999;
}

const EventFailureCase EVENT_FAILURES[] = {
    {"mutex", 1,
     [](OsContext* c) {
         OsMutex* m = nullptr;
         int r = _osMutexCreate(__FILE__, __LINE__, &m, c);
         return m == nullptr ? r : 999;
     }},
    {"signal", 1,
     [](OsContext* c) {
         OsSignal* s = nullptr;
         int r = _osSignalCreate(__FILE__, __LINE__, &s, c);
         return s == nullptr ? r : 999;
     }},
    {"queue's mutex", 1, createQueue},
    {"queue's first signal", 2, createQueue},
    {"queue's second signal", 3, createQueue},
    {"thread's start signal", 1,
     [](OsContext* c) {
         OsThread* t = nullptr;
         int r = _osThreadExec(
             __FILE__, __LINE__, &t, [](void*) {}, nullptr, c);
         return t == nullptr ? r : 999;
     }},
};

TEST_F(FaultTest, FailedEventCreationTearsDownWhatTheCreateMade) {
    for (const EventFailureCase& c : EVENT_FAILURES) {
        SCOPED_TRACE(c.name);
        Seen::instance().clear();
        open(makeConfig(0, 0, 1), "events");
        // The creations before the failing one go through.
        if (c.failingEvent > 1) base::failNext("createAutoResetEvent", 0, c.failingEvent - 1);
        base::failNext("createAutoResetEvent", base::win32::ERROR_NOT_ENOUGH_MEMORY, 1);
        EXPECT_EQ(OS_ERR_FAILED, c.create(ctx));
        base::clearFailures();
        ASSERT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));
        EXPECT_TRUE(leaks().empty()) << "the failed create left blocks in the context's pool";
    }
}

}  // namespace
