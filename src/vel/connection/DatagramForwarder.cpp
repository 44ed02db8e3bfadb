#include "vel/connection/DatagramForwarder.h"

#include "runtime/lum/Assert.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "vel/connection/EventQueueDatagramForwarder.h"

namespace {

ElementInterface* asElement(DatagramSubscriberInterface* subscriber) {
    return static_cast<ElementInterface*>(subscriber);
}

}  // namespace

DatagramForwarderImpl::DatagramForwarderImpl() : m_subscribers(ElementVector::create()) {}

template <typename Call>
void DatagramForwarderImpl::forEachSubscriber(Call call) {
    for (int i = 0;; ++i) {
        Reference held;
        {
            RuntimeMutexLock lock(*ReferenceMutex);
            if (i >= m_subscribers.length()) return;
            held = Reference(m_subscribers.get(i));
        }
        call(static_cast<DatagramSubscriberInterface*>(held.m));
    }
}

void DatagramForwarderImpl::notifyConnectionStateChanged(const Connection& connection, int state) {
    forEachSubscriber([&](DatagramSubscriberInterface* s) { s->connectionStateChanged(connection, state); });
}

void DatagramForwarderImpl::notifyDatagramReceived(const Connection& connection, const Datagram& datagram) {
    forEachSubscriber([&](DatagramSubscriberInterface* s) { s->datagramReceived(connection, datagram); });
}

int DatagramForwarderImpl::addSubscriber(DatagramSubscriberInterface* subscriber) {
    if (!LUM_ASSERT(subscriber)) return 0;
    return m_subscribers.addIfAbsent(asElement(subscriber));
}

int DatagramForwarderImpl::removeSubscriber(DatagramSubscriberInterface* subscriber) {
    if (!LUM_ASSERT(subscriber)) return 0;
    return m_subscribers.remove(asElement(subscriber));
}

void DatagramForwarder::createEventQueueForwarder() {
    *this = DatagramForwarder(new EventQueueDatagramForwarderImpl, Reference::TAKE_OVER);
}
