#include <gtest/gtest.h>

#include <functional>

#include "tests/support/TestText.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/powerevent/PowerEvents.h"
#include "vel/powerevent/ServicePower.h"

namespace tamsel::test {
namespace {

class RecordingPowerSubscriberImpl : public ReferenceImpl, public ServicePowerSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void powerEvent(std::int32_t event) override {
        events.push_back(event);
        if (onEvent) onEvent();
    }
    std::vector<std::int32_t> events;
    std::function<void()> onEvent;
};

class ServicePowerTest : public RuntimeTest {
protected:
    void TearDown() override {
        if (!power.isNull()) power.clearReferences();
        power.reset();
        RuntimeTest::TearDown();
    }
    ServicePower power = ServicePower::create();
};

TEST_F(ServicePowerTest, ASubscriberAddedWhileNotifyingHearsTheSameEvent) {
    auto* first = new RecordingPowerSubscriberImpl;
    auto* second = new RecordingPowerSubscriberImpl;
    first->onEvent = [&] { power.addSubscriber(second); };
    power.addSubscriber(first);

    PowerEventImpl(VEL_POWER_EVENT_RESUME).run();
    EXPECT_EQ(first->events, std::vector<std::int32_t>{VEL_POWER_EVENT_RESUME});
    EXPECT_EQ(second->events, std::vector<std::int32_t>{VEL_POWER_EVENT_RESUME});
    EXPECT_EQ(countOf(readText(root.log()), "ServicePowerImpl::notifySubscribers(),# of subscribers: 1\n"),
              1);

    power.removeSubscriber(first);
    power.notifySubscribers(VEL_POWER_EVENT_SUSPEND);
    EXPECT_EQ(first->events.size(), 1u);
    EXPECT_EQ(second->events.back(), VEL_POWER_EVENT_SUSPEND);
    first->release();
    second->release();
}

TEST_F(ServicePowerTest, WithoutSubscribersOnlyTheCountIsLogged) {
    power.notifySubscribers(VEL_POWER_EVENT_RESUME);
    EXPECT_EQ(countOf(readText(root.log()), "ServicePowerImpl::notifySubscribers(),# of subscribers: 0\n"),
              1);
}

TEST(PowerEvents, OnlyTheAutomaticResumeIsAResume) {
    struct Case {
        std::uint32_t broadcast;
        ServicePowerEvent event;
    };
    const Case cases[] = {{4, VEL_POWER_EVENT_SUSPEND}, {18, VEL_POWER_EVENT_RESUME},
                          {7, VEL_POWER_EVENT_UNKNOWN}, {6, VEL_POWER_EVENT_UNKNOWN},
                          {0, VEL_POWER_EVENT_UNKNOWN}, {10, VEL_POWER_EVENT_UNKNOWN},
                          {99, VEL_POWER_EVENT_UNKNOWN}};
    for (const Case& c : cases) EXPECT_EQ(powerEventOfBroadcast(c.broadcast), c.event) << c.broadcast;
    EXPECT_STREQ(powerEventText(2), "VEL_POWER_EVENT_UNKNOWN");
    EXPECT_STREQ(powerEventText(5), "VEL_POWER_EVENT_UNKNOWN");
}

}  // namespace
}  // namespace tamsel::test
