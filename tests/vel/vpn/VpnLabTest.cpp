// The VPN client and the soft token over their stand-in libraries as the lab drives them: the lab's
// gateways, tokens and profile files, its run/lab commands, failures and calls record.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/dunmere/VpnService.h"
#include "platform/lab/Lab.h"
#include "platform/softtoken/TokenLibrary.h"
#include "tests/support/LabBuilder.h"
#include "tests/vel/vpn/VpnTestSupport.h"
#include "vel/vpn/ScSofToken2.h"
#include "vel/vpn/TamselVpnClient.h"
#include "vel/vpn/VpnClientEvent.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace tamsel::test {
namespace {

class VpnLabTest : public VpnTest {
protected:
    void SetUp() override {
        VpnTest::SetUp();
        dunmere::VpnService::instance().reset();
        softtoken::TokenLibrary::instance().setTokens({});
        softtoken::TokenLibrary::instance().reset();
        lab::Lab::instance().setManual(true);
        install(DUNMERE_LIBRARY);
        install(SOFTTOKEN_LIBRARY);
        labFile.add("vpnGateway", {{"profile", "Office"}, {"banner", "Authorized use only"}});
        labFile.add("vpnGateway", {{"profile", "Home"}, {"user", "alice"}, {"password", "secret"}});
        labFile.add("softToken", {{"user", "alice"}, {"pin", "1234"}, {"passcode", "9876543210987654"}});
        labFile.add("softToken", {{"user", "bob"}, {"pin", "1111"}, {"type", "7"}});
        labFile.add("softToken", {{"user", "carol"}, {"pin", "2222"}, {"pinExpired", "true"}});
    }
    void TearDown() override {
        client.reset();
        token.reset();
        lab::Lab& lab = lab::Lab::instance();
        while (lab.running()) lab.release();
        lab.setManual(false);
        base::clearFailures();
        lab::clearCalls();
        VpnTest::TearDown();
    }

    // Writes the lab and starts the client on it.
    void start() {
        labFile.writeTo(root.path() + "/lab.xml");
        client = TamselVpnClient::create(VpnClientConstants::INITIALIZE_API);
    }
    std::string command(const std::string& line) { return lab::Lab::instance().command(line); }
    bool called(const std::string& line) {
        std::vector<std::string> calls = lab::recordedCalls();
        return std::find(calls.begin(), calls.end(), line) != calls.end();
    }

    LabBuilder labFile;
    TamselVpnClient client;
    std::optional<ScSofToken2> token;
};

TEST_F(VpnLabTest, TheLabsGatewaysAreTheLibrarysProfiles) {
    start();
    ASSERT_TRUE(client.isApiInitialized());
    AsciiVector profiles = client.getVpnProfiles();
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < profiles.length(); ++i) names.emplace_back(profiles.get(i).text());
    std::sort(names.begin(), names.end());
    EXPECT_THAT(names, ElementsAre("Home", "Office"));

    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);
    ASSERT_EQ(client.connect("Office"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CONNECTED));
    ASSERT_TRUE(receiver.waitForBanner());
    EXPECT_THAT(receiver.banners(), ElementsAre("Authorized use only"));
    EXPECT_TRUE(called("vpn_api_init(0x10000) = 0"));
    EXPECT_TRUE(called("vpn_channel_init(channel#1, 0x6 -> 0x6, &callbacks) = 0"));
    EXPECT_TRUE(called("vpn_connect(channel#1, \"Office\", NULL, NULL, 0) = 0"));
    // A pump is recorded once it returns; the tracker has returned once joined.
    ASSERT_EQ(client.closeChannel(), VpnClientConstants::DONE);
    EXPECT_TRUE(called("vpn_process_events(channel#1, 5) = 0"));
    EXPECT_TRUE(called("vpn_channel_destroy(channel#1) = 0"));
}

TEST_F(VpnLabTest, RunLabDropsTunnelsAndStopsTheService) {
    start();
    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);
    ASSERT_EQ(client.connect("Office"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CONNECTED));
    EXPECT_EQ(command("vpn drop Office"), "ok");
    ASSERT_TRUE(receiver.waitFor(CLIENT_PEER_NOT_RESPONDING));
    EXPECT_EQ(command("vpn drop Office"), "error: no tunnel to Office");

    ASSERT_EQ(client.connect("Office"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CONNECTED));
    EXPECT_EQ(command("vpn drop Office VPN_ERROR_BY_ADMIN_COMMAND"), "ok");
    ASSERT_TRUE(receiver.waitFor(CLIENT_BY_ADMIN_COMMAND));
    EXPECT_EQ(command("vpn drop Office VPN_ERROR_TEA_TIME"), "error: no VPN error VPN_ERROR_TEA_TIME");
    EXPECT_THAT(command("vpn reboot"),
                HasSubstr("error: vpn drop <profile> [error], or vpn service up|down"));

    EXPECT_EQ(command("vpn service down"), "ok");
    EXPECT_EQ(client.connect("Office"), VpnClientConstants::CALL_FAILED);
    EXPECT_EQ(logged("vpn_connect failed with err VPN_ERROR_SERVICE_NOT_RUNNING (6)"), 1);
    // The stop reached the channel before it was closed.
    EXPECT_EQ(client.closeChannel(), VpnClientConstants::DONE);
    EXPECT_EQ(logged("in vpn STOP cb"), 1);
    EXPECT_EQ(client.openChannel(), VpnClientConstants::SERVICE_NOT_RUNNING);
    EXPECT_EQ(command("vpn service up"), "ok");
    EXPECT_EQ(client.openChannel(), VpnClientConstants::DONE);
}

TEST_F(VpnLabTest, AFailingChannelInitGivesTheResultOfItsError) {
    start();
    struct Case {
        const char* error;
        int result;
    };
    const std::vector<Case> cases = {{"4", VpnClientConstants::IPC_FAILURE},
                                     {"6", VpnClientConstants::SERVICE_NOT_RUNNING},
                                     {"7", VpnClientConstants::SERVICE_SHUTTING_DOWN},
                                     {"1", VpnClientConstants::CHANNEL_INIT_FAILED},
                                     {"13", VpnClientConstants::CHANNEL_INIT_FAILED}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        ASSERT_EQ(command(std::string("fail vpn_channel_init ") + c.error + " 1"), "ok");
        EXPECT_EQ(client.openChannel(), c.result);
        EXPECT_TRUE(called(std::string("vpn_channel_init(&channel, 0x6, &callbacks) = ") + c.error));
    }
    EXPECT_EQ(client.openChannel(), VpnClientConstants::DONE);
}

TEST_F(VpnLabTest, CredentialsAreRecordedBySecretLength) {
    start();
    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);
    ASSERT_EQ(client.connect("Home"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CRED_REQUEST));
    ASSERT_EQ(client.sendCredentials("alice", "secret"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CONNECTED));
    EXPECT_TRUE(called("vpn_auth_set_attribute(auth#1, 2, \"alice\") = 0"));
    EXPECT_TRUE(called("vpn_auth_set_attribute(auth#1, 4, <secret:6>) = 0"));
    EXPECT_TRUE(called("vpn_auth_respond(channel#1, auth#1, 0) = 0"));
}

TEST_F(VpnLabTest, AGatewayFailsWhereTheLabSays) {
    labFile.wiredAdapter(1, "eth0", {{"link", "down"}});
    labFile.add("vpnGateway", {{"profile", "Branch"},
                               {"error", "VPN_ERROR_HOSTNAME_LOOKUP_FAIL"},
                               {"failAt", "VPN_STATE_WAIT_PHASE2"}});
    labFile.add("vpnGateway", {{"profile", "Lab"}, {"requires", "eth0"}});
    start();
    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);
    ASSERT_EQ(client.connect("Branch"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_HOSTNAME_LOOKUP_FAIL));
    EXPECT_EQ(logged("in vpn client STATE_CHANGE cb state VPN_STATE_WAIT_PHASE2 "), 1);
    EXPECT_EQ(logged("in vpn client STATE_CHANGE cb state VPN_STATE_CONNECTED "), 0);

    // Behind a link that is down the gateway cannot be contacted; up, it can.
    ASSERT_EQ(client.connect("Lab"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_IKE_FAIL));
    EXPECT_EQ(command("set adapter friendly=eth0 link=up"), "ok");
    ASSERT_EQ(client.connect("Lab"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CONNECTED));
}

TEST_F(VpnLabTest, ABadLabStopsTheLibrarysStart) {
    labFile.add("vpnGateway", {{"profile", "Branch"}, {"failAt", "VPN_STATE_LATER"}});
    start();
    EXPECT_FALSE(client.isApiInitialized());
    EXPECT_EQ(logged("vpn_api_init error VPN_ERROR (1)"), 1);
    EXPECT_EQ(client.openChannel(), VpnClientConstants::API_NOT_INITIALIZED);
}

TEST_F(VpnLabTest, PasscodesComeFromTheLabsTokens) {
    start();
    token = ScSofToken2::create();
    ASSERT_TRUE(token->isAvailable());
    Ascii passcode;
    EXPECT_EQ(token->generate("alice", "1234", passcode), ScSofToken2Constants::GENERATED);
    EXPECT_STREQ(passcode.text(), "9876543210987654");
    EXPECT_EQ(token->generate("dave", "1234", passcode), ScSofToken2Constants::FAILED);
    EXPECT_EQ(
        logged("ScSofToken2Api : Failed to load data for user; error [-20]: No token data for user dave"), 1);
    EXPECT_TRUE(called("GetDESSilverPasswordSofTokLib(&passcode, 17, <secret:4>) = 0"));
    EXPECT_TRUE(called("ReadTokenDataSofTokLib(\"dave\") = -20"));

    // A token added while running is there for the next passcode; a failing write fails it.
    EXPECT_EQ(command("add softToken user=dave pin=1234 passcode=1111222233334444"), "ok");
    EXPECT_EQ(command("fail WriteTokenDataSofTokLib -20 1"), "ok");
    EXPECT_EQ(token->generate("dave", "1234", passcode), ScSofToken2Constants::FAILED);
    EXPECT_EQ(logged("ScSofToken2Api : Failed to save data for user; error [0]: "), 1);
    EXPECT_EQ(token->generate("dave", "1234", passcode), ScSofToken2Constants::GENERATED);
    EXPECT_STREQ(passcode.text(), "1111222233334444");
}

}  // namespace
}  // namespace tamsel::test
