#include "runtime/lum/CrashHandler.h"

#include <atomic>
#include <mutex>

#include "platform/win/CrashDump.h"
#include "runtime/lum/RuntimeFolders.h"
#include "runtime/lum/Tag.h"

namespace {

std::atomic<bool> Prepared{false};
std::mutex PrepareMutex;

// Caller holds PrepareMutex.
bool buildPaths() {
    std::string logs = runtimeLogsFolder();
    std::string base = logs.empty() ? std::string("./velcsh") : logs + executableName();
    return win::setCrashDumpPaths(base + ".dmp", base + ".dbg.dmp");
}

bool prepareEnvironment() {
    std::lock_guard<std::mutex> lock(PrepareMutex);
    if (Prepared) {
        win::debugOutput("VELCSH: Attempt to reinit the environment.\n");
        return true;
    }
    if (!buildPaths()) return false;
    win::setCrashDumpThreadNumber(&logThreadNumber);
    Prepared = true;
    return true;
}

bool ensurePrepared() {
    return Prepared || prepareEnvironment();
}

// The dump paths of the current run-time root.
bool followRoot() {
    if (!ensurePrepared()) return false;
    std::lock_guard<std::mutex> lock(PrepareMutex);
    return buildPaths();
}

}  // namespace

bool installCrashHandler() {
    if (!prepareEnvironment()) {
        win::debugOutput("VELCSH: Unable to prepare environment.\n");
        return false;
    }
    // Prepared earlier under another root (an assertion came first): the dumps go to this one.
    refreshCrashDumpPaths();
    return win::installCrashDumpHandler();
}

void refreshCrashDumpPaths() {
    if (!Prepared) return;
    std::lock_guard<std::mutex> lock(PrepareMutex);
    buildPaths();
}

void writeDebugDump(const char* reason) {
    if (!followRoot()) return;
    win::writeDebugDump(reason);
}

std::string crashDumpPath() {
    return win::crashDumpPath();
}

std::string debugDumpPath() {
    return win::debugDumpPath();
}
