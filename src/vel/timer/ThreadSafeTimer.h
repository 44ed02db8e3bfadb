#pragma once

#include <atomic>
#include <cstdint>

#include "ostrum.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/timer/TimerSubscriber.h"

// One run of a timer, from its start to its expiry or cancel. It belongs to the thread that
// started it: only that thread may cancel it. The ticks are counted on the OS timer thread.
class ThreadSafeTimerImpl : public ReferenceImpl {
public:
    ThreadSafeTimerImpl(int32_t ticks, TimerSubscriberInterface* subscriber);

    bool isCancelled() const { return m_cancelled.load(); }
    // Only from the thread that started the timer.
    void cancel();
    // Counts one tick; true when the timer has now run out. A cancelled timer never runs out.
    bool countDown();

    TimerSubscriberInterface* subscriber() const;

private:
    std::atomic<bool> m_cancelled{false};
    // Written only by the tick.
    int32_t m_remainingTicks;
    Reference m_subscriber;
    OsThreadId m_threadId = 0;
};

class ThreadSafeTimer : public Reference {
public:
    ThreadSafeTimer() = default;
    // Takes over the first reference of a new timer.
    ThreadSafeTimer(ThreadSafeTimerImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    explicit ThreadSafeTimer(ThreadSafeTimerImpl* p) : Reference(p) {}

    bool isCancelled() const { return impl()->isCancelled(); }
    ThreadSafeTimerImpl* impl() const {
        return static_cast<ThreadSafeTimerImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
