#pragma once
// Listens on the named pipe for tray programs: a server thread accepts each one as a connection
// with its own threads, and drops a connection once it has gone.
#include <atomic>

#include "runtime/multithread/RuntimeSignal.h"
#include "vel/connection/Connection.h"
#include "vel/connection/DatagramForwarder.h"
#include "vel/connection/DatagramSubscriber.h"
#include "vel/ipc/IpcManager.h"
#include "vel/multithread/Thread.h"
#include "vel/reference/ElementVector.h"

class ConnectionServerImpl : public ThreadImpl, public DatagramSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS

    // Throws NvoException when the pipe cannot be served.
    ConnectionServerImpl(const char* pipeName, int instances, const DatagramForwarder& forwarder);

    void run() override;
    // Once, at shut-down, after the event queue has stopped.
    void cancel();

    void connectionStateChanged(const Connection& connection, int state) override;
    void datagramReceived(const Connection& connection, const Datagram& datagram) override;

    int connectionCount() { return m_connections.length(); }

private:
    // Waits until fewer than the instance count of connections are held; false once cancelled.
    bool waitForRoom();

    std::atomic<bool> m_serverCancelDone{false};
    IpcManager m_server;
    DatagramForwarder m_forwarder;
    ElementVector m_connections;
    int m_instances;
    // Set when a connection leaves the list, and by the cancel.
    RuntimeSignal m_roomSignal;
};

class ConnectionServer : public Reference {
public:
    ConnectionServer() = default;

    // Makes this handle hold a server on the pipe, subscribed to the forwarder before anyone
    // else subscribes, so that it hears of a connection first. Throws NvoException.
    void create(const char* pipeName, int instances, const DatagramForwarder& forwarder);
    // Starts the server thread; whether it runs.
    bool start() const;
    // Stops accepting, ends every connection, and leaves the forwarder.
    void cancel() const;

    ConnectionServerImpl* impl() const {
        return static_cast<ConnectionServerImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
