#include "vel/timer/ThreadSafeTimer.h"

#include "runtime/lum/Assert.h"

ThreadSafeTimerImpl::ThreadSafeTimerImpl(int32_t ticks, TimerSubscriberInterface* subscriber)
    : m_remainingTicks(ticks), m_subscriber(subscriber) {
    LUM_ASSERT(osThreadSelf(&m_threadId) == OS_OK);
}

void ThreadSafeTimerImpl::cancel() {
    OsThreadId currentThreadId = 0;
    LUM_ASSERT(osThreadSelf(&currentThreadId) == OS_OK);
    LUM_ASSERT(osThreadEqual(&currentThreadId, &m_threadId) == OS_OK);
    m_cancelled = true;
}

bool ThreadSafeTimerImpl::countDown() {
    if (isCancelled()) return false;
    if (m_remainingTicks > 0) --m_remainingTicks;
    return m_remainingTicks == 0;
}

TimerSubscriberInterface* ThreadSafeTimerImpl::subscriber() const {
    return static_cast<TimerSubscriberInterface*>(m_subscriber.m);
}
