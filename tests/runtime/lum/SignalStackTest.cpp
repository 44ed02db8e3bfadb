// Every thread the run-time starts can still take a fault signal after its own stack has
// overflowed: each runs with an alternate signal stack.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "runtime/lum/Log.h"
#include "runtime/lum/LogConstants.h"
#include "runtime/lum/LoggingThread.h"
#include "runtime/lum/LumMain.h"
#include "runtime/multithread/RuntimeSignal.h"
#include "tests/runtime/lum/LumTestSupport.h"
#include "travik.h"

namespace {

constexpr int PROBE = SIGUSR2;
constexpr int MAX_THREADS = 64;

struct Answer {
    std::atomic<pid_t> tid{0};
    std::atomic<bool> onAlternateStack{false};
};
Answer Answers[MAX_THREADS];
std::atomic<int> AnswerCount{0};

void onProbe(int) {
    stack_t current = {};
    sigaltstack(nullptr, &current);
    int at = AnswerCount.load();
    if (at >= MAX_THREADS) return;
    Answers[at].onAlternateStack = (current.ss_flags & SS_ONSTACK) != 0;
    Answers[at].tid = static_cast<pid_t>(syscall(SYS_gettid));
    AnswerCount = at + 1;
}

// The kernel ids of the process's threads other than the caller.
std::set<pid_t> otherThreads() {
    std::set<pid_t> tids;
    pid_t self = static_cast<pid_t>(syscall(SYS_gettid));
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        pid_t tid = static_cast<pid_t>(std::stol(entry.path().filename().string()));
        if (tid != self) tids.insert(tid);
    }
    return tids;
}

}  // namespace

TEST(SignalStack, EveryThreadOfTheRunTimeHasAnAlternateSignalStack) {
    TempRoot root;
    LumRuntime runtime;
    ASSERT_TRUE(
        startLoggingThread(LogConstants::RING_SIZE, LogConstants::PASS_SIZE, LogConstants::LINE_SIZE));
    // ostrum's timer thread, and a thread of the system library that waits; each has run once
    // before it is asked, as has the logging thread.
    static std::atomic<bool> ticked{false}, working{false};
    OsTimer* timer = nullptr;
    ASSERT_EQ(_slTimerCreate(
                  __FILE__, __LINE__, &timer, [](void*) { ticked = true; }, nullptr),
              OS_OK);
    RuntimeSignal release;
    release.open();
    OsThread* worker = nullptr;
    ASSERT_EQ(_slThreadExec(
                  __FILE__, __LINE__, &worker,
                  [](void* signal) {
                      working = true;
                      static_cast<RuntimeSignal*>(signal)->wait();
                  },
                  &release),
              OS_OK);
    logInfo(0, "signal stack probe");
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!(ticked && working && readText(root.log()).find("signal stack probe") != std::string::npos) &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::yield();
    }
    ASSERT_TRUE(ticked && working) << "the timer and worker threads run";

    struct sigaction action = {};
    action.sa_handler = onProbe;
    action.sa_flags = SA_ONSTACK | SA_RESTART;
    sigemptyset(&action.sa_mask);
    struct sigaction previous = {};
    ASSERT_EQ(sigaction(PROBE, &action, &previous), 0);
    // One at a time, so that the answers need no lock.
    std::set<pid_t> threads = otherThreads();
    EXPECT_GE(threads.size(), 3u) << "the logging, timer and worker threads";
    for (pid_t tid : threads) {
        int before = AnswerCount.load();
        ASSERT_EQ(syscall(SYS_tgkill, getpid(), tid, PROBE), 0);
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (AnswerCount.load() == before && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        ASSERT_EQ(AnswerCount.load(), before + 1) << "thread " << tid << " did not take the signal";
        EXPECT_EQ(Answers[before].tid.load(), tid);
        EXPECT_TRUE(Answers[before].onAlternateStack.load())
            << "thread " << tid << " (" << readText("/proc/self/task/" + std::to_string(tid) + "/comm")
            << ") has no alternate stack";
    }
    sigaction(PROBE, &previous, nullptr);

    release.set();
    EXPECT_EQ(_osThreadJoin(__FILE__, __LINE__, &worker), OS_OK);
    EXPECT_EQ(_osTimerDestroy(__FILE__, __LINE__, &timer), OS_OK);
    stopLoggingThread();
}
