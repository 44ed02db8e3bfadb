// Threads with a start handshake: the creator's handle is in place before the body runs.
#include <pthread.h>

#include <cstring>

#include "os/osinternal.h"
#include "platform/win/SignalStack.h"
#include "platform/win/ThreadId.h"

struct OsThread {
    OsThreadFunction function;
    void* argument;
    OsSignal* startSignal;
    pthread_t handle;
    OsThreadId id;
    OsContext* context;
    bool trace;
    bool cancelled;  // set when the create is undone before the body may run
    OsTraceCallback traceCallback;
    char contextName[ostrum::NAME_SIZE];
};

using namespace ostrum;

namespace {

bool validThread(const OsThread* thread) {
    return !validates(osDbgTraceType_thread) || isLiveObject(thread);
}

void* threadBody(void* argument) {
    // From the thread's first step on, so that a fault handler can still run when it has
    // overflowed its stack.
    win::AlternateSignalStack stack;
    auto* thread = static_cast<OsThread*>(argument);
    win::bindCurrentThreadId(thread->id);
    if (_osSignalWait(SRC_THREAD, __LINE__, thread->startSignal) != OS_OK) return nullptr;
    if (!thread->cancelled) thread->function(thread->argument);
    return nullptr;
}

int freeThreadRecord(OsThread* thread) {
    int result = _osSignalDestroy(SRC_THREAD, __LINE__, &thread->startSignal);
    void* memory = thread;
    int r = _osMemPoolFree(SRC_THREAD, __LINE__, &memory);
    return result != OS_OK ? result : r;
}

}  // namespace

extern "C" {

OSTRUM_API int _osThreadExec(const char* file, int line, OsThread** thread, OsThreadFunction function,
                             void* argument, OsContext* context) {
    if (thread == nullptr || *thread != nullptr || function == nullptr || context == nullptr)
        return OS_ERR_ARGUMENT;
    if (validates(osDbgTraceType_thread) && !isLiveContext(context)) return OS_ERR_NOT_FOUND;
    void* memory = nullptr;
    int r = memAlloc(SRC_THREAD, __LINE__, &memory, sizeof(OsThread), &context->defaultPool, true);
    if (r != OS_OK) return r;
    auto* created = static_cast<OsThread*>(memory);
    created->function = function;
    created->argument = argument;
    created->context = context;
    created->trace = (context->config.traceKinds & osDbgTraceType_thread) != 0;
    created->traceCallback = context->config.traceCallback;
    copyName(created->contextName, context->name);
    r = _osSignalCreate(SRC_THREAD, __LINE__, &created->startSignal, context);
    if (r != OS_OK) {
        _osMemPoolFree(SRC_THREAD, __LINE__, &memory);
        return r;
    }
    created->id = win::reserveThreadId();
    if (pthread_create(&created->handle, nullptr, threadBody, created) != 0) {
        freeThreadRecord(created);
        return OS_ERR_FAILED;
    }
    if (created->trace) {
        r = dispatchTrace(created->traceCallback, file, line, created->contextName, created,
                          osDbgTraceType_thread, osDbgTraceOp_exec, OS_OK, created->id);
        if (r != OS_OK) {
            // The body has not run yet: let the thread end without calling it.
            created->cancelled = true;
            _osSignalSet(SRC_THREAD, __LINE__, created->startSignal);
            pthread_join(created->handle, nullptr);
            freeThreadRecord(created);
            return r;
        }
    }
    *thread = created;
    _osSignalSet(SRC_THREAD, __LINE__, created->startSignal);
    return OS_OK;
}

OSTRUM_API int _osThreadJoin(const char* file, int line, OsThread** thread) {
    if (thread == nullptr) return OS_ERR_ARGUMENT;
    OsThread* t = *thread;
    if (t == nullptr) return OS_OK;
    if (!validThread(t)) {
        *thread = nullptr;
        return OS_ERR_NOT_FOUND;
    }
    *thread = nullptr;
    if (pthread_join(t->handle, nullptr) != 0) {
        return t->trace ? dispatchTrace(t->traceCallback, file, line, t->contextName, t,
                                        osDbgTraceType_thread, osDbgTraceOp_join, OS_ERR_FAILED, t->id)
                        : OS_ERR_FAILED;
    }
    OsThreadId id = t->id;
    bool trace = t->trace;
    OsTraceCallback callback = t->traceCallback;
    char contextName[NAME_SIZE];
    std::memcpy(contextName, t->contextName, sizeof contextName);
    int result = freeThreadRecord(t);
    if (!trace) return result;
    return dispatchTrace(callback, file, line, contextName, t, osDbgTraceType_thread, osDbgTraceOp_join,
                         result, id);
}

OSTRUM_API int osThreadSelf(OsThreadId* id) {
    if (id == nullptr) return OS_ERR_ARGUMENT;
    *id = win::currentThreadId();
    return OS_OK;
}

OSTRUM_API int osThreadId(OsThread* thread, OsThreadId* id) {
    if (id == nullptr) return OS_ERR_ARGUMENT;
    *id = 0;
    if (thread == nullptr) return OS_ERR_ARGUMENT;
    if (!validThread(thread)) return OS_ERR_NOT_FOUND;
    *id = thread->id;
    return OS_OK;
}

OSTRUM_API int osThreadEqual(const OsThreadId* idA, const OsThreadId* idB) {
    if (idA == nullptr || idB == nullptr) return OS_ERR_ARGUMENT;
    return *idA == *idB ? OS_OK : OS_ERR_FAILED;
}

OSTRUM_API void osThreadExit(void) {
    pthread_exit(nullptr);
}
}
