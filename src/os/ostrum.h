/*
 * ostrum: the OS abstraction library shared by the service and the tray program.
 *
 * Plain functions, no classes. Every operation whose name begins with an underscore takes the
 * caller's source file and line first; objects are created through an out-pointer that must point
 * at a null pointer and destroyed through a pointer to the caller's pointer, which is nulled
 * before the object is torn down. Results are OS_OK (0) or one of the negative codes below.
 * Nothing is thrown and nothing is logged: the context's callbacks are the only reporting channel.
 */
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(OSTRUM_BUILDING)
#define OSTRUM_API __attribute__((visibility("default")))
#else
#define OSTRUM_API
#endif

/* ---- results ---------------------------------------------------------------------------- */

#define OS_OK 0
/* an operating-system call failed, wrong state or caller, damaged guard, refused trace dispatch */
#define OS_ERR_FAILED (-1)
/* queue full (send) or empty (receive) and the caller asked not to wait */
#define OS_ERR_WOULD_BLOCK (-2)
/* receive buffers smaller than the queue's largest message */
#define OS_ERR_BUFFER_TOO_SMALL (-3)
/* message larger than the queue's maximum message size */
#define OS_ERR_MESSAGE_TOO_BIG (-4)
/* argument check failed */
#define OS_ERR_ARGUMENT (-5)
/* the host allocator returned nothing */
#define OS_ERR_NO_MEMORY (-17)
/* waiting on or setting a mutex's event failed */
#define OS_ERR_EVENT (-20)
/* object not found in its owner's list (handle validation) */
#define OS_ERR_NOT_FOUND (-21)
/* mutex still held, pool still holding blocks, exit function already registered */
#define OS_ERR_BUSY (-23)
/* a reference pool's increment callback refused a new reference */
#define OS_ERR_REF_REFUSED (-50)

/* ---- limits and rates ------------------------------------------------------------------- */

#define OS_NAME_MAX 8               /* characters kept of every context and pool name */
#define OS_MEM_MAX_BLOCK 104857600u /* largest payload a pool hands out */
#define OS_TIMER_HZ 5               /* ticks per second of the timer thread */

/* ---- trace kinds (configuration words 1 and 6) and opcodes ------------------------------ */

enum OsDbgTraceType {
    osDbgTraceType_context = 1,
    osDbgTraceType_memPool = 2,
    osDbgTraceType_refPool = 4,
    osDbgTraceType_mutex = 8,
    osDbgTraceType_thread = 16,
    osDbgTraceType_msgQ = 32,
    osDbgTraceType_signal = 64,
    osDbgTraceType_timer = 128
};

enum OsDbgTraceOp {
    osDbgTraceOp_create = 1,
    osDbgTraceOp_destroy = 2,
    osDbgTraceOp_alloc = 3,
    osDbgTraceOp_free = 4,
    osDbgTraceOp_realloc = 5,
    osDbgTraceOp_ref = 6,
    osDbgTraceOp_unref = 7,
    osDbgTraceOp_lock = 8,
    osDbgTraceOp_unlock = 9,
    osDbgTraceOp_exec = 10,
    osDbgTraceOp_join = 11,
    osDbgTraceOp_send = 12,
    osDbgTraceOp_recv = 13,
    osDbgTraceOp_set = 14,
    osDbgTraceOp_wait = 15
};

/* Reasons handed to the corruption callback. */
enum OsMemCorruptionReason {
    osMemCorruption_head = 1, /* head guard damaged: an underrun or a pointer that is no block */
    osMemCorruption_tail = 2  /* pad or tail guard damaged: an overrun */
};

/* ---- handles ---------------------------------------------------------------------------- */

typedef struct OsContext OsContext;
typedef struct OsMemPool OsMemPool;
typedef struct OsRefPool OsRefPool;
typedef struct OsMutex OsMutex;
typedef struct OsSignal OsSignal;
typedef struct OsThread OsThread;
typedef struct OsTimer OsTimer;
typedef struct OsMsgQ OsMsgQ;

/* Thread ids are 32 bits and never 0 (0 marks a free mutex). */
typedef uint32_t OsThreadId;

/* ---- records handed to and from the library --------------------------------------------- */

/* One record per traced operation, passed to the owning context's trace callback.
 * extra1..3 by kind: memory pool: pool name, size; reference pool: pool name, size, count;
 * pool create/destroy: pool name; mutex: owner thread id, lock count; thread: thread id;
 * message queue: calling thread id, capacity; signal: calling thread id. */
typedef struct OsTraceRecord {
    const char* file;
    int line;
    const char* contextName;
    const void* object;
    unsigned kind;   /* one OsDbgTraceType bit */
    unsigned opcode; /* OsDbgTraceOp */
    int status;
    uintptr_t extra1;
    uintptr_t extra2;
    uintptr_t extra3;
} OsTraceRecord;

/* The return values of the trace and corruption callbacks are ignored; a non-zero result of the
 * leak callback stops the report it is part of. */
typedef int (*OsTraceCallback)(const OsTraceRecord* record);
typedef int (*OsCorruptionCallback)(const char* file, int line, const char* contextName, void* userPointer,
                                    int reason);
typedef int (*OsLeakCallback)(const char* contextName, const char* text);

/* The seven configuration words of a context, copied at create. */
typedef struct OsContextConfig {
    OsTraceCallback traceCallback;           /* 0 */
    uintptr_t traceKinds;                    /* 1: OsDbgTraceType bits */
    OsCorruptionCallback corruptionCallback; /* 2: null = none */
    uintptr_t guardCheck;                    /* 3: nonzero = check every block of a pool per operation */
    OsLeakCallback leakCallback;             /* 4 */
    uintptr_t leakTracking;                  /* 5: OS_LEAK_... bits; nonzero = leak report at destroy */
    uintptr_t handleValidation;              /* 6: OsDbgTraceType bits; only the first context's counts */
} OsContextConfig;

/* Leak tracking (configuration word 5). The report gives each leaked block's allocating file and
 * line; capturing a call stack per block costs microseconds per allocation and is asked for apart. */
#define OS_LEAK_REPORT 1u      /* leak report at context destroy */
#define OS_LEAK_CALL_STACKS 2u /* and the call stack of each leaked block */

/* Caller-owned exit record; link must be zero when registered. The function gets the record's
 * address; a non-zero result becomes the context destroy's error unless an earlier one was met. */
typedef struct OsExitRecord OsExitRecord;
typedef int (*OsExitFunction)(OsExitRecord* record);
struct OsExitRecord {
    OsExitFunction function;
    OsExitRecord* link;
};

/* Reference pool callbacks. */
typedef void (*OsRefDestructor)(void* userPointer);
typedef int (*OsRefIncCallback)(void* userPointer); /* nonzero allows the new reference */
typedef void (*OsRefDecCallback)(void* userPointer, int newCount);
/* 0 no match (go on), 1 match, any other value ends the lookup with that result */
typedef int (*OsRefCompare)(void* userPointer, const void* key);

typedef void (*OsThreadFunction)(void* argument);
typedef void (*OsTimerCallback)(void* userData);

/* One piece of a scatter/gather list. */
typedef struct OsMsgQPiece {
    void* base;
    int32_t length;
} OsMsgQPiece;

/* Seconds and microseconds since 1970-01-01 00:00:00 UTC. */
typedef struct OsTime {
    uint32_t seconds;
    uint32_t microseconds;
} OsTime;

/* ---- contexts ----------------------------------------------------------------------------- */

OSTRUM_API int _osContextCreate(const char* file, int line, OsContext** context, const char* name,
                                const OsContextConfig* config);
OSTRUM_API int _osContextDestroy(const char* file, int line, OsContext** context);
OSTRUM_API int _osContextAddExitFunc(const char* file, int line, OsExitRecord* record, OsContext* context);

/* ---- guarded memory pools ----------------------------------------------------------------- */

OSTRUM_API int _osMemPoolCreate(const char* file, int line, OsMemPool** pool, const char* name,
                                OsContext* context);
OSTRUM_API int _osMemPoolDestroy(const char* file, int line, OsMemPool** pool);
OSTRUM_API int _osMemPoolAlloc(const char* file, int line, void** p, size_t size, OsMemPool* pool);
OSTRUM_API int _osMemPoolZalloc(const char* file, int line, void** p, size_t size, OsMemPool* pool);
OSTRUM_API int _osMemPoolRealloc(const char* file, int line, void** p, size_t size, OsMemPool* pool);
OSTRUM_API int _osMemPoolFree(const char* file, int line, void** p);

/* ---- reference pools ---------------------------------------------------------------------- */

OSTRUM_API int _osRefPoolCreate(const char* file, int line, OsRefPool** pool, const char* name,
                                OsRefDestructor destructor, OsContext* context);
OSTRUM_API int _osRefPoolDestroy(const char* file, int line, OsRefPool** pool);
OSTRUM_API int _osRefPoolAlloc(const char* file, int line, void** p, size_t size, OsRefPool* pool);
OSTRUM_API int _osRefPoolRef(const char* file, int line, void** out, void* p);
OSTRUM_API int _osRefPoolUnref(const char* file, int line, void** p);
OSTRUM_API int _osRefPoolLock(const char* file, int line, OsRefPool* pool);
OSTRUM_API int _osRefPoolUnlock(const char* file, int line, OsRefPool* pool);
OSTRUM_API int osRefPoolLookup(void** out, OsRefCompare compare, const void* key, OsRefPool* pool);
OSTRUM_API int osRefPoolIncCallback(OsRefPool* pool, OsRefIncCallback callback);
OSTRUM_API int osRefPoolDecCallback(OsRefPool* pool, OsRefDecCallback callback);

/* ---- recursive mutexes and auto-reset signals --------------------------------------------- */

OSTRUM_API int _osMutexCreate(const char* file, int line, OsMutex** mutex, OsContext* context);
OSTRUM_API int _osMutexDestroy(const char* file, int line, OsMutex** mutex);
OSTRUM_API int _osMutexLock(const char* file, int line, OsMutex* mutex);
OSTRUM_API int _osMutexUnlock(const char* file, int line, OsMutex* mutex);

OSTRUM_API int _osSignalCreate(const char* file, int line, OsSignal** signal, OsContext* context);
OSTRUM_API int _osSignalDestroy(const char* file, int line, OsSignal** signal);
OSTRUM_API int _osSignalWait(const char* file, int line, OsSignal* signal);
OSTRUM_API int _osSignalSet(const char* file, int line, OsSignal* signal);

/* ---- threads and the process-wide timer thread -------------------------------------------- */

OSTRUM_API int _osThreadExec(const char* file, int line, OsThread** thread, OsThreadFunction function,
                             void* argument, OsContext* context);
OSTRUM_API int _osThreadJoin(const char* file, int line, OsThread** thread);
OSTRUM_API int osThreadSelf(OsThreadId* id);
OSTRUM_API int osThreadId(OsThread* thread, OsThreadId* id);
/* OS_OK when equal, OS_ERR_FAILED when different */
OSTRUM_API int osThreadEqual(const OsThreadId* idA, const OsThreadId* idB);
OSTRUM_API void osThreadExit(void);

OSTRUM_API int _osTimerCreate(const char* file, int line, OsTimer** timer, OsTimerCallback callback,
                              void* userData, OsContext* context);
OSTRUM_API int _osTimerDestroy(const char* file, int line, OsTimer** timer);
OSTRUM_API int osTimerGetHz(void);

/* ---- bounded message queues --------------------------------------------------------------- */

OSTRUM_API int _osMsgQCreate(const char* file, int line, OsMsgQ** queue, int capacity, int maxMessageSize,
                             OsContext* context);
OSTRUM_API int _osMsgQDestroy(const char* file, int line, OsMsgQ** queue);
OSTRUM_API int _osMsgQSendV(const char* file, int line, OsMsgQ* queue, const OsMsgQPiece* pieces,
                            int pieceCount, int wait);
OSTRUM_API int _osMsgQRecvV(const char* file, int line, OsMsgQ* queue, OsMsgQPiece* pieces, int* pieceCount,
                            int wait);
OSTRUM_API int osMsgQCount(OsMsgQ* queue, int* count);

/* ---- time ----------------------------------------------------------------------------------- */

OSTRUM_API int osTime(OsTime* t);
OSTRUM_API uint32_t osMTime(void); /* milliseconds since system start, wraps at 32 bits */
OSTRUM_API void osMSleep(uint32_t milliseconds);

/* ---- byte order: big-endian (network) and little-endian copies, unaligned pointers fine ---- */

OSTRUM_API void bo_htonl(void* dst, const void* src);
OSTRUM_API void bo_ntohl(void* dst, const void* src);
OSTRUM_API void bo_htons(void* dst, const void* src);
OSTRUM_API void bo_ntohs(void* dst, const void* src);
OSTRUM_API void bo_htolel(void* dst, const void* src);
OSTRUM_API void bo_letohl(void* dst, const void* src);
OSTRUM_API void bo_htoles(void* dst, const void* src);
OSTRUM_API void bo_letohs(void* dst, const void* src);

#ifdef __cplusplus
}
#endif
