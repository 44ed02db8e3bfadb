#pragma once

#include <atomic>

#include "vel/multithread/ThreadedQueue.h"

// The alternate queue: one thread for slow calls that must run one at a time, away from the
// engine thread.
class AltEventQueueImpl : public ThreadedQueueImpl {
public:
    AltEventQueueImpl();
    ~AltEventQueueImpl() override;

    static std::atomic<AltEventQueueImpl*> Singleton;
};

class AltEventQueue : public Reference {
public:
    // Builds the singleton and starts its thread.
    static AltEventQueue Create();
    static AltEventQueue Instance();

    AltEventQueue() = default;

    void post(const MessageEvent& event) const { impl()->post(event.event()); }
    void stop() const { impl()->stop(); }

private:
    AltEventQueue(AltEventQueueImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    explicit AltEventQueue(AltEventQueueImpl* p) : Reference(p) {}
    AltEventQueueImpl* impl() const {
        return static_cast<AltEventQueueImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
