#pragma once
// One tray program's connection. A datagram sent while the connection is idle is written at once
// by the thread that sends it, as far as the pipe takes it without waiting; everything else is
// queued and the connection's send thread moves the bytes. What it receives, and that it came and
// went, go to its datagram forwarder.
#include <atomic>
#include <string_view>

#include "runtime/multithread/RuntimeMutex.h"
#include "runtime/multithread/RuntimeSignal.h"
#include "vel/datagram/Datagram.h"
#include "vel/ipc/IpcManager.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class MutexRegionLock;

class DatagramForwarder;
class DatagramForwarderImpl;

class ConnectionImpl : public ReferenceImpl {
public:
    enum Side { RECEIVE_SIDE = 1, SEND_SIDE = 2 };

    ConnectionImpl(const DatagramForwarder& forwarder, const IpcManager& ipc);
    ~ConnectionImpl() override;

    // True once neither thread runs any more.
    virtual bool isFinished() = 0;

    // Writes one datagram now, outside the lock, when nothing is queued or being written and the
    // pipe takes it whole without waiting; else queues it (or its unwritten rest) for the send thread. Never
    // blocks on the client. Dropped when the connection is finished or cancelled. A client whose outgoing
    // list is full is dropped: the connection is cancelled.
    void send(const Datagram& datagram);
    // Stops both threads from another thread: blocked pipe calls end, waits end.
    void cancel();
    // The same, for a connection that may be cancelled already.
    void close();
    void cancelAndJoin();

    // An event of this connection (its connected or disconnected news, a received datagram)
    // waits for the engine, and has run (or was dropped). The receive thread reads on only while
    // few wait.
    void eventQueued();
    void eventHandled();

protected:
    DatagramForwarderImpl* forwarder() const;
    // Takes the datagram to send next out of the outgoing list; null when it is empty.
    virtual Datagram takeOutgoing() = 0;
    // True when nothing waits in the outgoing list. A connection without a send thread of its own
    // says false: every datagram then goes through appendOutgoing.
    virtual bool outgoingEmpty() { return false; }
    // Under the lock, for the send thread: the datagram to write next, the rest of a frame begun
    // by a sender first, and in *offset the frame bytes already written; null when there is none.
    Datagram takeNext(int* offset);
    // False, after an error line, when the list has no room left for the datagram.
    virtual bool appendOutgoing(const Datagram& datagram) = 0;
    virtual void dropOutgoing() = 0;
    virtual void joinThreads() = 0;

    // A datagram's bytes for a message dump, whose secrets the dump masks.
    static std::string_view dumpText(const Datagram& datagram);

    // Run by each thread as it ends.
    void exitStep(Side side);
    // Waits while too many received datagrams are queued; false when the loop is to end.
    bool waitForQueueRoom();

    RuntimeMutex m_mutex;
    Reference m_forwarder;
    IpcManager m_ipc;
    bool m_destroyingOrDestroyed = false;
    bool m_canceled = false;
    bool m_receiveExited = false;
    bool m_sendExited = false;
    RuntimeSignal m_sendSignal;
    // Counted without the lock: the receive thread posts, and the engine thread ends, an event
    // while the other may hold the lock.
    std::atomic<int> m_queuedEvents{0};
    RuntimeSignal m_queueRoomSignal;
    // The send thread writes outside the lock: nobody else writes meanwhile.
    bool m_sending = false;
    // A sender writes its datagram outside the lock: nobody else writes meanwhile, and the pipe
    // handle stays until it is done.
    bool m_senderWriting = false;

private:
    void cancelLocked();
    // Under the lock: writes the datagram's frame if the connection is idle, as far as the pipe
    // takes it at once, with the lock let go meanwhile. True when the datagram is dealt with
    // (written whole, or begun and its rest left to the send thread, or the connection ended
    // meanwhile); *wake then says whether the send thread has work.
    bool sendNow(const Datagram& datagram, MutexRegionLock& lock, bool* wake);
    // The pipe handle goes once both threads have gone and no sender writes to it.
    void destroyPipe();

    // A frame a sender began writing; its rest goes out before anything else.
    Datagram m_begun;
    int m_begunBytes = 0;
    // Both threads have gone while a sender wrote: the sender destroys the pipe handle.
    bool m_destroyDeferred = false;
};

class Connection : public Reference {
public:
    Connection() = default;
    explicit Connection(ConnectionImpl* p) : Reference(p) {}
    Connection(ConnectionImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    static Connection fromElement(ElementInterface* element);

    void send(const Datagram& datagram) const { impl()->send(datagram); }
    void cancelAndJoin() const { impl()->cancelAndJoin(); }
    void close() const { impl()->close(); }
    bool isFinished() const { return impl()->isFinished(); }

    ConnectionImpl* impl() const { return static_cast<ConnectionImpl*>(static_cast<ReferenceImpl*>(m)); }
};
