#include "vel/multithread/AltEventQueue.h"

#include "runtime/lum/Assert.h"
#include "runtime/multithread/RuntimeMutex.h"

std::atomic<AltEventQueueImpl*> AltEventQueueImpl::Singleton{nullptr};

AltEventQueueImpl::AltEventQueueImpl() {
    auto* initializer = new DummyEventQueueLoopInitializerImpl;
    addThread(initializer);
    initializer->release();
    startThreads();
}

AltEventQueueImpl::~AltEventQueueImpl() {
    LUM_ASSERT_TEXT(this == Singleton, "this == Singleton");
    Singleton = nullptr;
}

AltEventQueue AltEventQueue::Create() {
    if (!LUM_ASSERT_TEXT(AltEventQueueImpl::Singleton == nullptr, "Singleton == null")) return Instance();
    auto* p = new AltEventQueueImpl;
    AltEventQueueImpl::Singleton = p;
    return AltEventQueue(p, Reference::TAKE_OVER);
}

AltEventQueue AltEventQueue::Instance() {
    RuntimeMutexLock lock(*ReferenceMutex);
    AltEventQueueImpl* p = AltEventQueueImpl::Singleton;
    if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton != null")) return AltEventQueue();
    return AltEventQueue(p, Reference::TAKE_OVER);
}
