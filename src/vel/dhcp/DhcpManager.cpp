#include "vel/dhcp/DhcpManager.h"

#include "vel/dhcp/ActiveDhcpStateMachine.h"

DhcpManagerImpl::DhcpManagerImpl(DhcpManagerSubscriberInterface* subscriber, DhcpStateMachineImpl* machine)
    : m_machine(machine), m_subscriber(subscriber) {
    m_subscriber->addRef();
    m_subscriberLock.open();
}

DhcpManagerImpl::~DhcpManagerImpl() {
    ElementInterface::releaseIfSet(m_subscriber);
    m_machine->release();
    m_subscriberLock.close();
}

DhcpManagerSubscriberInterface* DhcpManagerImpl::subscriber() {
    RuntimeMutexLock lock(m_subscriberLock);
    ElementInterface::addRefIfSet(m_subscriber);
    return m_subscriber;
}

void DhcpManagerImpl::attach() {
    m_machine->attach(this);
}

void DhcpManagerImpl::start() {
    m_machine->handleEvent(DhcpConstants::EVENT_START);
}

void DhcpManagerImpl::restart() {
    m_machine->setReleaseFirst();
    m_machine->handleEvent(DhcpConstants::EVENT_START);
}

void DhcpManagerImpl::stop() {
    m_machine->handleEvent(DhcpConstants::EVENT_STOP);
}

void DhcpManagerImpl::stopAndDetach() {
    m_machine->stopAndDetach();
}

void DhcpManagerImpl::deliverResult(std::int32_t result) {
    // Posted just before the adapter let this manager go: the adapter has moved on.
    if (m_machine->stopped()) return;
    DhcpManagerSubscriberInterface* subscriber = this->subscriber();
    if (subscriber == nullptr) return;
    DhcpManager self(this);
    subscriber->dhcpResult(self, result);
    subscriber->release();
}

Ascii DhcpManagerImpl::macAddress() {
    // A worker may still ask after the engine dropped the subscriber.
    DhcpManagerSubscriberInterface* subscriber = this->subscriber();
    if (subscriber == nullptr) return Ascii("");
    Ascii mac = subscriber->dhcpMacAddress();
    subscriber->release();
    return mac;
}

void DhcpManagerImpl::clearReferences() {
    m_machine->stopAndDetach();
    DhcpManagerSubscriberInterface* subscriber = nullptr;
    {
        RuntimeMutexLock lock(m_subscriberLock);
        subscriber = m_subscriber;
        m_subscriber = nullptr;
    }
    ElementInterface::releaseIfSet(subscriber);
}

DhcpManager DhcpManager::create(DhcpManagerSubscriberInterface* subscriber, const Ascii& symbolicName) {
    return create(subscriber, new ActiveDhcpStateMachineImpl(symbolicName));
}

DhcpManager DhcpManager::create(DhcpManagerSubscriberInterface* subscriber, DhcpStateMachineImpl* machine) {
    DhcpManager manager;
    manager.m = static_cast<ReferenceImpl*>(new DhcpManagerImpl(subscriber, machine));
    manager.impl()->attach();
    return manager;
}
