#include "vel/multithread/ThreadedQueue.h"

#include "vel/multithread/EventQueueThread.h"

ThreadedQueueImpl::ThreadedQueueImpl()
    : m_queue(new MessageQueueImpl(QUEUE_SIZE), Reference::TAKE_OVER), m_threads(ElementVector::create()) {}

MessageQueueImpl* ThreadedQueueImpl::queue() const {
    return static_cast<MessageQueueImpl*>(static_cast<ReferenceImpl*>(m_queue.m));
}

void ThreadedQueueImpl::addThread(EventQueueLoopInitializerInterface* initializer) {
    Reference thread(new EventQueueThreadImpl(queue(), initializer), Reference::TAKE_OVER);
    m_threads.add(thread.m);
}

static EventQueueThreadImpl* threadOf(ElementInterface* p) {
    return static_cast<EventQueueThreadImpl*>(static_cast<ReferenceImpl*>(p));
}

void ThreadedQueueImpl::startThreads() {
    try {
        m_threads.forEach([](ElementInterface* p) { threadOf(p)->start(); });
    } catch (...) {
        // The threads that did start must end before the queue and its threads can go.
        stop();
        throw;
    }
}

void ThreadedQueueImpl::stop() {
    queue()->terminate();
    m_threads.forEach([](ElementInterface* p) {
        if (threadOf(p)->started()) threadOf(p)->join();
    });
}
