#include "runtime/lum/LumMain.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "ostrum.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Fatal.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LumMemory.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "travik.h"
#include "vel/exception/BaseException.h"
#include "vel/exception/NvoException.h"

namespace {

std::atomic<LumLifetime> Lifetime{LIFETIME_NONE};
alignas(std::max_align_t) char LumMain__Storage[256];
OsContext* Context = nullptr;
OsMutex* TravikLogMutex = nullptr;
std::atomic<int> LeakCounter{0};

void onTerminate() {
    fatalError("LumMain::S_TERMINATE__NO_RETURN called");
}

void travikLogCallback(int level, const char* text) {
    static const char* const NAMES[] = {"ERR", "WRN", "INF", "DBG"};
    if (level == SL_LOG_ERR) logError(0, "Internal error %d, contact software manufacturer", 11);
    logDebug("Travik:%s: %s", level >= 0 && level <= 3 ? NAMES[level] : "", text != nullptr ? text : "");
}

// Appends the kind-specific part of a trace line; false for an opcode the kind does not have.
bool traceDetails(const OsTraceRecord& r, char* out, size_t size) {
    out[0] = '\0';
    unsigned op = r.opcode;
    bool lifecycle = op == osDbgTraceOp_create || op == osDbgTraceOp_destroy;
    switch (r.kind) {
        case osDbgTraceType_context:
        case osDbgTraceType_timer:
            return lifecycle;
        case osDbgTraceType_memPool:
            if (lifecycle) return true;
            if (op != osDbgTraceOp_alloc && op != osDbgTraceOp_free && op != osDbgTraceOp_realloc)
                return false;
            snprintf(out, size, ", name=%s, size=%1u",
                     r.extra1 ? reinterpret_cast<const char*>(r.extra1) : "",
                     static_cast<unsigned>(r.extra2));
            return true;
        case osDbgTraceType_refPool:
            if (lifecycle) {
                snprintf(out, size, ", name=%s", r.extra1 ? reinterpret_cast<const char*>(r.extra1) : "");
                return true;
            }
            if (op < osDbgTraceOp_alloc || op > osDbgTraceOp_unlock) return false;
            snprintf(out, size, ", name=%s, size=%1u, ref_count=%d",
                     r.extra1 ? reinterpret_cast<const char*>(r.extra1) : "", static_cast<unsigned>(r.extra2),
                     static_cast<int>(r.extra3));
            return true;
        case osDbgTraceType_mutex:
            if (lifecycle) return true;
            if (op != osDbgTraceOp_lock && op != osDbgTraceOp_unlock) return false;
            snprintf(out, size, ", thread_id=%ld lock_count=%d", static_cast<long>(r.extra1),
                     static_cast<int>(r.extra2));
            return true;
        case osDbgTraceType_thread:
            if (op != osDbgTraceOp_exec && op != osDbgTraceOp_join) return false;
            snprintf(out, size, ", thread_id=%ld", static_cast<long>(r.extra1));
            return true;
        case osDbgTraceType_msgQ:
            if (lifecycle) {
                snprintf(out, size, ", max_depth=%d", static_cast<int>(r.extra2));
                return true;
            }
            if (op != osDbgTraceOp_send && op != osDbgTraceOp_recv) return false;
            snprintf(out, size, ", thread_id=%ld", static_cast<long>(r.extra1));
            return true;
        case osDbgTraceType_signal:
            if (!lifecycle && op != osDbgTraceOp_set && op != osDbgTraceOp_wait) return false;
            snprintf(out, size, ", thread_id=%ld", static_cast<long>(r.extra1));
            return true;
        default:
            return false;
    }
}

int traceCallback(const OsTraceRecord* record) {
    if (!LUM_ASSERT_TEXT(record != nullptr, "trace != null")) return 0;
    const char* file = slPathFileName(record->file);
    if (file == nullptr) {
        logDebug("Can not create ostrum trace message");
        return 0;
    }
    char details[160];
    if (!LUM_ASSERT_TEXT(traceDetails(*record, details, sizeof details), "unknown trace opcode")) return 0;
    logDebug("Ostrum:TRACE: context=%s, %s %s, %s:%d, m%p, err=%d(%s)%s", record->contextName,
             clTraceTypeToString(record->kind), clTraceOpcodeToString(record->opcode), file, record->line,
             record->object, record->status, clErrorCodeToString(record->status), details);
    return 0;
}

int corruptionCallback(const char* file, int line, const char* contextName, void* userPointer, int reason) {
    const char* name = slPathFileName(file);
    if (name == nullptr || contextName == nullptr) {
        logError(0, "Can not create ostrum memory corruption message");
        return 0;
    }
    logError(0, "Ostrum:memory corruption: %s:%d, context=%s, m%p, reason=%s", name, line, contextName,
             userPointer, clMemoryCorruptionReasonToString(reason));
    return 0;
}

// travik's pool stays alive while it holds leaked blocks, so its own record in the context's pool
// is listed too; it is a consequence of those leaks, not one more.
bool isKeptPoolRecord(const char* text) {
    void* p = nullptr;
    char pool[16];
    char file[64];
    return sscanf(text, "m%p %15[^:]: %63[^:]:", &p, pool, file) == 3 && strcmp(pool, "OS") == 0 &&
           strcmp(file, "osmemory") == 0;
}

int leakCallback(const char* contextName, const char* text) {
    if (!LUM_ASSERT_TEXT(contextName, "context") || !LUM_ASSERT_TEXT(text, "msg")) return 0;
    if (text[0] == 'm' && !isKeptPoolRecord(text)) ++LeakCounter;
    logError(0, "Ostrum:MEMLEAK:%d: context %s, %s", LeakCounter.load(), contextName, text);
    return 0;
}

}  // namespace

LumLifetime LumMain::lifetime() {
    return Lifetime.load();
}

OsContext* LumMain::context() {
    return Context;
}

int LumMain::leakCount() {
    return LeakCounter.load();
}

void* LumMain::Create(size_t size) {
    static_assert(sizeof(LumMain) <= sizeof LumMain__Storage);
    LumLifetime state = Lifetime.load();
    // A released run-time may be brought up again (tests run several in one process).
    LUM_ASSERT_TEXT(state == LIFETIME_NONE || state == LIFETIME_RELEASED, "Lifetime == LIFETIME_NONE");
    LUM_ASSERT_TEXT(size == sizeof(LumMain), "size == sizeof LumMain__Storage");
    Lifetime = LIFETIME_CREATING;
    return LumMain__Storage;
}

LumMain::LumMain() {
    LUM_ASSERT(Lifetime == LIFETIME_CREATING);
    LUM_ASSERT_TEXT(reinterpret_cast<char*>(this) == LumMain__Storage,
                    "reinterpret_cast<char*> (this) == LumMain__Storage");
    static bool terminateInstalled = false;
    if (!terminateInstalled) {
        terminateInstalled = true;
        std::set_terminate(onTerminate);
    }
    try {
        if (Context == nullptr) start();
        int rc = _slMutexCreate(__FILE__, __LINE__, &TravikLogMutex);
        if (rc != OS_OK) throw NvoException(__FILE__, __LINE__, "slMutexCreate", rc);
        setFatalErrorMutex(TravikLogMutex);
        LUM_ASSERT(!ReferenceMutex);
        auto* mutex = new RuntimeMutex;
        try {
            mutex->open();
        } catch (...) {
            delete mutex;
            throw;
        }
        ReferenceMutex = mutex;
        Lifetime = LIFETIME_READY;
    } catch (const BaseException&) {
        Lifetime = LIFETIME_FAILED;
        throw;
    }
}

void LumMain::start() {
    LeakCounter = 0;
    OsContextConfig configuration = {};
    configuration.traceCallback = traceCallback;
    configuration.traceKinds = osDbgTraceType_context | osDbgTraceType_thread;
    configuration.corruptionCallback = corruptionCallback;
    configuration.guardCheck = 0;
    configuration.leakCallback = leakCallback;
    // A call stack per block costs microseconds on every allocation: only when the debug level
    // asks; otherwise the report names each leaked block's allocating file and line.
    configuration.leakTracking =
        OS_LEAK_REPORT | ((logLevelMask() & LogConstants::CALL_STACKS) != 0 ? OS_LEAK_CALL_STACKS : 0u);
    // Memory handles are validated so that a stray free is caught instead of corrupting the heap.
    configuration.handleValidation = osDbgTraceType_memPool;
    int rc = _osContextCreate(__FILE__, __LINE__, &Context, "vel", &configuration);
    if (rc != OS_OK) throw NvoException(__FILE__, __LINE__, "osContextCreate", rc);
    rc = slInit(Context, SL_VERSION, travikLogCallback);
    if (rc != OS_OK) {
        _osContextDestroy(__FILE__, __LINE__, &Context);
        throw NvoException(__FILE__, __LINE__, "slInit", rc);
    }
    lumMemoryOpen();
}

LumMain::~LumMain() {
    try {
        LumLifetime state = Lifetime.load();
        LUM_ASSERT_TEXT(state == LIFETIME_FAILED || state == LIFETIME_READY,
                        "Lifetime == LIFETIME_FAILED || Lifetime == LIFETIME_READY");
        Lifetime = LIFETIME_DESTROYING;
        if (LUM_ASSERT(ReferenceMutex)) {
            RuntimeMutex* mutex = ReferenceMutex;
            ReferenceMutex = nullptr;
            delete mutex;
        }
        setFatalErrorMutex(nullptr);
        int rc = _osMutexDestroy(__FILE__, __LINE__, &TravikLogMutex);
        if (rc != OS_OK) {
            logError(0, "Internal error %d, contact software manufacturer", 8);
            logError(0, "osMutexDestroy => %d{error}", rc);
        }
        teardown();
    } catch (const BaseException& e) {
        e.report();
        fatalError("LumMain destruction failed");
    }
}

void LumMain::teardown() {
    lumMemoryClose();
    int rc = slDestroy(Context);
    if (rc != OS_OK) {
        logError(0, "Internal error %d, contact software manufacturer", 2);
        logError(0, "slDestroy() => %s(%d)", slErrorCodeToString(rc), rc);
    }
    rc = _osContextDestroy(__FILE__, __LINE__, &Context);
    if (rc != OS_OK) {
        logError(0, "Internal error %d, contact software manufacturer", 1);
        logError(0, "osContextDestroy() => %s(%d)", clErrorCodeToString(rc), rc);
    }
    if (LeakCounter < 1) {
        logInfo(0, "No memory leaks detected");
    } else {
        logError(0, "%d memory leak(s) detected, consult Ostrum log message(s) above for detailed report",
                 LeakCounter.load());
    }
}

void LumMain::Destroy(LumMain** outP) {
    if (!LUM_ASSERT(outP)) return;
    LumMain* p = *outP;
    *outP = nullptr;
    if (p == nullptr) return;
    p->~LumMain();
    LumLifetime state = Lifetime.load();
    LUM_ASSERT_TEXT(state == LIFETIME_FAILED || state == LIFETIME_DESTROYING,
                    "Lifetime == LIFETIME_FAILED || Lifetime == LIFETIME_DESTROYING");
    LUM_ASSERT_TEXT(reinterpret_cast<char*>(p) == LumMain__Storage, "p == LumMain__Storage");
    Lifetime = LIFETIME_RELEASED;
}

LumRuntime::LumRuntime() {
    void* storage = LumMain::Create(sizeof(LumMain));
    try {
        m_main = new (storage) LumMain;
    } catch (...) {
        // The object was never built: undo what the constructor left and release the storage.
        if (Context != nullptr) {
            lumMemoryClose();
            slDestroy(Context);
            _osContextDestroy(__FILE__, __LINE__, &Context);
        }
        Lifetime = LIFETIME_RELEASED;
        throw;
    }
}

LumRuntime::~LumRuntime() {
    LumMain::Destroy(&m_main);
}
