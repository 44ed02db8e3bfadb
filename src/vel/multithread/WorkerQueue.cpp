#include "vel/multithread/WorkerQueue.h"

#include "runtime/lum/Assert.h"
#include "runtime/multithread/RuntimeMutex.h"

std::atomic<WorkerQueueImpl*> WorkerQueueImpl::Singleton{nullptr};

WorkerQueueImpl::WorkerQueueImpl() {
    for (int i = 0; i < THREAD_COUNT; ++i) {
        auto* initializer = new DummyEventQueueLoopInitializerImpl;
        addThread(initializer);
        initializer->release();
    }
    startThreads();
}

WorkerQueueImpl::~WorkerQueueImpl() {
    LUM_ASSERT_TEXT(this == Singleton, "this == Singleton");
    Singleton = nullptr;
}

WorkerQueue WorkerQueue::Create() {
    if (!LUM_ASSERT_TEXT(WorkerQueueImpl::Singleton == nullptr, "Singleton == null")) return Instance();
    auto* p = new WorkerQueueImpl;
    WorkerQueueImpl::Singleton = p;
    return WorkerQueue(p, Reference::TAKE_OVER);
}

WorkerQueue WorkerQueue::Instance() {
    RuntimeMutexLock lock(*ReferenceMutex);
    WorkerQueueImpl* p = WorkerQueueImpl::Singleton;
    if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton != null")) return WorkerQueue();
    return WorkerQueue(p, Reference::TAKE_OVER);
}
