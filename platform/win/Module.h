#pragma once
// Loading libraries by their Windows names. "NAME.dll" is the shared library "libNAME.so", looked
// for in the running program's folder and then in C:\Windows\system32 below the program-data root.
// Failures set the thread's last error (winfile::GetLastError) as Windows does.
#include <cstdint>

namespace win {

using HMODULE = void*;
using FARPROC = void (*)();

constexpr std::uint32_t ERROR_MOD_NOT_FOUND = 126;
constexpr std::uint32_t ERROR_PROC_NOT_FOUND = 127;

// Null when no such library loads.
HMODULE LoadLibraryA(const char* name);
// Null when the library has no such entry point.
FARPROC GetProcAddress(HMODULE module, const char* name);
// False when the module was not loaded.
int FreeLibrary(HMODULE module);

}  // namespace win
