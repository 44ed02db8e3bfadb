// The service's first connection, end to end: the real service on the office configuration and
// lab, watched through its log and by a tray program on the pipe.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
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

bool logged(const TempRoot& root, const std::string& line, int times = 1) {
    return waitFor([&] { return countOf(root.logText(), line) == times; });
}

class FirstConnectionTest : public ServiceClientTest {
protected:
    void SetUp() override {
        root.write("system/configuration.xml", readText(OFFICE_CONFIGURATION));
        root.write("lab.xml", lab());
        ServiceClientTest::SetUp();
    }
    virtual std::string lab() { return officeLab(wireless); }
    void raiseWiredLink() {
        LabClient lab(root.path() + "/run/lab");
        ASSERT_EQ(lab.command("link eth0 up"), std::vector<std::string>{"ok"});
    }

    bool wireless = false;
};

class BothAdaptersTest : public FirstConnectionTest {
protected:
    void SetUp() override {
        wireless = true;
        FirstConnectionTest::SetUp();
    }
};

// A: the wired adapter alone. Wired-LAN goes through attach, connect and authentication to
// connected, which a tray program hears; Corp-WiFi waits for an adapter it never gets.
TEST_F(FirstConnectionTest, TheWiredNetworkConnectsOverTheWiredAdapter) {
    PipeRecorder tray(connectClient());
    ASSERT_TRUE(logged(root, "Network Corp-WiFi: AccessStateMachine new state = ACCESS_STARTED"))
        << root.logText();
    raiseWiredLink();
    ASSERT_TRUE(logged(root, "Network Wired-LAN: AccessStateMachine new state = ACCESS_CONNECTED"))
        << root.logText();

    // One event for each state of the adapter: associated and authenticating (802.1X under way),
    // authenticated (the address is being asked for), connected.
    ASSERT_TRUE(waitFor([&] {
        return tray.networkStates().size() >= 4 && tray.networkStates().back() == "connected";
    })) << testing::PrintToString(tray.networkStates());
    EXPECT_THAT(tray.networkStates(),
                ElementsAre("authenticating", "authenticating", "acquiringIpAddress", "connected"));

    std::string log = readWhen([&] { return root.logText(); }, [](const std::string& text) {
        return topStates(text).size() >= 3 && newStates(text, "Wired-LAN", "NetworkStateMachine").size() >= 2;
    });
    EXPECT_THAT(newStates(log, "Wired-LAN", "AccessStateMachine"),
                ElementsAre("ACCESS_STARTED", "ACCESS_ATTACHED", "ACCESS_CONNECTING", "ACCESS_AUTHENTICATED",
                            "ACCESS_CONNECTED"));
    EXPECT_THAT(newStates(log, "Wired-LAN", "NetworkStateMachine"),
                ElementsAre("MACHINE_T_DISCONNECTED", "MACHINE_T_NOT_DISCONNECTED"));
    EXPECT_THAT(newStates(log, "Corp-WiFi", "AccessStateMachine"), ElementsAre("ACCESS_STARTED"));
    EXPECT_THAT(topStates(log), ElementsAre("STARTED", "CONNECTING", "CONNECTED"));
    EXPECT_EQ(
        countOf(log, "]: matching adapter {6F1A0C2E-0000-4000-8000-000000000001} and network Wired-LAN ..."),
        1);
    EXPECT_EQ(countOf(log, "Timeout = 40 seconds"), 1);

    EXPECT_EQ(stopService(), 0);
    tray.join();
    clients.clear();
    expectOrderedRun(root.logText(), 2);
}

// The office sample with Wired-LAN open for the machine and the user, signed with the test key.
class OpenWiredTest : public FirstConnectionTest {
protected:
    void prepareRoot() override {
        std::string text = readText(OFFICE_SOURCE_CONFIGURATION);
        size_t from = text.find("<authenticationNetwork>");
        size_t to = text.find("</authenticationNetwork>");
        ASSERT_TRUE(from != std::string::npos && to != std::string::npos);
        text.replace(from, to + 24 - from, "<openNetwork><machineUserConnection/></openNetwork>");
        root.write("system/configuration.xml",
                   ConfigurationSigner::sign(text, ConfigurationSigner::readFile(TAMSEL_TEST_PRIVATE_KEY)));
    }
};

// C: a user logs on while Wired-LAN is connected for the machine, and logs off again. The open
// network changes credentials each time with a re-authentication that needs no exchange: it is
// connected again at once, not after the connection timer has dropped it.
TEST_F(OpenWiredTest, LogonAndLogoffKeepTheOpenWiredNetworkConnected) {
    ASSERT_TRUE(logged(root, "Adapter controlled: ")) << root.logText();
    raiseWiredLink();
    const std::string connected = "Network Wired-LAN: AccessStateMachine new state = ACCESS_CONNECTED";
    ASSERT_TRUE(logged(root, connected)) << root.logText();

    LabClient lab(root.path() + "/run/lab");
    ASSERT_EQ(lab.command("logon alice secret CORP"), std::vector<std::string>{"ok"});
    ASSERT_TRUE(logged(root, "User session has started.")) << root.logText();
    // Well inside the 40 s connection timer.
    ASSERT_TRUE(waitFor([&] { return countOf(root.logText(), connected) >= 2; }, std::chrono::seconds(10)))
        << root.logText();

    ASSERT_EQ(lab.command("logoff"), std::vector<std::string>{"ok"});
    ASSERT_TRUE(waitFor([&] { return countOf(root.logText(), connected) >= 3; }, std::chrono::seconds(10)))
        << root.logText();

    std::string log = readWhen([&] { return root.logText(); }, [](const std::string& text) {
        return newStates(text, "Wired-LAN", "NetworkStateMachine").size() >= 4;
    });
    EXPECT_THAT(newStates(log, "Wired-LAN", "AccessStateMachine"),
                ElementsAre("ACCESS_STARTED", "ACCESS_ATTACHED", "ACCESS_CONNECTING", "ACCESS_AUTHENTICATED",
                            "ACCESS_CONNECTED", "ACCESS_AUTHENTICATED", "ACCESS_CONNECTED",
                            "ACCESS_AUTHENTICATED", "ACCESS_CONNECTED"));
    EXPECT_THAT(newStates(log, "Wired-LAN", "NetworkStateMachine"),
                ElementsAre("MACHINE_T_DISCONNECTED", "MACHINE_T_NOT_DISCONNECTED", "USER_T_NOT_DISCONNECTED",
                            "MACHINE_T_NOT_DISCONNECTED"));
    EXPECT_EQ(countOf(log, "Network Wired-LAN: Clearing the connection duration timer"), 3);
    EXPECT_EQ(countOf(log, "The connection duration timer expired"), 0);

    EXPECT_EQ(stopService(), 0);
    // The lab's logon client is a client of the service too.
    expectOrderedRun(root.logText(), 2);
}

// B: both adapters. Corp-WiFi connects while the wired link is down; once it comes up the wired
// network takes over: the configuration reconsiders, Corp-WiFi lets its adapter go and waits again.
TEST_F(BothAdaptersTest, AWiredLinkTakesOverFromTheWirelessConnection) {
    PipeRecorder tray(connectClient());
    ASSERT_TRUE(logged(root, "Network Corp-WiFi: AccessStateMachine new state = ACCESS_CONNECTED"))
        << root.logText();
    EXPECT_EQ(countOf(root.logText(), "Attempting to connect using FIPS compliant profile"), 1);
    LabClient lab(root.path() + "/run/lab");
    int associations = 0;
    for (const std::string& call : lab.command("calls"))
        if (call.rfind("qxPortAssociate(", 0) == 0 && call.find("\"corp\", 21,") != std::string::npos)
            ++associations;
    EXPECT_EQ(associations, 1);

    raiseWiredLink();
    ASSERT_TRUE(logged(root, "Network Wired-LAN: AccessStateMachine new state = ACCESS_CONNECTED"))
        << root.logText();

    std::string log = readWhen([&] { return root.logText(); },
                               [](const std::string& text) { return topStates(text).size() >= 6; });
    EXPECT_EQ(countOf(log, "]: Higher priority adapter available\n"), 1);
    std::vector<std::string> wifi = newStates(log, "Corp-WiFi", "AccessStateMachine");
    ASSERT_FALSE(wifi.empty());
    EXPECT_EQ(wifi.back(), "ACCESS_STARTED") << "Corp-WiFi waits for an adapter again";
    EXPECT_THAT(topStates(log),
                ElementsAre("STARTED", "CONNECTING", "CONNECTED", "STARTED", "CONNECTING", "CONNECTED"));
    EXPECT_THAT(newStates(log, "Wired-LAN", "AccessStateMachine"),
                ElementsAre("ACCESS_STARTED", "ACCESS_ATTACHED", "ACCESS_CONNECTING", "ACCESS_AUTHENTICATED",
                            "ACCESS_CONNECTED"));
    // The tray heard Corp-WiFi connected first, then Wired-LAN.
    ASSERT_TRUE(waitFor([&] {
        std::vector<std::string> names = tray.children("networkStateEvent", "networkName");
        return !names.empty() && names.back() == "Wired-LAN" && tray.networkStates().back() == "connected";
    })) << testing::PrintToString(tray.networkStates());
    std::vector<std::string> names = tray.children("networkStateEvent", "networkName");
    std::vector<std::string> states = tray.networkStates();
    ASSERT_EQ(names.size(), states.size());
    auto wifiConnected = std::find(states.begin(), states.end(), "connected");
    ASSERT_NE(wifiConnected, states.end());
    EXPECT_EQ(names[wifiConnected - states.begin()], "Corp-WiFi");

    EXPECT_EQ(stopService(), 0);
    tray.join();
    clients.clear();
    expectOrderedRun(root.logText(), 2);
    EXPECT_THAT(root.logText(), Not(HasSubstr("FATAL")));
}

// D: the cable is in before the service starts, so the wired link is up long before the service
// takes the adapter and no link change follows: the port reports the link it finds when attached,
// and Wired-LAN connects without waiting for a link change that never comes.
class CableInAtStartTest : public FirstConnectionTest {
protected:
    std::string lab() override {
        return std::regex_replace(officeLab(false), std::regex("(friendly=\"eth0\"[^>]*)link=\"down\""),
                                  "$1link=\"up\"");
    }
};

TEST_F(CableInAtStartTest, TheWiredNetworkConnectsWithoutALinkChange) {
    ASSERT_TRUE(logged(root, "Network Wired-LAN: AccessStateMachine new state = ACCESS_CONNECTED"))
        << root.logText();
    std::string log = root.logText();
    EXPECT_THAT(newStates(log, "Wired-LAN", "AccessStateMachine"),
                ElementsAre("ACCESS_STARTED", "ACCESS_ATTACHED", "ACCESS_CONNECTING", "ACCESS_AUTHENTICATED",
                            "ACCESS_CONNECTED"));
    EXPECT_EQ(countOf(log, "new state = disconnected link up"), 1);
    EXPECT_EQ(stopService(), 0);
    expectOrderedRun(root.logText());
}

}  // namespace
