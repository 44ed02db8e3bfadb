#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <memory>
#include <thread>

#include "gui/app/CPclient.h"
#include "gui/client/ProtocolTypes.h"
#include "tests/gui/app/AppTestSupport.h"
#include "tests/gui/app/ServiceMessages.h"

using namespace tamsel::test;

namespace {

const QStringList SENTINEL_REQUESTS = {"getGroupsRequest", "getConnectionModeRequest",
                                       "getAdministratorPolicyRequest"};

class ServiceClientTest : public GuiRuntimeTest {
protected:
    void SetUp() override {
        GuiRuntimeTest::SetUp();
        registerProtocolTypes();
    }
    void TearDown() override {
        client.reset();
        GuiRuntimeTest::TearDown();
    }

    // A client connected to the scripted service, receiving; its first request is handled.
    void connectClient() {
        client = std::make_unique<CPclient>();
        ASSERT_TRUE(client->connectToService());
        client->startReceiving();
        ASSERT_TRUE(waitForMethods(1));
        service->subscriber->clear();
        recordSignals();
    }

    // Requests as "method" or "method:groupName", after the messages were pushed and handled.
    QStringList followUps(const QList<QByteArray>& messages) {
        for (const QByteArray& message : messages) EXPECT_TRUE(service->subscriber->push(message));
        EXPECT_TRUE(service->subscriber->push(sentinel()));
        EXPECT_TRUE(waitUntil([&] {
            const QStringList m = methods();
            return m.size() >= 3 && m.mid(m.size() - 3) == SENTINEL_REQUESTS;
        }));
        QStringList out;
        for (const ReceivedMessage& m : service->subscriber->received()) {
            const QString group = m.child("groupName");
            out << (group.isEmpty() ? m.method : m.method + ":" + group);
        }
        service->subscriber->clear();
        return out.mid(0, out.size() - 3);
    }

    void recordSignals() {
        CPclient* c = client.get();
        QObject::connect(c, &CPclient::ConnectMode, [this](bool automatic, const QString& network) {
            events << QString("ConnectMode(%1,%2)").arg(automatic).arg(network);
        });
        QObject::connect(c, &CPclient::ServiceState, [this](bool a, bool b, bool d) {
            events << QString("ServiceState(%1,%2,%3)").arg(a).arg(b).arg(d);
        });
        QObject::connect(c, &CPclient::Fault,
                         [this](const QString& code) { events << "Fault(" + code + ")"; });
        QObject::connect(c, &CPclient::SmartPinRequest,
                         [this](const QString& card, const QString& group, const QString& network) {
                             events << QString("SmartPin(%1,%2,%3)").arg(card, group, network);
                         });
        QObject::connect(c, &CPclient::LogonEvent, [this] { events << "LogonEvent"; });
        QObject::connect(c, &CPclient::Banner,
                         [this](const QString& prompt) { events << "Banner(" + prompt + ")"; });
        QObject::connect(c, &CPclient::VpnState, [this](const QString& state, const QString& status) {
            events << QString("VpnState(%1,%2)").arg(state, status);
        });
        QObject::connect(c, &CPclient::EnableClientItems, [this] { events << "EnableClientItems"; });
        QObject::connect(c, &CPclient::StateChange, [this](const StateEvent& e) {
            events << QString("StateChange(%1,%2,%3)").arg(e.groupName, e.networkName, e.displayStatus);
        });
        QObject::connect(c, &CPclient::NotifyActiveGroupChng,
                         [this](const QString& group) { events << "ActiveGroup(" + group + ")"; });
        QObject::connect(c, &CPclient::SendChngGroupRequest,
                         [this](const QString& group) { events << "ChangeGroup(" + group + ")"; });
        QObject::connect(c, &CPclient::UserNameRequest, [this](const Credentials& credentials) {
            events << "UserName(" + credentials.networkName() + "," + credentials.sequenceNumber() + ")";
        });
    }

    std::unique_ptr<CPclient> client;
    QStringList events;
};

}  // namespace

TEST_F(ServiceClientTest, RepliesAskForWhatTheyLeaveOpen) {
    startService();
    const QString storm = "getGroupsResponse";
    const struct {
        const char* what;
        QList<QByteArray> messages;
        QStringList requests;
    } rows[] = {
        {"groups: the active group, then each group's networks in list order",
         {groupsReply({"Office", "Home"})},
         {"getActiveGroupRequest", "getNetworksInGroupRequest:Office", "getNetworksInGroupRequest:Home"}},
        {"no group: nothing", {groupsReply({})}, {}},
        {"the active group: its networks again",
         {groupsReply({"Office"}), activeGroupReply("Office")},
         {"getActiveGroupRequest", "getNetworksInGroupRequest:Office", "getNetworksInGroupRequest:Office"}},
        {"a group's networks: the last network state",
         {groupsReply({"Office"}), networksReply("Office", {"Corp"})},
         {"getActiveGroupRequest", "getNetworksInGroupRequest:Office", "resendLastNetworkStateEventRequest"}},
        {"a network moved: both groups",
         {groupsReply({"Office", "Home"}), activeGroupReply("Office"),
          groupNetworkMessage("changeNetworkResponse", "Office", "Corp", "Home")},
         {"getActiveGroupRequest", "getNetworksInGroupRequest:Office", "getNetworksInGroupRequest:Home",
          "getNetworksInGroupRequest:Office", "getNetworksInGroupRequest:Office",
          "getNetworksInGroupRequest:Home"}},
        {"a network added before any group is active: nothing",
         {groupNetworkMessage("addNetworkResponse", "Office", "Corp")},
         {}},
        {"a network removed from the active group: its networks",
         {groupsReply({"Office"}), activeGroupReply("Office"),
          groupNetworkMessage("removeNetworkResponse", "Office", "Corp")},
         {"getActiveGroupRequest", "getNetworksInGroupRequest:Office", "getNetworksInGroupRequest:Office",
          "getNetworksInGroupRequest:Office"}},
        {"a network removed from another group: nothing",
         {groupsReply({"Office", "Home"}), activeGroupReply("Office"),
          groupNetworkMessage("removeNetworkResponse", "Home", "Corp")},
         {"getActiveGroupRequest", "getNetworksInGroupRequest:Office", "getNetworksInGroupRequest:Home",
          "getNetworksInGroupRequest:Office"}},
        {"a group added: the active group's networks",
         {groupsReply({"Office"}), activeGroupReply("Office"),
          serviceMessage("addGroupResponse", numbered(element("groupName", "Lab")))},
         {"getActiveGroupRequest", "getNetworksInGroupRequest:Office", "getNetworksInGroupRequest:Office",
          "getNetworksInGroupRequest:Office"}},
        {"a group named after the groups reply starts no storm",
         {groupsReply({storm}), networksReply(storm, {"Corp"}), networksReply(storm, {"Corp"})},
         {"getActiveGroupRequest", "getNetworksInGroupRequest:" + storm, "resendLastNetworkStateEventRequest",
          "resendLastNetworkStateEventRequest"}},
        {"unknown and quiet messages: nothing",
         {serviceMessage("getVersionResponse", numbered("")),
          serviceMessage("resendLastNetworkStateEventResponse", numbered("")),
          serviceMessage("disconnectVpnResponse", numbered(""))},
         {}},
    };
    for (const auto& row : rows) {
        connectClient();
        EXPECT_EQ(followUps(row.messages), row.requests) << row.what;
        client.reset();
    }
}

TEST_F(ServiceClientTest, MessagesBecomeSignalsInArrivalOrder) {
    startService();
    const struct {
        const char* what;
        QList<QByteArray> messages;
        QStringList expected;
    } rows[] = {
        {"connection mode: automatic without a network, manual with one",
         {serviceMessage("getConnectionModeResponse", numbered(element("connectionMode", "auto"))),
          serviceMessage("getConnectionModeResponse",
                         numbered(element("connectionMode", "manual") + element("networkName", "Corp")))},
         {"ConnectMode(1,)", "ConnectMode(0,Corp)"}},
        {"service state",
         {serviceMessage("getServiceStateResponse",
                         numbered(element("tamselEnabled", "true") + element("radioEnabled", "false") +
                                  element("packetCaptureEnabled", "true")))},
         {"ServiceState(1,0,1)"}},
        {"a fault whatever text it holds", {faultMessage("5")}, {"Fault(5)"}},
        {"PIN request",
         {serviceMessage("getSmartCardPinRequest",
                         numbered(element("groupName", "Office") + element("networkName", "Corp") +
                                  element("smartCardName", "Card A")))},
         {"SmartPin(Card A,Office,Corp)"}},
        {"logon events: only an expired password",
         {serviceMessage("logonEvent", numbered(element("eventType", "logonSucceeded"))),
          serviceMessage("logonEvent", numbered(element("eventType", "passwordExpired")))},
         {"LogonEvent"}},
        {"banner and VPN state",
         {serviceMessage("getBannerRequest", numbered(element("bannerPrompt", "Authorised use only"))),
          serviceMessage("vpnStateEvent",
                         numbered(element("vpnState", "connected") + element("vpnStatus", "none")))},
         {"Banner(Authorised use only)", "VpnState(connected,none)"}},
        {"client enabled", {serviceMessage("enableTamselResponse", numbered(""))}, {"EnableClientItems"}},
        {"credentials",
         {serviceMessage("getUsernameAndPasswordRequest",
                         numbered(element("groupName", "Office") + element("networkName", "Corp") +
                                  element("passwordType", "password")))},
         {"UserName(Corp,7)"}},
        {"network state: only the active group's",
         {groupsReply({"Office", "Home"}), activeGroupReply("Office"),
          stateEventMessage("Home", "Flat", "connected"), stateEventMessage("Office", "Corp", "associating")},
         {"ActiveGroup(Office)", "StateChange(Office,Corp,Associating)"}},
    };
    for (const auto& row : rows) {
        connectClient();
        followUps(row.messages);
        EXPECT_EQ(events, row.expected) << row.what;
        events.clear();
        client.reset();
    }
}

TEST_F(ServiceClientTest, DisabledByUserIgnoresScanListsAndStates) {
    startService();
    connectClient();
    followUps({groupsReply({"Office"}), activeGroupReply("Office")});
    events.clear();
    client->setDisabledByUser(true);
    followUps({stateEventMessage("Office", "Corp", "connected")});
    EXPECT_TRUE(events.isEmpty());
    client->setDisabledByUser(false);
    followUps({stateEventMessage("Office", "Corp", "connected")});
    EXPECT_EQ(events.size(), 1);
}

TEST_F(ServiceClientTest, PipeLossEndsTheReceiveLoopWithDisconnected) {
    startService();
    connectClient();
    bool disconnected = false;
    QObject::connect(client.get(), &CPclient::ClientDisconnected, [&] { disconnected = true; });
    service->stop();
    EXPECT_TRUE(waitUntil([&] { return disconnected; }));
    EXPECT_TRUE(log.contains("Client Thread Received NoConnectionException."));
}

TEST_F(ServiceClientTest, ConnectLoopRetriesUntilCancelledAndACancelEndsItsWait) {
    client = std::make_unique<CPclient>();
    bool connected = true;
    std::thread loop([&] { connected = client->connectToService(); });
    EXPECT_TRUE(waitUntil([&] { return log.count("Connection to Service Failed.") >= 1; }));
    QElapsedTimer timer;
    timer.start();
    client->cancel();
    loop.join();
    // The 3000 ms wait between attempts ends at the cancel.
    EXPECT_LT(timer.elapsed(), CPclient::CONNECT_RETRY_MS / 2);
    EXPECT_FALSE(connected);
}

TEST_F(ServiceClientTest, RepairIsTheOneByteMessage) {
    startService();
    connectClient();
    client->sendRepair();
    ASSERT_TRUE(waitForMethods(1));
    EXPECT_EQ(service->subscriber->received().first().payload, QByteArray("Q"));
}
