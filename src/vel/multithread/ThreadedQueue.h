#pragma once

#include "vel/multithread/EventQueueLoopInitializer.h"
#include "vel/multithread/MessageEvent.h"
#include "vel/multithread/MessageQueue.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/ReferenceImpl.h"

// What the three queue singletons share: one message queue and the threads that run its events.
class ThreadedQueueImpl : public ReferenceImpl {
public:
    static constexpr int QUEUE_SIZE = 100;

    // Any thread.
    void post(MessageEventImpl* event) { queue()->post(event); }
    // Queues the termination behind every posted event and waits for each started thread to end.
    void stop();
    // Starts every thread added; when one fails, those already started are stopped again.
    void startThreads();

    MessageQueueImpl* queue() const;

protected:
    ThreadedQueueImpl();

    void addThread(EventQueueLoopInitializerInterface* initializer);

private:
    Reference m_queue;
    ElementVector m_threads;
};
