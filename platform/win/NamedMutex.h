#pragma once
// Stand-in for a named system mutex: an advisory lock on the file "run/<name>.lock" below the
// program-data root ('\' and '/' in the name become '_'). The system drops the lock when the
// holder dies, so a waiter never meets an abandoned mutex. Two handles of one process on one name
// exclude each other as two processes do.
#include "platform/win/ServiceControl.h"

namespace winsvc {

struct MutexRecord;
using MUTEX_HANDLE = MutexRecord*;

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_ABANDONED = 0x80;
constexpr DWORD WAIT_TIMEOUT = 0x102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

// Only a mutex that is not owned at creation is offered; null on failure.
MUTEX_HANDLE CreateMutex(void* securityAttributes, BOOL initialOwner, const char* name);
DWORD WaitForSingleObject(MUTEX_HANDLE mutex, DWORD milliseconds);
BOOL ReleaseMutex(MUTEX_HANDLE mutex);
BOOL CloseHandle(MUTEX_HANDLE mutex);

// The lock file of a mutex name.
const char* mutexLockPath(MUTEX_HANDLE mutex);

}  // namespace winsvc
