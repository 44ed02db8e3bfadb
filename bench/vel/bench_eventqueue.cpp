// The engine's event queue next to a plain std::condition_variable queue, one producer and one
// consuming thread each: the time from post to the start of run() with the queue otherwise idle,
// and the events per second a producer gets through while keeping the queue from filling up.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/PinnedCpu.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LumMain.h"
#include "vel/multithread/EventQueue.h"

namespace {

using Clock = std::chrono::steady_clock;

// Events in flight at most during the throughput runs; the engine queue holds 100 and a full
// queue ends the process.
constexpr int WINDOW = 64;

// What both queues' events do: note how long they waited and count themselves.
struct Probe {
    std::atomic<long> done{0};
    std::vector<double> latenciesUs;
    void ran(Clock::time_point posted) {
        latenciesUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - posted).count());
        done.fetch_add(1, std::memory_order_release);
    }
    // Waits for the consumer to reach count; spinning keeps the producer's wake-up out of the figures.
    void waitFor(long count) {
        while (done.load(std::memory_order_acquire) < count) std::this_thread::yield();
    }
};

void reportLatency(benchmark::State& state, std::vector<double>& latencies) {
    if (latencies.empty()) return;
    std::sort(latencies.begin(), latencies.end());
    double sum = 0;
    for (double v : latencies) sum += v;
    state.counters["mean_us"] = sum / static_cast<double>(latencies.size());
    state.counters["p50_us"] = latencies[latencies.size() / 2];
    state.counters["p99_us"] = latencies[latencies.size() * 99 / 100];
}

// ---- the engine's event queue -------------------------------------------------------------

class ProbeEventImpl : public MessageEventImpl {
public:
    ProbeEventImpl(Probe& probe, Clock::time_point posted) : m_probe(probe), m_posted(posted) {}
    void run() override { m_probe.ran(m_posted); }

private:
    Probe& m_probe;
    Clock::time_point m_posted;
};

class EngineSetting {
public:
    EngineSetting() {
        char pattern[] = "/tmp/tamsel-bench-XXXXXX";
        m_root = mkdtemp(pattern);
        setenv("TAMSEL_HOME", m_root.c_str(), 1);
        configureLogFiles(&serviceLogFileSpec(), 1);
        m_runtime.emplace();
        m_initializer = new DummyEventQueueLoopInitializerImpl;
        m_queue = EventQueue::Create(m_initializer);
    }
    ~EngineSetting() {
        m_queue.stop();
        m_queue.reset();
        m_initializer->release();
        m_runtime.reset();
        std::filesystem::remove_all(m_root);
    }
    const EventQueue& queue() const { return m_queue; }

private:
    std::string m_root;
    std::optional<LumRuntime> m_runtime;
    DummyEventQueueLoopInitializerImpl* m_initializer = nullptr;
    EventQueue m_queue;
};

void BM_EventQueueLatency(benchmark::State& state) {
    PinnedCpu pinned(state.range(0) != 0);
    EngineSetting engine;
    Probe probe;
    long posted = 0;
    for (auto _ : state) {
        engine.queue().post(MessageEvent(new ProbeEventImpl(probe, Clock::now())));
        probe.waitFor(++posted);
    }
    reportLatency(state, probe.latenciesUs);
}
BENCHMARK(BM_EventQueueLatency)->ArgName("pinned")->Arg(0)->Arg(1)->UseRealTime();

void BM_EventQueueThroughput(benchmark::State& state) {
    EngineSetting engine;
    Probe probe;
    long posted = 0;
    for (auto _ : state) {
        probe.waitFor(posted - WINDOW + 1);
        engine.queue().post(MessageEvent(new ProbeEventImpl(probe, Clock::now())));
        ++posted;
    }
    probe.waitFor(posted);
    state.SetItemsProcessed(posted);
}
BENCHMARK(BM_EventQueueThroughput)->UseRealTime();

// The same event posted over and over: the queue's own cost without the checked-memory
// allocation of a new event.
class CountingEventImpl : public MessageEventImpl {
public:
    explicit CountingEventImpl(Probe& probe) : m_probe(probe) {}
    void run() override { m_probe.done.fetch_add(1, std::memory_order_release); }

private:
    Probe& m_probe;
};

void BM_EventQueueThroughputSameEvent(benchmark::State& state) {
    EngineSetting engine;
    Probe probe;
    MessageEvent event(new CountingEventImpl(probe));
    long posted = 0;
    for (auto _ : state) {
        probe.waitFor(posted - WINDOW + 1);
        engine.queue().post(event);
        ++posted;
    }
    probe.waitFor(posted);
    state.SetItemsProcessed(posted);
}
BENCHMARK(BM_EventQueueThroughputSameEvent)->UseRealTime();

// ---- a plain condition-variable queue -----------------------------------------------------

class PlainQueue {
public:
    struct Event {
        virtual ~Event() = default;
        virtual void run() = 0;
    };

    PlainQueue() : m_thread([this] { loop(); }) {}
    ~PlainQueue() {
        post(nullptr);
        m_thread.join();
    }
    void post(std::unique_ptr<Event> event) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_events.push_back(std::move(event));
        }
        m_notEmpty.notify_one();
    }

private:
    void loop() {
        for (;;) {
            std::unique_ptr<Event> event;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_notEmpty.wait(lock, [this] { return !m_events.empty(); });
                event = std::move(m_events.front());
                m_events.pop_front();
            }
            if (!event) return;
            event->run();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_notEmpty;
    std::deque<std::unique_ptr<Event>> m_events;
    std::thread m_thread;
};

class PlainProbeEvent : public PlainQueue::Event {
public:
    PlainProbeEvent(Probe& probe, Clock::time_point posted) : m_probe(probe), m_posted(posted) {}
    void run() override { m_probe.ran(m_posted); }

private:
    Probe& m_probe;
    Clock::time_point m_posted;
};

void BM_PlainQueueLatency(benchmark::State& state) {
    PinnedCpu pinned(state.range(0) != 0);
    Probe probe;
    PlainQueue queue;
    long posted = 0;
    for (auto _ : state) {
        queue.post(std::make_unique<PlainProbeEvent>(probe, Clock::now()));
        probe.waitFor(++posted);
    }
    reportLatency(state, probe.latenciesUs);
}
BENCHMARK(BM_PlainQueueLatency)->ArgName("pinned")->Arg(0)->Arg(1)->UseRealTime();

void BM_PlainQueueThroughput(benchmark::State& state) {
    Probe probe;
    PlainQueue queue;
    long posted = 0;
    for (auto _ : state) {
        probe.waitFor(posted - WINDOW + 1);
        queue.post(std::make_unique<PlainProbeEvent>(probe, Clock::now()));
        ++posted;
    }
    probe.waitFor(posted);
    state.SetItemsProcessed(posted);
}
BENCHMARK(BM_PlainQueueThroughput)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
