#pragma once

#include <atomic>

#include "vel/multithread/ThreadedQueue.h"

// The queue for slow work that must not hold up the engine: three threads take events from one
// queue, so events posted here may run side by side and in any order.
class WorkerQueueImpl : public ThreadedQueueImpl {
public:
    static constexpr int THREAD_COUNT = 3;

    WorkerQueueImpl();
    ~WorkerQueueImpl() override;

    static std::atomic<WorkerQueueImpl*> Singleton;
};

class WorkerQueue : public Reference {
public:
    // Builds the singleton and starts its three threads.
    static WorkerQueue Create();
    static WorkerQueue Instance();

    WorkerQueue() = default;

    void post(const MessageEvent& event) const { impl()->post(event.event()); }
    void stop() const { impl()->stop(); }

private:
    WorkerQueue(WorkerQueueImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    explicit WorkerQueue(WorkerQueueImpl* p) : Reference(p) {}
    WorkerQueueImpl* impl() const { return static_cast<WorkerQueueImpl*>(static_cast<ReferenceImpl*>(m)); }
};
