// Memory pools used from several threads at once: blocks freed and resized by threads other than
// the one that allocated them, the leak report of blocks from many threads, and validation while
// every thread allocates.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/os/OsTestSupport.h"

using namespace ostest;

namespace {

constexpr uintptr_t VALIDATE_MEMORY = osDbgTraceType_memPool;

// Runs `work` on a thread of its own and waits for it.
void onOtherThread(const std::function<void()>& work) {
    std::thread(work).join();
}

class MemoryThreadsTest : public ContextTest {
protected:
    OsMemPool* pool = nullptr;

    void openPool(uintptr_t guardCheck, uintptr_t leakTracking) {
        open(makeConfig(0, guardCheck, leakTracking, VALIDATE_MEMORY), "threads");
        ASSERT_EQ(OS_OK, _osMemPoolCreate(__FILE__, __LINE__, &pool, "shared", ctx));
    }
};

struct HandOver {
    const char* name;
    bool allocateHere;
    bool resizeElsewhere;
};

const HandOver HAND_OVERS[] = {
    {"allocated elsewhere, freed here", false, false},
    {"allocated here, freed elsewhere", true, false},
    {"allocated elsewhere, resized on a third thread, freed here", false, true},
};

TEST_F(MemoryThreadsTest, BlockMovesBetweenThreadsAndIsFreedExactlyOnce) {
    openPool(1, 0);
    for (const HandOver& c : HAND_OVERS) {
        SCOPED_TRACE(c.name);
        void* p = nullptr;
        auto allocate = [&] { ASSERT_EQ(OS_OK, _osMemPoolAlloc(__FILE__, __LINE__, &p, 24, pool)); };
        if (c.allocateHere) {
            allocate();
        } else {
            onOtherThread(allocate);
        }
        ASSERT_NE(nullptr, p);
        std::memset(p, 0x5A, 24);
        if (c.resizeElsewhere) {
            onOtherThread([&] { ASSERT_EQ(OS_OK, _osMemPoolRealloc(__FILE__, __LINE__, &p, 4000, pool)); });
            ASSERT_NE(nullptr, p);
            EXPECT_EQ(0x5A, static_cast<unsigned char*>(p)[23]) << "contents survive the move";
        }
        void* again = p;
        auto release = [&] { EXPECT_EQ(OS_OK, _osMemPoolFree(__FILE__, __LINE__, &p)); };
        if (c.allocateHere) {
            onOtherThread(release);
        } else {
            release();
        }
        EXPECT_EQ(OS_ERR_NOT_FOUND, _osMemPoolFree(__FILE__, __LINE__, &again)) << "second free is stray";
    }
    EXPECT_TRUE(Seen::instance().corruptions.empty());
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &pool)) << "no block left behind";
}

TEST_F(MemoryThreadsTest, LeakReportListsTheBlocksOfEveryThread) {
    openPool(0, OS_LEAK_REPORT);
    // More threads than there could be separate lists, started one after the other.
    constexpr int THREADS = 40;
    std::vector<void*> firsts(THREADS, nullptr);
    std::vector<void*> seconds(THREADS, nullptr);
    for (int t = 0; t < THREADS; ++t) {
        onOtherThread([&, t] {
            ASSERT_EQ(OS_OK, _osMemPoolAlloc("first.cpp", t + 1, &firsts[t], 8, pool));
            ASSERT_EQ(OS_OK, _osMemPoolAlloc("second.cpp", t + 1, &seconds[t], 16, pool));
        });
    }
    EXPECT_EQ(OS_ERR_BUSY, _osMemPoolDestroy(__FILE__, __LINE__, &pool));
    ASSERT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));

    const std::vector<std::string>& lines = Seen::instance().leaks;
    auto find = [&](const void* p, const char* file, int line, int len) {
        char text[128];
        std::snprintf(text, sizeof text, "threads|m%p shared: %16s:%-4d len %d", p, file, line, len);
        long at = -1;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == text) {
                EXPECT_EQ(-1, at) << "listed twice: " << text;
                at = static_cast<long>(i);
            }
        }
        return at;
    };
    for (int t = 0; t < THREADS; ++t) {
        SCOPED_TRACE(t);
        long first = find(firsts[t], "first.cpp", t + 1, 8);
        long second = find(seconds[t], "second.cpp", t + 1, 16);
        ASSERT_GE(first, 0);
        ASSERT_GE(second, 0);
        EXPECT_LT(first, second) << "one thread's blocks oldest first";
    }
    // The busy pool's own record stays in the context's default pool and is listed too.
    EXPECT_EQ(static_cast<size_t>(2 * THREADS + 1), lines.size()) << "nothing but the leaked blocks";
}

// Every thread keeps a few hundred blocks live, so that the tables of live blocks grow while the
// other threads look blocks up, and hands every third block to a neighbour to free.
TEST_F(MemoryThreadsTest, ThreadsAllocatingAtOnceKeepEveryBlockValid) {
    openPool(0, OS_LEAK_REPORT);
    constexpr int THREADS = 4;
    constexpr int LIVE = 400;
    constexpr int ROUNDS = 3;
    std::mutex binMutex;
    std::vector<void*> bins[THREADS];
    std::atomic<int> failures{0};
    auto fail = [&](int rc) {
        if (rc != OS_OK) failures.fetch_add(1);
    };
    auto worker = [&](int self) {
        std::vector<void*> mine;
        for (int round = 0; round < ROUNDS; ++round) {
            for (int i = 0; i < LIVE; ++i) {
                void* p = nullptr;
                fail(_osMemPoolAlloc(__FILE__, __LINE__, &p, static_cast<size_t>(8 + i % 64), pool));
                if (p == nullptr) continue;
                std::memset(p, self, 8);
                if (i % 3 == 0) {
                    std::lock_guard<std::mutex> lock(binMutex);
                    bins[(self + 1) % THREADS].push_back(p);
                } else {
                    mine.push_back(p);
                }
            }
            for (size_t i = 0; i < mine.size(); i += 2) fail(_osMemPoolRealloc(__FILE__, __LINE__, &mine[i], 100, pool));
            for (void*& p : mine) {
                if (p != nullptr && static_cast<unsigned char*>(p)[0] != self) failures.fetch_add(1);
                fail(_osMemPoolFree(__FILE__, __LINE__, &p));
            }
            mine.clear();
            std::vector<void*> given;
            {
                std::lock_guard<std::mutex> lock(binMutex);
                given.swap(bins[self]);
            }
            for (void*& p : given) fail(_osMemPoolFree(__FILE__, __LINE__, &p));
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < THREADS; ++t) threads.emplace_back(worker, t);
    for (std::thread& t : threads) t.join();
    // Blocks handed over after their receiver's last round are freed here.
    for (std::vector<void*>& bin : bins) {
        for (void*& p : bin) fail(_osMemPoolFree(__FILE__, __LINE__, &p));
    }
    EXPECT_EQ(0, failures.load());
    EXPECT_EQ(OS_OK, _osMemPoolDestroy(__FILE__, __LINE__, &pool)) << "every block freed exactly once";
}

}  // namespace
