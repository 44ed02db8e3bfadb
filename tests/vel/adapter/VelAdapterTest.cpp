#include <gtest/gtest.h>

#include "tests/vel/adapter/AdapterTestSupport.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/adapter/VelAdapter.h"

namespace tamsel::test {
namespace {

using M = AdapterStateMachine;
using Change = RecordingAdapterSubscriberImpl::Change;

TEST_F(AdapterTest, TheAttributesGiveTheMediaAndDescription) {
    LabBuilder lab;
    lab.wiredAdapter(1, "eth0", {{"description", "Lab NIC"}}).wirelessAdapter(2, "wlan0");
    startLab(lab);
    VelAdapter wired = VelAdapter::create(LabBuilder::guid(1).c_str());
    VelAdapter wireless = VelAdapter::create(LabBuilder::guid(2).c_str());
    VelAdapter unknown = VelAdapter::create(LabBuilder::guid(3).c_str());
    EXPECT_EQ(wired.mediaType(), AdapterConstants::MEDIA_TYPE_8023);
    EXPECT_EQ(wired.description(), "Lab NIC");
    EXPECT_EQ(wireless.mediaType(), AdapterConstants::MEDIA_TYPE_80211);
    EXPECT_EQ(unknown.mediaType(), AdapterConstants::MEDIA_TYPE_NONE);
    EXPECT_EQ(wired.state(), M::STATE_UNBOUND);
    AdapterAttributesProxy attributes = wired.attributes();
    ASSERT_TRUE(attributes.exists());
    EXPECT_EQ(attributes.value().macAddressText(), "020000000001");
    EXPECT_EQ(attributes.value().mtu(), 1500);
    EXPECT_FALSE(unknown.attributes().exists());

    // An adapter the library does not know is not the library's failure; any other answer is.
    std::string text = log();
    EXPECT_EQ(countOf(text, LabBuilder::guid(3) + ": Unable to use adapter. You must warm boot the device"),
              1);
    EXPECT_EQ(countOf(text, "NvoError for function 'qxGetPortAttr'"), 0);
    base::failNext("qxGetPortAttr", static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
    EXPECT_FALSE(wired.attributes().exists());
    EXPECT_EQ(countOf(log(), "NvoError for function 'qxGetPortAttr' => -1"), 1);
}

TEST_F(AdapterTest, BoundAndUnboundNoticesMoveTheAdapterAndTellItsSubscribers) {
    LabBuilder lab;
    lab.wiredAdapter(1, "eth0");
    startLab(lab);
    std::string name = LabBuilder::guid(1);
    VelAdapter adapter = VelAdapter::create(name.c_str());
    auto* subscriber = new RecordingAdapterSubscriberImpl;
    adapter.addSubscriber(subscriber);

    adapter.symbolicNameBound();
    EXPECT_EQ(adapter.state(), M::STATE_UNMANAGED);
    adapter.symbolicNameBound();  // ignored while unmanaged: nothing is published
    // The adapter vanishes while unmanaged: it holds no port or DHCP manager to give back.
    adapter.symbolicNameUnbound();
    EXPECT_EQ(adapter.state(), M::STATE_UNBOUND);
    EXPECT_EQ(subscriber->changes,
              (std::vector<Change>{{name, M::STATE_UNMANAGED, 0}, {name, M::STATE_UNBOUND, 0}}));

    // A name the list still reports but the library no longer knows counts as unbound.
    adapter.symbolicNameBound();
    EXPECT_EQ(lab::Lab::instance().command("remove adapter friendly=eth0"), "ok");
    adapter.symbolicNameBound();
    EXPECT_EQ(adapter.state(), M::STATE_UNBOUND);

    std::string text = log();
    EXPECT_EQ(countOf(text, name + ": symbolic name bound"), 3);
    EXPECT_EQ(countOf(text, name + ": symbolic name unbound"), 1);
    EXPECT_EQ(countOf(text, name + ": symbolic name probably bound, but actually unbound"), 1);
    EXPECT_EQ(countOf(text, "Adapter removed: " + name), 2);
    EXPECT_EQ(countOf(text, "handleEventAndDoStateTransitionAction action = BOUND_ACTION"), 2);
    EXPECT_EQ(countOf(text, "handleEventAndDoStateTransitionAction action = UNBOUND_ACTION"), 2);
    adapter.removeSubscriber(subscriber);
    subscriber->release();
    adapter.impl()->clearReferences();
}

}  // namespace
}  // namespace tamsel::test
