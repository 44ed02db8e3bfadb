#pragma once

#include <atomic>

#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/timer/ThreadSafeTimer.h"
#include "vel/timer/TimerSubscriber.h"

struct OsTimer;

// The live timers of the service, counted down on the ticks of the OS timer thread. An expired
// timer reaches its subscriber as an event on the event queue.
class TimerListImpl : public ReferenceImpl {
public:
    TimerListImpl();
    ~TimerListImpl() override;

    // Registers the tick with the OS timer thread. Throws NvoException ("slTimerCreate").
    void startTicking();
    // Returns once no tick runs any more.
    void stopTicking();

    // On the thread that will own the timer; 0 to TimerConstants::MAX_TIMEOUT_S seconds.
    ThreadSafeTimer startTimer(int seconds, TimerSubscriberInterface* subscriber);
    // On the thread that started the timer. Once it returns the subscriber is not told, even when
    // the expiry is already queued.
    void cancelTimer(const ThreadSafeTimer& timer);

    // The work of one tick: counts every live timer down and posts the expiry of each that ran out.
    void countDown();
    int timerCount() { return m_timers.length(); }

    // The OS timer thread's callback.
    static void tick(void* userData);

    static std::atomic<TimerListImpl*> Singleton;
    static std::atomic<bool> M_isTicking;

private:
    OsTimer* m_osTimer = nullptr;
    ElementVector m_timers;
};

class TimerList : public Reference {
public:
    static TimerList Create();
    static TimerList Instance();

    TimerList() = default;

    void startTicking() const { impl()->startTicking(); }
    void stopTicking() const { impl()->stopTicking(); }
    ThreadSafeTimer startTimer(int seconds, TimerSubscriberInterface* subscriber) const {
        return impl()->startTimer(seconds, subscriber);
    }
    void cancelTimer(const ThreadSafeTimer& timer) const { impl()->cancelTimer(timer); }

    TimerListImpl* impl() const { return static_cast<TimerListImpl*>(static_cast<ReferenceImpl*>(m)); }

private:
    TimerList(TimerListImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    explicit TimerList(TimerListImpl* p) : Reference(p) {}
};
