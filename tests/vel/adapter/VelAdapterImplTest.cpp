#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/vel/adapter/AdapterObjectTestSupport.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/location/LocationRequest.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace tamsel::test {
namespace {

using M = AdapterStateMachine;

class VelAdapterImplTest : public AdapterObjectTest {
protected:
    void SetUp() override {
        AdapterObjectTest::SetUp();
        LabBuilder lab;
        lab.wiredAdapter(1, "eth0").wirelessAdapter(2, "wlan0", {{"locationCapable", "true"}});
        startLab(lab);
    }
};

TEST_F(VelAdapterImplTest, ManageSwitchesTheSystemsWirelessConfigurationOffOnceThenTakesControl) {
    makeAdapter(2);
    Gate gate;
    whileAlternateHeld(gate, [this] {
        adapter.symbolicNameBound();
        adapter.manage();
        adapter.manage();  // the alternate queue has not run yet
    });
    EXPECT_EQ(object()->wzcState(), VelAdapterImpl::WZC_DISABLING);
    EXPECT_EQ(adapter.state(), M::STATE_UNMANAGED);
    EXPECT_EQ(
        countOf(log(), "Ignoring request to manage adapter " + name + " due to WZC disabling in progress."),
        1);

    gate.open();
    ASSERT_TRUE(drain(alternate));
    ASSERT_TRUE(drain(queue));
    std::string text = log();
    EXPECT_EQ(countOf(text,
                      "Processing WzcDisable event in AltEventQueue thread: calling "
                      "PortNameManager::wzcDisable() for " +
                          name + "..."),
              1);
    EXPECT_EQ(countOf(text, "Wireless Zero Config deactivated: " + name), 1);
    EXPECT_EQ(countOf(text, "...WZC has been disabled for adapter " + name + "."), 1);
    EXPECT_EQ(countOf(text, "Now will continue with state transition."), 1);
    EXPECT_EQ(countOf(text, "Adapter controlled: " + name), 1);
    EXPECT_EQ(countOf(text, "Left VelAdapterImpl::manage():" + name), 3);
    EXPECT_EQ(object()->wzcState(), VelAdapterImpl::WZC_IDLE);
    EXPECT_TRUE(object()->managed());
    EXPECT_EQ(callsOf("qxPortAttach"), 1);
    EXPECT_THAT(states(), ElementsAre(M::STATE_UNMANAGED, M::STATE_DISCONNECTED_LINK_DOWN));
    EXPECT_THAT(matchmaker.notices, ElementsAre("bound", "managed"));
}

TEST_F(VelAdapterImplTest, AnAdapterUnboundWhileTheConfigurationIsSwitchedOffIsNotManaged) {
    makeAdapter(2);
    Gate gate;
    whileAlternateHeld(gate, [this] {
        adapter.symbolicNameBound();
        adapter.manage();
        adapter.symbolicNameUnbound();
    });
    gate.open();
    ASSERT_TRUE(drain(alternate));
    ASSERT_TRUE(drain(queue));
    EXPECT_EQ(countOf(log(), "The adapter " + name + " is not bound anymore, ignoring."), 1);
    EXPECT_THAT(log(), Not(HasSubstr("Adapter controlled")));
    EXPECT_EQ(adapter.state(), M::STATE_UNBOUND);
    EXPECT_FALSE(object()->managed());
    EXPECT_EQ(callsOf("qxPortAttach"), 0);
    EXPECT_THAT(matchmaker.notices, ElementsAre("bound", "unbound"));

    // The next manage starts over.
    onEngine([this] { adapter.symbolicNameBound(); });
    manageAdapter();
    EXPECT_EQ(adapter.state(), M::STATE_DISCONNECTED_LINK_DOWN);
}

TEST_F(VelAdapterImplTest, LosingTheAdapterOrItsManagementGivesThePortManagerBack) {
    struct Row {
        const char* what;
        bool managed;
        std::function<void(VelAdapter&)> lose;
        std::int32_t state;
        bool reactivated;
    } rows[] = {
        {"unplugged while managed", true, [](VelAdapter& a) { a.symbolicNameUnbound(); }, M::STATE_UNBOUND,
         false},
        {"unmanaged for the system", true, [](VelAdapter& a) { a.unmanage(1); }, M::STATE_UNMANAGED, true},
        {"unmanaged for the client", true, [](VelAdapter& a) { a.unmanage(0); }, M::STATE_UNMANAGED, false},
        {"unplugged while unmanaged", false, [](VelAdapter& a) { a.symbolicNameUnbound(); }, M::STATE_UNBOUND,
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        makeAdapter(2);
        if (row.managed)
            manageAdapter();
        else
            onEngine([this] { adapter.symbolicNameBound(); });
        size_t before = log().size();
        lab::clearCalls();
        onEngine([&] { row.lose(adapter); });
        std::string text = log().substr(before);
        EXPECT_EQ(adapter.state(), row.state);
        EXPECT_FALSE(object()->managed());
        EXPECT_EQ(countOf(text, "Adapter control released: " + name), row.managed ? 1 : 0);
        EXPECT_EQ(callsOf("qxPortDetach"), row.managed ? 1 : 0);
        EXPECT_EQ(countOf(text, "Wireless Zero Config reactivated"), row.reactivated ? 1 : 0);
        EXPECT_THAT(takeAssertions(), IsEmpty());
        onEngine([this] { adapter.impl()->clearReferences(); });
        adapter.reset();
        subscriber->changes.clear();
    }
}

TEST_F(VelAdapterImplTest, LocationIsAskedOnlyOfAManagedLocationCapableRadio) {
    LocationRequest request = LocationRequest::create(7, 1, true, 0, false, true, 2);
    makeAdapter(1);
    manageAdapter();
    lab::clearCalls();
    bool asked = true;
    onEngine([&] { asked = adapter.location(request); });
    EXPECT_FALSE(asked);
    EXPECT_EQ(callsOf("qxPortGetLocation"), 0);
    onEngine([this] { adapter.impl()->clearReferences(); });

    makeAdapter(2);
    onEngine([&] { asked = adapter.location(request); });
    EXPECT_FALSE(asked);
    EXPECT_EQ(callsOf("qxPortGetLocation"), 0);
    manageAdapter();
    onEngine([&] { asked = adapter.location(request); });
    EXPECT_EQ(callsOf("qxPortGetLocation"), 1);
}

TEST_F(VelAdapterImplTest, WhatThePortReportsReachesTheSubscribersAndTheTray) {
    struct EapRecorder : public ReferenceImpl, public AdapterSubscriberInterface {
        REFERENCE_IMPL_FORWARDS
        void eapStatus(const VelAdapter&, std::int32_t status) override { statuses.push_back(status); }
        void adapterStateChanged(const VelAdapter&, std::int32_t, std::int32_t) override {}
        std::vector<std::int32_t> statuses;
    };
    makeAdapter(2);
    auto* eap = new EapRecorder;
    adapter.addSubscriber(eap);
    manageAdapter();
    PortManagerListener listener = adapter.portManagerListener();
    onEngine([&] {
        listener.event(2);
        listener.locationNoticeEvent(LocationResponse());
        listener.locationErrorEvent(7, 3);
        listener.unboundStatusEvent();
    });
    EXPECT_THAT(eap->statuses, ElementsAre(2));
    EXPECT_THAT(matchmaker.notices, ElementsAre("bound", "managed", "location", "location error 7 3"));
    EXPECT_THAT(takeAssertions(), ElementsAre("Should not be getting an unbound status event via the "
                                              "PortManagerListenerInterface::unboundStatusEvent() method"));
    std::string text = log();
    EXPECT_EQ(countOf(text, "In VelAdapterImpl::locationNoticeEvent"), 1);
    EXPECT_EQ(countOf(text, "In VelAdapterImpl::locationErrorEvent"), 1);
    listener = PortManagerListener();
    eap->release();
}

TEST_F(VelAdapterImplTest, PortOperationsWithoutAPortManagerDoNothing) {
    makeAdapter(2);
    onEngine([this] {
        adapter.symbolicNameBound();
        adapter.closePort();
        adapter.reAuth();
        adapter.radioOff();
        EXPECT_FALSE(adapter.isRadioOn());
        EXPECT_FALSE(adapter.enablePacketCapture());
        EXPECT_FALSE(adapter.associationInfo().exists());
        EXPECT_FALSE(adapter.scanDetails().exists());
    });
    std::string text = log();
    EXPECT_EQ(countOf(text, "m_portManagerProxy is empty in VelAdapterImpl::closePort()"), 1);
    EXPECT_EQ(countOf(text, "m_portManagerProxy is empty in VelAdapterImpl::reAuth()"), 1);
    EXPECT_EQ(callsOf("qxPortRadioOff"), 0);
}

}  // namespace
}  // namespace tamsel::test
