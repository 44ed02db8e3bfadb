// The client communication keeps the connected clients, sends the service's own messages to all of
// them, and asks a client that connects later what it must still answer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/ipcmsghandlers/ConnApiTestSupport.h"
#include "vel/ipcmsghandlers/GetBannerRequest.h"
#include "vel/ipcmsghandlers/GetVpnCredentialsRequest.h"
#include "vel/ipcmsghandlers/LocationRequestNumbers.h"
#include "vel/ipcmsghandlers/LogonRequestMarker.h"
#include "vel/ipcmsghandlers/NetworkView.h"
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

using namespace tamsel::test;
using ::testing::ElementsAre;

namespace {

class ClientCommunicationTest : public ConnApiTest {
protected:
    void SetUp() override {
        ConnApiTest::SetUp();
        start();
    }

    // Asks for a password for the network, as a network asks its configuration.
    void askForPassword(const ConnApiNetwork& network, const char* prompt = "Password for Corp") {
        communication.impl()->configurationCredentialRequest(
            network, {}, ClientCommunicationImpl::CREDENTIAL_PASSWORD, ClientCommunicationImpl::SOURCE_USER,
            1, prompt != nullptr ? AsciiProxy(Ascii(prompt)) : AsciiProxy());
    }
};

TEST_F(ClientCommunicationTest, PendingCredentialRequestIsAskedAgainUntilAnswered) {
    ConnApiNetwork network = fakeNetwork("Corp-WiFi");
    Connection a = connect();
    askForPassword(network);
    const std::vector<std::string> first = recorder(a).take();
    ASSERT_EQ(first.size(), 1u);
    SentMessage asked(first[0]);
    EXPECT_EQ(asked.name(), "getUsernameAndPasswordRequest");
    EXPECT_EQ(asked.child("groupName"), "Office");
    EXPECT_EQ(asked.child("networkName"), "Corp-WiFi");
    EXPECT_EQ(asked.child("passwordType"), "password");
    EXPECT_EQ(asked.child("passwordPrompt"), "Password for Corp");
    EXPECT_FALSE(asked.has("usernamePrompt"));

    // B joins: both are asked again, with a new number.
    Connection b = connect();
    for (Connection* c : {&a, &b}) {
        const std::vector<std::string> again = recorder(*c).take();
        ASSERT_EQ(again.size(), 1u);
        EXPECT_EQ(SentMessage(again[0]).name(), "getUsernameAndPasswordRequest");
        EXPECT_EQ(SentMessage(again[0]).sequenceNumber(), asked.sequenceNumber() + 1);
    }

    // Answered: C is asked nothing.
    communication.clearCredentialRequest();
    Connection c = connect();
    EXPECT_EQ(recorder(c).take(), std::vector<std::string>{});
}

TEST_F(ClientCommunicationTest, ConnectedNetworkEndsThePendingRequest) {
    ConnApiNetwork network = fakeNetwork("Corp-WiFi");
    askForPassword(network);
    communication.impl()->networkStateChanged(ClientCommunicationImpl::ADAPTER_STATE_CONNECTED, network);
    Connection later = connect();
    EXPECT_EQ(recorder(later).take(), std::vector<std::string>{});
}

TEST_F(ClientCommunicationTest, RequestWithoutTextOrActiveGroupIsNotAskedAgain) {
    ConnApiNetwork network = fakeNetwork("Corp-WiFi");
    askForPassword(network, nullptr);
    EXPECT_EQ(namesOf(recorder(connect()).take()), std::vector<std::string>{});

    engine.activeGroup.clear();
    Connection a = connect();
    askForPassword(network);
    EXPECT_EQ(recorder(a).take(), std::vector<std::string>{}) << "no active group: nothing is asked";
}

struct CredentialCase {
    const char* name;
    std::int32_t type;
    std::int32_t source;
    std::int32_t requestType;
    std::vector<CertificateRecord> certificates;
    std::vector<std::string> sent;
};

CertificateRecord certificateOf(const char* name, bool usable, std::int32_t storeType, const char* store) {
    CertificateRecord c;
    c.usable = usable;
    c.hash = ByteArray(name);
    c.name = name;
    c.storeType = storeType;
    c.storeName = store;
    return c;
}

TEST_F(ClientCommunicationTest, EachKindOfCredentialRequestGoesAsItsMessage) {
    const CertificateRecord card =
        certificateOf("on-card", true, CertificateRecord::STORE_SMART_CARD, "Card 1");
    const std::vector<CredentialCase> cases = {
        {"password from the user", 2, 2, 5, {}, {"getUsernameAndPasswordRequest"}},
        {"logon user name and password", 2, 3, 5, {}, {"getLogonUsernameAndPasswordRequest"}},
        {"logon password expired", 2, 3, 2, {}, {"logonEvent"}},
        {"logon retry: nothing", 2, 3, 3, {}, {}},
        {"unknown source: nothing", 2, 4, 5, {}, {}},
        {"certificate", 3, 0, 0, {card}, {"getCertificateRequest"}},
        {"smart card with a card store", 4, 0, 0, {card}, {"getSmartCardPinRequest"}},
        {"smart card without a store", 4, 0, 0, {}, {"getLogonSmartCardPinRequest"}},
        {"unknown type: nothing", 5, 2, 5, {}, {}},
    };
    ConnApiNetwork network = fakeNetwork("Corp-WiFi");
    Connection a = connect();
    for (const CredentialCase& c : cases) {
        communication.impl()->configurationCredentialRequest(network, c.certificates, c.type, c.source,
                                                             c.requestType, AsciiProxy(Ascii("prompt")));
        EXPECT_EQ(namesOf(recorder(a).take()), c.sent) << c.name;
    }
    EXPECT_THAT(engine.ssoRequests, ElementsAre("Corp-WiFi", "Corp-WiFi"));
}

TEST_F(ClientCommunicationTest, LogonRequestsMarkTheirNumberAndPasswordExpiryNamesTheAttempt) {
    ConnApiNetwork network = fakeNetwork("Corp-WiFi");
    Connection a = connect();
    communication.impl()->configurationCredentialRequest(network, {}, 2, 3, 5, AsciiProxy());
    SentMessage logon(recorder(a).take().at(0));
    EXPECT_EQ(getLogonRequestMarker(), logon.sequenceNumber());
    EXPECT_FALSE(logon.has("groupName")) << "the logon request carries its number only";

    communication.impl()->configurationCredentialRequest(network, {}, 2, 3, 2, AsciiProxy());
    SentMessage expired(recorder(a).take().at(0));
    EXPECT_EQ(expired.child("logonAttemptId"), "9");
    EXPECT_EQ(expired.child("eventType"), "passwordExpired");
}

TEST_F(ClientCommunicationTest, CertificateRequestListsUsableCertificatesAndNamesOnlyCardsOfCardStores) {
    ConnApiNetwork network = fakeNetwork("Corp-WiFi");
    Connection a = connect();
    communication.impl()->configurationCredentialRequest(
        network,
        {certificateOf("first", true, 1, "My"), certificateOf("expired", false, 1, "My"),
         certificateOf("on-card", true, CertificateRecord::STORE_SMART_CARD, "Card 1")},
        3, 0, 0, AsciiProxy());
    SentMessage request(recorder(a).take().at(0));
    SharedXmlNode list = request.element().findChild("certificateList");
    std::vector<std::string> entries;
    for (SharedXmlNode c = list.firstChild(); c.isNonNull(); c = c.nextSibling()) {
        if (!c.isElement()) continue;
        const char* card = c.childContent("smartCardName");
        entries.push_back(std::string(c.childContent("certificateName")) + "/" + (card ? card : "-"));
    }
    EXPECT_THAT(entries, ElementsAre("first/-", "on-card/Card 1"));
}

TEST_F(ClientCommunicationTest, RememberedRequestsReachLaterClientsByteForByteUntilForgotten) {
    Connection a = connect();
    SoapOutgoingMessage(new GetBannerRequestImpl("Authorized use only.")).send();
    SoapOutgoingMessage(new GetVpnCredentialsRequestImpl("User", "Passcode")).send();
    const std::vector<std::string> sent = recorder(a).take();
    ASSERT_EQ(sent.size(), 2u);

    Connection b = connect();
    EXPECT_EQ(recorder(b).take(), sent) << "the same bytes, in the order they were sent";
    EXPECT_EQ(recorder(a).take(), std::vector<std::string>{}) << "only the new client";

    // A second banner replaces the first.
    SoapOutgoingMessage(new GetBannerRequestImpl("Second banner.")).send();
    const std::string second = recorder(a).take().at(0);
    EXPECT_THAT(recorder(connect()).take(), ElementsAre(sent[1], second));

    EXPECT_EQ(communication.forgetRequest(GetBannerRequestImpl::REMEMBERED_AS), 1);
    EXPECT_EQ(communication.forgetRequest(GetBannerRequestImpl::REMEMBERED_AS), 0);
    EXPECT_EQ(communication.forgetRequest(GetVpnCredentialsRequestImpl::REMEMBERED_AS), 1);
    EXPECT_EQ(recorder(connect()).take(), std::vector<std::string>{});
}

TEST_F(ClientCommunicationTest, NetworkStateGoesToEveryClientUnlessItsRadioIsOff) {
    FakeNetworkImpl* wifi = nullptr;
    ConnApiNetwork wireless = fakeNetwork("Corp-WiFi", ConnApiNetworkInterface::MEDIA_WIRELESS, &wifi);
    ConnApiNetwork wired = fakeNetwork("Wired-LAN", 0);
    Connection a = connect();
    Connection b = connect();
    communication.impl()->networkStateChanged(5, wireless);
    EXPECT_THAT(namesOf(recorder(a).take()), ElementsAre("networkStateEvent"));
    EXPECT_THAT(namesOf(recorder(b).take()), ElementsAre("networkStateEvent"));

    engine.radioOn = false;
    communication.impl()->networkStateChanged(10, wireless);
    communication.resendLastNetworkStateEvent();
    EXPECT_EQ(recorder(a).take(), std::vector<std::string>{});
    communication.impl()->networkStateChanged(10, wired);
    EXPECT_THAT(namesOf(recorder(a).take()), ElementsAre("networkStateEvent"));

    // Sent again, the event reads the network as it is now.
    engine.radioOn = true;
    communication.impl()->networkStateChanged(10, wireless);
    recorder(a).take();
    wifi->m_details.association = NetworkAssociationDetails{ByteArray("\x01\x02", 2), 11, -40, 54};
    communication.resendLastNetworkStateEvent();
    SentMessage resent(recorder(a).take().at(0));
    EXPECT_EQ(resent.child("signalStrengthInDbm"), "-40");
    EXPECT_EQ(resent.child("nadMacAddress"), "0102");
    EXPECT_EQ(resent.child("networkState"), "connected");
}

TEST_F(ClientCommunicationTest, NetworkStateEventMapsEveryAdapterState) {
    const struct {
        std::int32_t adapterState;
        bool flagB;
        const char* networkState;
    } cases[] = {
        {0, false, "stopped"},
        {1, false, "stopped"},
        {2, false, "stopped"},
        {3, false, "stopped"},
        {4, true, "stopped"},
        {5, false, "associating"},
        {6, false, "acquiringIpAddress"},
        {6, true, "authenticating"},
        {7, false, "authenticating"},
        {8, true, "acquiringIpAddress"},
        {9, false, "retrying IP"},
        {10, false, "connected"},
        {11, false, "authentication failed"},
        {12, false, "countermeasures"},
    };
    FakeNetworkImpl* impl = nullptr;
    ConnApiNetwork network = fakeNetwork("n", 0, &impl);
    Connection a = connect();
    for (const auto& c : cases) {
        impl->m_details.flagB = c.flagB;
        communication.impl()->networkStateChanged(c.adapterState, network);
        EXPECT_EQ(SentMessage(recorder(a).take().at(0)).child("networkState"), c.networkState)
            << "adapter state " << c.adapterState;
    }
    LogCapture log;
    communication.impl()->networkStateChanged(13, network);
    EXPECT_EQ(takeAssertions(), std::vector<std::string>{"Unexpected Adapter State"});
    EXPECT_TRUE(log.contains("Unexpected Adapter State: 13")) << log.text();
    EXPECT_TRUE(log.contains("AssociationInfoProxy is empty")) << log.text();
    EXPECT_TRUE(log.contains("AdapterAttributesProxy is empty")) << log.text();
    EXPECT_TRUE(log.contains("ConnectionInfoProxy is empty")) << log.text();
}

TEST_F(ClientCommunicationTest, EveryMessageTakesTheNextNumberAndLocationEventsCarryTheirRequests) {
    Connection a = connect();
    const std::int32_t before = SoapOutgoingMessageImpl::lastSequenceNumber();
    communication.impl()->userConfigurationChanged();
    communication.impl()->logonChangePasswordResult(4, 1);
    LocationRequestNumbers::record(70000);
    SoapOutgoingMessage::createLocationResponseEvent(
        LocationResponse::create(70000, 2, ByteArray("data"), 0, ByteArray(), ByteArray("id"), 5))
        .send();
    SoapOutgoingMessage::createLocationErrorEvent(70000 & 0xffff, 3).send();
    communication.impl()->activeConfigurationChanged();

    std::vector<int> numbers;
    std::vector<std::string> names;
    for (const std::string& m : recorder(a).take()) {
        numbers.push_back(SentMessage(m).sequenceNumber());
        names.push_back(SentMessage(m).name());
    }
    EXPECT_THAT(names,
                ElementsAre("configurationChangeEvent", "logonChangePasswordEvent", "locationResponseEvent",
                            "locationErrorEvent", "configurationChangeEvent"));
    EXPECT_THAT(numbers, ElementsAre(before + 1, before + 2, 70000, 70000, before + 5))
        << "the location events use up a number each";
    LocationRequestNumbers::clear();
}

TEST_F(ClientCommunicationTest, LocationAnswerTheWriterCannotFinishGoesAsAnError) {
    Connection a = connect();
    // A signature whose type has no text.
    SoapOutgoingMessage::createLocationResponseEvent(
        LocationResponse::create(12, 2, ByteArray("data"), 100, ByteArray("sig"), ByteArray("id"), 5))
        .send();
    SentMessage sent(recorder(a).take().at(0));
    EXPECT_EQ(sent.name(), "locationErrorEvent");
    EXPECT_EQ(sent.sequenceNumber(), 12);
    EXPECT_EQ(sent.child("error"), "7");
    EXPECT_FALSE(sent.has("locationData"));
}

TEST_F(ClientCommunicationTest, PasswordChangeResultOutsideItsTableSendsNothing) {
    Connection a = connect();
    LogCapture log;
    communication.impl()->logonChangePasswordResult(4, 5);
    EXPECT_EQ(recorder(a).take(), std::vector<std::string>{});
    EXPECT_TRUE(log.contains("Invalid result type")) << log.text();
}

TEST_F(ClientCommunicationTest, VpnStateGoesToEveryClientWithItsTexts) {
    Connection a = connect();
    Connection b = connect();
    communication.resendLastVpnStateEvent();
    sendVpnStateEvent(3, 20).send();
    for (Connection* c : {&a, &b}) {
        const std::vector<std::string> sent = recorder(*c).take();
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(SentMessage(sent[0]).child("vpnState"), "connected") << "the VPN manager's last state";
        EXPECT_EQ(SentMessage(sent[0]).child("vpnStatus"), "none");
        EXPECT_EQ(SentMessage(sent[1]).child("vpnState"), "connecting");
        EXPECT_EQ(SentMessage(sent[1]).child("vpnStatus"), "Unable to contact the security gateway.");
    }
}

TEST_F(ClientCommunicationTest, ConfiguredNetworksReachTheClientsThroughTheirView) {
    Network network = Network::create("Corp-WiFi");
    network.setMediaType(ConnApiNetworkInterface::MEDIA_WIRELESS);
    network.setFlagB(true);
    network.setEapMethods(25, 4099);
    ConfigurationSubscriberInterface& configurationNews = *communication.impl();
    Connection a = connect();

    configurationNews.configurationCredentialRequest(network, ElementVector::create(), 2, 2, 1,
                                                     Ascii("Password"));
    SentMessage asked(recorder(a).take().at(0));
    EXPECT_EQ(asked.child("networkName"), "Corp-WiFi");
    EXPECT_EQ(asked.child("passwordPrompt"), "Password");
    configurationNews.changePasswordResult(3, 2);
    EXPECT_EQ(SentMessage(recorder(a).take().at(0)).child("changePasswordResult"), "passwordChangeFailed");

    communication.impl()->networkStateChanged(6, NetworkView::of(network));
    SentMessage state(recorder(a).take().at(0));
    EXPECT_EQ(state.child("networkState"), "authenticating") << "associated, with the 802.1X flag";
    EXPECT_EQ(state.child("outerEapMethod"), "eapPeap");
    EXPECT_EQ(state.child("innerEapMethod"), "mschapv2");

    // A request without a prompt is not asked again of a later client.
    configurationNews.configurationCredentialRequest(network, ElementVector::create(), 2, 2, 5, Ascii());
    recorder(a).take();
    EXPECT_EQ(recorder(connect()).take(), std::vector<std::string>{});
    EXPECT_EQ(NetworkView::networkOf(NetworkView::of(network)), network);
    EXPECT_TRUE(NetworkView::networkOf(fakeNetwork("other")).isNull());
}

TEST_F(ClientCommunicationTest, LeftAndClearedConnectionsGetNothing) {
    Connection a = connect();
    Connection b = connect();
    communication.impl()->connectionStateChanged(a, ConnectionConstants::DISCONNECTED);
    communication.impl()->userConfigurationChanged();
    EXPECT_EQ(recorder(a).take(), std::vector<std::string>{});
    EXPECT_THAT(namesOf(recorder(b).take()), ElementsAre("configurationChangeEvent"));
    communication.impl()->clearReferences();
    EXPECT_EQ(communication.impl()->connectionCount(), 0);
}

}  // namespace
