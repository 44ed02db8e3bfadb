#include "vel/exception/ConversionException.h"

#include "runtime/lum/Log.h"
#include "vel/exception/ExceptionConstants.h"

void ConversionException::report() const {
    logInternalError(ExceptionConstants::INTERNAL_ERROR_CONVERSION);
    logError(0, "CAUGHT: ConversionException for function '%s' [%s:%d]", m_function, file(), line());
}

void ConversionException::raise(const char* file, int line, const char* function) {
    throw ConversionException(file, line, function);
}
