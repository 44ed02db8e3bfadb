// The service at a large site's scale: a signed administrator file of a thousand networks in one
// group, and a user file of ten thousand networks dropped while a tray program keeps asking for the
// service's state.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
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
    bool logged(const std::string& part) const { return countOf(root.logText(), part) > 0; }
    std::string path(const std::string& relative) const { return root.path() + "/" + relative; }

    int administratorNetworks = 1000;
    bool link = true;
};

TEST_F(LargeSite, StartsAThousandNetworksOfOneGroupAndConnectsTheFirst) {
    ASSERT_TRUE(waitFor([&] { return logged("Network Wired-00000: AccessStateMachine new state = ACCESS_CONNECTED"); },
                        60s))
        << root.logText();
    PipeClient& tray = connectClient();
    tray.send(trayRequest("getServiceStateRequest", 7));
    EXPECT_THAT(replyTo(tray, 7), HasSubstr("<tamselEnabled>true</tamselEnabled>"));
    EXPECT_EQ(stopService(), 0);
    const std::string log = root.logText();
    EXPECT_THAT(log, Not(HasSubstr("FATAL")));
    EXPECT_THAT(log, Not(HasSubstr("Assertion")));
    EXPECT_THAT(log, HasSubstr("]: Normal Shutdown: "));
}

class DroppedUserFile : public LargeSite {
protected:
    DroppedUserFile() {
        // Without a link nothing connects, and the drop folder stays watched.
        administratorNetworks = 1;
        link = false;
    }
};

TEST_F(DroppedUserFile, TenThousandNetworksAreTakenOverWhileTheTrayIsAnswered) {
    PipeClient& tray = connectClient();
    const std::string user =
        R"(<UserConfiguration major_version="5" minor_version="1" development_version="1"><networks>)"
        R"(<group><groupName>Home</groupName><allowUserToSeeScanlist>true</allowUserToSeeScanlist>)" +
        wiredNetworks("Home-", 10000) + "</group></networks></UserConfiguration>";
    root.write("incoming.tmp", user);
    fs::create_directories(path("newConfigFiles"));
    fs::rename(path("incoming.tmp"), path("newConfigFiles/userConfiguration.xml"));

    ASSERT_TRUE(waitFor([&] { return logged("Opening file newConfigFiles/userConfiguration.xml"); }, 30s))
        << root.logText();
    // Asked while the file is merged: answered before the merge is done. The service merges from a
    // private copy in the drop folder and removes it once the merge is saved.
    const auto merging = [&] {
        for (const auto& entry : fs::directory_iterator(path("newConfigFiles")))
            if (entry.path().filename().string().rfind("userConfiguration.xml", 0) == 0) return true;
        return false;
    };
    int number = 100;
    int answeredDuringMerge = 0;
    while (merging()) {
        tray.send(trayRequest("getServiceStateRequest", ++number));
        EXPECT_THAT(replyTo(tray, number), HasSubstr("<getServiceStateResponse>"));
        if (merging()) ++answeredDuringMerge;
    }
    EXPECT_GE(answeredDuringMerge, 1);

    const std::string saved = readText(path("system/userConfiguration.xml"));
    EXPECT_EQ(countOf(saved, "<wiredNetwork>"), 10000);
    EXPECT_THAT(saved, HasSubstr("<displayName>Home-09999</displayName>"));
    tray.send(trayRequest("getNetworksInGroupRequest", ++number, {{"groupName", "Home"}}));
    EXPECT_THAT(replyTo(tray, number), HasSubstr("<networkName>Home-00000</networkName>"));
    EXPECT_EQ(stopService(), 0);
    EXPECT_THAT(root.logText(), Not(HasSubstr("Assertion")));
}

}  // namespace
