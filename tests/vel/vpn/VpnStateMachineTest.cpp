#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/vel/vpn/VpnMachinesTestSupport.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/vpn/VpnClientEvent.h"
#include "vel/vpn/VpnCredStateMachine.h"
#include "vel/vpn/VpnStateMachine.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

using C = VpnConstants;
using Cred = VpnCredStateMachine;

const VpnStateSeen NONE_DISCONNECTED{"disconnected", "none"};
const VpnStateSeen NONE_DISCONNECTING{"disconnecting", "none"};
const VpnStateSeen NONE_CONNECTING{"connecting", "none"};
const VpnStateSeen NONE_CONNECTED{"connected", "none"};
constexpr const char* AUTH_FAILED = "User authentication failed.";
constexpr const char* NO_GATEWAY = "Unable to contact the security gateway.";

TEST(VpnFailureMappingTest, EachFailureEventReportsTheStatusTwoBelowIt) {
    struct Case {
        std::int32_t event;
        bool failure;
        std::int32_t status;
    };
    const std::vector<Case> cases = {
        {CLIENT_NONE, false, 0},
        {CLIENT_CONNECTED, false, 0},
        {CLIENT_DISCONNECTED, false, 0},
        {CLIENT_CONNECTING, false, 0},
        {CLIENT_CRED_REQUEST, false, 0},
        {CLIENT_CRED_FAILURE, true, 2},
        {6, false, 0},
        {7, false, 0},
        {CLIENT_CONNECT_ABORTED, true, 6},
        {CLIENT_IKE_FAIL, true, 20},
        {CLIENT_IKE_NEG_FAILED, true, 23},
        {26, false, 0},
        {CLIENT_NO_CLIENT_EXTENSIONS, true, 25},
        {CLIENT_BY_ADMIN_COMMAND, true, 32},
        {35, false, 0},
        {CLIENT_SERVER_SHUTDOWN, true, 34},
        {CLIENT_HOSTNAME_LOOKUP_FAIL, true, 47},
        {CLIENT_PEER_NOT_RESPONDING, true, 48},
        {CLIENT_GENERAL_FAILURE, true, 49},
        {52, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.event);
        std::int32_t status = -1;
        EXPECT_EQ(VpnStateMachineImpl::failureStatus(c.event, status), c.failure);
        if (c.failure) {
            EXPECT_EQ(status, c.status);
        }
    }
    // Every client event the library's errors give is reported with a text of its own.
    for (std::int32_t event = 0; event <= 60; ++event) {
        std::int32_t status = 0;
        if (!VpnStateMachineImpl::failureStatus(event, status)) continue;
        SCOPED_TRACE(event);
        EXPECT_NO_THROW(VpnClientEventToText(event));
        EXPECT_NO_THROW(VpnStatusToText(status));
    }
    std::int32_t status = 0;
    VpnStateMachineImpl::failureStatus(CLIENT_PEER_NOT_RESPONDING, status);
    EXPECT_STREQ(VpnStatusToText(status), "The remote peer is no longer responding.");
    VpnStateMachineImpl::failureStatus(CLIENT_IKE_FAIL, status);
    EXPECT_STREQ(VpnStatusToText(status), NO_GATEWAY);
}

class VpnCredStateMachineTest : public RuntimeTest {};

TEST_F(VpnCredStateMachineTest, EachStateAnswersEachEventWithItsActionOrAnUnexpectedLine) {
    struct Case {
        std::int32_t state;
        std::int32_t event;
        std::int32_t next;
        std::int32_t action;
        const char* unexpected;
    };
    const char* READY = "credReady - unexpected VPN credentials state machine event - ";
    const char* NOT_READY = "credNotReady - unexpected VPN credentials state machine event - ";
    const char* WAITING = "waitingForCred - unexpected VPN credentials state machine event - ";
    const std::vector<Case> cases = {
        {Cred::STATE_CREDENTIAL_READY, Cred::CLEAR_CREDENTIAL, Cred::STATE_CREDENTIAL_NOT_READY,
         Cred::CLEAR_CREDENTIAL_ACTION, nullptr},
        {Cred::STATE_CREDENTIAL_READY, Cred::CANCEL_REQUEST, Cred::STATE_CREDENTIAL_READY, Cred::NO_ACTION,
         READY},
        {Cred::STATE_CREDENTIAL_READY, Cred::CREDENTIAL_REQUEST, Cred::STATE_CREDENTIAL_READY,
         Cred::SEND_TO_VPN_ACTION, nullptr},
        {Cred::STATE_CREDENTIAL_READY, Cred::CREDENTIAL_RESPONSE, Cred::STATE_CREDENTIAL_READY,
         Cred::NO_ACTION, READY},
        {Cred::STATE_CREDENTIAL_NOT_READY, Cred::CLEAR_CREDENTIAL, Cred::STATE_CREDENTIAL_NOT_READY,
         Cred::NO_ACTION, NOT_READY},
        {Cred::STATE_CREDENTIAL_NOT_READY, Cred::CANCEL_REQUEST, Cred::STATE_CREDENTIAL_NOT_READY,
         Cred::NO_ACTION, NOT_READY},
        {Cred::STATE_CREDENTIAL_NOT_READY, Cred::CREDENTIAL_REQUEST, Cred::STATE_WAITING_FOR_CREDENTIAL,
         Cred::ASK_GUI_ACTION, nullptr},
        {Cred::STATE_CREDENTIAL_NOT_READY, Cred::CREDENTIAL_RESPONSE, Cred::STATE_CREDENTIAL_READY,
         Cred::NO_ACTION, nullptr},
        {Cred::STATE_WAITING_FOR_CREDENTIAL, Cred::CLEAR_CREDENTIAL, Cred::STATE_WAITING_FOR_CREDENTIAL,
         Cred::NO_ACTION, WAITING},
        {Cred::STATE_WAITING_FOR_CREDENTIAL, Cred::CANCEL_REQUEST, Cred::STATE_CREDENTIAL_NOT_READY,
         Cred::CANCEL_ACTION, nullptr},
        {Cred::STATE_WAITING_FOR_CREDENTIAL, Cred::CREDENTIAL_REQUEST, Cred::STATE_WAITING_FOR_CREDENTIAL,
         Cred::NO_ACTION, WAITING},
        {Cred::STATE_WAITING_FOR_CREDENTIAL, Cred::CREDENTIAL_RESPONSE, Cred::STATE_CREDENTIAL_READY,
         Cred::SEND_TO_VPN_ACTION, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Cred::stateName(c.state)) + " " + Cred::eventName(c.event));
        VpnCredStateMachine machine;
        machine.setState(c.state);
        // A stale action never outlives the next event.
        machine.setAction(Cred::SEND_TO_VPN_ACTION);
        size_t before = readLines(root.log()).size();
        machine.handleEvent(c.event);
        EXPECT_EQ(machine.state(), c.next);
        EXPECT_EQ(machine.action(), c.action);
        std::vector<std::string> lines = readLines(root.log());
        std::string unexpected = c.unexpected ? std::string(c.unexpected) + Cred::eventName(c.event) : "";
        bool found = false;
        for (size_t i = before; i < lines.size(); ++i)
            found = found || (!unexpected.empty() && lines[i].find(unexpected) != std::string::npos);
        EXPECT_EQ(found, c.unexpected != nullptr);
        EXPECT_NE(lines.back().find(std::string("new state = ") + Cred::stateName(c.next)),
                  std::string::npos);
    }
    VpnCredStateMachine fresh;
    EXPECT_EQ(fresh.state(), Cred::STATE_CREDENTIAL_NOT_READY);
    fresh.setAction(Cred::ASK_GUI_ACTION);
    fresh.handleEvent(Cred::NONE);
    EXPECT_EQ(fresh.action(), Cred::NO_ACTION);
    EXPECT_EQ(fresh.state(), Cred::STATE_CREDENTIAL_NOT_READY);
    EXPECT_NE(readLines(root.log()).back().find("VPN cred state machine handleEvent(NONE) - ignored"),
              std::string::npos);

    fresh.setState(Cred::STATE_NONE);
    fresh.handleEvent(Cred::CREDENTIAL_REQUEST);
    EXPECT_THAT(takeAssertions(), ElementsAre("m_state"));
}

// The tunnel's machine over the VPN client with a gateway whose walk never moves on by itself: only
// the test's events move the machine.
class VpnStateMachineTablesTest : public VpnMachinesTest {
protected:
    void SetUp() override {
        VpnMachinesTest::SetUp();
        dunmere::Gateway held = gateway();
        held.delayMs = 1000;
        dunmere::VpnService::instance().setGateways({held});
        dunmere::VpnService::instance().setClock([] { return std::chrono::milliseconds(0); });
        startClient();
        // What the library says goes to the recording receiver, not to the machine.
        onEngineThread([this] { VpnEventReceiver::set(&receiver); });
    }

    // A new configuration whose tunnel is in the state; the client's channel starts closed.
    void enter(std::int32_t state) {
        // The last case's tunnel ends whatever the machine did with it.
        dunmere::VpnService::instance().drop(PROFILE, VPN_OK);
        onEngineThread([this, state] {
            client.closeChannel();
            engine.configuration.impl()->clearReferences();
            engine.configuration = makeConfiguration(C::SETTING_PASSWORD, false);
            networks->of(network).publish(3);
            networks->of(network).publish(4);
            if (state == C::STATE_DISCONNECTED) return;
            manager().connectVpn();
            if (state == C::STATE_CONNECTED) manager().handleClientEvent(CLIENT_CONNECTED);
            if (state == C::STATE_DISCONNECTING) manager().disconnectVpn();
        });
        ASSERT_EQ(vpnState(), state);
        seen = states().size();
    }
    // The states reported since the machine entered its state.
    std::vector<VpnStateSeen> reported() {
        std::vector<VpnStateSeen> all = states();
        return std::vector<VpnStateSeen>(all.begin() + static_cast<long>(seen), all.end());
    }

    size_t seen = 0;
};

TEST_F(VpnStateMachineTablesTest, ClientEventsInEachState) {
    struct Case {
        std::int32_t state;
        std::int32_t event;
        std::int32_t next;
        std::vector<VpnStateSeen> reported;
    };
    const std::vector<Case> cases = {
        {C::STATE_DISCONNECTED, CLIENT_CONNECTED, C::STATE_DISCONNECTED, {}},
        {C::STATE_DISCONNECTED, CLIENT_DISCONNECTED, C::STATE_DISCONNECTED, {}},
        {C::STATE_DISCONNECTED, CLIENT_CRED_FAILURE, C::STATE_DISCONNECTED, {}},
        {C::STATE_DISCONNECTED, CLIENT_PEER_NOT_RESPONDING, C::STATE_DISCONNECTED, {}},

        {C::STATE_CONNECTED, CLIENT_CONNECTED, C::STATE_CONNECTED, {}},
        {C::STATE_CONNECTED, CLIENT_DISCONNECTED, C::STATE_DISCONNECTED, {NONE_DISCONNECTED}},
        {C::STATE_CONNECTED, CLIENT_CONNECTING, C::STATE_CONNECTING, {NONE_CONNECTING}},
        {C::STATE_CONNECTED, CLIENT_CRED_REQUEST, C::STATE_CONNECTED, {}},
        {C::STATE_CONNECTED,
         CLIENT_CRED_FAILURE,
         C::STATE_DISCONNECTED,
         {{"connected", AUTH_FAILED}, NONE_DISCONNECTED}},
        {C::STATE_CONNECTED,
         CLIENT_PEER_NOT_RESPONDING,
         C::STATE_DISCONNECTED,
         {{"connected", "The remote peer is no longer responding."}, NONE_DISCONNECTED}},

        {C::STATE_CONNECTING, CLIENT_CONNECTED, C::STATE_CONNECTED, {NONE_CONNECTED}},
        {C::STATE_CONNECTING, CLIENT_DISCONNECTED, C::STATE_CONNECTING, {}},
        {C::STATE_CONNECTING, CLIENT_CONNECTING, C::STATE_CONNECTING, {}},
        {C::STATE_CONNECTING, CLIENT_CRED_REQUEST, C::STATE_CONNECTING, {}},
        // The tunnel on its way is cut: the library's disconnect is still to come.
        {C::STATE_CONNECTING,
         CLIENT_CRED_FAILURE,
         C::STATE_DISCONNECTING,
         {{"connecting", AUTH_FAILED}, NONE_DISCONNECTING}},
        {C::STATE_CONNECTING,
         CLIENT_IKE_FAIL,
         C::STATE_DISCONNECTING,
         {{"connecting", NO_GATEWAY}, NONE_DISCONNECTING}},

        {C::STATE_DISCONNECTING, CLIENT_CONNECTED, C::STATE_DISCONNECTING, {}},
        {C::STATE_DISCONNECTING, CLIENT_DISCONNECTED, C::STATE_DISCONNECTED, {NONE_DISCONNECTED}},
        {C::STATE_DISCONNECTING, CLIENT_CONNECTING, C::STATE_DISCONNECTING, {}},
        {C::STATE_DISCONNECTING, CLIENT_CRED_REQUEST, C::STATE_DISCONNECTING, {}},
        {C::STATE_DISCONNECTING,
         CLIENT_CRED_FAILURE,
         C::STATE_DISCONNECTED,
         {{"disconnecting", AUTH_FAILED}, NONE_DISCONNECTED}},
        {C::STATE_DISCONNECTING,
         CLIENT_IKE_FAIL,
         C::STATE_DISCONNECTED,
         {{"disconnecting", NO_GATEWAY}, NONE_DISCONNECTED}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(VpnStateToText(c.state)) + " " + VpnClientEventToText(c.event));
        enter(c.state);
        onEngineThread([&] { manager().handleClientEvent(c.event); });
        EXPECT_EQ(vpnState(), c.next);
        EXPECT_EQ(reported(), c.reported);
    }
    EXPECT_EQ(logged("Unexpected CLIENT_CONNECTED event in DISCONNECTING state"), 1);
    // Only the request while connecting asked the tray.
    EXPECT_EQ(countNamed(tray->sent(), "getVpnCredentialsRequest"), 1);
}

TEST_F(VpnStateMachineTablesTest, NetworkEventsInEachState) {
    struct Case {
        std::int32_t state;
        std::int32_t event;
        std::int32_t next;
        std::vector<VpnStateSeen> reported;
    };
    const std::int32_t UP = VpnBehaviorInterface::NETWORK_CONNECTED;
    const std::int32_t DOWN = VpnBehaviorInterface::NETWORK_NOT_CONNECTED;
    const std::vector<Case> cases = {
        // The entry of these cases does not connect by itself.
        {C::STATE_DISCONNECTED, UP, C::STATE_DISCONNECTED, {}},
        {C::STATE_DISCONNECTED, DOWN, C::STATE_DISCONNECTED, {}},
        {C::STATE_CONNECTED, UP, C::STATE_CONNECTED, {}},
        {C::STATE_CONNECTED, DOWN, C::STATE_DISCONNECTING, {NONE_DISCONNECTING}},
        {C::STATE_CONNECTING, UP, C::STATE_CONNECTING, {}},
        {C::STATE_CONNECTING, DOWN, C::STATE_DISCONNECTING, {NONE_DISCONNECTING}},
        {C::STATE_DISCONNECTING, UP, C::STATE_DISCONNECTING, {}},
        {C::STATE_DISCONNECTING, DOWN, C::STATE_DISCONNECTING, {}},
    };
    int lost = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(VpnStateToText(c.state)) + " " + VpnNetworkEventToText(c.event));
        enter(c.state);
        onEngineThread([&] { manager().handleNetworkEvent(c.event); });
        EXPECT_EQ(vpnState(), c.next);
        EXPECT_EQ(reported(), c.reported);
        if (c.event == DOWN && c.state != c.next) ++lost;
    }
    EXPECT_EQ(logged("Disconnecting VPN because we lost network connection"), lost);
    EXPECT_EQ(logged("VPN not configured for currently connected network"), 0);
    EXPECT_EQ(logged("Attempting VPN connection: Office"), 6) << "only the cases' own starts";
}

TEST_F(VpnStateMachineTablesTest, ANetworkBackWhileDisconnectingReconnectsOnceTheTunnelIsDown) {
    enter(C::STATE_DISCONNECTED);
    onEngineThread([this] {
        engine.configuration.impl()->clearReferences();
        engine.configuration = makeConfiguration(C::SETTING_PASSWORD, true);
        networks->of(network).publish(3);
        networks->of(network).publish(4);
    });
    ASSERT_EQ(vpnState(), C::STATE_CONNECTING) << "the automatic entry started with the network";
    onEngineThread([this] {
        manager().handleNetworkEvent(VpnBehaviorInterface::NETWORK_NOT_CONNECTED);
        manager().handleNetworkEvent(VpnBehaviorInterface::NETWORK_CONNECTED);
    });
    EXPECT_EQ(vpnState(), C::STATE_DISCONNECTING);
    seen = states().size();
    onEngineThread([this] { manager().handleClientEvent(CLIENT_DISCONNECTED); });
    EXPECT_EQ(vpnState(), C::STATE_CONNECTING);
    EXPECT_EQ(reported(), std::vector<VpnStateSeen>({NONE_DISCONNECTED, NONE_CONNECTING}));
    // Once only.
    onEngineThread([this] {
        manager().disconnectVpn();
        manager().handleClientEvent(CLIENT_DISCONNECTED);
    });
    EXPECT_EQ(vpnState(), C::STATE_DISCONNECTED);
}

// A disconnect the library refuses (the tunnel went meanwhile) still closes the channel: with the VPN
// service stopped since, the next attempt opens a fresh one and says why it fails, as does an
// attempt whose connect the library refuses.
TEST_F(VpnStateMachineTablesTest, AFailedDisconnectClosesTheChannelSoTheNextAttemptSaysWhy) {
    for (std::int32_t state : {C::STATE_CONNECTING, C::STATE_CONNECTED}) {
        SCOPED_TRACE(VpnStateToText(state));
        enter(state);
        ASSERT_TRUE(dunmere::VpnService::instance().drop(PROFILE, VPN_OK));
        onEngineThread([this] { manager().disconnectVpn(); });
        EXPECT_EQ(vpnState(), C::STATE_DISCONNECTED);
        EXPECT_EQ(reported(), std::vector<VpnStateSeen>({NONE_DISCONNECTED}));
        dunmere::VpnService::instance().setServiceRunning(false);
        onEngineThread([this] { manager().connectVpn(); });
        EXPECT_EQ(vpnState(), C::STATE_DISCONNECTED);
        EXPECT_EQ(reported(),
                  std::vector<VpnStateSeen>(
                      {NONE_DISCONNECTED, {"disconnected", "The Varnel VPN Service is not running."}}));
        dunmere::VpnService::instance().setServiceRunning(true);
    }
    enter(C::STATE_DISCONNECTED);
    dunmere::VpnService::instance().setGateways({});
    onEngineThread([this] { manager().connectVpn(); });
    EXPECT_EQ(vpnState(), C::STATE_DISCONNECTED);
    EXPECT_EQ(reported(), std::vector<VpnStateSeen>({{"disconnected", "Unknown error."}}));
}

TEST_F(VpnStateMachineTablesTest, ChannelResultsReportTheirStatusAndLeaveTheTunnelDown) {
    struct Case {
        const char* name;
        std::uint32_t permissions;
        bool serviceRunning;
        std::vector<VpnStateSeen> reported;
    };
    const std::vector<Case> cases = {
        {"no AUTH",
         VPN_PERMISSION_STATE_CHANGE,
         true,
         {{"disconnected", "Cannot get access to VPN service as it is being used by another process."}}},
        {"not running",
         VPN_PERMISSION_AUTH | VPN_PERMISSION_STATE_CHANGE,
         false,
         {{"disconnected", "The Varnel VPN Service is not running."}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        enter(C::STATE_DISCONNECTED);
        dunmere::Gateway g = gateway();
        g.permissions = c.permissions;
        dunmere::VpnService::instance().setGateways({g});
        dunmere::VpnService::instance().setServiceRunning(c.serviceRunning);
        onEngineThread([this] { manager().connectVpn(); });
        EXPECT_EQ(vpnState(), C::STATE_DISCONNECTED);
        EXPECT_EQ(reported(), c.reported);
        dunmere::VpnService::instance().setServiceRunning(true);
    }
}

}  // namespace
}  // namespace tamsel::test
