#pragma once
// Stand-in for the Windows file, folder, error-text and module calls that the engine's file
// utilities make. Paths are UTF-16 in Windows form; '\' and '/' both separate folders, and the
// file opened on disk has a UTF-8 name. Failures set the thread's last error to the Windows
// code the callers test (2, 3, 5, 183, ...). Calls fail on demand by their names ("CreateFileW",
// "ReadFile", "MoveFileExW", ...) through platform/base/FailureInjection.h.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/base/Win32Error.h"

namespace winfile {

using namespace base::win32;
using BOOL = int;
using HANDLE = void*;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 1;
constexpr DWORD FILE_SHARE_WRITE = 2;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr int MAX_PATH = 260;

constexpr int CSIDL_COMMON_APPDATA = 0x23;
constexpr int CSIDL_PROGRAM_FILES = 0x26;
constexpr int CSIDL_FLAG_CREATE = 0x8000;
constexpr long S_OK = 0;
constexpr long E_FAIL = static_cast<long>(0x80004005);

constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x200;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;

struct BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD nNumberOfLinks;
};

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    char16_t cFileName[MAX_PATH];
};

// A file made anew is readable and writable by its owner only (mode 0600).
HANDLE CreateFileW(const char16_t* path, DWORD access, DWORD shareMode, void* securityAttributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* overlapped);
BOOL FlushFileBuffers(HANDLE file);
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information);
BOOL CloseHandle(HANDLE handle);

DWORD GetFileAttributesW(const char16_t* path);
BOOL SetFileAttributesW(const char16_t* path, DWORD attributes);
BOOL DeleteFileW(const char16_t* path);
// Fails with ERROR_ALREADY_EXISTS when the target exists, as on Windows.
BOOL MoveFileW(const char16_t* existing, const char16_t* target);
BOOL MoveFileExW(const char16_t* existing, const char16_t* target, DWORD flags);
BOOL CreateDirectoryW(const char16_t* path, void* securityAttributes);

// The pattern's last component may hold '*' and '?'; "." and ".." are listed as on Windows.
HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data);
BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data);
BOOL FindClose(HANDLE find);

// CSIDL_COMMON_APPDATA yields the program-data root (platform/base/Root.h) without a trailing
// separator, created with CSIDL_FLAG_CREATE; CSIDL_PROGRAM_FILES yields C:\Program Files, the
// folder "c/Program Files" below the root.
long SHGetFolderPathW(void* window, int folder, HANDLE token, DWORD flags, char16_t* path);
BOOL SHGetSpecialFolderPathW(void* window, char16_t* path, int folder, BOOL create);
DWORD GetModuleFileNameW(void* module, char16_t* path, DWORD size);

DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId, char* buffer,
                     DWORD size, void* arguments);

// Devices: CreateFileW of "\\.\NDIS" opens the NDIS device (any other "\\.\" name is
// ERROR_FILE_NOT_FOUND); DeviceIoControl on it records the control code and the input bytes, which
// tests read back, and answers with no output.
inline constexpr DWORD IOCTL_NDIS_DO_PNP_OPERATION = 0x170008;
BOOL DeviceIoControl(HANDLE device, DWORD controlCode, const void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* returned, void* overlapped);
struct DeviceControl {
    DWORD code;
    std::vector<unsigned char> input;
};
std::vector<DeviceControl> recordedDeviceControls();
void clearDeviceControls();

// The version the system reports: 5.1 unless a test sets another.
struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char16_t szCSDVersion[128];
};
BOOL GetVersionExW(OSVERSIONINFOW* info);
void setSystemVersion(DWORD major, DWORD minor);

}  // namespace winfile
