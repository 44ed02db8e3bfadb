#pragma once
// Adapter objects on a lab in manual mode with the engine's queues, timer list and scan list, a
// subscriber that records what they publish and a matchmaker that records their notices. Adapter
// work runs on the engine queue's thread, as in the engine; the lab's callbacks run when the test
// pumps.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ostrum.h"
#include "platform/lab/Lab.h"
#include "tests/vel/adapter/AdapterTestSupport.h"
#include "vel/adapter/AdapterNotices.h"
#include "vel/adapter/VelAdapterImpl.h"
#include "vel/multithread/AltEventQueue.h"
#include "vel/multithread/EventQueue.h"
#include "vel/network/ScanList.h"
#include "vel/timer/TimerList.h"

namespace tamsel::test {

class RecordingMatchmaker : public AdapterMatchmakerInterface, public AdapterLocationEventsInterface {
public:
    void adapterBound(const VelAdapter&) override { notices.push_back("bound"); }
    void adapterManaged(const VelAdapter&) override { notices.push_back("managed"); }
    void adapterUnbound(const VelAdapter&) override { notices.push_back("unbound"); }
    void locationResponse(const LocationResponse&) override { notices.push_back("location"); }
    void locationError(std::int32_t sequence, std::int32_t code) override {
        notices.push_back("location error " + std::to_string(sequence) + " " + std::to_string(code));
    }

    std::vector<std::string> notices;
};

class AdapterObjectTest : public AdapterTest {
protected:
    void SetUp() override {
        AdapterTest::SetUp();
        initializer = new RecordingInitializerImpl;
        queue = EventQueue::Create(initializer);
        alternate = AltEventQueue::Create();
        timers = TimerList::Create();
        scanList.emplace(ScanList::create());
        subscriber = new RecordingAdapterSubscriberImpl;
        AdapterNotices::installMatchmaker(&matchmaker);
        AdapterNotices::installLocationEvents(&matchmaker);
    }
    void TearDown() override {
        if (!adapter.isNull()) onEngine([this] { adapter.impl()->clearReferences(); });
        adapter.reset();
        AdapterNotices::installMatchmaker(nullptr);
        AdapterNotices::installLocationEvents(nullptr);
        alternate.stop();
        alternate.reset();
        queue.stop();
        queue.reset();
        timers.reset();
        scanList->clear();
        scanList.reset();
        subscriber->release();
        initializer->release();
        AdapterTest::TearDown();
    }

    // The library started on the lab, with what it sends at the start delivered.
    void startLab(const LabBuilder& builder) {
        AdapterTest::startLab(builder);
        lab::Lab::instance().pump();
    }
    // The adapter object of lab adapter n, with the recording subscriber.
    void makeAdapter(int n) {
        adapter = VelAdapter::create(LabBuilder::guid(n).c_str());
        adapter.addSubscriber(subscriber);
        name = LabBuilder::guid(n);
    }
    // Bound, managed (the alternate queue done) and back on the engine: "disconnected link down".
    void manageAdapter() {
        onEngine([this] {
            adapter.symbolicNameBound();
            adapter.manage();
        });
        ASSERT_TRUE(drain(alternate));
        ASSERT_TRUE(drain(queue));
        settle();
    }
    VelAdapterImpl* object() { return static_cast<VelAdapterImpl*>(adapter.impl()); }

    // Runs f on the engine's thread and waits for it.
    void onEngine(std::function<void()> f) {
        queue.post(functionEvent(std::move(f)));
        ASSERT_TRUE(drain(queue));
    }
    // The lab's due callbacks, then the events they posted.
    void settle() {
        lab::Lab::instance().pump();
        ASSERT_TRUE(drain(queue));
    }
    // Moves the lab's clock and the engine's timers on by whole seconds.
    void advance(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            lab::Lab::instance().advance(1000);
            for (int tick = 0; tick < osTimerGetHz(); ++tick) timers.impl()->countDown();
            ASSERT_TRUE(drain(queue));
            settle();
        }
    }
    std::vector<std::int32_t> states() const {
        std::vector<std::int32_t> list;
        for (const auto& change : subscriber->changes) list.push_back(change.state);
        return list;
    }
    static std::vector<std::string> calls() { return lab::recordedCalls(); }
    static int callsOf(const std::string& function) {
        int count = 0;
        for (const std::string& call : lab::recordedCalls())
            count += call.rfind(function + "(", 0) == 0 ? 1 : 0;
        return count;
    }

    RecordingInitializerImpl* initializer = nullptr;
    EventQueue queue;
    AltEventQueue alternate;
    TimerList timers;
    std::optional<ScanList> scanList;
    RecordingAdapterSubscriberImpl* subscriber = nullptr;
    RecordingMatchmaker matchmaker;
    VelAdapter adapter;
    std::string name;
};

}  // namespace tamsel::test
