#include <gtest/gtest.h>

#include <QStringList>

#include "gui/client/MergeItemList.h"

namespace {

NetworkItem network(const QString& name, const QString& ssid, const QString& mode) {
    NetworkItem n;
    n.networkName = name;
    n.ssid = ssid;
    n.associationAndEncryptionMode = mode;
    n.networkCreator = QStringLiteral("administrator");
    return n;
}

// One line per row, so that a whole merged list compares in one assertion.
QStringList rows(const MergeItemList& list) {
    QStringList out;
    for (int i = 0; i < list.count(); ++i) {
        const MergeItem& r = list.at(i);
        out << QStringLiteral("%1|%2|ch%3|L%4|%5|%6")
                   .arg(r.name, r.ssid, r.channel)
                   .arg(r.signalLevel)
                   .arg(r.configured ? "cfg" : "scan", r.securityModes.join(','));
    }
    return out;
}

class MergeItemListTest : public ::testing::Test {
protected:
    void SetUp() override {
        NetworkItem work = network("Work", "CorpNet", "wpa2EnterpriseAes");
        work.autoConnectVpn = true;
        work.connectionEntry = "corp-vpn";
        work.eapMethod = "eapTls";
        work.credentialType = "certificate";
        work.runScriptSpec = "/opt/login.sh";
        office.append(work);
        office.append(network("Legacy", "OldNet", "openStaticWep"));
        office.append(network("Home", "HomeNet", "wpa2PersonalAes"));
        office.append(network("Wired", "", ""));

        scan.append(ScanEntry("CorpNet", "00:01", {"wpa2EnterpriseAes"}, "A", "36", 4));
        scan.append(ScanEntry("Cafe", "00:02", {"openNoEncryption"}, "A", "6", 3));
        scan.append(ScanEntry("OldNet", "00:03", {"wep"}, "A", "1", 2));
        // Same SSID as "Home" but none of its modes.
        scan.append(ScanEntry("HomeNet", "00:04", {"wpaPersonalTkip"}, "A", "11", 5));
        // A hidden network: empty SSID, like the wired network.
        scan.append(ScanEntry("", "00:05", {"openNoEncryption"}, "A", "149", 1));
    }

    NetworkItemList office{QStringLiteral("Office")};
    ScanResultList scan;
    MergeItemList merged;
};

TEST_F(MergeItemListTest, ConfiguredRowsSeparatorThenUnmatchedScans) {
    merged.merge(scan, office);
    EXPECT_EQ(rows(merged), QStringList({
                                "Work|CorpNet|ch36|L4|cfg|wpa2EnterpriseAes",
                                // "wep" from the scan fits the configured static WEP mode.
                                "Legacy|OldNet|ch1|L2|cfg|openStaticWep",
                                // Same SSID, no fitting mode: channel taken, level not.
                                "Home|HomeNet|ch11|L0|cfg|wpa2PersonalAes",
                                // A network without SSID takes nothing from the hidden one.
                                "Wired||ch|L0|cfg|",
                                "-------||ch|L0|scan|",
                                "|Cafe|ch6|L3|scan|openNoEncryption",
                                "|HomeNet|ch11|L5|scan|wpaPersonalTkip",
                                "||ch149|L1|scan|openNoEncryption",
                            }));
    const bool matched[] = {true, false, true, false, false};
    for (int i = 0; i < scan.count(); ++i) EXPECT_EQ(scan.at(i).isMatched(), matched[i]) << i;
}

TEST_F(MergeItemListTest, ConfiguredRowsCarryTheirSettingsScannedRowsNone) {
    merged.merge(scan, office);
    const MergeItem& work = merged.at(0);
    EXPECT_EQ(work.securityMode, "wpa2EnterpriseAes");
    EXPECT_EQ(work.networkCreator, "administrator");
    EXPECT_TRUE(work.autoConnectVpn);
    EXPECT_EQ(work.connectionEntry, "corp-vpn");
    EXPECT_EQ(work.eapMethod, "eapTls");
    EXPECT_EQ(work.credentialType, "certificate");
    EXPECT_EQ(work.runScriptSpec, "/opt/login.sh");

    const MergeItem& cafe = merged.at(5);
    EXPECT_EQ(cafe.securityMode, "openNoEncryption");
    EXPECT_FALSE(cafe.autoConnectVpn);
    EXPECT_TRUE(cafe.networkCreator.isEmpty() && cafe.connectionEntry.isEmpty() && cafe.eapMethod.isEmpty() &&
                cafe.credentialType.isEmpty() && cafe.runScriptSpec.isEmpty());
}

TEST_F(MergeItemListTest, WithoutConfiguredNetworksOnlyScansAndNoSeparator) {
    merged.merge(scan, NetworkItemList(QStringLiteral("Empty")));
    EXPECT_EQ(rows(merged), QStringList({
                                "|CorpNet|ch36|L4|scan|wpa2EnterpriseAes",
                                "|Cafe|ch6|L3|scan|openNoEncryption",
                                "|OldNet|ch1|L2|scan|wep",
                                "|HomeNet|ch11|L5|scan|wpaPersonalTkip",
                                "||ch149|L1|scan|openNoEncryption",
                            }));

    ScanResultList nothing;
    merged.merge(nothing, NetworkItemList());
    EXPECT_TRUE(merged.isEmpty());
}

TEST_F(MergeItemListTest, EmptyScanLeavesConfiguredRowsUnrated) {
    ScanResultList nothing;
    merged.merge(nothing, office);
    EXPECT_EQ(rows(merged), QStringList({
                                "Work|CorpNet|ch|L0|cfg|wpa2EnterpriseAes",
                                "Legacy|OldNet|ch|L0|cfg|openStaticWep",
                                "Home|HomeNet|ch|L0|cfg|wpa2PersonalAes",
                                "Wired||ch|L0|cfg|",
                                "-------||ch|L0|scan|",
                            }));
}

TEST_F(MergeItemListTest, EachMergeStartsFromFreshMatchFlags) {
    merged.merge(scan, office);
    ASSERT_TRUE(scan.at(0).isMatched());
    // Another group claims nothing, so every scanned network is listed again.
    NetworkItemList lab(QStringLiteral("Lab"));
    lab.append(network("Bench", "BenchNet", "openNoEncryption"));
    merged.merge(scan, lab);
    ASSERT_EQ(merged.count(), 2 + scan.count());
    for (int i = 0; i < scan.count(); ++i) EXPECT_FALSE(scan.at(i).isMatched()) << i;
    EXPECT_EQ(merged.at(2).ssid, "CorpNet");
}

TEST_F(MergeItemListTest, IndexOfFindsRowsOfTheAskedKindOnly) {
    merged.merge(scan, office);
    struct Case {
        const char* name;
        const char* ssid;
        bool configured;
        int index;
    };
    const Case cases[] = {
        {"Work", "", true, 0},
        {"Legacy", "OldNet", true, 1},
        {"Cafe", "Cafe", false, 5},
        {"Nowhere", "Nowhere", true, -1},
        // A configured row of that SSID comes first and ends the walk.
        {"", "HomeNet", false, -1},
        {"Work", "", false, -1},
        // A configured row whose SSID is the name asked for ends it too.
        {"CorpNet", "Elsewhere", false, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(merged.indexOf(c.name, c.ssid, c.configured), c.index)
            << c.name << "/" << c.ssid << "/" << c.configured;
    }
}

}  // namespace
