#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/reference/HandleOf.h"
#include "vel/vpn/VpnManager.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

class VpnManagerTest : public ConfigurationTest {};

std::vector<std::string> entryNames(const VpnManager& manager) {
    std::vector<std::string> names;
    for (const Reference& element : manager.metaConnections().snapshot()) {
        names.emplace_back(handleOf<MetaConnection>(element.m).connectionEntry().text());
    }
    return names;
}

TEST_F(VpnManagerTest, EntriesAreRemovedByGroupAndNetworkName) {
    VpnManager manager = VpnManager::create();
    ElementVector entries = ElementVector::create();
    for (MetaConnection entry : {MetaConnection::create("Office", "o1", "corp", true),
                                 MetaConnection::create("", "o1", "anywhere", false),
                                 MetaConnection::create("Office", "o2", "lab", false)}) {
        entries.add(entry.m);
    }
    manager.setMetaConnections(entries);
    EXPECT_THAT(entryNames(manager), ElementsAre("corp", "anywhere", "lab"));

    manager.removeNetworkVpn(MetaConnection::create("Office", "o1", "", false));
    manager.removeNetworkVpn(MetaConnection::create("Home", "o2", "lab", false));
    EXPECT_THAT(entryNames(manager), ElementsAre("anywhere", "lab"));
    EXPECT_THAT(logged(), ElementsAre("Removing VPN corp for network: o1, group: Office"));
    EXPECT_EQ(entries.length(), 3);
}

TEST_F(VpnManagerTest, AddingReplacesTheEntryOfTheSameNetworkAndAChangedProfileListDropsTheRest) {
    VpnManager manager = VpnManager::create();
    manager.addVpnForNetwork(MetaConnection::create("Office", "o1", "corp", true));
    manager.addVpnForNetwork(MetaConnection::create("", "o1", "anywhere", false));
    manager.addVpnForNetwork(MetaConnection::create("Office", "o2", "lab", false));
    manager.addVpnForNetwork(MetaConnection::create("Office", "o1", "branch", false));
    EXPECT_THAT(entryNames(manager), ElementsAre("anywhere", "lab", "branch"));
    EXPECT_THAT(logged("Adding VPN"), ElementsAre("Adding VPN corp for network: o1, group: Office",
                                                  "Adding VPN anywhere for network: o1, group: ",
                                                  "Adding VPN lab for network: o2, group: Office",
                                                  "Adding VPN branch for network: o1, group: Office"));

    AsciiVector profiles;
    profiles.add("lab");
    profiles.add("corp");
    manager.removeVpnsOnChange(profiles);
    EXPECT_THAT(entryNames(manager), ElementsAre("lab"));
    EXPECT_THAT(
        logged("due to change"),
        ElementsAre(
            "Removing VPN anywhere for network: o1, group:   due to change in vpn connection entry",
            "Removing VPN branch for network: o1, group: Office  due to change in vpn connection entry"));
    manager.removeVpnsOnChange(AsciiVector());
    EXPECT_THAT(entryNames(manager), IsEmpty());
}

TEST_F(VpnManagerTest, WithoutVpnStateMachinesNoTunnelStartsByItself) {
    vpns.reset();
    VpnManager manager = VpnManager::create();
    EXPECT_FALSE(manager.isAutomatedVpnCapable());
    manager.handleNetworkEvent(VpnBehaviorInterface::NETWORK_CONNECTED);
    vpns.emplace();
    vpns->capable = true;
    VpnManager capable = VpnManager::create();
    EXPECT_TRUE(capable.isAutomatedVpnCapable());
    EXPECT_FALSE(manager.isAutomatedVpnCapable()) << "a manager keeps the behaviour it was made with";
    capable.handleNetworkEvent(VpnBehaviorInterface::NETWORK_NOT_CONNECTED);
    EXPECT_THAT(vpns->takeNetworkEvents(), ElementsAre(2));
    // The idle machines attempt nothing and report the tunnel down.
    EXPECT_FALSE(manager.attemptVpn().exists());
    EXPECT_EQ(manager.lastVpnStatus(), 1);
}

}  // namespace
}  // namespace tamsel::test
