#pragma once

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
// The time stamp and the thread tag are taken with the text, before any lock of a log file or of
// the logging thread's ring is held.
struct LogMessage {
    char text[800];
    int length;
    bool cut;
    char stamp[48];
    char thread[40];

    void format(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    void set(const char* message);

private:
    void stampNow();
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

// The same line without its "<seq>: ": composed into a buffer of the size a whole line's buffer
// has less the prefix's length, it is exactly the rest of the whole line.
int composeLogLineBody(char* buffer, size_t size, const Severity& severity, const Tags* tags,
                       const LogMessage& message);

// The length of "<seq>: ".
int sequencePrefixLength(long sequence);
