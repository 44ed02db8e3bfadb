#include "service/OneTimeTimer.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "service/win32/ServiceStatus.h"
#include "vel/multithread/EventQueue.h"
#include "vel/timer/TimerList.h"

OneTimeTimer OneTimeTimer::create(int seconds) {
    return OneTimeTimer(new OneTimeTimerImpl(seconds), Reference::TAKE_OVER);
}

void OneTimeTimerImpl::start() {
    EventQueue::Instance().post(MessageEvent(new OneTimeTimerStartEventImpl(OneTimeTimer(this))));
}

void OneTimeTimerImpl::cancel() {
    EventQueue::Instance().post(MessageEvent(new OneTimeTimerCancelEventImpl(OneTimeTimer(this))));
}

void OneTimeTimerImpl::startTimer() {
    if (!LUM_ASSERT_TEXT(m_timerProxy.empty(), "m_timerProxy.empty()")) return;
    m_timerProxy = TimerList::Instance().startTimer(m_seconds, this);
}

void OneTimeTimerImpl::cancelTimer() {
    if (!m_timerProxy.exists()) return;
    TimerList::Instance().cancelTimer(m_timerProxy.threadSafeTimer());
    m_timerProxy.clear();
}

void OneTimeTimerImpl::timerExpired(const ThreadSafeTimer& timer) {
    LUM_ASSERT_TEXT(m_timerProxy.exists(), "m_timerProxy.exists()");
    LUM_ASSERT_TEXT(m_timerProxy.threadSafeTimer() == timer, "m_timerProxy.threadSafeTimer() == timer");
    logInfo(0, "OneTimeTimer timer expired");
    reportServiceRunning();
    m_timerProxy.clear();
}

OneTimeTimerStartEventImpl::OneTimeTimerStartEventImpl(const OneTimeTimer& timer) : m_timer(timer) {
    logDebug("OneTimeTimerStartEventImpl event created");
}

void OneTimeTimerStartEventImpl::run() {
    m_timer.impl()->startTimer();
    logDebug("OneTimeTimerStartEventImpl event processed");
}

OneTimeTimerCancelEventImpl::OneTimeTimerCancelEventImpl(const OneTimeTimer& timer) : m_timer(timer) {
    logDebug("OneTimeTimerCancelEventImpl event created");
}

void OneTimeTimerCancelEventImpl::run() {
    m_timer.impl()->cancelTimer();
    logDebug("OneTimeTimerCancelEventImpl event processed");
}
