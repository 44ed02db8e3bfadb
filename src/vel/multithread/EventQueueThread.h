#pragma once

#include "vel/multithread/EventQueueLoopInitializer.h"
#include "vel/multithread/MessageQueue.h"
#include "vel/multithread/Thread.h"
#include "vel/reference/Reference.h"

// A thread that runs the events of one queue until the queue ends: init() first, then every event
// in turn, then finalize().
class EventQueueThreadImpl : public ThreadImpl {
public:
    EventQueueThreadImpl(MessageQueueImpl* queue, EventQueueLoopInitializerInterface* initializer);

    void run() override;

private:
    MessageQueueImpl* queue() const;
    EventQueueLoopInitializerInterface* initializer() const;

    Reference m_queue;
    Reference m_initializer;
};
