// The user's and the logon client's answers reach the networks that asked, the VPN requests reach
// the VPN manager, the location requests the connected adapter, and the logon client's requests
// the logon state machine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/vel/ipcmsghandlers/HandlerTestSupport.h"
#include "vel/configuration/VelStateMachine.h"
#include "vel/ipcmsghandlers/ConnApiCredentials.h"
#include "vel/ipcmsghandlers/LocationRequestNumbers.h"
#include "vel/ipcmsghandlers/LogonRequestMarker.h"
#include "vel/ipcmsghandlers/NetworkView.h"

using namespace tamsel::test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// What the networks are given, one line a call.
class RecordingCredentials : public ConnApiCredentialsInterface {
public:
    RecordingCredentials() { ConnApiSeam<ConnApiCredentialsInterface>::install(this); }
    ~RecordingCredentials() { ConnApiSeam<ConnApiCredentialsInterface>::install(nullptr); }

    void applyCredentials(const Network& network, const Ascii& username, const Ascii& password,
                          std::int32_t requestType) override {
        record("applyCredentials", network,
               std::string(username.text()) + "/" + password.text() + "/" + std::to_string(requestType));
    }
    void applyCredential(const Network& network, const Ascii& pin) override {
        record("applyCredential", network, pin.text());
    }
    void setCredentialOnAdapter(const Network& network, const ByteArray& hash, const Ascii& pin) override {
        record("setCredentialOnAdapter", network, std::string(hash.toHex().text()) + "/" + pin.text());
    }
    void setPasswordChangeCredentials(const Network& network, const Ascii& username, const Ascii& oldPassword,
                                      const Ascii& password) override {
        record("setPasswordChangeCredentials", network,
               std::string(username.text()) + "/" + oldPassword.text() + "/" + password.text());
    }
    bool isPasswordChangePending(const Network& network) override {
        for (const std::string& name : pending) {
            if (name == network.name().text()) return true;
        }
        return false;
    }
    void setPasswordChangeParameters(const Network& network, std::int32_t attemptId, const Ascii& username,
                                     const Ascii& domain, const Ascii& oldPassword,
                                     const Ascii& password) override {
        record("setPasswordChangeParameters", network,
               std::to_string(attemptId) + "/" + username.text() + "/" + domain.text() + "/" +
                   oldPassword.text() + "/" + password.text());
    }
    void changePassword(const Network& network, std::int32_t code) override {
        record("changePassword", network, std::to_string(code));
    }

    std::vector<std::string> take() { return std::exchange(calls, {}); }

    std::vector<std::string> calls;
    std::vector<std::string> pending;

private:
    void record(const char* call, const Network& network, const std::string& values) {
        calls.push_back(std::string(call) + " " + network.name().text() + " " + values);
    }
};

// An adapter with a location service as the test sets it.
class LocationAdapterImpl : public ReferenceImpl, public ConnApiAdapterInterface {
public:
    REFERENCE_IMPL_FORWARDS

    Ascii adapterName() override { return "wlan0"; }
    bool enablePacketCapture() override { return false; }
    void disablePacketCapture() override {}
    LocationCapabilities locationCapabilities() override { return capabilities; }
    bool requestLocation(const LocationRequest& request) override {
        requests.push_back(request.getSequenceNumber());
        return accepts;
    }

    LocationCapabilities capabilities;
    bool accepts = true;
    std::vector<std::uint16_t> requests;
};

std::string password(const std::string& group, const std::string& network, const std::string& more) {
    return tag("groupName", group) + tag("networkName", network) + more;
}

class AnswerHandlersTest : public HandlerTest {
protected:
    void TearDown() override {
        engine.ssoNetwork = ConnApiNetworkProxy();
        engine.locationAdapter = ConnApiAdapter();
        engine.profiles = AsciiVector();
        LocationRequestNumbers::clear();
        HandlerTest::TearDown();
    }

    // Answers are never answered.
    void answer(const std::string& name, const std::string& children, int sequenceNumber = 7) {
        receive(client, trayEnvelope(element(name, sequenceNumber, children)));
        EXPECT_EQ(recorder(client).take(), std::vector<std::string>{}) << name;
    }
    Network officeNetwork(const char* name) { return network("Office", name); }
    // A password request for the network is pending: a client that connects is asked again.
    void askForPassword(const Network& asking) {
        communication.impl()->configurationCredentialRequest(
            NetworkView::of(asking), {}, ClientCommunicationImpl::CREDENTIAL_PASSWORD,
            ClientCommunicationImpl::SOURCE_USER, 1, AsciiProxy(Ascii("Password")));
        recorder(client).take();
    }
    bool askedAgainOnConnect() {
        Connection late = connect();
        std::vector<std::string> sent = namesOf(recorder(late).take());
        recorder(client).take();
        return std::find(sent.begin(), sent.end(), "getUsernameAndPasswordRequest") != sent.end();
    }
    void connectNetwork(const Network& connected) {
        networks->of(connected).publish(VelStateMachineImpl::ACCESS_CONNECTING);
        networks->of(connected).publish(VelStateMachineImpl::ACCESS_CONNECTED);
        ASSERT_TRUE(configuration.connectedNetwork().exists());
    }

    RecordingCredentials credentials;
};

TEST_F(AnswerHandlersTest, PasswordAnswersReachTheirNetworkOnlyWhenItIsThere) {
    Network corp = officeNetwork("Corp TLS");
    struct Case {
        const char* name;
        std::string children;
        std::vector<std::string> calls;
        bool askedAgain;
        int internalWrites;
    };
    const Case cases[] = {
        {"typed",
         password("Office", "Corp TLS",
                  tag("passwordType", "password") + tag("username", "alice") + tag("password", "pw")),
         {"applyCredentials Corp TLS alice/pw/1"},
         false,
         1},
        {"without type",
         password("Office", "Corp TLS", tag("username", "alice") + tag("password", "pw")),
         {"applyCredentials Corp TLS alice/pw/5"},
         false,
         1},
        {"global network through any group",
         password("Lab", "Global Guest", tag("passwordType", "") + tag("password", "pw")),
         {"applyCredentials Global Guest /pw/5"},
         false,
         1},
        {"unknown network", password("Office", "Nothing", tag("password", "pw")), {}, true, 0},
        {"unknown group", password("Nowhere", "Corp TLS", tag("password", "pw")), {}, true, 0},
        {"without group", tag("networkName", "Corp TLS") + tag("password", "pw"), {}, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        askForPassword(corp);
        engine.internalFileWrites = 0;
        LogCapture log;
        answer("getUsernameAndPasswordResponse", c.children);
        EXPECT_EQ(credentials.take(), c.calls);
        EXPECT_EQ(engine.internalFileWrites, c.internalWrites);
        EXPECT_EQ(askedAgainOnConnect(), c.askedAgain);
        if (std::string(c.name) == "without group") {
            EXPECT_TRUE(log.contains("Internal error 207")) << log.text();
        }
        communication.clearCredentialRequest();
    }
}

TEST_F(AnswerHandlersTest, PasswordChangeConnectsAsTheModeAllows) {
    const std::string change = password("Office", "Corp TLS",
                                        tag("passwordType", "passwordChange") + tag("username", "alice") +
                                            tag("password", "new") + tag("oldPassword", "old"));
    answer("getUsernameAndPasswordResponse", change);
    EXPECT_THAT(credentials.take(), ElementsAre("setPasswordChangeCredentials Corp TLS alice/old/new"));
    EXPECT_THAT(matchmaker->takeCalls(), ElementsAre("addNetwork Corp TLS"));

    // Manual mode on another network: ignored, the internal file still written.
    ASSERT_EQ(outcome("connectToNetworkRequest", tag("networkName", "Wired GTC")), "reply");
    engine.internalFileWrites = 0;
    LogCapture log;
    answer("getUsernameAndPasswordResponse", change);
    EXPECT_EQ(credentials.take(), std::vector<std::string>{});
    EXPECT_TRUE(log.contains("Ignoring sso password change response in manual mode")) << log.text();
    EXPECT_EQ(engine.internalFileWrites, 1);

    // Manual mode on that network: it connects again by hand.
    ASSERT_EQ(outcome("connectToNetworkRequest", tag("networkName", "Corp TLS")), "reply");
    networks->takeCalls();
    answer("getUsernameAndPasswordResponse", change);
    EXPECT_THAT(credentials.take(), ElementsAre("setPasswordChangeCredentials Corp TLS alice/old/new"));
    EXPECT_THAT(networks->takeCalls(), ::testing::Contains("start Corp TLS"));
}

TEST_F(AnswerHandlersTest, CertificateAndPinAnswersReachTheirNetwork) {
    answer("getCertificateResponse",
           password("Office", "Corp TLS", tag("certificateHash", "00A1ff") + tag("pin", "1234")));
    answer("getSmartCardPinResponse", password("Lab", "Global Guest", tag("pin", "9876")));
    answer("getCertificateResponse", password("Office", "Corp TLS", tag("certificateHash", "xyz")));
    EXPECT_THAT(credentials.take(), ElementsAre("setCredentialOnAdapter Corp TLS 00a1ff/1234",
                                                "applyCredential Global Guest 9876"));
    EXPECT_EQ(engine.internalFileWrites, 2);
}

TEST_F(AnswerHandlersTest, LogonAnswerAppliesOnlyWithTheNumberOfTheOpenRequest) {
    engine.ssoNetwork = ConnApiNetworkProxy(NetworkView::of(officeNetwork("Wired MD5")));
    setLogonRequestMarker(40);
    const std::string logon = tag("username", "alice") + tag("domain", "CORP") + tag("password", "pw");
    answer("getLogonUsernameAndPasswordResponse", logon, 39);
    EXPECT_EQ(credentials.take(), std::vector<std::string>{});
    EXPECT_EQ(engine.ssoCalls, std::vector<std::string>{}) << "the stale answer leaves the request open";

    answer("getLogonUsernameAndPasswordResponse", logon, 40);
    EXPECT_THAT(credentials.take(), ElementsAre("applyCredentials Wired MD5 alice@CORP/pw/5"));
    EXPECT_THAT(engine.ssoCalls, ElementsAre("pending", "end"));

    engine.ssoCalls.clear();
    answer("getLogonSmartCardPinResponse", tag("pin", "2468"), 40);
    EXPECT_THAT(credentials.take(), ElementsAre("applyCredential Wired MD5 2468"));
    EXPECT_THAT(engine.ssoCalls, ElementsAre("pending", "end"));

    engine.ssoCalls.clear();
    answer("getLogonUsernameAndPasswordResponse", tag("username", "alice") + tag("password", "pw"), 40);
    EXPECT_EQ(engine.ssoCalls, std::vector<std::string>{}) << "without domain it does not read";
}

TEST_F(AnswerHandlersTest, VpnRequestsFollowThePolicyTheManagerAndTheConnectedNetwork) {
    EXPECT_EQ(ask("getVpnCapabilitiesRequest").child("isAutomatedVpnCapable"), "false");
    vpns->capable = true;
    EXPECT_EQ(ask("getVpnCapabilitiesRequest").child("isAutomatedVpnCapable"), "false") << "no profile";
    EXPECT_EQ(engine.userFileWrites, 0);

    configuration.vpnManager().addVpnForNetwork(MetaConnection::create("Office", "Corp TLS", "Gone", false));
    engine.profiles.add("Office");
    engine.profiles.add("Home");
    userFileFails = true;
    SentMessage capabilities = ask("getVpnCapabilitiesRequest");
    EXPECT_EQ(capabilities.child("isAutomatedVpnCapable"), "true");
    EXPECT_THAT(capabilities.text(), HasSubstr("<connectionEntry>Office</connectionEntry>\n"
                                               "<connectionEntry>Home</connectionEntry>"));
    EXPECT_EQ(capabilities.child("defaultConnectionEntry"), "Office");
    EXPECT_EQ(configuration.vpnManager().metaConnections().length(), 0) << "an entry of a gone profile";

    EXPECT_EQ(outcome("connectVpnRequest"), "8");
    EXPECT_EQ(outcome("disconnectVpnRequest"), "8");
    connectNetwork(officeNetwork("Corp TLS"));
    EXPECT_EQ(outcome("connectVpnRequest"), "reply");
    EXPECT_EQ(outcome("disconnectVpnRequest"), "reply");
    EXPECT_THAT(vpns->takeCalls(), ElementsAre("connectVpn", "disconnectVpn"));

    EXPECT_THAT(namesOf(sendAll("resendLastVpnStateEventRequest")),
                ElementsAre("vpnStateEvent", "resendLastVpnStateEventResponse"));

    answer("getVpnCredentialsResponse", tag("username", "alice") + tag("password", "pw"));
    answer("getBannerResponse", "");
    answer("getBannerResponse", tag("bannerAccepted", "true"));
    LogCapture log;
    answer("getBannerResponse", tag("bannerAccepted", ""));
    EXPECT_TRUE(log.contains("Internal error 207")) << log.text();
    EXPECT_THAT(vpns->takeCalls(),
                ElementsAre("sendCredentials alice/pw", "bannerResponse 0", "bannerResponse 1"));

    configuration.policy().userControlPolicy().setAllowVpn(false);
    EXPECT_EQ(outcome("getVpnCapabilitiesRequest"), "2");
    EXPECT_EQ(outcome("resendLastVpnStateEventRequest"), "2");
}

TEST_F(AnswerHandlersTest, LocationGoesThroughTheConnectedNetworksAdapter) {
    const std::string request = tag("locationFormat", "GEO") + tag("requestSecureResponseOnly", "false") +
                                tag("locationEncoding", "text") + tag("requestDigitalSignature", "false") +
                                tag("requestLocationId", "true");
    EXPECT_EQ(outcome("getLocationCapabilitiesRequest"), "7");
    EXPECT_EQ(outcome("getLocationRequest", request), "7");
    connectNetwork(officeNetwork("Corp TLS"));
    SentMessage noAdapter = ask("getLocationCapabilitiesRequest");
    EXPECT_EQ(noAdapter.child("isLocationServiceAvailable"), "false");
    EXPECT_EQ(outcome("getLocationRequest", request), "7");

    auto* adapter = new LocationAdapterImpl;
    engine.locationAdapter = ConnApiAdapter(static_cast<ConnApiAdapterInterface*>(adapter));
    adapter->release();
    SentMessage unsupported = ask("getLocationCapabilitiesRequest");
    EXPECT_EQ(unsupported.child("isLocationServiceAvailable"), "false");
    EXPECT_FALSE(unsupported.has("supportedFormats"));

    // GEO is the second format flag, text the first encoding flag.
    adapter->capabilities.setSupported(1);
    adapter->capabilities.setFlag(4, 1);
    adapter->capabilities.setFlag(6, 1);
    SentMessage some = ask("getLocationCapabilitiesRequest");
    EXPECT_EQ(some.child("isLocationServiceAvailable"), "true");
    EXPECT_THAT(some.text(),
                HasSubstr("<supportedFormats type=\"array\">\n<locationFormat>GEO</locationFormat>\n"
                          "</supportedFormats>"));
    EXPECT_THAT(some.text(),
                HasSubstr("<supportedEncodings type=\"array\">\n<locationEncoding>text</locationEncoding>\n"
                          "</supportedEncodings>"));
    EXPECT_FALSE(some.has("supportedServices"));
    EXPECT_FALSE(some.has("supportedResolutions"));

    adapter->accepts = false;
    EXPECT_EQ(outcome("getLocationRequest", request), "7");
    adapter->accepts = true;
    receive(client, trayEnvelope(element("getLocationRequest", 70000, request)));
    std::vector<std::string> replies = recorder(client).take();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(SentMessage(replies[0]).name(), "getLocationResponse");
    EXPECT_EQ(SentMessage(replies[0]).sequenceNumber(), 70000);
    EXPECT_EQ(adapter->requests.back(), 70000 & 0xffff);
    EXPECT_EQ(LocationRequestNumbers::fullNumberOf(70000 & 0xffff), 70000)
        << "the event takes the whole number";
}

TEST_F(AnswerHandlersTest, LogonClientRequestsFeedTheLogonStateMachine) {
    SentMessage policy = ask("ssoLogonPolicyRequest");
    EXPECT_EQ(policy.child("maxNumberOfSecondsToWaitForConnectionBeforeLogon"), "20");
    EXPECT_EQ(policy.child("numberOfSecondsBeforeAllowingUserToSkipLogonWait"), "0");
    EXPECT_EQ(policy.child("maxNumberOfSecondsToWaitForPasswordChange"), "60");
    EXPECT_EQ(outcome("ssoPrelogonActionsRequest", tag("logonAttemptId", "42")), "reply");
    EXPECT_EQ(outcome("ssoUserSessionActionsRequest",
                      tag("userTokenHandle", "1234") + tag("userLogonProcessId", "88")),
              "reply");
    EXPECT_EQ(outcome("ssoNoUserSessionRequest"), "reply");
    EXPECT_THAT(engine.ssoCalls, ElementsAre("prelogon 42", "sso 1", "session 1234/88", "sso 2", "sso 3"));

    // Without a configuration only the session messages are served.
    engine.configured = false;
    engine.ssoCalls.clear();
    EXPECT_EQ(
        outcome("ssoUserSessionActionsRequest", tag("userTokenHandle", "1") + tag("userLogonProcessId", "2")),
        "reply");
    EXPECT_EQ(outcome("ssoNoUserSessionRequest"), "reply");
    EXPECT_EQ(outcome("ssoLogonPolicyRequest"), "1");
    EXPECT_THAT(engine.ssoCalls, ElementsAre("session 1/2", "sso 2", "sso 3"));
}

TEST_F(AnswerHandlersTest, ChangedPasswordGoesToTheLastNetworkWaitingForIt) {
    const std::string change = tag("changePasswordAttemptId", "5") + tag("username", "alice") +
                               tag("domain", "CORP") + tag("password", "new") + tag("oldPassword", "old");
    EXPECT_EQ(outcome("ssoChangePasswordRequest", change), "reply");
    EXPECT_EQ(credentials.take(), std::vector<std::string>{}) << "no network waits";
    EXPECT_EQ(
        outcome("ssoChangePasswordRequest", tag("changePasswordAttemptId", "5") + tag("username", "alice") +
                                                tag("domain", "CORP") + tag("password", "new")),
        "9");

    credentials.pending = {"Wired MD5", "Corp TLS"};
    EXPECT_EQ(outcome("ssoChangePasswordRequest", change), "reply");
    EXPECT_THAT(credentials.take(), ElementsAre("setPasswordChangeParameters Corp TLS 5/alice/CORP/old/new",
                                                "changePassword Corp TLS 3"));
    EXPECT_THAT(matchmaker->takeCalls(), ElementsAre("addNetwork Corp TLS"));

    ASSERT_EQ(outcome("connectToNetworkRequest", tag("networkName", "Wired MD5")), "reply");
    LogCapture log;
    EXPECT_EQ(outcome("ssoChangePasswordRequest", change), "reply");
    EXPECT_EQ(credentials.take(), std::vector<std::string>{});
    EXPECT_TRUE(log.contains("Ignoring sso password change response in manual mode")) << log.text();

    EXPECT_EQ(outcome("ssoLogonCredentialsChangedRequest"), "reply");
    std::vector<std::string> calls = credentials.take();
    EXPECT_EQ(calls.size(), static_cast<size_t>(configuration.allNetworks().length()));
    EXPECT_THAT(calls, ::testing::Contains("changePassword Global Guest 4"));
}

}  // namespace
