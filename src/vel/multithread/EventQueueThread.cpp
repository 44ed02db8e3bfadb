#include "vel/multithread/EventQueueThread.h"

EventQueueThreadImpl::EventQueueThreadImpl(MessageQueueImpl* queue,
                                           EventQueueLoopInitializerInterface* initializer)
    : m_queue(queue), m_initializer(initializer) {}

MessageQueueImpl* EventQueueThreadImpl::queue() const {
    return static_cast<MessageQueueImpl*>(static_cast<ReferenceImpl*>(m_queue.m));
}

EventQueueLoopInitializerInterface* EventQueueThreadImpl::initializer() const {
    return static_cast<EventQueueLoopInitializerInterface*>(m_initializer.m);
}

void EventQueueThreadImpl::run() {
    initializer()->init();
    for (;;) {
        // Scoped to one turn: an event is released before the thread waits for the next.
        MessageEventProxy proxy = queue()->receive();
        if (!proxy.exists()) break;
        proxy.event()->run();
    }
    initializer()->finalize();
}
