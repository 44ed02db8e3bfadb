#include "platform/win/WinAccount.h"

#include <netdb.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "platform/base/FailureInjection.h"
#include "platform/base/Files.h"
#include "platform/base/Root.h"
#include "platform/base/Utf16.h"

namespace winaccount {

namespace {

struct Policy {
    ACCESS_MASK access;
};

// A key names one file directly in the secrets folder.
bool validKey(const std::u16string& key) {
    if (key.empty() || key == u"." || key == u"..") return false;
    for (char16_t c : key) {
        if (c == u'/' || c == u'\\' || c == 0) return false;
    }
    return true;
}

// Only a secret that no one else could have read or planted is handed out.
bool privateFile(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return true;  // the read reports what is missing
    return S_ISREG(st.st_mode) && (st.st_mode & 0077) == 0 && st.st_uid == geteuid();
}

std::string canonicalHostName() {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) return "";
    addrinfo hints{};
    hints.ai_flags = AI_CANONNAME;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string name = host;
    if (getaddrinfo(host, nullptr, &hints, &found) == 0) {
        if (found != nullptr && found->ai_canonname != nullptr && found->ai_canonname[0] != 0) {
            name = found->ai_canonname;
        }
        freeaddrinfo(found);
    }
    return name;
}

}  // namespace

NTSTATUS LsaOpenPolicy(LSA_UNICODE_STRING* systemName, LSA_OBJECT_ATTRIBUTES*, ACCESS_MASK desiredAccess,
                       LSA_HANDLE* policyHandle) {
    if (std::uint32_t code = 0; base::injectedFailure("LsaOpenPolicy", code))
        return static_cast<NTSTATUS>(code);
    if (policyHandle == nullptr || (systemName != nullptr && systemName->Length != 0))
        return STATUS_INVALID_PARAMETER;
    auto* policy = new (std::nothrow) Policy{desiredAccess};
    if (policy == nullptr) return STATUS_NO_MEMORY;
    *policyHandle = policy;
    return STATUS_SUCCESS;
}

NTSTATUS LsaRetrievePrivateData(LSA_HANDLE policyHandle, LSA_UNICODE_STRING* keyName,
                                LSA_UNICODE_STRING** privateData) {
    if (std::uint32_t code = 0; base::injectedFailure("LsaRetrievePrivateData", code)) {
        return static_cast<NTSTATUS>(code);
    }
    if (policyHandle == nullptr) return STATUS_INVALID_HANDLE;
    if (keyName == nullptr || privateData == nullptr ||
        (keyName->Length != 0 && keyName->Buffer == nullptr)) {
        return STATUS_INVALID_PARAMETER;
    }
    if ((static_cast<Policy*>(policyHandle)->access & POLICY_GET_PRIVATE_INFORMATION) == 0) {
        return STATUS_ACCESS_DENIED;
    }
    std::u16string key(keyName->Buffer, keyName->Length / 2);
    if (!validKey(key)) return STATUS_OBJECT_NAME_NOT_FOUND;
    std::string folder = base::rootFolder(base::RootFolders::SECRETS);
    if (folder.empty()) return STATUS_ACCESS_DENIED;
    std::string path = folder + "/" + base::utf16ToUtf8(key);
    if (!privateFile(path)) return STATUS_ACCESS_DENIED;
    std::string value;
    int error = base::readFile(path, value);
    if (error == ENOENT) return STATUS_OBJECT_NAME_NOT_FOUND;
    if (error != 0) return STATUS_ACCESS_DENIED;
    // A counted text holds at most 65534 bytes of whole characters.
    if (value.size() % 2 != 0 || value.size() > 0xFFFE) return STATUS_INTERNAL_DB_CORRUPTION;

    // One block: the counted text, then its characters.
    auto* block = static_cast<unsigned char*>(
        ::operator new(sizeof(LSA_UNICODE_STRING) + value.size() + 2, std::nothrow));
    if (block == nullptr) return STATUS_NO_MEMORY;
    auto* data = reinterpret_cast<LSA_UNICODE_STRING*>(block);
    data->Buffer = reinterpret_cast<char16_t*>(block + sizeof(LSA_UNICODE_STRING));
    for (size_t i = 0; i < value.size() / 2; ++i) {
        data->Buffer[i] = static_cast<char16_t>(static_cast<unsigned char>(value[2 * i]) |
                                                static_cast<unsigned char>(value[2 * i + 1]) << 8);
    }
    data->Buffer[value.size() / 2] = 0;
    data->Length = static_cast<std::uint16_t>(value.size());
    data->MaximumLength = static_cast<std::uint16_t>(value.size() + 2);
    *privateData = data;
    return STATUS_SUCCESS;
}

NTSTATUS LsaFreeMemory(void* buffer) {
    ::operator delete(buffer);
    return STATUS_SUCCESS;
}

NTSTATUS LsaClose(LSA_HANDLE objectHandle) {
    if (objectHandle == nullptr) return STATUS_INVALID_HANDLE;
    delete static_cast<Policy*>(objectHandle);
    return STATUS_SUCCESS;
}

DWORD LsaNtStatusToWinError(NTSTATUS status) {
    switch (status) {
        case STATUS_SUCCESS:
            return ERROR_SUCCESS;
        case STATUS_INVALID_HANDLE:
            return ERROR_INVALID_HANDLE;
        case STATUS_INVALID_PARAMETER:
            return ERROR_INVALID_PARAMETER;
        case STATUS_NO_MEMORY:
            return ERROR_NOT_ENOUGH_MEMORY;
        case STATUS_ACCESS_DENIED:
            return ERROR_ACCESS_DENIED;
        case STATUS_OBJECT_NAME_NOT_FOUND:
            return ERROR_FILE_NOT_FOUND;
        case STATUS_INTERNAL_DB_CORRUPTION:
            return ERROR_INTERNAL_DB_CORRUPTION;
        default:
            return ERROR_MR_MID_NOT_FOUND;
    }
}

BOOL GetComputerNameExW(COMPUTER_NAME_FORMAT format, char16_t* buffer, DWORD* size) {
    if (std::uint32_t code = 0; base::injectedFailure("GetComputerNameExW", code)) {
        SetLastError(code);
        return 0;
    }
    if (size == nullptr || format != ComputerNameDnsFullyQualified) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string name = base::utf8ToUtf16(canonicalHostName());
    if (buffer == nullptr || *size < name.size() + 1) {
        *size = static_cast<DWORD>(name.size() + 1);
        SetLastError(ERROR_MORE_DATA);
        return 0;
    }
    std::memcpy(buffer, name.data(), name.size() * sizeof(char16_t));
    buffer[name.size()] = 0;
    *size = static_cast<DWORD>(name.size());
    return 1;
}

}  // namespace winaccount
