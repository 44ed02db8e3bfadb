#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "ostrum.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LumMain.h"
#include "runtime/lum/LumMemory.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "runtime/multithread/RuntimeSignal.h"
#include "tests/runtime/lum/LumTestSupport.h"
#include "travik.h"
#include "vel/exception/MemoryException.h"
#include "vel/exception/NvoException.h"

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

int Assertions = 0;
void countAssertion(const char*, int, const char*) {
    ++Assertions;
}

class LumMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        Assertions = 0;
        previous = setAssertionHandler(countAssertion);
    }
    void TearDown() override { setAssertionHandler(previous); }

    TempRoot root;
    AssertionHandler previous = nullptr;
};

}  // namespace

TEST_F(LumMainTest, LifetimeRunsFromCreatingToReadyToReleased) {
    EXPECT_NE(LumMain::lifetime(), LIFETIME_READY);
    {
        LumRuntime runtime;
        EXPECT_EQ(LumMain::lifetime(), LIFETIME_READY);
        EXPECT_NE(LumMain::context(), nullptr);
        ASSERT_NE(ReferenceMutex, nullptr);
        EXPECT_TRUE(ReferenceMutex->isOpen());
    }
    EXPECT_EQ(LumMain::lifetime(), LIFETIME_RELEASED);
    EXPECT_EQ(ReferenceMutex, nullptr);
    EXPECT_EQ(LumMain::context(), nullptr);
    EXPECT_EQ(Assertions, 0);
    // A second run in the same process starts cleanly.
    { LumRuntime again; }
    EXPECT_EQ(Assertions, 0);
}

TEST_F(LumMainTest, CleanRunEndsWithNoLeaks) {
    {
        LumRuntime runtime;
        void* p = nullptr;
        lumMemAlloc(__FILE__, __LINE__, &p, 100);
        lumMemFree(__FILE__, __LINE__, &p);
        EXPECT_EQ(p, nullptr);
    }
    EXPECT_THAT(readText(root.log()), HasSubstr("]: No memory leaks detected\n"));
    EXPECT_THAT(readText(root.log()), Not(HasSubstr("MEMLEAK")));
    EXPECT_EQ(LumMain::leakCount(), 0);
}

TEST_F(LumMainTest, LeakIsReportedThroughTheLeakCallbackAndCounted) {
    int line = 0;
    {
        LumRuntime runtime;
        void* leaked = nullptr;
        void* second = nullptr;
        line = __LINE__ + 1;
        lumMemAlloc(__FILE__, line, &leaked, 24);
        lumMemAlloc(__FILE__, line + 1, &second, 8);
    }
    std::string text = readText(root.log());
    EXPECT_THAT(text, ContainsRegex("Ostrum:MEMLEAK:[01]: context vel, m0x[0-9a-f]+ +OS: +osmemory"));
    EXPECT_THAT(text, ContainsRegex("Ostrum:MEMLEAK:1: context vel, m0x[0-9a-f]+ travik: +LumMainTest.cpp:" +
                                    std::to_string(line) + " +len 24"));
    EXPECT_THAT(text, ContainsRegex("Ostrum:MEMLEAK:2: context vel, m0x[0-9a-f]+ travik: +LumMainTest.cpp:" +
                                    std::to_string(line + 1) + " +len 8"));
    EXPECT_THAT(text,
                HasSubstr("]: 2 memory leak(s) detected, consult Ostrum log message(s) above for detailed "
                          "report\n"));
    EXPECT_EQ(LumMain::leakCount(), 2);
}

// Whether a leaked block's line is followed by its call stack follows the debug level in force
// when the run-time starts.
struct StackCase {
    const char* name;
    int levelMask;
    bool stacks;
};

class LeakStackTest : public LumMainTest, public ::testing::WithParamInterface<StackCase> {};

TEST_P(LeakStackTest, LeakedBlockLineIsFollowedByItsStackOnlyWhenAskedFor) {
    const int previousMask = logLevelMask();
    setLogLevelMask(GetParam().levelMask);
    int line = 0;
    {
        LumRuntime runtime;
        void* leaked = nullptr;
        line = __LINE__ + 1;
        lumMemAlloc(__FILE__, line, &leaked, 40);
    }
    setLogLevelMask(previousMask);
    const std::regex block("Ostrum:MEMLEAK:1: context vel, m0x[0-9a-f]+ travik: +LumMainTest.cpp:" +
                           std::to_string(line) + " +len 40$");
    // A stack line is the same record with an indented "file:offset" text.
    const std::regex stackLine("Ostrum:MEMLEAK:1: context vel,     [^ ]+:[0-9]+$");
    std::vector<std::string> lines;
    std::string text = readText(root.log());
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
    }
    auto found = std::find_if(lines.begin(), lines.end(),
                              [&](const std::string& l) { return std::regex_search(l, block); });
    ASSERT_NE(found, lines.end()) << text;
    const bool stackFollows = found + 1 != lines.end() && std::regex_search(*(found + 1), stackLine);
    EXPECT_EQ(GetParam().stacks, stackFollows) << text;
    EXPECT_EQ(LumMain::leakCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Levels, LeakStackTest,
                         ::testing::Values(StackCase{"ByLineOnly", LogConstants::INITIAL_MASK, false},
                                           StackCase{"WithCallStacks",
                                                     LogConstants::INITIAL_MASK | LogConstants::CALL_STACKS,
                                                     true}),
                         [](const ::testing::TestParamInfo<StackCase>& info) { return info.param.name; });

TEST_F(LumMainTest, ThreadsAreTracedAtDebugLevel) {
    {
        LumRuntime runtime;
        OsThread* thread = nullptr;
        ASSERT_EQ(_slThreadExec(
                      __FILE__, __LINE__, &thread, [](void*) { logInfo(0, "in the thread"); }, nullptr),
                  OS_OK);
        ASSERT_EQ(_osThreadJoin(__FILE__, __LINE__, &thread), OS_OK);
    }
    std::string text = readText(root.log());
    // One number for the thread in its own lines and in the traces of its start and end.
    std::smatch exec, own, join;
    ASSERT_TRUE(std::regex_search(text, exec, std::regex(R"(thread exec, .*thread_id=(\d+)\n)")));
    ASSERT_TRUE(std::regex_search(text, own, std::regex(R"(%\[tid=(\d+)\]: in the thread\n)")));
    ASSERT_TRUE(std::regex_search(text, join, std::regex(R"(thread join, .*thread_id=(\d+)\n)")));
    EXPECT_EQ(own[1].str(), exec[1].str());
    EXPECT_EQ(own[1].str(), join[1].str());
    EXPECT_THAT(
        text, ContainsRegex("%BRISEL-7-DEBUG_MSG: %\\[tid=[0-9]+\\]: Ostrum:TRACE: context=vel, thread exec, "
                            "LumMainTest.cpp:[0-9]+, m0x[0-9a-f]+, err=0\\(OS_OK\\), thread_id=[0-9]+\n"));
    EXPECT_THAT(text,
                ContainsRegex("Ostrum:TRACE: context=vel, thread join, LumMainTest.cpp:[0-9]+, m0x[0-9a-f]+, "
                              "err=0\\(OS_OK\\), thread_id=[0-9]+\n"));
}

TEST_F(LumMainTest, MemoryUpToTheLimitIsGivenAndBeyondItRefused) {
    LumRuntime runtime;
    struct Case {
        int size;
        bool given;
    } cases[] = {{0, true},
                 {1, true},
                 {MemoryConstants::MAX_SIZE, true},
                 {MemoryConstants::MAX_SIZE + 1, false},
                 {-1, false}};
    for (const Case& c : cases) {
        Assertions = 0;
        unsigned char* p = nullptr;
        bool thrown = false;
        try {
            lumAlloc(__FILE__, __LINE__, &p, c.size);
        } catch (const MemoryException&) {
            thrown = true;
        }
        EXPECT_EQ(thrown, !c.given) << c.size;
        EXPECT_EQ(Assertions, c.given ? 0 : 1) << c.size;
        EXPECT_EQ(p != nullptr, c.given) << c.size;
        if (p != nullptr) {
            if (c.size > 0) p[c.size - 1] = 1;
            lumFree(__FILE__, __LINE__, &p);
        }
    }
}

TEST_F(LumMainTest, ReallocationKeepsTheContentsAndAFilledPointerIsRefused) {
    LumRuntime runtime;
    char* p = nullptr;
    lumRealloc(__FILE__, __LINE__, &p, 4);
    memcpy(p, "abc", 4);
    lumRealloc(__FILE__, __LINE__, &p, 4000);
    EXPECT_STREQ(p, "abc");
    EXPECT_THROW(lumAlloc(__FILE__, __LINE__, &p, 10), MemoryException) << "the pointer must be empty";
    EXPECT_EQ(Assertions, 1);
    EXPECT_STREQ(p, "abc") << "the caller's block is untouched";
    lumFree(__FILE__, __LINE__, &p);
    EXPECT_EQ(p, nullptr);
}

TEST_F(LumMainTest, FreeingAnAddressTheContextDoesNotHoldIsFatal) {
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_DEATH(
        {
            LumRuntime runtime;
            static int notABlock[16];
            void* p = &notABlock[8];
            lumMemFree(__FILE__, __LINE__, &p);
        },
        "FATAL: INVALID ADDRESS");
}

TEST_F(LumMainTest, OperatorNewBlocksComeFromWhereverTheRunTimeStands) {
    void* before = lumNewBlock(__FILE__, __LINE__, 32);
    void* during = nullptr;
    {
        LumRuntime runtime;
        during = lumNewBlock(__FILE__, __LINE__, 32);
        void* freed = lumNewBlock(__FILE__, __LINE__, 32);
        lumDeleteBlock(freed);
        lumDeleteBlock(before);
    }
    // The block of the run-time that is gone went with its context, and was reported there.
    EXPECT_THAT(readText(root.log()), HasSubstr("]: 1 memory leak(s) detected"));
    lumDeleteBlock(during);
    void* after = lumNewBlock(__FILE__, __LINE__, 32);
    lumDeleteBlock(after);
    EXPECT_EQ(Assertions, 0);
}

TEST_F(LumMainTest, OperatorNewHoldsToTheLimitOfCheckedMemory) {
    LumRuntime runtime;
    struct Case {
        size_t size;
        bool given;
    } cases[] = {{0, true},
                 {static_cast<size_t>(MemoryConstants::MAX_SIZE), true},
                 {static_cast<size_t>(MemoryConstants::MAX_SIZE) + 1, false},
                 {static_cast<size_t>(MemoryConstants::MAX_SIZE) * 4, false}};
    for (const Case& c : cases) {
        Assertions = 0;
        void* p = nullptr;
        bool thrown = false;
        try {
            p = lumNewBlock(__FILE__, __LINE__, c.size);
        } catch (const std::bad_alloc&) {
            thrown = true;
        }
        EXPECT_EQ(thrown, !c.given) << c.size;
        EXPECT_EQ(Assertions, c.given ? 0 : 1) << c.size;
        lumDeleteBlock(p);
    }
}

TEST_F(LumMainTest, TravikMessagesAreLoggedWithTheirLevel) {
    LumRuntime runtime;
    // slDestroy and slInit log through the callback; an error-level message adds internal error 11.
    EXPECT_EQ(slInit(LumMain::context(), SL_VERSION, nullptr), SL_ERR_ALREADY_STARTED);
    std::string text = readText(root.log());
    EXPECT_THAT(text, HasSubstr("%BRISEL-7-DEBUG_MSG: %[tid="));
    EXPECT_THAT(text, HasSubstr("]: Travik:DBG: started\n"));
}

TEST_F(LumMainTest, RuntimeMutexIsRecursiveAndChecksItsHolder) {
    LumRuntime runtime;
    RuntimeMutex mutex;
    mutex.open();
    RuntimeMutex* outer = nullptr;
    RuntimeMutex* inner = nullptr;
    mutex.lock(&outer);
    mutex.lock(&inner);
    EXPECT_EQ(outer, &mutex);
    EXPECT_EQ(inner, &mutex);
    RuntimeMutex other;
    other.open();
    RuntimeMutex* wrong = &other;
    mutex.unlock(&wrong);
    EXPECT_EQ(Assertions, 1) << "unlocking through another mutex's holder";
    EXPECT_EQ(wrong, &other);
    mutex.unlock(&inner);
    mutex.unlock(&outer);
    EXPECT_EQ(outer, nullptr);
    mutex.close();
    EXPECT_FALSE(mutex.isOpen());
}

TEST_F(LumMainTest, RuntimeSignalReleasesOneWaitPerSet) {
    LumRuntime runtime;
    RuntimeSignal signal;
    signal.open();
    signal.set();
    signal.wait();  // a set with nobody waiting lets the next wait through
    OsThread* thread = nullptr;
    ASSERT_EQ(
        _slThreadExec(
            __FILE__, __LINE__, &thread, [](void* s) { static_cast<RuntimeSignal*>(s)->set(); }, &signal),
        OS_OK);
    signal.wait();
    ASSERT_EQ(_osThreadJoin(__FILE__, __LINE__, &thread), OS_OK);
    signal.close();
    EXPECT_EQ(Assertions, 0);
}

TEST_F(LumMainTest, RuntimeMutexRefusesAHolderThatAlreadyHoldsALock) {
    LumRuntime runtime;
    RuntimeMutex first;
    RuntimeMutex second;
    first.open();
    second.open();
    RuntimeMutex* holder = nullptr;
    first.lock(&holder);
    EXPECT_THROW(second.lock(&holder), NvoException);
    EXPECT_THROW(second.lock(nullptr), NvoException);
    EXPECT_EQ(Assertions, 2);
    EXPECT_EQ(holder, &first) << "the first lock can still be released through its holder";
    first.unlock(&holder);
    // Nothing was locked by the refused calls: another thread takes the second mutex at once.
    std::thread other([&second] { RuntimeMutexLock lock(second); });
    other.join();
    first.close();
    second.close();
}

namespace {

std::vector<std::string> RecordedExpressions;
void recordExpression(const char*, int, const char* expression) {
    RecordedExpressions.emplace_back(expression);
}

}  // namespace

TEST_F(LumMainTest, MisuseIsReportedWithTheCheckedExpression) {
    LumRuntime runtime;
    setAssertionHandler(recordExpression);
    RuntimeMutex mutex;
    mutex.open();
    RuntimeMutex other;
    other.open();
    void* block = nullptr;
    lumMemAlloc(__FILE__, __LINE__, &block, 8);
    const struct {
        const char* what;
        std::function<void()> misuse;
        const char* expression;
    } cases[] = {
        {"allocating into a set pointer", [&] { lumMemAlloc(__FILE__, __LINE__, &block, 8); },
         "pp && *pp == null"},
        {"reallocating without a pointer", [] { lumMemRealloc(__FILE__, __LINE__, nullptr, 8); }, "ppByte"},
        {"freeing without a pointer", [] { lumMemFree(__FILE__, __LINE__, nullptr); }, "ppByte"},
        {"locking into a holder in use",
         [&] {
             RuntimeMutex* holder = &other;
             mutex.lock(&holder);
         },
         "ppMutex && *ppMutex == null"},
        {"unlocking through another mutex's holder",
         [&] {
             RuntimeMutex* holder = &other;
             mutex.unlock(&holder);
         },
         "ppMutex && *ppMutex == this"},
    };
    for (const auto& c : cases) {
        RecordedExpressions.clear();
        try {
            c.misuse();
        } catch (const BaseException&) {
            // Refused calls throw as well; the expression is what this test reads.
        }
        EXPECT_EQ(RecordedExpressions, std::vector<std::string>{c.expression}) << c.what;
    }
    setAssertionHandler(countAssertion);
    lumMemFree(__FILE__, __LINE__, &block);
    mutex.close();
    other.close();
}
