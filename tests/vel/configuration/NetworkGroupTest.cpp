#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/configuration/NetworkGroup.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

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

}  // namespace
}  // namespace tamsel::test
