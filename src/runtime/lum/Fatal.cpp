#include "runtime/lum/Fatal.h"

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "ostrum.h"
#include "runtime/lum/Log.h"

namespace {

std::atomic<OsMutex*> TravikLogMutex{nullptr};

}  // namespace

void setFatalErrorMutex(OsMutex* mutex) {
    TravikLogMutex = mutex;
}

void fatalError(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    logMasked(LogConstants::LEVEL_ERROR, "FATAL", "%s", text);
    OsMutex* mutex = TravikLogMutex.load();
    if (mutex != nullptr) _osMutexLock(__FILE__, __LINE__, mutex);
    fprintf(stderr, "FATAL: %s\n", text);
    fflush(stderr);
    // Gives the logging thread time to write the line out before the process goes.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::_Exit(3);
}
