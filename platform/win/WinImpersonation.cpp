#include "platform/win/WinImpersonation.h"

#include <signal.h>

#include <atomic>
#include <cerrno>

#include "platform/base/FailureInjection.h"
#include "platform/win/WinHandle.h"

namespace winfile {
namespace {

std::atomic<int> g_duplicates{0};
thread_local std::intptr_t t_impersonated = 0;

HANDLE const CURRENT_PROCESS = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

bool injected(const char* call) {
    DWORD error = 0;
    if (!base::injectedFailure(call, error)) return false;
    SetLastError(error);
    return true;
}

bool isProcess(HANDLE handle) {
    std::intptr_t pid;
    return handle == CURRENT_PROCESS || handles::value(handle, handles::Kind::Process, &pid);
}

}  // namespace

HANDLE GetCurrentProcess() {
    return CURRENT_PROCESS;
}

HANDLE OpenProcess(DWORD, BOOL, DWORD processId) {
    if (injected("OpenProcess")) return nullptr;
    if (processId == 0 || (::kill(static_cast<pid_t>(processId), 0) != 0 && errno == ESRCH)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return handles::open(handles::Kind::Process, -1, nullptr, processId);
}

BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE sourceHandle, HANDLE targetProcess, HANDLE* targetHandle,
                     DWORD, BOOL, DWORD) {
    if (injected("DuplicateHandle")) return false;
    if (!targetHandle || !isProcess(sourceProcess) || !isProcess(targetProcess) || !sourceHandle) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    *targetHandle =
        handles::open(handles::Kind::Token, -1, nullptr, reinterpret_cast<std::intptr_t>(sourceHandle));
    ++g_duplicates;
    return true;
}

BOOL ImpersonateLoggedOnUser(HANDLE token) {
    if (injected("ImpersonateLoggedOnUser")) return false;
    std::intptr_t source;
    if (!handles::value(token, handles::Kind::Token, &source)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    t_impersonated = source;
    return true;
}

BOOL RevertToSelf() {
    if (injected("RevertToSelf")) return false;
    t_impersonated = 0;
    return true;
}

namespace impersonation {

std::intptr_t impersonatedSource() {
    return t_impersonated;
}
int duplicateCount() {
    return g_duplicates.load();
}
int openTokenCount() {
    return handles::count(handles::Kind::Token);
}

}  // namespace impersonation
}  // namespace winfile
