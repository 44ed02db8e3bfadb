/*
 * travik: the system library the service runs on. It starts the process's system services on the
 * service's ostrum context and creates ostrum objects on that context; the service afterwards
 * locks, waits on, sends to, joins and destroys them with the ostrum operations. Results are 0 for
 * success and negative codes (the ostrum codes where an ostrum call failed).
 */
#pragma once

#include <stdarg.h>
#include <stdint.h>

#include "ostrum.h"

#ifdef __cplusplus
extern "C" {
#endif

#define SL_OK 0
/* the library was not started (or was started twice) */
#define SL_ERR_NOT_STARTED (-101)
#define SL_ERR_ALREADY_STARTED (-102)
/* the version asked for is not served */
#define SL_ERR_VERSION (-103)
/* formatted text did not fit or the format failed */
#define SL_ERR_FORMAT (-104)

/* The version slInit serves. */
#define SL_VERSION 3

/* Bytes of the alternate signal stack every thread of _slThreadExec runs with. */
#define SL_SIGNAL_STACK_SIZE 65536

/* Levels of the library's own messages. */
#define SL_LOG_ERR 0
#define SL_LOG_WRN 1
#define SL_LOG_INF 2
#define SL_LOG_DBG 3

typedef void (*SlLogCallback)(int level, const char* text);

/* The clock record: UTC calendar fields, the seventh word only the clock fills (milliseconds). */
typedef struct SlTime {
    int32_t second;
    int32_t minute;
    int32_t hour;
    int32_t day;
    int32_t month;
    int32_t year;
    int32_t fraction;
} SlTime;

int slInit(OsContext* context, int version, SlLogCallback logCallback);
int slDestroy(OsContext* context);

/* Memory of the context; freed with _osMemPoolFree. */
int _slMemAlloc(const char* file, int line, void** p, int size);
int _slMemRealloc(const char* file, int line, void** p, int size);

int _slMutexCreate(const char* file, int line, OsMutex** mutex);
int _slSignalCreate(const char* file, int line, OsSignal** signal);
int _slMsgQCreate(const char* file, int line, OsMsgQ** queue, int capacity, int messageSize);
int _slThreadExec(const char* file, int line, OsThread** thread, OsThreadFunction entry, void* argument);
int _slTimerCreate(const char* file, int line, OsTimer** timer, OsTimerCallback callback, void* userData);

/* Formats into a fixed buffer; non-zero when the text did not fit or the format failed. */
int slVsnprintf(char* buffer, int size, const char* format, va_list args);

int slTimeGetUTC(SlTime* time);
/* -1, 0 or 1 as a is before, equal to or after b, to the second. */
int slTimeCompare(const SlTime* a, const SlTime* b);

const char* slErrorCodeToString(int code);
const char* clErrorCodeToString(int code);
const char* clTraceTypeToString(unsigned kind);
const char* clTraceOpcodeToString(unsigned opcode);
const char* clMemoryCorruptionReasonToString(int reason);
/* The part of a path after its last '/' or '\\'; null for null. */
const char* slPathFileName(const char* path);

#ifdef __cplusplus
}
#endif
