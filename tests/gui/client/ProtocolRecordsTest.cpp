#include <gtest/gtest.h>

#include <QMetaType>
#include <QVariant>

#include "gui/client/CEButtons.h"
#include "gui/client/Certificate.h"
#include "gui/client/Credentials.h"
#include "gui/client/GroupItemList.h"
#include "gui/client/Mode.h"
#include "gui/client/ProtocolTypes.h"
#include "gui/client/StateEvent.h"
#include "tests/gui/client/TestSupport.h"

namespace {

QByteArray groupsReply(const QList<QByteArray>& names) {
    QByteArray list = "<groupList type=\"array\">\n";
    for (const QByteArray& n : names) list += "<groupName>" + n + "</groupName>\n";
    return serviceMessage("getGroupsResponse",
                          "<sequenceNumber>3</sequenceNumber>\n" + list + "</groupList>");
}

QByteArray groupReply(const QByteArray& method, const QByteArray& group,
                      const QByteArray& network = QByteArray()) {
    QByteArray children = "<sequenceNumber>5</sequenceNumber>\n<groupName>" + group + "</groupName>";
    if (!network.isEmpty()) children += "\n<networkName>" + network + "</networkName>";
    return serviceMessage(method, children);
}

QStringList groupNames(const GroupItemList& groups) {
    QStringList names;
    for (int i = 0; i < groups.count(); ++i)
        names << groups.at(i).name() + (groups.at(i).isActive() ? "*" : "");
    return names;
}

const QByteArray NETWORKS_REPLY = serviceMessage(
    "getNetworksInGroupResponse",
    "<sequenceNumber>21</sequenceNumber>\n<groupName>Office</groupName>\n<networkList type=\"array\">\n"
    "<network>\n<networkName>Work</networkName>\n<networkCreator>administrator</networkCreator>\n"
    "<networkMedia>wifi</networkMedia>\n<isGlobal>true</isGlobal>\n<ssid>CorpNet</ssid>\n"
    "<associationAndEncryptionMode>wpa2EnterpriseAes</associationAndEncryptionMode>\n"
    "<vpnParameters>\n<connectionEntry>corp-vpn</connectionEntry>\n<autoConnectVpn>true</autoConnectVpn>\n"
    "</vpnParameters>\n<eapMethod>eapPeap</eapMethod>\n<credentialType>password</credentialType>\n"
    "<runScriptSpec>/opt/up.sh</runScriptSpec>\n</network>\n"
    "<network>\n<networkName>Desk</networkName>\n<networkCreator>user</networkCreator>\n"
    "<networkMedia>wired</networkMedia>\n<isGlobal>false</isGlobal>\n<runScriptSpec></runScriptSpec>\n"
    "</network>\n</networkList>");

TEST(NetworkItemList, ReadsEveryNetworkWithOptionalPartsMissing) {
    NetworkItemList list;
    ASSERT_TRUE(list.parse(NETWORKS_REPLY));
    EXPECT_EQ(list.groupName(), "Office");
    EXPECT_EQ(list.sequenceNumber(), "21");
    ASSERT_EQ(list.count(), 2);

    const NetworkItem& work = list.at(0);
    EXPECT_EQ(work.networkName, "Work");
    EXPECT_EQ(work.networkCreator, "administrator");
    EXPECT_TRUE(work.isGlobal);
    EXPECT_EQ(work.ssid, "CorpNet");
    EXPECT_EQ(work.associationAndEncryptionMode, "wpa2EnterpriseAes");
    EXPECT_TRUE(work.autoConnectVpn);
    EXPECT_EQ(work.connectionEntry, "corp-vpn");
    EXPECT_EQ(work.eapMethod, "eapPeap");
    EXPECT_EQ(work.credentialType, "password");
    EXPECT_EQ(work.runScriptSpec, "/opt/up.sh");

    const NetworkItem& desk = list.at(1);
    EXPECT_EQ(desk.networkName, "Desk");
    EXPECT_FALSE(desk.isGlobal);
    EXPECT_FALSE(desk.autoConnectVpn);
    EXPECT_TRUE(desk.ssid.isEmpty() && desk.associationAndEncryptionMode.isEmpty() &&
                desk.connectionEntry.isEmpty() && desk.eapMethod.isEmpty());

    // A reply for a group without networks leaves an empty list, not the old one.
    ASSERT_TRUE(list.parse(groupReply("getNetworksInGroupResponse", "Lab")));
    EXPECT_EQ(list.groupName(), "Lab");
    EXPECT_EQ(list.count(), 0);
}

TEST(Credentials, ReadsNetworkAndVpnRequests) {
    Credentials credentials;
    ASSERT_TRUE(credentials.parse(serviceMessage(
        "getUsernameAndPasswordRequest",
        "<sequenceNumber>42</sequenceNumber>\n<groupName>Office</groupName>\n<networkName>Work</"
        "networkName>\n"
        "<passwordType>password</passwordType>\n<usernamePrompt>User &amp; domain:</usernamePrompt>\n"
        "<passwordPrompt>Password:</passwordPrompt>")));
    EXPECT_EQ(credentials.sequenceNumber(), "42");
    EXPECT_EQ(credentials.groupName(), "Office");
    EXPECT_EQ(credentials.networkName(), "Work");
    EXPECT_EQ(credentials.passwordType(), "password");
    EXPECT_EQ(credentials.usernamePrompt(), "User & domain:");
    EXPECT_EQ(credentials.passwordPrompt(), "Password:");

    // A VPN request has no group, network or type; nothing of the earlier request may remain.
    ASSERT_TRUE(credentials.parse(
        serviceMessage("getVpnCredentialsRequest",
                       "<sequenceNumber>43</sequenceNumber>\n<passwordPrompt>PIN:</passwordPrompt>")));
    EXPECT_EQ(credentials.sequenceNumber(), "43");
    EXPECT_TRUE(credentials.groupName().isEmpty() && credentials.networkName().isEmpty() &&
                credentials.passwordType().isEmpty() && credentials.usernamePrompt().isEmpty());
    EXPECT_EQ(credentials.passwordPrompt(), "PIN:");
}

TEST(Certificate, ReadsTheEntriesInArrayOrder) {
    Certificate certificate;
    ASSERT_TRUE(certificate.parse(serviceMessage(
        "getCertificateRequest",
        "<sequenceNumber>30</sequenceNumber>\n<groupName>Office</groupName>\n<networkName>Work</"
        "networkName>\n"
        "<certificateList type=\"array\">\n"
        "<certificate>\n<certificateHash>a1b2</certificateHash>\n<certificateName>Alice</certificateName>\n"
        "<issuedTo>alice</issuedTo>\n<issuedBy>Corp CA</issuedBy>\n<expiryDate>2030-01-01</expiryDate>\n"
        "<serialNumber>01</serialNumber>\n<smartCardName>Reader 0</smartCardName>\n</certificate>\n"
        "<certificate>\n<certificateHash>c3d4</certificateHash>\n<certificateName>Bob</certificateName>\n"
        "<issuedTo>bob</issuedTo>\n<issuedBy>Corp CA</issuedBy>\n<expiryDate>2031-01-01</expiryDate>\n"
        "<serialNumber>02</serialNumber>\n</certificate>\n</certificateList>")));
    EXPECT_EQ(certificate.sequenceNumber(), "30");
    EXPECT_EQ(certificate.groupName(), "Office");
    EXPECT_EQ(certificate.networkName(), "Work");
    ASSERT_EQ(certificate.entries().size(), 2);
    const CertificateEntry& alice = certificate.entries().at(0);
    EXPECT_EQ(QStringList({alice.certificateHash, alice.certificateName, alice.issuedTo, alice.issuedBy,
                           alice.expiryDate, alice.serialNumber, alice.smartCardName}),
              QStringList({"a1b2", "Alice", "alice", "Corp CA", "2030-01-01", "01", "Reader 0"}));
    EXPECT_EQ(certificate.entries().at(1).certificateHash, "c3d4");
    EXPECT_TRUE(certificate.entries().at(1).smartCardName.isEmpty());

    ASSERT_TRUE(certificate.parse(serviceMessage(
        "getCertificateRequest", "<sequenceNumber>31</sequenceNumber>\n<groupName>Lab</groupName>")));
    EXPECT_TRUE(certificate.entries().isEmpty());
    EXPECT_TRUE(certificate.networkName().isEmpty());
}

TEST(Mode, ReadsManualAndAutomaticReplies) {
    Mode mode;
    ASSERT_TRUE(mode.parse(
        serviceMessage("getConnectionModeResponse",
                       "<sequenceNumber>9</sequenceNumber>\n<connectionMode>manual</connectionMode>\n"
                       "<groupName>Office</groupName>\n<networkName>Work</networkName>")));
    EXPECT_TRUE(mode.isManual());
    EXPECT_EQ(mode.groupName(), "Office");
    EXPECT_EQ(mode.networkName(), "Work");

    ASSERT_TRUE(mode.parse(
        serviceMessage("getConnectionModeResponse",
                       "<sequenceNumber>10</sequenceNumber>\n<connectionMode>auto</connectionMode>")));
    EXPECT_FALSE(mode.isManual());
    EXPECT_EQ(mode.sequenceNumber(), "10");
    EXPECT_TRUE(mode.groupName().isEmpty());
    EXPECT_TRUE(mode.networkName().isEmpty());
}

TEST(ProtocolRecords, AnUnreadableMessageLeavesEveryRecordAsItWas) {
    QByteArray broken = NETWORKS_REPLY;
    broken.replace("</networkList>", "");

    NetworkItemList networks;
    ASSERT_TRUE(networks.parse(NETWORKS_REPLY));
    EXPECT_FALSE(networks.parse(broken));
    EXPECT_EQ(networks.count(), 2);
    EXPECT_EQ(networks.groupName(), "Office");

    Credentials credentials;
    ASSERT_TRUE(credentials.parse(groupReply("getUsernameAndPasswordRequest", "Office", "Work")));
    EXPECT_FALSE(credentials.parse(broken));
    EXPECT_EQ(credentials.networkName(), "Work");

    Mode mode;
    ASSERT_TRUE(mode.parse(groupReply("getConnectionModeResponse", "Office", "Work")));
    EXPECT_FALSE(mode.parse("not xml"));
    EXPECT_EQ(mode.networkName(), "Work");

    Certificate certificate;
    ASSERT_TRUE(certificate.parse(groupReply("getCertificateRequest", "Office", "Work")));
    EXPECT_FALSE(certificate.parse(QByteArray()));
    EXPECT_EQ(certificate.groupName(), "Office");

    GroupItemList groups;
    ASSERT_TRUE(groups.parse(groupsReply({"Office"})));
    EXPECT_FALSE(groups.parse(broken));
    EXPECT_FALSE(groups.setActiveGroup(broken));
    EXPECT_FALSE(groups.addGroup(broken));
    EXPECT_FALSE(groups.removeGroup(broken));
    QString group;
    QString network;
    EXPECT_FALSE(groups.readGroupAndNetwork(broken, group, network));
    EXPECT_EQ(groupNames(groups), QStringList({"Office"}));
}

TEST(GroupItemList, AReplyWithoutGroupsKeepsThePreviousOnes) {
    GroupItemList groups;
    ASSERT_TRUE(groups.parse(groupsReply({"Office", "Home", "Lab"})));
    EXPECT_EQ(groupNames(groups), QStringList({"Office", "Home", "Lab"}));
    EXPECT_EQ(groups.sequenceNumber(), "3");

    ASSERT_TRUE(groups.parse(groupsReply({})));
    ASSERT_TRUE(groups.parse(serviceMessage("getGroupsResponse", "<sequenceNumber>4</sequenceNumber>")));
    // Without the array mark the children are not a group list.
    ASSERT_TRUE(groups.parse(serviceMessage(
        "getGroupsResponse",
        "<sequenceNumber>5</sequenceNumber>\n<groupList>\n<groupName>Stray</groupName>\n</groupList>")));
    EXPECT_EQ(groupNames(groups), QStringList({"Office", "Home", "Lab"}));

    ASSERT_TRUE(groups.parse(groupsReply({"Travel"})));
    EXPECT_EQ(groupNames(groups), QStringList({"Travel"}));
}

TEST(GroupItemList, ActiveAddRemoveFollowTheReplies) {
    GroupItemList groups;
    ASSERT_TRUE(groups.parse(groupsReply({"Office", "Home"})));
    EXPECT_EQ(groups.activeGroup(), nullptr);

    ASSERT_TRUE(groups.setActiveGroup(groupReply("setActiveGroupResponse", "Home")));
    EXPECT_EQ(groupNames(groups), QStringList({"Office", "Home*"}));
    ASSERT_NE(groups.activeGroup(), nullptr);
    EXPECT_EQ(groups.activeGroup()->name(), "Home");

    // No duplicate check: a second "Office" is appended, and removing takes the first.
    ASSERT_TRUE(groups.addGroup(groupReply("addGroupResponse", "Office")));
    EXPECT_EQ(groupNames(groups), QStringList({"Office", "Home*", "Office"}));
    ASSERT_TRUE(groups.setActiveGroup(groupReply("getActiveGroupResponse", "Office")));
    EXPECT_EQ(groupNames(groups), QStringList({"Office*", "Home", "Office*"}));
    ASSERT_TRUE(groups.removeGroup(groupReply("removeGroupResponse", "Office")));
    EXPECT_EQ(groupNames(groups), QStringList({"Home", "Office*"}));

    EXPECT_FALSE(groups.addGroup(groupReply("addGroupResponse", "")));
    EXPECT_FALSE(groups.removeGroup(groupReply("removeGroupResponse", "")));
    EXPECT_TRUE(groups.removeGroup(groupReply("removeGroupResponse", "Nowhere")));
    EXPECT_EQ(groupNames(groups), QStringList({"Home", "Office*"}));

    QString group;
    QString network;
    ASSERT_TRUE(
        groups.readGroupAndNetwork(groupReply("removeNetworkResponse", "Home", "Desk"), group, network));
    EXPECT_EQ(group, "Home");
    EXPECT_EQ(network, "Desk");
}

TEST(GroupItemList, NetworksGoToTheFirstGroupOfTheirName) {
    GroupItemList groups;
    ASSERT_TRUE(groups.parse(groupsReply({"Home", "Office", "Office"})));
    NetworkItemList office;
    ASSERT_TRUE(office.parse(NETWORKS_REPLY));

    const GroupItem* target = groups.setGroupNetworks(office);
    ASSERT_EQ(target, &groups.at(1));
    EXPECT_EQ(groups.at(1).networks().count(), 2);
    EXPECT_EQ(groups.at(2).networks().count(), 0);
    EXPECT_EQ(groups.setGroupNetworks(NetworkItemList("Gone")), nullptr);

    EXPECT_TRUE(groups.removeNetwork("Office", "Work"));
    ASSERT_EQ(groups.at(1).networks().count(), 1);
    EXPECT_EQ(groups.at(1).networks().at(0).networkName, "Desk");
    EXPECT_FALSE(groups.removeNetwork("Office", "Work"));
    EXPECT_FALSE(groups.removeNetwork("Gone", "Desk"));
}

TEST(CEButtons, ReadsTheLocationServiceOffer) {
    LocationCapabilities caps;
    ASSERT_TRUE(CEButtons::parse(
        serviceMessage(
            "getLocationCapabilitiesResponse",
            "<sequenceNumber>2</sequenceNumber>\n<isLocationServiceAvailable>true</"
            "isLocationServiceAvailable>\n"
            "<supportedServices type=\"array\">\n<serviceType>civic</serviceType>\n</supportedServices>\n"
            "<supportedFormats type=\"array\">\n<locationFormat>geo</locationFormat>\n"
            "<locationFormat>civic</locationFormat>\n</supportedFormats>\n"
            "<supportedEncodings type=\"array\">\n<locationEncoding>xml</locationEncoding>\n"
            "</supportedEncodings>"),
        caps));
    EXPECT_EQ(caps.serviceType, "civic");
    EXPECT_EQ(caps.formats, QStringList({"geo", "civic"}));
    EXPECT_TRUE(caps.resolutions.isEmpty());
    EXPECT_EQ(caps.encodings, QStringList({"xml"}));

    // No location service: false, and what was known stays.
    EXPECT_FALSE(
        CEButtons::parse(serviceMessage("getLocationCapabilitiesResponse",
                                        "<sequenceNumber>3</sequenceNumber>\n"
                                        "<isLocationServiceAvailable>false</isLocationServiceAvailable>"),
                         caps));
    EXPECT_FALSE(CEButtons::parse("garbage", caps));
    EXPECT_EQ(caps.formats, QStringList({"geo", "civic"}));
}

TEST(StateEvent, VpnFlagFollowsTheVpnStateAndSurvivesClearing) {
    const std::pair<const char*, const char*> cases[] = {
        {"connected", "true"},
        {"connecting", "connecting"},
        {"disconnected", "false"},
        {"Connected", "false"},
        {"", "false"},
    };
    for (const auto& [state, flag] : cases) {
        StateEvent event;
        EXPECT_EQ(event.vpnFlag, "false");
        event.setVpnFlag(state);
        EXPECT_EQ(event.vpnFlag, flag) << state;
    }

    StateEvent event;
    event.groupName = "Office";
    event.ipAddress = "10.0.0.5";
    event.setVpnFlag("connected");
    event.clear();
    EXPECT_TRUE(event.groupName.isEmpty());
    EXPECT_TRUE(event.ipAddress.isEmpty());
    EXPECT_EQ(event.vpnFlag, "true");
}

TEST(ProtocolTypes, RecordsAreKnownToTheMetaTypeSystemByName) {
    registerProtocolTypes();
    const char* const names[] = {"NetworkItemList", "GroupItemList", "MergeItemList",
                                 "MergeItemList*",  "StateEvent",    "Credentials",
                                 "Certificate",     "Mode",          "ResponseType"};
    for (const char* name : names) EXPECT_TRUE(QMetaType::fromName(name).isValid()) << name;

    // Queued signals copy through the meta type: the copy must carry the value.
    NetworkItemList list(QStringLiteral("Office"));
    NetworkItem work;
    work.networkName = QStringLiteral("Work");
    list.append(work);
    const QVariant copy = QVariant(QMetaType::fromName("NetworkItemList"), &list);
    EXPECT_EQ(copy.value<NetworkItemList>().at(0).networkName, "Work");
}

}  // namespace
