#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/os/MutexLock.h"

namespace {

using namespace std::chrono_literals;

// Takes the mutex on another thread; the future is ready once it holds it.
struct Contender {
    explicit Contender(RuntimeMutex* mutex)
        : thread([this, mutex] {
              MutexLock lock(mutex);
              held.set_value();
              release.get_future().wait();
          }) {}
    ~Contender() {
        release.set_value();
        thread.join();
    }
    std::promise<void> held;
    std::future<void> heldFuture = held.get_future();
    std::promise<void> release;
    std::thread thread;
};

TEST(MutexLockTest, RegionLockLetsGoAndTakesAgainInsideItsScope) {
    BaseValuesTest::takeAssertions();
    RuntimeMutex mutex;
    mutex.open();
    {
        MutexRegionLock region(&mutex);
        auto contender = std::make_unique<Contender>(&mutex);
        EXPECT_EQ(contender->heldFuture.wait_for(50ms), std::future_status::timeout);
        region.unlock();
        EXPECT_EQ(contender->heldFuture.wait_for(10s), std::future_status::ready);
        region.unlock();  // not held
        EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{"m_pLock"});
        contender.reset();
        region.lock();
        EXPECT_TRUE(region.held());
        region.lock();
        EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{"m_pLock == null"});
        region.unlock();
    }  // not held at the end: nothing to release
    std::unique_ptr<Contender> contender;
    {
        MutexLock lock(&mutex);
        contender = std::make_unique<Contender>(&mutex);
        EXPECT_EQ(contender->heldFuture.wait_for(50ms), std::future_status::timeout);
    }
    EXPECT_EQ(contender->heldFuture.wait_for(10s), std::future_status::ready);
    contender.reset();
    { MutexLock none(nullptr); }
    EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{"pMutex"});
    mutex.close();
}

}  // namespace
