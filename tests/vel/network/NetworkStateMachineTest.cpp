#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/FakeLogonStatus.h"
#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/network/NetworkStateMachineHost.h"
#include "vel/network/NetworkStateMachineImpl.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

using C = NetworkConstants;

// A network as the machine sees it. Like the real access machine, its access answers a start or
// a stop at once with the access state it enters, through the machine under test.
class RecordingNetwork : public NetworkStateMachineHost {
public:
    const char* networkName() override { return "Office"; }
    std::int32_t connectionTypes() override { return types; }
    bool extendUserConnectionBeyondLogoff() override { return extendBeyondLogoff; }
    bool extendedUserConnectionActive() override { return extendedActive; }
    void setExtendedUserConnectionActive(bool active) override { extendedActive = active; }
    bool is8021x() override { return flag8021x; }
    std::int32_t authenticationState() override { return authState; }
    bool passwordChangeAttemptArmed() override { return armed; }
    bool passwordChangeCredentialsPresent() override { return credentialsPresent; }
    std::int32_t credentialSource() override { return source; }
    void logForAdapter(const char* line) override { adapterLines.push_back(line); }

    void startAccess() override {
        calls.push_back("startAccess");
        if (access == C::ACCESS_STOPPED) publish(C::ACCESS_STARTED);
    }
    void stopAccess() override {
        calls.push_back("stopAccess");
        if (access != C::ACCESS_STOPPED) publish(C::ACCESS_STOPPED);
    }
    void reauthenticateAccess() override { calls.push_back("reauthenticateAccess"); }
    void setMachineCredentials() override { calls.push_back("setMachineCredentials"); }
    void setUserCredentials() override { calls.push_back("setUserCredentials"); }
    void resetSession() override { calls.push_back("resetSession"); }
    void sendPasswordChangeResult(std::int32_t result) override {
        calls.push_back("result " + std::to_string(result));
    }
    void respondToValidCredRequest() override { calls.push_back("respondToValidCredRequest"); }
    void requestPasswordChangeCredentials() override { calls.push_back("requestPasswordChangeCredentials"); }
    void storeChangedPassword() override { calls.push_back("storeChangedPassword"); }

    // Access reports a new state to the machine, as the network object passes it on.
    void publish(std::int32_t state) {
        access = state;
        machine.handleAccessEvent(state);
    }

    NetworkStateMachineImpl machine{*this};
    std::int32_t access = C::ACCESS_STOPPED;
    std::int32_t types = C::CONNECTION_TYPES_BOTH;
    bool extendBeyondLogoff = false;
    bool extendedActive = false;
    bool flag8021x = true;
    std::int32_t authState = C::AUTH_STATE_NONE;
    bool armed = false;
    bool credentialsPresent = false;
    std::int32_t source = 1;
    std::vector<std::string> calls;
    std::vector<std::string> adapterLines;
};

class NetworkStateMachineTest : public ConfigurationTest {
protected:
    void SetUp() override {
        ConfigurationTest::SetUp();
        logon.emplace();
    }
    void TearDown() override {
        net.reset();
        logon.reset();
        ConfigurationTest::TearDown();
    }

    // A new network with the given settings, driven into a state the way a network gets there;
    // what that took is forgotten.
    RecordingNetwork& fresh(std::int32_t state, std::int32_t types = C::CONNECTION_TYPES_BOTH) {
        net = std::make_unique<RecordingNetwork>();
        net->types = types;
        reach(state);
        net->calls.clear();
        net->adapterLines.clear();
        markLog();
        return *net;
    }
    void reach(std::int32_t state) {
        switch (state) {
            case C::STOPPED:
                break;
            case C::MACHINE_T_DISCONNECTED:
                start(LogonStatusInterface::NO_USER_SESSION);
                break;
            case C::MACHINE_T_NOT_DISCONNECTED:
                reach(C::MACHINE_T_DISCONNECTED);
                net->publish(C::ACCESS_CONNECTING);
                break;
            case C::USER_T_DISCONNECTED:
                start(LogonStatusInterface::USER_SESSION);
                break;
            case C::USER_T_NOT_DISCONNECTED:
                reach(C::USER_T_DISCONNECTED);
                net->publish(C::ACCESS_CONNECTING);
                break;
            case C::MACHINE_ND_PWD_CHG_FROM_SERVER:
                reach(C::MACHINE_T_NOT_DISCONNECTED);
                demandPasswordChange();
                break;
            case C::USER_ND_PWD_CHG_FROM_SERVER:
                reach(C::USER_T_NOT_DISCONNECTED);
                demandPasswordChange();
                break;
            case C::USER_ND_PWD_CHG_DONE: {
                reach(C::USER_ND_PWD_CHG_FROM_SERVER);
                std::int32_t source = std::exchange(net->source, C::CREDENTIAL_SOURCE_LOGON);
                net->publish(C::ACCESS_CONNECTED);
                net->source = source;
                break;
            }
        }
        ASSERT_EQ(net->machine.state(), state);
    }
    void start(std::int32_t context) {
        logon->set(context);
        net->machine.handleUserEvent(C::START);
    }
    void demandPasswordChange() {
        bool present = std::exchange(net->credentialsPresent, true);
        net->machine.handleAuthRequest(C::CHANGE_PASSWORD);
        net->credentialsPresent = present;
    }

    // Installed while the run-time lives.
    std::optional<FakeLogonStatus> logon;
    std::unique_ptr<RecordingNetwork> net = std::make_unique<RecordingNetwork>();
};

struct PhaseCase {
    std::int32_t context;
    std::int32_t types;
    bool extendedActive;
    std::int32_t state;
    std::vector<std::string> calls;
};

TEST_F(NetworkStateMachineTest, StartChoosesThePhaseByLogonConnectionTypesAndExtendedConnection) {
    const std::int32_t none = LogonStatusInterface::NO_USER_SESSION;
    const std::int32_t user = LogonStatusInterface::USER_SESSION;
    const std::vector<PhaseCase> cases = {
        {none, 1, false, 2, {"setMachineCredentials", "startAccess"}},
        {none, 3, false, 2, {"setMachineCredentials", "startAccess"}},
        // A user-only network waits without access until somebody logs on.
        {none, 2, false, 2, {}},
        // The user's connection outlived the logoff: it goes on with the user's credentials.
        {none, 2, true, 4, {"startAccess"}},
        {none, 3, true, 4, {"startAccess"}},
        // A machine-only network in a user session: machine credentials, user states.
        {user, 1, false, 4, {"setMachineCredentials", "startAccess"}},
        {user, 2, false, 4, {"setUserCredentials", "startAccess"}},
        {user, 3, false, 4, {"setUserCredentials", "startAccess"}},
    };
    for (const PhaseCase& c : cases) {
        SCOPED_TRACE("context " + std::to_string(c.context) + " types " + std::to_string(c.types) +
                     (c.extendedActive ? " extended" : ""));
        RecordingNetwork& network = fresh(C::STOPPED, c.types);
        network.extendedActive = c.extendedActive;
        start(c.context);
        EXPECT_EQ(network.machine.state(), c.state);
        EXPECT_THAT(network.calls, ElementsAreArray(c.calls));
        EXPECT_EQ(network.access == C::ACCESS_STARTED, !c.calls.empty());
        // A second START changes nothing.
        network.calls.clear();
        network.machine.handleUserEvent(C::START);
        EXPECT_EQ(network.machine.state(), c.state);
        EXPECT_THAT(network.calls, IsEmpty());
    }
}

TEST_F(NetworkStateMachineTest, StartWithAnUnknownLogonStatusOrConnectionTypeIsABrokenInvariant) {
    start(7);
    EXPECT_EQ(net->machine.state(), C::STOPPED);
    EXPECT_THAT(takeAssertions(), ElementsAre("false"));

    fresh(C::STOPPED, 0);
    start(LogonStatusInterface::USER_SESSION);
    EXPECT_THAT(net->calls, IsEmpty());
    EXPECT_THAT(takeAssertions(), ElementsAre("false"));
}

TEST_F(NetworkStateMachineTest, WithoutAnInstalledLogonComponentNobodyIsLoggedOn) {
    logon.reset();
    EXPECT_EQ(LogonStatus::getLogonContext(), LogonStatusInterface::NO_USER_SESSION);
    net->types = C::CONNECTION_TYPES_USER;
    net->machine.handleUserEvent(C::START);
    EXPECT_EQ(net->machine.state(), C::MACHINE_T_DISCONNECTED);
}

// One input in one state: the calls the machine makes, in order, and where it ends.
struct Row {
    std::int32_t state;
    std::int32_t input;
    std::vector<std::string> calls;
    std::int32_t next;
    std::int32_t types = C::CONNECTION_TYPES_BOTH;
};

std::string traceOf(const Row& row) {
    return "state " + std::to_string(row.state) + " input " + std::to_string(row.input) + " types " +
           std::to_string(row.types);
}

TEST_F(NetworkStateMachineTest, UserEventsStopAccessAndRestartItOnAccessChanges) {
    const std::vector<Row> rows = {
        {1, C::STOP, {}, 1},
        {1, C::ACCESS_CHANGED, {}, 1},
        {2, C::STOP, {"stopAccess"}, 1},
        {2, C::ACCESS_CHANGED, {}, 2},
        {4, C::STOP, {"stopAccess"}, 1},
        {3, C::STOP, {"stopAccess"}, 1},
        // Access starts again from scratch: the network is disconnected until it connects.
        {3, C::ACCESS_CHANGED, {"stopAccess", "startAccess"}, 2},
        {5, C::ACCESS_CHANGED, {"stopAccess", "startAccess"}, 4},
        {5, C::START, {}, 5},
        // The new password never reached the server: reported once, as a channel failure.
        {10, C::STOP, {"stopAccess", "result 3"}, 1},
        {16, C::STOP, {"stopAccess", "result 3"}, 1},
        {17, C::STOP, {"stopAccess"}, 1},
        {10, C::ACCESS_CHANGED, {}, 10},
        {17, C::START, {}, 17},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(traceOf(row));
        fresh(row.state, row.types).machine.handleUserEvent(row.input);
        EXPECT_THAT(net->calls, ElementsAreArray(row.calls));
        EXPECT_EQ(net->machine.state(), row.next);
        if (row.next == C::STOPPED) {
            EXPECT_EQ(net->access, C::ACCESS_STOPPED);
        }
    }
}

TEST_F(NetworkStateMachineTest, PasswordChangeStatesLogTheUserEventsTheyIgnore) {
    fresh(C::USER_ND_PWD_CHG_FROM_SERVER).machine.handleUserEvent(C::ACCESS_CHANGED);
    EXPECT_THAT(logged("Ignoring"), ElementsAre("Network Office: Ignoring 7 user event"));
    fresh(C::USER_ND_PWD_CHG_DONE).machine.handleUserEvent(C::START);
    EXPECT_THAT(logged("Ignoring"), ElementsAre("Network Office: Ignoring 2 user event"));
    fresh(C::MACHINE_T_NOT_DISCONNECTED).machine.handleUserEvent(C::START);
    EXPECT_THAT(logged("Ignoring"), IsEmpty());
}

struct AccessRow {
    std::int32_t state;
    std::int32_t access;
    std::vector<std::string> calls;
    std::int32_t next;
    std::int32_t source = 1;
};

TEST_F(NetworkStateMachineTest, AccessEventsMoveBetweenDisconnectedAndNotDisconnected) {
    const std::int32_t logonSource = C::CREDENTIAL_SOURCE_LOGON;
    const std::vector<AccessRow> rows = {
        {1, C::ACCESS_STOPPED, {}, 1},
        {2, C::ACCESS_ATTACHED, {}, 2},
        {2, C::ACCESS_CONNECTING, {}, 3},
        {2, C::ACCESS_AUTHENTICATED, {}, 3},
        {3, C::ACCESS_ASSOCIATING, {}, 2},
        {3, C::ACCESS_CONNECTED, {}, 3},
        {3, C::ACCESS_STOPPED, {}, 2},
        {4, C::ACCESS_STARTED, {}, 4},
        {4, C::ACCESS_CONNECTED, {}, 5},
        {5, C::ACCESS_ATTACHED, {}, 4},
        {5, C::ACCESS_CONNECTING, {}, 5},
        // While a new password is on its way, access decides the outcome.
        {10, C::ACCESS_STARTED, {"result 2"}, 2},
        {10, C::ACCESS_CONNECTING, {}, 10},
        {10, C::ACCESS_AUTHENTICATED, {"result 1"}, 3},
        {16, C::ACCESS_ASSOCIATING, {"result 2"}, 4},
        {16, C::ACCESS_CONNECTED, {"result 1"}, 17, logonSource},
        // A password given through the tray program is kept for the next connection.
        {16, C::ACCESS_CONNECTED, {"storeChangedPassword"}, 5},
        {16, C::ACCESS_CONNECTING, {}, 16},
        {17, C::ACCESS_STOPPED, {}, 4},
        {17, C::ACCESS_AUTHENTICATED, {}, 17},
    };
    for (const AccessRow& row : rows) {
        SCOPED_TRACE("state " + std::to_string(row.state) + " access " + std::to_string(row.access));
        fresh(row.state).source = row.source;
        net->machine.handleAccessEvent(row.access);
        EXPECT_THAT(net->calls, ElementsAreArray(row.calls));
        EXPECT_EQ(net->machine.state(), row.next);
    }
}

TEST_F(NetworkStateMachineTest, AccessOutsideItsRangeOrActiveWhileStoppedIsABrokenInvariant) {
    fresh(C::STOPPED).machine.handleAccessEvent(C::ACCESS_STARTED);
    EXPECT_THAT(takeAssertions(), ElementsAre("handleEvent - Access should be STOPPED"));
    fresh(C::MACHINE_T_DISCONNECTED).machine.handleAccessEvent(9);
    EXPECT_THAT(takeAssertions(), ElementsAre("handleEvent unknown event"));
    EXPECT_EQ(net->machine.state(), C::MACHINE_T_DISCONNECTED);
    EXPECT_THAT(
        logged("received access event"),
        ElementsAre("Network Office: NetworkStateMachine current state MACHINE_T_DISCONNECTED, received "
                    "access event <unknown>"));
}

TEST_F(NetworkStateMachineTest, SsoRequestsSwitchCredentialsAndPhase) {
    const std::int32_t user = C::SET_USER_CREDS;
    const std::int32_t machine = C::SET_MACHINE_CREDS;
    const std::int32_t change = C::SSO_CHANGE_PASSWORD_REQUEST;
    const std::int32_t changed = C::SSO_LOGON_CREDENTIALS_CHANGED_REQUEST;
    const std::vector<Row> rows = {
        {1, user, {}, 1},
        {1, machine, {}, 1},
        // The user logs on: a user-only network starts its access only now.
        {2, user, {"setUserCredentials", "startAccess"}, 4, 2},
        {2, user, {"setUserCredentials", "reauthenticateAccess"}, 4, 3},
        {2, user, {}, 4, 1},
        {2, machine, {}, 2},
        {2, change, {"setUserCredentials", "startAccess"}, 4, 2},
        {2, change, {}, 4, 1},
        {3, user, {"setUserCredentials", "reauthenticateAccess"}, 5, 3},
        {3, user, {}, 5, 1},
        {3, change, {"setUserCredentials"}, 5, 3},
        {3, change, {}, 5, 1},
        {3, changed, {}, 3},
        // The user logs off.
        {4, machine, {"setMachineCredentials", "stopAccess"}, 2, 2},
        {4, machine, {"setMachineCredentials"}, 2, 3},
        {4, change, {"setUserCredentials"}, 4, 2},
        {4, change, {}, 4, 1},
        {5, user, {"reauthenticateAccess"}, 5, 3},
        {5, user, {}, 5, 1},
        {5, machine, {"setMachineCredentials"}, 3, 1},
        {5, machine, {"setMachineCredentials", "stopAccess"}, 2, 2},
        {5, machine, {"setMachineCredentials", "reauthenticateAccess"}, 3, 3},
        {5, change, {"setUserCredentials"}, 5, 3},
        {10, user, {"setUserCredentials", "reauthenticateAccess"}, 5, 3},
        {10, user, {}, 5, 1},
        {10, machine, {}, 10},
        {16, user, {"reauthenticateAccess"}, 5, 2},
        {16, machine, {"setMachineCredentials", "reauthenticateAccess"}, 3, 3},
        {16, machine, {"setMachineCredentials"}, 3, 1},
        // A user-only network has nothing to authenticate the machine with: it waits
        // disconnected, not in a connected state with access stopped.
        {16, machine, {"setMachineCredentials", "stopAccess"}, 2, 2},
        {17, machine, {"setMachineCredentials", "stopAccess"}, 2, 2},
        {17, machine, {"setMachineCredentials", "reauthenticateAccess"}, 3, 3},
        {17, user, {"reauthenticateAccess"}, 5, 2},
        {17, changed, {"reauthenticateAccess"}, 5, 2},
        {16, changed, {}, 16, 2},
        {17, change, {}, 17, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(traceOf(row));
        fresh(row.state, row.types).machine.handleSsoRequest(row.input);
        EXPECT_THAT(net->calls, ElementsAreArray(row.calls));
        EXPECT_EQ(net->machine.state(), row.next);
    }
}

TEST_F(NetworkStateMachineTest, OnlyAn8021xNetworkReauthenticatesWhenTheSameUserLogsOnAgain) {
    fresh(C::USER_T_NOT_DISCONNECTED).flag8021x = false;
    net->machine.handleSsoRequest(C::SET_USER_CREDS);
    EXPECT_THAT(net->calls, IsEmpty());
}

TEST_F(NetworkStateMachineTest, CredentialRequestsAreAnnouncedForTheAdapter) {
    fresh(C::STOPPED).machine.handleSsoRequest(C::SET_MACHINE_CREDS);
    net->machine.handleSsoRequest(C::SET_USER_CREDS);
    net->machine.handleSsoRequest(C::SSO_CHANGE_PASSWORD_REQUEST);
    EXPECT_THAT(net->adapterLines, ElementsAre("Requesting machine authentication pre-logon.",
                                               "Requesting user authentication pre-logon."));
}

TEST_F(NetworkStateMachineTest, AUserConnectionExtendedBeyondLogoffSurvivesItAndRestartsAtTheNextLogon) {
    RecordingNetwork& network = fresh(C::USER_T_NOT_DISCONNECTED);
    network.extendBeyondLogoff = true;
    network.machine.handleSsoRequest(C::SET_MACHINE_CREDS);
    EXPECT_EQ(network.machine.state(), C::USER_T_NOT_DISCONNECTED);
    EXPECT_TRUE(network.extendedActive);
    EXPECT_THAT(network.calls, IsEmpty());
    EXPECT_THAT(logged("Extending"), ElementsAre("Extending user connection beyond logoff"));
    EXPECT_THAT(logged("new state"),
                ElementsAre("Network Office: NetworkStateMachine new state USER_T_NOT_DISCONNECTED"));

    network.machine.handleSsoRequest(C::SET_USER_CREDS);
    EXPECT_FALSE(network.extendedActive);
    EXPECT_THAT(network.calls, ElementsAre("resetSession", "reauthenticateAccess"));
    EXPECT_THAT(logged("during extended"), ElementsAre("User logon during extended user connection"));
}

struct AuthRow {
    std::int32_t state;
    std::int32_t request;
    bool credentialsPresent;
    bool armed;
    std::int32_t authState;
    std::vector<std::string> calls;
    std::int32_t next;
};

TEST_F(NetworkStateMachineTest, AuthenticationRequestsCarryThePasswordChange) {
    const std::int32_t change = C::CHANGE_PASSWORD;
    const std::int32_t failed = C::AUTHENTICATION_FAILED;
    const std::int32_t provisioned = C::AUTH_STATE_EAP_FAST_PROVISIONING_SUCCESS;
    const std::int32_t sent = C::AUTH_STATE_NEW_CREDENTIAL_SENT;
    const std::vector<AuthRow> rows = {
        {3, change, true, false, 0, {"respondToValidCredRequest"}, 10},
        {3, change, false, false, 0, {"requestPasswordChangeCredentials"}, 3},
        {5, change, true, false, 0, {"respondToValidCredRequest"}, 16},
        {5, change, false, false, 0, {"requestPasswordChangeCredentials"}, 5},
        {3, failed, false, true, 0, {"result 2"}, 3},
        {5, failed, false, true, 0, {"result 2"}, 5},
        {5, failed, false, false, 0, {}, 5},
        // EAP-FAST provisioning ends in a failure although the new password was taken.
        {10, failed, true, true, provisioned, {"result 1"}, 3},
        {10, failed, true, true, sent, {"result 2"}, 3},
        {16, failed, true, true, provisioned, {"result 1"}, 5},
        {16, failed, true, false, sent, {}, 5},
        {10, change, true, true, 0, {}, 10},
        {1, failed, false, true, 0, {}, 1},
        {2, change, true, true, 0, {}, 2},
        {4, failed, false, true, 0, {}, 4},
        {17, failed, false, true, 0, {}, 17},
    };
    for (const AuthRow& row : rows) {
        SCOPED_TRACE("state " + std::to_string(row.state) + " request " + std::to_string(row.request));
        RecordingNetwork& network = fresh(row.state);
        network.credentialsPresent = row.credentialsPresent;
        network.armed = row.armed;
        network.authState = row.authState;
        network.machine.handleAuthRequest(row.request);
        EXPECT_THAT(network.calls, ElementsAreArray(row.calls));
        EXPECT_EQ(network.machine.state(), row.next);
    }
}

TEST_F(NetworkStateMachineTest, APasswordChangeLogsWhereTheNewPasswordComesFrom) {
    fresh(C::MACHINE_T_NOT_DISCONNECTED).credentialsPresent = true;
    net->machine.handleAuthRequest(C::CHANGE_PASSWORD);
    fresh(C::USER_T_NOT_DISCONNECTED).machine.handleAuthRequest(C::CHANGE_PASSWORD);
    EXPECT_THAT(logged("NOT_DISCONNECTED NetworkStateMachine sending"),
                ElementsAre("USER_T_NOT_DISCONNECTED NetworkStateMachine sending pwdChgReqToSsoOrGui"));
}

TEST_F(NetworkStateMachineTest, EveryInputLogsItsArrivalAndTheStateItLeavesTheMachineIn) {
    start(LogonStatusInterface::USER_SESSION);
    net->machine.handleSsoRequest(C::SSO_LOGON_CREDENTIALS_CHANGED_REQUEST);
    net->machine.handleAuthRequest(C::AUTHENTICATION_FAILED);
    EXPECT_THAT(
        logged("NetworkStateMachine"),
        ElementsAre(
            "Network Office: NetworkStateMachine current state STOPPED, received user event START",
            // Access answers the start at once; the nested event announces the state both inputs
            // leave the machine in, once.
            "Network Office: NetworkStateMachine current state USER_T_DISCONNECTED, received access event "
            "ACCESS_STARTED",
            "Network Office: NetworkStateMachine new state USER_T_DISCONNECTED",
            "Network Office: NetworkStateMachine current state USER_T_DISCONNECTED, received sso request "
            "SSO_LOGON_CREDENTIALS_CHANGED_REQUEST",
            "Network Office: NetworkStateMachine new state USER_T_DISCONNECTED",
            "Network Office: NetworkStateMachine current state USER_T_DISCONNECTED, received auth request "
            "AUTHENTICATION_FAILED",
            "Network Office: NetworkStateMachine new state USER_T_DISCONNECTED"));
}

TEST_F(NetworkStateMachineTest, PasswordChangeResultsHaveTheirTexts) {
    EXPECT_STREQ(NetworkConstants::passwordChangeResultText(3),
                 "NetworkConstants::AUTH_CHANNEL_SETUP_FAILED");
    EXPECT_STREQ(NetworkConstants::passwordChangeResultText(4), "NetworkConstants::PWD_CHANGE_NOT_REQUESTED");
    EXPECT_STREQ(NetworkConstants::passwordChangeResultText(5), "<unknown>");
    EXPECT_STREQ(NetworkConstants::authenticationStateText(11), "AUTH_STATE_EAP_FAST_PROVISIONING_SUCCESS");
    EXPECT_STREQ(NetworkConstants::authenticationStateText(14), "AUTH_STATE_FAILURE");
    EXPECT_STREQ(NetworkConstants::authenticationStateText(15), "<unknown>");
    EXPECT_STREQ(NetworkConstants::authenticationStateText(-1), "<unknown>");
}

}  // namespace
}  // namespace tamsel::test
