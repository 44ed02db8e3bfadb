// The service at a large site's scale: a signed administrator file of a thousand networks in one
// group, and a user file of ten thousand networks dropped while a tray program keeps asking for the
// service's state.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "tests/keys/ConfigurationSigner.h"
#include "tests/support/AdministratorFile.h"
#include "tests/support/LabBuilder.h"
#include "tests/system/ServiceClientTest.h"
#include "tests/system/TrayMessages.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tamsel::test::AdministratorFile;
using tamsel::test::LabBuilder;
using tamsel::test::replyTo;
using tamsel::test::trayRequest;
using ::testing::HasSubstr;
using ::testing::Not;

std::string wiredNetwork(const std::string& name) {
    return "<wiredNetwork><displayName>" + name +
           "</displayName><connectionTimeout>40</connectionTimeout>"
           "<openNetwork><machineConnection/></openNetwork></wiredNetwork>\n";
}

// Open wired networks "<prefix>00000" on, in the order given.
std::string wiredNetworks(const std::string& prefix, int count) {
    std::string text;
    char number[16];
    for (int i = 0; i < count; ++i) {
        std::snprintf(number, sizeof number, "%05d", i);
        text += wiredNetwork(prefix + number);
    }
    return text;
}

std::string signedAdministratorFile(int networks) {
    return ConfigurationSigner::sign(AdministratorFile().text(wiredNetworks("Wired-", networks)),
                                     ConfigurationSigner::readFile(TAMSEL_TEST_PRIVATE_KEY));
}

// The wired adapter with its link and an address to give, or without a link at all.
std::string wiredLab(bool link) {
    LabBuilder lab;
    lab.wiredAdapter(1, "eth0", {{"link", link ? "up" : "down"}});
    lab.add("dhcp",
            {{"on", "eth0"}, {"address", "192.0.2.10"}, {"mask", "255.255.255.0"}, {"gateway", "192.0.2.1"}});
    return lab.text();
}

class LargeSite : public ServiceClientTest {
protected:
    void prepareRoot() override {
        root.write("system/configuration.xml", signedAdministratorFile(administratorNetworks));
        root.write("lab.xml", wiredLab(link));
    }
    // A thousand networks' start fills the current log past its size, and its start goes to
    // PreviousLog1.txt.
    std::string wholeLog() const {
        const std::string previous = root.log("PreviousLog1.txt");
        return (fs::exists(previous) ? root.logText("PreviousLog1.txt") : std::string()) + root.logText();
    }
    bool logged(const std::string& part) const { return countOf(wholeLog(), part) > 0; }
    std::string path(const std::string& relative) const { return root.path() + "/" + relative; }

    int administratorNetworks = 1000;
    bool link = true;
};

TEST_F(LargeSite, StartsAThousandNetworksOfOneGroupAndConnectsTheFirst) {
    ASSERT_TRUE(waitFor([&] { return logged("Network Wired-00000: AccessStateMachine new state = ACCESS_CONNECTED"); },
                        60s))
        << wholeLog();
    PipeClient& tray = connectClient();
    tray.send(trayRequest("getServiceStateRequest", 7));
    EXPECT_THAT(replyTo(tray, 7), HasSubstr("<tamselEnabled>true</tamselEnabled>"));
    EXPECT_EQ(stopService(), 0);
    const std::string log = wholeLog();
    EXPECT_THAT(log, Not(HasSubstr("FATAL")));
    EXPECT_THAT(log, Not(HasSubstr("Assertion")));
    EXPECT_THAT(log, HasSubstr("]: Normal Shutdown: "));
}

TEST_F(LargeSite, StartingAndStoppingAThousandNetworksLosesNoLogLine) {
    ASSERT_TRUE(waitFor([&] { return logged("Network Wired-00000: AccessStateMachine new state = ACCESS_CONNECTED"); },
                        60s))
        << root.logText();
    // Stopping a thousand networks at once is the run's densest burst of lines.
    EXPECT_EQ(stopService(), 0);
    std::istringstream log(root.everyLogText());
    long previous = -1;
    long lines = 0;
    for (std::string line; std::getline(log, line); ++lines) {
        const long sequence = std::strtol(line.c_str(), nullptr, 10);
        if (previous >= 0) {
            ASSERT_EQ(sequence, previous + 1) << "a line is missing before: " << line;
        }
        previous = sequence;
    }
    EXPECT_GT(lines, 1000);
    EXPECT_THAT(root.logText(), HasSubstr("]: Normal Shutdown: "));
}

class DroppedUserFile : public LargeSite {
protected:
    DroppedUserFile() {
        // Without a link nothing connects, and the drop folder stays watched.
        administratorNetworks = 1;
        link = false;
    }
    // Ten thousand networks in a group "Home", whole in the drop folder at once.
    void dropUserFile() {
        root.write("incoming.tmp", userText);
        fs::create_directories(path("newConfigFiles"));
        fs::rename(path("incoming.tmp"), path(DROPPED));
    }
    bool mergeBegan() {
        return waitFor([&] { return logged("Opening file newConfigFiles/userConfiguration.xml"); }, 30s);
    }
    // The drop is merged from a private copy beside the drop name, removed once the merge is saved.
    bool merging() const {
        for (const auto& entry : fs::directory_iterator(path("newConfigFiles")))
            if (entry.path().filename().string().rfind("userConfiguration.xml", 0) == 0) return true;
        return false;
    }
    // The dropped text, under the drop name or the private one a stop left it under.
    std::string leftInDropFolder() const {
        for (const auto& entry : fs::directory_iterator(path("newConfigFiles")))
            if (entry.path().filename().string().rfind("userConfiguration.xml", 0) == 0)
                return readText(entry.path().string());
        return "";
    }
    int savedNetworks() const { return countOf(readText(path("system/userConfiguration.xml")), "<wiredNetwork>"); }

    static constexpr const char* DROPPED = "newConfigFiles/userConfiguration.xml";
    const std::string userText =
        R"(<UserConfiguration major_version="5" minor_version="1" development_version="1"><networks>)"
        R"(<group><groupName>Home</groupName><allowUserToSeeScanlist>true</allowUserToSeeScanlist>)" +
        wiredNetworks("Home-", 10000) + "</group></networks></UserConfiguration>";
};

TEST_F(DroppedUserFile, TenThousandNetworksAreTakenOverWhileTheTrayIsAnswered) {
    PipeClient& tray = connectClient();
    dropUserFile();
    ASSERT_TRUE(mergeBegan()) << wholeLog();
    // Asked while the file is merged: answered before the merge is done.
    int number = 100;
    int answeredDuringMerge = 0;
    while (merging()) {
        tray.send(trayRequest("getServiceStateRequest", ++number));
        EXPECT_THAT(replyTo(tray, number), HasSubstr("<getServiceStateResponse>"));
        if (merging()) ++answeredDuringMerge;
    }
    EXPECT_GE(answeredDuringMerge, 1);

    EXPECT_EQ(savedNetworks(), 10000);
    EXPECT_THAT(readText(path("system/userConfiguration.xml")), HasSubstr("<displayName>Home-09999</displayName>"));
    tray.send(trayRequest("getNetworksInGroupRequest", ++number, {{"groupName", "Home"}}));
    EXPECT_THAT(replyTo(tray, number), HasSubstr("<networkName>Home-00000</networkName>"));
    EXPECT_EQ(stopService(), 0);
    EXPECT_THAT(wholeLog(), Not(HasSubstr("Assertion")));
}

// Ctrl+C while the file is read or merged ends the service at once, with nothing of the file left
// behind in memory; what it did not finish, the next start takes from the drop folder.
TEST_F(DroppedUserFile, AStopWhileTheFileIsMergedLeavesTheRestForTheNextStart) {
    dropUserFile();
    ASSERT_TRUE(mergeBegan()) << wholeLog();
    EXPECT_EQ(stopService(), 0);
    if (merging()) {
        EXPECT_EQ(leftInDropFolder(), userText);
        EXPECT_FALSE(fs::exists(path("system/userConfiguration.xml")));
    } else {
        EXPECT_EQ(savedNetworks(), 10000);
    }
    EXPECT_THAT(wholeLog(), Not(HasSubstr("Assertion")));
    EXPECT_THAT(wholeLog(), HasSubstr("]: No memory leaks detected"));
    EXPECT_THAT(wholeLog(), HasSubstr("]: Normal Shutdown: "));

    watchdog.reset();
    service.emplace(root, std::vector<std::string>{"-run"}, serviceEnvironment);
    ASSERT_TRUE(service->started());
    watchdog.emplace(service->pid(), std::chrono::seconds(90));
    ASSERT_TRUE(waitFor([&] { return !merging(); }, 60s)) << wholeLog();
    EXPECT_EQ(savedNetworks(), 10000);
    EXPECT_EQ(stopService(), 0);
    EXPECT_THAT(wholeLog(), Not(HasSubstr("Assertion")));
}

}  // namespace
