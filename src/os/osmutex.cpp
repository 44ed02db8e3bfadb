// Recursive mutexes: ownership lives in an interlocked owner word; the auto-reset event only wakes
// waiters, which then compete again for the word, and is touched only when a thread waits.
#include <cstring>

#include "os/osinternal.h"
#include "platform/win/Interlocked.h"
#include "platform/win/ThreadId.h"

namespace ostrum {

int mutexLockRaw(OsMutex* mutex) {
    // Before the global locks exist, and after they are gone, only the thread that holds the
    // library's lifecycle lock touches the lists.
    if (mutex == nullptr) return OS_OK;
    uint32_t self = win::currentThreadId();
    for (;;) {
        uint32_t owner = win::interlockedCompareExchange(&mutex->owner, self, 0);
        if (owner == 0) {
            mutex->count = 1;
            return OS_OK;
        }
        if (owner == self) {
            ++mutex->count;
            return OS_OK;
        }
        // Counted before the word is tried again: an unlock that clears the word after this try
        // sees the waiter and sets the event, which stays set until the wait below takes it.
        win::interlockedIncrement(&mutex->waiters);
        owner = win::interlockedCompareExchange(&mutex->owner, self, 0);
        bool woken =
            owner == 0 || win::waitForEvent(mutex->event, win::INFINITE_WAIT) == win::WaitResult::SIGNALLED;
        win::interlockedDecrement(&mutex->waiters);
        if (!woken) return OS_ERR_EVENT;
        if (owner == 0) {
            mutex->count = 1;
            return OS_OK;
        }
    }
}

int mutexUnlockRaw(OsMutex* mutex) {
    if (mutex == nullptr) return OS_OK;
    if (win::interlockedRead(&mutex->owner) != win::currentThreadId()) return OS_ERR_FAILED;
    if (mutex->count-- == 1) {
        win::interlockedExchange(&mutex->owner, 0);
        // Nobody waits: the event is left alone, and an unheld lock costs two interlocked words.
        if (win::interlockedRead(&mutex->waiters) != 0 && !win::setEvent(mutex->event)) return OS_ERR_EVENT;
    }
    return OS_OK;
}

}  // namespace ostrum

using namespace ostrum;

namespace {

bool validMutex(const OsMutex* mutex) {
    return !validates(osDbgTraceType_mutex) || isLiveObject(mutex);
}

int traceMutex(OsMutex* mutex, const char* file, int line, unsigned opcode, int status, uint32_t owner = 0,
               int count = 0) {
    if (!mutex->trace) return status;
    return dispatchTrace(mutex->traceCallback, file, line, mutex->contextName, mutex, osDbgTraceType_mutex,
                         opcode, status, owner, static_cast<uintptr_t>(count));
}

// Closes the event and returns the record to its context's pool.
int releaseMutex(OsMutex* mutex) {
    int result = OS_OK;
    if (mutex->event != nullptr && !win::closeEvent(mutex->event)) result = OS_ERR_FAILED;
    std::memset(static_cast<void*>(mutex), 0, sizeof *mutex);
    void* memory = mutex;
    int r = _osMemPoolFree(SRC_MUTEX, __LINE__, &memory);
    return result != OS_OK ? result : r;
}

}  // namespace

extern "C" {

OSTRUM_API int _osMutexCreate(const char* file, int line, OsMutex** mutex, OsContext* context) {
    if (mutex == nullptr || *mutex != nullptr || context == nullptr) return OS_ERR_ARGUMENT;
    if (validates(osDbgTraceType_mutex) && !isLiveContext(context)) return OS_ERR_NOT_FOUND;
    void* memory = nullptr;
    int r = memAlloc(SRC_MUTEX, __LINE__, &memory, sizeof(OsMutex), &context->defaultPool, true);
    if (r != OS_OK) return r;
    auto* created = static_cast<OsMutex*>(memory);
    created->event = win::createAutoResetEvent();
    created->trace = (context->config.traceKinds & osDbgTraceType_mutex) != 0;
    created->context = context;
    created->traceCallback = context->config.traceCallback;
    copyName(created->contextName, context->name);
    if (created->event == nullptr || (created->trace && created->contextName[0] == '\0')) {
        r = OS_ERR_FAILED;
    } else {
        r = traceMutex(created, file, line, osDbgTraceOp_create, OS_OK);
    }
    if (r != OS_OK) {
        releaseMutex(created);
        return r;
    }
    *mutex = created;
    return OS_OK;
}

OSTRUM_API int _osMutexDestroy(const char* file, int line, OsMutex** mutex) {
    if (mutex == nullptr) return OS_ERR_ARGUMENT;
    OsMutex* m = *mutex;
    if (m == nullptr) return OS_OK;
    if (!validMutex(m)) return OS_ERR_NOT_FOUND;
    *mutex = nullptr;
    if (win::interlockedRead(&m->owner) != 0) {
        // A held mutex is kept as it is: its holder and any waiter still use the record.
        return traceMutex(m, file, line, osDbgTraceOp_destroy, OS_ERR_BUSY);
    }
    int result = traceMutex(m, file, line, osDbgTraceOp_destroy, OS_OK);
    int r = releaseMutex(m);
    return result != OS_OK ? result : r;
}

OSTRUM_API int _osMutexLock(const char* file, int line, OsMutex* mutex) {
    if (mutex == nullptr) return OS_ERR_ARGUMENT;
    if (!validMutex(mutex)) return OS_ERR_NOT_FOUND;
    int result = mutexLockRaw(mutex);
    if (!mutex->trace) return result;
    return traceMutex(mutex, file, line, osDbgTraceOp_lock, result, win::interlockedRead(&mutex->owner),
                      mutex->count);
}

OSTRUM_API int _osMutexUnlock(const char* file, int line, OsMutex* mutex) {
    if (mutex == nullptr) return OS_ERR_ARGUMENT;
    if (!validMutex(mutex)) return OS_ERR_NOT_FOUND;
    if (!mutex->trace) return mutexUnlockRaw(mutex);
    uint32_t owner = win::interlockedRead(&mutex->owner);
    int count = owner == win::currentThreadId() ? mutex->count - 1 : mutex->count;
    int result = mutexUnlockRaw(mutex);
    return traceMutex(mutex, file, line, osDbgTraceOp_unlock, result, owner, count);
}
}
