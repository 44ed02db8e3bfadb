#include "vel/timer/ThreadSafeTimerProxy.h"

#include "runtime/lum/Assert.h"

ThreadSafeTimerProxy& ThreadSafeTimerProxy::operator=(const ThreadSafeTimer& timer) {
    LUM_ASSERT(timer.m);
    Proxy::operator=(Proxy(timer));
    return *this;
}

ThreadSafeTimer ThreadSafeTimerProxy::threadSafeTimer() const {
    LUM_ASSERT(m_usable);
    if (m_p == nullptr) return ThreadSafeTimer();
    return ThreadSafeTimer(static_cast<ThreadSafeTimerImpl*>(static_cast<ReferenceImpl*>(m_p)));
}

void ThreadSafeTimerProxy::clear() {
    Proxy::operator=(Proxy());
}
