#include "win/Event.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

#include "platform/base/FailureInjection.h"

namespace win {

class Event {
public:
    std::mutex mutex;
    std::condition_variable condition;
    // Written only under the mutex; read without it by setEvent's fast path.
    std::atomic<bool> signalled{false};
};

EventHandle createAutoResetEvent() {
    if (std::uint32_t code = 0; base::injectedFailure("createAutoResetEvent", code)) return nullptr;
    return new (std::nothrow) Event();
}

bool setEvent(EventHandle event) {
    if (event == nullptr) return false;
    // Setting a signalled event changes nothing; seen here, the set is ordered before the wait that
    // will consume the earlier one.
    if (event->signalled.load(std::memory_order_acquire)) return true;
    {
        std::lock_guard<std::mutex> lock(event->mutex);
        event->signalled.store(true, std::memory_order_release);
    }
    event->condition.notify_one();
    return true;
}

WaitResult waitForEvent(EventHandle event, uint32_t timeoutMs) {
    if (event == nullptr) return WaitResult::FAILED;
    std::unique_lock<std::mutex> lock(event->mutex);
    if (timeoutMs == INFINITE_WAIT) {
        event->condition.wait(lock, [event] { return event->signalled.load(); });
    } else if (!event->condition.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                          [event] { return event->signalled.load(); })) {
        return WaitResult::TIMED_OUT;
    }
    event->signalled.store(false, std::memory_order_release);
    return WaitResult::SIGNALLED;
}

bool closeEvent(EventHandle event) {
    if (event == nullptr) return false;
    delete event;
    return true;
}

}  // namespace win
