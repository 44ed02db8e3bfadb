#include <gtest/gtest.h>

#include "gui/windows/NetworkStateReader.h"
#include "tests/gui/support/QtPrinters.h"
#include "tests/gui/support/ServiceMessage.h"

namespace tamsel::test {
namespace {

QByteArray stateMessage(const QByteArray& state, const QByteArray& nadMac = "001122334455",
                        const QByteArray& adapterMac = "0a0b0c0d0e0f") {
    return serviceMessage(
        "networkStateEvent",
        "<sequenceNumber>12</sequenceNumber>\n<groupName>Office</groupName>\n"
        "<networkName>Lab</networkName>\n<networkState>" +
            state + "</networkState>\n<nadMacAddress>" + nadMac + "</nadMacAddress>\n" +
            "<channel>6</channel>\n<signalStrengthInDbm>-52</signalStrengthInDbm>\n"
            "<adapterName>wlan0</adapterName>\n<adapterMacAddress>" +
            adapterMac +
            "</adapterMacAddress>\n<serverVerifiedName>radius.lab</serverVerifiedName>\n"
            "<ipAddress>10.0.0.7</ipAddress>\n<speedInMbps>54000</speedInMbps>\n"
            "<outerEapMethod>eapPeap</outerEapMethod>\n<innerEapMethod>eapMschapv2</innerEapMethod>");
}

TEST(NetworkStateReader, TheNetworkStateBecomesTheStatusTheUserSees) {
    struct Case {
        QByteArray state;
        QString vpn;
        QString status;
    };
    const Case cases[] = {
        {"stopped", "connected", "Searching for adapter"},
        {"associating", "false", "Associating"},
        {"authenticating", "false", "Authenticating"},
        {"acquiringIpAddress", "connected", "Acquiring IP address"},
        {"connected", "disconnected", "Connected"},
        {"connected", "connected", "VPN Connected"},
        {"connected", "connecting", "VPN Connecting"},
        {"scanning", "false", "Scanning for a Network"},
        {"authentication failed", "false", "authentication failed"},
        {"retrying IP", "false", "retrying IP"},
        {"countermeasures", "false", "countermeasures"},
    };
    for (const Case& c : cases) {
        StateEvent event;
        event.setVpnFlag(c.vpn);
        ASSERT_TRUE(readNetworkStateEvent(stateMessage(c.state), event));
        EXPECT_EQ(event.displayStatus, c.status) << c.state.constData() << " / " << c.vpn.toStdString();
    }
}

TEST(NetworkStateReader, ReadsEveryTextAndKeepsTheVpnFlag) {
    StateEvent event;
    event.setVpnFlag("connected");
    event.networkConnectionFailureInfo = "stale";
    ASSERT_TRUE(readNetworkStateEvent(stateMessage("connected"), event));
    EXPECT_EQ(event.groupName, "Office");
    EXPECT_EQ(event.networkName, "Lab");
    EXPECT_EQ(event.channel, "6");
    EXPECT_EQ(event.signalStrengthInDbm, "-52");
    EXPECT_EQ(event.adapterName, "wlan0");
    EXPECT_EQ(event.serverVerifiedName, "radius.lab");
    EXPECT_EQ(event.ipAddress, "10.0.0.7");
    EXPECT_EQ(event.speedInMbps, "54000");
    EXPECT_EQ(event.outerEapMethod, "eapPeap");
    EXPECT_EQ(event.innerEapMethod, "eapMschapv2");
    EXPECT_EQ(event.nadMacAddress, "00:11:22:33:44:55");
    EXPECT_EQ(event.adapterMacAddress, "0a:0b:0c:0d:0e:0f");
    EXPECT_EQ(event.networkConnectionFailureInfo, "");
    EXPECT_EQ(event.vpnFlag, "true");

    // A message that does not parse leaves the record alone.
    EXPECT_FALSE(readNetworkStateEvent("<SOAP-ENV:Envelope", event));
    EXPECT_EQ(event.networkName, "Lab");
    EXPECT_EQ(event.displayStatus, "VPN Connected");
}

TEST(NetworkStateReader, ReadsWhyTheCertificateWasNotSent) {
    StateEvent event;
    ASSERT_TRUE(readNetworkStateEvent(
        serviceMessage("networkStateEvent",
                       "<sequenceNumber>13</sequenceNumber>\n<groupName>Office</groupName>\n"
                       "<networkName>Lab</networkName>\n<networkState>authentication failed</networkState>\n"
                       "<credentialFailure>cardBlocked</credentialFailure>"),
        event));
    EXPECT_EQ(event.credentialFailure, "cardBlocked");
    ASSERT_TRUE(readNetworkStateEvent(stateMessage("authenticating"), event));
    EXPECT_EQ(event.credentialFailure, "");
}

TEST(NetworkStateReader, MacAddressesGetColonsBetweenPairs) {
    const QPair<QString, QString> cases[] = {
        {"001122334455", "00:11:22:33:44:55"}, {"0a", "0a"}, {"0a1b", "0a:1b"}, {"", ""}, {"0a1", "0a:1"},
    };
    for (const auto& [digits, shown] : cases)
        EXPECT_EQ(formatMacAddress(digits), shown) << digits.toStdString();
    StateEvent event;
    ASSERT_TRUE(readNetworkStateEvent(stateMessage("associating", "0a", "0a1b"), event));
    EXPECT_EQ(event.nadMacAddress, "0a");
    EXPECT_EQ(event.adapterMacAddress, "0a:1b");
}

}  // namespace
}  // namespace tamsel::test
