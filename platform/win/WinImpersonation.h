#pragma once
// Stand-in for the process, handle-duplication and impersonation calls. Linux has no logged-on
// user tokens to borrow, so a duplicated token is a handle that remembers the source value, and
// impersonating records which token the calling thread wears. Each call fails on demand by its
// name (platform/base/FailureInjection.h).
#include <cstdint>

#include "platform/win/WinFile.h"

namespace winfile {

constexpr DWORD MAXIMUM_ALLOWED = 0x02000000;
constexpr DWORD DUPLICATE_SAME_ACCESS = 0x2;

HANDLE GetCurrentProcess();
HANDLE OpenProcess(DWORD access, BOOL inheritHandle, DWORD processId);
BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE sourceHandle, HANDLE targetProcess, HANDLE* targetHandle,
                     DWORD access, BOOL inheritHandle, DWORD options);
BOOL ImpersonateLoggedOnUser(HANDLE token);
BOOL RevertToSelf();

namespace impersonation {

// What the calling thread wears: the source value of the duplicated token, or 0 when itself.
std::intptr_t impersonatedSource();
int duplicateCount();
int openTokenCount();

}  // namespace impersonation
}  // namespace winfile
