#include <gtest/gtest.h>

#include <functional>

#include "runtime/lum/LumMain.h"
#include "service/OneTimeTimer.h"
#include "service/ServiceQuit.h"
#include "service/win32/ServiceStatus.h"
#include "tests/service/ServiceTestSupport.h"
#include "vel/multithread/EventQueue.h"
#include "vel/timer/TimerList.h"

using namespace winsvc;

namespace {

// The timer on a real event queue and timer list, in service mode, as the composition runs it.
class OneTimeTimerTest : public testing::Test {
protected:
    void SetUp() override {
        resetServiceStatus();
        registerServiceControlHandlerOnce();
        setServiceMode(true);
        reportServiceStatus(SERVICE_START_PENDING);
        m_timerList = TimerList::Create();
        auto* initializer = new DummyEventQueueLoopInitializerImpl;
        m_initializer = Reference(static_cast<ReferenceImpl*>(initializer), Reference::TAKE_OVER);
        m_eventQueue = EventQueue::Create(initializer);
        m_timerList.startTicking();
    }

    void TearDown() override {
        stopQueue();
        m_timer.reset();
        m_eventQueue.reset();
        m_timerList.reset();
        m_initializer.reset();
    }

    // Every event posted so far has run once this returns.
    void stopQueue() {
        if (m_stopped) return;
        m_stopped = true;
        m_timerList.stopTicking();
        m_eventQueue.stop();
    }

    TempRoot m_root;
    LumRuntime m_runtime;
    TimerList m_timerList;
    Reference m_initializer;
    EventQueue m_eventQueue;
    OneTimeTimer m_timer;
    bool m_stopped = false;
};

TEST_F(OneTimeTimerTest, ExpiryReportsTheServiceRunning) {
    m_timer = OneTimeTimer::create(0);
    m_timer.start();
    ASSERT_TRUE(waitFor([] { return currentServiceStatus().dwCurrentState == SERVICE_RUNNING; }));
    stopQueue();
    std::string log = readText(m_root.log());
    EXPECT_EQ(countOf(log, "]: OneTimeTimerStartEventImpl event created\n"), 1);
    EXPECT_EQ(countOf(log, "]: OneTimeTimerStartEventImpl event processed\n"), 1);
    EXPECT_EQ(countOf(log, "]: OneTimeTimer timer expired\n"), 1);
    EXPECT_LT(log.find("OneTimeTimer timer expired"), log.find("Set service status to running"));
    EXPECT_EQ(TimerListImpl::Singleton.load()->timerCount(), 0);
}

TEST_F(OneTimeTimerTest, CancelledTimerReportsNothing) {
    m_timer = OneTimeTimer::create(25);
    m_timer.start();
    m_timer.cancel();
    stopQueue();
    std::string log = readText(m_root.log());
    EXPECT_EQ(countOf(log, "]: OneTimeTimerCancelEventImpl event created\n"), 1);
    EXPECT_EQ(countOf(log, "]: OneTimeTimerCancelEventImpl event processed\n"), 1);
    EXPECT_EQ(TimerListImpl::Singleton.load()->timerCount(), 0)
        << "the cancel took the timer out of the list";
    EXPECT_FALSE(m_timer.impl()->running());
    EXPECT_EQ(countOf(log, "OneTimeTimer timer expired"), 0);
    EXPECT_EQ(currentServiceStatus().dwCurrentState, SERVICE_START_PENDING);
}

TEST_F(OneTimeTimerTest, CancelWithoutARunningTimerIsHarmless) {
    m_timer = OneTimeTimer::create(0);
    m_timer.start();
    ASSERT_TRUE(waitFor([] { return currentServiceStatus().dwCurrentState == SERVICE_RUNNING; }));
    m_timer.cancel();
    stopQueue();
    std::string log = readText(m_root.log());
    EXPECT_EQ(countOf(log, "]: OneTimeTimerCancelEventImpl event processed\n"), 1);
    EXPECT_EQ(countOf(log, "Assertion"), 0);
}

// Runs a function on the event-queue thread.
class CallEventImpl : public MessageEventImpl {
public:
    explicit CallEventImpl(std::function<void()> f) : m_f(std::move(f)) {}
    void run() override { m_f(); }

private:
    std::function<void()> m_f;
};

TEST_F(OneTimeTimerTest, ClearReferencesCancelsTheTimerAndBreaksTheCycle) {
    m_timer = OneTimeTimer::create(25);
    m_timer.start();
    bool runningBefore = false;
    OneTimeTimerImpl* timer = m_timer.impl();
    m_eventQueue.post(MessageEvent(new CallEventImpl([&] {
        runningBefore = timer->running();
        static_cast<ElementInterface*>(static_cast<ReferenceImpl*>(timer))->clearReferences();
    })));
    stopQueue();
    EXPECT_TRUE(runningBefore);
    EXPECT_FALSE(m_timer.impl()->running());
    EXPECT_EQ(TimerListImpl::Singleton.load()->timerCount(), 0);
    // Only the test's own handle is left: the timer no longer holds its subscriber.
    EXPECT_EQ(static_cast<ReferenceImpl*>(m_timer.impl())->references(), 1);
    EXPECT_EQ(countOf(readText(m_root.log()), "Assertion"), 0);
}

}  // namespace
