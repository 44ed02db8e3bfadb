// The connection requests steer the configuration and the matchmaker: the connection mode,
// connecting and disconnecting, the radio, the client, packet capture, and the queries for the
// scan list, the service state and the administrator's policy.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/ipcmsghandlers/HandlerTestSupport.h"
#include "vel/configuration/EapMethod.h"
#include "vel/ipcmsghandlers/NetworkView.h"
#include "vel/network/Association.h"

using namespace tamsel::test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// An adapter that records its capture calls and starts capturing as told.
class FakeAdapterImpl : public ReferenceImpl, public ConnApiAdapterInterface {
public:
    REFERENCE_IMPL_FORWARDS

    FakeAdapterImpl(const char* name, bool starts, std::vector<std::string>& calls)
        : m_name(name), m_starts(starts), m_calls(calls) {}

    Ascii adapterName() override { return m_name; }
    bool enablePacketCapture() override {
        m_calls.push_back(std::string("enable ") + m_name.text());
        return m_starts;
    }
    void disablePacketCapture() override { m_calls.push_back(std::string("disable ") + m_name.text()); }
    LocationCapabilities locationCapabilities() override { return LocationCapabilities(); }
    bool requestLocation(const LocationRequest&) override { return false; }

private:
    Ascii m_name;
    bool m_starts;
    std::vector<std::string>& m_calls;
};

class ConnectionHandlersTest : public HandlerTest {
protected:
    void hold(const char* name, bool starts) {
        auto* p = new FakeAdapterImpl(name, starts, captureCalls);
        engine.heldAdapters.emplace_back(static_cast<ConnApiAdapterInterface*>(p));
        p->release();
    }
    // The children's texts of the reply's container.
    static std::vector<std::string> items(const SharedXmlNode& container) {
        std::vector<std::string> texts;
        for (SharedXmlNode c = container.firstChild(); c.isNonNull(); c = c.nextSibling()) {
            if (c.isElement()) texts.emplace_back(c.content() != nullptr ? c.content() : "");
        }
        return texts;
    }

    std::vector<std::string> captureCalls;
};

TEST_F(ConnectionHandlersTest, ConnectionModeFollowsConnectAndDisconnect) {
    SentMessage automatic = ask("getConnectionModeRequest");
    EXPECT_EQ(automatic.child("connectionMode"), "auto");
    EXPECT_FALSE(automatic.has("groupName"));
    EXPECT_FALSE(automatic.has("networkName"));

    // Automatic: the matchmaker takes the network, and every network of the group is re-evaluated.
    EXPECT_EQ(ask("connectToNetworkRequest", tag("networkName", "Wired GTC") + tag("connectionMode", "auto"))
                  .child("networkName"),
              "Wired GTC");
    EXPECT_THAT(matchmaker->takeCalls(), ElementsAre("addNetwork Wired GTC"));
    EXPECT_THAT(networks->takeCalls(), ::testing::Contains("disconnect Corp TLS"));
    EXPECT_EQ(configuration.connectionMode(), ConfigurationImpl::MODE_AUTOMATIC);

    // Manual: that network alone runs.
    EXPECT_EQ(outcome("connectToNetworkRequest", tag("networkName", "Corp TLS")), "reply");
    SentMessage manual = ask("getConnectionModeRequest");
    EXPECT_EQ(manual.child("connectionMode"), "manual");
    EXPECT_EQ(manual.child("groupName"), "Office");
    EXPECT_EQ(manual.child("networkName"), "Corp TLS");
    std::vector<std::string> calls = networks->takeCalls();
    EXPECT_THAT(calls, ::testing::Contains("stop Wired GTC"));
    EXPECT_EQ(calls.back(), "start Corp TLS");

    EXPECT_EQ(outcome("connectToNetworkRequest", tag("networkName", "Nothing")), "4");
    EXPECT_EQ(outcome("connectToNetworkRequest", tag("networkName", "Home WPA")), "4")
        << "not in the active group";

    // Disconnected, nothing reconnects until automatic mode is asked for.
    EXPECT_EQ(ask("disconnectRequest").name(), "disconnectResponse");
    EXPECT_THAT(networks->takeCalls(), ElementsAre("stop Corp TLS"));
    SentMessage disconnected = ask("getConnectionModeRequest");
    EXPECT_EQ(disconnected.child("connectionMode"), "manual");
    EXPECT_FALSE(disconnected.has("networkName"));
    EXPECT_EQ(ask("enableAutoconnectRequest").name(), "enableAutoconnectResponse");
    EXPECT_THAT(networks->takeCalls(), ::testing::Contains("start Corp TLS"));
    EXPECT_EQ(ask("getConnectionModeRequest").child("connectionMode"), "auto");
}

TEST_F(ConnectionHandlersTest, WithoutActiveGroupConnectAndScanListFail) {
    Configuration empty = Configuration::create("empty");
    engine.activeConfiguration = empty;
    EXPECT_EQ(outcome("connectToNetworkRequest", tag("networkName", "Corp TLS")), "3");
    EXPECT_EQ(outcome("getScanListRequest"), "8");
    EXPECT_EQ(outcome("getActiveGroupRequest"), "8");
    EXPECT_EQ(ask("getGroupsRequest").text().find("<groupName>"), std::string::npos);
    engine.activeConfiguration = configuration;
    empty.impl()->clearReferences();
}

TEST_F(ConnectionHandlersTest, RadioAndClientFlagsReachTheServiceState) {
    struct Case {
        const char* request;
        const char* reply;
        const char* clientEnabled;
        const char* radioEnabled;
    };
    const Case cases[] = {
        {"turnOffRadioRequest", "turnOffRadioResponse", "true", "false"},
        {"turnOnRadioRequest", "turnOnRadioResponse", "true", "true"},
        {"disableTamselRequest", "disableTamselResponse", "false", "true"},
        {"turnOffRadioRequest", "turnOffRadioResponse", "false", "false"},
        {"enableTamselRequest", "enableTamselResponse", "true", "true"},
    };
    LogCapture log;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        EXPECT_EQ(ask(c.request).name(), c.reply);
        SentMessage state = ask("getServiceStateRequest");
        EXPECT_EQ(state.child("tamselEnabled"), c.clientEnabled);
        EXPECT_EQ(state.child("radioEnabled"), c.radioEnabled);
    }
    EXPECT_TRUE(log.contains("Disabling Client")) << log.text();
    EXPECT_TRUE(log.contains("Enabling Client")) << log.text();
}

TEST_F(ConnectionHandlersTest, ScanListIsShownUnlessTheActiveGroupHidesIt) {
    ElementVector modes = ElementVector::create();
    Association wpa2 = Association::create(7, 4);
    modes.add(wpa2.m);
    const std::uint8_t bssid[6] = {0x00, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f};
    Ssid home = Ssid::create("home", ByteArray(bssid, 6), 0, modes, 0, 6, -52, 30, 0, LocationCapabilities());
    ElementVector list = ElementVector::create();
    list.add(home.m);
    scanList->setScanList(list);

    SentMessage shown = ask("getScanListRequest");
    EXPECT_THAT(shown.text(), HasSubstr("<ssid>home</ssid>"));
    EXPECT_THAT(shown.text(), HasSubstr("<bssid>001b2c3d4e5f</bssid>"));

    ASSERT_EQ(outcome("setActiveGroupRequest", tag("groupName", "Home")), "reply");
    SentMessage hidden = ask("getScanListRequest");
    EXPECT_THAT(hidden.text(), HasSubstr("<nadList type=\"array\"/>"));
}

TEST_F(ConnectionHandlersTest, ResentNetworkStateReachesEveryClientBeforeTheReply) {
    Connection other = connect();
    NetworkGroupProxy office = configuration.findGroup("Office");
    ASSERT_TRUE(office.exists());
    communication.impl()->networkStateChanged(6,
                                              NetworkView::of(office.networkGroup().findNetwork("Corp TLS")));
    recorder(client).take();
    recorder(other).take();

    EXPECT_THAT(namesOf(sendAll("resendLastNetworkStateEventRequest")),
                ElementsAre("networkStateEvent", "resendLastNetworkStateEventResponse"));
    EXPECT_THAT(namesOf(recorder(other).take()), ElementsAre("networkStateEvent"))
        << "the reply is the asker's";
}

TEST_F(ConnectionHandlersTest, CaptureAsksEveryHeldAdapterAndFailsWhenNoneCaptures) {
    EXPECT_EQ(outcome("enablePacketCaptureRequest"), "8") << "no adapter";
    hold("eth0", false);
    hold("wlan0", true);
    EXPECT_EQ(ask("enablePacketCaptureRequest").name(), "enablePacketCaptureResponse");
    EXPECT_EQ(ask("disablePacketCaptureRequest").name(), "disablePacketCaptureResponse");
    EXPECT_THAT(captureCalls, ElementsAre("enable eth0", "enable wlan0", "disable eth0", "disable wlan0"));

    engine.heldAdapters.pop_back();
    EXPECT_EQ(outcome("enablePacketCaptureRequest"), "8") << "the one adapter did not start";
}

TEST_F(ConnectionHandlersTest, AdministratorPolicyListsTwentyMethodsAndTheUserControls) {
    ElementVector methods = configuration.networkPolicy().allowedEapMethods();
    methods.clear();
    for (std::int32_t type = 1; type <= 21; ++type) {
        EapMethod method = EapMethod::create(type == 1 ? 25 : 13);
        methods.add(method.m);
    }
    UserControlPolicy user = configuration.policy().userControlPolicy();
    user.setAllowWired(false);
    user.setAllowRunScriptAfterConnect(false);

    SentMessage policy = ask("getAdministratorPolicyRequest");
    SharedXmlNode administrator = policy.element().findChild("administratorPolicy");
    std::vector<std::string> eap =
        items(administrator.findChild("networkPolicy").findChild("allowedEapMethods"));
    ASSERT_EQ(eap.size(), 20u);
    EXPECT_EQ(eap.front(), "eapPeap");
    EXPECT_EQ(eap.back(), "eapTls");
    SharedXmlNode control = administrator.findChild("userControlPolicy");
    EXPECT_THAT(items(control.findChild("allowedMedia")), ElementsAre("wifi"));
    EXPECT_EQ(std::string(control.findChild("vpnEnabled").content()), "true");
    EXPECT_EQ(std::string(control.findChild("allowUserToRunScript").content()), "false");
}

}  // namespace
