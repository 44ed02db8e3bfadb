#pragma once

struct OsMutex;

// Logs the text as "FATAL", writes "FATAL: <text>" to standard error and ends the process at once,
// without clean-up.
[[noreturn]] void fatalError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The travik log mutex that fatalError holds while it writes (set by LumMain; null before).
void setFatalErrorMutex(OsMutex* mutex);
