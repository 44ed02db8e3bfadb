#pragma once

#include "vel/multithread/MessageEvent.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/timer/ThreadSafeTimerProxy.h"
#include "vel/timer/TimerSubscriber.h"

// Reports the service as running a while after the engine was composed, in case nothing in the
// engine reports it earlier. Timers belong to the thread that created them, so start and cancel
// travel to the event-queue thread as events.
class OneTimeTimerImpl : public ReferenceImpl, public TimerSubscriberInterface {
public:
    void addRef() override { ReferenceImpl::addRef(); }
    void release() override { ReferenceImpl::release(); }
    void release2() override { ReferenceImpl::release2(); }
    // The event-queue thread: cancels the timer, which holds this object as its subscriber, so
    // that the cycle breaks without waiting for the expiry or the cancel event.
    void clearReferences() override { cancelTimer(); }

    explicit OneTimeTimerImpl(int seconds) : m_seconds(seconds) {}

    // Any thread: post the start or the cancel to the event queue.
    void start();
    void cancel();

    // The event-queue thread.
    void startTimer();
    void cancelTimer();
    void timerExpired(const ThreadSafeTimer& timer) override;

    // The event-queue thread: whether a timer is running.
    bool running() { return m_timerProxy.exists(); }

private:
    int m_seconds;
    ThreadSafeTimerProxy m_timerProxy;
};

class OneTimeTimer : public Reference {
public:
    static OneTimeTimer create(int seconds);

    OneTimeTimer() = default;
    explicit OneTimeTimer(OneTimeTimerImpl* p) : Reference(static_cast<ReferenceImpl*>(p)) {}

    void start() const { impl()->start(); }
    void cancel() const { impl()->cancel(); }
    OneTimeTimerImpl* impl() const { return static_cast<OneTimeTimerImpl*>(static_cast<ReferenceImpl*>(m)); }

private:
    OneTimeTimer(OneTimeTimerImpl* p, Reference::TakeOver)
        : Reference(static_cast<ReferenceImpl*>(p), Reference::TAKE_OVER) {}
};

class OneTimeTimerStartEventImpl : public MessageEventImpl {
public:
    explicit OneTimeTimerStartEventImpl(const OneTimeTimer& timer);
    void run() override;

private:
    OneTimeTimer m_timer;
};

class OneTimeTimerCancelEventImpl : public MessageEventImpl {
public:
    explicit OneTimeTimerCancelEventImpl(const OneTimeTimer& timer);
    void run() override;

private:
    OneTimeTimer m_timer;
};
