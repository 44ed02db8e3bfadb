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
    : m_forwarder(forwarder), m_connection(connection), m_state(state) {
    m_connection.impl()->eventQueued();
}

ConnectionStateChangeEventImpl::~ConnectionStateChangeEventImpl() {
    m_connection.impl()->eventHandled();
}

void ConnectionStateChangeEventImpl::run() {
    m_forwarder.notifyConnectionStateChanged(m_connection, m_state);
}

DatagramEventImpl::DatagramEventImpl(DatagramForwarderImpl* forwarder, const Connection& connection,
                                     const Datagram& datagram)
    : m_forwarder(forwarder), m_connection(connection), m_datagram(datagram) {
    m_connection.impl()->eventQueued();
}

DatagramEventImpl::~DatagramEventImpl() {
    m_connection.impl()->eventHandled();
}

void DatagramEventImpl::run() {
    m_forwarder.notifyDatagramReceived(m_connection, m_datagram);
}
