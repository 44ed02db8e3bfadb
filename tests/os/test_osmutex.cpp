#include <atomic>
#include <thread>
#include <vector>

#include "tests/os/OsTestSupport.h"

using namespace ostest;

namespace {

using std::chrono::milliseconds;

class MutexTest : public ContextTest {
protected:
    OsMutex* mutex = nullptr;
    void SetUp() override {
        ContextTest::SetUp();
        open(makeConfig(osDbgTraceType_mutex));
        ASSERT_EQ(OS_OK, _osMutexCreate(__FILE__, __LINE__, &mutex, ctx));
    }
    void TearDown() override {
        EXPECT_EQ(OS_OK, _osMutexDestroy(__FILE__, __LINE__, &mutex));
        ContextTest::TearDown();
    }
};

TEST_F(MutexTest, OwnerMustUnlockAsOftenAsItLockedBeforeAnotherThreadGetsIn) {
    for (int i = 0; i < 3; ++i) ASSERT_EQ(OS_OK, _osMutexLock(__FILE__, __LINE__, mutex));

    Latch latch;
    bool acquired = false;
    std::atomic<int> foreignUnlock{1};
    std::thread other([&] {
        foreignUnlock = _osMutexUnlock(__FILE__, __LINE__, mutex);
        ASSERT_EQ(OS_OK, _osMutexLock(__FILE__, __LINE__, mutex));
        latch.update([&] { acquired = true; });
        EXPECT_EQ(OS_OK, _osMutexUnlock(__FILE__, __LINE__, mutex));
    });
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(latch.waitFor([&] { return acquired; }, milliseconds(50)));
        ASSERT_EQ(OS_OK, _osMutexUnlock(__FILE__, __LINE__, mutex));
    }
    EXPECT_FALSE(latch.waitFor([&] { return acquired; }, milliseconds(50))) << "one level still held";
    ASSERT_EQ(OS_OK, _osMutexUnlock(__FILE__, __LINE__, mutex));
    EXPECT_TRUE(latch.waitFor([&] { return acquired; }, DEADLINE));
    other.join();
    EXPECT_EQ(OS_ERR_FAILED, foreignUnlock.load())
        << "a thread that does not hold the mutex cannot unlock it";
}

TEST_F(MutexTest, UnlockByNonOwnerChangesNothing) {
    ASSERT_EQ(OS_OK, _osMutexLock(__FILE__, __LINE__, mutex));
    int result = OS_OK;
    std::thread([&] { result = _osMutexUnlock(__FILE__, __LINE__, mutex); }).join();
    EXPECT_EQ(OS_ERR_FAILED, result);
    // Still held once by this thread: one unlock frees it, a second one is refused.
    EXPECT_EQ(OS_OK, _osMutexUnlock(__FILE__, __LINE__, mutex));
    EXPECT_EQ(OS_ERR_FAILED, _osMutexUnlock(__FILE__, __LINE__, mutex));
}

TEST_F(MutexTest, HeldMutexIsNotDestroyed) {
    ASSERT_EQ(OS_OK, _osMutexLock(__FILE__, __LINE__, mutex));
    OsMutex* alias = mutex;
    EXPECT_EQ(OS_ERR_BUSY, _osMutexDestroy(__FILE__, __LINE__, &alias));
    EXPECT_EQ(nullptr, alias);
    EXPECT_EQ(OS_OK, _osMutexUnlock(__FILE__, __LINE__, mutex)) << "the record is still intact";
}

TEST_F(MutexTest, ContendedCounterLosesNoIncrements) {
    constexpr int THREADS = 4;
    constexpr int ROUNDS = 5000;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < THREADS; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < ROUNDS; ++i) {
                _osMutexLock(__FILE__, __LINE__, mutex);
                _osMutexLock(__FILE__, __LINE__, mutex);
                ++counter;
                _osMutexUnlock(__FILE__, __LINE__, mutex);
                _osMutexUnlock(__FILE__, __LINE__, mutex);
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(THREADS * ROUNDS, counter);
}

TEST_F(MutexTest, LockAndUnlockAreTracedWithOwnerAndDepth) {
    Seen::instance().clear();
    OsThreadId self = 0;
    ASSERT_EQ(OS_OK, osThreadSelf(&self));
    ASSERT_EQ(OS_OK, _osMutexLock("a.cpp", 1, mutex));
    ASSERT_EQ(OS_OK, _osMutexLock("a.cpp", 2, mutex));
    ASSERT_EQ(OS_OK, _osMutexUnlock("a.cpp", 3, mutex));
    ASSERT_EQ(OS_OK, _osMutexUnlock("a.cpp", 4, mutex));
    Seen& s = Seen::instance();
    std::lock_guard<std::mutex> lock(s.mutex);
    ASSERT_EQ(4u, s.traces.size());
    const unsigned opcodes[] = {osDbgTraceOp_lock, osDbgTraceOp_lock, osDbgTraceOp_unlock,
                                osDbgTraceOp_unlock};
    const uintptr_t depths[] = {1, 2, 1, 0};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(opcodes[i], s.traces[i].opcode);
        EXPECT_EQ(self, s.traces[i].extra1);
        EXPECT_EQ(depths[i], s.traces[i].extra2);
        EXPECT_EQ(static_cast<unsigned>(osDbgTraceType_mutex), s.traces[i].kind);
    }
}

class SignalTest : public ContextTest {};

TEST_F(SignalTest, SetWithNobodyWaitingLetsExactlyTheNextWaitThrough) {
    open(makeConfig());
    OsSignal* signal = nullptr;
    ASSERT_EQ(OS_OK, _osSignalCreate(__FILE__, __LINE__, &signal, ctx));
    ASSERT_EQ(OS_OK, _osSignalSet(__FILE__, __LINE__, signal));
    ASSERT_EQ(OS_OK, _osSignalSet(__FILE__, __LINE__, signal)) << "sets do not count up";
    ASSERT_EQ(OS_OK, _osSignalWait(__FILE__, __LINE__, signal));

    Latch latch;
    bool woke = false;
    std::thread waiter([&] {
        EXPECT_EQ(OS_OK, _osSignalWait(__FILE__, __LINE__, signal));
        latch.update([&] { woke = true; });
    });
    EXPECT_FALSE(latch.waitFor([&] { return woke; }, milliseconds(100)));
    ASSERT_EQ(OS_OK, _osSignalSet(__FILE__, __LINE__, signal));
    EXPECT_TRUE(latch.waitFor([&] { return woke; }, DEADLINE));
    waiter.join();
    EXPECT_EQ(OS_OK, _osSignalDestroy(__FILE__, __LINE__, &signal));
    EXPECT_EQ(nullptr, signal);
}

TEST_F(SignalTest, OneSetReleasesOneOfSeveralWaiters) {
    open(makeConfig());
    OsSignal* signal = nullptr;
    ASSERT_EQ(OS_OK, _osSignalCreate(__FILE__, __LINE__, &signal, ctx));
    Latch latch;
    int woken = 0;
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            _osSignalWait(__FILE__, __LINE__, signal);
            latch.update([&] { ++woken; });
        });
    }
    for (int expected = 1; expected <= 3; ++expected) {
        ASSERT_EQ(OS_OK, _osSignalSet(__FILE__, __LINE__, signal));
        EXPECT_TRUE(latch.waitFor([&] { return woken >= expected; }, DEADLINE));
        EXPECT_FALSE(latch.waitFor([&] { return woken > expected; }, milliseconds(50)));
    }
    for (auto& t : waiters) t.join();
    EXPECT_EQ(OS_OK, _osSignalDestroy(__FILE__, __LINE__, &signal));
}

}  // namespace
