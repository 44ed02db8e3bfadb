// The logon machine's three tables, its queries and its hold on the configuration in force, with
// real configurations, recording networks and VPN manager, and the tray program's connection.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/vel/logon/LogonTestSupport.h"
#include "vel/logon/ConnApiLogon.h"
#include "vel/network/LogonStatus.h"

namespace tamsel::test {
namespace {

using L = LogonConstants;
using Calls = std::vector<std::string>;
using Values = std::vector<int>;

class LogonStateMachineTest : public LogonTest {
protected:
    // Brings a new service to the state along the paths the service takes (the configuration
    // connected first when asked), gives it the pre-logon values 5 then 9 and the user-session
    // values 11 and 12, then forgets what was recorded.
    void reach(std::int32_t state, bool connected = false) {
        leave();
        enter(state <= L::BEFORE_LOGON_PRELOGON_RUNNING ? BEFORE : AFTER);
        if (connected) connectOffice();
        if (state == L::BEFORE_LOGON_USER_SESSION || state == L::AFTER_LOGON_USER_SESSION)
            machine->handleSsoRequest(L::SSO_USER_SESSION_STARTED);
        if (state == L::BEFORE_LOGON_PRELOGON_RUNNING)
            machine->handleSsoRequest(L::SSO_USER_ATTEMPTING_LOGON);
        ASSERT_EQ(machine->impl()->state(), state);
        machine->setPrelogonActions(5);
        machine->setPrelogonActions(9);
        machine->setUserSessionActionA(11);
        machine->setUserSessionActionB(12);
        forget();
    }

    // What one input did.
    struct Seen {
        std::int32_t state;
        Calls networks;
        Calls vpn;
        Values preLogonDone;
        int reports;
    };
    Seen seen() {
        return {machine->impl()->state(), networks->takeCalls(), vpns->takeCalls(), preLogonDone(),
                std::exchange(status->reports, 0)};
    }
    void expectSeen(const Seen& expected) {
        Seen actual = seen();
        EXPECT_EQ(actual.state, expected.state);
        EXPECT_EQ(actual.networks, expected.networks);
        EXPECT_EQ(actual.vpn, expected.vpn);
        EXPECT_EQ(actual.preLogonDone, expected.preLogonDone);
        EXPECT_EQ(actual.reports, expected.reports);
        // Every "preLogonDone" since the mark has its line.
        EXPECT_EQ(logged("Prelogon completed.").size(), expected.preLogonDone.size());
    }
};

const Calls NONE;
const Calls LOGON = {"handleUserLogon"};
const Calls LOGOFF = {"resetAndDisconnect"};

struct SsoCase {
    std::int32_t from;
    std::int32_t code;
    bool connected;
    std::int32_t to;
    // 0 none, else the request every network hears.
    std::int32_t networkRequest;
    Calls vpn;
    Values preLogonDone;
    int reports;
    bool userSessionCleared;
    const char* line;
};

TEST_F(LogonStateMachineTest, SingleSignOnRequestsFollowTheTableInEveryState) {
    const SsoCase cases[] = {
        {1, 1, false, 3, 1, LOGON, {}, 1, false, "PRELOGON started"},
        // the machine connection is there: the pre-logon phase ends at once
        {1, 1, true, 2, 1, LOGON, {9}, 1, false, "PRELOGON completed"},
        {1, 2, false, 2, 1, LOGON, {}, 1, false, "SERVICE_STATUS: emitUserAction"},
        {1, 3, false, 1, 0, NONE, {}, 0, false, nullptr},
        {2, 1, false, 2, 0, NONE, {}, 0, false, "User is attempting to logon."},
        {2, 2, false, 2, 0, NONE, {}, 0, false, "User session has started."},
        {2, 3, false, 1, 2, LOGOFF, {}, 0, true, nullptr},
        // a second attempt while the first waits is answered with what the first asked
        {3, 1, false, 3, 0, NONE, {5}, 0, false, nullptr},
        {3, 2, false, 3, 0, NONE, {}, 0, false, nullptr},
        {3, 3, false, 1, 2, LOGOFF, {9}, 0, true, nullptr},
        {4, 1, false, 4, 0, NONE, {9}, 0, false, nullptr},
        {4, 2, false, 5, 1, LOGON, {}, 1, false, nullptr},
        {4, 3, false, 4, 0, NONE, {}, 0, false, nullptr},
        {5, 1, false, 5, 0, NONE, {}, 0, false, nullptr},
        {5, 2, false, 5, 0, NONE, {}, 0, false, nullptr},
        {5, 3, false, 4, 2, LOGOFF, {}, 0, true, nullptr},
    };
    for (const SsoCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "state " << c.from << " code " << c.code << " connected " << c.connected);
        reach(c.from, c.connected);
        machine->handleSsoRequest(c.code);
        expectSeen({c.to, c.networkRequest == 0 ? NONE : everyNetwork(c.networkRequest), c.vpn,
                    c.preLogonDone, c.reports});
        EXPECT_EQ(machine->impl()->userSessionActionA(), c.userSessionCleared ? 0 : 11);
        EXPECT_EQ(machine->getUserSessionActionB(), c.userSessionCleared ? 0 : 12);
        if (c.line != nullptr) {
            EXPECT_EQ(logged(c.line).size(), 1u);
        }
    }
}

TEST_F(LogonStateMachineTest, ANetworkThatConnectsAtTheLogonEndsThePreLogonPhaseOnce) {
    reach(L::BEFORE_LOGON_NO_USER);
    // The office network connects while it hears of the logon: the configuration's event
    // completes the pre-logon phase inside the logon attempt.
    networks->of(network("Office")).onSsoRequest = [this](std::int32_t) { connectOffice(); };
    machine->handleSsoRequest(L::SSO_USER_ATTEMPTING_LOGON);
    expectSeen({L::BEFORE_LOGON_USER_SESSION, everyNetwork(1), LOGON, {9}, 1});
    EXPECT_EQ(logged("PRELOGON completed").size(), 1u);
}

struct ConfigurationCase {
    std::int32_t from;
    // The office network's access states, in order.
    std::vector<std::int32_t> access;
    std::int32_t to;
    Values preLogonDone;
    int reports;
    const char* line;
};

TEST_F(LogonStateMachineTest, TheMachineConnectionEndsThePreLogonPhaseOrReportsTheServiceRunning) {
    const char* const connectedLine = "SERVICE_STATUS: MachineConnecting -> MachineConnected";
    const ConfigurationCase cases[] = {
        {1, {3, 4}, 1, {}, 1, connectedLine},
        {1, {3}, 1, {}, 0, nullptr},
        {2, {3, 4}, 2, {}, 0, nullptr},
        {3, {3, 4}, 2, {9}, 0, "PRELOGON completed"},
        {3, {3}, 3, {}, 0, nullptr},
        {4, {3, 4}, 4, {}, 1, connectedLine},
        {4, {3}, 4, {}, 0, nullptr},
        {5, {3, 4}, 5, {}, 0, nullptr},
        // connected, then lost: only the connection counts
        {1, {3, 4, 2}, 1, {}, 1, connectedLine},
    };
    for (const ConfigurationCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.from << " access steps " << c.access.size());
        reach(c.from);
        for (std::int32_t access : c.access) publish(access);
        expectSeen({c.to, NONE, NONE, c.preLogonDone, c.reports});
        if (c.line != nullptr) {
            EXPECT_EQ(logged(c.line).size(), 1u);
        }
    }
}

struct BehaviorCase {
    std::int32_t from;
    std::int32_t behavior;
    std::int32_t to;
    Values preLogonDone;
};

TEST_F(LogonStateMachineTest, AConfigurationOfAnotherBehaviourAtLogonMovesBetweenBeforeAndAfterLogon) {
    const BehaviorCase cases[] = {
        {1, AFTER, 4, {}},
        {1, BEFORE, 1, {}},
        {2, AFTER, 5, {}},
        // a logon waiting for a machine connection is let go
        {3, AFTER, 4, {9}},
        {3, BEFORE, 3, {}},
        {4, BEFORE, 1, {}},
        {4, AFTER, 4, {}},
        {5, BEFORE, 2, {}},
        {5, AFTER, 5, {}},
    };
    for (const BehaviorCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.from << " behaviour " << c.behavior);
        reach(c.from);
        takeOver(makeConfiguration(c.behavior));
        networks->takeCalls();
        expectSeen({c.to, NONE, NONE, c.preLogonDone, 0});
    }
}

TEST_F(LogonStateMachineTest, TheMachineFollowsTheConfigurationNowInForceAndItsNetworks) {
    reach(L::BEFORE_LOGON_NO_USER);
    Configuration first = configuration;
    prefix = "New ";
    takeOver(makeConfiguration(BEFORE));
    networks->takeCalls();
    ASSERT_NE(first, configuration);
    // The new configuration's networks hear the logon, and its connection ends the pre-logon.
    machine->handleSsoRequest(L::SSO_USER_ATTEMPTING_LOGON);
    expectSeen({L::BEFORE_LOGON_PRELOGON_RUNNING, everyNetwork(1), LOGON, {}, 1});
    markLog();
    connectOffice();
    expectSeen({L::BEFORE_LOGON_USER_SESSION, NONE, NONE, {9}, 0});
}

TEST_F(LogonStateMachineTest, WithoutAConfigurationInForceOnlyTheStateAndTheServiceStatusMove) {
    ActiveConfigurationImpl* created = ActiveConfigurationImpl::Create();
    active = ActiveConfiguration();
    created->release();
    machine = LogonStateMachine::create(status);
    markLog();
    machine->impl()->activeConfigurationChanged();
    EXPECT_EQ(takeAssertions(), Calls{"ActiveConfiguration::Instance().exists()"});
    EXPECT_EQ(logged("ActiveConfiguration does not exist").size(), 1u);
    machine->handleSsoRequest(L::SSO_USER_SESSION_STARTED);
    expectSeen({L::AFTER_LOGON_USER_SESSION, NONE, NONE, {}, 1});
    machine->handleSsoRequest(L::SSO_USER_SESSION_ENDED);
    expectSeen({L::AFTER_LOGON_NO_USER, NONE, NONE, {}, 0});
}

TEST_F(LogonStateMachineTest, TheQueriesFollowTheState) {
    struct Query {
        std::int32_t state;
        std::int32_t context;
        bool loggedOn;
    };
    const std::int32_t machinePhase = LogonStatusInterface::NO_USER_SESSION;
    const std::int32_t userPhase = LogonStatusInterface::USER_SESSION;
    const Query queries[] = {
        {1, machinePhase, false}, {2, userPhase, true}, {3, userPhase, false},
        {4, machinePhase, false}, {5, userPhase, true},
    };
    for (const Query& q : queries) {
        SCOPED_TRACE(q.state);
        reach(q.state);
        // As the networks and the connection API find it.
        InstalledLogonStatus::install(machine->asLogonStatus());
        ConnApiLogon connApi;
        connApi.install(*machine, ContextForCredentialRequestToSso::create());
        EXPECT_EQ(LogonStatus::getLogonContext(), q.context);
        EXPECT_EQ(ConnApiEngine::getLogonStatus(), q.context);
        EXPECT_EQ(ConnApiEngine::currentLogonAttemptId(), 9);
        EXPECT_EQ(machine->isUserLoggedOn(), q.loggedOn);
        // The user's certificate stores are read with the token of the user's session, and only
        // while it lasts.
        LogonUserTokenInterface* tokens = LogonStatus::userTokenSource();
        ASSERT_NE(tokens, nullptr);
        winfile::HANDLE token = nullptr;
        std::uint32_t process = 0;
        EXPECT_EQ(tokens->userToken(&token, &process), q.loggedOn);
        if (q.loggedOn) {
            EXPECT_EQ(reinterpret_cast<std::intptr_t>(token), 11);
            EXPECT_EQ(process, 12U);
        }
        EXPECT_EQ(machine->impl()->state(), q.state);
        InstalledLogonStatus::install(nullptr);
        EXPECT_EQ(LogonStatus::userTokenSource(), nullptr);
    }
}

// Only a logon waiting for its pre-logon phase hears "preLogonDone" again, with the current value.
TEST_F(LogonStateMachineTest, PreLogonDoneIsSentAgainOnlyWhilePreLogonRuns) {
    for (std::int32_t state = L::BEFORE_LOGON_NO_USER; state <= L::AFTER_LOGON_USER_SESSION; ++state) {
        SCOPED_TRACE(state);
        reach(state);
        machine->sendPreLogonDoneIfWaiting();
        expectSeen({state, NONE, NONE, state == L::BEFORE_LOGON_PRELOGON_RUNNING ? Values{9} : Values{}, 0});
    }
}

// The internal file keeps the session reference of the user logged on; a service restarted during
// the session takes it back, and the tray program's session request, which knows no token, leaves
// it, so that the user's stores are read at once. A logon client's token replaces it; the logoff
// forgets it, in the file too.
TEST_F(LogonStateMachineTest, TheUserSessionReferenceOutlivesARestartOfTheService) {
    const auto internalFile = [this] { return readText(root.path() + "/system/internalConfiguration.xml"); };
    const auto token = [] {
        winfile::HANDLE handle = nullptr;
        std::uint32_t process = 0;
        LogonUserTokenInterface* source = LogonStatus::userTokenSource();
        if (source == nullptr || !source->userToken(&handle, &process)) return std::intptr_t{-1};
        return reinterpret_cast<std::intptr_t>(handle);
    };
    reach(L::AFTER_LOGON_NO_USER);
    {
        InstalledLogonStatus::install(machine->asLogonStatus());
        ConnApiLogon connApi;
        connApi.install(*machine, ContextForCredentialRequestToSso::create());
        connApi.setUserSessionActions(0x5001, 77);
        connApi.handleSsoRequest(L::SSO_USER_SESSION_STARTED);
        EXPECT_EQ(token(), 0x5001);
        EXPECT_NE(internalFile().find("<userSessionReference>20481</userSessionReference>"),
                  std::string::npos)
            << internalFile();
        InstalledLogonStatus::install(nullptr);
    }

    // The restart: a new machine with nobody logged on reads the file's reference.
    leave();
    enter(AFTER);
    ASSERT_FALSE(machine->isNull());
    InstalledLogonStatus::install(machine->asLogonStatus());
    ConnApiLogon connApi;
    connApi.install(*machine, ContextForCredentialRequestToSso::create());
    active->impl()->readInternalConfiguration();
    EXPECT_EQ(token(), -1) << "no session before the session request";
    connApi.setUserSessionActions(0, 0);
    connApi.handleSsoRequest(L::SSO_USER_SESSION_STARTED);
    EXPECT_EQ(token(), 0x5001);

    connApi.setUserSessionActions(0x5002, 78);
    EXPECT_EQ(token(), 0x5002);
    connApi.handleSsoRequest(L::SSO_USER_SESSION_ENDED);
    EXPECT_EQ(token(), -1);
    EXPECT_EQ(LogonStatus::userSessionReference(), 0);
    EXPECT_EQ(internalFile().find("userSessionReference"), std::string::npos) << internalFile();
    InstalledLogonStatus::install(nullptr);
}

TEST_F(LogonStateMachineTest, OnlyOneMachineExists) {
    reach(L::AFTER_LOGON_NO_USER);
    EXPECT_TRUE(LogonStateMachine::create(status).isNull());
    EXPECT_EQ(takeAssertions(), Calls{"Singleton == null"});
    leave();
    EXPECT_TRUE(LogonStateMachine().isNull());
    EXPECT_EQ(takeAssertions(), Calls{"Singleton != null"});
}

}  // namespace
}  // namespace tamsel::test
