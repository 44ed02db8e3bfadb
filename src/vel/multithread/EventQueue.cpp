#include "vel/multithread/EventQueue.h"

#include "runtime/lum/Assert.h"
#include "runtime/multithread/RuntimeMutex.h"

std::atomic<EventQueueImpl*> EventQueueImpl::Singleton{nullptr};

EventQueueImpl::EventQueueImpl(EventQueueLoopInitializerInterface* initializer) {
    addThread(initializer);
}

EventQueueImpl::~EventQueueImpl() {
    LUM_ASSERT_TEXT(this == Singleton, "this == Singleton");
    Singleton = nullptr;
}

EventQueue EventQueue::Create(EventQueueLoopInitializerInterface* initializer) {
    if (!LUM_ASSERT_TEXT(EventQueueImpl::Singleton == nullptr, "Singleton == null")) return Instance();
    auto* p = new EventQueueImpl(initializer);
    EventQueueImpl::Singleton = p;
    EventQueue queue(p, Reference::TAKE_OVER);
    // The singleton is in place before init() runs, so init() may already post.
    p->startThreads();
    return queue;
}

EventQueue EventQueue::Instance() {
    RuntimeMutexLock lock(*ReferenceMutex);
    EventQueueImpl* p = EventQueueImpl::Singleton;
    if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton != null")) return EventQueue();
    return EventQueue(p, Reference::TAKE_OVER);
}
