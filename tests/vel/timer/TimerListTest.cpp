#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/multithread/EventQueue.h"
#include "vel/timer/ThreadSafeTimerProxy.h"
#include "vel/timer/TimerConstants.h"
#include "vel/timer/TimerList.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Records each expiry with the tick the test had reached and the thread it came on.
class RecordingSubscriberImpl : public ReferenceImpl, public TimerSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS

    struct Expiry {
        ElementInterface* timer;
        int tick;
        OsThreadId thread;
    };

    void timerExpired(const ThreadSafeTimer& timer) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_expiries.push_back({timer.m, currentTick, currentThread()});
    }
    std::vector<Expiry> expiries() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_expiries;
    }

    int currentTick = 0;

private:
    std::mutex m_mutex;
    std::vector<Expiry> m_expiries;
};

// The engine's setting: an event queue for the expiries and the timer list, with the test thread
// owning the timers and driving the ticks itself.
class TimerListTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        initializer = new RecordingInitializerImpl;
        queue = EventQueue::Create(initializer);
        list = TimerList::Create();
        subscriber = new RecordingSubscriberImpl;
        ASSERT_TRUE(drain(queue));
        engineThread = initializer->threads().front();
    }
    void TearDown() override {
        queue.stop();
        queue.reset();
        list.reset();
        subscriber->release();
        initializer->release();
        RuntimeTest::TearDown();
    }

    // n ticks, each followed by the run of what it posted.
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            ++subscriber->currentTick;
            list.impl()->countDown();
            ASSERT_TRUE(drain(queue));
        }
    }

    RecordingInitializerImpl* initializer = nullptr;
    EventQueue queue;
    TimerList list;
    RecordingSubscriberImpl* subscriber = nullptr;
    OsThreadId engineThread = 0;
};

}  // namespace

TEST_F(TimerListTest, EachTimerExpiresOnceOnItsOwnTickOnTheEngineThread) {
    // Five ticks a second; a timer of 0 seconds goes at the first tick after its start.
    const std::map<int, int> expiryTickOfSeconds = {
        {0, 1}, {1, 5}, {2, 10}, {TimerConstants::MAX_TIMEOUT_S, 3000}};
    std::map<ElementInterface*, int> secondsOfTimer;
    for (const auto& [seconds, tick] : expiryTickOfSeconds) {
        secondsOfTimer[list.startTimer(seconds, subscriber).m] = seconds;
    }
    EXPECT_EQ(list.impl()->timerCount(), 4);
    tick(3000 + 10);

    std::vector<RecordingSubscriberImpl::Expiry> expiries = subscriber->expiries();
    ASSERT_EQ(expiries.size(), 4u);
    for (const auto& expiry : expiries) {
        int seconds = secondsOfTimer.at(expiry.timer);
        EXPECT_EQ(expiry.tick, expiryTickOfSeconds.at(seconds)) << seconds << " s";
        EXPECT_EQ(expiry.thread, engineThread);
    }
    EXPECT_EQ(list.impl()->timerCount(), 0) << "an expired timer leaves the list";
}

TEST_F(TimerListTest, CancelBeforeExpiryAndRestart) {
    ThreadSafeTimer stopped = list.startTimer(1, subscriber);
    ThreadSafeTimer first = list.startTimer(1, subscriber);
    tick(3);
    list.cancelTimer(stopped);
    // A restart is a cancel and a new start: the new timer counts its full time from now.
    list.cancelTimer(first);
    ThreadSafeTimer second = list.startTimer(1, subscriber);
    EXPECT_TRUE(stopped.isCancelled());
    EXPECT_EQ(list.impl()->timerCount(), 1);
    tick(4);
    EXPECT_THAT(subscriber->expiries(), IsEmpty()) << "neither cancelled timer may expire";
    tick(20);
    std::vector<RecordingSubscriberImpl::Expiry> expiries = subscriber->expiries();
    ASSERT_EQ(expiries.size(), 1u);
    EXPECT_EQ(expiries[0].timer, second.m);
    EXPECT_EQ(expiries[0].tick, 3 + 5);
}

TEST_F(TimerListTest, CancelWhileTheExpiryIsQueuedSuppressesIt) {
    struct Case {
        bool cancel;
        size_t expiries;
    };
    for (Case c : {Case{true, 0}, Case{false, 1}}) {
        SCOPED_TRACE(c.cancel ? "cancelled" : "left running");
        int before = static_cast<int>(subscriber->expiries().size());
        Gate gate;
        queue.post(gate.event());
        ASSERT_TRUE(gate.entered());
        ThreadSafeTimer timer = list.startTimer(0, subscriber);
        list.impl()->countDown();  // the expiry now waits behind the gate
        EXPECT_EQ(list.impl()->timerCount(), 0);
        if (c.cancel) list.cancelTimer(timer);
        gate.open();
        ASSERT_TRUE(drain(queue));
        EXPECT_EQ(subscriber->expiries().size() - before, c.expiries);
    }
}

TEST_F(TimerListTest, SubscriberMayStartTheNextTimerFromItsExpiry) {
    // The usual owner of a timer is the engine thread itself, restarting from timerExpired.
    class RepeatingSubscriberImpl : public RecordingSubscriberImpl {
    public:
        void timerExpired(const ThreadSafeTimer& timer) override {
            RecordingSubscriberImpl::timerExpired(timer);
            if (expiries().size() < 3) proxy = TimerList::Instance().startTimer(1, this);
        }
        ThreadSafeTimerProxy proxy;
    };
    auto* repeating = new RepeatingSubscriberImpl;
    queue.post(
        functionEvent([repeating] { repeating->proxy = TimerList::Instance().startTimer(1, repeating); }));
    ASSERT_TRUE(drain(queue));
    for (int i = 1; i <= 25; ++i) {
        repeating->currentTick = i;
        list.impl()->countDown();
        ASSERT_TRUE(drain(queue));
    }
    std::vector<int> ticks;
    for (const auto& e : repeating->expiries()) ticks.push_back(e.tick);
    EXPECT_THAT(ticks, ElementsAre(5, 10, 15));
    // The last timer has expired; the proxy still holds it (and it holds the subscriber).
    repeating->proxy.clear();
    repeating->release();
}

TEST_F(TimerListTest, TimeOutsideTheRangeIsAnAssertionAndIsKeptInRange) {
    struct Case {
        int seconds;
        int expiryTick;
    };
    for (Case c : {Case{TimerConstants::MAX_TIMEOUT_S + 1, 3000}, Case{-1, 1}}) {
        SCOPED_TRACE(c.seconds);
        int start = subscriber->currentTick;
        ThreadSafeTimer timer = list.startTimer(c.seconds, subscriber);
        EXPECT_EQ(takeAssertions(),
                  std::vector<std::string>{"0 <= seconds && seconds <= TimerConstants::MAX_TIMEOUT_S"});
        while (list.impl()->timerCount() > 0 && subscriber->currentTick - start < 4000) tick();
        ASSERT_FALSE(subscriber->expiries().empty()) << "the timer must not stay in the list for good";
        EXPECT_EQ(subscriber->expiries().back().tick - start, c.expiryTick);
    }
}

TEST_F(TimerListTest, OnlyTheOwningThreadMayCancel) {
    ThreadSafeTimer timer = list.startTimer(5, subscriber);
    std::thread([&] { list.cancelTimer(timer); }).join();
    EXPECT_EQ(takeAssertions(),
              std::vector<std::string>{"osThreadEqual(&currentThreadId, &m_threadId) == OS_OK"});
    list.cancelTimer(timer);
    EXPECT_THAT(takeAssertions(), IsEmpty());
}

TEST_F(TimerListTest, TicksCountOnlyWhileTicking) {
    list.startTimer(0, subscriber);
    TimerListImpl::tick(nullptr);
    ASSERT_TRUE(drain(queue));
    EXPECT_THAT(subscriber->expiries(), IsEmpty());
    EXPECT_EQ(list.impl()->timerCount(), 1);
}

TEST_F(TimerListTest, SingletonRules) {
    TimerList second = TimerList::Create();
    EXPECT_EQ(takeAssertions(), std::vector<std::string>{"Singleton == null"});
    EXPECT_EQ(second, list);
    EXPECT_EQ(TimerList::Instance(), list);
}

// The one test on the real clock: the OS timer thread drives the ticks.
TEST_F(TimerListTest, TimerOfOneSecondExpiresAfterAboutASecondOfRealTime) {
    Flag expired;
    class SignallingSubscriberImpl : public RecordingSubscriberImpl {
    public:
        explicit SignallingSubscriberImpl(Flag& flag) : m_flag(flag) {}
        void timerExpired(const ThreadSafeTimer& timer) override {
            RecordingSubscriberImpl::timerExpired(timer);
            m_flag.raise();
        }

    private:
        Flag& m_flag;
    };
    auto* signalling = new SignallingSubscriberImpl(expired);
    list.startTicking();
    auto start = std::chrono::steady_clock::now();
    ThreadSafeTimer timer = list.startTimer(1, signalling);
    ASSERT_TRUE(expired.wait());
    auto elapsed = std::chrono::steady_clock::now() - start;
    list.stopTicking();
    // Five ticks 200 ms apart; the first may come at once.
    EXPECT_GE(elapsed, std::chrono::milliseconds(750));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
    ASSERT_EQ(signalling->expiries().size(), 1u);
    EXPECT_EQ(signalling->expiries()[0].thread, engineThread);
    signalling->release();
}
