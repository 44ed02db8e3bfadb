#include "vel/exception/CanceledException.h"

#include "runtime/lum/Log.h"

void CanceledException::report() const {
    logInfo(0, "CAUGHT: CanceledException");
}

void CanceledException::raise() {
    throw CanceledException();
}
