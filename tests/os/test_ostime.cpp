#include <cstring>
#include <ctime>

#include "tests/os/OsTestSupport.h"

namespace {

TEST(TimeTest, WallClockMatchesTheSystemClock) {
    OsTime t{};
    std::time_t before = std::time(nullptr);
    ASSERT_EQ(OS_OK, osTime(&t));
    std::time_t after = std::time(nullptr);
    EXPECT_GE(static_cast<std::time_t>(t.seconds), before);
    // std::time reads the kernel's coarse clock, which can still show the second that the precise
    // clock has just left.
    EXPECT_LE(static_cast<std::time_t>(t.seconds), after + 1);
    EXPECT_LT(t.microseconds, 1000000u);
    EXPECT_EQ(OS_ERR_ARGUMENT, osTime(nullptr));
}

TEST(TimeTest, MillisecondTickAdvancesAcrossASleep) {
    uint32_t before = osMTime();
    osMSleep(30);
    uint32_t elapsed = osMTime() - before;
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 5000u);
}

struct ByteOrderCase {
    const char* name;
    void (*copy)(void*, const void*);
    int width;
    unsigned char expected[4];
};

const ByteOrderCase BYTE_ORDER_CASES[] = {
    {"bo_htonl", bo_htonl, 4, {4, 3, 2, 1}},         {"bo_ntohl", bo_ntohl, 4, {4, 3, 2, 1}},
    {"bo_htons", bo_htons, 2, {2, 1, 0xAA, 0xAA}},   {"bo_ntohs", bo_ntohs, 2, {2, 1, 0xAA, 0xAA}},
    {"bo_htolel", bo_htolel, 4, {1, 2, 3, 4}},       {"bo_letohl", bo_letohl, 4, {1, 2, 3, 4}},
    {"bo_htoles", bo_htoles, 2, {1, 2, 0xAA, 0xAA}}, {"bo_letohs", bo_letohs, 2, {1, 2, 0xAA, 0xAA}},
};

TEST(ByteOrderTest, CopiesWorkOnUnalignedBytes) {
    for (const ByteOrderCase& c : BYTE_ORDER_CASES) {
        SCOPED_TRACE(c.name);
        unsigned char src[5] = {0xFF, 1, 2, 3, 4};
        unsigned char dst[6];
        std::memset(dst, 0xAA, sizeof dst);
        c.copy(dst + 1, src + 1);
        EXPECT_EQ(0xAA, dst[0]);
        EXPECT_EQ(0, std::memcmp(dst + 1, c.expected, 4));
        EXPECT_EQ(0xAA, dst[5]);
    }
}

}  // namespace
