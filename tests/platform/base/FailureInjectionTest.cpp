#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"

namespace tamsel::test {
namespace {

// The codes the next `calls` calls of `call` answer: 0 where the call goes through.
std::vector<std::uint32_t> outcomes(const char* call, int calls) {
    std::vector<std::uint32_t> seen;
    for (int i = 0; i < calls; ++i) {
        std::uint32_t code = 0;
        seen.push_back(base::injectedFailure(call, code) ? code : 0);
    }
    return seen;
}

class FailureInjectionTest : public ::testing::Test {
protected:
    void TearDown() override { base::clearFailures(); }
};

TEST_F(FailureInjectionTest, UnarmedCallsPassAndCostNoLookUp) {
    EXPECT_FALSE(base::failuresArmed());
    EXPECT_EQ(outcomes("ReadFile", 3), (std::vector<std::uint32_t>{0, 0, 0}));
}

TEST_F(FailureInjectionTest, NextCountCallsFailThenTheArmIsGone) {
    base::failNext("ReadFile", 30, 2);
    EXPECT_TRUE(base::failuresArmed());
    EXPECT_EQ(outcomes("WriteFile", 1), (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(outcomes("ReadFile", 3), (std::vector<std::uint32_t>{30, 30, 0}));
    EXPECT_FALSE(base::failuresArmed());
}

TEST_F(FailureInjectionTest, CountZeroFailsEveryCallUntilCleared) {
    base::failNext("CreateFileW", 5, 0);
    EXPECT_EQ(outcomes("CreateFileW", 4), (std::vector<std::uint32_t>{5, 5, 5, 5}));
    base::clearFailures();
    EXPECT_EQ(outcomes("CreateFileW", 1), (std::vector<std::uint32_t>{0}));
}

TEST_F(FailureInjectionTest, ArmsOfOneCallQueueAndCodeZeroLetsCallsThrough) {
    base::failNext("createAutoResetEvent", 0, 2);
    base::failNext("createAutoResetEvent", 8, 1);
    base::failNext("createAutoResetEvent", 9, 1);
    EXPECT_EQ(outcomes("createAutoResetEvent", 5), (std::vector<std::uint32_t>{0, 0, 8, 9, 0}));
}

TEST_F(FailureInjectionTest, NamesMatchWhole) {
    base::failNext("MoveFileW", 5, 0);
    EXPECT_EQ(outcomes("MoveFileExW", 1), (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(outcomes("MoveFile", 1), (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(outcomes("MoveFileW", 1), (std::vector<std::uint32_t>{5}));
}

}  // namespace
}  // namespace tamsel::test
