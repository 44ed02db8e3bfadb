#pragma once
// Adapter objects on the port layer's lab fixture, with the alternate queue, the worker queue
// their address attempts run on, a subscriber that records what they publish and a matchmaker
// that records their notices.
#include <functional>
#include <string>
#include <vector>

#include "tests/vel/port/PortTestSupport.h"
#include "vel/adapter/AdapterNotices.h"
#include "vel/adapter/VelAdapterImpl.h"
#include "vel/multithread/AltEventQueue.h"
#include "vel/multithread/WorkerQueue.h"

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

class AdapterObjectTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        alternate = AltEventQueue::Create();
        workers = WorkerQueue::Create();
        subscriber = new RecordingAdapterSubscriberImpl;
        AdapterNotices::installMatchmaker(&matchmaker);
        AdapterNotices::installLocationEvents(&matchmaker);
    }
    void TearDown() override {
        if (!adapter.isNull()) onEngine([this] { adapter.impl()->clearReferences(); });
        adapter.reset();
        // Address attempts post their results to the engine's queue, which stops after them.
        workers.stop();
        workers.reset();
        AdapterNotices::installMatchmaker(nullptr);
        AdapterNotices::installLocationEvents(nullptr);
        // Its events post to the engine's queue, which stops after it.
        alternate.stop();
        alternate.reset();
        subscriber->release();
        PortTest::TearDown();
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
    // Holds the alternate queue's thread in the gate, then runs f on the engine.
    void whileAlternateHeld(Gate& gate, std::function<void()> f) {
        alternate.post(gate.event());
        ASSERT_TRUE(gate.entered());
        onEngine(std::move(f));
    }
    VelAdapterImpl* object() { return static_cast<VelAdapterImpl*>(adapter.impl()); }
    // Read on the engine's thread, after the event in progress: address attempts post their
    // results from worker threads at any time.
    std::int32_t engineState() {
        std::int32_t state = 0;
        onEngine([&] { state = adapter.state(); });
        return state;
    }

    std::vector<std::int32_t> states() const {
        std::vector<std::int32_t> list;
        for (const auto& change : subscriber->changes) list.push_back(change.state);
        return list;
    }
    static int callsOf(const std::string& function) {
        int count = 0;
        for (const std::string& call : lab::recordedCalls())
            count += call.rfind(function + "(", 0) == 0 ? 1 : 0;
        return count;
    }

    AltEventQueue alternate;
    WorkerQueue workers;
    RecordingAdapterSubscriberImpl* subscriber = nullptr;
    RecordingMatchmaker matchmaker;
    std::string name;
};

}  // namespace tamsel::test
