#include <gtest/gtest.h>

#include <QStringList>

#include "gui/client/ScanResultList.h"
#include "tests/gui/client/TestSupport.h"

namespace {

using tamsel::test::Nad;
using tamsel::test::nadXml;
using tamsel::test::scanReply;

// One line per entry: "ssid|bssid|ch|Llevel|modes".
QStringList entries(const ScanResultList& list) {
    QStringList out;
    for (int i = 0; i < list.count(); ++i) {
        const ScanEntry& e = list.at(i);
        out << QStringLiteral("%1|%2|%3|L%4|%5")
                   .arg(e.ssid(), e.bssid(), e.channel())
                   .arg(e.signalLevel())
                   .arg(e.securityModes().join(','));
        EXPECT_EQ(e.kind(), "A");
        EXPECT_FALSE(e.isMatched());
    }
    return out;
}

TEST(ScanResultListRead, OneEntryPerSsidWithTheBestLevelAndTheFirstAccessPointsDetails) {
    ScanResultList list;
    const int count = list.readScanList(scanReply({
        {"Lab", "00:0a", "-75", "6", {"wep", "wpa2PersonalAes", "wep"}},
        {"Lab", "00:0b", "-50", "11", {"openNoEncryption"}},
        {"Lab", "00:0c", "-85", "1", {"wpaPersonalTkip"}},
    }));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(entries(list), QStringList{"Lab|00:0a|6|L4|wpa2PersonalAes,wep"});
}

TEST(ScanResultListRead, EntriesRunFromOpenToEnterpriseAndEqualRanksGoInFront) {
    ScanResultList list;
    list.readScanList(scanReply({
        {"Corp", "01", "-60", "6", {"wpa2EnterpriseAes"}},
        {"Old", "02", "-60", "6", {"wep"}},
        {"Cafe", "03", "-60", "6", {"openNoEncryption"}},
        {"Home", "04", "-60", "6", {"wpa2PersonalAes", "wpaPersonalTkip"}},
        {"Shop", "05", "-60", "6", {"openNoEncryption"}},
        {"Flat", "06", "-60", "6", {"wpa2PersonalAes"}},
        {"Lease", "07", "-60", "6", {"wpaEnterpriseAes"}},
    }));
    QStringList ssids;
    for (int i = 0; i < list.count(); ++i) ssids << list.at(i).ssid();
    // "Shop" ranks with the first entry and goes first; "Flat" goes in front of "Home".
    EXPECT_EQ(ssids, (QStringList{"Shop", "Cafe", "Flat", "Home", "Old", "Corp", "Lease"}));
}

TEST(ScanResultListRead, AMessageListingNoNetworkKeepsThePreviousEntries) {
    const QByteArray notAnArray =
        serviceMessage("getScanListResponse", "<sequenceNumber>4</sequenceNumber>\n<nadList>" +
                                                  nadXml({"X", "1", "-60", "6", {"wep"}}) + "</nadList>");
    const QByteArray noNadList = serviceMessage("getScanListResponse", "<sequenceNumber>4</sequenceNumber>");
    for (const QByteArray& message : {scanReply({}), notAnArray, noNadList, QByteArray("<not soap")}) {
        ScanResultList list;
        ASSERT_EQ(list.readScanList(scanReply({{"Lab", "00:0a", "-60", "6", {"wep"}}})), 1);
        EXPECT_EQ(list.readScanList(message), 0) << message.constData();
        EXPECT_EQ(entries(list), QStringList{"Lab|00:0a|6|L4|wep"}) << message.constData();
    }
}

TEST(ScanResultListRead, LevelsFollowTheChannelsRangeAndAMissingReadingRatesNothing) {
    struct Case {
        QByteArray dbm;
        QByteArray channel;
        int level;
    };
    const Case cases[] = {
        {"-75", "6", 2},
        {"-75", "36", 2},
        {"-60", "0", 4},
        {"-95", "149", 1},
        {"-40", "149", 5},
        {"-45", "6", 5},
        {"-46", "6", 4},
        {"-29", "36", 4},
        // No reading: the rating gives no bars rather than full ones.
        {"0", "6", 0},
        {"", "6", 0},
        {"n/a", "36", 0},
    };
    for (const Case& c : cases) {
        ScanResultList list;
        ASSERT_EQ(list.readScanList(scanReply({{"Net", "01", c.dbm, c.channel, {"wep"}}})), 1);
        EXPECT_EQ(list.at(0).signalLevel(), c.level)
            << c.dbm.constData() << " dBm on channel " << c.channel.constData();
    }
}

TEST(ScanResultListModes, StrongestFirstWithoutRepeatsOrUnknownModes) {
    struct Case {
        QStringList in;
        QStringList out;
    };
    const Case cases[] = {
        {{"wep", "wpa2PersonalAes", "wep"}, {"wpa2PersonalAes", "wep"}},
        {{"openNoEncryption", "quillanEnterpriseAes", "wpaPersonalAes"},
         {"quillanEnterpriseAes", "wpaPersonalAes", "openNoEncryption"}},
        {{"wpa2EnterpriseAes", "wep", "wpaEnterpriseTkip", "wpa2PersonalTkip"},
         {"wpa2EnterpriseAes", "wpa2PersonalTkip", "wpaEnterpriseTkip", "wep"}},
        // An unknown mode stands only when it comes first.
        {{"wep", "mystery"}, {"wep"}},
        {{"mystery", "wep"}, {"mystery"}},
    };
    for (const Case& c : cases) {
        QStringList modes;
        for (const QString& m : c.in) ScanResultList::insertSecurityMode(modes, m);
        EXPECT_EQ(modes, c.out) << c.in.join(',').toStdString();
    }
}

}  // namespace
