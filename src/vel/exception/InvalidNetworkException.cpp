#include "vel/exception/InvalidNetworkException.h"

#include "runtime/lum/Log.h"

void InvalidNetworkException::report() const {
    logInfo(0, "CAUGHT: InvalidNetworkException");
}

void InvalidNetworkException::raise() {
    throw InvalidNetworkException();
}
