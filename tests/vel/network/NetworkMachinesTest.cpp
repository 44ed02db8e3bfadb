#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/FakeLogonStatus.h"
#include "tests/support/FakeVpnBehavior.h"
#include "tests/support/RecordingNetworkSubscriber.h"
#include "tests/vel/network/FakeNetworkMatchmaker.h"
#include "tests/vel/port/PortTestSupport.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/configuration/ActiveConfiguration.h"
#include "vel/configuration/AuthenticationMethod.h"
#include "vel/configuration/NetworkSubscriberInterface.h"
#include "vel/credmgr/Credential.h"
#include "vel/network/AdapterConnection.h"
#include "vel/network/NetworkMachines.h"
#include "vel/network/NetworkMatchmaker.h"
#include "vel/phyinfo/WiredPhyInfo.h"
#include "vel/phyinfo/WirelessPhyInfo.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace tamsel::test {
namespace {

using C = NetworkConstants;
using A = AccessStateMachineImpl;

// An adapter that records the network's requests and publishes the states the test scripts for a
// connection at once, as a real one may inside connect.
class FakeAdapterConnectionImpl : public ReferenceImpl, public AdapterConnectionInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void connect(const VelAdapter& adapter, const PhyInfo& phyInfo, const Settings8021x&,
                 std::int32_t authenticationType) override {
        const bool wireless = dynamic_cast<WirelessPhyInfoImpl*>(phyInfo.impl()) != nullptr;
        calls.push_back(std::string("connect ") + (wireless ? "wireless " : "wired ") +
                        std::to_string(authenticationType));
        lastPhyInfo = phyInfo;
        for (std::int32_t state : onConnect) publish(adapter, state);
    }
    void restartConnection(const VelAdapter&, const PhyInfo&) override { calls.push_back("restart"); }
    void reAuth(const VelAdapter&) override { calls.push_back("reAuth"); }
    void disconnect(const VelAdapter&) override { calls.push_back("disconnect"); }
    static void publish(const VelAdapter& adapter, std::int32_t state, std::int32_t reason = 0) {
        for (const Reference& subscriber : adapter.subscribers())
            static_cast<AdapterSubscriberInterface*>(subscriber.m)
                ->adapterStateChanged(adapter, state, reason);
    }
    std::vector<std::string> take() { return std::exchange(calls, {}); }

    std::vector<std::string> calls;
    std::vector<std::int32_t> onConnect;
    PhyInfo lastPhyInfo;
};

AuthenticationMethod method(std::int32_t type) {
    return AuthenticationMethod::ofType(type);
}

class NetworkMachinesTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        LabBuilder builder;
        builder.wiredAdapter(1, "eth0").wirelessAdapter(2, "wlan0");
        startLab(builder);
        logonStatus.emplace();
        previousMaker = NetworkMachines::install();
        matchmaker = new FakeNetworkMatchmakerImpl;
        InstalledNetworkMatchmaker::install(matchmaker);
        connection = new FakeAdapterConnectionImpl;
        InstalledAdapterConnection::install(connection);
        subscriber = new RecordingNetworkSubscriberImpl;
        wired = VelAdapter::create(LabBuilder::guid(1).c_str());
        wireless = VelAdapter::create(LabBuilder::guid(2).c_str());
    }
    void TearDown() override {
        onEngine([&] {
            for (Network& network : networks) {
                network.impl()->clearReferences();
                network.reset();
            }
            matchmaker->attachAtOnce.reset();
            connection->lastPhyInfo.reset();
            for (VelAdapter* adapter : {&wired, &wireless}) {
                adapter->impl()->clearReferences();
                adapter->reset();
            }
        });
        InstalledNetworkMatchmaker::install(nullptr);
        InstalledAdapterConnection::install(nullptr);
        NetworkBehaviorMaker::set(previousMaker);
        matchmaker->release();
        connection->release();
        subscriber->release();
        logonStatus.reset();
        PortTest::TearDown();
    }

    // A network of the media type (0 wired, 1 wifi) with the machines, followed by the recorder.
    Network& makeNetwork(std::int32_t mediaType, std::int32_t association = 0, std::int32_t encryption = 1,
                         std::int32_t connectionTypes = 1) {
        Network network = Network::create(Ascii("Office"));
        network.setMediaType(mediaType);
        network.setSsid(ByteArray("office"));
        network.setAssociationMode(association);
        network.setEncryption(encryption);
        network.setConnectionTypes(connectionTypes);
        network.addSubscriber(subscriber);
        networks.push_back(network);
        return networks.back();
    }
    static NetworkMachines& machines(const Network& network) {
        return static_cast<NetworkMachines&>(network.impl()->behavior());
    }
    std::int32_t accessState(const Network& network) { return machines(network).accessMachine().state(); }
    // Started and attached to the adapter, the connection's calls taken.
    // A wired 802.1X network whose machine credentials come from the source, failed by the server in
    // the authentication state given, after `given` put in what the user or the profile gave.
    Network& failedIn(std::int32_t source, std::int32_t state,
                      const std::function<void(const AuthenticationParameters&)>& given) {
        Network& network = makeNetwork(AdapterConstants::MEDIA_TYPE_8023);
        network.setFlagB(true);
        AuthenticationParameters machine =
            network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE);
        machine.setCredentialType(source);
        startAndAttach(network, wired);
        given(machine);
        network.impl()->m_session.setAuthenticationState(state);
        onEngine([&] { FakeAdapterConnectionImpl::publish(wired, A::ADAPTER_AUTH_FAILED, 3); });
        return network;
    }
    void startAndAttach(const Network& network, const VelAdapter& adapter) {
        onEngine([&] {
            network.start();
            network.attachAdapter(adapter);
        });
        matchmaker->take();
        connection->take();
        subscriber->take();
    }
    // Started and attached, with the connection's calls kept for the test.
    void startAndAttachKeepingCalls(const Network& network, const VelAdapter* adapter = nullptr) {
        const VelAdapter& to = adapter != nullptr ? *adapter : wireless;
        onEngine([&] {
            network.start();
            network.attachAdapter(to);
        });
        matchmaker->take();
        subscriber->take();
    }
    std::string logSince(std::size_t offset) { return log().substr(offset); }

    NetworkBehaviorMaker::Maker previousMaker;
    FakeNetworkMatchmakerImpl* matchmaker = nullptr;
    FakeAdapterConnectionImpl* connection = nullptr;
    RecordingNetworkSubscriberImpl* subscriber = nullptr;
    VelAdapter wired;
    VelAdapter wireless;
    std::vector<Network> networks;
    std::optional<FakeLogonStatus> logonStatus;
};

TEST_F(NetworkMachinesTest, AnOpenWiredNetworkFollowsItsAdapterToConnected) {
    Network& network = makeNetwork(AdapterConstants::MEDIA_TYPE_8023);
    matchmaker->attachAtOnce = wired;
    connection->onConnect = {A::ADAPTER_LINK_UP, A::ADAPTER_AUTHENTICATED, A::ADAPTER_NO_IP,
                             A::ADAPTER_CONNECTED};
    onEngine([&] { network.start(); });
    EXPECT_THAT(matchmaker->take(), ElementsAre("insert"));
    EXPECT_THAT(connection->take(), ElementsAre("connect wired 1"));
    EXPECT_THAT(subscriber->take(),
                ElementsAre("access 2", "access 6", "access 3", "adapter 4", "adapter 8", "access 7",
                            "adapter 9", "access 3", "adapter 10", "access 4"));
    EXPECT_EQ(accessState(network), C::ACCESS_CONNECTED);
    EXPECT_EQ(machines(network).networkMachine().state(), C::MACHINE_T_NOT_DISCONNECTED);
    EXPECT_FALSE(machines(network).accessMachine().durationTimerRuns());
    EXPECT_TRUE(network.isStarted());
    EXPECT_EQ(network.getAdapter().m, wired.m);
    EXPECT_EQ(network.impl()->m_session.authenticationState(), C::AUTH_STATE_SUCCESS);
    EXPECT_THAT(log(), Not(HasSubstr("Internal error")));

    // Stopping lets the adapter go and leaves the matchmaker's list.
    onEngine([&] { network.stop(); });
    EXPECT_THAT(connection->take(), ElementsAre("disconnect"));
    EXPECT_THAT(matchmaker->take(), ElementsAre("unmatch", "remove"));
    EXPECT_EQ(accessState(network), C::ACCESS_STOPPED);
    EXPECT_TRUE(network.getAdapter().isNull());
    EXPECT_FALSE(network.isStarted());
    EXPECT_THAT(wired.subscribers(), IsEmpty());
}

TEST_F(NetworkMachinesTest, ConnectTellsTheAdapterWhetherAuthenticationIsNeededAndLogsFips) {
    struct Row {
        std::int32_t association, encryption;
        bool is8021x;
        std::vector<std::int32_t> methods;
        const char* fips;
        const char* connect;
    } rows[] = {
        {1, 1, false, {}, "non-", "connect wireless 1"}, {1, 2, false, {}, "non-", "connect wireless 1"},
        {1, 2, true, {}, "non-", "connect wireless 0"},  {7, 4, false, {}, "", "connect wireless 0"},
        {7, 3, false, {}, "non-", "connect wireless 0"}, {8, 4, true, {13, 25}, "", "connect wireless 0"},
        {8, 4, true, {43}, "", "connect wireless 0"},    {8, 4, true, {13, 26}, "non-", "connect wireless 0"},
        {8, 4, true, {}, "non-", "connect wireless 0"},  {6, 4, true, {13}, "non-", "connect wireless 0"},
    };
    for (const Row& row : rows) {
        Network& network = makeNetwork(AdapterConstants::MEDIA_TYPE_80211, row.association, row.encryption);
        network.setFlagB(row.is8021x);
        AuthenticationParameters machine =
            network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE);
        if (row.association == 2 || row.association == 1 || row.association == 7)
            machine.setPasswordOrKeyCredential(Credential::newAsciiPsk(Ascii("abcde"), ByteArray("office")));
        for (std::int32_t type : row.methods) machine.addAuthenticationMethod(method(type));
        const std::size_t before = log().size();
        startAndAttachKeepingCalls(network);
        SCOPED_TRACE(std::to_string(row.association) + "/" + std::to_string(row.encryption));
        EXPECT_THAT(connection->take(), ElementsAre(row.connect));
        EXPECT_THAT(logSince(before), HasSubstr(std::string("Attempting to connect using ") + row.fips +
                                                "FIPS compliant profile"));
        onEngine([&] { network.stop(); });
        connection->take();
    }
}

TEST_F(NetworkMachinesTest, PersonalNetworksHandTheirKeyToTheAdapterAndWiredOnesNone) {
    Network& personal = makeNetwork(AdapterConstants::MEDIA_TYPE_80211, 7, 4);
    personal.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE)
        .setPasswordOrKeyCredential(Credential::newAsciiPsk(Ascii("correct horse battery"), ByteArray("x")));
    startAndAttachKeepingCalls(personal);
    ASSERT_FALSE(connection->lastPhyInfo.isNull());
    EXPECT_NE(connection->lastPhyInfo.pskHandle(), 0u);
    onEngine([&] { personal.stop(); });
    connection->take();

    Network& cable = makeNetwork(AdapterConstants::MEDIA_TYPE_8023);
    startAndAttachKeepingCalls(cable, &wired);
    EXPECT_THAT(connection->take(), ElementsAre("connect wired 1"));
    EXPECT_EQ(connection->lastPhyInfo.pskHandle(), 0u);
}

TEST_F(NetworkMachinesTest, AnAttemptThatDoesNotAssociateGoesBackToTheMatchmakerWhenItsTimerRunsOut) {
    Network& network = makeNetwork(AdapterConstants::MEDIA_TYPE_80211, 1, 1);
    startAndAttach(network, wireless);
    ASSERT_EQ(accessState(network), C::ACCESS_ASSOCIATING);
    EXPECT_TRUE(machines(network).accessMachine().associationTimerRuns());
    advance(Network::getDefaultAssociationTimeout());
    EXPECT_THAT(log(), HasSubstr("Network Office: The association timer expired"));
    EXPECT_THAT(connection->take(), ElementsAre("disconnect"));
    EXPECT_THAT(matchmaker->take(), ElementsAre("unmatch"));
    EXPECT_EQ(accessState(network), C::ACCESS_STARTED);
    EXPECT_FALSE(machines(network).accessMachine().durationTimerRuns());
    EXPECT_TRUE(network.getAdapter().isNull());
}

TEST_F(NetworkMachinesTest, AnAdapterThatGoesAwayKeepsTheNetworkFirstInLine) {
    struct Row {
        std::int32_t adapterState;
        const char* matchmakerCall;
    } rows[] = {{A::ADAPTER_UNBOUND, "unmatchAndRetry"}, {A::ADAPTER_UNMANAGED, "unmatch"}};
    for (const Row& row : rows) {
        Network& network = makeNetwork(AdapterConstants::MEDIA_TYPE_8023);
        startAndAttach(network, wired);
        onEngine([&] { FakeAdapterConnectionImpl::publish(wired, row.adapterState); });
        EXPECT_THAT(matchmaker->take(), ElementsAre(row.matchmakerCall));
        EXPECT_EQ(accessState(network), C::ACCESS_STARTED);
        EXPECT_THAT(subscriber->take(),
                    ElementsAre("adapter " + std::to_string(row.adapterState), "access 2"));
        onEngine([&] { network.stop(); });
    }
}

TEST_F(NetworkMachinesTest, ALostLinkTellsAnAutomaticVpnTheNetworkIsNotConnected) {
    FakeVpns vpns;
    std::optional<ActiveConfiguration> active;
    onEngine([&] { active.emplace(ActiveConfiguration::create()); });
    ASSERT_TRUE(drain(queue));
    // Without files the first read leaves no configuration in force: the test puts one there.
    onEngine(
        [&] { active->impl()->m_configurationProxy.setConfiguration(Configuration::create(Ascii("lab"))); });
    ASSERT_TRUE(active->exists());
    Network& network = makeNetwork(AdapterConstants::MEDIA_TYPE_8023);
    connection->onConnect = {A::ADAPTER_AUTHENTICATED, A::ADAPTER_CONNECTED};
    startAndAttach(network, wired);
    ASSERT_EQ(accessState(network), C::ACCESS_CONNECTED);
    struct Row {
        bool allowVpn, capable;
        std::vector<std::int32_t> events;
    } rows[] = {{true, true, {2}}, {true, false, {}}, {false, true, {}}};
    for (const Row& row : rows) {
        vpns.capable = row.capable;
        active->configuration().policy().userControlPolicy().setAllowVpn(row.allowVpn);
        onEngine([&] { FakeAdapterConnectionImpl::publish(wired, A::ADAPTER_LINK_DOWN); });
        EXPECT_EQ(vpns.takeNetworkEvents(), row.events) << row.allowVpn << row.capable;
        EXPECT_EQ(accessState(network), C::ACCESS_CONNECTED);
    }
    onEngine([&] {
        network.stop();
        active->stop();
        active.reset();
    });
}

TEST_F(NetworkMachinesTest, ResumeReauthenticatesWired8021xAndReassociatesWireless) {
    struct Row {
        std::int32_t mediaType;
        bool is8021x;
        bool connected;
        std::int32_t event;
        std::vector<std::string> calls;
        const char* line;
    } rows[] = {
        {AdapterConstants::MEDIA_TYPE_8023,
         true,
         true,
         NetworkMachines::POWER_EVENT_RESUME,
         {"reAuth"},
         "Network Office: initiating Wake-On-LAN wired re-authentication"},
        {AdapterConstants::MEDIA_TYPE_8023, false, true, NetworkMachines::POWER_EVENT_RESUME, {}, nullptr},
        {AdapterConstants::MEDIA_TYPE_80211,
         false,
         true,
         NetworkMachines::POWER_EVENT_RESUME,
         {"restart"},
         "Network Office: forcing reassociation on wireless adapter"},
        {AdapterConstants::MEDIA_TYPE_80211, false, true, NetworkMachines::POWER_EVENT_SUSPEND, {}, nullptr},
        {AdapterConstants::MEDIA_TYPE_8023, true, false, NetworkMachines::POWER_EVENT_RESUME, {}, nullptr},
    };
    for (const Row& row : rows) {
        Network& network =
            makeNetwork(row.mediaType, row.mediaType == AdapterConstants::MEDIA_TYPE_8023 ? 0 : 1);
        network.setFlagB(row.is8021x);
        const VelAdapter& adapter = row.mediaType == AdapterConstants::MEDIA_TYPE_8023 ? wired : wireless;
        if (row.connected) {
            connection->onConnect = {A::ADAPTER_ASSOCIATED, A::ADAPTER_AUTHENTICATED, A::ADAPTER_CONNECTED};
        }
        startAndAttach(network, adapter);
        connection->onConnect.clear();
        ASSERT_EQ(accessState(network) == C::ACCESS_CONNECTED, row.connected);
        const std::size_t before = log().size();
        onEngine([&] { machines(network).powerEvent(row.event); });
        SCOPED_TRACE(std::to_string(row.mediaType) + " " + std::to_string(row.event));
        EXPECT_EQ(connection->take(), row.calls);
        if (row.line != nullptr) {
            EXPECT_THAT(logSince(before), HasSubstr(row.line));
        }
        onEngine([&] { network.stop(); });
        connection->take();
    }
}

TEST_F(NetworkMachinesTest, AFailedAuthenticationLogsHowFarItGotAndEndsTheSession) {
    struct Row {
        std::int32_t state;
        const char* line;  // null: none of the failure lines
        bool rejected;
    } rows[] = {
        {C::AUTH_STATE_STARTED, "Authentication failed before unprotected identity was sent", false},
        {C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FULL_AUTHENTICATION,
         "Unprotected identity rejected, authentication failed.", true},
        {C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FAST_REAUTHENTICATION,
         "Unprotected identity rejected while trying fast reauthentication, authentication failed.", false},
        {C::AUTH_STATE_UNPROTECTED_IDENTITY_ACCEPTED,
         "Unprotected identity accepted, authentication failed before credential was sent.", false},
        {C::AUTH_STATE_PROTECTED_IDENTITY_SENT, "Protected identity rejected, authentication failed.", true},
        {C::AUTH_STATE_PROTECTED_IDENTITY_ACCEPTED,
         "Protected identity accepted, authentication failed before credential was sent.", false},
        {C::AUTH_STATE_CREDENTIAL_SENT, "Credential rejected, authentication failed.", true},
        {C::AUTH_STATE_CREDENTIAL_REJECTED, "Credential rejected, authentication failed.", true},
        {C::AUTH_STATE_NEW_CREDENTIAL_SENT,
         "Identity and old password accepted but new password rejected, password change and authentication "
         "failed.",
         false},
        {C::AUTH_STATE_CREDENTIAL_ACCEPTED, "Identity and credential accepted but authentication failed.",
         false},
        {C::AUTH_STATE_EAP_FAST_PROVISIONING_SUCCESS,
         "Identity and credential accepted, authentication failed as expected due to EAP-FAST "
         "unauthenticated "
         "provisioning.",
         false},
        {C::AUTH_STATE_FULL_AUTHENTICATION_FALLBACK, nullptr, false},
        {C::AUTH_STATE_NONE, nullptr, false},
    };
    for (const Row& row : rows) {
        Network& network = makeNetwork(AdapterConstants::MEDIA_TYPE_8023);
        network.setFlagB(true);
        AuthenticationParameters machine =
            network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE);
        machine.setCredentialType(NetworkSession::SOURCE_LOGON);
        startAndAttach(network, wired);
        NetworkSession& session = network.impl()->m_session;
        onEngine([&] { session.deriveIdentity(Ascii("host/pc1")); });
        session.setAuthenticationState(row.state);
        const std::size_t before = log().size();
        onEngine([&] { FakeAdapterConnectionImpl::publish(wired, A::ADAPTER_AUTH_FAILED, 3); });
        const std::string lines = logSince(before);
        SCOPED_TRACE(NetworkConstants::authenticationStateText(row.state));
        if (row.line != nullptr) {
            EXPECT_THAT(lines, HasSubstr(row.line));
        }
        EXPECT_THAT(lines, HasSubstr("received auth request AUTHENTICATION_FAILED"));
        EXPECT_THAT(lines, HasSubstr("In NetworkImpl::authenticationSessionFinishedActions"));
        EXPECT_EQ(session.authenticationState(), C::AUTH_STATE_FAILURE);
        // The first rejection of logon credentials turns the network to the user's.
        EXPECT_EQ(session.currentCredentialSource(),
                  row.rejected ? NetworkSession::SOURCE_GUI : NetworkSession::SOURCE_LOGON);
        if (row.rejected) {
            EXPECT_THAT(lines,
                        HasSubstr("Failed to authenticate with prelogon credentials after 1 attempt(s)."));
            EXPECT_THAT(lines, HasSubstr("Enforcing credentials to be requested from GUI"));
            EXPECT_EQ(network.getCredentialStorage(), NetworkSession::SOURCE_GUI);
        }
        // Unauthenticated provisioning keeps the session's identity for the next one.
        CredentialProxy identity = machine.getIdentity();
        EXPECT_EQ(identity.exists(), row.state == C::AUTH_STATE_EAP_FAST_PROVISIONING_SUCCESS);
        onEngine([&] { network.stop(); });
    }
}

TEST_F(NetworkMachinesTest, AFailureDropsAGivenIdentityOnlyWhenTheServerRejectedIt) {
    const struct {
        std::int32_t state;
        bool kept;
    } rows[] = {
        {C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FULL_AUTHENTICATION, false},
        {C::AUTH_STATE_CREDENTIAL_SENT, false},
        {C::AUTH_STATE_CREDENTIAL_ACCEPTED, true},
        {C::AUTH_STATE_STARTED, true},
    };
    for (const auto& row : rows) {
        // As the tray's answer or the saved configuration gives it: not the session's own.
        Network& network =
            failedIn(NetworkSession::SOURCE_GUI, row.state, [](const AuthenticationParameters& p) {
                p.setIdentity(Credential::newIdentity(Ascii("alice")));
            });
        AuthenticationParameters machine =
            network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE);
        SCOPED_TRACE(NetworkConstants::authenticationStateText(row.state));
        EXPECT_EQ(machine.getIdentity().exists(), row.kept);
        onEngine([&] { network.stop(); });
    }
}

// A password the server refused is not kept for another attempt when the user or the logon gave it;
// the profile's own password is the administrator's and stays.
TEST_F(NetworkMachinesTest, ARefusedPasswordIsForgottenUnlessTheProfileGaveIt) {
    const struct {
        std::int32_t source;
        bool kept;
    } rows[] = {
        {NetworkSession::SOURCE_GUI, false},
        {NetworkSession::SOURCE_LOGON, false},
        {NetworkIdentity::SOURCE_PROFILE, true},
    };
    for (const auto& row : rows) {
        Network& network =
            failedIn(row.source, C::AUTH_STATE_CREDENTIAL_SENT, [](const AuthenticationParameters& p) {
                p.setPasswordOrKeyCredential(Credential::newPassword(Ascii("guess")));
            });
        SCOPED_TRACE(row.source);
        EXPECT_EQ(network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE)
                      .getPasswordOrKeyCredential()
                      .exists(),
                  row.kept);
        onEngine([&] { network.stop(); });
    }
}

TEST_F(NetworkMachinesTest, AFailureAfterSuccessIsABrokenInvariant) {
    Network& network = makeNetwork(AdapterConstants::MEDIA_TYPE_8023);
    startAndAttach(network, wired);
    network.impl()->m_session.setAuthenticationState(C::AUTH_STATE_SUCCESS);
    onEngine([&] { machines(network).authenticationFailed(2); });
    std::vector<std::string> assertions = takeAssertions();
    ASSERT_EQ(assertions.size(), 1u);
    EXPECT_THAT(assertions[0], HasSubstr("Authentication failed in unexpected state"));
}

TEST_F(NetworkMachinesTest, StopWhileANewPasswordIsSentTellsTheFollowersOnce) {
    Network& network = makeNetwork(AdapterConstants::MEDIA_TYPE_8023, 0, 1, C::CONNECTION_TYPES_BOTH);
    network.setFlagB(true);
    logonStatus->set(LogonStatusInterface::USER_SESSION);
    connection->onConnect = {A::ADAPTER_AUTHENTICATING};
    startAndAttach(network, wired);
    network.setPasswordChangeParameters(7, Ascii("alice"), Ascii("corp"), Ascii("old"), Ascii("new"));
    ASSERT_EQ(machines(network).networkMachine().state(), C::USER_T_NOT_DISCONNECTED);
    onEngine([&] { network.handleAuthRequest(C::CHANGE_PASSWORD); });
    ASSERT_EQ(machines(network).networkMachine().state(), C::USER_ND_PWD_CHG_FROM_SERVER);
    subscriber->take();
    onEngine([&] { network.stop(); });
    std::vector<std::string> results;
    for (const std::string& line : subscriber->take())
        if (line.rfind("result", 0) == 0) results.push_back(line);
    EXPECT_THAT(results, ElementsAre("result 7 3"));
    EXPECT_EQ(machines(network).networkMachine().state(), C::STOPPED);
}

TEST_F(NetworkMachinesTest, AChangeDemandedWithoutNewCredentialsAsksTheUserForThem) {
    Network& network = makeNetwork(AdapterConstants::MEDIA_TYPE_8023, 0, 1, C::CONNECTION_TYPES_USER);
    network.setFlagB(true);
    logonStatus->set(LogonStatusInterface::USER_SESSION);
    network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER)
        .setCredentialType(NetworkSession::SOURCE_GUI);
    connection->onConnect = {A::ADAPTER_AUTHENTICATING};
    startAndAttach(network, wired);
    onEngine([&] { network.handleAuthRequest(C::CHANGE_PASSWORD); });
    EXPECT_THAT(subscriber->take(), ElementsAre("request 2 2 2"));
}

TEST_F(NetworkMachinesTest, InvalidPacStatusDeletesTheSessionsPacAndItsSavedEntry) {
    Network& network = makeNetwork(AdapterConstants::MEDIA_TYPE_8023);
    startAndAttach(network, wired);
    Credential pac = Credential::newPac(ByteArray(std::string(32, 'k').c_str()), ByteArray("opaque"),
                                        ByteArray("AID1"), Ascii("host/pc1"), Ascii("lab server"),
                                        PacLifetime(), AuthenticationParameters::MACHINE_PAC);
    AuthenticationParameters machine =
        network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE);
    machine.setPac(pac);
    network.getSavedPacs().add(pac.m);
    NetworkSession& session = network.impl()->m_session;

    session.m_sessionPacType = NetworkSession::SESSION_PAC_TUNNEL;
    onEngine([&] { machines(network).eapStatus(wired, NetworkMachines::EAP_STATUS_INVALID_PAC); });
    EXPECT_EQ(network.getSavedPacs().length(), 1);
    EXPECT_THAT(log(), HasSubstr("Invalid tunnel pac"));

    session.m_sessionPacType = NetworkSession::SESSION_PAC_MACHINE;
    onEngine([&] { machines(network).eapStatus(wired, NetworkMachines::EAP_STATUS_INVALID_PAC); });
    EXPECT_EQ(network.getSavedPacs().length(), 0);
    EXPECT_FALSE(machine.getPac(AuthenticationParameters::MACHINE_PAC).exists());
    EXPECT_THAT(log(), HasSubstr("Deleted machine pac"));

    const std::size_t before = log().size();
    session.setAuthenticationState(C::AUTH_STATE_CREDENTIAL_ACCEPTED);
    onEngine([&] { machines(network).eapStatus(wired, NetworkMachines::EAP_STATUS_CLEARTEXT_FAILURE); });
    EXPECT_THAT(logSince(before), HasSubstr("Identity and credential accepted but authentication failed."));
    EXPECT_EQ(session.authenticationState(), C::AUTH_STATE_FAILURE);
}

}  // namespace
}  // namespace tamsel::test
