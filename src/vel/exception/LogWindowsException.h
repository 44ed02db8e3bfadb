#pragma once

#include "vel/exception/WindowsException.h"

// A failed platform call that is logged and then passed over: the code that detects it throws it,
// catches it at once, reports it and goes on with a neutral result.
class LogWindowsException : public WindowsException {
public:
    LogWindowsException(const char* file, int line, const char* function, int code)
        : WindowsException(file, line, function, code) {}

    void report() const override;

    // Throws, catches and reports in one step.
    static void log(const char* file, int line, const char* function, int code);
};
