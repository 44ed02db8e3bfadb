// A repeated line: the first few written, the rest counted and told once their interval has
// passed, or at the end, each counted once.
#include <gtest/gtest.h>

#include <chrono>

#include "runtime/lum/LogFold.h"

namespace {

TEST(LogFoldTest, TheFirstFewAreWrittenAndTheRestToldOncePerInterval) {
    LogFold fold(2, std::chrono::hours(1));
    EXPECT_TRUE(fold.nextInFull());
    EXPECT_TRUE(fold.occur());
    EXPECT_TRUE(fold.occur());
    EXPECT_FALSE(fold.nextInFull());
    EXPECT_EQ(fold.take(true).count, 0) << "nothing folded yet";
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(fold.occur());
    EXPECT_EQ(fold.take(false).count, 0) << "the interval has not passed";
    EXPECT_EQ(fold.take(true).count, 5);
    EXPECT_EQ(fold.take(true).count, 0) << "told once";
    EXPECT_FALSE(fold.occur()) << "folding goes on after a tell";
    EXPECT_EQ(fold.take(true).count, 1);
}

TEST(LogFoldTest, AnIntervalThatHasPassedTellsWithoutTheEnd) {
    LogFold fold(0, std::chrono::seconds(0));
    EXPECT_FALSE(fold.occur());
    EXPECT_FALSE(fold.occur());
    const LogFold::Told told = fold.take(false);
    EXPECT_EQ(told.count, 2);
    EXPECT_GE(told.seconds, 0);
    EXPECT_EQ(fold.take(false).count, 0);
}

}  // namespace
