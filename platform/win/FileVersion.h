#pragma once
// Stand-in for the version-resource calls: a program file's version resource is the version
// record the build embeds (platform/version), read with image::ReadFileVersion; its fixed part
// carries that version as both file and product version. Paths are UTF-16, in Windows form (mapped
// below the program-data root) or local. Calls are recorded in the lab's calls and fail on demand
// by their names, the armed code becoming the last error.
#include <cstdint>

#include "platform/base/Win32Error.h"

namespace win {

using base::win32::DWORD;

constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

// The size of the file's version resource; 0 (ERROR_RESOURCE_TYPE_NOT_FOUND, or
// ERROR_FILE_NOT_FOUND) without one. `handle` is set to 0.
DWORD GetFileVersionInfoSizeW(const char16_t* path, DWORD* handle);
// Copies the version resource into `data` (`length` bytes, as the size call gave).
int GetFileVersionInfoW(const char16_t* path, DWORD handle, DWORD length, void* data);
// The sub-block "\" of a version resource: its VS_FIXEDFILEINFO.
int VerQueryValueW(const void* block, const char16_t* subBlock, void** buffer, unsigned* length);

}  // namespace win
