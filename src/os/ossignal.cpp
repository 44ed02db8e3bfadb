// Auto-reset signals: one set releases one waiter, or lets exactly the next wait through.
#include <cstring>

#include "os/osinternal.h"
#include "platform/win/ThreadId.h"

using namespace ostrum;

namespace {

bool validSignal(const OsSignal* signal) {
    return !validates(osDbgTraceType_signal) || isLiveObject(signal);
}

int traceSignal(OsSignal* signal, const char* file, int line, unsigned opcode, int status) {
    if (!signal->trace) return status;
    return dispatchTrace(signal->traceCallback, file, line, signal->contextName, signal,
                         osDbgTraceType_signal, opcode, status, win::currentThreadId());
}

int releaseSignal(OsSignal* signal) {
    int result = OS_OK;
    if (signal->event != nullptr && !win::closeEvent(signal->event)) result = OS_ERR_FAILED;
    std::memset(static_cast<void*>(signal), 0, sizeof *signal);
    void* memory = signal;
    int r = _osMemPoolFree(SRC_SIGNAL, __LINE__, &memory);
    return result != OS_OK ? result : r;
}

}  // namespace

extern "C" {

OSTRUM_API int _osSignalCreate(const char* file, int line, OsSignal** signal, OsContext* context) {
    if (signal == nullptr || *signal != nullptr || context == nullptr) return OS_ERR_ARGUMENT;
    if (validates(osDbgTraceType_signal) && !isLiveContext(context)) return OS_ERR_NOT_FOUND;
    void* memory = nullptr;
    int r = memAlloc(SRC_SIGNAL, __LINE__, &memory, sizeof(OsSignal), &context->defaultPool, true);
    if (r != OS_OK) return r;
    auto* created = static_cast<OsSignal*>(memory);
    created->event = win::createAutoResetEvent();
    created->context = context;
    created->trace = (context->config.traceKinds & osDbgTraceType_signal) != 0;
    created->traceCallback = context->config.traceCallback;
    copyName(created->contextName, context->name);
    if (created->event == nullptr || (created->trace && created->contextName[0] == '\0')) {
        r = OS_ERR_FAILED;
    } else {
        r = traceSignal(created, file, line, osDbgTraceOp_create, OS_OK);
    }
    if (r != OS_OK) {
        releaseSignal(created);
        return r;
    }
    *signal = created;
    return OS_OK;
}

OSTRUM_API int _osSignalDestroy(const char* file, int line, OsSignal** signal) {
    if (signal == nullptr) return OS_ERR_ARGUMENT;
    OsSignal* s = *signal;
    if (s == nullptr) return OS_OK;
    if (!validSignal(s)) return OS_ERR_NOT_FOUND;
    *signal = nullptr;
    int result = traceSignal(s, file, line, osDbgTraceOp_destroy, OS_OK);
    int r = releaseSignal(s);
    return result != OS_OK ? result : r;
}

OSTRUM_API int _osSignalWait(const char* file, int line, OsSignal* signal) {
    if (signal == nullptr) return OS_ERR_ARGUMENT;
    if (!validSignal(signal)) return OS_ERR_NOT_FOUND;
    int result = OS_OK;
    switch (win::waitForEvent(signal->event, win::INFINITE_WAIT)) {
        case win::WaitResult::SIGNALLED:
            break;
        case win::WaitResult::TIMED_OUT:
            result = OS_ERR_WOULD_BLOCK;
            break;
        case win::WaitResult::FAILED:
            result = OS_ERR_FAILED;
            break;
    }
    return traceSignal(signal, file, line, osDbgTraceOp_wait, result);
}

OSTRUM_API int _osSignalSet(const char* file, int line, OsSignal* signal) {
    if (signal == nullptr) return OS_ERR_ARGUMENT;
    if (!validSignal(signal)) return OS_ERR_NOT_FOUND;
    int result = win::setEvent(signal->event) ? OS_OK : OS_ERR_FAILED;
    return traceSignal(signal, file, line, osDbgTraceOp_set, result);
}
}
