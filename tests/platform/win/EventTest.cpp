// Auto-reset events with several threads waiting: every set made while threads wait releases one
// of them, however quickly the sets follow each other.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win/Event.h"

namespace tamsel::test {
namespace {

using namespace std::chrono_literals;
constexpr auto DEADLINE = 10s;

class Waiters {
public:
    Waiters(win::EventHandle event, int count) : m_event(event) {
        for (int i = 0; i < count; ++i) {
            m_threads.emplace_back([this] {
                EXPECT_EQ(win::waitForEvent(m_event, win::INFINITE_WAIT), win::WaitResult::SIGNALLED);
                std::lock_guard<std::mutex> lock(m_mutex);
                ++m_woken;
                m_changed.notify_all();
            });
        }
    }
    ~Waiters() {
        // Whoever still waits is let go, so that the threads can be joined after a failure.
        for (int left = static_cast<int>(m_threads.size()) - woken(); left > 0; --left)
            win::setEvent(m_event);
        for (std::thread& t : m_threads) t.join();
    }
    int woken() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_woken;
    }
    bool waitForWoken(int count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, DEADLINE, [&] { return m_woken >= count; });
    }

private:
    win::EventHandle m_event;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_woken = 0;
    std::vector<std::thread> m_threads;
};

bool waitUntilBlocked(win::EventHandle event, int count) {
    auto until = std::chrono::steady_clock::now() + DEADLINE;
    while (win::waitingThreads(event) != count) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::yield();
    }
    return true;
}

// Closes the event whatever way the test leaves.
struct OwnedEvent {
    win::EventHandle handle = win::createAutoResetEvent();
    ~OwnedEvent() { EXPECT_TRUE(win::closeEvent(handle)); }
};

struct Row {
    int waiters;
    int sets;
    int woken;
    bool leftSet;  // the next wait after them goes through at once
};

TEST(EventTest, SetsInQuickSuccessionReleaseOneWaiterEach) {
    const Row rows[] = {
        {1, 1, 1, false}, {2, 1, 1, false}, {2, 2, 2, false}, {3, 2, 2, false},
        {3, 3, 3, false}, {4, 4, 4, false}, {1, 2, 1, true},  {0, 2, 0, true},
    };
    // The race the sets lose shows in only some rounds; each row runs many.
    constexpr int ROUNDS = 40;
    for (const Row& row : rows) {
        for (int round = 0; round < ROUNDS; ++round) {
            SCOPED_TRACE(testing::Message()
                         << row.waiters << " waiters x " << row.sets << " sets, round " << round);
            OwnedEvent owned;
            win::EventHandle event = owned.handle;
            ASSERT_NE(event, nullptr);
            {
                Waiters waiters(event, row.waiters);
                ASSERT_TRUE(waitUntilBlocked(event, row.waiters));
                for (int s = 0; s < row.sets; ++s) ASSERT_TRUE(win::setEvent(event));
                ASSERT_TRUE(waiters.waitForWoken(row.woken)) << "woken " << waiters.woken();
                // Nobody woke beyond them: the rest still wait, and no release is left over.
                EXPECT_TRUE(waitUntilBlocked(event, row.waiters - row.woken));
                EXPECT_EQ(waiters.woken(), row.woken);
                EXPECT_EQ(win::waitForEvent(event, 0),
                          row.leftSet ? win::WaitResult::SIGNALLED : win::WaitResult::TIMED_OUT);
                EXPECT_EQ(win::waitForEvent(event, 0), win::WaitResult::TIMED_OUT);
            }
            if (HasFailure()) return;
        }
    }
}

TEST(EventTest, TimedWaitThatEndsUnreleasedLeavesTheNextSetToAnother) {
    OwnedEvent owned;
    win::EventHandle event = owned.handle;
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(win::waitForEvent(event, 1), win::WaitResult::TIMED_OUT);
    EXPECT_EQ(win::waitingThreads(event), 0);
    {
        Waiters waiters(event, 1);
        ASSERT_TRUE(waitUntilBlocked(event, 1));
        ASSERT_TRUE(win::setEvent(event));
        EXPECT_TRUE(waiters.waitForWoken(1));
    }
    EXPECT_EQ(win::waitForEvent(event, 0), win::WaitResult::TIMED_OUT);
}

}  // namespace
}  // namespace tamsel::test
