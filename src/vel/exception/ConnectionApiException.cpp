#include "vel/exception/ConnectionApiException.h"

#include "runtime/lum/Log.h"
#include "vel/exception/ExceptionConstants.h"

void ConnectionApiException::report() const {
    logInternalError(ExceptionConstants::INTERNAL_ERROR_CONNECTION_API);
    logError(0, "CAUGHT: ConnectionApiException in '%s' [%s:%d]: %s", m_function.text(), file(), line(),
             m_reason.text());
}

void ConnectionApiException::raise(const char* file, int line, const Ascii& function, const Ascii& reason) {
    throw ConnectionApiException(file, line, function, reason);
}
