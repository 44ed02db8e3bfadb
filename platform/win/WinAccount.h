#pragma once
// Stand-in for the two Windows calls behind the machine account: LSA private data and the
// computer's name. A secret is the file "secrets/<key>" below the program-data root, holding the
// value as UTF-16LE bytes, owned by this user and readable by no one else (mode 0600). The fully
// qualified DNS name is the host's canonical name. Each call fails on demand under its own name.
#include <cstdint>

#include "platform/base/Win32Error.h"

namespace winaccount {

using namespace base::win32;

using NTSTATUS = std::int32_t;
using ACCESS_MASK = std::uint32_t;
using BOOL = int;
using LSA_HANDLE = void*;

inline constexpr NTSTATUS STATUS_SUCCESS = 0;
inline constexpr NTSTATUS STATUS_INVALID_HANDLE = static_cast<NTSTATUS>(0xC0000008);
inline constexpr NTSTATUS STATUS_INVALID_PARAMETER = static_cast<NTSTATUS>(0xC000000D);
inline constexpr NTSTATUS STATUS_NO_MEMORY = static_cast<NTSTATUS>(0xC0000017);
inline constexpr NTSTATUS STATUS_ACCESS_DENIED = static_cast<NTSTATUS>(0xC0000022);
inline constexpr NTSTATUS STATUS_OBJECT_NAME_NOT_FOUND = static_cast<NTSTATUS>(0xC0000034);
inline constexpr NTSTATUS STATUS_INTERNAL_DB_CORRUPTION = static_cast<NTSTATUS>(0xC00000E4);

// Access to a policy object.
inline constexpr ACCESS_MASK POLICY_GET_PRIVATE_INFORMATION = 0x4;

// A counted wide text: lengths in bytes, the characters not NUL-terminated.
struct LSA_UNICODE_STRING {
    std::uint16_t Length;
    std::uint16_t MaximumLength;
    char16_t* Buffer;
};

struct LSA_OBJECT_ATTRIBUTES {
    std::uint32_t Length;
    void* RootDirectory;
    LSA_UNICODE_STRING* ObjectName;
    std::uint32_t Attributes;
    void* SecurityDescriptor;
    void* SecurityQualityOfService;
};

// Only the local system (systemName null) has a policy.
NTSTATUS LsaOpenPolicy(LSA_UNICODE_STRING* systemName, LSA_OBJECT_ATTRIBUTES* objectAttributes,
                       ACCESS_MASK desiredAccess, LSA_HANDLE* policyHandle);
// The secret of the key into a new counted text, freed with LsaFreeMemory.
NTSTATUS LsaRetrievePrivateData(LSA_HANDLE policyHandle, LSA_UNICODE_STRING* keyName,
                                LSA_UNICODE_STRING** privateData);
NTSTATUS LsaFreeMemory(void* buffer);
NTSTATUS LsaClose(LSA_HANDLE objectHandle);
DWORD LsaNtStatusToWinError(NTSTATUS status);

enum COMPUTER_NAME_FORMAT {
    ComputerNameNetBIOS = 0,
    ComputerNameDnsHostname = 1,
    ComputerNameDnsDomain = 2,
    ComputerNameDnsFullyQualified = 3,
};

// Only the fully qualified DNS name is kept here. With a buffer too small (or none) it fails with
// ERROR_MORE_DATA and sets *size to the characters needed with the NUL; on success *size is the
// characters written without it.
BOOL GetComputerNameExW(COMPUTER_NAME_FORMAT format, char16_t* buffer, DWORD* size);

}  // namespace winaccount
