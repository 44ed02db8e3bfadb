#pragma once

#include "vel/multithread/MessageEvent.h"
#include "vel/timer/ThreadSafeTimer.h"

// Carries an expired timer from the OS timer thread to the event-queue thread.
class TimerExpirationEventImpl : public MessageEventImpl {
public:
    explicit TimerExpirationEventImpl(const ThreadSafeTimer& timer) : m_timer(timer) {}

    // Tells the subscriber, unless the timer was cancelled after its expiry was queued.
    void run() override;

private:
    ThreadSafeTimer m_timer;
};
