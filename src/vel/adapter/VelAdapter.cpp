#include "vel/adapter/VelAdapter.h"

#include "vel/adapter/AdapterConstants.h"

AdapterImpl::AdapterImpl(const Ascii& symbolicName)
    : m_symbolicName(symbolicName),
      m_description(""),
      m_subscribers(ElementVector::create()),
      m_mediaType(AdapterConstants::MEDIA_TYPE_NONE) {}

void AdapterImpl::addSubscriber(AdapterSubscriberInterface* subscriber) {
    m_subscribers.addIfAbsent(subscriber);
}

void AdapterImpl::removeSubscriber(AdapterSubscriberInterface* subscriber) {
    m_subscribers.remove(subscriber);
}

void AdapterImpl::clearReferences() {
    m_subscribers.clear();
    m_portManagerListener = nullptr;
}
