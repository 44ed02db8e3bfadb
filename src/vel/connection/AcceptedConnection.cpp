#include "vel/connection/AcceptedConnection.h"

#include "runtime/lum/Log.h"
#include "vel/connection/ConnectionConstants.h"
#include "vel/connection/DatagramForwarder.h"
#include "vel/exception/CanceledException.h"
#include "vel/exception/NoConnectionException.h"
#include "vel/ipc/IpcReceiveBuffer.h"
#include "vel/ipc/IpcSendBuffer.h"
#include "vel/os/MutexLock.h"
#include "vel/xmlconnectionapi/ConnApiDump.h"

void AcceptedConnectionReceiveThread::run() {
    m_connection->receiveLoop();
}

void AcceptedConnectionSendThread::run() {
    m_connection->sendLoop();
}

AcceptedConnectionImpl::AcceptedConnectionImpl(const DatagramForwarder& forwarder, const IpcManager& ipc)
    : ConnectionImpl(forwarder, ipc),
      m_receiveThread(this),
      m_sendThread(this),
      m_outgoing(ElementVector::create()) {}

AcceptedConnectionImpl::~AcceptedConnectionImpl() = default;

bool AcceptedConnectionImpl::isFinished() {
    MutexLock lock(&m_mutex);
    return (m_receiveExited || !m_receiveThread.started()) && (m_sendExited || !m_sendThread.started());
}

void AcceptedConnectionImpl::start() {
    // A client that goes at once ends the receive thread before the send thread exists; holding
    // the lock keeps both exit steps, and so every join, behind the start of both threads.
    MutexLock lock(&m_mutex);
    m_receiveThread.start();
    m_sendThread.start();
}

void AcceptedConnectionImpl::joinThreads() {
    if (m_receiveThread.started()) m_receiveThread.join();
    if (m_sendThread.started()) m_sendThread.join();
}

Datagram AcceptedConnectionImpl::takeOutgoing() {
    if (m_outgoing.length() == 0) return Datagram();
    Datagram next = Datagram::fromElement(m_outgoing.get(0));
    m_outgoing.removeAt(0);
    m_outgoingWeight -= weightOf(next);
    return next;
}

int AcceptedConnectionImpl::weightOf(const Datagram& datagram) {
    return datagram.length() + ConnectionConstants::OUTGOING_DATAGRAM_WEIGHT;
}

bool AcceptedConnectionImpl::appendOutgoing(const Datagram& datagram) {
    if (weightOf(datagram) > ConnectionConstants::MAX_OUTGOING_BYTES - m_outgoingWeight) {
        logError(0, "Connection %p, the client does not read: dropped with %d datagrams (%d bytes) unsent",
                 static_cast<void*>(this), m_outgoing.length(), m_outgoingWeight);
        return false;
    }
    m_outgoing.add(datagram.m);
    m_outgoingWeight += weightOf(datagram);
    return true;
}

void AcceptedConnectionImpl::dropOutgoing() {
    m_outgoing.clear();
    m_outgoingWeight = 0;
}

void AcceptedConnectionImpl::receiveLoop() {
    Connection self(this);
    forwarder()->connectionStateChanged(self, ConnectionConstants::CONNECTED);
    try {
        IpcReceiveBuffer buffer;
        while (waitForQueueRoom()) {
            Datagram datagram = buffer.receive(m_ipc);
            // Posted without the connection's lock: the engine thread, woken by the post, may
            // take this CPU at once and want the lock for its reply.
            if (logEnabled(LogConstants::LEVEL_PIPE_IN)) {
                logMasked(LogConstants::LEVEL_PIPE_IN, "DBG", "Connection %p, incoming datagram: %s",
                          static_cast<void*>(this), ConnApiDump::masked(dumpText(datagram)).c_str());
            }
            forwarder()->datagramReceived(self, datagram);
        }
    } catch (const CanceledException& e) {
        e.report();
    } catch (const NoConnectionException& e) {
        e.report();
    } catch (...) {
        exitStep(RECEIVE_SIDE);
        throw;
    }
    exitStep(RECEIVE_SIDE);
}

void AcceptedConnectionImpl::sendLoop() {
    try {
        IpcSendBuffer buffer;
        MutexRegionLock lock(&m_mutex);
        while (!m_canceled && !m_receiveExited) {
            int offset = 0;
            // A sender's write goes first; the sender wakes this thread when more waits.
            Datagram next = m_senderWriting ? Datagram() : takeNext(&offset);
            // Left set when a write fails: no sender writes to a pipe whose writer is ending.
            m_sending = !next.isNull();
            lock.unlock();
            if (next.isNull()) {
                m_sendSignal.wait();
            } else {
                buffer.frame(next);
                buffer.send(m_ipc, offset);
            }
            lock.lock();
            m_sending = false;
        }
    } catch (const CanceledException& e) {
        e.report();
    } catch (const NoConnectionException& e) {
        e.report();
    } catch (...) {
        exitStep(SEND_SIDE);
        throw;
    }
    exitStep(SEND_SIDE);
}
