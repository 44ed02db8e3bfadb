#pragma once
// A connection the server accepted: a receive thread that reads frames and hands them to the
// forwarder, a send thread that writes the outgoing list, first in first out, after the rest of
// any frame a sender began writing itself.
#include "vel/connection/Connection.h"
#include "vel/multithread/Thread.h"
#include "vel/reference/ElementVector.h"

class AcceptedConnectionImpl;

class AcceptedConnectionReceiveThread : public ThreadImpl {
public:
    explicit AcceptedConnectionReceiveThread(AcceptedConnectionImpl* connection) : m_connection(connection) {}
    void run() override;

private:
    AcceptedConnectionImpl* m_connection;
};

class AcceptedConnectionSendThread : public ThreadImpl {
public:
    explicit AcceptedConnectionSendThread(AcceptedConnectionImpl* connection) : m_connection(connection) {}
    void run() override;

private:
    AcceptedConnectionImpl* m_connection;
};

class AcceptedConnectionImpl : public ConnectionImpl {
public:
    AcceptedConnectionImpl(const DatagramForwarder& forwarder, const IpcManager& ipc);
    ~AcceptedConnectionImpl() override;

    bool isFinished() override;
    // The receive thread first, so that "connected" is told before anything else.
    void start();

    void receiveLoop();
    void sendLoop();

protected:
    Datagram takeOutgoing() override;
    bool outgoingEmpty() override { return m_outgoing.length() == 0; }
    bool appendOutgoing(const Datagram& datagram) override;
    void dropOutgoing() override;
    void joinThreads() override;

private:
    AcceptedConnectionReceiveThread m_receiveThread;
    AcceptedConnectionSendThread m_sendThread;
    static int weightOf(const Datagram& datagram);

    ElementVector m_outgoing;
    // The weight of the list's datagrams, ConnectionConstants::MAX_OUTGOING_BYTES at most.
    int m_outgoingWeight = 0;
};
