#include "vel/connection/EventQueueDatagramForwarder.h"

EventQueueDatagramForwarderImpl::EventQueueDatagramForwarderImpl() : m_queue(EventQueue::Instance()) {}

void EventQueueDatagramForwarderImpl::connectionStateChanged(const Connection& connection, int state) {
    m_queue.post(MessageEvent(new ConnectionStateChangeEventImpl(this, connection, state)));
}

void EventQueueDatagramForwarderImpl::datagramReceived(const Connection& connection,
                                                       const Datagram& datagram) {
    m_queue.post(MessageEvent(new DatagramEventImpl(this, connection, datagram)));
}

ConnectionStateChangeEventImpl::ConnectionStateChangeEventImpl(DatagramForwarderImpl* forwarder,
                                                               const Connection& connection, int state)
    : m_forwarder(forwarder), m_connection(connection), m_state(state) {}

void ConnectionStateChangeEventImpl::run() {
    m_forwarder.notifyConnectionStateChanged(m_connection, m_state);
}

DatagramEventImpl::DatagramEventImpl(DatagramForwarderImpl* forwarder, const Connection& connection,
                                     const Datagram& datagram)
    : m_forwarder(forwarder), m_connection(connection), m_datagram(datagram) {
    m_connection.impl()->datagramQueued();
}

DatagramEventImpl::~DatagramEventImpl() {
    m_connection.impl()->datagramHandled();
}

void DatagramEventImpl::run() {
    m_forwarder.notifyDatagramReceived(m_connection, m_datagram);
}
