#include <gtest/gtest.h>

#include <QSet>
#include <iterator>

#include "gui/client/SecurityTables.h"

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

// Every row of the security types as the system's table has it: display text, wire value and the
// two key element names.
TEST(SecurityTables, SecurityTypeRowsAreTheSystemsOwn) {
    const struct {
        const char* display;
        const char* wire;
        const char* asciiKey;
        const char* hexKey;
    } rows[] = {
        {"-- Select Security Type --", "", "", ""},
        {"Open(non-secured)", "openNoEncryption", "openNoEncryption", "openNoEncryption"},
        {"WEP", "openStaticWep", "wepAscii?Key", "wepHex?Key"},
        {"Shared WEP", "sharedStaticWep", "wepAscii?Key", "wepHex?Key"},
        {"WPA Personal AES", "wpaPersonalAes", "wpaAsciiKey", "wpaHexKey"},
        {"WPA Personal TKIP", "wpaPersonalTkip", "wpaAsciiKey", "wpaHexKey"},
        {"WPA2 Personal AES", "wpa2PersonalAes", "wpaAsciiKey", "wpaHexKey"},
        {"WPA2 Personal TKIP", "wpa2PersonalTkip", "wpaAsciiKey", "wpaHexKey"},
        {"WPA Enterprise AES", "wpaEnterpriseAes", "wpaAsciiKey", "wpaHexKey"},
        {"WPA Enterprise TKIP", "wpaEnterpriseTkip", "wpaAsciiKey", "wpaHexKey"},
        {"WPA2 Enterprise AES", "wpa2EnterpriseAes", "wpaAsciiKey", "wpaHexKey"},
        {"WPA2 Enterprise TKIP", "wpa2EnterpriseTkip", "wpaAsciiKey", "wpaHexKey"},
        {"Quillan Enterprise AES", "quillanEnterpriseAes", "quillanAsciiKey", "quillanHexKey"},
        {"Quillan Enterprise TKIP", "quillanEnterpriseTkip", "quillanAsciiKey", "quillanHexKey"},
    };
    const QList<SecurityType>& types = securityTypeTable();
    ASSERT_EQ(types.size(), static_cast<qsizetype>(std::size(rows)));
    for (qsizetype i = 0; i < types.size(); ++i) {
        const SecurityType& t = types.at(i);
        const auto& row = rows[i];
        SCOPED_TRACE(testing::Message() << "row " << i);
        EXPECT_EQ(t.displayName, QString::fromUtf8(row.display));
        EXPECT_EQ(t.wireValue, QString::fromUtf8(row.wire));
        EXPECT_EQ(t.asciiKeyElement, QString::fromUtf8(row.asciiKey));
        EXPECT_EQ(t.hexKeyElement, QString::fromUtf8(row.hexKey));
    }

    EXPECT_EQ(
        securityModeOrder(),
        QStringList({"openNoEncryption", "wep", "wpaPersonalTkip", "wpaPersonalAes", "wpaEnterpriseTkip",
                     "wpaEnterpriseAes", "wpa2PersonalTkip", "wpa2PersonalAes", "wpa2EnterpriseTkip",
                     "wpa2EnterpriseAes", "quillanEnterpriseTkip", "quillanEnterpriseAes"}));
    EXPECT_EQ(
        securityModeRank(),
        QStringList({"openNoEncryption", "wpa2PersonalTkip", "wpa2PersonalAes", "wpaPersonalTkip",
                     "wpaPersonalAes", "wep", "quillanEnterpriseTkip", "quillanEnterpriseAes",
                     "wpa2EnterpriseTkip", "wpa2EnterpriseAes", "wpaEnterpriseTkip", "wpaEnterpriseAes"}));
    EXPECT_EQ(securityModeLabels(),
              QStringList({"Open(non-secured)", "WPA2-Personal", "WPA2-Personal", "WPA-Personal",
                           "WPA-Personal", "WEP", "Shared-WEP", "Quillan-Enterprise", "Quillan-Enterprise",
                           "WPA2-Enterprise", "WPA2-Enterprise", "WPA-Enterprise", "WPA-Enterprise"}));
}

}  // namespace
