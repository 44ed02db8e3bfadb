#include "vel/exception/InvalidGroupException.h"

#include "runtime/lum/Log.h"

void InvalidGroupException::report() const {
    logInfo(0, "CAUGHT: InvalidGroupException");
}

void InvalidGroupException::raise() {
    throw InvalidGroupException();
}
