#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <exception>
#include <string>

#include "runtime/lum/Assert.h"
#include "runtime/lum/CrashHandler.h"
#include "runtime/lum/Fatal.h"
#include "runtime/lum/LumMain.h"
#include "tests/runtime/lum/LumTestSupport.h"
#include "travik.h"

using ::testing::HasSubstr;

namespace {

// The child of a death test is forked from the test, so it writes into the test's root; what it
// installs stays its own.
class FatalTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "fast"); }
    TempRoot root;
};

__attribute__((noinline)) void writeThroughNull(volatile int* p) {
    *p = 42;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winfinite-recursion"
__attribute__((noinline)) int recurseForever(int depth) {
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    return recurseForever(depth + 1) + frame[0];
}
#pragma GCC diagnostic pop

}  // namespace

TEST_F(FatalTest, FatalErrorWritesToStandardErrorAndTheLogAndEnds) {
    logInfo(0, "before");  // the first line rotates; the children then append to the same file
    EXPECT_DEATH(fatalError("x"), "FATAL: x\n");
    EXPECT_DEATH(fatalError("queue %s is full (%d)", "engine", 100), "FATAL: queue engine is full \\(100\\)");
    std::string text = readText(root.log());
    EXPECT_THAT(text, HasSubstr("%BRISEL-0-FATAL_MSG: %[tid="));
    EXPECT_THAT(text, HasSubstr("]: x\n"));
    EXPECT_THAT(text, HasSubstr("]: queue engine is full (100)\n"));
}

TEST_F(FatalTest, TerminateEndsThroughFatalError) {
    EXPECT_DEATH(
        {
            LumRuntime runtime;
            std::terminate();
        },
        "FATAL: LumMain::S_TERMINATE__NO_RETURN called");
}

TEST_F(FatalTest, CrashWritesTheDumpAndStillEndsTheProcess) {
    std::string dump = root.logs() + "test_lum.dmp";
    EXPECT_DEATH(
        {
            installCrashHandler();
            // Not null itself: the sanitizer would stop a null store before it faults.
            volatile uintptr_t address = 64;
            writeThroughNull(reinterpret_cast<volatile int*>(address));
        },
        "");
    ASSERT_TRUE(fileExists(dump));
    std::string text = readText(dump);
    EXPECT_THAT(text, HasSubstr("signal: 11 (SIGSEGV)\naddress: 0x40\n"));
    EXPECT_THAT(text, HasSubstr("backtrace:\n"));
}

TEST_F(FatalTest, CrashDumpGoesToTheRootOfTheRunThatCrashed) {
    {
        // An earlier run, gone by now, whose assertion prepared the dump paths under its root.
        TempRoot earlier;
        LUM_ASSERT(false && "earlier run");
        ASSERT_TRUE(fileExists(earlier.logs() + "test_lum.dbg.dmp"));
    }
    setenv("TAMSEL_HOME", root.path().c_str(), 1);
    std::string dump = root.logs() + "test_lum.dmp";
    EXPECT_DEATH(
        {
            installCrashHandler();
            volatile uintptr_t address = 64;
            writeThroughNull(reinterpret_cast<volatile int*>(address));
        },
        "");
    EXPECT_TRUE(fileExists(dump));
}

TEST_F(FatalTest, CrashAfterASecondInstallationStillEnds) {
    std::string dump = root.logs() + "test_lum.dmp";
    EXPECT_EXIT(
        {
            installCrashHandler();
            installCrashHandler();
            // A handler that passed the signal on to itself would go round until this alarm.
            alarm(20);
            volatile uintptr_t address = 64;
            writeThroughNull(reinterpret_cast<volatile int*>(address));
        },
        [](int status) { return !(WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) && status != 0; },
        "Attempt to reinit the environment");
    EXPECT_TRUE(fileExists(dump));
}

TEST_F(FatalTest, StackOverflowIsCaughtOnTheAlternateStack) {
    std::string dump = root.logs() + "test_lum.dmp";
    EXPECT_DEATH(
        {
            installCrashHandler();
            recurseForever(0);
        },
        "VELCSH: EXCEPTION_STACK_OVERFLOW occurred!");
    ASSERT_TRUE(fileExists(dump));
    EXPECT_THAT(readText(dump), HasSubstr("(SIGSEGV)"));
}

TEST_F(FatalTest, StackOverflowOnAThreadOfTheRunTimeIsCaught) {
    std::string dump = root.logs() + "test_lum.dmp";
    EXPECT_DEATH(
        {
            installCrashHandler();
            LumRuntime runtime;
            OsThread* thread = nullptr;
            _slThreadExec(
                __FILE__, __LINE__, &thread, [](void*) { recurseForever(0); }, nullptr);
            _osThreadJoin(__FILE__, __LINE__, &thread);
        },
        "VELCSH: EXCEPTION_STACK_OVERFLOW occurred!");
    ASSERT_TRUE(fileExists(dump));
    EXPECT_THAT(readText(dump), HasSubstr("(SIGSEGV)"));
}
