#include "vel/multithread/Thread.h"

#include "ostrum.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Fatal.h"
#include "travik.h"
#include "vel/exception/BaseException.h"
#include "vel/exception/NvoException.h"

ThreadImpl::~ThreadImpl() {
    LUM_ASSERT_TEXT(m_thread == nullptr, "m_thread == null");
}

void ThreadImpl::start() {
    int rc = _slThreadExec(__FILE__, __LINE__, &m_thread, entry, this);
    if (rc != OS_OK) throw NvoException(__FILE__, __LINE__, "slThreadExec", rc);
}

void ThreadImpl::join() {
    int rc = _osThreadJoin(__FILE__, __LINE__, &m_thread);
    if (rc != OS_OK) throw NvoException(__FILE__, __LINE__, "osThreadJoin", rc);
}

void ThreadImpl::entry(void* context) {
    if (!LUM_ASSERT(context)) return;
    try {
        static_cast<ThreadImpl*>(context)->run();
    } catch (const BaseException& e) {
        e.report();
        fatalError("Uncaught exception in thread");
    }
}
