#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/FakeLogonStatus.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingNetworkSubscriber.h"
#include "tests/vel/credrequest/RecordingAnswers.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/certificate/CertificateConstants.h"
#include "vel/configuration/NetworkSubscriberInterface.h"
#include "vel/network/Network.h"
#include "vel/network/NetworkConstants.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace tamsel::test {
namespace {

using C = NetworkConstants;

// A network whose behaviour records what the responder asks of the session.
class RecordingBehavior : public IdleNetworkBehavior {
public:
    void handleAuthRequest(std::int32_t request) override {
        calls.push_back("auth " + std::to_string(request));
    }
    void reauthenticate() override { calls.push_back("reauthenticate"); }
    void endOfSessionActions() override { calls.push_back("end of session"); }
    void rejectionActions() override { calls.push_back("rejection"); }
    void closeAdapterPort() override { calls.push_back("close port"); }
    std::vector<std::string> calls;
};

RecordingBehavior* LastBehavior = nullptr;

std::unique_ptr<NetworkBehaviorInterface> makeRecordingBehavior(NetworkImpl&) {
    auto behavior = std::make_unique<RecordingBehavior>();
    LastBehavior = behavior.get();
    return behavior;
}

// A user's 802.1X network: PEAP with MSCHAPv2 inside, credentials from the given source; requests
// answered through a recording port manager.
class NetworkCredentialResponderTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        previousMaker = NetworkBehaviorMaker::set(&makeRecordingBehavior);
        answers = new RecordingAnswersImpl;
        subscriber = new RecordingNetworkSubscriberImpl;
    }
    void TearDown() override {
        if (!network.isNull()) {
            network.impl()->clearReferences();
            network.reset();
        }
        NetworkBehaviorMaker::set(previousMaker);
        answers->release();
        subscriber->release();
        RuntimeTest::TearDown();
    }

    void makeNetwork(std::int32_t source, std::int32_t kind = 1) {
        network = Network::create(Ascii("Office"));
        network.setFlagB(true);
        network.setNetworkMedia(NetworkImpl::MEDIA_WIRED);
        network.setConnectionTypes(NetworkImpl::CONNECTION_TYPES_USER);
        network.addSubscriber(subscriber);
        AuthenticationParameters user =
            network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
        AuthenticationMethod peap = AuthenticationMethod::ofType(25);
        peap.setCredentialType(kind);
        peap.addInnerAuthenticationMethod(AuthenticationMethod::ofType(26));
        user.addAuthenticationMethod(peap);
        user.setCredentialType(source);
        user.setUnprotectedIdentityPattern("[username]");
        user.setProtectedIdentityPattern("[username]");
        session().m_currentConnectionType = AdapterConstants::CONNECTION_USER;
        behavior = LastBehavior;
    }
    NetworkSession& session() { return network.impl()->m_session; }
    AuthenticationParameters user() {
        return network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
    }
    // A request of the library as the port hands it over.
    CredentialRequest request(int type, int level = 0) {
        return CredentialRequest::create(VelAdapter(), answers, ++sync, type, level);
    }
    std::vector<std::string> takeCalls() { return std::exchange(answers->calls, {}); }

    NetworkBehaviorMaker::Maker previousMaker = nullptr;
    RecordingAnswersImpl* answers = nullptr;
    RecordingNetworkSubscriberImpl* subscriber = nullptr;
    RecordingBehavior* behavior = nullptr;
    Network network;
    int sync = 0;
};

TEST_F(NetworkCredentialResponderTest, AGuiPasswordRequestIsHeldAskedOfTheTrayAndAnsweredOnce) {
    makeNetwork(NetworkIdentity::SOURCE_GUI);
    {
        CredentialRequest password = request(QX_CRED_PASSWORD, 1);
        network.impl()->requestPassword(password, "Password:", {25, 26});
    }
    EXPECT_THAT(subscriber->lines, ElementsAre("request 2 2 1 Password:"));
    EXPECT_THAT(takeCalls(), ElementsAre("deferred(1)"));
    EXPECT_EQ(network.getInnerEapMethod(), 26);
    LogCapture log;
    network.impl()->processUsernamePasswordResponse("alice", "secret", 2);
    EXPECT_THAT(takeCalls(), ElementsAre("password(1, handle)", "complete(1, responded)"));
    EXPECT_EQ(session().authenticationState(), C::AUTH_STATE_CREDENTIAL_SENT);
    EXPECT_TRUE(log.contains("processUsernamePasswordResponse: Responding to valid credential request"));
    // Nothing is held any more: a second answer only keeps the credentials.
    network.impl()->processUsernamePasswordResponse("alice", "again", 2);
    EXPECT_THAT(takeCalls(), IsEmpty());
    EXPECT_STREQ(user().getPasswordOrKey().text(), "again");
}

TEST_F(NetworkCredentialResponderTest, ACancelWithNothingHeldLeavesNoLine) {
    makeNetwork(NetworkIdentity::SOURCE_GUI);
    CredentialRequest cancel = request(QX_CRED_CRED_CANCELED);
    LogCapture quiet;
    network.impl()->requestCredCanceled(cancel);
    EXPECT_THAT(quiet.messages(), IsEmpty());
    network.impl()->requestPassword(request(QX_CRED_PASSWORD), "Password:", {4});
    LogCapture log;
    network.impl()->requestCredCanceled(cancel);
    EXPECT_THAT(log.messages(), Contains("requestCredCanceled: Clearing m_credentialRequest"));
    // Let go by the network, the held request completes without an answer.
    EXPECT_THAT(takeCalls(), ElementsAre("deferred(2)", "complete(2, no response)"));
}

TEST_F(NetworkCredentialResponderTest, APasswordChangeWithItsCredentialsRunsThroughTheStateMachine) {
    makeNetwork(NetworkIdentity::SOURCE_LOGON);
    user().setPasswordOrKeyCredential(Credential::newPassword("old"));
    network.setPasswordChangeParameters(0, "alice", "", "old", "new");
    network.impl()->requestPassword(request(QX_CRED_PASSWORD, 1), "Password:", {25, 26});
    EXPECT_EQ(session().authenticationState(), C::AUTH_STATE_CREDENTIAL_SENT);
    network.impl()->requestPasswordChange(request(QX_CRED_PASSWORD_CHANGE, 1), "New password:");
    EXPECT_EQ(session().authenticationState(), C::AUTH_STATE_CREDENTIAL_ACCEPTED);
    EXPECT_TRUE(session().m_passwordChangeTriggered);
    EXPECT_THAT(behavior->calls, ElementsAre("auth " + std::to_string(C::CHANGE_PASSWORD)));
    // The state machine answers with the credentials already given.
    takeCalls();
    network.impl()->respondToValidCredRequest();
    EXPECT_THAT(takeCalls(), ElementsAre("password(2, handle)", "complete(2, responded)"));
    EXPECT_EQ(session().authenticationState(), C::AUTH_STATE_NEW_CREDENTIAL_SENT);
}

TEST_F(NetworkCredentialResponderTest, ARetryWithLogonCredentialsSwitchesToTheGui) {
    makeNetwork(NetworkIdentity::SOURCE_LOGON);
    user().setPasswordOrKeyCredential(Credential::newPassword("wrong"));
    network.impl()->requestPassword(request(QX_CRED_PASSWORD, 1), "Password:", {25, 26});
    LogCapture log;
    network.impl()->requestPasswordRetry(request(QX_CRED_PASSWORD_RETRY, 1), "Password:");
    EXPECT_TRUE(log.contains("Password retry, credential source is sso"));
    EXPECT_THAT(behavior->calls, ElementsAre("rejection"));
    EXPECT_EQ(session().currentCredentialSource(), NetworkIdentity::SOURCE_GUI);
    EXPECT_EQ(session().authenticationState(), C::AUTH_STATE_CREDENTIAL_REJECTED);
    // The next retry asks the tray.
    session().setAuthenticationState(C::AUTH_STATE_CREDENTIAL_SENT);
    network.impl()->requestPasswordRetry(request(QX_CRED_PASSWORD_RETRY, 1), "Password:");
    EXPECT_THAT(subscriber->lines, ElementsAre("request 2 2 3 Password:"));
}

TEST_F(NetworkCredentialResponderTest, ALateCertificateListIsIgnoredWithItsLine) {
    makeNetwork(NetworkIdentity::SOURCE_GUI, 2);
    LogCapture log;
    network.impl()->certificateListReady({});
    EXPECT_TRUE(log.contains(
        "User certificate list has been created (0 certificate(s)), but it's too late now -- ignoring it."));
    EXPECT_EQ(network.impl()->m_responder.userCertificateListState(),
              NetworkCredentialResponder::LIST_NOT_BUILT);
}

TEST_F(NetworkCredentialResponderTest,
       AnIncoherentMethodConfigurationLeavesTheIdentityUnansweredWithOneLine) {
    makeNetwork(NetworkIdentity::SOURCE_GUI);
    // A TTLS method without its inner method, as the connection API may hand one in.
    user().clearAuthenticationMethods();
    AuthenticationMethod ttls = AuthenticationMethod::ofType(21);
    ttls.setCredentialType(1);
    user().addAuthenticationMethod(ttls);
    for (int i = 0; i < 2; ++i) {
        LogCapture log;
        network.impl()->requestIdentity(request(QX_CRED_IDENTITY), 0, 0, false, "Identity:");
        std::vector<std::string> lines = log.messages();
        int errors = 0;
        for (const std::string& line : lines)
            if (line.find("do not fit") != std::string::npos) ++errors;
        EXPECT_EQ(errors, 1);
        EXPECT_THAT(log.text(), Not(HasSubstr("Network configuration or its current state is invalid")));
    }
    EXPECT_THAT(takeCalls(), ElementsAre("deferred(1)", "complete(1, no response)", "deferred(2)",
                                         "complete(2, no response)"));
    EXPECT_THAT(takeAssertions(), IsEmpty());
}

TEST_F(NetworkCredentialResponderTest, AProfilePasswordNetworkSendsItsIdentityAtOnce) {
    makeNetwork(NetworkIdentity::SOURCE_PROFILE);
    user().setIdentity(Credential::newIdentity("alice"));
    user().setPasswordOrKeyCredential(Credential::newPassword("secret"));
    network.impl()->requestIdentity(request(QX_CRED_IDENTITY), 0, 0, false, "Identity:");
    EXPECT_THAT(takeCalls(), ElementsAre("deferred(1)", "identity(1, handle)", "complete(1, responded)"));
    EXPECT_EQ(session().authenticationState(),
              C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FULL_AUTHENTICATION);
    EXPECT_THAT(subscriber->lines, IsEmpty());
}

// During a fast reauthentication the protected identity request checks the credentials first:
// without a password the session falls back to a full authentication (the request left
// unanswered, the session ended and access authenticating again); with one the identity goes.
TEST_F(NetworkCredentialResponderTest, AFastReauthenticationWithoutCredentialsFallsBackToAFullOne) {
    for (bool ready : {false, true}) {
        makeNetwork(NetworkIdentity::SOURCE_GUI);
        user().setIdentity(Credential::newIdentity("alice"));
        if (ready) user().setPasswordOrKeyCredential(Credential::newPassword("secret"));
        session().m_fastReauthentication = true;
        session().setAuthenticationState(C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FAST_REAUTHENTICATION);
        takeCalls();
        LogCapture log;
        network.impl()->requestIdentity(request(QX_CRED_IDENTITY, 1), 0, 0, false, "Identity:");
        const std::string deferred = "deferred(" + std::to_string(sync) + ")";
        if (ready) {
            EXPECT_THAT(takeCalls(), ElementsAre(deferred, "identity(" + std::to_string(sync) + ", handle)",
                                                 "complete(" + std::to_string(sync) + ", responded)"));
            EXPECT_THAT(behavior->calls, IsEmpty());
            EXPECT_EQ(session().authenticationState(), C::AUTH_STATE_PROTECTED_IDENTITY_SENT);
            EXPECT_FALSE(log.contains("doing fallback"));
        } else {
            EXPECT_TRUE(
                log.contains("Fast reauthentication failed, doing fallback to a full authentication"));
            EXPECT_THAT(takeCalls(),
                        ElementsAre(deferred, "complete(" + std::to_string(sync) + ", no response)"));
            EXPECT_THAT(behavior->calls, ElementsAre("end of session", "reauthenticate"));
            EXPECT_EQ(session().authenticationState(), C::AUTH_STATE_FULL_AUTHENTICATION_FALLBACK);
        }
        network.impl()->clearReferences();
        network.reset();
    }
}

// Records the certificate work a network sends off the engine thread.
class RecordingServicesImpl : public NetworkCredentialServicesInterface {
public:
    void retrieveMachinePassword(NetworkImpl&) override {}
    Ascii computerName() override { return Ascii("host.corp.example"); }
    void writeInternalConfiguration() override { ++writes; }
    void postToImpersonatedQueue(const MessageEvent& event) override { posted.push_back(event); }
    bool connectsBeforeLogon() override { return beforeLogon; }
    std::vector<MessageEvent> posted;
    int writes = 0;
    bool beforeLogon = false;
};

// A retry after logon credentials failed: connecting before logon, a network for the machine and
// the user closes its port before anything else; otherwise the port stays as it is.
TEST_F(NetworkCredentialResponderTest, ALogonRetryBeforeLogonClosesTheMachineAndUserNetworksPortFirst) {
    const struct {
        const char* what;
        std::int32_t connectionTypes;
        bool beforeLogon;
        bool closes;
    } rows[] = {
        {"machine and user, before logon", NetworkImpl::CONNECTION_TYPES_BOTH, true, true},
        {"machine and user, after logon", NetworkImpl::CONNECTION_TYPES_BOTH, false, false},
        {"user only, before logon", NetworkImpl::CONNECTION_TYPES_USER, true, false},
    };
    for (const auto& row : rows) {
        RecordingServicesImpl services;
        services.beforeLogon = row.beforeLogon;
        NetworkCredentialServicesInterface* previous = NetworkCredentialResponder::installServices(&services);
        makeNetwork(NetworkIdentity::SOURCE_LOGON);
        network.setConnectionTypes(row.connectionTypes);
        user().setPasswordOrKeyCredential(Credential::newPassword("wrong"));
        network.impl()->requestPassword(request(QX_CRED_PASSWORD, 1), "Password:", {25, 26});
        takeCalls();
        network.impl()->requestPasswordRetry(request(QX_CRED_PASSWORD_RETRY, 1), "Password:");
        if (row.closes) {
            EXPECT_THAT(behavior->calls, ElementsAre("close port", "rejection")) << row.what;
        } else {
            EXPECT_THAT(behavior->calls, ElementsAre("rejection")) << row.what;
        }
        EXPECT_THAT(takeCalls(), ElementsAre("deferred(" + std::to_string(sync) + ")",
                                             "complete(" + std::to_string(sync) + ", no response)"))
            << row.what;
        EXPECT_EQ(session().currentCredentialSource(), NetworkIdentity::SOURCE_GUI) << row.what;
        NetworkCredentialResponder::installServices(previous);
        network.impl()->clearReferences();
        network.reset();
    }
}

TEST_F(NetworkCredentialResponderTest, ACertificateRequestDuringACompletionWaitsForIt) {
    RecordingServicesImpl services;
    NetworkCredentialServicesInterface* previous = NetworkCredentialResponder::installServices(&services);
    makeNetwork(NetworkIdentity::SOURCE_GUI, 2);
    NetworkCredentialResponder& responder = network.impl()->m_responder;
    // A usable certificate without a library handle: it has to be prepared first.
    responder.useCertificate(
        Certificate::create(ByteArray("0123456789abcdefghij"), CertificateStore::machinePersonal()));
    ASSERT_TRUE(responder.userCertificate().isUsable());
    network.impl()->requestUserCertificate(request(QX_CRED_USER_CERT, 1), {25, 13});
    ASSERT_EQ(services.posted.size(), 1U);
    EXPECT_TRUE(responder.certificateBeingCompleted());
    LogCapture log;
    network.impl()->requestUserCertificate(request(QX_CRED_USER_CERT, 1), {25, 13});
    EXPECT_TRUE(
        log.contains("Postponing client certificate request till the previous certificate is completed."));
    EXPECT_EQ(services.posted.size(), 1U);
    // The first request made way for the second, which waits unanswered.
    EXPECT_THAT(takeCalls(), ElementsAre("deferred(1)", "deferred(2)", "complete(1, no response)"));
    network.impl()->clientCertificateCompleted(responder.userCertificate(), 0);
    EXPECT_FALSE(responder.certificateBeingCompleted());
    EXPECT_TRUE(log.contains("is not available"));
    EXPECT_THAT(takeCalls(), ElementsAre("complete(2, no response)"));
    services.posted.clear();
    NetworkCredentialResponder::installServices(previous);
}

// A smart card's store as the card list registers it: usable, its key behind a PIN.
class CardStoreImpl : public CertificateStoreImpl {
public:
    int type() const override { return CertificateConstants::STORE_SMART_CARD; }
    Ascii name() const override { return Ascii("Office card"); }
    bool isUsable() const override { return true; }
};

// A user's card certificate asked of the tray: the identity request waits for the PIN with the
// card's certificate; an empty answer asks again, a PIN answers the held request once (the PIN kept
// for the card's key) and lets it go, and a late answer finds nothing to answer.
TEST_F(NetworkCredentialResponderTest, AGuiSmartCardPinAnswersTheHeldIdentityRequestOnce) {
    FakeLogonStatus logon;
    logon.set(LogonStatusInterface::USER_SESSION);
    RecordingServicesImpl services;
    NetworkCredentialServicesInterface* previous = NetworkCredentialResponder::installServices(&services);
    makeNetwork(NetworkIdentity::SOURCE_GUI);
    user().clearAuthenticationMethods();
    AuthenticationMethod tls = AuthenticationMethod::ofType(13);
    tls.setCredentialType(2);
    user().addAuthenticationMethod(tls);
    user().setUnprotectedIdentityPattern("anonymous");
    NetworkCredentialResponder& responder = network.impl()->m_responder;
    Certificate card =
        Certificate::create(ByteArray("0123456789abcdefghij"), CertificateStore(new CardStoreImpl));
    LogCapture log;
    network.impl()->requestIdentity(request(QX_CRED_IDENTITY), 0, 0, false, "Identity:");
    ASSERT_EQ(services.posted.size(), 1U) << log.text();
    network.impl()->certificateListReady({card});
    EXPECT_TRUE(log.contains("Requesting SmartCard (Office card) PIN from user"));
    EXPECT_EQ(responder.userCertificate().m, card.m);
    EXPECT_THAT(subscriber->take(), ElementsAre("request 4 2 0"));
    ASSERT_EQ(subscriber->certificateLists.size(), 1U);
    EXPECT_THAT(subscriber->certificateLists[0], ElementsAre(Reference(card)));
    EXPECT_THAT(takeCalls(), ElementsAre("deferred(1)"));

    network.impl()->processSmartCardPinResponse("");
    EXPECT_THAT(subscriber->take(), ElementsAre("request 4 2 0"));
    EXPECT_THAT(takeCalls(), IsEmpty());
    EXPECT_FALSE(user().getSmartCardPin().exists());

    network.impl()->processSmartCardPinResponse("1234");
    EXPECT_THAT(takeCalls(), ElementsAre("identity(1, handle)", "complete(1, responded)"));
    EXPECT_EQ(session().authenticationState(),
              C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FULL_AUTHENTICATION);
    CredentialProxy pin = user().getSmartCardPin();
    ASSERT_TRUE(pin.exists());
    EXPECT_STREQ(pin.credential().pin().text(), "1234");
    EXPECT_EQ(responder.userCertificate().m, card.m);
    EXPECT_TRUE(log.contains("NetworkImpl::respondToValidCredRequest: clearing m_credentialRequest"));

    // Nothing is held any more: the library and the tray hear nothing of a second answer.
    network.impl()->processSmartCardPinResponse("5678");
    EXPECT_THAT(takeCalls(), IsEmpty());
    EXPECT_THAT(subscriber->lines, IsEmpty());
    EXPECT_EQ(session().authenticationState(),
              C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FULL_AUTHENTICATION);
    services.posted.clear();
    NetworkCredentialResponder::installServices(previous);
}

// The card's answer to the kept PIN decides what follows. A wrong PIN is forgotten and the tray asked
// for another while the library's request waits (from a profile nobody can be asked: the request goes
// without a certificate); a blocked card is forgotten with its PIN and never opened again; a PIN kept
// for good leaves the internal file too.
TEST_F(NetworkCredentialResponderTest, ACardThatRefusesThePinIsNeverGivenItAgain) {
    const struct {
        const char* what;
        std::int32_t source;
        std::int32_t pinStorage;
        int status;
        std::vector<std::string> trayHears;
        std::vector<std::string> libraryHears;
        std::int32_t failure;
        int writes;
    } rows[] = {
        {"wrong PIN, user",
         NetworkIdentity::SOURCE_GUI,
         2,
         CertificateConstants::ERR_WRONG_PIN,
         {"request 4 2 0"},
         {},
         C::CREDENTIAL_FAILURE_WRONG_PIN,
         0},
        {"wrong PIN kept for good",
         NetworkIdentity::SOURCE_GUI,
         1,
         CertificateConstants::ERR_WRONG_PIN,
         {"request 4 2 0"},
         {},
         C::CREDENTIAL_FAILURE_WRONG_PIN,
         1},
        {"wrong PIN, profile",
         NetworkIdentity::SOURCE_PROFILE,
         2,
         CertificateConstants::ERR_WRONG_PIN,
         {},
         {"complete(1, no response)"},
         C::CREDENTIAL_FAILURE_WRONG_PIN,
         0},
        {"blocked",
         NetworkIdentity::SOURCE_GUI,
         2,
         CertificateConstants::ERR_CARD_BLOCKED,
         {},
         {"complete(1, no response)"},
         C::CREDENTIAL_FAILURE_CARD_BLOCKED,
         0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        sync = 0;
        RecordingServicesImpl services;
        NetworkCredentialServicesInterface* previous = NetworkCredentialResponder::installServices(&services);
        makeNetwork(row.source, 2);
        network.impl()->m_smartCardPinStorage = row.pinStorage;
        NetworkCredentialResponder& responder = network.impl()->m_responder;
        Certificate card =
            Certificate::create(ByteArray("0123456789abcdefghij"), CertificateStore(new CardStoreImpl));
        responder.useCertificate(card);
        user().setSmartCardPin(Credential::newPin("0000"));
        network.impl()->requestUserCertificate(request(QX_CRED_USER_CERT), {13});
        ASSERT_EQ(services.posted.size(), 1U);
        takeCalls();
        LogCapture log;
        network.impl()->clientCertificateCompleted(card, row.status);
        EXPECT_FALSE(user().getSmartCardPin().exists());
        EXPECT_EQ(subscriber->take(), row.trayHears);
        EXPECT_EQ(takeCalls(), row.libraryHears);
        EXPECT_EQ(network.getCredentialFailure(), row.failure);
        EXPECT_EQ(services.writes, row.writes);

        if (row.status == CertificateConstants::ERR_WRONG_PIN && row.source == NetworkIdentity::SOURCE_GUI) {
            // The next PIN opens the card again for the request that waited.
            network.impl()->processSmartCardPinResponse("1234");
            EXPECT_EQ(services.posted.size(), 2U);
            EXPECT_THAT(takeCalls(), IsEmpty());
        }
        if (row.status == CertificateConstants::ERR_CARD_BLOCKED) {
            network.impl()->requestUserCertificate(request(QX_CRED_USER_CERT), {13});
            EXPECT_EQ(services.posted.size(), 1U) << "the blocked card is not opened again";
            EXPECT_THAT(takeCalls(), ElementsAre("deferred(2)", "complete(2, no response)"));
            EXPECT_TRUE(log.contains("Smart card 'Office card' is blocked, its certificate is not used"));
        }
        services.posted.clear();
        NetworkCredentialResponder::installServices(previous);
        network.impl()->clearReferences();
        network.reset();
    }
}

TEST_F(NetworkCredentialResponderTest, AProvisionedPacIsSavedAndTheConfigurationWritten) {
    RecordingServicesImpl services;
    NetworkCredentialServicesInterface* previous = NetworkCredentialResponder::installServices(&services);
    makeNetwork(NetworkIdentity::SOURCE_GUI);
    PacLifetime lifetime;
    Credential pac =
        Credential::newPac(ByteArray("key"), ByteArray("opaque"), ByteArray("aid"), "alice", "", lifetime, 1);
    LogCapture log;
    network.impl()->handleAuthenticationNotification(request(QX_CRED_EAP_FAST_PAC_SAVE), pac);
    EXPECT_EQ(network.getSavedPacs().length(), 1);
    EXPECT_EQ(services.writes, 1);
    EXPECT_TRUE(log.contains("Saving PAC  for iid: alice"));
    EXPECT_TRUE(log.contains("Received tunnel pac."));
    EXPECT_EQ(session().authenticationState(), C::AUTH_STATE_EAP_FAST_PROVISIONING_SUCCESS);
    EXPECT_THAT(takeCalls(), ElementsAre("deferred(1)", "complete(1, responded)"));
    NetworkCredentialResponder::installServices(previous);
}

// A server provisions its PAC for the identity given inside the tunnel; the outer one is anonymous.
// The next session finds that PAC before it has given any identity, and asks for no new one.
TEST_F(NetworkCredentialResponderTest, APacProvisionedForTheInnerIdentityIsFoundBehindAnAnonymousOne) {
    RecordingServicesImpl services;
    NetworkCredentialServicesInterface* previous = NetworkCredentialResponder::installServices(&services);
    makeNetwork(NetworkIdentity::SOURCE_PROFILE);
    AuthenticationMethod fast = AuthenticationMethod::ofType(AdapterConstants::EAP_FAST);
    fast.setUsePac(true);
    fast.addInnerAuthenticationMethod(AuthenticationMethod::ofType(26));
    user().clearAuthenticationMethods();
    user().addAuthenticationMethod(fast);
    user().setUnprotectedIdentityPattern("anonymous");
    user().setProtectedIdentityPattern("alice");
    PacLifetime lifetime;
    network.impl()->handleAuthenticationNotification(
        request(QX_CRED_EAP_FAST_PAC_SAVE), Credential::newPac(ByteArray("key"), ByteArray("opaque"),
                                                               ByteArray("aid"), "alice", "", lifetime, 1));
    takeCalls();
    session().reset();

    LogCapture log;
    network.impl()->requestEapFastPac(request(QX_CRED_EAP_FAST_PAC), ByteArray("aid"));
    EXPECT_TRUE(log.contains("Looking for matching pac with iid: alice"));
    EXPECT_TRUE(log.contains("Requested tunnel pac was sent."));
    EXPECT_FALSE(log.contains("Sent Null pac."));
    network.impl()->requestEapFastPacTypes(request(QX_CRED_EAP_FAST_PAC_TYPES), ByteArray("aid"));
    EXPECT_TRUE(log.contains("No PACs requested"));
    // Another server's PAC is not this one.
    network.impl()->requestEapFastPac(request(QX_CRED_EAP_FAST_PAC), ByteArray("other"));
    EXPECT_TRUE(log.contains("Sent Null pac."));
    NetworkCredentialResponder::installServices(previous);
}

TEST_F(NetworkCredentialResponderTest, AMachineWithoutAnIdentityUsesItsDnsName) {
    RecordingServicesImpl services;
    NetworkCredentialServicesInterface* previous = NetworkCredentialResponder::installServices(&services);
    makeNetwork(NetworkIdentity::SOURCE_MACHINE);
    network.setConnectionTypes(NetworkImpl::CONNECTION_TYPES_MACHINE);
    AuthenticationParameters machine =
        network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE);
    machine.addAuthenticationMethod(AuthenticationMethod::at(user().impl()->m_authenticationMethods, 0));
    machine.setCredentialType(NetworkIdentity::SOURCE_MACHINE);
    machine.setUnprotectedIdentityPattern("[username]@[domain]");
    session().m_currentConnectionType = AdapterConstants::CONNECTION_MACHINE;
    LogCapture log;
    network.impl()->requestIdentity(request(QX_CRED_IDENTITY), 0, 0, false, "Identity:");
    CredentialProxy identity = machine.getIdentity();
    ASSERT_TRUE(identity.exists());
    EXPECT_STREQ(identity.credential().identity().text(), "host@corp.example");
    EXPECT_TRUE(log.contains("Sending unprotected identity = host@corp.example."));
    EXPECT_THAT(takeCalls(), ElementsAre("deferred(1)", "identity(1, handle)", "complete(1, responded)"));
    NetworkCredentialResponder::installServices(previous);
}

TEST_F(NetworkCredentialResponderTest, ANewSessionKeepsAGivenIdentityAndDropsTheOneItDerived) {
    RecordingServicesImpl services;
    NetworkCredentialServicesInterface* previous = NetworkCredentialResponder::installServices(&services);
    makeNetwork(NetworkIdentity::SOURCE_GUI);
    network.setConnectionTypes(NetworkImpl::CONNECTION_TYPES_BOTH);
    // The user's identity and password as the saved configuration restores them.
    user().setIdentity(Credential::newIdentity("alice"));
    user().setPasswordOrKeyCredential(Credential::newPassword("secret"));
    AuthenticationParameters machine =
        network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE);
    machine.addAuthenticationMethod(AuthenticationMethod::at(user().impl()->m_authenticationMethods, 0));
    machine.setCredentialType(NetworkIdentity::SOURCE_MACHINE);
    machine.setUnprotectedIdentityPattern("[username]@[domain]");
    session().m_currentConnectionType = AdapterConstants::CONNECTION_MACHINE;
    network.impl()->requestIdentity(request(QX_CRED_IDENTITY), 0, 0, false, "Identity:");
    ASSERT_TRUE(machine.getIdentity().exists());

    // A first session on each connection type: no fast reauthentication, the session starts clean.
    network.impl()->requestSessionStart(request(QX_CRED_SESSION_START), 0);
    EXPECT_FALSE(machine.getIdentity().exists());
    session().m_currentConnectionType = AdapterConstants::CONNECTION_USER;
    network.impl()->requestSessionStart(request(QX_CRED_SESSION_START), 0);
    CredentialProxy identity = user().getIdentity();
    ASSERT_TRUE(identity.exists());
    EXPECT_STREQ(identity.credential().identity().text(), "alice");
    takeCalls();
    // So the user is not asked again.
    network.impl()->requestIdentity(request(QX_CRED_IDENTITY), 0, 0, false, "Identity:");
    EXPECT_THAT(subscriber->lines, IsEmpty());
    EXPECT_THAT(takeCalls(), ElementsAre("deferred(4)", "identity(4, handle)", "complete(4, responded)"));
    NetworkCredentialResponder::installServices(previous);
}

}  // namespace
}  // namespace tamsel::test
