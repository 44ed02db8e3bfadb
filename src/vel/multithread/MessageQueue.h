#pragma once

#include <atomic>

#include "runtime/multithread/RuntimeMutex.h"
#include "vel/multithread/MessageEventProxy.h"
#include "vel/reference/ReferenceImpl.h"

struct OsMsgQ;

// A bounded queue of events. Each message is one event pointer carrying a reference for the queue,
// or null as the termination message. Posting never waits: a full queue ends the process.
class MessageQueueImpl : public ReferenceImpl {
public:
    enum State { NewMessagesAllowed = 0, TerminationQueued = 1, Terminated = 2 };

    static constexpr int MIN_SIZE = 1;
    static constexpr int MAX_SIZE = 10000;
    // A load above this percentage is logged on every receive.
    static constexpr int LOAD_LOG_PERCENT = 50;

    // Throws NvoException ("slMsgQCreate").
    explicit MessageQueueImpl(int messageQueueSize);
    ~MessageQueueImpl() override;

    // Any thread. Once termination is queued the event is dropped without a word.
    void post(MessageEventImpl* event);
    // Queues the termination message behind every event already posted.
    void terminate();
    // Waits for the next event; an empty proxy once the queue has ended. Of several receivers only
    // one waits in the OS queue at a time. Throws NvoException ("osMsgQRecv").
    MessageEventProxy receive();

    State state() const { return m_state.load(); }
    int capacity() const { return m_capacity; }

private:
    // Sends one pointer without waiting; a failure ends the process with fatalText.
    void send(MessageEventImpl* event, const char* fatalText);

    OsMsgQ* m_queue = nullptr;
    int m_capacity;
    std::atomic<State> m_state{NewMessagesAllowed};
    RuntimeMutex m_sendMutex;
    RuntimeMutex m_receiveMutex;
};
