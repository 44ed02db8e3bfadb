#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/vpn/VpnMachinesTestSupport.h"
#include "vel/vpn/VpnClientEvent.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

using C = VpnConstants;

const VpnStateSeen DISCONNECTED{"disconnected", "none"};
const VpnStateSeen DISCONNECTING{"disconnecting", "none"};
const VpnStateSeen CONNECTING{"connecting", "none"};
const VpnStateSeen CONNECTED{"connected", "none"};

class VpnManagerBehaviorTest : public VpnMachinesTest {
protected:
    void useGateway(const dunmere::Gateway& g) { dunmere::VpnService::instance().setGateways({g}); }
    // A gateway that asks for alice's password; the network connects and the tray is asked.
    void startAskedForCredentials() {
        dunmere::Gateway asking = gateway();
        asking.user = "alice";
        asking.secret = "secret";
        useGateway(asking);
        startClient();
        connectNetwork();
        ASSERT_TRUE(waitForMessage("getVpnCredentialsRequest"));
    }
    // The automatic attempt on the network's connection fails at a gateway that cannot be reached;
    // the tunnel is down again without a status, its retry timer running.
    void failAutomaticAttempt() {
        dunmere::Gateway unreachable = gateway();
        unreachable.error = VPN_ERROR_IKE_FAIL;
        useGateway(unreachable);
        startClient();
        connectNetwork();
        ASSERT_TRUE(waitForStates(2));
        EXPECT_THAT(states(), ElementsAre(CONNECTING, DISCONNECTED));
    }
    void useConfiguration(std::int32_t vpnSetting, bool autoConnect = true) {
        onEngineThread([&] {
            engine.configuration.impl()->clearReferences();
            engine.configuration = makeConfiguration(vpnSetting, autoConnect);
        });
    }
};

TEST_F(VpnManagerBehaviorTest, TheTunnelFollowsTheNetworkAndTheLibrary) {
    startClient();
    connectNetwork();
    ASSERT_TRUE(waitForStates(2));
    EXPECT_THAT(states(), ElementsAre(CONNECTING, CONNECTED));
    EXPECT_EQ(loggedSinceMark("AutoVPN enabled for group: Office, network: Wired-LAN"), 1);
    EXPECT_EQ(loggedSinceMark("Attempting VPN connection: Office"), 1);

    loseNetwork();
    ASSERT_TRUE(waitForStates(4));
    EXPECT_THAT(states(), ElementsAre(CONNECTING, CONNECTED, DISCONNECTING, DISCONNECTED));
    EXPECT_EQ(loggedSinceMark("Disconnecting VPN because we lost network connection"), 1);

    // Back up: the tunnel comes up again by itself.
    connectNetwork();
    ASSERT_TRUE(waitForStates(6));
    EXPECT_EQ(states()[5], CONNECTED);

    // The gateway stops answering.
    ASSERT_TRUE(dunmere::VpnService::instance().drop(PROFILE, VPN_ERROR_PEER_NOT_RESPONDING));
    ASSERT_TRUE(waitForStates(8));
    std::vector<VpnStateSeen> all = states();
    EXPECT_THAT(
        std::vector<VpnStateSeen>(all.begin() + 6, all.end()),
        ElementsAre(VpnStateSeen("connected", "The remote peer is no longer responding."), DISCONNECTED));
    EXPECT_EQ(vpnState(), C::STATE_DISCONNECTED);
}

TEST_F(VpnManagerBehaviorTest, AnAutomaticAttemptIsRetriedTwiceBeforeItsFailureIsReported) {
    // Each failure takes the tunnel down without a status; the timer brings it back.
    failAutomaticAttempt();
    passSeconds(C::RETRY_TIMER_S - 1);
    onEngineThread([] {});
    EXPECT_EQ(states().size(), 2u) << "not before 5 seconds";
    passSeconds(1);
    ASSERT_TRUE(waitForStates(4));
    passSeconds(C::RETRY_TIMER_S);
    ASSERT_TRUE(waitForStates(7));
    EXPECT_THAT(states(), ElementsAre(CONNECTING, DISCONNECTED, CONNECTING, DISCONNECTED, CONNECTING,
                                      VpnStateSeen("connecting", "Unable to contact the security gateway."),
                                      DISCONNECTED));
    EXPECT_EQ(loggedSinceMark("Starting the VPN connection retry attempt timer"), 2);
    EXPECT_EQ(loggedSinceMark("VPN connection retry attempt timer expired"), 2);
    EXPECT_EQ(loggedSinceMark("Attempting connection to Office"), 3);
    // No further attempt.
    passSeconds(C::RETRY_TIMER_S);
    onEngineThread([] {});
    EXPECT_EQ(states().size(), 7u);
    EXPECT_EQ(timers.impl()->timerCount(), 0);
}

// The link goes down while a failed automatic attempt waits for its retry: nothing is tried over
// the network that is gone.
TEST_F(VpnManagerBehaviorTest, NoRetryAfterTheNetworkIsLost) {
    failAutomaticAttempt();
    ASSERT_EQ(loggedSinceMark("Starting the VPN connection retry attempt timer"), 1);
    loseNetwork();
    onEngineThread([] {});
    EXPECT_EQ(timers.impl()->timerCount(), 0);
    passSeconds(2 * C::RETRY_TIMER_S);
    onEngineThread([] {});
    EXPECT_THAT(states(), ElementsAre(CONNECTING, DISCONNECTED));
    EXPECT_EQ(loggedSinceMark("VPN connection retry attempt timer expired"), 0);
    EXPECT_EQ(loggedSinceMark("Attempting connection to Office"), 1);

    // The network back, the automatic attempt has its retries again.
    connectNetwork();
    ASSERT_TRUE(waitForStates(4));
    EXPECT_EQ(loggedSinceMark("Starting the VPN connection retry attempt timer"), 2);
}

TEST_F(VpnManagerBehaviorTest, AManualAttemptIsNotRetried) {
    dunmere::Gateway unreachable = gateway();
    unreachable.error = VPN_ERROR_IKE_FAIL;
    useGateway(unreachable);
    useConfiguration(C::SETTING_PASSWORD, false);
    startClient();
    connectNetwork();
    onEngineThread([this] { manager().connectVpn(); });
    ASSERT_TRUE(waitForStates(3));
    EXPECT_THAT(states(),
                ElementsAre(CONNECTING, VpnStateSeen("connecting", "Unable to contact the security gateway."),
                            DISCONNECTED));
    EXPECT_EQ(loggedSinceMark("Starting the VPN connection retry attempt timer"), 0);
}

TEST_F(VpnManagerBehaviorTest, TheGatewaysQuestionGoesToEveryTrayAndStoredCredentialsAnswerTheNextAtOnce) {
    ASSERT_NO_FATAL_FAILURE(startAskedForCredentials());
    std::vector<std::string> sent = tray->sent();
    for (const std::string& text : sent) {
        SentMessage message(text);
        if (message.name() != "getVpnCredentialsRequest") continue;
        EXPECT_EQ(message.child("usernamePrompt"), "Username");
        EXPECT_EQ(message.child("passwordPrompt"), "Password");
    }
    // A tray program that connects later is asked too.
    WaitingConnectionImpl* later = nullptr;
    onEngineThread([&] { later = &newTray(); });
    EXPECT_EQ(countNamed(later->sent(), "getVpnCredentialsRequest"), 1);

    onEngineThread([this] { manager().sendCredentials("alice", "secret"); });
    ASSERT_TRUE(waitForStates(2));
    EXPECT_EQ(states()[1], CONNECTED);

    onEngineThread([this] { manager().disconnectVpn(); });
    ASSERT_TRUE(waitForStates(4));
    onEngineThread([this] { manager().connectVpn(); });
    ASSERT_TRUE(waitForStates(6));
    EXPECT_EQ(states()[5], CONNECTED);
    EXPECT_EQ(countNamed(tray->sent(), "getVpnCredentialsRequest"), 1) << "the stored credentials answered";
    EXPECT_EQ(loggedSinceMark("Sending username password to VPN client"), 2);
}

TEST_F(VpnManagerBehaviorTest, RefusedCredentialsAreForgottenSoTheNextAttemptAsksAgain) {
    ASSERT_NO_FATAL_FAILURE(startAskedForCredentials());
    onEngineThread([this] { manager().sendCredentials("alice", "guess"); });
    ASSERT_TRUE(waitForStates(3));
    EXPECT_THAT(states(), ElementsAre(CONNECTING, VpnStateSeen("connecting", "User authentication failed."),
                                      DISCONNECTED));
    onEngineThread([this] { EXPECT_FALSE(machines().holdsCredentials()); });
    onEngineThread([this] { manager().connectVpn(); });
    ASSERT_TRUE(tray->waitUntil(
        [](const std::vector<std::string>& s) { return countNamed(s, "getVpnCredentialsRequest") == 2; }));
}

TEST_F(VpnManagerBehaviorTest, AnAnswerWithoutAPasswordIsSentAsAnEmptyOne) {
    ASSERT_NO_FATAL_FAILURE(startAskedForCredentials());
    onEngineThread([this] { manager().sendCredentials("alice", Ascii()); });
    ASSERT_TRUE(waitForStates(3));
    EXPECT_EQ(states()[1], VpnStateSeen("connecting", "User authentication failed."));
    EXPECT_EQ(loggedSinceMark("Sent credentials successfully to vpn"), 1);
}

TEST_F(VpnManagerBehaviorTest, AnAnswerWithNeitherFieldIsSentAsEmptyTexts) {
    ASSERT_NO_FATAL_FAILURE(startAskedForCredentials());
    onEngineThread([this] {
        manager().sendCredentials(Ascii(), Ascii());
        EXPECT_TRUE(machines().holdsCredentials());
    });
    ASSERT_TRUE(waitForStates(3));
    EXPECT_EQ(states()[1], VpnStateSeen("connecting", "User authentication failed."));
    EXPECT_EQ(loggedSinceMark("Sent credentials successfully to vpn"), 1);
}

TEST_F(VpnManagerBehaviorTest, ABannerIsShownToEveryTrayAndItsAnswerReachesTheLibrary) {
    dunmere::Gateway withBanner = gateway();
    withBanner.banner = "Authorized use only";
    useGateway(withBanner);
    startClient();
    connectNetwork();
    ASSERT_TRUE(waitForMessage("getBannerRequest"));
    for (const std::string& text : tray->sent()) {
        SentMessage message(text);
        if (message.name() == "getBannerRequest") {
            EXPECT_EQ(message.child("bannerPrompt"), "Authorized use only");
        }
    }
    WaitingConnectionImpl* later = nullptr;
    onEngineThread([&] { later = &newTray(); });
    EXPECT_EQ(countNamed(later->sent(), "getBannerRequest"), 1);

    onEngineThread([this] { manager().bannerResponse(false); });
    ASSERT_TRUE(tray->waitUntil([](const std::vector<std::string>& s) {
        return vpnStatesIn(s).size() >= 3 && vpnStatesIn(s).back() == DISCONNECTED;
    }));
    EXPECT_EQ(logged("-ConnectCB- vpn_acknowledge_error"), 0);
}

TEST_F(VpnManagerBehaviorTest, SoftTokenPasscodesAndTheirFailures) {
    softtoken::TokenLibrary::instance().setTokens(
        {softtoken::Token{"alice", "1234", "9876543210987654", 8, false},
         softtoken::Token{"carol", "2222", "1212121212121212", 8, true}});
    dunmere::Gateway tokenGateway = gateway();
    tokenGateway.user = "alice";
    tokenGateway.secret = "9876543210987654";
    tokenGateway.token = true;
    useGateway(tokenGateway);
    useConfiguration(C::SETTING_SOFTOKEN);
    startClient();
    startToken();
    connectNetwork();
    ASSERT_TRUE(waitForMessage("getVpnCredentialsRequest"));
    for (const std::string& text : tray->sent()) {
        SentMessage message(text);
        if (message.name() == "getVpnCredentialsRequest") {
            EXPECT_EQ(message.child("passwordPrompt"), "PIN");
        }
    }
    onEngineThread([this] { manager().sendCredentials("alice", "1234"); });
    ASSERT_TRUE(waitForStates(2));
    EXPECT_EQ(states()[1], CONNECTED);
    EXPECT_EQ(loggedSinceMark("Generated SofToken-II passcode"), 1);

    // An expired PIN: reported, forgotten, disconnected.
    onEngineThread([this] {
        manager().disconnectVpn();
        manager().handleClientEvent(CLIENT_DISCONNECTED);
    });
    size_t before = states().size();
    onEngineThread([this] {
        manager().resetAndDisconnect();
        manager().connectVpn();
    });
    ASSERT_TRUE(tray->waitUntil(
        [](const std::vector<std::string>& s) { return countNamed(s, "getVpnCredentialsRequest") == 2; }));
    onEngineThread([this] { manager().sendCredentials("carol", "2222"); });
    ASSERT_TRUE(waitForStates(before + 3));
    std::vector<VpnStateSeen> all = states();
    std::vector<VpnStateSeen> last(all.begin() + static_cast<long>(before), all.end());
    EXPECT_EQ(last[1],
              VpnStateSeen("connecting",
                           "PIN expired. Use Secure Computing SofToken-II application to change the PIN."));
    EXPECT_EQ(last[2], DISCONNECTING);
    EXPECT_EQ(loggedSinceMark("SofToken-II PIN has expired"), 1);
    onEngineThread([this] { EXPECT_FALSE(machines().holdsCredentials()); });
}

TEST_F(VpnManagerBehaviorTest, WithoutATokenTheSoftTokenAttemptFailsInsteadOfWaiting) {
    dunmere::Gateway tokenGateway = gateway();
    tokenGateway.user = "alice";
    tokenGateway.token = true;
    useGateway(tokenGateway);
    useConfiguration(C::SETTING_SOFTOKEN, false);
    startClient();
    // The token's library is not there.
    onEngineThread([this] { token = ScSofToken2::create(); });
    connectNetwork();
    onEngineThread([this] { manager().connectVpn(); });
    ASSERT_TRUE(waitForMessage("getVpnCredentialsRequest"));
    onEngineThread([this] { manager().sendCredentials("alice", "1234"); });
    ASSERT_TRUE(waitForStates(3));
    EXPECT_EQ(states()[1], VpnStateSeen("connecting", "User authentication failed."));
    EXPECT_EQ(states()[2], DISCONNECTING);
    EXPECT_EQ(loggedSinceMark("Unable to generate SofToken-II passcode"), 1);
    onEngineThread([this] { EXPECT_FALSE(machines().holdsCredentials()); });
}

TEST_F(VpnManagerBehaviorTest, AutomatedVpnNeedsTheLibraryAProfileAndAUsableSetting) {
    struct Case {
        const char* name;
        bool library;
        bool profile;
        std::int32_t setting;
        bool token;
        bool capable;
        const char* line;
    };
    const std::vector<Case> cases = {
        {"password", true, true, C::SETTING_PASSWORD, false, true, nullptr},
        {"certificate", true, true, C::SETTING_CERTIFICATE, false, true, nullptr},
        {"no setting", true, true, C::SETTING_NONE, false, false,
         "VPN is allowed by policy, but no autoVpnSettings are configured"},
        {"rsa", true, true, C::SETTING_RSA_SECURID, false, false, "rsaSecurId is unsupported"},
        {"unknown setting", true, true, 9, false, false,
         "VpnManager: unrecognized autoVpnSetting in configuration"},
        {"token without library", true, true, C::SETTING_SOFTOKEN, false, false, nullptr},
        {"token", true, true, C::SETTING_SOFTOKEN, true, true, nullptr},
        {"no profile", true, false, C::SETTING_PASSWORD, false, false, nullptr},
        {"no library", false, true, C::SETTING_PASSWORD, false, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(std::filesystem::path(root.path()) / "c");
        onEngineThread([this] {
            if (!client.isNull()) client.impl()->clearReferences();
            client.reset();
            if (token) token->impl()->clearReferences();
            token.reset();
        });
        startClient(c.library);
        if (!c.profile)
            std::filesystem::remove_all(std::filesystem::path(root.path()) / "c" / "Program Files");
        if (c.token) startToken();
        useConfiguration(c.setting);
        int before = c.line ? logged(c.line) : 0;
        bool capable = false;
        onEngineThread([&] { capable = manager().isAutomatedVpnCapable(); });
        EXPECT_EQ(capable, c.capable);
        if (c.line) {
            EXPECT_EQ(logged(c.line), before + 1);
        }
    }
}

TEST_F(VpnManagerBehaviorTest, WithoutTheLibraryNothingIsAttemptedOrReported) {
    startClient(false);
    useConfiguration(C::SETTING_PASSWORD, false);
    connectNetwork();
    onEngineThread([this] { manager().connectVpn(); });
    EXPECT_EQ(vpnState(), C::STATE_DISCONNECTED);
    EXPECT_THAT(states(), IsEmpty());
    EXPECT_EQ(loggedSinceMark("Attempting VPN connection: Office"), 1);
}

TEST_F(VpnManagerBehaviorTest, NoAttemptWithoutAUserOrAnEntry) {
    startClient();
    engine.logonStatusValue = 1;
    connectNetwork();
    EXPECT_EQ(loggedSinceMark("Not attempting VPN now because there is no user - system in machine context"),
              1);
    EXPECT_EQ(vpnState(), C::STATE_DISCONNECTED);

    engine.logonStatusValue = C::LOGON_STATUS_USER;
    onEngineThread([this] { manager().handleUserLogon(); });
    ASSERT_TRUE(waitForStates(2));
    EXPECT_THAT(states(), ElementsAre(CONNECTING, CONNECTED));

    // A network without an entry.
    onEngineThread([this] {
        manager().setMetaConnections(ElementVector::create());
        manager().connectVpn();
        manager().autoConnectVpn();
    });
    EXPECT_EQ(loggedSinceMark("VPN not configured for currently connected network"), 2);

    // No connected network.
    useConfiguration(C::SETTING_PASSWORD);
    onEngineThread([this] {
        EXPECT_FALSE(manager().attemptVpn().exists());
        manager().handleUserLogon();
    });
    EXPECT_EQ(loggedSinceMark("attemptVpn: No connected network exists"), 1);
    EXPECT_EQ(loggedSinceMark("attemptVpn: network does not exist"), 1);
    EXPECT_EQ(loggedSinceMark("attemptVpn: group Office"), 1);
    EXPECT_EQ(loggedSinceMark("handleUserLogon: No network connection, so no VPN will be attempted now."), 1);
}

TEST_F(VpnManagerBehaviorTest, AGlobalNetworksEntryIsFoundUnderTheEmptyGroupName) {
    startClient();
    onEngineThread([this] {
        engine.configuration.impl()->clearReferences();
        Configuration configuration = Configuration::create("xml config");
        network = Network::create(NETWORK);
        network.setMediaType(AdapterConstants::MEDIA_TYPE_8023);
        network.setGlobal(true);
        NetworkGroup global = NetworkGroup::create("Global");
        global.setGlobal(true);
        global.addNetwork(network);
        configuration.addGroup(global);
        configuration.addGroup(NetworkGroup::create(GROUP));
        ElementVector entries = ElementVector::create();
        entries.add(MetaConnection::create(GROUP, NETWORK, "Wrong", false).m);
        entries.add(MetaConnection::create("", NETWORK, PROFILE, false).m);
        configuration.vpnManager().setMetaConnections(entries);
        configuration.start();
        engine.configuration = configuration;
        networks->of(network).publish(3);
        networks->of(network).publish(4);
        MetaConnectionProxy entry = manager().attemptVpn();
        ASSERT_TRUE(entry.exists());
        EXPECT_EQ(entry.metaConnection().connectionEntry(), PROFILE);
    });
}

}  // namespace
}  // namespace tamsel::test
