#pragma once
// The service's forwarder: a connection's threads post what happens to the engine's event queue,
// so that every subscriber runs on the engine thread, in the order things happened.
#include "vel/connection/DatagramForwarder.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/MessageEvent.h"

class EventQueueDatagramForwarderImpl : public DatagramForwarderImpl {
public:
    // Keeps the running event queue, so that threads ending after the service stopped it can
    // still post (their events are then dropped).
    EventQueueDatagramForwarderImpl();

    void connectionStateChanged(const Connection& connection, int state) override;
    void datagramReceived(const Connection& connection, const Datagram& datagram) override;

private:
    EventQueue m_queue;
};

// Both kinds count as queued on their connection from creation until they are destroyed, run or
// dropped.
class ConnectionStateChangeEventImpl : public MessageEventImpl {
public:
    ConnectionStateChangeEventImpl(DatagramForwarderImpl* forwarder, const Connection& connection, int state);
    ~ConnectionStateChangeEventImpl() override;
    void run() override;

private:
    DatagramForwarder m_forwarder;
    Connection m_connection;
    int m_state;
};

class DatagramEventImpl : public MessageEventImpl {
public:
    DatagramEventImpl(DatagramForwarderImpl* forwarder, const Connection& connection,
                      const Datagram& datagram);
    ~DatagramEventImpl() override;
    void run() override;

private:
    DatagramForwarder m_forwarder;
    Connection m_connection;
    Datagram m_datagram;
};
