#include "platform/win/ConsoleControl.h"

#include "platform/win/ControlSignals.h"

namespace winsvc {

BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add) {
    if (handler == nullptr) {
        // Ignoring Ctrl+C for the whole process is not offered.
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!add) {
        if (signals::removeConsoleHandler(handler)) return 1;
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!signals::start()) {
        SetLastError(ERROR_ERRNO_FLAG | 11);
        return 0;
    }
    signals::addConsoleHandler(handler);
    return 1;
}

}  // namespace winsvc
