#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/configuration/Configuration.h"
#include "vel/configuration/NetworkGroup.h"
#include "vel/configuration/NetworkNameIndex.h"
#include "vel/configuration/UserFileMerge.h"
#include "vel/reference/HandleOf.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace tamsel::test {
namespace {

class NetworkGroupTest : public ConfigurationTest {};

TEST_F(NetworkGroupTest, NetworksByName) {
    Network first = makeNetwork("x");
    Network second = makeNetwork("x");
    NetworkGroup group = makeGroup("Office", {first, makeNetwork("y"), second});
    EXPECT_EQ(group.findNetwork("x"), second) << "the last of a name is found";
    EXPECT_EQ(group.indexOfNetwork("x"), 0) << "the index is of the first";
    EXPECT_TRUE(group.findNetwork("z").isNull());
    EXPECT_EQ(group.indexOfNetwork("z"), -1);
    EXPECT_EQ(group.addNetwork(first), 0) << "the same object is not added twice";
    EXPECT_EQ(group.addNetwork(makeNetwork("z")), ElementVector::ADDED);
    EXPECT_EQ(group.networkVector().length(), 4);

    EXPECT_TRUE(group.allowUserToSeeScanlist());
    group.setOption(0);
    EXPECT_FALSE(group.allowUserToSeeScanlist());
    EXPECT_TRUE(group.hasSameName(NetworkGroup::create("Office")));
    EXPECT_FALSE(group.hasSameName(NetworkGroup::create("office")));

    group.impl()->clearReferences();
    EXPECT_EQ(group.networkVector().length(), 0);
}

TEST_F(NetworkGroupTest, ProxySetReadReplace) {
    NetworkGroup first = NetworkGroup::create("first");
    NetworkGroup second = NetworkGroup::create("second");
    NetworkGroupProxy proxy;
    EXPECT_FALSE(proxy.exists());

    proxy.setNetworkGroup(first);
    EXPECT_EQ(proxy.networkGroup(), first) << "a group just set can be read at once";
    EXPECT_THAT(takeAssertions(), IsEmpty());
    EXPECT_EQ(first.impl()->references(), 2);

    proxy.setNetworkGroup(second);
    EXPECT_EQ(first.impl()->references(), 1) << "the old group is released once";
    EXPECT_EQ(proxy.networkGroup(), second);

    NetworkGroupProxy copy = proxy;
    copy.networkGroup();
    EXPECT_THAT(takeAssertions(), ElementsAre("m_usable")) << "a copy must be tested first";
    EXPECT_TRUE(copy.exists());

    proxy.setNetworkGroup(NetworkGroup());
    EXPECT_THAT(takeAssertions(), ElementsAre("networkGroup.m"));
    proxy.clear();
    EXPECT_FALSE(proxy.exists());
    EXPECT_EQ(second.impl()->references(), 2) << "held by the copy only";
}

// The names of a group's networks as "group: a b c", group after group.
std::vector<std::string> namesOf(ElementVector groups) {
    std::vector<std::string> lines;
    for (const Reference& element : groups.snapshot()) {
        NetworkGroup group = handleOf<NetworkGroup>(element.m);
        std::string line = std::string(group.name().text()) + ":";
        for (const Reference& network : group.networkVector().snapshot())
            line += std::string(" ") + handleOf<Network>(network.m).name().text();
        lines.push_back(line);
    }
    return lines;
}

TEST_F(NetworkGroupTest, MergeAddsToEveryGroupOfTheNameOrToANewGroupAtTheEnd) {
    ElementVector groups = ElementVector::create();
    for (NetworkGroup group : {makeGroup("Office", {makeNetwork("a")}), makeGroup("Home", {makeNetwork("b")}),
                               makeGroup("Office", {makeNetwork("c")})})
        groups.add(group.m);
    NetworkGroupMerge merge(groups);
    merge.add("Office", makeNetwork("x"));
    merge.add("Attic", makeNetwork("y"));
    merge.add("Attic", makeNetwork("z"));
    EXPECT_TRUE(merge.contains("Office", "x"));
    EXPECT_TRUE(merge.contains("Attic", "z"));
    EXPECT_FALSE(merge.contains("Home", "x"));
    EXPECT_FALSE(merge.contains("Cellar", "x"));
    EXPECT_THAT(takeAssertions(), IsEmpty());

    // A name the group has already is a broken invariant of the callers: said, and added all the same.
    merge.add("Home", makeNetwork("b"));
    EXPECT_THAT(takeAssertions(), ElementsAre("Trying to add duplicate network"));
    EXPECT_THAT(logged("Failed to add b network to group Home."), SizeIs(1));
    EXPECT_THAT(namesOf(groups), ElementsAre("Office: a x", "Home: b b", "Office: c x", "Attic: y z"));
}

// A large file is merged in steps; a network of the same name that a client added between two steps
// stays, and the file's gives way with the line a refused merge writes.
TEST_F(NetworkGroupTest, AUserFileMergedInStepsLeavesWhatAClientAddedMeanwhile) {
    Configuration active = Configuration::create("Office");
    active.addGroup(makeGroup("Home", {makeNetwork("Den")}));
    const int count = UserFileMerge::MIN_STEP_NETWORKS + 10;
    std::vector<Network> networks;
    NetworkGroup home = NetworkGroup::create("Home");
    for (int i = 0; i < count; ++i) {
        networks.push_back(makeNetwork(("Home-" + std::to_string(i)).c_str()));
        home.addNetwork(networks.back());
    }
    UserFileMerge merge;
    merge.addGroup(home);
    merge.addGroup(NetworkGroup::create("Attic"));

    EXPECT_FALSE(merge.step(active));
    NetworkGroup merged = active.findGroup("Home").networkGroup();
    EXPECT_EQ(merged.networkVector().length(), 1 + UserFileMerge::MIN_STEP_NETWORKS);
    const Network added = makeNetwork(("Home-" + std::to_string(count - 1)).c_str());
    merged.addNetwork(added);
    EXPECT_TRUE(merge.step(active));

    EXPECT_EQ(merged.networkVector().length(), 1 + count);
    EXPECT_EQ(merged.findNetwork(added.name()), added);
    EXPECT_EQ(merged.indexOfNetwork("Home-0"), 1);
    EXPECT_EQ(networks.front().getOrigin(), NetworkImpl::ORIGIN_USER);
    EXPECT_THAT(logged("Cannot add network \"Home-" + std::to_string(count - 1) +
                       "\" in group \"Home\". The network already exists."),
                SizeIs(1));
    EXPECT_TRUE(active.findGroup("Attic").exists()) << "an empty group of the file is made too";
    EXPECT_THAT(takeAssertions(), IsEmpty());
    active.impl()->clearReferences();
}

}  // namespace
}  // namespace tamsel::test
