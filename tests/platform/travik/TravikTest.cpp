#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <cstdarg>
#include <cstring>
#include <string>
#include <vector>

#include "travik.h"

namespace {

const OsContextConfig kEmpty = {};
std::vector<std::string> Messages;
void collect(int level, const char* text) {
    Messages.push_back(std::to_string(level) + ":" + text);
}

// A context of its own and travik started on it.
class TravikTest : public ::testing::Test {
protected:
    void SetUp() override {
        Messages.clear();
        OsContextConfig config = {};
        config.leakCallback = [](const char*, const char* text) {
            if (text[0] == 'm') ++leaks;
            return 0;
        };
        config.leakTracking = 1;
        ASSERT_EQ(_osContextCreate(__FILE__, __LINE__, &context, "test", &config), OS_OK);
        ASSERT_EQ(slInit(context, SL_VERSION, collect), SL_OK);
    }
    void TearDown() override {
        EXPECT_EQ(slDestroy(context), SL_OK);
        EXPECT_EQ(_osContextDestroy(__FILE__, __LINE__, &context), OS_OK);
    }

    static std::atomic<int> leaks;
    OsContext* context = nullptr;
};
std::atomic<int> TravikTest::leaks{0};

int format(char* buffer, int size, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int rc = slVsnprintf(buffer, size, fmt, args);
    va_end(args);
    return rc;
}

}  // namespace

TEST(Travik, NothingIsCreatedBeforeStartAndStartIsChecked) {
    OsMutex* mutex = nullptr;
    EXPECT_EQ(_slMutexCreate(__FILE__, __LINE__, &mutex), SL_ERR_NOT_STARTED);
    EXPECT_EQ(mutex, nullptr);
    void* p = nullptr;
    EXPECT_EQ(_slMemAlloc(__FILE__, __LINE__, &p, 8), SL_ERR_NOT_STARTED);
    EXPECT_EQ(slInit(nullptr, SL_VERSION, nullptr), OS_ERR_ARGUMENT);
    OsContext* context = nullptr;
    OsContextConfig config = {};
    ASSERT_EQ(_osContextCreate(__FILE__, __LINE__, &context, "t", &config), OS_OK);
    EXPECT_EQ(slInit(context, 2, nullptr), SL_ERR_VERSION);
    EXPECT_EQ(slInit(context, SL_VERSION, nullptr), SL_OK);
    EXPECT_EQ(slInit(context, SL_VERSION, nullptr), SL_ERR_ALREADY_STARTED);
    EXPECT_EQ(slDestroy(nullptr), SL_ERR_NOT_STARTED);
    EXPECT_EQ(slDestroy(context), SL_OK);
    EXPECT_EQ(slDestroy(context), SL_ERR_NOT_STARTED);
    EXPECT_EQ(_osContextDestroy(__FILE__, __LINE__, &context), OS_OK);
}

TEST_F(TravikTest, ObjectsAreCreatedOnTheContextAndWorkWithOstrum) {
    EXPECT_EQ(Messages, std::vector<std::string>{"3:started"});
    OsMutex* mutex = nullptr;
    ASSERT_EQ(_slMutexCreate(__FILE__, __LINE__, &mutex), OS_OK);
    EXPECT_EQ(_osMutexLock(__FILE__, __LINE__, mutex), OS_OK);
    EXPECT_EQ(_osMutexUnlock(__FILE__, __LINE__, mutex), OS_OK);
    EXPECT_EQ(_osMutexDestroy(__FILE__, __LINE__, &mutex), OS_OK);

    OsMsgQ* queue = nullptr;
    ASSERT_EQ(_slMsgQCreate(__FILE__, __LINE__, &queue, 2, 4), OS_OK);
    int value = 1234;
    OsMsgQPiece piece = {&value, 4};
    EXPECT_EQ(_osMsgQSendV(__FILE__, __LINE__, queue, &piece, 1, 0), OS_OK);
    int received = 0;
    OsMsgQPiece into = {&received, 4};
    int count = 1;
    EXPECT_EQ(_osMsgQRecvV(__FILE__, __LINE__, queue, &into, &count, 0), OS_OK);
    EXPECT_EQ(received, 1234);
    EXPECT_EQ(_osMsgQDestroy(__FILE__, __LINE__, &queue), OS_OK);

    // A thread sets a signal; a timer sets another on its first tick.
    OsSignal* ran = nullptr;
    OsSignal* ticked = nullptr;
    ASSERT_EQ(_slSignalCreate(__FILE__, __LINE__, &ran), OS_OK);
    ASSERT_EQ(_slSignalCreate(__FILE__, __LINE__, &ticked), OS_OK);
    OsThread* thread = nullptr;
    static size_t signalStackSize = 0;
    auto body = [](void* s) {
        stack_t current = {};
        if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0) {
            signalStackSize = current.ss_size;
        }
        _osSignalSet(__FILE__, __LINE__, static_cast<OsSignal*>(s));
    };
    ASSERT_EQ(_slThreadExec(__FILE__, __LINE__, &thread, body, ran), OS_OK);
    EXPECT_EQ(_osSignalWait(__FILE__, __LINE__, ran), OS_OK);
    EXPECT_EQ(signalStackSize, static_cast<size_t>(SL_SIGNAL_STACK_SIZE))
        << "the thread has its own signal stack";
    EXPECT_EQ(_osThreadJoin(__FILE__, __LINE__, &thread), OS_OK);
    OsTimer* timer = nullptr;
    ASSERT_EQ(_slTimerCreate(
                  __FILE__, __LINE__, &timer,
                  [](void* s) { _osSignalSet(__FILE__, __LINE__, static_cast<OsSignal*>(s)); }, ticked),
              OS_OK);
    EXPECT_EQ(_osSignalWait(__FILE__, __LINE__, ticked), OS_OK);
    EXPECT_EQ(_osTimerDestroy(__FILE__, __LINE__, &timer), OS_OK);
    EXPECT_EQ(_osSignalDestroy(__FILE__, __LINE__, &ran), OS_OK);
    EXPECT_EQ(_osSignalDestroy(__FILE__, __LINE__, &ticked), OS_OK);
}

TEST_F(TravikTest, MemoryComesFromTheContextAndLeaksAreItsToReport) {
    char* p = nullptr;
    ASSERT_EQ(_slMemAlloc(__FILE__, __LINE__, reinterpret_cast<void**>(&p), 6), OS_OK);
    memcpy(p, "hello", 6);
    ASSERT_EQ(_slMemRealloc(__FILE__, __LINE__, reinterpret_cast<void**>(&p), 6000), OS_OK);
    EXPECT_STREQ(p, "hello");
    EXPECT_EQ(_osMemPoolFree(__FILE__, __LINE__, reinterpret_cast<void**>(&p)), OS_OK);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(_slMemAlloc(__FILE__, __LINE__, reinterpret_cast<void**>(&p), -1), OS_ERR_ARGUMENT);
    void* leaked = nullptr;
    ASSERT_EQ(_slMemAlloc(__FILE__, __LINE__, &leaked, 10), OS_OK);
    leaks = 0;
    EXPECT_EQ(slDestroy(context), SL_OK) << "a pool holding a leak stays with the context";
    EXPECT_EQ(_osContextDestroy(__FILE__, __LINE__, &context), OS_OK);
    EXPECT_GE(leaks, 1);
    // The fixture's teardown finds both already gone.
    ASSERT_EQ(_osContextCreate(__FILE__, __LINE__, &context, "again", &kEmpty), OS_OK);
    ASSERT_EQ(slInit(context, SL_VERSION, nullptr), SL_OK);
}

TEST(Travik, FormattingFailsWhenTheTextDoesNotFit) {
    struct Case {
        int size;
        int result;
        const char* text;
    } cases[] = {{32, SL_OK, "id 42 name eth0"},
                 {16, SL_OK, "id 42 name eth0"},
                 {15, SL_ERR_FORMAT, nullptr},
                 {0, OS_ERR_ARGUMENT, nullptr}};
    for (const Case& c : cases) {
        char buffer[32] = "";
        EXPECT_EQ(format(buffer, c.size, "id %d name %s", 42, "eth0"), c.result) << c.size;
        if (c.text != nullptr) {
            EXPECT_STREQ(buffer, c.text);
        }
    }
}

TEST(Travik, TimesCompareToTheSecond) {
    SlTime now = {};
    ASSERT_EQ(slTimeGetUTC(&now), SL_OK);
    EXPECT_GE(now.year, 2024);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31);
    EXPECT_TRUE(now.fraction >= 0 && now.fraction < 1000);
    const SlTime base = {30, 20, 10, 15, 6, 2009, 0};
    struct Case {
        SlTime other;
        int order;
    } cases[] = {
        {{30, 20, 10, 15, 6, 2009, 999}, 0}, {{31, 20, 10, 15, 6, 2009, 0}, 1},
        {{29, 20, 10, 15, 6, 2009, 0}, -1},  {{0, 0, 0, 1, 1, 2010, 0}, 1},
        {{59, 59, 23, 31, 12, 2008, 0}, -1}, {{30, 20, 10, 14, 7, 2009, 0}, 1},
        {{30, 21, 9, 15, 6, 2009, 0}, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(slTimeCompare(&c.other, &base), c.order);
        EXPECT_EQ(slTimeCompare(&base, &c.other), -c.order);
    }
    EXPECT_EQ(slTimeGetUTC(nullptr), OS_ERR_ARGUMENT);
}

TEST(Travik, TextsOfCodesKindsAndPaths) {
    EXPECT_STREQ(clErrorCodeToString(OS_ERR_NOT_FOUND), "OS_ERR_NOT_FOUND");
    EXPECT_STREQ(clErrorCodeToString(-999), "OS_ERR_UNKNOWN");
    EXPECT_STREQ(slErrorCodeToString(SL_ERR_NOT_STARTED), "SL_ERR_NOT_STARTED");
    EXPECT_STREQ(slErrorCodeToString(OS_ERR_BUSY), "OS_ERR_BUSY");
    EXPECT_STREQ(clTraceTypeToString(osDbgTraceType_thread), "thread");
    EXPECT_STREQ(clTraceOpcodeToString(osDbgTraceOp_exec), "exec");
    EXPECT_STREQ(clTraceOpcodeToString(99), "unknown");
    EXPECT_STREQ(clMemoryCorruptionReasonToString(osMemCorruption_tail), "tail guard damaged");
    struct Case {
        const char* path;
        const char* name;
    } cases[] = {{"src/os/osmutex.cpp", "osmutex.cpp"},
                 {"C:\\x\\y.cpp", "y.cpp"},
                 {"a/b\\c", "c"},
                 {"name", "name"},
                 {"dir/", ""}};
    for (const Case& c : cases) EXPECT_STREQ(slPathFileName(c.path), c.name);
    EXPECT_EQ(slPathFileName(nullptr), nullptr);
}
