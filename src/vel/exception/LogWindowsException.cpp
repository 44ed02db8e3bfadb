#include "vel/exception/LogWindowsException.h"

#include "runtime/lum/Log.h"

void LogWindowsException::report() const {
    logError(0, "CAUGHT: LogWindowsException for function '%s' => %d{error} [%s:%d]",
             function() ? function() : "?", code(), file(), line());
}

void LogWindowsException::log(const char* file, int line, const char* function, int code) {
    try {
        throw LogWindowsException(file, line, function, code);
    } catch (const BaseException& e) {
        e.report();
    }
}
