#include "vel/connection/ConnectionServer.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/connection/AcceptedConnection.h"
#include "vel/connection/ConnectionConstants.h"
#include "vel/exception/CanceledException.h"
#include "vel/exception/NvoException.h"

ConnectionServerImpl::ConnectionServerImpl(const char* pipeName, int instances,
                                           const DatagramForwarder& forwarder)
    : m_server(IpcManager::createNamedPipeServer(pipeName, instances)),
      m_forwarder(forwarder),
      m_connections(ElementVector::create()),
      m_instances(instances) {
    m_roomSignal.open();
}

bool ConnectionServerImpl::waitForRoom() {
    // A connection stays in the list until its disconnected news has run, and with it every
    // earlier event of that connection: the pipe library frees its instance sooner than that.
    while (!m_serverCancelDone && m_connections.length() >= m_instances) m_roomSignal.wait();
    return !m_serverCancelDone;
}

void ConnectionServerImpl::run() {
    try {
        while (waitForRoom()) {
            IpcManager accepted = IpcManager::accept(m_server);
            logDebug("Accepted new connection");
            Connection connection(new AcceptedConnectionImpl(m_forwarder, accepted), Reference::TAKE_OVER);
            m_connections.add(connection.m);
            static_cast<AcceptedConnectionImpl*>(connection.impl())->start();
        }
    } catch (const CanceledException& e) {
        e.report();
    }
}

void ConnectionServerImpl::cancel() {
    if (!LUM_ASSERT_TEXT(!m_serverCancelDone, "! m_serverCancelDone")) return;
    m_serverCancelDone = true;
    m_roomSignal.set();
    m_server.cancel();
    if (started()) join();
    m_server.destroy();
    for (;;) {
        Connection last;
        {
            RuntimeMutexLock lock(*ReferenceMutex);
            int length = m_connections.length();
            if (length == 0) break;
            last = Connection::fromElement(m_connections.get(length - 1));
            m_connections.removeAt(length - 1);
        }
        last.cancelAndJoin();
    }
    m_forwarder.removeSubscriber(this);
}

void ConnectionServerImpl::connectionStateChanged(const Connection& connection, int state) {
    if (state != ConnectionConstants::DISCONNECTED) return;
    // Both threads have ended: the join returns at once.
    if (m_connections.remove(connection.m) == 1) {
        connection.cancelAndJoin();
        m_roomSignal.set();
    }
}

void ConnectionServerImpl::datagramReceived(const Connection&, const Datagram&) {}

void ConnectionServer::create(const char* pipeName, int instances, const DatagramForwarder& forwarder) {
    Reference created(static_cast<ReferenceImpl*>(new ConnectionServerImpl(pipeName, instances, forwarder)),
                      Reference::TAKE_OVER);
    static_cast<Reference&>(*this) = created;
    forwarder.addSubscriber(impl());
}

bool ConnectionServer::start() const {
    try {
        impl()->start();
    } catch (const NvoException& e) {
        e.report();
    }
    return impl()->started();
}

void ConnectionServer::cancel() const {
    impl()->cancel();
}
