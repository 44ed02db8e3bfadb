#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "runtime/lum/Assert.h"
#include "runtime/lum/LumMain.h"
#include "service/ServiceQuit.h"
#include "tests/service/ServiceTestSupport.h"
#include "vel/multithread/QuitSignal.h"

namespace {

int Assertions = 0;
void countAssertion(const char*, int, const char*) {
    ++Assertions;
}

class ServiceQuitTest : public testing::Test {
protected:
    void SetUp() override {
        ServiceQuit::reset();
        Assertions = 0;
        m_previous = setAssertionHandler(countAssertion);
    }
    void TearDown() override { setAssertionHandler(m_previous); }

    // Waits on the quit signal on another thread; true when the wait ended before the deadline. A
    // wait that hangs is woken afterwards so that the test can end.
    static bool waitEndsInTime(const std::function<void()>& whileWaiting) {
        auto waiter = std::async(std::launch::async, [] { QuitSignal::wait(); });
        whileWaiting();
        bool ended = waiter.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        if (!ended) QuitSignal::set();
        waiter.get();
        return ended;
    }

    TempRoot m_root;
    LumRuntime m_runtime;
    AssertionHandler m_previous = nullptr;
};

TEST_F(ServiceQuitTest, StopBeforeTheSignalExistsEndsTheWaitAtOnce) {
    ServiceQuit::request();
    QuitSignal signal = QuitSignal::Create();
    ServiceQuit::signalCreated();
    EXPECT_TRUE(waitEndsInTime([] {}));
    ServiceQuit::signalReleasing();
    EXPECT_EQ(Assertions, 0);
}

TEST_F(ServiceQuitTest, StopWhileWaitingWakesTheWaiter) {
    QuitSignal signal = QuitSignal::Create();
    ServiceQuit::signalCreated();
    EXPECT_FALSE(ServiceQuit::requested());
    EXPECT_TRUE(waitEndsInTime([] { ServiceQuit::request(); }));
    ServiceQuit::signalReleasing();
}

TEST_F(ServiceQuitTest, StopAfterTheSignalIsGoneIsOnlyKept) {
    {
        QuitSignal signal = QuitSignal::Create();
        ServiceQuit::signalCreated();
        ServiceQuit::signalReleasing();
    }
    ServiceQuit::request();
    EXPECT_TRUE(ServiceQuit::requested());
    EXPECT_EQ(Assertions, 0) << "a stop after the wait must not reach for a quit signal that is gone";
}

}  // namespace
