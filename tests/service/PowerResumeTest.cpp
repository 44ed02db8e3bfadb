#include <gtest/gtest.h>

#include <vector>

#include "runtime/lum/Assert.h"
#include "runtime/lum/LumMain.h"
#include "tests/service/ServiceTestSupport.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/EventQueueLoopInitializer.h"
#include "vel/powerevent/PowerEvents.h"
#include "vel/powerevent/ServicePower.h"

using namespace winsvc;

namespace {

class RecordingPowerSubscriberImpl : public ReferenceImpl, public ServicePowerSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void powerEvent(std::int32_t event) override { events.push_back(event); }
    std::vector<std::int32_t> events;
};

int Assertions = 0;
void countAssertion(const char*, int, const char*) {
    ++Assertions;
}

TEST(PowerResume, OnlyAnAutomaticResumeReachesTheEnginesSubscribers) {
    TempRoot root;
    LumRuntime runtime;
    AssertionHandler previous = setAssertionHandler(countAssertion);
    // Before the engine runs there is no one to tell: the broadcast is only logged.
    serviceControlHandler(SERVICE_CONTROL_POWEREVENT, PBT_APMRESUMEAUTOMATIC, nullptr, nullptr);

    auto* initializer = new DummyEventQueueLoopInitializerImpl;
    Reference initializerReference(static_cast<ReferenceImpl*>(initializer), Reference::TAKE_OVER);
    EventQueue queue = EventQueue::Create(initializer);
    ServicePower power = ServicePower::create();
    auto* subscriber = new RecordingPowerSubscriberImpl;
    power.addSubscriber(subscriber);
    for (DWORD broadcast :
         {PBT_APMSUSPEND, PBT_APMRESUMESUSPEND, PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMECRITICAL})
        EXPECT_EQ(serviceControlHandler(SERVICE_CONTROL_POWEREVENT, broadcast, nullptr, nullptr), NO_ERROR);
    queue.stop();

    EXPECT_EQ(subscriber->events, std::vector<std::int32_t>{VEL_POWER_EVENT_RESUME});
    EXPECT_EQ(countOf(readText(root.log()),
                      "]: PowerEvent recvd: PBT_APMRESUMEAUTOMATIC, type=18, VEL_POWER_EVENT_RESUME\n"),
              2);
    EXPECT_EQ(Assertions, 0);
    power.clearReferences();
    subscriber->release();
    power.reset();
    queue.reset();
    initializerReference.reset();
    setAssertionHandler(previous);
}

}  // namespace
