#pragma once

#include "vel/reference/Proxy.h"
#include "vel/timer/ThreadSafeTimer.h"

// Where an object keeps the timer it may have running.
class ThreadSafeTimerProxy : public Proxy {
public:
    ThreadSafeTimerProxy() = default;
    explicit ThreadSafeTimerProxy(const ThreadSafeTimer& timer) : Proxy(timer) {}

    // Holds the timer (which must be set); the proxy must be tested again before use.
    ThreadSafeTimerProxy& operator=(const ThreadSafeTimer& timer);

    // The timer; exists() must have been asked.
    ThreadSafeTimer threadSafeTimer() const;
    // True when no timer is held; makes the proxy usable like exists().
    bool empty() { return !exists(); }
    // Lets the timer go.
    void clear();
};
