#include "vel/dhcp/DhcpManagerResultEvent.h"

#include "vel/dhcp/DhcpManager.h"
#include "vel/multithread/EventQueue.h"

DhcpManagerResultEventImpl::DhcpManagerResultEventImpl(DhcpManagerImpl* manager, std::int32_t result)
    : m_manager(manager), m_result(result) {
    m_manager->addRef();
}

DhcpManagerResultEventImpl::~DhcpManagerResultEventImpl() {
    m_manager->release();
}

void DhcpManagerResultEventImpl::run() {
    m_manager->deliverResult(m_result);
}

void DhcpManagerResultEventImpl::post(DhcpManagerImpl* manager, std::int32_t result) {
    EventQueue queue = EventQueue::Instance();
    if (queue.isNull()) return;  // already asserted
    queue.post(MessageEvent(new DhcpManagerResultEventImpl(manager, result)));
}
