#include "travik.h"

#include <signal.h>
#include <sys/time.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "platform/win/SignalStack.h"

namespace {

constexpr const char* SOURCE = "platform/travik/travik";

// The context given to slInit and the pool of the memory handed out on it.
std::mutex StateMutex;
std::atomic<OsContext*> Context{nullptr};
OsMemPool* Pool = nullptr;
SlLogCallback LogCallback = nullptr;

OsContext* context() {
    return Context.load(std::memory_order_acquire);
}

void logMessage(int level, const char* text) {
    SlLogCallback callback = LogCallback;
    if (callback != nullptr) callback(level, text);
}

}  // namespace

extern "C" {

int slInit(OsContext* ctx, int version, SlLogCallback logCallback) {
    if (ctx == nullptr) return OS_ERR_ARGUMENT;
    if (version != SL_VERSION) return SL_ERR_VERSION;
    std::lock_guard<std::mutex> lock(StateMutex);
    if (context() != nullptr) return SL_ERR_ALREADY_STARTED;
    OsMemPool* pool = nullptr;
    int rc = _osMemPoolCreate(SOURCE, __LINE__, &pool, "travik", ctx);
    if (rc != OS_OK) return rc;
    Pool = pool;
    LogCallback = logCallback;
    Context.store(ctx, std::memory_order_release);
    logMessage(SL_LOG_DBG, "started");
    return SL_OK;
}

int slDestroy(OsContext* ctx) {
    std::lock_guard<std::mutex> lock(StateMutex);
    if (ctx == nullptr || ctx != context()) return SL_ERR_NOT_STARTED;
    logMessage(SL_LOG_DBG, "stopped");
    Context.store(nullptr, std::memory_order_release);
    LogCallback = nullptr;
    // A pool that still holds blocks stays with the context, whose leak report lists them.
    int rc = _osMemPoolDestroy(SOURCE, __LINE__, &Pool);
    return rc == OS_ERR_BUSY ? SL_OK : rc;
}

int _slMemAlloc(const char* file, int line, void** p, int size) {
    if (context() == nullptr) return SL_ERR_NOT_STARTED;
    if (size < 0) return OS_ERR_ARGUMENT;
    return _osMemPoolAlloc(file, line, p, static_cast<size_t>(size), Pool);
}

int _slMemRealloc(const char* file, int line, void** p, int size) {
    if (context() == nullptr) return SL_ERR_NOT_STARTED;
    if (p == nullptr || size < 0) return OS_ERR_ARGUMENT;
    return _osMemPoolRealloc(file, line, p, static_cast<size_t>(size), Pool);
}

int _slMutexCreate(const char* file, int line, OsMutex** mutex) {
    OsContext* ctx = context();
    if (ctx == nullptr) return SL_ERR_NOT_STARTED;
    return _osMutexCreate(file, line, mutex, ctx);
}

int _slSignalCreate(const char* file, int line, OsSignal** signal) {
    OsContext* ctx = context();
    if (ctx == nullptr) return SL_ERR_NOT_STARTED;
    return _osSignalCreate(file, line, signal, ctx);
}

int _slMsgQCreate(const char* file, int line, OsMsgQ** queue, int capacity, int messageSize) {
    OsContext* ctx = context();
    if (ctx == nullptr) return SL_ERR_NOT_STARTED;
    return _osMsgQCreate(file, line, queue, capacity, messageSize, ctx);
}

// ostrum gives each of its threads the alternate signal stack of this size.
static_assert(SL_SIGNAL_STACK_SIZE == win::AlternateSignalStack::SIZE);

int _slThreadExec(const char* file, int line, OsThread** thread, OsThreadFunction entry, void* argument) {
    OsContext* ctx = context();
    if (ctx == nullptr) return SL_ERR_NOT_STARTED;
    if (entry == nullptr) return OS_ERR_ARGUMENT;
    return _osThreadExec(file, line, thread, entry, argument, ctx);
}

int _slTimerCreate(const char* file, int line, OsTimer** timer, OsTimerCallback callback, void* userData) {
    OsContext* ctx = context();
    if (ctx == nullptr) return SL_ERR_NOT_STARTED;
    return _osTimerCreate(file, line, timer, callback, userData, ctx);
}

int slVsnprintf(char* buffer, int size, const char* format, va_list args) {
    if (buffer == nullptr || size <= 0 || format == nullptr) return OS_ERR_ARGUMENT;
    int n = vsnprintf(buffer, static_cast<size_t>(size), format, args);
    if (n < 0 || n >= size) return SL_ERR_FORMAT;
    return SL_OK;
}

int slTimeGetUTC(SlTime* t) {
    if (t == nullptr) return OS_ERR_ARGUMENT;
    struct timeval now;
    if (gettimeofday(&now, nullptr) != 0) return OS_ERR_FAILED;
    struct tm utc;
    if (gmtime_r(&now.tv_sec, &utc) == nullptr) return OS_ERR_FAILED;
    t->second = utc.tm_sec;
    t->minute = utc.tm_min;
    t->hour = utc.tm_hour;
    t->day = utc.tm_mday;
    t->month = utc.tm_mon + 1;
    t->year = utc.tm_year + 1900;
    t->fraction = static_cast<int32_t>(now.tv_usec / 1000);
    return SL_OK;
}

int slTimeCompare(const SlTime* a, const SlTime* b) {
    const int32_t left[] = {a->year, a->month, a->day, a->hour, a->minute, a->second};
    const int32_t right[] = {b->year, b->month, b->day, b->hour, b->minute, b->second};
    for (int i = 0; i < 6; ++i) {
        if (left[i] < right[i]) return -1;
        if (left[i] > right[i]) return 1;
    }
    return 0;
}

const char* slErrorCodeToString(int code) {
    switch (code) {
        case SL_OK:
            return "SL_OK";
        case SL_ERR_NOT_STARTED:
            return "SL_ERR_NOT_STARTED";
        case SL_ERR_ALREADY_STARTED:
            return "SL_ERR_ALREADY_STARTED";
        case SL_ERR_VERSION:
            return "SL_ERR_VERSION";
        case SL_ERR_FORMAT:
            return "SL_ERR_FORMAT";
        default:
            return clErrorCodeToString(code);
    }
}

const char* clErrorCodeToString(int code) {
    switch (code) {
        case OS_OK:
            return "OS_OK";
        case OS_ERR_FAILED:
            return "OS_ERR_FAILED";
        case OS_ERR_WOULD_BLOCK:
            return "OS_ERR_WOULD_BLOCK";
        case OS_ERR_BUFFER_TOO_SMALL:
            return "OS_ERR_BUFFER_TOO_SMALL";
        case OS_ERR_MESSAGE_TOO_BIG:
            return "OS_ERR_MESSAGE_TOO_BIG";
        case OS_ERR_ARGUMENT:
            return "OS_ERR_ARGUMENT";
        case OS_ERR_NO_MEMORY:
            return "OS_ERR_NO_MEMORY";
        case OS_ERR_EVENT:
            return "OS_ERR_EVENT";
        case OS_ERR_NOT_FOUND:
            return "OS_ERR_NOT_FOUND";
        case OS_ERR_BUSY:
            return "OS_ERR_BUSY";
        case OS_ERR_REF_REFUSED:
            return "OS_ERR_REF_REFUSED";
        default:
            return "OS_ERR_UNKNOWN";
    }
}

const char* clTraceTypeToString(unsigned kind) {
    switch (kind) {
        case osDbgTraceType_context:
            return "context";
        case osDbgTraceType_memPool:
            return "mempool";
        case osDbgTraceType_refPool:
            return "refpool";
        case osDbgTraceType_mutex:
            return "mutex";
        case osDbgTraceType_thread:
            return "thread";
        case osDbgTraceType_msgQ:
            return "msgq";
        case osDbgTraceType_signal:
            return "signal";
        case osDbgTraceType_timer:
            return "timer";
        default:
            return "unknown";
    }
}

const char* clTraceOpcodeToString(unsigned opcode) {
    static const char* const NAMES[] = {"unknown", "create", "destroy", "alloc",  "free", "realloc",
                                        "ref",     "unref",  "lock",    "unlock", "exec", "join",
                                        "send",    "recv",   "set",     "wait"};
    return opcode < sizeof NAMES / sizeof NAMES[0] ? NAMES[opcode] : "unknown";
}

const char* clMemoryCorruptionReasonToString(int reason) {
    switch (reason) {
        case osMemCorruption_head:
            return "head guard damaged";
        case osMemCorruption_tail:
            return "tail guard damaged";
        default:
            return "unknown";
    }
}

const char* slPathFileName(const char* path) {
    if (path == nullptr) return nullptr;
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') name = p + 1;
    }
    return name;
}

}  // extern "C"
