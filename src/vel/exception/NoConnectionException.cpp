#include "vel/exception/NoConnectionException.h"

#include "runtime/lum/Log.h"

void NoConnectionException::report() const {
    logInfo(0, "CAUGHT: NoConnectionException");
}

void NoConnectionException::raise() {
    throw NoConnectionException();
}
