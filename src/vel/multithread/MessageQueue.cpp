#include "vel/multithread/MessageQueue.h"

#include "ostrum.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Fatal.h"
#include "runtime/lum/Log.h"
#include "travik.h"
#include "vel/exception/NvoException.h"

MessageQueueImpl::MessageQueueImpl(int messageQueueSize) : m_capacity(messageQueueSize) {
    m_sendMutex.open();
    m_receiveMutex.open();
    LUM_ASSERT_TEXT(MIN_SIZE <= messageQueueSize && messageQueueSize <= MAX_SIZE,
                    "1 <= messageQueueSize && messageQueueSize <= 10000");
    int rc =
        _slMsgQCreate(__FILE__, __LINE__, &m_queue, m_capacity, static_cast<int>(sizeof(MessageEventImpl*)));
    if (rc != OS_OK) throw NvoException(__FILE__, __LINE__, "slMsgQCreate", rc);
}

MessageQueueImpl::~MessageQueueImpl() {
    // Events still queued (a queue that was never run to its end) hold the queue's references.
    for (;;) {
        MessageEventImpl* p = nullptr;
        OsMsgQPiece piece{&p, static_cast<int32_t>(sizeof p)};
        int pieces = 1;
        if (_osMsgQRecvV(__FILE__, __LINE__, m_queue, &piece, &pieces, 0) != OS_OK) break;
        if (p != nullptr) p->release();
    }
    {
        RuntimeMutexLock lock(*ReferenceMutex);
        int rc = _osMsgQDestroy(__FILE__, __LINE__, &m_queue);
        if (rc != OS_OK) {
            logError(0, "Internal error %d, contact software manufacturer", 163);
            logError(0, "function '%s' => %d{error}", "osMsgQDestroy", rc);
        }
    }
    m_sendMutex.close();
    m_receiveMutex.close();
}

void MessageQueueImpl::send(MessageEventImpl* event, const char* fatalText) {
    OsMsgQPiece piece{&event, static_cast<int32_t>(sizeof event)};
    int rc = _osMsgQSendV(__FILE__, __LINE__, m_queue, &piece, 1, 0);
    if (rc == OS_OK) return;
    if (event != nullptr) event->release();
    if (rc == OS_ERR_WOULD_BLOCK) {
        logError(0, "Error, the message queue is full.");
        logError(0, "Internal error %d, contact software manufacturer", 183);
    } else {
        reportFunctionException(__FILE__, __LINE__, "osMsgQSend", rc);
    }
    fatalError("%s", fatalText);
}

void MessageQueueImpl::post(MessageEventImpl* event) {
    if (!LUM_ASSERT(event)) return;
    RuntimeMutexLock lock(m_sendMutex);
    if (m_state.load() != NewMessagesAllowed) return;
    event->addRef();
    send(event, "Failed to queue a message.");
}

void MessageQueueImpl::terminate() {
    RuntimeMutexLock lock(m_sendMutex);
    if (!LUM_ASSERT(m_state == NewMessagesAllowed)) return;
    m_state = TerminationQueued;
    send(nullptr, "Failed to queue termination message.");
}

MessageEventProxy MessageQueueImpl::receive() {
    RuntimeMutexLock lock(m_receiveMutex);
    if (m_state.load() == Terminated) return MessageEventProxy();

    // The count takes the queue's lock once more: only asked when the load is logged at all.
    int count = 0;
    if (!logEnabled(LogConstants::LEVEL_QUEUE_LOAD)) {
        // not logged
    } else if (osMsgQCount(m_queue, &count) != OS_OK) {
        logError(0, "Internal error %d, contact software manufacturer", 195);
    } else if (m_capacity > 0 && count * 100 / m_capacity > LOAD_LOG_PERCENT) {
        logMasked(LogConstants::LEVEL_QUEUE_LOAD, "DBG",
                  "Max number of messages in queue = %d. Current number of messages in queue = %d",
                  m_capacity, count);
    }

    MessageEventImpl* p = nullptr;
    OsMsgQPiece piece{&p, static_cast<int32_t>(sizeof p)};
    int pieces = 1;
    int rc = _osMsgQRecvV(__FILE__, __LINE__, m_queue, &piece, &pieces, 1);
    if (rc != OS_OK) throw NvoException(__FILE__, __LINE__, "osMsgQRecv", rc);
    if (!LUM_ASSERT_TEXT(pieces == 1 && piece.length == static_cast<int32_t>(sizeof p), "invalid message")) {
        return MessageEventProxy();
    }
    if (p == nullptr) {
        m_state = Terminated;
        return MessageEventProxy();
    }
    return MessageEventProxy(p, MessageEventProxy::TAKE_OVER);
}
