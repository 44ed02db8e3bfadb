#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ostrum.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/LumMain.h"
#include "tests/runtime/lum/LumTestSupport.h"
#include "vel/multithread/EventQueueLoopInitializer.h"
#include "vel/multithread/MessageEvent.h"

constexpr std::chrono::seconds DEADLINE{10};

inline OsThreadId currentThread() {
    OsThreadId id = 0;
    osThreadSelf(&id);
    return id;
}

// Assertions that failed since the fixture started, by expression.
inline std::vector<std::string>& failedAssertions() {
    static std::vector<std::string> list;
    return list;
}

inline void recordAssertion(const char*, int, const char* expression) {
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    failedAssertions().emplace_back(expression);
}

// A run-time of its own for each test, in a temporary root. At the end every object must be gone
// (the checked memory reports no leak) and no assertion may have failed that the test did not
// take off the list.
class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        failedAssertions().clear();
        previousHandler = setAssertionHandler(recordAssertion);
        runtime.emplace();
    }
    void TearDown() override {
        runtime.reset();
        setAssertionHandler(previousHandler);
        EXPECT_EQ(LumMain::leakCount(), 0) << readText(root.log());
        EXPECT_TRUE(failedAssertions().empty()) << failedAssertions().front();
    }

    // Takes the assertions recorded so far off the list.
    std::vector<std::string> takeAssertions() { return std::exchange(failedAssertions(), {}); }

    TempRoot root;
    std::optional<LumRuntime> runtime;
    AssertionHandler previousHandler = nullptr;
};

// Runs a function as an event.
class FunctionEventImpl : public MessageEventImpl {
public:
    explicit FunctionEventImpl(std::function<void()> f) : m_f(std::move(f)) {}
    void run() override { m_f(); }

private:
    std::function<void()> m_f;
};

inline MessageEvent functionEvent(std::function<void()> f) {
    return MessageEvent(new FunctionEventImpl(std::move(f)));
}

// A flag one thread raises and another waits for, with a deadline.
class Flag {
public:
    void raise() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_raised = true;
        m_changed.notify_all();
    }
    bool wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, DEADLINE, [this] { return m_raised; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_raised = false;
};

// Holds a queue's thread inside an event until opened, so that later events stay queued.
class Gate {
public:
    MessageEvent event() {
        return functionEvent([this] {
            m_entered.raise();
            m_open.wait();
        });
    }
    // True once the queue thread is held.
    bool entered() { return m_entered.wait(); }
    void open() { m_open.raise(); }

private:
    Flag m_entered;
    Flag m_open;
};

// Posts a marker behind everything posted so far and waits until it ran: every earlier event of a
// single-thread queue has then run too.
template <typename Queue>
bool drain(const Queue& queue) {
    auto done = std::make_shared<Flag>();
    queue.post(functionEvent([done] { done->raise(); }));
    return done->wait();
}

// Counts the events that were destroyed, to show who released them.
class CountedEventImpl : public MessageEventImpl {
public:
    CountedEventImpl(int* ran, int* destroyed) : m_ran(ran), m_destroyed(destroyed) {}
    ~CountedEventImpl() override { ++*m_destroyed; }
    void run() override { ++*m_ran; }

private:
    int* m_ran;
    int* m_destroyed;
};

// An initializer that records what ran on which thread.
class RecordingInitializerImpl : public ReferenceImpl, public EventQueueLoopInitializerInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void init() override { note("init"); }
    void finalize() override { note("finalize"); }

    void note(const std::string& what) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_log.push_back(what);
        m_threads.push_back(currentThread());
    }
    std::vector<std::string> log() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_log;
    }
    std::vector<OsThreadId> threads() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_threads;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_log;
    std::vector<OsThreadId> m_threads;
};
