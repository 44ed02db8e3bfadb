#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dunmere/VpnService.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

using dunmere::Gateway;
using dunmere::VpnService;

// What the callbacks saw, one line each; a callback outside a pump is recorded as such.
std::mutex g_mutex;
std::vector<std::string> g_lines;
thread_local bool t_pumping = false;
VpnService* g_service = nullptr;
VpnChannel g_destroyInCallback = 0;

void record(std::string line) {
    if (!t_pumping) line = "outside pump: " + line;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lines.push_back(line);
}

void onConnect(const int* result, const char* banner) {
    record("connect " + std::to_string(*result) + (banner ? std::string(" ") + banner : ""));
}
void onDisconnect(int error) {
    record("disconnect " + std::to_string(error));
    if (g_destroyInCallback != 0) g_service->channelDestroy(g_destroyInCallback);
}
void onStateChange(int state, const int* error) {
    record("state " + std::to_string(state) + (error ? " " + std::to_string(*error) : ""));
}
void onAuth(VpnAuthHandle, std::uint32_t fields) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", fields);
    record(std::string("auth ") + text);
}
void onStop() {
    record("stop");
}

const VpnCallbacks CALLBACKS = {onConnect, onDisconnect, onStateChange, nullptr, onAuth, onStop};

Gateway gateway(const std::string& profile) {
    Gateway g;
    g.profile = profile;
    return g;
}

class VpnServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_lines.clear();
        g_service = &service;
        g_destroyInCallback = 0;
        service.setClock([this] { return clock; });
        ASSERT_EQ(service.apiInit(&version), VPN_OK);
    }

    VpnChannel open(std::uint32_t ask = VPN_PERMISSION_AUTH | VPN_PERMISSION_STATE_CHANGE) {
        VpnChannel channel = 0;
        std::uint32_t permissions = ask;
        EXPECT_EQ(service.channelInit(&channel, &permissions, &CALLBACKS), VPN_OK);
        granted = permissions;
        return channel;
    }

    // The lines a pump of the channel delivers.
    std::vector<std::string> pump(VpnChannel channel, int count = 0) {
        g_lines.clear();
        t_pumping = true;
        EXPECT_EQ(service.processEvents(channel, count), VPN_OK);
        t_pumping = false;
        return g_lines;
    }

    int connect(VpnChannel channel, const char* entry) {
        return service.connect(channel, entry, nullptr, nullptr, 0);
    }

    void answer(const std::string& user, const std::string& secret) {
        // Handles count from 1 in a fresh service.
        ASSERT_EQ(service.authSetAttribute(1, VPN_AUTH_ATTRIBUTE_USERNAME, user.c_str()), VPN_OK);
        ASSERT_EQ(service.authSetAttribute(1, VPN_AUTH_ATTRIBUTE_PASSWORD, secret.c_str()), VPN_OK);
    }

    VpnService service;
    std::chrono::milliseconds clock{1000};
    std::uint32_t version = VPN_API_VERSION;
    std::uint32_t granted = 0;
};

TEST_F(VpnServiceTest, AConnectWalksToTheGatewayAsItIsDescribed) {
    struct Case {
        const char* name;
        Gateway gateway;
        std::vector<std::string> untilAsked;
        const char* user;  // null: nothing is asked
        const char* secret;
        std::vector<std::string> afterAnswer;
    };
    Gateway open = gateway("Office");
    Gateway password = gateway("Office");
    password.user = "alice";
    password.secret = "secret";
    Gateway token = password;
    token.token = true;
    token.secret = "1234567890123456";
    Gateway banner = gateway("Office");
    banner.banner = "Authorized use only";
    Gateway ikeFails = gateway("Office");
    ikeFails.error = VPN_ERROR_IKE_FAIL;
    Gateway failsLate = password;
    failsLate.error = VPN_ERROR_PEER_NOT_RESPONDING;
    failsLate.failAt = VPN_STATE_WAIT_PHASE2;
    const std::vector<std::string> connected = {"state 5", "state 6", "state 7", "connect 0"};
    const std::vector<Case> cases = {
        {"asks nothing",
         open,
         {"state 3", "state 5", "state 6", "state 7", "connect 0"},
         nullptr,
         nullptr,
         {}},
        {"password", password, {"state 3", "state 4", "auth 0x6"}, "alice", "secret", connected},
        {"wrong password",
         password,
         {"state 3", "state 4", "auth 0x6"},
         "alice",
         "guess",
         {"connect 26", "state 0 26", "disconnect 26"}},
        {"wrong user",
         password,
         {"state 3", "state 4", "auth 0x6"},
         "bob",
         "secret",
         {"connect 26", "state 0 26", "disconnect 26"}},
        {"token", token, {"state 3", "state 4", "auth 0xa"}, "alice", "1234567890123456", connected},
        {"banner",
         banner,
         {"state 3", "state 5", "state 6", "state 7", "connect 0 Authorized use only"},
         nullptr,
         nullptr,
         {}},
        {"fails at once",
         ikeFails,
         {"state 3", "connect 17", "state 0 17", "disconnect 17"},
         nullptr,
         nullptr,
         {}},
        {"fails after the answer",
         failsLate,
         {"state 3", "state 4", "auth 0x6"},
         "alice",
         "secret",
         {"state 5", "state 6", "connect 21", "state 0 21", "disconnect 21"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service.reset();
        service.setGateways({c.gateway});
        ASSERT_EQ(service.apiInit(&version), VPN_OK);
        VpnChannel channel = this->open();
        ASSERT_EQ(connect(channel, "Office"), VPN_OK);
        EXPECT_THAT(pump(channel), ElementsAreArray(c.untilAsked));
        if (c.user == nullptr) continue;
        answer(c.user, c.secret);
        EXPECT_EQ(service.authRespond(channel, 1, 0), VPN_OK);
        EXPECT_THAT(pump(channel), ElementsAreArray(c.afterAnswer));
        // An answer is taken once.
        EXPECT_EQ(service.authRespond(channel, 1, 0), VPN_ERROR_BAD_PARAM);
    }
}

TEST_F(VpnServiceTest, CallsAreRefusedWithTheLibrarysCodes) {
    service.setGateways({gateway("Office")});
    VpnChannel channel = open();
    EXPECT_EQ(connect(channel, "Home"), VPN_ERROR_NOT_A_PROFILE);
    EXPECT_EQ(connect(channel + 1, "Office"), VPN_ERROR_BAD_PARAM);
    EXPECT_EQ(connect(channel, nullptr), VPN_ERROR_BAD_PARAM);
    EXPECT_EQ(service.connect(channel, "Office", "alice", nullptr, 0), VPN_ERROR_BAD_PARAM);
    EXPECT_EQ(service.disconnect(channel), VPN_ERROR_NOT_CONNECTED);
    EXPECT_EQ(service.acknowledgeBanner(channel, 1), VPN_ERROR_BAD_PARAM);
    EXPECT_EQ(service.authSetAttribute(1, VPN_AUTH_ATTRIBUTE_USERNAME, "alice"), VPN_ERROR_BAD_PARAM);
    EXPECT_EQ(service.processEvents(channel + 1, 0), VPN_ERROR_BAD_PARAM);

    Gateway slow = gateway("Office");
    slow.delayMs = 100;
    service.setGateways({slow});
    ASSERT_EQ(connect(channel, "Office"), VPN_OK);
    EXPECT_EQ(connect(channel, "Office"), VPN_ERROR_ALREADY_CONNECTING);
    clock += std::chrono::milliseconds(400);
    EXPECT_THAT(pump(channel), ElementsAre("state 3", "state 5", "state 6", "state 7", "connect 0"));
    EXPECT_EQ(connect(channel, "Office"), VPN_ERROR_ALREADY_CONNECTED);

    EXPECT_EQ(service.apiDestroy(), VPN_OK);
    EXPECT_EQ(service.apiDestroy(), VPN_ERROR);
    VpnChannel another = 0;
    std::uint32_t permissions = VPN_PERMISSION_AUTH;
    EXPECT_EQ(service.channelInit(&another, &permissions, &CALLBACKS), VPN_ERROR);
    std::uint32_t asked = VPN_API_VERSION;
    EXPECT_EQ(service.apiInit(nullptr), VPN_ERROR_BAD_PARAM);
    EXPECT_EQ(service.apiInit(&asked), VPN_OK);
    EXPECT_EQ(service.channelInit(&another, nullptr, &CALLBACKS), VPN_ERROR_BAD_PARAM);
}

TEST_F(VpnServiceTest, StepsFallDueOnTheClockAndOnlyInsideAPump) {
    Gateway slow = gateway("Office");
    slow.delayMs = 100;
    service.setGateways({slow});
    VpnChannel channel = open();
    ASSERT_EQ(connect(channel, "Office"), VPN_OK);
    EXPECT_THAT(pump(channel), IsEmpty());
    clock += std::chrono::milliseconds(100);
    EXPECT_THAT(pump(channel), ElementsAre("state 3"));
    clock += std::chrono::milliseconds(250);
    EXPECT_THAT(pump(channel), ElementsAre("state 5", "state 6"));
    g_lines.clear();
    EXPECT_EQ(service.disconnect(channel), VPN_OK);
    clock += std::chrono::milliseconds(1000);
    // Nothing came outside a pump, and the dropped plan does not come back.
    EXPECT_THAT(g_lines, IsEmpty());
    EXPECT_THAT(pump(channel), ElementsAre("state 0", "disconnect 0"));
}

TEST_F(VpnServiceTest, APumpWaitsAtMostItsCountOfTenMilliseconds) {
    VpnChannel channel = open();
    auto start = std::chrono::steady_clock::now();
    EXPECT_THAT(pump(channel, 5), IsEmpty());
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(50));
    EXPECT_LT(waited, std::chrono::milliseconds(1000));
}

TEST_F(VpnServiceTest, APumpReturnsAsSoonAsAnotherThreadQueuesACallback) {
    service.setGateways({gateway("Office")});
    VpnChannel channel = open();
    ASSERT_EQ(connect(channel, "Office"), VPN_OK);
    pump(channel);
    std::thread dropper([this] { service.drop("Office", VPN_ERROR_PEER_NOT_RESPONDING); });
    // A long wait ends with the drop, well before its count runs out.
    auto start = std::chrono::steady_clock::now();
    std::vector<std::string> lines;
    while (lines.empty() && std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        lines = pump(channel, 1000);
    }
    dropper.join();
    EXPECT_THAT(lines, ElementsAre("state 0 21", "disconnect 21"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(VpnServiceTest, DropsAndTheServiceGoingDownEndTheTunnel) {
    Gateway password = gateway("Office");
    password.user = "alice";
    password.secret = "secret";
    service.setGateways({gateway("Home"), password});
    VpnChannel channel = open();

    EXPECT_FALSE(service.drop("Home", VPN_ERROR_PEER_NOT_RESPONDING));
    ASSERT_EQ(connect(channel, "Home"), VPN_OK);
    pump(channel);
    EXPECT_FALSE(service.drop("Office", VPN_ERROR_PEER_NOT_RESPONDING));
    EXPECT_TRUE(service.drop("Home", VPN_ERROR_PEER_NOT_RESPONDING));
    EXPECT_THAT(pump(channel), ElementsAre("state 0 21", "disconnect 21"));

    // An attempt still waiting for its answer ends through the connect callback.
    ASSERT_EQ(connect(channel, "Office"), VPN_OK);
    pump(channel);
    EXPECT_TRUE(service.drop("Office", VPN_ERROR_BY_ADMIN_COMMAND));
    EXPECT_THAT(pump(channel), ElementsAre("connect 33", "state 0 33", "disconnect 33"));

    ASSERT_EQ(connect(channel, "Home"), VPN_OK);
    pump(channel);
    service.setServiceRunning(false);
    EXPECT_THAT(pump(channel), ElementsAre("state 0 7", "disconnect 7", "stop"));
    EXPECT_EQ(connect(channel, "Home"), VPN_ERROR_SERVICE_NOT_RUNNING);
    VpnChannel another = 0;
    std::uint32_t permissions = VPN_PERMISSION_AUTH;
    EXPECT_EQ(service.channelInit(&another, &permissions, &CALLBACKS), VPN_ERROR_SERVICE_NOT_RUNNING);
    service.setServiceRunning(true);
    EXPECT_EQ(connect(channel, "Home"), VPN_OK);
}

TEST_F(VpnServiceTest, ABannerIsAnsweredOnceAndARefusalEndsTheTunnel) {
    Gateway banner = gateway("Office");
    banner.banner = "Authorized use only";
    service.setGateways({banner});
    VpnChannel channel = open();
    ASSERT_EQ(connect(channel, "Office"), VPN_OK);
    pump(channel);
    EXPECT_EQ(service.acknowledgeBanner(channel, 1), VPN_OK);
    EXPECT_EQ(service.acknowledgeBanner(channel, 1), VPN_ERROR_BAD_PARAM);
    EXPECT_THAT(pump(channel), IsEmpty());
    ASSERT_EQ(service.disconnect(channel), VPN_OK);
    pump(channel);

    ASSERT_EQ(connect(channel, "Office"), VPN_OK);
    pump(channel);
    EXPECT_EQ(service.acknowledgeBanner(channel, 0), VPN_OK);
    EXPECT_THAT(pump(channel), ElementsAre("state 0 11", "disconnect 11"));
}

TEST_F(VpnServiceTest, AChannelGetsWhatItsPermissionsAllow) {
    Gateway stateOnly = gateway("Office");
    stateOnly.user = "alice";
    stateOnly.permissions = VPN_PERMISSION_STATE_CHANGE;
    service.setGateways({stateOnly});
    VpnChannel channel = open();
    EXPECT_EQ(granted, VPN_PERMISSION_STATE_CHANGE);
    VpnChannel authOnly = open(VPN_PERMISSION_AUTH);
    EXPECT_EQ(granted, 0u);
    ASSERT_EQ(connect(channel, "Office"), VPN_OK);
    EXPECT_THAT(pump(channel), ElementsAre("state 3", "state 4"));
    EXPECT_THAT(pump(authOnly), IsEmpty());
}

TEST_F(VpnServiceTest, NoCallbackFollowsTheDestructionOfItsChannel) {
    service.setGateways({gateway("Office")});
    VpnChannel channel = open();
    VpnChannel other = open();
    ASSERT_EQ(connect(channel, "Office"), VPN_OK);
    EXPECT_EQ(service.channelDestroy(channel), VPN_OK);
    EXPECT_EQ(service.channelDestroy(channel), VPN_ERROR_BAD_PARAM);
    EXPECT_EQ(service.processEvents(channel, 0), VPN_ERROR_BAD_PARAM);

    // Destroyed from inside its own callback: the rest of its queue is dropped.
    pump(other);
    ASSERT_EQ(service.disconnect(other), VPN_OK);
    ASSERT_EQ(connect(other, "Office"), VPN_OK);
    g_destroyInCallback = other;
    EXPECT_THAT(pump(other), ElementsAre("state 0", "disconnect 0"));
    EXPECT_EQ(service.processEvents(other, 0), VPN_ERROR_BAD_PARAM);
}

}  // namespace
}  // namespace tamsel::test
