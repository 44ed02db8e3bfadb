#include "win/Event.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

namespace win {

class Event {
public:
    std::mutex mutex;
    std::condition_variable condition;
    bool signalled = false;
};

namespace {
std::atomic<int> g_failingCreates{0};
}

void failNextEventCreates(int count) {
    g_failingCreates.store(count < 0 ? 0 : count);
}

EventHandle createAutoResetEvent() {
    int pending = g_failingCreates.load();
    while (pending > 0) {
        if (g_failingCreates.compare_exchange_weak(pending, pending - 1)) return nullptr;
    }
    return new (std::nothrow) Event();
}

bool setEvent(EventHandle event) {
    if (event == nullptr) return false;
    {
        std::lock_guard<std::mutex> lock(event->mutex);
        event->signalled = true;
    }
    event->condition.notify_one();
    return true;
}

WaitResult waitForEvent(EventHandle event, uint32_t timeoutMs) {
    if (event == nullptr) return WaitResult::FAILED;
    std::unique_lock<std::mutex> lock(event->mutex);
    if (timeoutMs == INFINITE_WAIT) {
        event->condition.wait(lock, [event] { return event->signalled; });
    } else if (!event->condition.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                          [event] { return event->signalled; })) {
        return WaitResult::TIMED_OUT;
    }
    event->signalled = false;
    return WaitResult::SIGNALLED;
}

bool closeEvent(EventHandle event) {
    if (event == nullptr) return false;
    delete event;
    return true;
}

}  // namespace win
