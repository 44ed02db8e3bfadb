// The VPN tunnel following the connection, end to end: the real service on an office
// configuration that allows an automatic VPN on the wired network, a user logged on by the lab's
// logon client, and the lab's VPN gateway; watched through the log and by tray programs on the pipe.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <list>
#include <string>
#include <utility>
#include <vector>

#include "tests/keys/ConfigurationSigner.h"
#include "tests/system/LabClient.h"
#include "tests/system/OfficeLab.h"
#include "tests/system/PipeRecorder.h"
#include "tests/system/ServiceClientTest.h"
#include "tests/system/ServiceLog.h"

namespace {

using tamsel::test::LabClient;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::Pair;

using VpnState = std::pair<std::string, std::string>;

// The office configuration, which allows the VPN, with the automatic setting given, signed with the
// test key.
std::string vpnConfiguration(const std::string& setting) {
    std::string text = readText(OFFICE_SOURCE_CONFIGURATION);
    auto replace = [&text](const std::string& from, const std::string& to) {
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
    };
    replace("<authMechanism><password/></authMechanism>", "<authMechanism><" + setting + "/></authMechanism>");
    return ConfigurationSigner::sign(text, ConfigurationSigner::readFile(TAMSEL_TEST_PRIVATE_KEY));
}

// The user's file: the VPN entry "Office" starts by itself on the wired network.
const char* const USER_FILE =
    R"(<UserConfiguration major_version="5" minor_version="1" development_version="1">
  <metaConnections>
    <metaConnection>
      <network><groupName>Office</groupName><displayName>Wired-LAN</displayName></network>
      <vpnConnectionEntry>Office</vpnConnectionEntry>
      <autoConnectVpn>true</autoConnectVpn>
    </metaConnection>
  </metaConnections>
</UserConfiguration>
)";

class VpnServiceTest : public ServiceClientTest {
protected:
    void prepareRoot() override {
        root.write("system/configuration.xml", vpnConfiguration("password"));
        root.write("system/userConfiguration.xml", USER_FILE);
        std::string lab = officeLab(false);
        // Alice is logged on from the start, so that an attempt has a user to run for.
        lab.replace(lab.rfind("</lab>"), 6,
                    "  <logon user=\"alice\" domain=\"CORP\" password=\"secret\" atMs=\"0\"/>\n  " + gateway +
                        "\n</lab>\n");
        root.write("lab.xml", lab);
    }

    void TearDown() override {
        // A tray program hears until its connection ends: after a failed step the service goes first.
        if (service && service->running()) {
            service->signal(SIGKILL);
            service->waitForExit();
        }
        trays.clear();
        ServiceClientTest::TearDown();
    }

    // A new tray program that listens.
    PipeRecorder& listen() { return trays.emplace_back(connectClient()); }

    // Alice's session has started; the wired link comes up then.
    void raiseLinkOnceLoggedOn() {
        ASSERT_TRUE(logged("User session has started.")) << root.logText();
        labCommand("link eth0 up");
    }

    void labCommand(const std::string& command) {
        LabClient lab(root.path() + "/run/lab");
        ASSERT_EQ(lab.command(command), std::vector<std::string>{"ok"}) << command;
    }

    // The (state, status) pairs of the VPN state events a tray program heard.
    static std::vector<VpnState> vpnStates(PipeRecorder& tray) {
        std::vector<VpnState> states;
        for (const PipeMessageBody& event : tray.named("vpnStateEvent"))
            states.emplace_back(event.child("vpnState"), event.child("vpnStatus"));
        return states;
    }
    // Waits until the tray program has heard that many VPN state events, the last being this one.
    static bool heard(PipeRecorder& tray, size_t count, const VpnState& last) {
        return waitFor([&] {
            std::vector<VpnState> states = vpnStates(tray);
            return states.size() >= count && states[count - 1] == last;
        });
    }

    bool logged(const std::string& line, int times = 1) {
        return waitFor([&] { return countOf(root.logText(), line) >= times; });
    }

    static void expectNoFault(const std::string& log) {
        EXPECT_THAT(log, Not(HasSubstr("Internal error")));
        EXPECT_THAT(log, Not(HasSubstr("FATAL")));
        EXPECT_THAT(log, Not(HasSubstr("Assertion")));
    }

    // A gateway that asks for nothing and shows a banner, unless a fixture says otherwise.
    std::string gateway = "<vpnGateway profile=\"Office\" banner=\"Authorized use only\"/>";
    std::list<PipeRecorder> trays;
};

class PasswordGatewayTest : public VpnServiceTest {
protected:
    void SetUp() override {
        gateway = "<vpnGateway profile=\"Office\" user=\"alice\" password=\"secret\"/>";
        VpnServiceTest::SetUp();
    }
};

// The tunnel comes up when Wired-LAN connects, with the gateway's banner, goes down with the wired
// link and comes back with it, and a tunnel the gateway drops is reported with the gateway's reason.
TEST_F(VpnServiceTest, TheAutomaticTunnelFollowsTheWiredConnection) {
    PipeRecorder& tray = listen();
    raiseLinkOnceLoggedOn();

    ASSERT_TRUE(heard(tray, 2, {"connected", "none"}))
        << testing::PrintToString(vpnStates(tray)) << root.logText();
    EXPECT_THAT(vpnStates(tray), ElementsAre(Pair("connecting", "none"), Pair("connected", "none")));
    // The log has a thread of its own: a line may land after the tray heard what followed it.
    EXPECT_TRUE(logged("Attempting VPN connection: Office")) << root.logText();
    EXPECT_EQ(countOf(root.logText(), "Attempting VPN connection: Office"), 1);
    // The gateway's banner reaches the tray program with the tunnel.
    ASSERT_TRUE(waitFor([&] { return tray.count("getBannerRequest") == 1; })) << root.logText();
    EXPECT_EQ(tray.named("getBannerRequest")[0].child("bannerPrompt"), "Authorized use only");

    // The wired link goes: the network is lost, and the tunnel with it.
    labCommand("link eth0 down");
    ASSERT_TRUE(logged("Disconnecting VPN because we lost network connection")) << root.logText();
    ASSERT_TRUE(heard(tray, 4, {"disconnected", "none"})) << testing::PrintToString(vpnStates(tray));
    EXPECT_EQ(vpnStates(tray)[2], VpnState("disconnecting", "none"));

    // It comes back: the network connects again, and the tunnel follows by itself.
    labCommand("link eth0 up");
    ASSERT_TRUE(heard(tray, 6, {"connected", "none"}))
        << testing::PrintToString(vpnStates(tray)) << root.logText();
    EXPECT_EQ(vpnStates(tray)[4], VpnState("connecting", "none"));
    EXPECT_TRUE(logged("Attempting VPN connection: Office", 2)) << root.logText();

    // The gateway stops answering: its reason is reported with the tunnel it ends, then the tunnel is
    // down.
    labCommand("vpn drop Office");
    ASSERT_TRUE(heard(tray, 8, {"disconnected", "none"}))
        << testing::PrintToString(vpnStates(tray)) << root.logText();
    EXPECT_EQ(vpnStates(tray)[6], VpnState("connected", "The remote peer is no longer responding."));
    EXPECT_EQ(countOf(root.logText(), "Attempting VPN connection: Office"), 2)
        << "a dropped tunnel stays down";

    EXPECT_EQ(stopService(), 0);
    tray.join();
    expectNoFault(root.logText());
}

// A gateway that asks for a password: the tray programs are asked with the password setting's
// prompts, a program that connects later too, as long as nobody answered.
TEST_F(PasswordGatewayTest, TheTrayIsAskedForTheGatewaysCredentialsAndSoIsALaterOne) {
    PipeRecorder& first = listen();
    raiseLinkOnceLoggedOn();

    ASSERT_TRUE(waitFor([&] { return first.count("getVpnCredentialsRequest") == 1; })) << root.logText();
    PipeMessageBody request = first.named("getVpnCredentialsRequest")[0];
    EXPECT_EQ(request.child("usernamePrompt"), "Username");
    EXPECT_EQ(request.child("passwordPrompt"), "Password");
    EXPECT_THAT(vpnStates(first), ElementsAre(Pair("connecting", "none")));

    PipeRecorder& later = listen();
    ASSERT_TRUE(waitFor([&] { return later.count("getVpnCredentialsRequest") == 1; })) << root.logText();
    PipeMessageBody again = later.named("getVpnCredentialsRequest")[0];
    EXPECT_EQ(again.child("usernamePrompt"), "Username");
    EXPECT_EQ(again.child("passwordPrompt"), "Password");

    EXPECT_EQ(stopService(), 0);
    first.join();
    later.join();
    expectNoFault(root.logText());
}

}  // namespace
