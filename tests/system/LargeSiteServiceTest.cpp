// The service at a large site's scale: a signed administrator file of a thousand networks in one
// group.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "tests/keys/ConfigurationSigner.h"
#include "tests/support/AdministratorFile.h"
#include "tests/support/LabBuilder.h"
#include "tests/system/ServiceClientTest.h"
#include "tests/system/TrayMessages.h"

namespace {

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

}  // namespace
