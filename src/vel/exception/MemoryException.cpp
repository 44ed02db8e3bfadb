#include "vel/exception/MemoryException.h"

#include "runtime/lum/Log.h"

void MemoryException::report() const {
    logError(0, "Internal error %d, contact software manufacturer", 5);
    logError(0, "CAUGHT: MemoryException => %d{error}", m_code);
}
