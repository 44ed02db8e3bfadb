#include "runtime/lum/Log.h"

#include <atomic>

#include "runtime/lum/LogFile.h"
#include "runtime/lum/LoggingThread.h"

namespace {

std::atomic<int> LevelMask{LogConstants::INITIAL_MASK};

}  // namespace

int logLevelMask() {
    return LevelMask.load(std::memory_order_relaxed);
}

void setLogLevelMask(int mask) {
    LevelMask.store(mask, std::memory_order_relaxed);
}

bool logEnabled(int bits) {
    return (bits & logLevelMask()) != 0;
}

void logVMasked(int bits, const char* levelName, const Tags* tags, const char* format, va_list args) {
    if (!logEnabled(bits)) return;
    LogFileRecord* record = logFileRecordFor(bits);
    if (record == nullptr) return;
    LogMessage message;
    message.format(format, args);
    const Severity& severity = severityOfLevel(levelName);
    if (!loggingThreadPut(*record, severity, tags, message)) logDirect(*record, severity, tags, message);
}

void logMasked(int bits, const char* levelName, const char* format, ...) {
    va_list args;
    va_start(args, format);
    logVMasked(bits, levelName, nullptr, format, args);
    va_end(args);
}

void logMaskedTagged(int bits, const Tags& tags, const char* format, ...) {
    va_list args;
    va_start(args, format);
    logVMasked(bits, "INF", &tags, format, args);
    va_end(args);
}

void logError(int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    logVMasked(LogConstants::LEVEL_ERROR, "ERR", nullptr, format, args);
    va_end(args);
}

void logWarning(int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    logVMasked(LogConstants::LEVEL_WARNING, "WRN", nullptr, format, args);
    va_end(args);
}

void logInfo(int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    logVMasked(LogConstants::LEVEL_INFO, "INF", nullptr, format, args);
    va_end(args);
}

void logDebug(const char* format, ...) {
    va_list args;
    va_start(args, format);
    logVMasked(LogConstants::LEVEL_DEBUG, "DBG", nullptr, format, args);
    va_end(args);
}

void logInfoTagged(const Tags& tags, int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    logVMasked(LogConstants::LEVEL_INFO, "INF", &tags, format, args);
    va_end(args);
}
