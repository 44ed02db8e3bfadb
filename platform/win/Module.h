#pragma once
// Loading libraries by their Windows names. "NAME.dll" is the shared library "libNAME.so", looked
// for in the running program's folder and then in C:\Windows\system32 below the program-data root.
// Failures set the thread's last error (base::win32::GetLastError) as Windows does. Each call is
// recorded in the lab's calls and can be made to fail by its name (base::failNext, run/lab's
// "fail"), the armed code becoming its last error.
namespace win {

using HMODULE = void*;
using FARPROC = void (*)();

// Null when no such library loads (ERROR_MOD_NOT_FOUND).
HMODULE LoadLibraryA(const char* name);
// The same; a name without an extension is taken as "NAME.dll".
HMODULE LoadLibraryW(const char16_t* name);
// Null when the library has no such entry point (ERROR_PROC_NOT_FOUND).
FARPROC GetProcAddress(HMODULE module, const char* name);
// 0 when the module was not loaded (ERROR_INVALID_HANDLE).
int FreeLibrary(HMODULE module);

}  // namespace win
