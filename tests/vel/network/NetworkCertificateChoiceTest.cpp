#include <gtest/gtest.h>

#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/certificate/CertificateConstants.h"
#include "vel/network/NetworkCertificateChoice.h"

namespace tamsel::test {
namespace {

using C = NetworkCertificateChoice;
constexpr int MACHINE_STORE = CertificateConstants::STORE_MACHINE_PERSONAL;
constexpr int CARD = CertificateConstants::STORE_SMART_CARD;
constexpr int USER_STORE = CertificateConstants::STORE_USER_PERSONAL;

TEST(NetworkCertificateChoiceTest, ScoresAddWhatHoldsForThePurpose) {
    const struct {
        C::Purpose purpose;
        C::Facts facts;
        int score;
    } rows[] = {
        {C::MACHINE, {true, MACHINE_STORE, {C::CLIENT_AUTHENTICATION}, 1}, 15},
        {C::MACHINE, {false, USER_STORE, {}, 0}, 0},
        {C::MACHINE, {true, MACHINE_STORE, {C::SMART_CARD_LOGON}, 0}, 12},
        {C::MACHINE, {false, CARD, {C::CLIENT_AUTHENTICATION}, 0x81}, 3},
        {C::SMART_CARD, {true, CARD, {C::SMART_CARD_LOGON}, 1}, 29},
        {C::SMART_CARD, {true, CARD, {C::CLIENT_AUTHENTICATION, C::SMART_CARD_LOGON}, 1}, 31},
        {C::SMART_CARD, {true, MACHINE_STORE, {}, 2}, 16},
        // Each part counts once, however often its usage is listed.
        {C::SMART_CARD, {false, CARD, {C::SMART_CARD_LOGON, C::SMART_CARD_LOGON}, 0}, 12},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(C::score(row.purpose, row.facts), row.score)
            << (row.purpose == C::MACHINE ? "machine " : "card ") << row.score;
    }
}

TEST(NetworkCertificateChoiceTest, TheBestScoreWinsAndTheEarlierStaysOnATie) {
    C::Facts weak{true, USER_STORE, {}, 0};
    C::Facts strong{true, MACHINE_STORE, {C::CLIENT_AUTHENTICATION}, 1};
    EXPECT_EQ(C::bestOf(C::MACHINE, {weak, strong, strong}), 1);
    EXPECT_EQ(C::bestOf(C::MACHINE, {weak, weak}), 0);
    EXPECT_EQ(C::bestOf(C::MACHINE, {}), -1);
    // An unusable certificate still competes: it is chosen when nothing scores higher.
    EXPECT_EQ(C::bestOf(C::SMART_CARD, {C::Facts{false, CARD, {}, 0}}), 0);
}

TEST(NetworkCertificateChoiceTest, AnEmptyListChoosesNothingWithThePurposesLine) {
    LogCapture log;
    EXPECT_TRUE(C::choose(C::MACHINE, {}).isNull());
    EXPECT_TRUE(C::choose(C::SMART_CARD, {}).isNull());
    EXPECT_TRUE(log.contains("Can not find certificate suitable for a machine client authentication"));
    EXPECT_TRUE(log.contains("Can not find certificate suitable for a smart card client authentication"));
}

}  // namespace
}  // namespace tamsel::test
