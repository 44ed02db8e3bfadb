#pragma once

#include <atomic>

#include "vel/multithread/ThreadedQueue.h"

// The engine's queue: one thread, on which every state machine runs. Its loop initializer
// builds the engine objects on that thread before the first event.
class EventQueueImpl : public ThreadedQueueImpl {
public:
    explicit EventQueueImpl(EventQueueLoopInitializerInterface* initializer);
    ~EventQueueImpl() override;

    static std::atomic<EventQueueImpl*> Singleton;
};

class EventQueue : public Reference {
public:
    // Builds the singleton and starts its thread, which runs the initializer's init() at once.
    static EventQueue Create(EventQueueLoopInitializerInterface* initializer);
    static EventQueue Instance();

    EventQueue() = default;

    void post(const MessageEvent& event) const { impl()->post(event.event()); }
    void stop() const { impl()->stop(); }

private:
    EventQueue(EventQueueImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    explicit EventQueue(EventQueueImpl* p) : Reference(p) {}
    EventQueueImpl* impl() const { return static_cast<EventQueueImpl*>(static_cast<ReferenceImpl*>(m)); }
};
