#include "vel/exception/XmlException.h"

#include "runtime/lum/Log.h"
#include "vel/exception/ExceptionConstants.h"

void XmlException::report() const {
    logInternalError(ExceptionConstants::INTERNAL_ERROR_XML);
    logError(0, "CAUGHT: XmlException for function '%s' [%s:%d]", m_function.c_str(), file(), line());
}

void XmlException::raise(const char* file, int line, const char* function) {
    throw XmlException(file, line, function);
}
