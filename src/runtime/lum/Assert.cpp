#include "runtime/lum/Assert.h"

#include <atomic>
#include <cstdio>

#include "runtime/lum/CrashHandler.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/RuntimeFolders.h"

namespace {

std::atomic<AssertionHandler> Handler{nullptr};

const char* orUnknown(const char* text) {
    return text != nullptr ? text : "?";
}

}  // namespace

AssertionHandler setAssertionHandler(AssertionHandler handler) {
    return Handler.exchange(handler);
}

void assertionFailed(const char* file, int line, const char* expression) {
    const char* name = orUnknown(pathFileName(file));
    logError(0, "Internal error %d, contact software manufacturer", 7);
    logDebug("Assertion '%s' failed at [%s:%d]", orUnknown(expression), name, line);
    char reason[512];
    snprintf(reason, sizeof reason, "Assertion '%s' failed at [%s:%d]", orUnknown(expression), name, line);
    writeDebugDump(reason);
    AssertionHandler handler = Handler.load();
    if (handler != nullptr) handler(file, line, expression);
}

void NvoError(const char* file, int line, const char* function, int code) {
    logError(0, "Internal error %d, contact software manufacturer", 4);
    logError(0, "NvoError for function '%s' => %d{error} [%s:%d]", orUnknown(function), code,
             orUnknown(pathFileName(file)), line);
}

void reportFunctionException(const char* file, int line, const char* function, int code) {
    logError(0, "Internal error %d, contact software manufacturer", 4);
    logError(0, "NvoException for function '%s' => %d{error} [%s:%d]", orUnknown(function), code,
             orUnknown(pathFileName(file)), line);
    assertionFailed(file, line, "NVO exception - should this be logged instead?");
}
