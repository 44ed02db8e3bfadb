#pragma once
// The port layer on a lab in manual mode: the library started, the engine's queue, timer list and
// scan list made, and an adapter whose port listener records what reaches it. Port-manager work
// runs on the queue's thread, as in the engine; the lab's callbacks run when the test pumps.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ostrum.h"
#include "platform/base/FailureInjection.h"
#include "platform/lab/Lab.h"
#include "platform/qxauth/qxAuth.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TestText.h"
#include "tests/vel/adapter/AdapterTestSupport.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/adapter/VelAdapter.h"
#include "vel/multithread/EventQueue.h"
#include "vel/network/ScanList.h"
#include "vel/port/PortManager.h"
#include "vel/timer/TimerList.h"

namespace tamsel::test {

class RecordingPortListenerImpl : public ReferenceImpl, public PortManagerListenerInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void event(std::int32_t event) override { lines.push_back("event " + std::to_string(event)); }
    void stateEvent(std::int32_t adapterEvent, std::int32_t value) override {
        lines.push_back("state " + std::to_string(adapterEvent) + " " + std::to_string(value));
    }
    void linkUpStatusEvent(std::int32_t value) override { lines.push_back("up " + std::to_string(value)); }
    void linkDownStatusEvent() override { lines.push_back("down"); }
    void unboundStatusEvent() override { lines.push_back("unbound"); }
    void locationNoticeEvent(const LocationResponse& response) override {
        responses.push_back(response);
        lines.push_back("location");
    }
    void locationErrorEvent(std::int32_t requestNumber, std::int32_t errorCode) override {
        lines.push_back("location error " + std::to_string(requestNumber) + " " + std::to_string(errorCode));
    }

    std::vector<std::string> lines;
    std::vector<LocationResponse> responses;
};

class PortTest : public AdapterTest {
protected:
    void SetUp() override {
        AdapterTest::SetUp();
        initializer = new RecordingInitializerImpl;
        queue = EventQueue::Create(initializer);
        timers = TimerList::Create();
        scanList.emplace(ScanList::create());
        listener = new RecordingPortListenerImpl;
    }
    void TearDown() override {
        if (!manager.empty()) onEngine([this] { manager.clearReferences(); });
        manager.clear();
        if (!adapter.isNull()) adapter.impl()->clearReferences();
        adapter.reset();
        queue.stop();
        queue.reset();
        timers.reset();
        scanList->clear();
        scanList.reset();
        listener->release();
        initializer->release();
        AdapterTest::TearDown();
    }

    // The library started on the lab, with what it sends at the start delivered.
    void startLab(const LabBuilder& builder) {
        AdapterTest::startLab(builder);
        lab::Lab::instance().pump();
    }
    // The adapter of lab adapter n with its manager; attached unless told otherwise.
    void makeManager(int n, bool attach = true, NvoPortImpl* port = nullptr) {
        adapter = VelAdapter::create(LabBuilder::guid(n).c_str());
        adapter.setPortManagerListener(listener);
        lab::clearCalls();
        onEngine([&] {
            PortManagerImpl* impl =
                port != nullptr ? new PortManagerImpl(adapter, NvoPort(port)) : new PortManagerImpl(adapter);
            manager = PortManagerProxy(impl);
            impl->release();
            manager.get()->setPortManager();
            if (attach) manager.attach(adapter.symbolicName().text());
        });
    }
    PortManagerImpl* pm() { return manager.get(); }

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
        }
        settle();
    }
    // The recorded calls, each without its result when `withResult` is false.
    static std::vector<std::string> calls() { return lab::recordedCalls(); }
    static std::string portName(int n) { return "\"" + LabBuilder::guid(n) + "\""; }

    RecordingInitializerImpl* initializer = nullptr;
    EventQueue queue;
    TimerList timers;
    std::optional<ScanList> scanList;
    RecordingPortListenerImpl* listener = nullptr;
    VelAdapter adapter;
    PortManagerProxy manager;
};

}  // namespace tamsel::test
