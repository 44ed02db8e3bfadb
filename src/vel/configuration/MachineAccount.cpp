#include "vel/configuration/MachineAccount.h"

#include <vector>

#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/credmgr/Credential.h"
#include "vel/exception/LogWindowsException.h"
#include "vel/network/Network.h"
#include "vel/string/Unicode.h"

using namespace winaccount;

bool MachineAccount::wcStringToLsaString(LSA_UNICODE_STRING* target, const char16_t* text) {
    if (target == nullptr) return false;
    int characters = 0;
    if (text != nullptr) {
        while (text[characters] != 0) {
            if (++characters > MAX_LSA_STRING_CHARACTERS) return false;
        }
    }
    target->Buffer = const_cast<char16_t*>(text);
    target->Length = static_cast<std::uint16_t>(characters * 2);
    target->MaximumLength = static_cast<std::uint16_t>(characters * 2 + 2);
    return true;
}

void MachineAccount::retrieveMachinePassword(const Network& network) {
    LSA_UNICODE_STRING key;
    if (!wcStringToLsaString(&key, PASSWORD_KEY)) {
        logError(0, "wcStringToLsaString failed");
        return;
    }
    LSA_OBJECT_ATTRIBUTES attributes{};
    LSA_HANDLE policy = nullptr;
    LSA_UNICODE_STRING* secret = nullptr;
    try {
        NTSTATUS status = LsaOpenPolicy(nullptr, &attributes, POLICY_GET_PRIVATE_INFORMATION, &policy);
        if (status != STATUS_SUCCESS) {
            throw LogWindowsException(__FILE__, __LINE__, "LsaOpenPolicy", LsaNtStatusToWinError(status));
        }
        status = LsaRetrievePrivateData(policy, &key, &secret);
        if (status != STATUS_SUCCESS) {
            throw LogWindowsException(__FILE__, __LINE__, "LsaRetrievePrivateData",
                                      LsaNtStatusToWinError(status));
        }
        Ascii password = Ascii::fromWide(Unicode(secret->Buffer, secret->Length / 2));
        network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE)
            .setPasswordOrKeyCredential(Credential::newPassword(password));
    } catch (const LogWindowsException& e) {
        e.report();
    }
    if (secret != nullptr) LsaFreeMemory(secret);
    if (policy != nullptr) LsaClose(policy);
}

Ascii MachineAccount::computerName() {
    try {
        DWORD size = 0;
        if (!GetComputerNameExW(ComputerNameDnsFullyQualified, nullptr, &size)) {
            DWORD error = GetLastError();
            if (error != ERROR_MORE_DATA)
                throw LogWindowsException(__FILE__, __LINE__, "GetComputerNameEx", error);
        }
        std::vector<char16_t> name(size);
        if (!GetComputerNameExW(ComputerNameDnsFullyQualified, name.data(), &size)) {
            throw LogWindowsException(__FILE__, __LINE__, "GetComputerNameEx", GetLastError());
        }
        return Ascii::fromWide(Unicode(name.data(), static_cast<std::int32_t>(size)));
    } catch (const LogWindowsException& e) {
        e.report();
        return Ascii("");
    }
}
