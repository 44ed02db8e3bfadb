#include "service/win32/RunService.h"

#include <cstdio>
#include <optional>
#include <string>

#include "platform/base/Root.h"
#include "platform/win/NamedMutex.h"
#include "platform/win/WinFile.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LoggingThread.h"
#include "runtime/lum/LumMain.h"
#include "service/RunEngine.h"
#include "service/ServiceConstants.h"
#include "service/ServiceQuit.h"
#include "vel/exception/BaseException.h"
#include "vel/libxml2/XmlSignature.h"

using namespace winsvc;

int debugLevelFromFile(FILE* file, int currentMask) {
    int mask = currentMask;
    if (file != nullptr) {
        unsigned hex = 0;
        int decimal = 0;
        bool isHex = fscanf(file, "0x%x", &hex) == 1;
        // The decimal try reads from the start again: the hexadecimal one has eaten a leading "0"
        // that may have been the whole number.
        if (!isHex) rewind(file);
        if (isHex) {
            mask = static_cast<int>(hex);
        } else if (fscanf(file, "%d", &decimal) == 1) {
            mask = decimal;
        } else {
            mask = ServiceConstants::DEBUG_LEVEL_UNREADABLE;
        }
    }
    return mask & ~ServiceConstants::DEBUG_LEVEL_CLEARED_BITS;
}

namespace {

void readDebugLevel() {
    std::string path = base::programDataRoot() + "/" + ServiceConstants::DEBUG_LEVEL_FILE;
    FILE* file = fopen(path.c_str(), "r");
    setLogLevelMask(debugLevelFromFile(file, logLevelMask()));
    if (file != nullptr) fclose(file);
}

void startLogging() {
    initLogFiles();
    if (startLoggingThread(LogConstants::RING_SIZE, LogConstants::PASS_SIZE, LogConstants::LINE_SIZE)) {
        logDebug("Logging thread successfully started.");
    } else {
        logDebug("Logging thread failed to start - using non-buffered logging.");
    }
}

// Before the log is open the console is the only place to say why the service cannot start: the
// place it could not use, and the system's reason for the thread's last error.
void reportStartFailure(const std::string& what) {
    char reason[512];
    winfile::DWORD error = winfile::GetLastError();
    winfile::DWORD length =
        winfile::FormatMessageA(winfile::FORMAT_MESSAGE_FROM_SYSTEM | winfile::FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, error, 0, reason, sizeof reason, nullptr);
    while (length > 0 && (reason[length - 1] == '\n' || reason[length - 1] == '\r')) reason[--length] = '\0';
    if (length == 0) std::snprintf(reason, sizeof reason, "error %lu", static_cast<unsigned long>(error));
    std::fprintf(stderr, "%s cannot start: %s: %s\n", ServiceConstants::DISPLAY_NAME, what.c_str(), reason);
    std::fflush(stderr);
}

}  // namespace

int runService() {
    MUTEX_HANDLE instance = CreateMutex(nullptr, 0, ServiceConstants::INSTANCE_MUTEX_NAME);
    if (instance == nullptr) {
        reportStartFailure("cannot create its instance lock in " + base::programDataRoot() + "/" +
                           base::RootFolders::RUN);
        return 1;
    }
    // A stop while another instance runs ends the wait and this run, before it touches the log,
    // the pipe or anything else of the running instance. Without another instance a stop is kept
    // for the engine, as during the rest of the start.
    DWORD waited = WaitForSingleObject(instance, 0);
    if (waited == WAIT_TIMEOUT) {
        while (waited == WAIT_TIMEOUT && !ServiceQuit::requested())
            waited = WaitForSingleObject(instance, ServiceConstants::INSTANCE_WAIT_STEP_MS);
        if (waited == WAIT_OBJECT_0 && ServiceQuit::requested()) {
            ReleaseMutex(instance);
            waited = WAIT_TIMEOUT;
        }
    }
    if (waited == WAIT_TIMEOUT) {
        CloseHandle(instance);
        return 0;
    }
    if (waited != WAIT_OBJECT_0) {
        if (waited == WAIT_FAILED) reportStartFailure(std::string("cannot lock ") + mutexLockPath(instance));
        if (waited == WAIT_ABANDONED) ReleaseMutex(instance);
        CloseHandle(instance);
        return 1;
    }

    readDebugLevel();
    startLogging();
    logInfo(0, "Starting %s: %s", ServiceConstants::EXECUTABLE_NAME, ServiceConstants::VERSION);
    if (XmlSignature::builtInKeyIsTestKey()) logWarning(0, "%s", ServiceConstants::TEST_KEY_WARNING);

    int result = 1;
    std::optional<LumRuntime> runtime;
    try {
        runtime.emplace();
    } catch (const BaseException& e) {
        e.report();
        logError(0, "Fatal Shutdown: %s", ServiceConstants::VERSION);
    }
    if (runtime) {
        result = runEngine();
        runtime.reset();
        logInfo(0, "Normal Shutdown: %s", ServiceConstants::VERSION);
    }
    // Every line is in the file before the next instance may take the mutex and rotate the log.
    stopLoggingThread();
    ReleaseMutex(instance);
    CloseHandle(instance);
    return result;
}
