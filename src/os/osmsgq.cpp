// Bounded queues of variable-length messages, copied in and out through piece lists, with optional
// blocking on both ends. Every operation holds the queue mutex except while waiting on a signal and
// while waking the other side's waiter at its end.
#include <cstring>

#include "os/osinternal.h"
#include "platform/win/ThreadId.h"

struct OsMsgQ {
    int capacity;
    int slotSize;
    int maxMessageSize;
    OsMutex* mutex;
    OsSignal* notFull;
    OsSignal* notEmpty;
    int waitingSenders;
    int waitingReceivers;
    int count;
    int writeIndex;
    int readIndex;
    OsContext* context;
    bool trace;
    OsTraceCallback traceCallback;
    char contextName[ostrum::NAME_SIZE];
    alignas(8) unsigned char slots[];  // capacity slots: a 32-bit length, then the message bytes
};

using namespace ostrum;

namespace {

bool validQueue(const OsMsgQ* queue) {
    return !validates(osDbgTraceType_msgQ) || isLiveObject(queue);
}

int traceQueue(OsMsgQ* queue, const char* file, int line, unsigned opcode, int status) {
    if (!queue->trace) return status;
    return dispatchTrace(queue->traceCallback, file, line, queue->contextName, queue, osDbgTraceType_msgQ,
                         opcode, status, win::currentThreadId(), static_cast<uintptr_t>(queue->capacity));
}

unsigned char* slotAt(OsMsgQ* queue, int index) {
    return queue->slots + static_cast<size_t>(index) * static_cast<size_t>(queue->slotSize);
}

// The waiters an operation releases: one on each side that can make progress; each woken waiter
// passes the wake-up on. Found under the queue mutex, set once it is let go, so that a woken
// thread does not find the mutex still held and sleep again at once.
struct Wakes {
    OsSignal* notEmpty = nullptr;
    OsSignal* notFull = nullptr;
};

Wakes wakesDue(const OsMsgQ* queue) {
    Wakes due;
    if (queue->count > 0 && queue->waitingReceivers > 0) due.notEmpty = queue->notEmpty;
    if (queue->count < queue->capacity && queue->waitingSenders > 0) due.notFull = queue->notFull;
    return due;
}

int wake(const Wakes& due) {
    int result = OS_OK;
    if (due.notEmpty != nullptr) result = _osSignalSet(SRC_MSGQ, __LINE__, due.notEmpty);
    if (due.notFull != nullptr) {
        int r = _osSignalSet(SRC_MSGQ, __LINE__, due.notFull);
        if (result == OS_OK) result = r;
    }
    return result;
}

// Waits with the queue mutex released; returns with it held again.
int waitFor(OsMsgQ* queue, OsSignal* signal, int* waiting) {
    ++*waiting;
    int r = _osMutexUnlock(SRC_MSGQ, __LINE__, queue->mutex);
    if (r == OS_OK) r = _osSignalWait(SRC_MSGQ, __LINE__, signal);
    int relock = _osMutexLock(SRC_MSGQ, __LINE__, queue->mutex);
    --*waiting;
    return r != OS_OK ? r : relock;
}

int tearDown(OsMsgQ* queue) {
    int result = _osMutexDestroy(SRC_MSGQ, __LINE__, &queue->mutex);
    int r = _osSignalDestroy(SRC_MSGQ, __LINE__, &queue->notFull);
    if (result == OS_OK) result = r;
    r = _osSignalDestroy(SRC_MSGQ, __LINE__, &queue->notEmpty);
    if (result == OS_OK) result = r;
    void* memory = queue;
    r = _osMemPoolFree(SRC_MSGQ, __LINE__, &memory);
    return result != OS_OK ? result : r;
}

// Finishes an operation that holds the queue mutex: trace, then unlock.
int finish(OsMsgQ* queue, const char* file, int line, unsigned opcode, int status) {
    int result = traceQueue(queue, file, line, opcode, status);
    int r = _osMutexUnlock(SRC_MSGQ, __LINE__, queue->mutex);
    return result != OS_OK ? result : r;
}

}  // namespace

extern "C" {

OSTRUM_API int _osMsgQCreate(const char* file, int line, OsMsgQ** queue, int capacity, int maxMessageSize,
                             OsContext* context) {
    if (queue == nullptr || *queue != nullptr || capacity < 1 || maxMessageSize < 0 || context == nullptr) {
        return OS_ERR_ARGUMENT;
    }
    if (validates(osDbgTraceType_msgQ) && !isLiveContext(context)) return OS_ERR_NOT_FOUND;
    size_t slotSize = round4(static_cast<size_t>(maxMessageSize) + 4u);
    size_t total = sizeof(OsMsgQ) + static_cast<size_t>(capacity) * slotSize;
    if (slotSize > OS_MEM_MAX_BLOCK || total > OS_MEM_MAX_BLOCK) return OS_ERR_FAILED;
    void* memory = nullptr;
    int r = memAlloc(SRC_MSGQ, __LINE__, &memory, total, &context->defaultPool, true);
    if (r != OS_OK) return r;
    auto* created = static_cast<OsMsgQ*>(memory);
    created->capacity = capacity;
    created->slotSize = static_cast<int>(slotSize);
    created->maxMessageSize = maxMessageSize;
    created->context = context;
    created->trace = (context->config.traceKinds & osDbgTraceType_msgQ) != 0;
    created->traceCallback = context->config.traceCallback;
    copyName(created->contextName, context->name);
    r = _osMutexCreate(SRC_MSGQ, __LINE__, &created->mutex, context);
    if (r == OS_OK) r = _osSignalCreate(SRC_MSGQ, __LINE__, &created->notFull, context);
    if (r == OS_OK) r = _osSignalCreate(SRC_MSGQ, __LINE__, &created->notEmpty, context);
    if (r == OS_OK && created->trace && created->contextName[0] == '\0') r = OS_ERR_FAILED;
    if (r == OS_OK) r = traceQueue(created, file, line, osDbgTraceOp_create, OS_OK);
    if (r != OS_OK) {
        tearDown(created);
        return r;
    }
    *queue = created;
    return OS_OK;
}

OSTRUM_API int _osMsgQDestroy(const char* file, int line, OsMsgQ** queue) {
    if (queue == nullptr) return OS_ERR_ARGUMENT;
    OsMsgQ* q = *queue;
    if (q == nullptr) return OS_OK;
    if (!validQueue(q)) return OS_ERR_NOT_FOUND;
    *queue = nullptr;
    int result = traceQueue(q, file, line, osDbgTraceOp_destroy, OS_OK);
    int r = tearDown(q);
    return result != OS_OK ? result : r;
}

OSTRUM_API int _osMsgQSendV(const char* file, int line, OsMsgQ* queue, const OsMsgQPiece* pieces,
                            int pieceCount, int wait) {
    if (queue == nullptr || pieces == nullptr || pieceCount < 1) return OS_ERR_ARGUMENT;
    if (!validQueue(queue)) return OS_ERR_NOT_FOUND;
    int r = _osMutexLock(SRC_MSGQ, __LINE__, queue->mutex);
    if (r != OS_OK) return r;

    long long total = 0;
    for (int i = 0; i < pieceCount; ++i) {
        if (pieces[i].base == nullptr || pieces[i].length < 0)
            return finish(queue, file, line, osDbgTraceOp_send, OS_ERR_FAILED);
        total += pieces[i].length;
    }
    if (total > queue->maxMessageSize)
        return finish(queue, file, line, osDbgTraceOp_send, OS_ERR_MESSAGE_TOO_BIG);

    while (queue->count == queue->capacity) {
        if (!wait) return finish(queue, file, line, osDbgTraceOp_send, OS_ERR_WOULD_BLOCK);
        r = waitFor(queue, queue->notFull, &queue->waitingSenders);
        if (r != OS_OK) return finish(queue, file, line, osDbgTraceOp_send, r);
    }

    unsigned char* slot = slotAt(queue, queue->writeIndex);
    auto length = static_cast<uint32_t>(total);
    std::memcpy(slot, &length, 4);
    unsigned char* at = slot + 4;
    for (int i = 0; i < pieceCount; ++i) {
        std::memcpy(at, pieces[i].base, static_cast<size_t>(pieces[i].length));
        at += pieces[i].length;
    }
    ++queue->count;
    queue->writeIndex = (queue->writeIndex + 1) % queue->capacity;
    Wakes due = wakesDue(queue);
    r = finish(queue, file, line, osDbgTraceOp_send, OS_OK);
    int woken = wake(due);
    return r != OS_OK ? r : woken;
}

OSTRUM_API int _osMsgQRecvV(const char* file, int line, OsMsgQ* queue, OsMsgQPiece* pieces, int* pieceCount,
                            int wait) {
    if (queue == nullptr || pieceCount == nullptr) {
        if (pieceCount != nullptr) *pieceCount = 0;
        return OS_ERR_ARGUMENT;
    }
    if (!validQueue(queue)) {
        *pieceCount = 0;
        return OS_ERR_NOT_FOUND;
    }
    int r = _osMutexLock(SRC_MSGQ, __LINE__, queue->mutex);
    if (r != OS_OK) {
        *pieceCount = 0;
        return r;
    }
    auto fail = [&](int status) {
        *pieceCount = 0;
        return finish(queue, file, line, osDbgTraceOp_recv, status);
    };

    if (pieces == nullptr) {
        if (*pieceCount != 0) return fail(OS_ERR_FAILED);
    } else {
        if (*pieceCount < 0) return fail(OS_ERR_FAILED);
        long long room = 0;
        for (int i = 0; i < *pieceCount; ++i) {
            if (pieces[i].base == nullptr || pieces[i].length < 0) return fail(OS_ERR_FAILED);
            room += pieces[i].length;
        }
        // Judged against the largest message the queue takes, not the one waiting, so that a
        // caller's buffers are found too small on the first message rather than the worst one.
        if (room < queue->maxMessageSize) return fail(OS_ERR_BUFFER_TOO_SMALL);
    }

    while (queue->count == 0) {
        if (!wait) return fail(OS_ERR_WOULD_BLOCK);
        r = waitFor(queue, queue->notEmpty, &queue->waitingReceivers);
        if (r != OS_OK) return fail(r);
    }

    unsigned char* slot = slotAt(queue, queue->readIndex);
    if (pieces != nullptr) {
        uint32_t stored = 0;
        std::memcpy(&stored, slot, 4);
        auto remaining = static_cast<int32_t>(stored);
        const unsigned char* from = slot + 4;
        int used = 0;
        for (int i = 0; i < *pieceCount && remaining > 0; ++i) {
            if (pieces[i].length > remaining) pieces[i].length = remaining;
            std::memcpy(pieces[i].base, from, static_cast<size_t>(pieces[i].length));
            from += pieces[i].length;
            remaining -= pieces[i].length;
            ++used;
        }
        *pieceCount = used;
    }
    --queue->count;
    queue->readIndex = (queue->readIndex + 1) % queue->capacity;
    Wakes due = wakesDue(queue);
    r = finish(queue, file, line, osDbgTraceOp_recv, OS_OK);
    int woken = wake(due);
    if (woken != OS_OK) *pieceCount = 0;
    return r != OS_OK ? r : woken;
}

OSTRUM_API int osMsgQCount(OsMsgQ* queue, int* count) {
    if (count == nullptr) return OS_ERR_ARGUMENT;
    *count = 0;
    if (queue == nullptr) return OS_ERR_ARGUMENT;
    if (!validQueue(queue)) return OS_ERR_NOT_FOUND;
    int r = _osMutexLock(SRC_MSGQ, __LINE__, queue->mutex);
    if (r != OS_OK) return r;
    *count = queue->count;
    return _osMutexUnlock(SRC_MSGQ, __LINE__, queue->mutex);
}
}
