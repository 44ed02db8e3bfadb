#include "service/ServiceEventQueueLoopInitializer.h"

#include "runtime/lum/Assert.h"

ServiceEventQueueLoopInitializerImpl::ServiceEventQueueLoopInitializerImpl() {
    m_initDone.open();
}

ServiceEventQueueLoopInitializerImpl::~ServiceEventQueueLoopInitializerImpl() {
    LUM_ASSERT_TEXT(m == nullptr, "m == null");
    m_initDone.close();
}

void ServiceEventQueueLoopInitializerImpl::init() {
    LUM_ASSERT_TEXT(m == nullptr, "m == null");
    m = EngineHolder::build();
    m_initDone.set();
}

void ServiceEventQueueLoopInitializerImpl::finalize() {
    if (!LUM_ASSERT_TEXT(m != nullptr, "m != null")) return;
    m->tearDown();
    delete m;
    m = nullptr;
}
