// The logon client's single-sign-on requests through the service's dispatcher reach the logon
// machine installed for the connection API, and its "preLogonDone" comes back to the client.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/vel/logon/LogonTestSupport.h"
#include "vel/logon/ConnApiLogon.h"

namespace tamsel::test {
namespace {

using L = LogonConstants;
using Names = std::vector<std::string>;

class LogonHandlersTest : public LogonTest {
protected:
    void SetUp() override {
        LogonTest::SetUp();
        enter(BEFORE);
        context = ContextForCredentialRequestToSso::create();
        connApi.install(*machine, *context);
        forget();
    }
    void TearDown() override {
        connApi.uninstall();
        context.reset();
        LogonTest::TearDown();
    }

    // The logon client's request; the names of what the service sent back.
    Names request(const std::string& name, const std::string& children = "") {
        std::string payload = trayEnvelope(element(name, ++sequence, children));
        communication.impl()->datagramReceived(
            tray, Datagram(payload.data(), static_cast<std::int32_t>(payload.size())));
        sent = recorder(tray).take();
        return namesOf(sent);
    }

    // What the service sent in answer to the last request.
    std::vector<std::string> sent;

    // The other engine parts the handlers ask: a configuration in force, as far as they see.
    FakeEngine engine;
    int sequence = 0;
    std::optional<ContextForCredentialRequestToSso> context;
    ConnApiLogon connApi;
};

TEST_F(LogonHandlersTest, ALogonBeforeTheMachineConnectionWaitsForItThenTheSessionAndItsEnd) {
    EXPECT_EQ(request("ssoPrelogonActionsRequest", "<tamsel:logonAttemptId>7</tamsel:logonAttemptId>"),
              Names{"ssoPrelogonActionsResponse"});
    EXPECT_EQ(machine->impl()->state(), L::BEFORE_LOGON_PRELOGON_RUNNING);
    EXPECT_EQ(networks->takeCalls(), everyNetwork(1));
    EXPECT_EQ(status->reports, 1);

    connectOffice();
    EXPECT_EQ(preLogonDone(), std::vector<int>{7});
    EXPECT_EQ(machine->impl()->state(), L::BEFORE_LOGON_USER_SESSION);
    EXPECT_EQ(ConnApiEngine::getLogonStatus(), ConnApiEngine::LOGON_STATUS_USER);
    EXPECT_EQ(ConnApiEngine::currentLogonAttemptId(), 7);

    EXPECT_EQ(request("ssoUserSessionActionsRequest",
                      "<tamsel:userTokenHandle>40</tamsel:userTokenHandle>"
                      "<tamsel:userLogonProcessId>41</tamsel:userLogonProcessId>"),
              Names{"ssoUserSessionActionsResponse"});
    EXPECT_EQ(machine->impl()->userSessionActionA(), 40);
    EXPECT_EQ(machine->getUserSessionActionB(), 41);
    EXPECT_EQ(machine->impl()->state(), L::BEFORE_LOGON_USER_SESSION);

    EXPECT_EQ(request("ssoNoUserSessionRequest"), Names{"ssoNoUserSessionResponse"});
    EXPECT_EQ(machine->impl()->state(), L::BEFORE_LOGON_NO_USER);
    EXPECT_EQ(networks->takeCalls(), everyNetwork(2));
    EXPECT_EQ(vpns->takeCalls(), (Names{"handleUserLogon", "resetAndDisconnect"}));
    EXPECT_EQ(machine->getUserSessionActionB(), 0);
    EXPECT_EQ(ConnApiEngine::getLogonStatus(), ConnApiEngine::LOGON_STATUS_MACHINE);
}

TEST_F(LogonHandlersTest, ARepeatedLogonAttemptIsAnsweredWithTheFirstAttemptsNumber) {
    request("ssoPrelogonActionsRequest", "<tamsel:logonAttemptId>7</tamsel:logonAttemptId>");
    EXPECT_EQ(request("ssoPrelogonActionsRequest", "<tamsel:logonAttemptId>8</tamsel:logonAttemptId>"),
              (Names{"logonEvent", "ssoPrelogonActionsResponse"}));
    EXPECT_EQ(preLogonDoneIn(sent), std::vector<int>{7});
    EXPECT_EQ(machine->impl()->state(), L::BEFORE_LOGON_PRELOGON_RUNNING);
    EXPECT_EQ(machine->impl()->previousPrelogonActions(), 7);
    // Logging off while it waits lets the logon client go with the latest number.
    request("ssoNoUserSessionRequest");
    EXPECT_EQ(preLogonDoneIn(sent), std::vector<int>{8});
    EXPECT_EQ(machine->impl()->state(), L::BEFORE_LOGON_NO_USER);
}

}  // namespace
}  // namespace tamsel::test
