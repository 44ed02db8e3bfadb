// What a user adds in the tray stays: a network added through the pipe as the tray program sends it
// is saved with its key, and the service started again offers it in its group with the key still
// protected in the user's file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/system/OfficeLab.h"
#include "tests/system/ServiceClientTest.h"
#include "tests/system/TrayMessages.h"

namespace {

using tamsel::test::replyTo;
using tamsel::test::trayRequest;
using ::testing::HasSubstr;
using ::testing::Not;

// A message of the tray program's corpus, without the frame header in front of it.
std::string trayMessage(const std::string& name) {
    std::string text = readText(std::string(CONNAPI_SEEDS) + "/" + name);
    return text.substr(text.find('\n') + 1);
}

class UserProfileTest : public ServiceClientTest {
protected:
    void SetUp() override {
        root.write("system/configuration.xml", readText(OFFICE_CONFIGURATION));
        root.write("lab.xml", officeLab(false));
        ServiceClientTest::SetUp();
    }
    void restart() {
        clients.clear();
        ASSERT_EQ(stopService(), 0);
        watchdog.reset();
        service.emplace(root, std::vector<std::string>{"-run"}, serviceEnvironment);
        ASSERT_TRUE(service->started());
        startWatchdog();
    }
    std::string networksOfOffice(PipeClient& client) {
        client.send(trayRequest("getNetworksInGroupRequest", ++m_number, {{"groupName", "Office"}}));
        return replyTo(client, m_number);
    }

private:
    int m_number = 100;
};

TEST_F(UserProfileTest, ANetworkTheUserAddedSurvivesARestartWithItsKey) {
    PipeClient& tray = connectClient();
    ASSERT_THAT(networksOfOffice(tray), Not(HasSubstr("<networkName>Home</networkName>")));
    tray.send(trayMessage("tray-035-addNetworkRequest-wpa2Personal.xml"));
    EXPECT_THAT(replyTo(tray, 17), HasSubstr("<addNetworkResponse>"));
    EXPECT_THAT(networksOfOffice(tray), HasSubstr("<networkName>Home</networkName>"));
    const std::string saved = readText(root.path() + "/system/userConfiguration.xml");
    ASSERT_THAT(saved, HasSubstr("<displayName>Home</displayName>"));
    // The key is kept, and kept protected.
    EXPECT_THAT(saved, HasSubstr("<CipherValue>"));
    EXPECT_THAT(saved, Not(HasSubstr("correct horse")));

    restart();
    PipeClient& again = connectClient();
    EXPECT_THAT(networksOfOffice(again), HasSubstr("<networkName>Home</networkName>"));
    EXPECT_EQ(readText(root.path() + "/system/userConfiguration.xml"), saved)
        << "the user's file is read, not rewritten differently";
    clients.clear();
    EXPECT_EQ(stopService(), 0);
    EXPECT_THAT(root.logText(), Not(HasSubstr("Internal error")));
}

}  // namespace
