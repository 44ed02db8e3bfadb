#pragma once
// Hands what the connections receive, and their coming and going, to the subscribers.
#include "vel/connection/Connection.h"
#include "vel/connection/DatagramSubscriber.h"
#include "vel/datagram/Datagram.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/ReferenceImpl.h"

class DatagramForwarderImpl : public ReferenceImpl {
public:
    DatagramForwarderImpl();

    // Called by a connection's threads.
    virtual void connectionStateChanged(const Connection& connection, int state) = 0;
    virtual void datagramReceived(const Connection& connection, const Datagram& datagram) = 0;

    // Calls the same operation of every subscriber, in list order, each with a reference of its
    // own and outside the reference lock, so that a subscriber may leave the list meanwhile.
    void notifyConnectionStateChanged(const Connection& connection, int state);
    void notifyDatagramReceived(const Connection& connection, const Datagram& datagram);

    // ElementVector::ADDED, or 0 when it is subscribed already.
    int addSubscriber(DatagramSubscriberInterface* subscriber);
    // 1 when removed, 0 when it was not subscribed.
    int removeSubscriber(DatagramSubscriberInterface* subscriber);
    int subscriberCount() { return m_subscribers.length(); }

private:
    template <typename Call>
    void forEachSubscriber(Call call);

    ElementVector m_subscribers;
};

class DatagramForwarder : public Reference {
public:
    DatagramForwarder() = default;
    DatagramForwarder(DatagramForwarderImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    explicit DatagramForwarder(DatagramForwarderImpl* p) : Reference(p) {}

    // Makes this handle hold a new forwarder that posts everything to the engine's event queue,
    // which must be running.
    void createEventQueueForwarder();

    int addSubscriber(DatagramSubscriberInterface* subscriber) const {
        return impl()->addSubscriber(subscriber);
    }
    int removeSubscriber(DatagramSubscriberInterface* subscriber) const {
        return impl()->removeSubscriber(subscriber);
    }
    void notifyConnectionStateChanged(const Connection& connection, int state) const {
        impl()->notifyConnectionStateChanged(connection, state);
    }
    void notifyDatagramReceived(const Connection& connection, const Datagram& datagram) const {
        impl()->notifyDatagramReceived(connection, datagram);
    }

    DatagramForwarderImpl* impl() const {
        return static_cast<DatagramForwarderImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
