#pragma once
// Starting a program as Windows starts one with CreateProcessW, as far as the service needs it:
// the program runs detached from the caller, without a terminal, and is never waited for (its exit
// is collected behind the caller's back, so no zombie stays). The application name is the
// program's file; "NAME.exe" that does not exist is looked for as "NAME", the file a build makes.
// The command line is split into arguments by the Windows rules for blanks and double quotes, its
// first word being the program's name. Each call is recorded in the lab's calls and can be made to
// fail by its name (base::failNext), the armed code becoming the last error.
#include <cstdint>

#include "platform/base/Win32Error.h"

namespace win {

using BOOL = int;
using WORD = std::uint16_t;
using HANDLE = void*;

inline constexpr base::win32::DWORD STARTF_USESHOWWINDOW = 0x1;
inline constexpr WORD SW_HIDE = 0;

struct STARTUPINFOW {
    base::win32::DWORD cb = sizeof(STARTUPINFOW);
    base::win32::DWORD dwFlags = 0;
    WORD wShowWindow = 0;
};

struct PROCESS_INFORMATION {
    HANDLE hProcess = nullptr;
    HANDLE hThread = nullptr;
    base::win32::DWORD dwProcessId = 0;
    base::win32::DWORD dwThreadId = 0;
};

// Nonzero when the program started; 0 with the last error set otherwise (ERROR_FILE_NOT_FOUND for
// a program that is not there or cannot run). Handles, environment and folder are the caller's:
// the stand-in offers no other, so the pointers must be null and inheritHandles 0. The handles of
// the information are null: nothing is kept of the child.
BOOL CreateProcessW(const char16_t* applicationName, char16_t* commandLine, void* processAttributes,
                    void* threadAttributes, BOOL inheritHandles, base::win32::DWORD creationFlags,
                    void* environment, const char16_t* currentDirectory, STARTUPINFOW* startupInfo,
                    PROCESS_INFORMATION* processInformation);

}  // namespace win
