#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "runtime/lum/Assert.h"
#include "runtime/lum/CrashHandler.h"
#include "runtime/lum/Tag.h"
#include "tests/runtime/lum/LumTestSupport.h"

using ::testing::ContainsRegex;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

struct Recorded {
    std::string file;
    int line = 0;
    std::string expression;
    int count = 0;
};
Recorded LastAssertion;

void record(const char* file, int line, const char* expression) {
    LastAssertion.file = file;
    LastAssertion.line = line;
    LastAssertion.expression = expression;
    ++LastAssertion.count;
}

class AssertTest : public ::testing::Test {
protected:
    void SetUp() override {
        LastAssertion = Recorded();
        previous = setAssertionHandler(record);
    }
    void TearDown() override { setAssertionHandler(previous); }

    TempRoot root;
    AssertionHandler previous = nullptr;
};

int guardedRead(const int* values, int length, int index) {
    if (!LUM_ASSERT(0 <= index && index < length)) return -1;
    return values[index];
}

}  // namespace

TEST_F(AssertTest, FailedAssertionLogsTwoLinesWritesTheDebugDumpAndReturns) {
    std::string dump = debugDumpPath().empty() ? std::string() : debugDumpPath();
    int line = __LINE__ + 1;
    bool held = LUM_ASSERT(1 + 1 == 3);
    EXPECT_FALSE(held);
    EXPECT_EQ(LastAssertion.count, 1);
    EXPECT_EQ(LastAssertion.line, line);
    EXPECT_EQ(LastAssertion.expression, "1 + 1 == 3");
    EXPECT_EQ(LastAssertion.file, "tests/runtime/lum/AssertTest.cpp")
        << "positions are relative to the source root";

    std::string text = readText(root.log());
    EXPECT_THAT(text,
                ContainsRegex("%BRISEL-3-ERROR_MSG: %\\[tid=[0-9]+\\]: Internal error 7, contact software "
                              "manufacturer\n"));
    EXPECT_THAT(text, HasSubstr("%BRISEL-7-DEBUG_MSG: %[tid="));
    EXPECT_THAT(
        text,
        HasSubstr("]: Assertion '1 + 1 == 3' failed at [AssertTest.cpp:" + std::to_string(line) + "]\n"));

    ASSERT_FALSE(debugDumpPath().empty());
    EXPECT_THAT(debugDumpPath(), EndsWith("/logs/test_lum.dbg.dmp"));
    std::string first = readText(debugDumpPath());
    EXPECT_THAT(first, HasSubstr("Assertion '1 + 1 == 3' failed at [AssertTest.cpp:"));
    EXPECT_THAT(first, HasSubstr("backtrace:"));
    // The dump names the thread as its log lines do.
    EXPECT_THAT(first, HasSubstr("\nthread: " + std::to_string(logThreadNumber()) + "\n"));
    EXPECT_THAT(text, HasSubstr("%[tid=" + std::to_string(logThreadNumber()) + "]: Internal error 7"));
    LUM_ASSERT(false && "second");
    std::string second = readText(debugDumpPath());
    EXPECT_THAT(second, HasSubstr("false && \"second\""));
    EXPECT_THAT(second, Not(HasSubstr("1 + 1 == 3"))) << "a new dump replaces the older one";
}

TEST_F(AssertTest, HoldingAssertionIsSilent) {
    EXPECT_TRUE(LUM_ASSERT(2 > 1));
    EXPECT_EQ(LastAssertion.count, 0);
    EXPECT_FALSE(fileExists(root.log()));
}

TEST_F(AssertTest, GuardedCodeLeavesInsteadOfReadingPastTheEnd) {
    const int values[3] = {7, 8, 9};
    EXPECT_EQ(guardedRead(values, 3, 2), 9);
    EXPECT_EQ(guardedRead(values, 3, 3), -1);
    EXPECT_EQ(LastAssertion.expression, "0 <= index && index < length");
}

TEST_F(AssertTest, FailedCallsAreReportedWithTheirPosition) {
    NvoError("src/vel/port/nvoport.cpp", 120, "qxPortAttach", -7);
    NvoError(nullptr, 5, nullptr, 2);
    reportFunctionException("src\\vel\\adapter\\adapterimpl.cpp", 44, "osMutexLock", -20);
    std::string text = readText(root.log());
    EXPECT_THAT(text, HasSubstr("]: Internal error 4, contact software manufacturer\n"));
    EXPECT_THAT(text, HasSubstr("]: NvoError for function 'qxPortAttach' => -7{error} [nvoport.cpp:120]\n"));
    EXPECT_THAT(text, HasSubstr("]: NvoError for function '?' => 2{error} [?:5]\n"));
    EXPECT_THAT(text,
                HasSubstr("]: NvoException for function 'osMutexLock' => -20{error} [adapterimpl.cpp:44]\n"));
    EXPECT_EQ(LastAssertion.count, 1) << "only the exception form fails an assertion";
    EXPECT_EQ(LastAssertion.expression, "NVO exception - should this be logged instead?");
}

TEST_F(AssertTest, DumpsFollowTheRootNowInUse) {
    LUM_ASSERT(false && "first root");
    ASSERT_TRUE(fileExists(root.logs() + "test_lum.dbg.dmp"));
    {
        TempRoot second;
        ::testing::internal::CaptureStderr();
        LUM_ASSERT(false && "second root");
        std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_THAT(errors, Not(HasSubstr("Unable to open minidump file")));
        EXPECT_EQ(debugDumpPath(), second.logs() + "test_lum.dbg.dmp");
        EXPECT_EQ(crashDumpPath(), second.logs() + "test_lum.dmp");
        EXPECT_THAT(readText(second.logs() + "test_lum.dbg.dmp"), HasSubstr("second root"));
    }
    EXPECT_THAT(readText(root.logs() + "test_lum.dbg.dmp"), HasSubstr("first root"))
        << "the older root's dump is left as it was";
}
