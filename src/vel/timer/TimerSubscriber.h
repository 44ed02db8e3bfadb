#pragma once

#include "vel/reference/ElementInterface.h"

class ThreadSafeTimer;

// Told on the event-queue thread when one of its timers has run out.
class TimerSubscriberInterface : public ElementInterface {
public:
    virtual void timerExpired(const ThreadSafeTimer& timer) = 0;
};
