#pragma once
// Stand-in for the system's data protection. Machine scope binds a blob to this machine's key:
// 32 random bytes in "dataprotection.key" in the program-data root, made by the first protection
// (exclusive create, mode 0600) and never overwritten; a key file of another size, mode or owner is
// refused. A blob is a version byte (1), a 12-byte nonce, the AES-256-GCM cipher text and its 16-byte
// tag. Failures set the thread's last error; each call fails on demand by its name.
#include <cstdint>

#include "platform/base/Win32Error.h"

namespace wincrypt {

using namespace base::win32;
using BOOL = int;
using BYTE = std::uint8_t;

struct DATA_BLOB {
    DWORD cbData;
    BYTE* pbData;
};

struct CRYPTPROTECT_PROMPTSTRUCT;

constexpr DWORD CRYPTPROTECT_UI_FORBIDDEN = 0x1;
constexpr DWORD CRYPTPROTECT_LOCAL_MACHINE = 0x4;

// The output blob is allocated for the caller, who frees it with LocalFree. Only machine scope
// exists here: without CRYPTPROTECT_LOCAL_MACHINE the call fails (ERROR_NOT_SUPPORTED).
BOOL CryptProtectData(DATA_BLOB* dataIn, const char16_t* description, DATA_BLOB* entropy, void* reserved,
                      CRYPTPROTECT_PROMPTSTRUCT* prompt, DWORD flags, DATA_BLOB* dataOut);
// A blob that was changed, made elsewhere or under another key fails (ERROR_INVALID_DATA); the
// description is not kept, so *description is set to null.
BOOL CryptUnprotectData(DATA_BLOB* dataIn, char16_t** description, DATA_BLOB* entropy, void* reserved,
                        CRYPTPROTECT_PROMPTSTRUCT* prompt, DWORD flags, DATA_BLOB* dataOut);
// Null on success; the memory itself when it was not freed.
void* LocalFree(void* memory);

}  // namespace wincrypt
