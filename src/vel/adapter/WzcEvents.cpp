#include "vel/adapter/WzcEvents.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/VelAdapterImpl.h"
#include "vel/multithread/EventQueue.h"

void WzcDisableEventImpl::run() {
    const char* name = m_adapter.impl()->symbolicName().text();
    logInfo(0,
            "Processing WzcDisable event in AltEventQueue thread: calling PortNameManager::wzcDisable() for "
            "%s...",
            name);
    m_portNameManager.impl()->disableWzc();
    logInfo(0,
            "Processing WzcDisable event in AltEventQueue thread: ...PortNameManager::wzcDisable() completed "
            "for %s.",
            name);
    EventQueue queue = EventQueue::Instance();
    if (LUM_ASSERT(!queue.isNull())) queue.post(MessageEvent(new WzcDisabledEventImpl(m_adapter)));
}

void WzcDisabledEventImpl::run() {
    static_cast<VelAdapterImpl*>(m_adapter.impl())->wzcDisabled();
}
