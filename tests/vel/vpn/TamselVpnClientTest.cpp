#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/base/Win32Error.h"
#include "platform/dunmere/VpnService.h"
#include "tests/vel/vpn/VpnTestSupport.h"
#include "vel/vpn/TamselVpnClient.h"
#include "vel/vpn/VpnClientEvent.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

namespace tamsel::test {
namespace {

using dunmere::Gateway;
using dunmere::VpnService;

Gateway gateway(const std::string& profile) {
    Gateway g;
    g.profile = profile;
    return g;
}

class TamselVpnClientTest : public VpnTest {
protected:
    void SetUp() override {
        VpnTest::SetUp();
        VpnService::instance().reset();
        VpnService::instance().setClock(nullptr);
        VpnService::instance().setGateways({gateway("Office")});
    }
    void TearDown() override {
        client.reset();
        base::clearFailures();
        VpnTest::TearDown();
    }

    void create(int flag = VpnClientConstants::INITIALIZE_API) {
        client.reset();
        client = TamselVpnClient::create(flag);
    }

    TamselVpnClient client;
};

TEST_F(TamselVpnClientTest, WithoutTheLibraryTheApiIsNotInitialisedAndOperationsGiveTwo) {
    create();
    EXPECT_EQ(logged("Error loading library dunmere.dll"), 1);
    EXPECT_FALSE(client.isApiInitialized());
    EXPECT_EQ(client.openChannel(), VpnClientConstants::API_NOT_INITIALIZED);
    EXPECT_EQ(client.connect("Office"), VpnClientConstants::API_NOT_INITIALIZED);
    EXPECT_EQ(client.disconnect(), VpnClientConstants::API_NOT_INITIALIZED);
    EXPECT_EQ(client.closeChannel(), VpnClientConstants::API_NOT_INITIALIZED);
    client.acknowledgeBanner(true);
    EXPECT_EQ(logged("-ConnectCB- vpn dll not loaded"), 1);
    client.reset();
    EXPECT_EQ(logged("VPN API destroyed"), 0);
    EXPECT_THAT(receiver.takeEvents(), IsEmpty());
}

TEST_F(TamselVpnClientTest, OpeningAChannelGivesTheResultOfWhatTheLibraryGrants) {
    install(DUNMERE_LIBRARY);
    struct Case {
        const char* name;
        int flag;
        std::uint32_t permissions;
        bool serviceRunning;
        int result;
        const char* line;
    };
    const std::vector<Case> cases = {
        {"granted", 1, 6, true, VpnClientConstants::DONE, "Initialized vpnchannel "},
        {"no AUTH", 1, 4, true, VpnClientConstants::AUTH_DENIED,
         "vpn_channel DENIED permission to get AUTH notifications"},
        {"no STATE_CHANGE", 1, 2, true, VpnClientConstants::DONE,
         "vpn_channel DENIED permission to get STATE_CHANGE notifications"},
        {"service down", 1, 6, false, VpnClientConstants::SERVICE_NOT_RUNNING,
         "vpn_channel_init error VPN_ERROR_SERVICE_NOT_RUNNING (6)"},
        {"not initialised", 0, 6, true, VpnClientConstants::API_NOT_INITIALIZED,
         "Loaded Library dunmere.dll"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        client.reset();
        VpnService::instance().reset();
        Gateway g = gateway("Office");
        g.permissions = c.permissions;
        VpnService::instance().setGateways({g});
        VpnService::instance().setServiceRunning(c.serviceRunning);
        int before = logged(c.line);
        create(c.flag);
        EXPECT_EQ(client.openChannel(), c.result);
        EXPECT_EQ(logged(c.line), before + 1);
        // A channel is open exactly when the result says so; opening again keeps it.
        bool open = c.result == VpnClientConstants::DONE;
        EXPECT_EQ(client.connect("Office"), open     ? VpnClientConstants::DONE
                                            : c.flag ? VpnClientConstants::NO_CHANNEL
                                                     : VpnClientConstants::API_NOT_INITIALIZED);
        if (open) {
            EXPECT_EQ(client.openChannel(), VpnClientConstants::DONE);
        }
        VpnService::instance().setServiceRunning(true);
    }
    // The refused channel was closed at once.
    EXPECT_EQ(logged("Destroyed vpn vpnchannel "), 3);
}

TEST_F(TamselVpnClientTest, ATunnelComesUpAndGoesDownThroughTheCallbacks) {
    install(DUNMERE_LIBRARY);
    Gateway g = gateway("Office");
    g.banner = "Authorized use only";
    VpnService::instance().setGateways({g});
    create();
    EXPECT_EQ(logged("VPN API initialized. Version 10000"), 1);
    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);
    ASSERT_EQ(client.connect("Office"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CONNECTED));
    ASSERT_TRUE(receiver.waitForBanner());
    EXPECT_THAT(receiver.takeEvents(),
                ElementsAre(CLIENT_CONNECTING, CLIENT_CONNECTING, CLIENT_CONNECTING, CLIENT_CONNECTED));
    EXPECT_THAT(receiver.banners(), ElementsAre("Authorized use only"));
    EXPECT_EQ(logged("Attempting connection to Office"), 1);
    EXPECT_EQ(logged("-ConnectCB- Banner request : Authorized use only"), 1);
    EXPECT_EQ(logged("in vpn client STATE_CHANGE cb state VPN_STATE_CONNECTED "), 1);
    client.acknowledgeBanner(true);

    ASSERT_EQ(client.disconnect(), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_DISCONNECTED));
    EXPECT_EQ(client.disconnect(), VpnClientConstants::CALL_FAILED);
    EXPECT_EQ(logged("vpn_disconnect failed with err VPN_ERROR_NOT_CONNECTED (8) "), 1);
}

TEST_F(TamselVpnClientTest, CredentialsAnswerTheGatewaysRequest) {
    install(DUNMERE_LIBRARY);
    Gateway g = gateway("Office");
    g.user = "alice";
    g.secret = "secret";
    VpnService::instance().setGateways({g});
    create();
    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);

    ASSERT_EQ(client.connect("Office"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CRED_REQUEST));
    EXPECT_EQ(client.sendCredentials("alice", "guess"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CRED_FAILURE));
    // The request's callback has returned once a later one ran.
    EXPECT_EQ(logged("in vpn AUTH cb"), 1);
    EXPECT_EQ(logged("UserName"), 1);
    EXPECT_EQ(logged("Password"), 1);
    EXPECT_EQ(logged("vpn_connect_cb err VPN_ERROR_USER_AUTH_FAILED (26)"), 1);
    // A stale request is refused by the library.
    EXPECT_EQ(client.sendCredentials("alice", "secret"), VpnClientConstants::SET_ATTRIBUTE_FAILED);
    EXPECT_EQ(logged("vpn_auth_set_attribute err 2 "), 1);

    receiver.takeEvents();
    ASSERT_EQ(client.connect("Office"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CRED_REQUEST));
    EXPECT_EQ(client.sendCredentials("alice", "secret"), VpnClientConstants::DONE);
    EXPECT_EQ(logged("Sent credentials successfully to vpn"), 2);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CONNECTED));
    EXPECT_THAT(receiver.takeEvents(), Not(Contains(CLIENT_CRED_FAILURE)));
}

TEST_F(TamselVpnClientTest, FailuresArriveAsTheEventsOfTheirErrors) {
    install(DUNMERE_LIBRARY);
    Gateway unreachable = gateway("Office");
    unreachable.error = VPN_ERROR_IKE_FAIL;
    VpnService::instance().setGateways({unreachable, gateway("Home")});
    create();
    EXPECT_EQ(client.connect("Office"), VpnClientConstants::NO_CHANNEL);
    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);

    EXPECT_EQ(client.connect("Branch"), VpnClientConstants::CALL_FAILED);
    EXPECT_EQ(logged("vpn_connect failed with err VPN_ERROR_NOT_A_PROFILE (3)"), 1);

    ASSERT_EQ(client.connect("Office"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_IKE_FAIL));
    EXPECT_EQ(logged("vpn_connect_cb err VPN_ERROR_IKE_FAIL (17)"), 1);
    // Going idle from an attempt is a plain disconnect.
    ASSERT_TRUE(receiver.waitFor(CLIENT_DISCONNECTED));
    receiver.takeEvents();

    // A drop of an up tunnel is its error.
    ASSERT_EQ(client.connect("Home"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CONNECTED));
    ASSERT_TRUE(VpnService::instance().drop("Home", VPN_ERROR_PEER_NOT_RESPONDING));
    ASSERT_TRUE(receiver.waitFor(CLIENT_PEER_NOT_RESPONDING));
    // Closing joins the tracker: every callback has run.
    ASSERT_EQ(client.closeChannel(), VpnClientConstants::DONE);
    EXPECT_EQ(logged("vpn client STATE_CHANGE cb err VPN_ERROR_PEER_NOT_RESPONDING (21)"), 1);
    EXPECT_EQ(logged("in vpn DISCONNECT cb err VPN_ERROR_PEER_NOT_RESPONDING (21)"), 1);
    EXPECT_THAT(receiver.takeEvents(), Not(Contains(CLIENT_DISCONNECTED)));

    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);
    VpnService::instance().setServiceRunning(false);
    EXPECT_EQ(client.connect("Home"), VpnClientConstants::CALL_FAILED);
    EXPECT_EQ(logged("vpn_connect failed with err VPN_ERROR_SERVICE_NOT_RUNNING (6)"), 1);
}

TEST_F(TamselVpnClientTest, TheTrackerStartsAgainAfterItsChannelWasClosed) {
    install(DUNMERE_LIBRARY);
    create();
    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);
    ASSERT_EQ(client.connect("Office"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CONNECTED));
    EXPECT_EQ(client.closeChannel(), VpnClientConstants::DONE);
    EXPECT_EQ(client.closeChannel(), VpnClientConstants::DONE);
    EXPECT_EQ(logged("Exiting channel tracker thread "), 1);
    EXPECT_EQ(logged("Destroyed vpn vpnchannel "), 1);
    receiver.takeEvents();

    // Nothing of a closed channel reaches the engine; a new channel hears the tunnel again.
    ASSERT_TRUE(VpnService::instance().drop("Office", VPN_ERROR_PEER_NOT_RESPONDING));
    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);
    ASSERT_EQ(client.connect("Office"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CONNECTED));
    EXPECT_EQ(logged("Starting channel tracker thread "), 2);
    EXPECT_THAT(receiver.takeEvents(), Not(Contains(CLIENT_PEER_NOT_RESPONDING)));
}

TEST_F(TamselVpnClientTest, ReleasingTheClientClosesTheChannelAndEndsTheApi) {
    install(DUNMERE_LIBRARY);
    create();
    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);
    client.impl()->clearReferences();
    EXPECT_FALSE(client.isApiInitialized());
    EXPECT_EQ(logged("Exiting channel tracker thread "), 1);
    EXPECT_EQ(logged("Destroyed vpn vpnchannel "), 1);
    EXPECT_EQ(logged("VPN API destroyed"), 1);
    client.reset();
    EXPECT_EQ(logged("VPN API destroyed"), 1);
    EXPECT_EQ(logged("Unloaded Library dunmere.dll"), 1);
}

TEST_F(TamselVpnClientTest, EntryPointsAreLookedUpAtEachCall) {
    install(DUNMERE_LIBRARY);
    create();
    // No tracker runs yet: the one lookup that fails is the channel's.
    base::failNext("GetProcAddress", base::win32::ERROR_PROC_NOT_FOUND, 1);
    EXPECT_EQ(client.openChannel(), VpnClientConstants::CHANNEL_INIT_FAILED);
    EXPECT_EQ(logged("GetProcAddress failed for vpn_channel_init"), 1);
    EXPECT_EQ(logged("vpn_channel_init error VPN_ERROR (1)"), 1);

    ASSERT_EQ(client.openChannel(), VpnClientConstants::DONE);
    // The tracker looks its entry up too, so every lookup fails for the moment of the connect.
    base::failNext("GetProcAddress", base::win32::ERROR_PROC_NOT_FOUND, 0);
    int result = client.connect("Office");
    base::clearFailures();
    EXPECT_EQ(result, VpnClientConstants::CALL_FAILED);
    EXPECT_EQ(logged("GetProcAddress failed for vpn_connect"), 1);
    EXPECT_EQ(logged("vpn_connect failed with err VPN_ERROR (1)"), 1);
    ASSERT_EQ(client.connect("Office"), VpnClientConstants::DONE);
    ASSERT_TRUE(receiver.waitFor(CLIENT_CONNECTED));

    base::failNext("FreeLibrary", base::win32::ERROR_INVALID_HANDLE, 1);
    client.reset();
    EXPECT_EQ(logged("Error unloading dll dunmere.dll"), 1);
}

TEST_F(TamselVpnClientTest, ProfilesAreTheProfileFilesWithoutTheirExtension) {
    create();
    EXPECT_EQ(client.getVpnProfiles().length(), 0);
    std::filesystem::path folder = std::filesystem::path(root.path()) / "c" / "Program Files" /
                                   "Varnel Systems" / "VPN Client" / "Profiles";
    std::filesystem::create_directories(folder);
    for (const char* name : {"Office.pcf", "Home Office.pcf", ".pcf", "notes.txt", "Office.pcf.bak"})
        std::ofstream(folder / name).put('\n');
    AsciiVector profiles = client.getVpnProfiles();
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < profiles.length(); ++i) names.emplace_back(profiles.get(i).text());
    std::sort(names.begin(), names.end());
    EXPECT_THAT(names, ElementsAre("Home Office", "Office"));
}

}  // namespace
}  // namespace tamsel::test
