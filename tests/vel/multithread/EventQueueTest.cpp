#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/exception/NvoException.h"
#include "vel/multithread/AltEventQueue.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/QuitSignal.h"
#include "vel/multithread/Thread.h"
#include "vel/multithread/WorkerQueue.h"

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class EventQueueTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        initializer = new RecordingInitializerImpl;
    }
    void TearDown() override {
        initializer->release();
        RuntimeTest::TearDown();
    }

    RecordingInitializerImpl* initializer = nullptr;
};

}  // namespace

TEST_F(EventQueueTest, EventsRunInPostingOrderOnTheEngineThreadBetweenInitAndFinalize) {
    EventQueue queue = EventQueue::Create(initializer);
    // Producers of their own, each posting in its own order; the engine thread keeps each order.
    constexpr int PRODUCERS = 3, EACH = 30;
    std::vector<std::thread> producers;
    for (int p = 0; p < PRODUCERS; ++p) {
        producers.emplace_back([this, p] {
            EventQueue q = EventQueue::Instance();
            for (int i = 0; i < EACH; ++i) {
                std::string name = std::to_string(p) + ":" + std::to_string(i);
                q.post(functionEvent([this, name] { initializer->note(name); }));
            }
        });
    }
    for (std::thread& t : producers) t.join();
    queue.stop();

    std::vector<std::string> log = initializer->log();
    ASSERT_EQ(log.size(), size_t{PRODUCERS * EACH + 2});
    EXPECT_EQ(log.front(), "init");
    EXPECT_EQ(log.back(), "finalize");
    std::vector<int> next(PRODUCERS, 0);
    for (size_t k = 1; k + 1 < log.size(); ++k) {
        int p = std::stoi(log[k]);
        int i = std::stoi(log[k].substr(log[k].find(':') + 1));
        EXPECT_EQ(i, next[p]) << "producer " << p << " out of order";
        next[p] = i + 1;
    }
    std::vector<OsThreadId> threads = initializer->threads();
    EXPECT_THAT(threads, Each(threads.front())) << "init, events and finalize share one thread";
    EXPECT_NE(threads.front(), currentThread());
}

TEST_F(EventQueueTest, InitMayPostBecauseTheSingletonExistsBeforeTheThreadStarts) {
    class PostingInitializerImpl : public RecordingInitializerImpl {
    public:
        void init() override {
            note("init");
            EventQueue::Instance().post(functionEvent([this] { note("posted by init"); }));
            initDone.raise();
        }
        Flag initDone;
    };
    auto* posting = new PostingInitializerImpl;
    EventQueue queue = EventQueue::Create(posting);
    // As the service does: the creator goes on once the engine thread has initialised.
    ASSERT_TRUE(posting->initDone.wait());
    queue.post(functionEvent([posting] { posting->note("posted by creator"); }));
    queue.stop();
    EXPECT_THAT(posting->log(), ElementsAre("init", "posted by init", "posted by creator", "finalize"));
    posting->release();
}

TEST_F(EventQueueTest, AnEventIsReleasedOnceItHasRunNotWhenTheNextArrives) {
    // Events hold engine objects; an idle queue must not keep the last one alive.
    class ReleaseSignallingEventImpl : public MessageEventImpl {
    public:
        explicit ReleaseSignallingEventImpl(Flag& released) : m_released(released) {}
        ~ReleaseSignallingEventImpl() override { m_released.raise(); }
        void run() override {}

    private:
        Flag& m_released;
    };
    EventQueue queue = EventQueue::Create(initializer);
    Flag released;
    queue.post(MessageEvent(new ReleaseSignallingEventImpl(released)));
    EXPECT_TRUE(released.wait());
    queue.stop();
}

TEST_F(EventQueueTest, EventsPostedAfterStopAreDroppedAndReleased) {
    EventQueue queue = EventQueue::Create(initializer);
    int ran = 0, destroyed = 0;
    queue.stop();
    {
        MessageEvent event(new CountedEventImpl(&ran, &destroyed));
        queue.post(event);
        EXPECT_EQ(event.event()->references(), 1);
    }
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(destroyed, 1);
}

TEST_F(EventQueueTest, WorkerQueueRunsEventsOnThreeThreadsAtOnce) {
    WorkerQueue queue = WorkerQueue::Create();
    std::mutex mutex;
    std::condition_variable allIn;
    std::set<OsThreadId> threads;
    int inside = 0;
    std::atomic<int> metAll{0};
    // Each event waits until three run side by side: one or two threads could never get there.
    for (int i = 0; i < WorkerQueueImpl::THREAD_COUNT; ++i) {
        queue.post(functionEvent([&] {
            std::unique_lock<std::mutex> lock(mutex);
            threads.insert(currentThread());
            ++inside;
            allIn.notify_all();
            if (allIn.wait_for(lock, DEADLINE, [&] { return inside == WorkerQueueImpl::THREAD_COUNT; }))
                ++metAll;
        }));
    }
    queue.stop();
    EXPECT_EQ(metAll, 3);
    EXPECT_EQ(threads.size(), 3u);
    EXPECT_EQ(threads.count(currentThread()), 0u);
}

TEST_F(EventQueueTest, WorkerQueueStopRunsEverythingQueuedAndEndsAllThreads) {
    WorkerQueue queue = WorkerQueue::Create();
    std::atomic<int> ran{0};
    for (int i = 0; i < 60; ++i) queue.post(functionEvent([&] { ++ran; }));
    queue.stop();  // returns only once all three threads were joined
    EXPECT_EQ(ran, 60);
    queue.post(functionEvent([&] { ++ran; }));
    EXPECT_EQ(ran, 60);
}

TEST_F(EventQueueTest, EachQueueHasItsOwnThreads) {
    EventQueue engine = EventQueue::Create(initializer);
    AltEventQueue alt = AltEventQueue::Create();
    std::vector<OsThreadId> altThreads(5), engineThread(1);
    for (OsThreadId& id : altThreads) alt.post(functionEvent([&id] { id = currentThread(); }));
    engine.post(functionEvent([&] { engineThread[0] = currentThread(); }));
    ASSERT_TRUE(drain(alt));
    ASSERT_TRUE(drain(engine));
    EXPECT_THAT(altThreads, Each(altThreads.front()));
    EXPECT_NE(altThreads.front(), engineThread[0]);
    EXPECT_NE(altThreads.front(), currentThread());
    alt.stop();
    engine.stop();
}

TEST_F(EventQueueTest, SingletonLivesUntilItsLastReference) {
    {
        AltEventQueue created = AltEventQueue::Create();
        AltEventQueue fetched = AltEventQueue::Instance();
        EXPECT_EQ(created, fetched);
        AltEventQueue second = AltEventQueue::Create();
        EXPECT_EQ(takeAssertions(), std::vector<std::string>{"Singleton == null"});
        EXPECT_EQ(second, created) << "a second create leaves the first in place";
        created.stop();
    }
    AltEventQueue gone = AltEventQueue::Instance();
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(takeAssertions(), std::vector<std::string>{"Singleton != null"});
    AltEventQueue again = AltEventQueue::Create();
    EXPECT_FALSE(again.isNull());
    again.stop();
}

TEST_F(EventQueueTest, QuitSignalWakesTheWaiterOnceWhicheverComesFirst) {
    QuitSignal signal = QuitSignal::Create();
    // Set before the wait: the set is kept for it.
    QuitSignal::set();
    auto early = std::async(std::launch::async, [] { QuitSignal::wait(); });
    EXPECT_EQ(early.wait_for(DEADLINE), std::future_status::ready);

    // Set from another thread while the main thread waits.
    auto waiter = std::async(std::launch::async, [] { QuitSignal::wait(); });
    EXPECT_EQ(waiter.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout)
        << "a wait without a set must not return";
    std::thread([] { QuitSignal::set(); }).join();
    EXPECT_EQ(waiter.wait_for(DEADLINE), std::future_status::ready);
}

namespace {

class ThrowingThreadImpl : public ThreadImpl {
public:
    void run() override { throw NvoException(__FILE__, __LINE__, "osTestCall", -7); }
};

// An exception that escapes an event or a thread ends the process: the engine's state can no
// longer be trusted.
class EventQueueDeathTest : public EventQueueTest {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "fast");
        EventQueueTest::SetUp();
        logInfo(0, "start");
    }
};

}  // namespace

TEST_F(EventQueueDeathTest, ExceptionEscapingAnEventOrAThreadIsFatal) {
    EXPECT_DEATH(
        {
            EventQueue queue = EventQueue::Create(initializer);
            queue.post(functionEvent([] { throw NvoException(__FILE__, __LINE__, "osTestCall", -7); }));
            queue.stop();
        },
        "FATAL: Uncaught exception in thread");
    EXPECT_DEATH(
        {
            Reference thread(new ThrowingThreadImpl, Reference::TAKE_OVER);
            auto* t = static_cast<ThrowingThreadImpl*>(static_cast<ReferenceImpl*>(thread.m));
            t->start();
            t->join();
        },
        "FATAL: Uncaught exception in thread");
    std::string text = readText(root.log());
    EXPECT_THAT(text, HasSubstr("CAUGHT: NvoException for function 'osTestCall' => -7{error}"));
}
