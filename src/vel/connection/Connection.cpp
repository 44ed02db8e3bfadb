#include "vel/connection/Connection.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/connection/ConnectionConstants.h"
#include "vel/connection/DatagramForwarder.h"
#include "vel/ipc/IpcSendBuffer.h"
#include "vel/os/MutexLock.h"
#include "vel/xmlconnectionapi/ConnApiDump.h"

ConnectionImpl::ConnectionImpl(const DatagramForwarder& forwarder, const IpcManager& ipc)
    : m_forwarder(forwarder), m_ipc(ipc) {
    m_mutex.open();
    m_sendSignal.open();
    m_queueRoomSignal.open();
}

ConnectionImpl::~ConnectionImpl() = default;

DatagramForwarderImpl* ConnectionImpl::forwarder() const {
    return static_cast<DatagramForwarderImpl*>(static_cast<ReferenceImpl*>(m_forwarder.m));
}

std::string_view ConnectionImpl::dumpText(const Datagram& datagram) {
    return std::string_view(datagram.text(), static_cast<size_t>(datagram.length()));
}

Connection Connection::fromElement(ElementInterface* element) {
    return Connection(static_cast<ConnectionImpl*>(static_cast<ReferenceImpl*>(element)));
}

void ConnectionImpl::send(const Datagram& datagram) {
    if (!LUM_ASSERT(!datagram.isNull() && datagram.length() > 0)) return;
    if (logEnabled(LogConstants::LEVEL_PIPE_OUT)) {
        logMasked(LogConstants::LEVEL_PIPE_OUT, "DBG", "Connection %p, outgoing datagram: %s",
                  static_cast<void*>(this), ConnApiDump::masked(dumpText(datagram)).c_str());
    }
    bool wake = true;
    {
        MutexRegionLock lock(&m_mutex);
        // Nobody would ever send it.
        if (isFinished() || m_canceled) return;
        if (sendNow(datagram, lock, &wake)) {
            // written, begun, or the connection ended while it was tried
        } else if (m_canceled) {
            return;
        } else if (!appendOutgoing(datagram)) {
            dropOutgoing();
            m_begun = Datagram();
            cancelLocked();
            return;
        }
    }
    if (wake) m_sendSignal.set();
}

bool ConnectionImpl::sendNow(const Datagram& datagram, MutexRegionLock& lock, bool* wake) {
    // Frames keep their order: only when nothing is written or waits to be written, and only while
    // both threads run (the pipe is destroyed when both have gone).
    if (m_ipc.isNull() || m_sending || m_senderWriting || !m_begun.isNull() || !outgoingEmpty() ||
        m_receiveExited || m_sendExited)
        return false;
    // The write wakes the client, which may take this CPU at once and send its next request: the
    // receive thread then must not find the lock held.
    m_senderWriting = true;
    lock.unlock();
    int frameLength = 0;
    int written = IpcSendBuffer::trySendFrame(m_ipc, datagram, &frameLength);
    lock.lock();
    m_senderWriting = false;
    if (m_destroyDeferred) {
        m_destroyDeferred = false;
        m_ipc.destroy();
        *wake = false;
        return true;
    }
    if (written <= 0) return false;
    if (written < frameLength) {
        m_begun = datagram;
        m_begunBytes = written;
    } else {
        // Datagrams queued meanwhile: their signal may have found the send thread waiting for
        // this write, and spent.
        *wake = !outgoingEmpty();
    }
    return true;
}

void ConnectionImpl::destroyPipe() {
    m_destroyingOrDestroyed = true;
    if (m_senderWriting) {
        m_destroyDeferred = true;
    } else {
        m_ipc.destroy();
    }
}

Datagram ConnectionImpl::takeNext(int* offset) {
    *offset = 0;
    if (m_begun.isNull()) return takeOutgoing();
    Datagram next = m_begun;
    *offset = m_begunBytes;
    m_begun = Datagram();
    m_begunBytes = 0;
    return next;
}

void ConnectionImpl::cancelLocked() {
    if (!LUM_ASSERT(!m_canceled)) return;
    m_canceled = true;
    if (!m_destroyingOrDestroyed) {
        if (!m_sendExited) m_sendSignal.set();
        // A connection without a pipe of its own has nothing to stop.
        if (!m_ipc.isNull()) m_ipc.cancel();
    }
    m_queueRoomSignal.set();
}

void ConnectionImpl::cancel() {
    MutexLock lock(&m_mutex);
    cancelLocked();
}

void ConnectionImpl::close() {
    MutexLock lock(&m_mutex);
    if (!m_canceled) cancelLocked();
}

void ConnectionImpl::cancelAndJoin() {
    {
        MutexLock lock(&m_mutex);
        if (!m_canceled) cancelLocked();
    }
    joinThreads();
}

void ConnectionImpl::eventQueued() {
    ++m_queuedEvents;
}

void ConnectionImpl::eventHandled() {
    int before = m_queuedEvents.fetch_sub(1);
    if (!LUM_ASSERT(before > 0)) {
        ++m_queuedEvents;
        return;
    }
    // Only the receive thread adds events, and it waits only at the mark: the decrement from the
    // mark is the one it waits for.
    if (before >= ConnectionConstants::MAX_QUEUED_EVENTS - 1) m_queueRoomSignal.set();
}

bool ConnectionImpl::waitForQueueRoom() {
    MutexRegionLock lock(&m_mutex);
    // One event stays free for the disconnected news.
    while (!m_canceled && !m_sendExited && m_queuedEvents >= ConnectionConstants::MAX_QUEUED_EVENTS - 1) {
        lock.unlock();
        m_queueRoomSignal.wait();
        lock.lock();
    }
    return !m_canceled && !m_sendExited;
}

void ConnectionImpl::exitStep(Side side) {
    bool last = false;
    {
        MutexLock lock(&m_mutex);
        bool& exited = side == RECEIVE_SIDE ? m_receiveExited : m_sendExited;
        bool otherExited = side == RECEIVE_SIDE ? m_sendExited : m_receiveExited;
        if (!LUM_ASSERT(!exited)) return;
        exited = true;
        if (otherExited) {
            destroyPipe();
            last = true;
        } else if (!m_canceled) {
            // The other side may be blocked in the pipe (a send to a peer that reads nothing) or
            // waiting for work: both must end for the connection to end.
            m_ipc.cancel();
            m_sendSignal.set();
            m_queueRoomSignal.set();
        }
    }
    if (last) forwarder()->connectionStateChanged(Connection(this), ConnectionConstants::DISCONNECTED);
}
