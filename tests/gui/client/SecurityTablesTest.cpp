#include <gtest/gtest.h>

#include <QSet>

#include "SecurityTables.h"

namespace {

// The tables are read side by side by the scan list and the profile editor, so their shapes must
// agree with one another.
TEST(SecurityTables, TablesAgreeWithOneAnother) {
    const QStringList& order = securityModeOrder();
    const QStringList& rank = securityModeRank();
    ASSERT_EQ(order.size(), 12);
    EXPECT_EQ(QSet<QString>(order.begin(), order.end()), QSet<QString>(rank.begin(), rank.end()));
    EXPECT_EQ(QSet<QString>(order.begin(), order.end()).size(), 12);

    ASSERT_EQ(securityModeLabels().size(), 13);
    EXPECT_EQ(securityModeLabels().at(rank.indexOf("openNoEncryption")), "Open(non-secured)");
    EXPECT_EQ(securityModeLabels().at(rank.indexOf("wep")), "WEP");
    // From the seventh on a label sits one place after its keyword.
    EXPECT_EQ(securityModeLabels().at(rank.indexOf("quillanEnterpriseAes") + 1), "Quillan-Enterprise");
    EXPECT_EQ(securityModeLabels().at(rank.indexOf("wpaEnterpriseAes") + 1), "WPA-Enterprise");

    const QList<SecurityType>& types = securityTypeTable();
    ASSERT_EQ(types.size(), 14);
    EXPECT_TRUE(types.first().wireValue.isEmpty());
    for (qsizetype i = 1; i < types.size(); ++i) {
        const SecurityType& t = types.at(i);
        // Every wire value but the static WEP pair is a scan keyword as it stands.
        if (t.asciiKeyElement.startsWith("wep")) {
            EXPECT_TRUE(t.wireValue.endsWith("StaticWep")) << t.wireValue.toStdString();
            EXPECT_TRUE(t.asciiKeyElement.contains('?') && t.hexKeyElement.contains('?'));
        } else {
            EXPECT_TRUE(order.contains(t.wireValue)) << t.wireValue.toStdString();
        }
    }

    EXPECT_EQ(signalLevelNames(), QStringList({"", "VeryLow", "Low", "Good", "VeryGood", "Excellent"}));
}

}  // namespace
