#pragma once

#include <cstdarg>

#include "runtime/lum/LogConstants.h"
#include "runtime/lum/Tag.h"

// The leading integer of logError, logWarning and logInfo identifies the call site in the
// caller's sources; it is not printed.
void logError(int id, const char* format, ...) __attribute__((format(printf, 2, 3)));
void logWarning(int id, const char* format, ...) __attribute__((format(printf, 2, 3)));
void logInfo(int id, const char* format, ...) __attribute__((format(printf, 2, 3)));
void logDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logInfoTagged(const Tags& tags, int id, const char* format, ...) __attribute__((format(printf, 3, 4)));
void logMasked(int bits, const char* levelName, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void logMaskedTagged(int bits, const Tags& tags, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void logVMasked(int bits, const char* levelName, const Tags* tags, const char* format, va_list args)
    __attribute__((format(printf, 4, 0)));

// True when a line of these level bits would be written.
bool logEnabled(int bits);
int logLevelMask();
void setLogLevelMask(int mask);

// Reads the host name, computes the paths of every log-file record and rotates each record whose
// level mask meets the current mask. Runs once per process (again after configureLogFiles).
void initLogFiles();

// One log file: which levels it takes and how it is named and rotated.
struct LogFileSpec {
    int folderKind;               // LogConstants::FOLDER_PROGRAM_DATA or the executable's folder
    int levelMask;                // LogConstants::ALL_LEVELS for the last record
    const char* currentName;      // null: standard output
    const char* previousPattern;  // one '*' for the number; null: no rotation
    int previousCount;            // clamped to 1..9
    long sizeLimit;               // bytes; 0: no limit
};

// Replaces the log-file table (the service's table is the default). The names must stay valid.
// Later lines go to the new files; their first line rotates them as at start.
void configureLogFiles(const LogFileSpec* specs, int count);

// The service's table: one record taking every level.
const LogFileSpec& serviceLogFileSpec();
