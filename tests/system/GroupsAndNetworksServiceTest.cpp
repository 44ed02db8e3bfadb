// The tray program edits groups and networks and steers the connections of the real service: what
// its editor and groups dialog send, answered on the pipe, acted on in the lab and kept in the
// service's files across a restart.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/LabBuilder.h"
#include "tests/system/LabClient.h"
#include "tests/system/ServiceLog.h"
#include "tests/system/TrayClientTest.h"
#include "tests/system/TrayPipe.h"

namespace {

using tamsel::test::LabBuilder;
using tamsel::test::LabClient;
using tamsel::test::TrayChildren;
using tamsel::test::TrayMessage;
using tamsel::test::TrayPipe;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

const char* const PASSPHRASE = "sunflower seeds";

// The wired port without a link, so that only the wireless network connects, and a radio that sees
// the user's access point at home; Alice logs on at once unless the test logs her on itself.
std::string homeLab(bool logonAtStart = true) {
    LabBuilder lab;
    lab.wiredAdapter(1, "eth0", {{"link", "down"}});
    lab.wirelessAdapter(2, "wlan0");
    lab.add("accessPoint", {{"ssid", "home"},
                            {"bssid", "02:aa:00:00:00:07"},
                            {"channel", "6"},
                            {"signal", "-50"},
                            {"security", "wpa2PersonalAes"},
                            {"passphrase", PASSPHRASE}});
    if (logonAtStart)
        lab.add("logon", {{"user", "alice"}, {"domain", "CORP"}, {"password", "secret"}, {"atMs", "0"}});
    lab.add("dhcp",
            {{"on", "home"}, {"address", "192.0.2.30"}, {"mask", "255.255.255.0"}, {"gateway", "192.0.2.1"}});
    return lab.text();
}

class GroupsAndNetworksTest : public TrayClientTest {
protected:
    void SetUp() override {
        root.write("system/configuration.xml", readText(configuration()));
        root.write("lab.xml", lab());
        TrayClientTest::SetUp();
    }
    virtual const char* configuration() const { return GROUPS_CONFIGURATION; }
    virtual std::string lab() const { return homeLab(); }
    // The editor's new network for the scanned "home": the service state first, then the network.
    TrayMessage addHome(const QString& script, const QString& key = PASSPHRASE) {
        tray->ask("getServiceStateRequest");
        return tray->ask("addNetworkRequest", {{"groupName", "Office"},
                                               {"networkName", "Home"},
                                               {"ssid", "home"},
                                               {"networkMedia", "wifi"},
                                               {"associationAndEncryptionMode", "wpa2PersonalAes"},
                                               {"wpaAsciiKey", key},
                                               {"runScriptSpec", script}});
    }
    // The groups dialog's move: into another group, or inside its own when `to` is empty.
    TrayMessage move(const QString& from, const QString& network, const QString& to,
                     const QString& priority) {
        TrayChildren children = {{"groupName", from}, {"networkName", network}};
        if (!to.isEmpty()) children.push_back({"newGroupName", to});
        children.push_back({"priority", priority});
        return tray->ask("changeNetworkRequest", children);
    }

    // "name/script" of each network the group lists.
    std::vector<std::string> listed(const QString& group) {
        TrayMessage list = tray->ask("getNetworksInGroupRequest", {{"groupName", group}});
        EXPECT_EQ(list.child("groupName"), group.toStdString()) << list.text;
        std::vector<std::string> names = list.items("networkList", "networkName");
        std::vector<std::string> scripts = list.items("networkList", "runScriptSpec");
        for (size_t i = 0; i < names.size(); ++i) names[i] += "/" + scripts[i];
        return names;
    }

    // Whether a state event of the network with that state arrives at or after `from`.
    bool stateEvent(size_t from, const std::string& network, const std::string& state) {
        return tray->waitForMessage("networkStateEvent", from, [&](const TrayMessage& event) {
            return event.child("networkName") == network && event.child("networkState") == state;
        });
    }
    // The states of the network's events that arrived at or after `from`.
    std::vector<std::string> states(size_t from, const std::string& network) {
        std::vector<std::string> found;
        for (const TrayMessage& event : tray->messages("networkStateEvent", from))
            if (event.child("networkName") == network) found.push_back(event.child("networkState"));
        return found;
    }
    // Waits until the log holds the line more often than `before`.
    bool loggedAgain(const std::string& line, int before) {
        return waitFor([&] { return countOf(root.logText(), line) > before; });
    }

    std::string file(const std::string& name) const { return root.path() + "/system/" + name; }
};

// What the groups dialog and the editor send: a new group, a network with its key that connects at
// once, moved to the new group and back with its script, renamed, listed and removed; the new group
// is still there after a restart, until it is removed.
TEST_F(GroupsAndNetworksTest, GroupsAndNetworksChangeAsTheTrayAsksAndOutliveARestart) {
    connectTray();
    EXPECT_EQ(tray->ask("addGroupRequest", {{"groupName", "Lab"}}).name(), "addGroupResponse");
    TrayMessage empty = tray->ask("getNetworksInGroupRequest", {{"groupName", "Lab"}});
    EXPECT_EQ(empty.name(), "getNetworksInGroupResponse");
    EXPECT_THAT(empty.items("networkList"), ElementsAre());
    EXPECT_EQ(tray->ask("addGroupRequest", {{"groupName", "Lab"}}).errorCode(), 3) << "a second Lab";
    EXPECT_THAT(tray->ask("getGroupsRequest").items("groupList"), ElementsAre("Office", "Lab"));
    EXPECT_EQ(tray->ask("getActiveGroupRequest").child("groupName"), "Office");

    size_t from = tray->count();
    TrayMessage added = addHome("after.cmd");
    EXPECT_EQ(added.name(), "addNetworkResponse") << added.text;
    EXPECT_EQ(added.child("networkName"), "Home");
    ASSERT_TRUE(stateEvent(from, "Home", "connected")) << testing::PrintToString(states(from, "Home"));
    EXPECT_THAT(readText(file("userConfiguration.xml")), HasSubstr("<displayName>Home</displayName>"));
    EXPECT_THAT(readText(file("userConfiguration.xml")), Not(HasSubstr(PASSPHRASE)))
        << "the key is kept enciphered";

    // Down out of the active group to the top of Lab: the network stops; up again to the bottom of
    // Office. Neither move names a script, so it stays.
    from = tray->count();
    EXPECT_EQ(move("Office", "Home", "Lab", "top").name(), "changeNetworkResponse");
    EXPECT_THAT(states(from, "Home"), ElementsAre("stopped"));
    EXPECT_THAT(listed("Lab"), ElementsAre("Home/after.cmd"));
    EXPECT_THAT(listed("Office"), ElementsAre("Wired-LAN/"));
    EXPECT_EQ(move("Lab", "Home", "", "top").errorCode(), 4) << "top is no move inside a group";
    EXPECT_EQ(move("Lab", "Home", "Office", "bottom").name(), "changeNetworkResponse");
    EXPECT_THAT(listed("Office"), ElementsAre("Wired-LAN/", "Home/after.cmd"));
    EXPECT_THAT(listed("Lab"), ElementsAre());

    // The editor's rename.
    TrayMessage renamed =
        tray->ask("changeNetworkRequest",
                  {{"groupName", "Office"}, {"networkName", "Home"}, {"newNetworkName", "Home Net"}});
    EXPECT_EQ(renamed.name(), "changeNetworkResponse") << renamed.text;
    EXPECT_THAT(listed("Office"), ElementsAre("Wired-LAN/", "Home Net/after.cmd"));
    EXPECT_THAT(readText(file("userConfiguration.xml")), HasSubstr("<displayName>Home Net</displayName>"));

    // Removed, the network leaves the user's file, and the internal file is written again.
    std::filesystem::remove(file("internalConfiguration.xml"));
    TrayMessage removed =
        tray->ask("removeNetworkRequest", {{"groupName", "Office"}, {"networkName", "Home Net"}});
    EXPECT_EQ(removed.name(), "removeNetworkResponse") << removed.text;
    EXPECT_THAT(listed("Office"), ElementsAre("Wired-LAN/"));
    EXPECT_THAT(readText(file("userConfiguration.xml")), Not(HasSubstr("Home Net")));
    EXPECT_TRUE(std::filesystem::exists(file("internalConfiguration.xml")));

    const std::string firstRun = root.logText();
    tray.reset();
    EXPECT_EQ(restartService(), 0);
    connectTray();
    EXPECT_THAT(tray->ask("getGroupsRequest").items("groupList"), ElementsAre("Office", "Lab"));
    EXPECT_THAT(listed("Lab"), ElementsAre());
    EXPECT_THAT(listed("Office"), ElementsAre("Wired-LAN/"));

    // The active group stays; the other goes from both files.
    EXPECT_EQ(tray->ask("removeGroupRequest", {{"groupName", "Office"}}).errorCode(), 3);
    std::filesystem::remove(file("internalConfiguration.xml"));
    EXPECT_EQ(tray->ask("removeGroupRequest", {{"groupName", "Lab"}}).name(), "removeGroupResponse");
    EXPECT_THAT(tray->ask("getGroupsRequest").items("groupList"), ElementsAre("Office"));
    EXPECT_THAT(readText(file("userConfiguration.xml")), Not(HasSubstr("<groupName>Lab</groupName>")));
    EXPECT_TRUE(std::filesystem::exists(file("internalConfiguration.xml")));
    for (const std::string& log : {firstRun, root.logText()})
        EXPECT_THAT(log, Not(HasSubstr("Internal error")));
}

// What the tray's main window and menu send about connecting: packet capture, the radio, a
// disconnection that holds, automatic connection again, and the scan list.
TEST_F(GroupsAndNetworksTest, TheTraySteersTheConnectionOfTheWirelessNetwork) {
    connectTray();
    size_t from = tray->count();
    ASSERT_EQ(addHome("").name(), "addNetworkResponse");
    ASSERT_TRUE(stateEvent(from, "Home", "connected")) << testing::PrintToString(states(from, "Home"));

    // Capture on every adapter the matchmaker holds, each into a file named after it.
    EXPECT_EQ(tray->ask("enablePacketCaptureRequest").name(), "enablePacketCaptureResponse");
    for (int adapter : {1, 2}) {
        const std::string capture = root.path() + "/logs/Capture_" + LabBuilder::guid(adapter) + ".cap";
        EXPECT_EQ(readText(capture).substr(0, 4), std::string("\xD4\xC3\xB2\xA1", 4)) << capture;
    }
    EXPECT_EQ(tray->ask("disablePacketCaptureRequest").name(), "disablePacketCaptureResponse");

    // The radio off drops the association, but no wireless state reaches the tray while it is off:
    // the network's machine has gone back to associating before the service state is asked.
    const std::string associating = "Network Home: AccessStateMachine new state = ACCESS_ASSOCIATING";
    int before = countOf(root.logText(), associating);
    from = tray->count();
    EXPECT_EQ(tray->ask("turnOffRadioRequest").name(), "turnOffRadioResponse");
    ASSERT_TRUE(loggedAgain(associating, before)) << root.logText();
    TrayMessage off = tray->ask("getServiceStateRequest");
    EXPECT_EQ(off.child("radioEnabled"), "false") << off.text;
    EXPECT_EQ(off.child("tamselEnabled"), "true");
    EXPECT_THAT(states(from, "Home"), ElementsAre());

    from = tray->count();
    EXPECT_EQ(tray->ask("turnOnRadioRequest").name(), "turnOnRadioResponse");
    EXPECT_EQ(tray->ask("getServiceStateRequest").child("radioEnabled"), "true");
    ASSERT_TRUE(stateEvent(from, "Home", "connected")) << testing::PrintToString(states(from, "Home"));

    // Disconnected, the network stays down though the matchmaker looks again.
    const std::string matching = "starting makeMatches...";
    before = countOf(root.logText(), matching);
    from = tray->count();
    EXPECT_EQ(tray->ask("disconnectRequest").name(), "disconnectResponse");
    ASSERT_TRUE(loggedAgain(matching, before));
    TrayMessage mode = tray->ask("getConnectionModeRequest");
    EXPECT_EQ(mode.child("connectionMode"), "manual");
    EXPECT_FALSE(mode.has("networkName"));
    EXPECT_THAT(states(from, "Home"), ElementsAre("stopped"));

    from = tray->count();
    EXPECT_EQ(tray->ask("enableAutoconnectRequest").name(), "enableAutoconnectResponse");
    ASSERT_TRUE(stateEvent(from, "Home", "connected")) << testing::PrintToString(states(from, "Home"));
    EXPECT_EQ(tray->ask("getConnectionModeRequest").child("connectionMode"), "auto");

    // The tray asks again and again; the list holds what the radio's last scan reported.
    std::vector<std::string> scanned;
    EXPECT_TRUE(waitFor([&] {
        scanned = tray->ask("getScanListRequest").items("nadList", "ssid");
        return !scanned.empty();
    }));
    EXPECT_THAT(scanned, ElementsAre("home"));
    EXPECT_THAT(root.logText(), Not(HasSubstr("Internal error")));
}

// A wrong key fails the key handshake right after the association: the tray hears an authentication
// failure well within the connection's timeout (40 s), not an address being acquired until then.
TEST_F(GroupsAndNetworksTest, AWrongKeyIsAnAuthenticationFailureAtOnce) {
    connectTray();
    size_t from = tray->count();
    ASSERT_EQ(addHome("", "sunflower seed").name(), "addNetworkResponse");
    ASSERT_TRUE(stateEvent(from, "Home", "authentication failed"))
        << testing::PrintToString(states(from, "Home")) << root.logText();
    // The tray may hear the state before the logging thread has written the line.
    EXPECT_TRUE(loggedAgain(": Authentication Failed", 0)) << root.logText();
    EXPECT_THAT(root.logText(), Not(HasSubstr("Associated - unexpected adapter state machine event")));
}

// The office's own file, whose company network is not on the air at home, and nobody logged on
// until the test says so.
class OfficeAtHomeTest : public GroupsAndNetworksTest {
protected:
    const char* configuration() const override { return OFFICE_CONFIGURATION; }
    std::string lab() const override { return homeLab(false); }
};

// The company network, for the machine, tries its absent access point again and again; the user's
// network added by the tray waits for the user's logon, then takes its turn between those attempts.
TEST_F(OfficeAtHomeTest, TheUsersNetworkConnectsOnceHeLogsOnThoughTheCompanyNetworkKeepsFailing) {
    connectTray();
    const std::string corpTried = "and network Corp-WiFi ...";
    int before = countOf(root.logText(), corpTried);
    size_t from = tray->count();
    ASSERT_EQ(addHome("").name(), "addNetworkResponse");
    // Two more attempts of the company network: had the user's network joined the round, it would
    // have had the adapter in between.
    ASSERT_TRUE(waitFor([&] { return countOf(root.logText(), corpTried) >= before + 2; })) << root.logText();
    EXPECT_THAT(root.logText(), Not(HasSubstr("and network Home ...")));
    EXPECT_THAT(root.logText(),
                HasSubstr("Network Home: NetworkStateMachine new state MACHINE_T_DISCONNECTED"));
    EXPECT_THAT(states(from, "Home"), Not(::testing::Contains("connected")));

    LabClient control(root.path() + "/run/lab");
    ASSERT_TRUE(control.connected());
    EXPECT_EQ(control.command("logon alice secret CORP").back(), "ok");
    ASSERT_TRUE(stateEvent(from, "Home", "connected")) << testing::PrintToString(states(from, "Home"));
    EXPECT_THAT(root.logText(), Not(HasSubstr("Internal error")));
}

}  // namespace
