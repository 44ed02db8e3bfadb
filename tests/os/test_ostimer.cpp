#include <atomic>
#include <thread>
#include <vector>

#include "tests/os/OsTestSupport.h"

using namespace ostest;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct Ticks {
    Latch latch;
    int count = 0;
    std::vector<Clock::time_point> at;
    OsThreadId thread = 0;
    int nestedCreate = 1;
    int nestedDestroy = 1;
    OsContext* context = nullptr;
    OsTimer* victim = nullptr;

    bool waitForCount(int n, std::chrono::milliseconds deadline = DEADLINE) {
        return latch.waitFor([&] { return count >= n; }, deadline);
    }
};

void tick(void* userData) {
    auto* t = static_cast<Ticks*>(userData);
    OsThreadId self = 0;
    osThreadSelf(&self);
    t->latch.update([&] {
        ++t->count;
        t->at.push_back(Clock::now());
        t->thread = self;
    });
}

void tickAndMeddle(void* userData) {
    auto* t = static_cast<Ticks*>(userData);
    OsTimer* made = nullptr;
    int created = _osTimerCreate(__FILE__, __LINE__, &made, tick, t, t->context);
    OsTimer* victim = t->victim;
    int destroyed = _osTimerDestroy(__FILE__, __LINE__, &victim);
    t->latch.update([&] {
        t->nestedCreate = created;
        t->nestedDestroy = destroyed;
        ++t->count;
    });
}

class TimerTest : public ContextTest {};

TEST_F(TimerTest, TicksFiveTimesASecond) {
    open(makeConfig());
    EXPECT_EQ(5, osTimerGetHz());
    Ticks ticks;
    OsTimer* timer = nullptr;
    ASSERT_EQ(OS_OK, _osTimerCreate(__FILE__, __LINE__, &timer, tick, &ticks, ctx));
    ASSERT_TRUE(ticks.waitForCount(11, std::chrono::seconds(6)));
    ASSERT_EQ(OS_OK, _osTimerDestroy(__FILE__, __LINE__, &timer));
    EXPECT_EQ(nullptr, timer);
    auto tenTicks = std::chrono::duration_cast<milliseconds>(ticks.at[10] - ticks.at[0]).count();
    EXPECT_GE(tenTicks, 1800);
    EXPECT_LE(tenTicks, 2600);
}

TEST_F(TimerTest, EveryTimerOfEveryContextTicksOnTheOneThread) {
    open(makeConfig());
    OsContext* other = nullptr;
    OsContextConfig config = makeConfig();
    ASSERT_EQ(OS_OK, _osContextCreate(__FILE__, __LINE__, &other, "other", &config));
    Ticks a, b;
    OsTimer* ta = nullptr;
    OsTimer* tb = nullptr;
    ASSERT_EQ(OS_OK, _osTimerCreate(__FILE__, __LINE__, &ta, tick, &a, ctx));
    ASSERT_EQ(OS_OK, _osTimerCreate(__FILE__, __LINE__, &tb, tick, &b, other));
    ASSERT_TRUE(a.waitForCount(2));
    ASSERT_TRUE(b.waitForCount(2));
    EXPECT_EQ(a.thread, b.thread);
    OsThreadId self = 0;
    osThreadSelf(&self);
    EXPECT_NE(self, a.thread);
    EXPECT_EQ(OS_OK, _osTimerDestroy(__FILE__, __LINE__, &ta));
    EXPECT_EQ(OS_OK, _osTimerDestroy(__FILE__, __LINE__, &tb));
    EXPECT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &other));
}

TEST_F(TimerTest, LastDestroyStopsTheThreadAndTheNextCreateStartsAFreshOne) {
    open(makeConfig());
    Ticks first;
    OsTimer* timer = nullptr;
    ASSERT_EQ(OS_OK, _osTimerCreate(__FILE__, __LINE__, &timer, tick, &first, ctx));
    ASSERT_TRUE(first.waitForCount(1));
    ASSERT_EQ(OS_OK, _osTimerDestroy(__FILE__, __LINE__, &timer));
    int countAtDestroy = 0;
    first.latch.update([&] { countAtDestroy = first.count; });
    EXPECT_FALSE(first.waitForCount(countAtDestroy + 1, milliseconds(500)))
        << "no tick after destroy returned";

    Ticks second;
    ASSERT_EQ(OS_OK, _osTimerCreate(__FILE__, __LINE__, &timer, tick, &second, ctx));
    ASSERT_TRUE(second.waitForCount(1));
    EXPECT_NE(first.thread, second.thread);
    EXPECT_EQ(OS_OK, _osTimerDestroy(__FILE__, __LINE__, &timer));
}

TEST_F(TimerTest, CallbacksCannotCreateOrDestroyTimers) {
    open(makeConfig());
    Ticks plain;
    Ticks meddler;
    meddler.context = ctx;
    OsTimer* victim = nullptr;
    OsTimer* timer = nullptr;
    ASSERT_EQ(OS_OK, _osTimerCreate(__FILE__, __LINE__, &victim, tick, &plain, ctx));
    meddler.victim = victim;
    ASSERT_EQ(OS_OK, _osTimerCreate(__FILE__, __LINE__, &timer, tickAndMeddle, &meddler, ctx));
    ASSERT_TRUE(meddler.waitForCount(1));
    EXPECT_EQ(OS_ERR_FAILED, meddler.nestedCreate);
    EXPECT_EQ(OS_ERR_FAILED, meddler.nestedDestroy);
    // The timer a callback failed to destroy keeps ticking.
    int seen = 0;
    plain.latch.update([&] { seen = plain.count; });
    EXPECT_TRUE(plain.waitForCount(seen + 1));
    EXPECT_EQ(OS_OK, _osTimerDestroy(__FILE__, __LINE__, &timer));
    EXPECT_EQ(OS_OK, _osTimerDestroy(__FILE__, __LINE__, &victim));
}

TEST_F(TimerTest, CreateRacingTheLastDestroyKeepsItsTimerTicking) {
    open(makeConfig());
    std::atomic<bool> stop{false};
    Ticks churnTicks;
    // Creates and destroys the only other timer as fast as it can, so that most of its destroys
    // are the last one and stop the thread.
    std::thread churn([&] {
        while (!stop) {
            OsTimer* t = nullptr;
            ASSERT_EQ(OS_OK, _osTimerCreate(__FILE__, __LINE__, &t, tick, &churnTicks, ctx));
            ASSERT_EQ(OS_OK, _osTimerDestroy(__FILE__, __LINE__, &t));
        }
    });
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        Ticks ticks;
        OsTimer* timer = nullptr;
        ASSERT_EQ(OS_OK, _osTimerCreate(__FILE__, __LINE__, &timer, tick, &ticks, ctx));
        EXPECT_TRUE(ticks.waitForCount(1, std::chrono::seconds(3))) << "a created timer must tick";
        ASSERT_EQ(OS_OK, _osTimerDestroy(__FILE__, __LINE__, &timer));
    }
    stop = true;
    churn.join();
}

}  // namespace
