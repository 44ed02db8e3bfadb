#include "vel/timer/TimerList.h"

#include <algorithm>

#include "ostrum.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "travik.h"
#include "vel/exception/NvoException.h"
#include "vel/multithread/EventQueue.h"
#include "vel/timer/TimerConstants.h"
#include "vel/timer/TimerExpirationEvent.h"

std::atomic<TimerListImpl*> TimerListImpl::Singleton{nullptr};
std::atomic<bool> TimerListImpl::M_isTicking{false};

TimerListImpl::TimerListImpl() : m_timers(ElementVector::create()) {}

TimerListImpl::~TimerListImpl() {
    LUM_ASSERT_TEXT(this == Singleton, "this == Singleton");
    LUM_ASSERT_TEXT(!M_isTicking, "!M_isTicking");
    Singleton = nullptr;
}

void TimerListImpl::startTicking() {
    if (!LUM_ASSERT_TEXT(!M_isTicking, "!M_isTicking")) return;
    int rc = _slTimerCreate(__FILE__, __LINE__, &m_osTimer, tick, nullptr);
    if (rc != OS_OK) throw NvoException(__FILE__, __LINE__, "slTimerCreate", rc);
    M_isTicking = true;
}

void TimerListImpl::stopTicking() {
    if (!LUM_ASSERT_TEXT(M_isTicking, "M_isTicking")) return;
    M_isTicking = false;
    int rc = _osTimerDestroy(__FILE__, __LINE__, &m_osTimer);
    if (rc != OS_OK) {
        logError(0, "Internal error %d, contact software manufacturer", 174);
        logError(0, "function '%s' => %d{error}", "slTimerDestroy", rc);
    }
}

ThreadSafeTimer TimerListImpl::startTimer(int seconds, TimerSubscriberInterface* subscriber) {
    if (!LUM_ASSERT(0 <= seconds && seconds <= TimerConstants::MAX_TIMEOUT_S)) {
        // A negative count would never reach 0 and keep the timer in the list for good.
        seconds = std::clamp(seconds, 0, TimerConstants::MAX_TIMEOUT_S);
    }
    ThreadSafeTimer timer(new ThreadSafeTimerImpl(seconds * osTimerGetHz(), subscriber),
                          Reference::TAKE_OVER);
    m_timers.add(timer.m);
    return timer;
}

void TimerListImpl::cancelTimer(const ThreadSafeTimer& timer) {
    if (!LUM_ASSERT(timer.m)) return;
    timer.impl()->cancel();
    m_timers.remove(timer.m);
}

void TimerListImpl::countDown() {
    for (const Reference& element : m_timers.snapshot()) {
        ThreadSafeTimer timer(static_cast<ThreadSafeTimerImpl*>(static_cast<ReferenceImpl*>(element.m)));
        if (!timer.impl()->countDown()) continue;
        // A cancel that removed it first has the last word.
        if (m_timers.remove(timer.m) == 0) continue;
        EventQueue queue = EventQueue::Instance();
        if (queue.isNull()) continue;  // already asserted; nowhere to run the expiry
        queue.post(MessageEvent(new TimerExpirationEventImpl(timer)));
    }
}

void TimerListImpl::tick(void*) {
    if (!M_isTicking) return;
    Reference list;
    {
        RuntimeMutexLock lock(*ReferenceMutex);
        TimerListImpl* p = Singleton;
        if (p == nullptr || !p->addRefUnlessDying()) return;
        list = Reference(p, Reference::TAKE_OVER);
    }
    static_cast<TimerListImpl*>(static_cast<ReferenceImpl*>(list.m))->countDown();
}

TimerList TimerList::Create() {
    LUM_ASSERT_TEXT(!TimerListImpl::M_isTicking, "!M_isTicking");
    if (!LUM_ASSERT_TEXT(TimerListImpl::Singleton == nullptr, "Singleton == null")) return Instance();
    auto* p = new TimerListImpl;
    TimerListImpl::Singleton = p;
    return TimerList(p, Reference::TAKE_OVER);
}

TimerList TimerList::Instance() {
    RuntimeMutexLock lock(*ReferenceMutex);
    TimerListImpl* p = TimerListImpl::Singleton;
    if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton != null")) return TimerList();
    return TimerList(p, Reference::TAKE_OVER);
}
