#include "vel/exception/NvoException.h"

#include "runtime/lum/Log.h"

void NvoException::report() const {
    logError(0, "Internal error %d, contact software manufacturer", 3);
    logError(0, "CAUGHT: NvoException for function '%s' => %d{error} [%s:%d]", m_function ? m_function : "?",
             m_code, file(), line());
}
