#ifndef TAMSEL_RUNTIME_LUM_LOGLINE_H
#define TAMSEL_RUNTIME_LUM_LOGLINE_H

#include <cstdarg>
#include <cstddef>

#include "runtime/lum/Tag.h"

// One row of the severity table.
struct Severity {
    int number;
    const char* mnemonic;
    const char* levelName;
};

// The row of a level name; an unknown name gives severity 7, "DEBUG_MSG".
const Severity& severityOfLevel(const char* levelName);
const Severity& infoSeverity();

// A formatted message: at most LogConstants::MESSAGE_MAX characters, control characters blanked.
struct LogMessage {
    char text[800];
    int length;
    bool cut;

    void format(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    void set(const char* message);
};

// "MMM dd yyyy hh:mm:ss.mmm +hhmm:" of the local time, in the C locale.
int formatLogTimeStamp(char* buffer, size_t size);

// The host name read at the first call; " " when it cannot be read.
const char* logHostName();

// Builds a whole log line into buffer:
// "<seq>: <host>: <time> %BRISEL-<n>-<mnemonic>: %[tid=..]" then the tags and " " or ": ",
// the message (cut to what the buffer holds, less 4), "..." when cut, and "\n".
// Returns the length, or -1 when the header does not fit.
int composeLogLine(char* buffer, size_t size, long sequence, const Severity& severity, const Tags* tags,
                   const LogMessage& message);

#endif
