#pragma once

#include <cstdint>
#include <string>

#include "platform/base/Win32Error.h"

// The machine registry, kept in the file "registry" below the program-data root. Every call
// reads the file afresh and every change is written under an exclusive lock to a temporary file
// that replaces the store by rename, so several processes can share one registry.
//
// Names are UTF-8, compared without regard to ASCII case and kept as first written. String data
// is UTF-8 with a terminating null; multi-strings end with an extra null. Calls return Win32
// error codes (base::win32::ERROR_...).
namespace registry {

struct RegKey;
using HKEY = RegKey*;
using LSTATUS = long;

// HKEY_CLASSES_ROOT is the machine's SOFTWARE\Classes key, as on a machine without per-user
// classes.
extern HKEY const HKEY_CLASSES_ROOT;
extern HKEY const HKEY_LOCAL_MACHINE;

inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;

inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr std::uint32_t KEY_NOTIFY = 0x0010;
inline constexpr std::uint32_t KEY_READ = 0x20019;
inline constexpr std::uint32_t KEY_WRITE = 0x20006;
inline constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;

inline constexpr std::uint32_t REG_OPTION_NON_VOLATILE = 0;
inline constexpr std::uint32_t REG_CREATED_NEW_KEY = 1;
inline constexpr std::uint32_t REG_OPENED_EXISTING_KEY = 2;

// Longest key name component and value name, in bytes without the null.
inline constexpr std::uint32_t MAX_KEY_NAME_LENGTH = 255;
inline constexpr std::uint32_t MAX_VALUE_NAME_LENGTH = 16383;

// subKey may be null or empty to open another handle on `key` itself.
LSTATUS RegOpenKeyEx(HKEY key, const char* subKey, std::uint32_t options, std::uint32_t samDesired,
                     HKEY* result);
// Creates the missing keys of the path; disposition (optional) tells whether the last was new.
LSTATUS RegCreateKeyEx(HKEY key, const char* subKey, std::uint32_t options, std::uint32_t samDesired,
                       HKEY* result, std::uint32_t* disposition);
LSTATUS RegCloseKey(HKEY key);

// Deletes a key without subkeys (ERROR_ACCESS_DENIED when it has some).
LSTATUS RegDeleteKey(HKEY key, const char* subKey);
// Deletes a key and everything below it; with a null or empty subKey it empties `key` itself.
LSTATUS RegDeleteTree(HKEY key, const char* subKey);
LSTATUS RegDeleteValue(HKEY key, const char* valueName);

// A null or empty value name is the key's default value. With data null only the size is
// returned; a buffer too small gives ERROR_MORE_DATA and the size needed in *cbData.
LSTATUS RegQueryValueEx(HKEY key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* cbData);
LSTATUS RegSetValueEx(HKEY key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t cbData);

// Values in the order they were first written, subkeys in case-insensitive name order. *cchName
// holds the buffer's size in bytes including the null and returns the name's length without it.
// ERROR_NO_MORE_ITEMS past the last entry.
LSTATUS RegEnumValue(HKEY key, std::uint32_t index, char* valueName, std::uint32_t* cchValueName,
                     std::uint32_t* type, std::uint8_t* data, std::uint32_t* cbData);
LSTATUS RegEnumKeyEx(HKEY key, std::uint32_t index, char* name, std::uint32_t* cchName);

// Every output is optional.
LSTATUS RegQueryInfoKey(HKEY key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen, std::uint32_t* values,
                        std::uint32_t* maxValueNameLen, std::uint32_t* maxValueLen);

// The store file: the one set here, else "registry" below the program-data root. An empty path
// restores the default.
void RegSetStoreFile(const std::string& path);
std::string RegGetStoreFile();

}  // namespace registry
