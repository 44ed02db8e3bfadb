#pragma once

#include <atomic>

#include "runtime/multithread/RuntimeSignal.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

// The signal the service's main thread waits on until it is told to stop.
class QuitSignalImpl : public ReferenceImpl {
public:
    QuitSignalImpl();
    ~QuitSignalImpl() override;

    void set() { m_signal.set(); }
    void wait() { m_signal.wait(); }

    static std::atomic<QuitSignalImpl*> Singleton;

private:
    RuntimeSignal m_signal;
};

class QuitSignal : public Reference {
public:
    static QuitSignal Create();
    static QuitSignal Instance();
    // Wakes the waiter, or the next wait when nobody waits yet.
    static void set();
    // Waits without time-out.
    static void wait();

    QuitSignal() = default;

private:
    QuitSignal(QuitSignalImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    explicit QuitSignal(QuitSignalImpl* p) : Reference(p) {}
};
