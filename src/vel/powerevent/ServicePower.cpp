#include "vel/powerevent/ServicePower.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/reference/Singleton.h"

std::atomic<ServicePowerImpl*> ServicePowerImpl::Singleton{nullptr};

ServicePowerImpl::~ServicePowerImpl() {
    forgetSingleton(Singleton, this);
}

void ServicePowerImpl::notifySubscribers(std::int32_t event) {
    logInfo(0, "ServicePowerImpl::notifySubscribers(),# of subscribers: %d", m_subscribers.length());
    for (int i = 0; i < m_subscribers.length(); ++i) {
        Reference subscriber = m_subscribers.getAt(i);
        if (!subscriber.isNull())
            static_cast<ServicePowerSubscriberInterface*>(subscriber.m)->powerEvent(event);
    }
}

void ServicePowerImpl::addSubscriber(ServicePowerSubscriberInterface* subscriber) {
    m_subscribers.addIfAbsent(subscriber);
}

void ServicePowerImpl::removeSubscriber(ServicePowerSubscriberInterface* subscriber) {
    m_subscribers.remove(subscriber);
}

void ServicePowerImpl::clearReferences() {
    m_subscribers.clear();
}

ServicePower ServicePower::create() {
    return ServicePower(createSingleton(ServicePowerImpl::Singleton));
}

ServicePower::ServicePower() : ServicePower(bindSingleton(ServicePowerImpl::Singleton)) {}

ServicePower::ServicePower(ServicePowerImpl* p) {
    if (p != nullptr) m = static_cast<ReferenceImpl*>(p);
}

void ServicePower::notifySubscribers(std::int32_t event) const {
    if (LUM_ASSERT(m)) impl()->notifySubscribers(event);
}

void ServicePower::addSubscriber(ServicePowerSubscriberInterface* subscriber) const {
    if (LUM_ASSERT(m)) impl()->addSubscriber(subscriber);
}

void ServicePower::removeSubscriber(ServicePowerSubscriberInterface* subscriber) const {
    if (LUM_ASSERT(m)) impl()->removeSubscriber(subscriber);
}

void ServicePower::clearReferences() const {
    if (LUM_ASSERT(m)) impl()->clearReferences();
}

void PowerEventImpl::run() {
    ServicePower power;
    if (!power.isNull()) power.notifySubscribers(m_event);
}

MessageEvent makePowerEvent(std::int32_t event) {
    return MessageEvent(new PowerEventImpl(event));
}
