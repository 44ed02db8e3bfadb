#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <ostream>
#include <thread>
#include <vector>

#include "platform/win/ConsoleControl.h"
#include "tests/platform/win/WinServiceTestSupport.h"

using namespace winsvc;

namespace {

std::atomic<int> Calls{0};
std::atomic<DWORD> LastEvent{99};
std::atomic<bool> OnMainThread{false};
std::thread::id MainThread;
std::vector<int> Order;

BOOL takeIt(DWORD event) {
    LastEvent = event;
    OnMainThread = std::this_thread::get_id() == MainThread;
    Order.push_back(1);
    ++Calls;
    return 1;
}

BOOL passItOn(DWORD) {
    Order.push_back(2);
    return 0;
}

struct SignalCase {
    int signal;
    DWORD event;
};

void PrintTo(const SignalCase& c, std::ostream* out) {
    *out << strsignal(c.signal);
}

class ConsoleSignal : public testing::TestWithParam<SignalCase> {};

// The handler runs on the signal thread, not inside a signal handler of the thread that was hit;
// the last handler added is asked first and passes the event on by declining it.
TEST_P(ConsoleSignal, ReachesTheHandlersOnTheirOwnThread) {
    MainThread = std::this_thread::get_id();
    Calls = 0;
    LastEvent = 99;
    Order.clear();
    ASSERT_TRUE(SetConsoleCtrlHandler(takeIt, 1));
    ASSERT_TRUE(SetConsoleCtrlHandler(passItOn, 1));
    kill(getpid(), GetParam().signal);
    ASSERT_TRUE(waitFor([] { return Calls.load() == 1; }));
    EXPECT_EQ(LastEvent.load(), GetParam().event);
    EXPECT_FALSE(OnMainThread.load());
    EXPECT_EQ(Order, (std::vector<int>{2, 1}));
    EXPECT_TRUE(SetConsoleCtrlHandler(passItOn, 0));
    EXPECT_FALSE(SetConsoleCtrlHandler(passItOn, 0)) << "it was removed already";
    EXPECT_TRUE(SetConsoleCtrlHandler(takeIt, 0));
}

INSTANTIATE_TEST_SUITE_P(CtrlCAndCtrlBreak, ConsoleSignal,
                         testing::Values(SignalCase{SIGINT, CTRL_C_EVENT},
                                         SignalCase{SIGQUIT, CTRL_BREAK_EVENT},
                                         SignalCase{SIGTERM, CTRL_CLOSE_EVENT}));

TEST(ConsoleSignal, NobodyTakingItEndsTheProcessAsTheSignalWould) {
    // A process of its own, started afresh: a fork of this one would inherit the signal thread's
    // note that it runs, without the thread.
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            if (!SetConsoleCtrlHandler(passItOn, 1)) _exit(1);
            kill(getpid(), SIGINT);
            for (;;) pause();
        },
        testing::KilledBySignal(SIGINT), "");
}

std::atomic<DWORD> ServiceControl{0};

DWORD serviceHandler(DWORD control, DWORD, void*, void* context) {
    ServiceControl = control;
    *static_cast<std::atomic<int>*>(context) += 1;
    return NO_ERROR;
}

// In a process of its own: a service's registration lasts as long as the process, and would take
// SIGTERM from the console cases above.
TEST(ServiceSignal, TermIsTheManagersStopWhenAServiceRegistered) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    TempRoot root;
    EXPECT_EXIT(
        {
            static std::atomic<int> calls{0};
            Calls = 0;
            if (!SetConsoleCtrlHandler(takeIt, 1)) _exit(10);
            if (RegisterServiceCtrlHandlerEx("TestSvc", serviceHandler, &calls) == nullptr) _exit(11);
            if (RegisterServiceCtrlHandlerEx("TestSvc", serviceHandler, &calls) != nullptr) _exit(12);
            if (GetLastError() != ERROR_ALREADY_REGISTERED) _exit(13);
            kill(getpid(), SIGTERM);
            if (!waitFor([&] { return calls.load() == 1; })) _exit(14);
            if (ServiceControl.load() != SERVICE_CONTROL_STOP) _exit(15);
            // The console handlers are not asked.
            _exit(Calls.load() == 0 ? 0 : 16);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
