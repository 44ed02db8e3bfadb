#pragma once
// Address attempts with the engine's two queues running, a subscriber that records the results
// it hears, and a machine whose library calls a test scripts.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/lab/Lab.h"
#include "platform/qxauth/qxAuth.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TestText.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/dhcp/ActiveDhcpStateMachine.h"
#include "vel/dhcp/DhcpManager.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/WorkerQueue.h"

namespace tamsel::test {

class RecordingDhcpSubscriberImpl : public ReferenceImpl, public DhcpManagerSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void dhcpResult(const DhcpManager& manager, std::int32_t result) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_results.push_back({manager.impl(), result});
        m_changed.notify_all();
    }
    Ascii dhcpMacAddress() override { return Ascii("020000000001"); }

    struct Result {
        DhcpManagerImpl* manager;
        std::int32_t result;
    };
    std::vector<Result> results() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_results;
    }
    // True once there are at least count results.
    bool waitFor(size_t count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, DEADLINE, [&] { return m_results.size() >= count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Result> m_results;
};

// The library calls answered from a script: each reconnect takes the next answer (false once the
// script is empty) and may wait at a gate first.
class ScriptedDhcpStateMachineImpl : public ActiveDhcpStateMachineImpl {
public:
    ScriptedDhcpStateMachineImpl() : ActiveDhcpStateMachineImpl(Ascii("{scripted}")) {}

    bool isDhcpEnabled() override { return enabled; }
    bool reconnect() override {
        ++reconnects;
        if (holdReconnect.exchange(false)) {
            inReconnect.raise();
            letReconnectGo.wait();
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (answers.empty()) return false;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool releaseAddress() override {
        ++releases;
        return true;
    }
    Ascii ipAddress() override { return Ascii("192.0.2.77"); }

    void script(std::deque<bool> list) {
        std::lock_guard<std::mutex> lock(m_mutex);
        answers = std::move(list);
    }

    std::atomic<bool> enabled{true};
    std::atomic<int> reconnects{0};
    std::atomic<int> releases{0};
    // The next reconnect raises inReconnect and waits for letReconnectGo.
    std::atomic<bool> holdReconnect{false};
    Flag inReconnect;
    Flag letReconnectGo;

private:
    std::mutex m_mutex;
    std::deque<bool> answers;
};

class DhcpTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        base::clearFailures();
        lab::clearCalls();
        lab::Lab::instance().setManual(true);
        initializer = new RecordingInitializerImpl;
        engine = EventQueue::Create(initializer);
        workers = WorkerQueue::Create();
        subscriber = new RecordingDhcpSubscriberImpl;
    }
    void TearDown() override {
        workers.stop();
        engine.stop();
        workers.reset();
        engine.reset();
        subscriber->release();
        initializer->release();
        if (lab::Lab::instance().running()) qxExit();
        lab::Lab::instance().setManual(false);
        base::clearFailures();
        RuntimeTest::TearDown();
    }
    // Every attempt posted so far ran, and every result it posted was delivered.
    void settle() {
        ASSERT_TRUE(drainAll(workers));
        ASSERT_TRUE(drain(engine));
    }
    // Three markers, one per worker thread, each waiting until all three are in: every event
    // posted before has then been taken; then each ran to its end once the markers are through.
    bool drainAll(const WorkerQueue& queue) {
        for (int round = 0; round < 1; ++round) {
            auto mutex = std::make_shared<std::mutex>();
            auto cv = std::make_shared<std::condition_variable>();
            auto inside = std::make_shared<int>(0);
            auto done = std::make_shared<std::atomic<int>>(0);
            for (int i = 0; i < WorkerQueueImpl::THREAD_COUNT; ++i) {
                queue.post(functionEvent([=] {
                    std::unique_lock<std::mutex> lock(*mutex);
                    ++*inside;
                    cv->notify_all();
                    cv->wait_for(lock, DEADLINE, [&] { return *inside == WorkerQueueImpl::THREAD_COUNT; });
                    ++*done;
                    cv->notify_all();
                }));
            }
            std::unique_lock<std::mutex> lock(*mutex);
            if (!cv->wait_for(lock, DEADLINE, [&] { return *done == WorkerQueueImpl::THREAD_COUNT; }))
                return false;
        }
        return true;
    }

    RecordingInitializerImpl* initializer = nullptr;
    EventQueue engine;
    WorkerQueue workers;
    RecordingDhcpSubscriberImpl* subscriber = nullptr;
};

}  // namespace tamsel::test
