#include "vel/exception/ExceptionConstants.h"

#include "runtime/lum/Log.h"

void logInternalError(int number) {
    logError(0, "Internal error %d, contact software manufacturer", number);
}
