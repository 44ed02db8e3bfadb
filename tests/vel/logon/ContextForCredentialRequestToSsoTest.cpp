// The single-sign-on context alone, and as the connection API reaches it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/ipcmsghandlers/ConnApiTestSupport.h"
#include "vel/logon/ConnApiLogon.h"
#include "vel/logon/ContextForCredentialRequestToSso.h"

namespace tamsel::test {
namespace {

using SsoContextTest = RuntimeTest;

// The name of the network the open request is for; "<none>" when none is open.
std::string openFor(const ConnApiNetworkProxy& open) {
    ConnApiNetworkProxy proxy = open;
    return proxy.exists() ? proxy.network().networkName().text() : "<none>";
}

TEST_F(SsoContextTest, TheLatestRequestIsHeldUntilAsManyEndsAsBegins) {
    ContextForCredentialRequestToSso context = ContextForCredentialRequestToSso::create();
    context.beginRequest(fakeNetwork("Office"));
    context.beginRequest(fakeNetwork("Lab"));
    EXPECT_EQ(openFor(context.network()), "Lab");
    EXPECT_EQ(context.pendingCount(), 2);
    context.endRequest();
    EXPECT_EQ(openFor(context.network()), "Lab");
    context.endRequest();
    EXPECT_EQ(openFor(context.network()), "<none>");
    EXPECT_EQ(context.pendingCount(), 0);
}

TEST_F(SsoContextTest, EndsBeyondTheBeginsLeaveNoDebtForTheNextRequest) {
    ContextForCredentialRequestToSso context = ContextForCredentialRequestToSso::create();
    context.endRequest();
    context.endRequest();
    EXPECT_EQ(context.pendingCount(), 0);
    context.beginRequest(fakeNetwork("Office"));
    EXPECT_EQ(context.pendingCount(), 1);
    EXPECT_EQ(openFor(context.network()), "Office");
}

TEST_F(SsoContextTest, AnAnswerThatReachedItsNetworkEndsEveryOpenRequest) {
    ContextForCredentialRequestToSso context = ContextForCredentialRequestToSso::create();
    context.beginRequest(fakeNetwork("Office"));
    context.beginRequest(fakeNetwork("Office"));
    context.setPending();
    context.endRequest();
    EXPECT_EQ(openFor(context.network()), "<none>");
    context.beginRequest(fakeNetwork("Lab"));
    context.clearReferences();
    EXPECT_EQ(context.pendingCount(), 0);
    EXPECT_EQ(openFor(context.network()), "<none>");
}

TEST_F(SsoContextTest, TheConnectionApiReachesTheOneContextWhileItIsInstalled) {
    ContextForCredentialRequestToSso context = ContextForCredentialRequestToSso::create();
    LogonStateMachine machine = LogonStateMachine::create(nullptr);
    {
        ConnApiLogon connApi;
        connApi.install(machine, ContextForCredentialRequestToSso());
        ConnApiEngine::beginSsoCredentialRequest(fakeNetwork("Office"));
        EXPECT_EQ(openFor(ConnApiEngine::ssoCredentialNetwork()), "Office");
        EXPECT_EQ(context.pendingCount(), 1);
        ConnApiEngine::setSsoCredentialRequestPending();
        ConnApiEngine::endSsoCredentialRequest();
        EXPECT_EQ(openFor(ConnApiEngine::ssoCredentialNetwork()), "<none>");
        ConnApiEngine::beginSsoCredentialRequest(fakeNetwork("Lab"));
    }
    EXPECT_EQ(ConnApiSeam<ConnApiLogonInterface>::installed(), nullptr);
    EXPECT_EQ(openFor(ConnApiEngine::ssoCredentialNetwork()), "<none>");
    EXPECT_EQ(openFor(context.network()), "Lab");
    // Gone, the connection API gets the answer of a service without a logon machine.
    EXPECT_EQ(ConnApiEngine::getLogonStatus(), 0);
    EXPECT_TRUE(ContextForCredentialRequestToSso::create().isNull());
    EXPECT_EQ(takeAssertions(), std::vector<std::string>{"Singleton == null"});
}

}  // namespace
}  // namespace tamsel::test
