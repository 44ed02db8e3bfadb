#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/credmgr/CredentialKeyHolder.h"

namespace tamsel::test {
namespace {

TEST(CredentialKeyHolderTest, HoldsTheKeyStringAndTheCrcTable) {
    EXPECT_STREQ(CredentialKeyHolder::instance().keyString().text(), "Rb7wTq2MxJ9pLk4V");
    Crc32::Table table{};
    CredentialKeyHolder::instance().crcTable(table);
    EXPECT_EQ(table, Crc32::table());
    EXPECT_EQ(CredentialKeyHolder::instance().crc(reinterpret_cast<const std::uint8_t*>("123456789"), 9),
              0xCBF43926u);
}

TEST(CredentialKeyHolderTest, RacingFirstUsesShareOneHolderAndDestroyStartsAfresh) {
    for (int round = 0; round < 20; ++round) {
        CredentialKeyHolder::destroy();
        std::vector<const CredentialKeyHolder*> seen(8);
        std::vector<std::thread> threads;
        for (size_t i = 0; i < seen.size(); ++i) {
            threads.emplace_back([&seen, i] { seen[i] = &CredentialKeyHolder::instance(); });
        }
        for (std::thread& thread : threads) thread.join();
        EXPECT_EQ(std::set<const CredentialKeyHolder*>(seen.begin(), seen.end()).size(), 1u);
        EXPECT_EQ(seen[0], &CredentialKeyHolder::instance());
    }
    CredentialKeyHolder::destroy();
    EXPECT_STREQ(CredentialKeyHolder::instance().keyString().text(), "Rb7wTq2MxJ9pLk4V");
}

}  // namespace
}  // namespace tamsel::test
