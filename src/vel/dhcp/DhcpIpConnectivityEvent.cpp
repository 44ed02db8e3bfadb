#include "vel/dhcp/DhcpIpConnectivityEvent.h"

DhcpIpConnectivityEventImpl::DhcpIpConnectivityEventImpl(DhcpStateMachineImpl* machine, bool releaseFirst)
    : m_machine(machine), m_releaseFirst(releaseFirst) {
    m_machine->addRef();
}

DhcpIpConnectivityEventImpl::~DhcpIpConnectivityEventImpl() {
    m_machine->release();
}

void DhcpIpConnectivityEventImpl::run() {
    m_machine->runAttempt(m_releaseFirst);
}
