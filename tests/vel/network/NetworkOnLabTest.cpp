#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/FakeLogonStatus.h"
#include "tests/vel/adapter/AdapterObjectTestSupport.h"
#include "tests/vel/network/FakeNetworkMatchmaker.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/adapter/VelAdapterConnection.h"
#include "vel/credmgr/Credential.h"
#include "vel/network/NetworkMachines.h"
#include "vel/network/NetworkMatchmaker.h"

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::Not;

namespace tamsel::test {
namespace {

using C = NetworkConstants;

// Networks with their real machines over real adapter objects on the lab's stand-in.
class NetworkOnLabTest : public AdapterObjectTest {
protected:
    void SetUp() override {
        AdapterObjectTest::SetUp();
        logonStatus.emplace();
        previousMaker = NetworkMachines::install();
        matchmaker = new FakeNetworkMatchmakerImpl;
        InstalledNetworkMatchmaker::install(matchmaker);
        VelAdapterConnectionImpl::install();
    }
    void TearDown() override {
        onEngine([&] {
            if (!network.isNull()) network.impl()->clearReferences();
            network.reset();
            matchmaker->attachAtOnce.reset();
        });
        InstalledNetworkMatchmaker::install(nullptr);
        VelAdapterConnectionImpl::uninstall();
        NetworkBehaviorMaker::set(previousMaker);
        matchmaker->release();
        logonStatus.reset();
        AdapterObjectTest::TearDown();
    }

    void startLabWith(const LabBuilder& builder, int adapterNumber) {
        startLab(builder);
        makeAdapter(adapterNumber);
        manageAdapter();
        matchmaker->attachAtOnce = adapter;
    }
    void makeNetwork(std::int32_t mediaType, const char* ssid, std::int32_t association,
                     std::int32_t encryption, const char* passPhrase = nullptr) {
        network = Network::create(Ascii("Office"));
        network.setMediaType(mediaType);
        network.setSsid(ByteArray(ssid));
        network.setAssociationMode(association);
        network.setEncryption(encryption);
        network.setConnectionTypes(C::CONNECTION_TYPES_MACHINE);
        if (passPhrase != nullptr)
            network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE)
                .setPasswordOrKeyCredential(Credential::newAsciiPsk(Ascii(passPhrase), ByteArray(ssid)));
    }
    std::int32_t accessState() {
        return static_cast<NetworkMachines&>(network.impl()->behavior()).accessMachine().state();
    }
    // Runs the lab and the engine until the access machine is in `state`, read on the engine's
    // thread: address attempts post their results from worker threads at any time.
    bool reaches(std::int32_t state) {
        auto deadline = std::chrono::steady_clock::now() + DEADLINE;
        while (std::chrono::steady_clock::now() < deadline) {
            settle();
            bool there = false;
            onEngine([&] { there = accessState() == state; });
            if (there) return true;
        }
        return false;
    }
    // The access machine's new-state lines, in order.
    std::vector<std::string> newStates() {
        std::vector<std::string> states;
        const std::string text = log();
        const std::string marker = "Network Office: AccessStateMachine new state = ";
        for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1)) {
            const std::size_t from = at + marker.size();
            states.push_back(text.substr(from, text.find('\n', from) - from));
        }
        return states;
    }

    std::optional<FakeLogonStatus> logonStatus;
    NetworkBehaviorMaker::Maker previousMaker;
    FakeNetworkMatchmakerImpl* matchmaker = nullptr;
    Network network;
};

LabBuilder threeRadios() {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0").wirelessAdapter(2, "wlan0").wirelessAdapter(3, "wlan1");
    builder.add("accessPoint", {{"ssid", "cafe"}, {"bssid", "02:aa:00:00:00:01"}});
    builder.add("accessPoint", {{"ssid", "home"},
                                {"bssid", "02:aa:00:00:00:02"},
                                {"security", "wpa2PersonalAes"},
                                {"passphrase", "correct horse battery"}});
    builder.add("dhcp", {{"on", "eth0"}, {"address", "192.0.2.10"}});
    builder.add("dhcp", {{"on", "cafe"}, {"address", "192.0.2.20"}});
    builder.add("dhcp", {{"on", "home"}, {"address", "192.0.2.21"}});
    return builder;
}

struct Attempt {
    int adapter;
    const char* ssid;
    std::int32_t association, encryption;
    const char* passPhrase;
};

const Attempt WIRED_OPEN = {1, "", 0, 1, nullptr};
const Attempt WIRELESS_OPEN = {2, "cafe", 1, 1, nullptr};
const Attempt WPA2_PERSONAL = {3, "home", 7, 4, "correct horse battery"};

class NetworkOnLabAttemptTest : public NetworkOnLabTest, public ::testing::WithParamInterface<Attempt> {};

TEST_P(NetworkOnLabAttemptTest, ReachesConnectedOverItsAdapter) {
    const Attempt& attempt = GetParam();
    startLabWith(threeRadios(), attempt.adapter);
    makeNetwork(attempt.adapter == 1 ? AdapterConstants::MEDIA_TYPE_8023 : AdapterConstants::MEDIA_TYPE_80211,
                attempt.ssid, attempt.association, attempt.encryption, attempt.passPhrase);
    onEngine([&] { network.start(); });
    EXPECT_TRUE(reaches(C::ACCESS_CONNECTED));
    EXPECT_THAT(matchmaker->calls, ElementsAreArray({"insert"}));
    // The matchmaker attaches inside START and the adapter answers inside CONNECT, so the inner
    // inputs announce every state once and the outer ones, ending where those left it, stay silent.
    const std::vector<std::string> wired = {"ACCESS_ATTACHED", "ACCESS_CONNECTING", "ACCESS_AUTHENTICATED",
                                            "ACCESS_CONNECTED"};
    const std::vector<std::string> wireless = {"ACCESS_ATTACHED", "ACCESS_ASSOCIATING", "ACCESS_CONNECTING",
                                               "ACCESS_AUTHENTICATED", "ACCESS_CONNECTED"};
    EXPECT_EQ(newStates(), attempt.adapter == 1 ? wired : wireless);
    EXPECT_THAT(log(), Not(HasSubstr("Internal error")));

    // What the network reports of its adapter is what that adapter is joined to right now.
    onEngine([&] {
        AdapterAttributesProxy attributes = network.getAdapterAttributes();
        ASSERT_TRUE(attributes.exists());
        EXPECT_EQ(attributes.value().media(), attempt.adapter == 1 ? AdapterConstants::MEDIA_TYPE_8023
                                                                    : AdapterConstants::MEDIA_TYPE_80211);
        AssociationInfoProxy association = network.getAssociationInfo();
        ASSERT_TRUE(association.exists());
        EXPECT_EQ(association.value().ssid(), ByteArray(attempt.ssid));
        EXPECT_GT(association.value().linkSpeed(), 0);
        ConnectionInfoProxy connection = network.getConnectionInfo();
        ASSERT_TRUE(connection.exists());
        EXPECT_GT(connection.value().ipAddress().length(), 0);
    });
}

TEST_F(NetworkOnLabTest, ANetworkWithNoAdapterReportsNoAdapterData) {
    startLabWith(threeRadios(), 1);
    makeNetwork(AdapterConstants::MEDIA_TYPE_8023, "", 0, 1);
    onEngine([&] {
        EXPECT_FALSE(network.getAdapterAttributes().exists());
        EXPECT_FALSE(network.getAssociationInfo().exists());
        EXPECT_FALSE(network.getConnectionInfo().exists());
    });
}

std::string attemptName(const ::testing::TestParamInfo<Attempt>& info) {
    const char* names[] = {"", "WiredOpen", "WirelessOpen", "Wpa2Personal"};
    return names[info.param.adapter];
}

INSTANTIATE_TEST_SUITE_P(Networks, NetworkOnLabAttemptTest,
                         ::testing::Values(WIRED_OPEN, WIRELESS_OPEN, WPA2_PERSONAL), attemptName);

// An open wired network for the machine and the user, connected for the machine: the user's logon
// and logoff each re-authenticate it, and with nothing to exchange it is connected again at once,
// long before its connection timer could drop it.
TEST_F(NetworkOnLabTest, LogonAndLogoffReconnectAnOpenNetworkAtOnce) {
    startLabWith(threeRadios(), 1);
    makeNetwork(AdapterConstants::MEDIA_TYPE_8023, "", 0, 1);
    network.setConnectionTypes(C::CONNECTION_TYPES_BOTH);
    onEngine([&] { network.start(); });
    ASSERT_TRUE(reaches(C::ACCESS_CONNECTED));

    for (std::int32_t request : {C::SET_USER_CREDS, C::SET_MACHINE_CREDS}) {
        SCOPED_TRACE(request);
        const std::size_t before = newStates().size();
        onEngine([&] { network.handleSsoRequest(request); });
        // The lab's clock stands still: only an answer, not a timer, can bring the network back. The
        // adapter answers inside REAUTH, so the inner inputs announce the states after CONNECTING.
        EXPECT_TRUE(reaches(C::ACCESS_CONNECTED));
        const std::vector<std::string> states = newStates();
        EXPECT_EQ(
            std::vector<std::string>(states.begin() + static_cast<std::ptrdiff_t>(before), states.end()),
            (std::vector<std::string>{"ACCESS_AUTHENTICATED", "ACCESS_CONNECTED"}));
    }
    EXPECT_EQ(countOf(log(), "Network Office: Starting the connection duration timer"), 3);
    EXPECT_EQ(countOf(log(), "Network Office: Clearing the connection duration timer"), 3);
    EXPECT_THAT(log(), Not(HasSubstr("Internal error")));
    EXPECT_THAT(matchmaker->calls, ElementsAreArray({"insert"}));
}

TEST_F(NetworkOnLabTest, AnAbsentAccessPointGivesTheAdapterBackWhenTheAssociationTimerRunsOut) {
    startLabWith(threeRadios(), 2);
    makeNetwork(AdapterConstants::MEDIA_TYPE_80211, "elsewhere", 1, 1);
    onEngine([&] { network.start(); });
    settle();
    ASSERT_EQ(accessState(), C::ACCESS_ASSOCIATING);
    advance(Network::getDefaultAssociationTimeout());
    EXPECT_THAT(log(), HasSubstr("Network Office: The association timer expired"));
    EXPECT_EQ(accessState(), C::ACCESS_STARTED);
    EXPECT_THAT(matchmaker->calls, ElementsAreArray({"insert", "unmatch"}));
}

TEST_F(NetworkOnLabTest, AWrongKeyGivesTheAdapterBackWhenTheConnectionTimerRunsOut) {
    startLabWith(threeRadios(), 3);
    makeNetwork(AdapterConstants::MEDIA_TYPE_80211, "home", 7, 4, "wrong horse battery");
    onEngine([&] { network.start(); });
    settle();
    settle();
    ASSERT_EQ(accessState(), C::ACCESS_CONNECTING);
    advance(Network::getDefaultConnectionTimeout());
    EXPECT_THAT(log(), HasSubstr("Network Office: The connection duration timer expired"));
    EXPECT_EQ(accessState(), C::ACCESS_STARTED);
    EXPECT_THAT(matchmaker->calls, ElementsAreArray({"insert", "unmatch"}));
}

}  // namespace
}  // namespace tamsel::test
