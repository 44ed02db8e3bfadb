#include "platform/win/Event.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

#include "platform/base/FailureInjection.h"

namespace win {

// A set while threads wait hands one of them a release at once, so that a second set before the
// first waiter ran releases a second waiter instead of finding the event still set.
class Event {
public:
    std::mutex mutex;
    std::condition_variable condition;
    bool signalled = false;
    int waiting = 0;
    // Releases handed to waiting threads that have not yet returned; never above `waiting`.
    int released = 0;

    bool passable() const { return released > 0 || signalled; }
    void consume() {
        if (released > 0) {
            --released;
        } else {
            signalled = false;
        }
    }
};

EventHandle createAutoResetEvent() {
    if (std::uint32_t code = 0; base::injectedFailure("createAutoResetEvent", code)) return nullptr;
    return new (std::nothrow) Event();
}

bool setEvent(EventHandle event) {
    if (event == nullptr) return false;
    {
        std::lock_guard<std::mutex> lock(event->mutex);
        if (event->waiting > event->released) {
            ++event->released;
        } else {
            // Nobody left to release: the next wait goes through; a second set changes nothing.
            event->signalled = true;
        }
    }
    event->condition.notify_one();
    return true;
}

WaitResult waitForEvent(EventHandle event, uint32_t timeoutMs) {
    if (event == nullptr) return WaitResult::FAILED;
    std::unique_lock<std::mutex> lock(event->mutex);
    ++event->waiting;
    bool passed = true;
    if (timeoutMs == INFINITE_WAIT) {
        event->condition.wait(lock, [event] { return event->passable(); });
    } else {
        // The predicate is asked once more at the time-out, so a release handed over just then is
        // taken rather than left to nobody.
        passed = event->condition.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                           [event] { return event->passable(); });
    }
    --event->waiting;
    if (!passed) return WaitResult::TIMED_OUT;
    event->consume();
    return WaitResult::SIGNALLED;
}

int waitingThreads(EventHandle event) {
    if (event == nullptr) return 0;
    std::lock_guard<std::mutex> lock(event->mutex);
    return event->waiting - event->released;
}

bool closeEvent(EventHandle event) {
    if (event == nullptr) return false;
    delete event;
    return true;
}

}  // namespace win
