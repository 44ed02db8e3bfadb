#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/os/OsTestSupport.h"

using namespace ostest;

namespace {

std::vector<std::string> g_events;
bool g_allowRefs = true;

void destructor(void* p) {
    g_events.push_back(std::string("destroy ") + static_cast<const char*>(p));
}
void onRelease(void* p, int count) {
    g_events.push_back(std::string("release ") + static_cast<const char*>(p) + " " + std::to_string(count));
}
int allowIfToggled(void*) {
    return g_allowRefs ? 1 : 0;
}

int compareText(void* p, const void* key) {
    return std::strcmp(static_cast<const char*>(p), static_cast<const char*>(key)) == 0 ? 1 : 0;
}
int stopAtTwo(void*, const void*) {
    return 2;
}

class RefPoolTest : public ContextTest {
protected:
    OsRefPool* pool = nullptr;

    void SetUp() override {
        ContextTest::SetUp();
        g_events.clear();
        g_allowRefs = true;
        open(makeConfig());
        ASSERT_EQ(OS_OK, _osRefPoolCreate(__FILE__, __LINE__, &pool, "refs", destructor, ctx));
    }
    void* named(const char* text) {
        void* p = nullptr;
        EXPECT_EQ(OS_OK, _osRefPoolAlloc(__FILE__, __LINE__, &p, std::strlen(text) + 1, pool));
        std::memcpy(p, text, std::strlen(text) + 1);
        return p;
    }
};

TEST_F(RefPoolTest, LastReleaseCallsTheReleaseCallbackWithZeroBeforeTheDestructor) {
    ASSERT_EQ(OS_OK, osRefPoolDecCallback(pool, onRelease));
    void* p = named("a");
    void* second = nullptr;
    ASSERT_EQ(OS_OK, _osRefPoolRef(__FILE__, __LINE__, &second, p));
    EXPECT_EQ(p, second);
    EXPECT_EQ(OS_OK, _osRefPoolUnref(__FILE__, __LINE__, &second));
    EXPECT_EQ(nullptr, second);
    EXPECT_EQ(OS_OK, _osRefPoolUnref(__FILE__, __LINE__, &p));
    EXPECT_EQ((std::vector<std::string>{"release a 1", "release a 0", "destroy a"}), g_events);
    EXPECT_EQ(OS_OK, _osRefPoolDestroy(__FILE__, __LINE__, &pool));
}

TEST_F(RefPoolTest, LookupTakesAReferenceOnAMatchAndHonoursTheComparatorsVerdict) {
    void* a = named("a");
    void* b = named("b");
    void* found = nullptr;
    ASSERT_EQ(OS_OK, osRefPoolLookup(&found, compareText, "b", pool));
    EXPECT_EQ(b, found);
    EXPECT_EQ(OS_OK, _osRefPoolUnref(__FILE__, __LINE__, &b));
    EXPECT_TRUE(g_events.empty()) << "the lookup's reference keeps the block alive";
    EXPECT_EQ(OS_OK, _osRefPoolUnref(__FILE__, __LINE__, &found));
    EXPECT_EQ((std::vector<std::string>{"destroy b"}), g_events);

    void* none = nullptr;
    EXPECT_EQ(OS_ERR_NOT_FOUND, osRefPoolLookup(&none, compareText, "zz", pool));
    EXPECT_EQ(2, osRefPoolLookup(&none, stopAtTwo, "a", pool));
    EXPECT_EQ(nullptr, none);

    ASSERT_EQ(OS_OK, osRefPoolIncCallback(pool, allowIfToggled));
    g_allowRefs = false;
    EXPECT_EQ(OS_ERR_REF_REFUSED, osRefPoolLookup(&none, compareText, "a", pool));
    EXPECT_EQ(OS_ERR_REF_REFUSED, _osRefPoolRef(__FILE__, __LINE__, &none, a));
    EXPECT_EQ(nullptr, none);
    ASSERT_EQ(OS_OK, osRefPoolIncCallback(pool, nullptr)) << "null restores the default";
    EXPECT_EQ(OS_OK, _osRefPoolRef(__FILE__, __LINE__, &none, a));
    EXPECT_EQ(OS_OK, _osRefPoolUnref(__FILE__, __LINE__, &none));
    EXPECT_EQ(OS_OK, _osRefPoolUnref(__FILE__, __LINE__, &a));
    EXPECT_EQ(OS_OK, _osRefPoolDestroy(__FILE__, __LINE__, &pool));
}

TEST_F(RefPoolTest, PoolWithBlocksIsNotDestroyed) {
    void* p = named("held");
    OsRefPool* alias = pool;
    EXPECT_EQ(OS_ERR_BUSY, _osRefPoolDestroy(__FILE__, __LINE__, &alias));
    EXPECT_EQ(nullptr, alias);
    // The pool is still usable through the other handle.
    void* more = nullptr;
    EXPECT_EQ(OS_OK, _osRefPoolRef(__FILE__, __LINE__, &more, p));
    EXPECT_EQ(OS_OK, _osRefPoolUnref(__FILE__, __LINE__, &more));
    EXPECT_EQ(OS_OK, _osRefPoolUnref(__FILE__, __LINE__, &p));
    EXPECT_EQ(OS_OK, _osRefPoolDestroy(__FILE__, __LINE__, &pool));
}

TEST_F(RefPoolTest, PoolLockIsOneRecursiveLockSharedByAllPools) {
    OsRefPool* other = nullptr;
    ASSERT_EQ(OS_OK, _osRefPoolCreate(__FILE__, __LINE__, &other, "other", nullptr, ctx));
    ASSERT_EQ(OS_OK, _osRefPoolLock(__FILE__, __LINE__, pool));
    ASSERT_EQ(OS_OK, _osRefPoolLock(__FILE__, __LINE__, other));

    Latch latch;
    bool gotIt = false;
    std::thread contender([&] {
        void* p = nullptr;
        int r = _osRefPoolAlloc(__FILE__, __LINE__, &p, 4, other);
        latch.update([&] { gotIt = r == OS_OK; });
        _osRefPoolUnref(__FILE__, __LINE__, &p);
    });
    EXPECT_FALSE(latch.waitFor([&] { return gotIt; }, std::chrono::milliseconds(100)))
        << "another thread's reference operation waits for the lock";
    EXPECT_EQ(OS_OK, _osRefPoolUnlock(__FILE__, __LINE__, other));
    EXPECT_FALSE(latch.waitFor([&] { return gotIt; }, std::chrono::milliseconds(50))) << "still held once";
    EXPECT_EQ(OS_OK, _osRefPoolUnlock(__FILE__, __LINE__, pool));
    EXPECT_TRUE(latch.waitFor([&] { return gotIt; }, DEADLINE));
    contender.join();
    EXPECT_EQ(OS_ERR_FAILED, _osRefPoolUnlock(__FILE__, __LINE__, pool)) << "not held by this thread";
    EXPECT_EQ(OS_OK, _osRefPoolDestroy(__FILE__, __LINE__, &other));
    EXPECT_EQ(OS_OK, _osRefPoolDestroy(__FILE__, __LINE__, &pool));
}

TEST(RefPoolGuardTest, DamagedReferenceBlockIsReportedByTheNextCheckedOperation) {
    Seen::instance().clear();
    OsContext* ctx = nullptr;
    OsContextConfig config = makeConfig(0, 1);
    ASSERT_EQ(OS_OK, _osContextCreate(__FILE__, __LINE__, &ctx, "refguard", &config));
    OsRefPool* pool = nullptr;
    ASSERT_EQ(OS_OK, _osRefPoolCreate(__FILE__, __LINE__, &pool, "guarded", nullptr, ctx));
    void* p = nullptr;
    ASSERT_EQ(OS_OK, _osRefPoolAlloc(__FILE__, __LINE__, &p, 6, pool));
    const struct {
        ptrdiff_t offset;
        int reason;
    } damages[] = {{6, osMemCorruption_tail}, {8, osMemCorruption_tail}, {-2, osMemCorruption_head}};
    for (const auto& d : damages) {
        SCOPED_TRACE(d.offset);
        Seen::instance().clear();
        auto* byte = static_cast<unsigned char*>(p) + d.offset;
        unsigned char saved = *byte;
        *byte ^= 0xFF;
        void* out = nullptr;
        EXPECT_EQ(OS_ERR_FAILED, _osRefPoolRef("ref.cpp", 3, &out, p));
        EXPECT_EQ(nullptr, out) << "no reference is taken from a damaged pool";
        {
            Seen& s = Seen::instance();
            std::lock_guard<std::mutex> lock(s.mutex);
            ASSERT_EQ(1u, s.corruptions.size());
            EXPECT_EQ(d.reason, s.corruptions[0].reason);
            EXPECT_EQ(p, s.corruptions[0].userPointer);
            EXPECT_EQ("ref.cpp", s.corruptions[0].file);
        }
        *byte = saved;
    }
    EXPECT_EQ(OS_OK, _osRefPoolUnref(__FILE__, __LINE__, &p));
    EXPECT_EQ(OS_OK, _osRefPoolDestroy(__FILE__, __LINE__, &pool));
    EXPECT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));
}

}  // namespace
