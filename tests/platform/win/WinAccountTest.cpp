#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/base/AtomicWrite.h"
#include "platform/base/FailureInjection.h"
#include "platform/base/Root.h"
#include "platform/win/WinAccount.h"
#include "tests/support/TempHome.h"

using namespace winaccount;

namespace {

// A secret as the stand-in keeps it: UTF-16LE bytes in secrets/<key>.
void writeSecret(const std::string& key, std::u16string_view value, unsigned mode = 0600) {
    std::string bytes;
    for (char16_t c : value) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    std::string path = base::rootFolder(base::RootFolders::SECRETS) + "/" + key;
    ASSERT_EQ(base::writeFileAtomically(path, bytes, mode), 0);
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
}

class WinAccountTest : public ::testing::Test {
protected:
    void TearDown() override { base::clearFailures(); }

    // Opens the local policy with the given access and retrieves the key; the status of the call
    // that failed, and the value when none did.
    NTSTATUS retrieve(const char16_t* key, std::u16string& value,
                      ACCESS_MASK access = POLICY_GET_PRIVATE_INFORMATION) {
        LSA_OBJECT_ATTRIBUTES attributes{};
        LSA_HANDLE policy = nullptr;
        NTSTATUS status = LsaOpenPolicy(nullptr, &attributes, access, &policy);
        if (status != STATUS_SUCCESS) return status;
        std::u16string keyText(key);
        LSA_UNICODE_STRING keyName{static_cast<std::uint16_t>(keyText.size() * 2),
                                   static_cast<std::uint16_t>(keyText.size() * 2 + 2), keyText.data()};
        LSA_UNICODE_STRING* data = nullptr;
        status = LsaRetrievePrivateData(policy, &keyName, &data);
        if (status == STATUS_SUCCESS) {
            EXPECT_EQ(data->MaximumLength, data->Length + 2);
            value.assign(data->Buffer, data->Length / 2);
            LsaFreeMemory(data);
        }
        EXPECT_EQ(LsaClose(policy), STATUS_SUCCESS);
        return status;
    }

    tamsel::test::TempHome home{"winaccount"};
};

TEST_F(WinAccountTest, SecretsComeFromPrivateFilesBelowTheRoot) {
    writeSecret("$machine.acc", u"p\u00e4ss w0rd");
    writeSecret("shared", u"x", 0644);
    writeSecret("odd", u"");
    std::string odd = base::rootFolder(base::RootFolders::SECRETS) + "/odd";
    ASSERT_EQ(base::writeFileAtomically(odd, "abc", 0600), 0);

    std::u16string value;
    EXPECT_EQ(retrieve(u"$machine.acc", value), STATUS_SUCCESS);
    EXPECT_EQ(value, u"p\u00e4ss w0rd");

    struct Case {
        const char16_t* key;
        ACCESS_MASK access;
        NTSTATUS status;
        DWORD error;
    };
    const Case cases[] = {
        {u"missing", POLICY_GET_PRIVATE_INFORMATION, STATUS_OBJECT_NAME_NOT_FOUND, ERROR_FILE_NOT_FOUND},
        {u"shared", POLICY_GET_PRIVATE_INFORMATION, STATUS_ACCESS_DENIED, ERROR_ACCESS_DENIED},
        {u"odd", POLICY_GET_PRIVATE_INFORMATION, STATUS_INTERNAL_DB_CORRUPTION, ERROR_INTERNAL_DB_CORRUPTION},
        {u"../secrets/$machine.acc", POLICY_GET_PRIVATE_INFORMATION, STATUS_OBJECT_NAME_NOT_FOUND,
         ERROR_FILE_NOT_FOUND},
        {u"$machine.acc", 0x1, STATUS_ACCESS_DENIED, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        std::u16string ignored;
        NTSTATUS status = retrieve(c.key, ignored, c.access);
        EXPECT_EQ(status, c.status) << std::string(c.key, c.key + std::char_traits<char16_t>::length(c.key));
        EXPECT_EQ(LsaNtStatusToWinError(status), c.error);
    }
}

TEST_F(WinAccountTest, EachLsaCallFailsOnDemand) {
    writeSecret("$machine.acc", u"secret");
    std::u16string value;
    base::failNext("LsaOpenPolicy", static_cast<std::uint32_t>(STATUS_ACCESS_DENIED), 1);
    EXPECT_EQ(retrieve(u"$machine.acc", value), STATUS_ACCESS_DENIED);
    base::failNext("LsaRetrievePrivateData", static_cast<std::uint32_t>(STATUS_NO_MEMORY), 1);
    EXPECT_EQ(retrieve(u"$machine.acc", value), STATUS_NO_MEMORY);
    EXPECT_EQ(retrieve(u"$machine.acc", value), STATUS_SUCCESS);
    EXPECT_EQ(value, u"secret");
}

TEST_F(WinAccountTest, ComputerNameIsMeasuredThenFilled) {
    DWORD size = 0;
    ASSERT_FALSE(GetComputerNameExW(ComputerNameDnsFullyQualified, nullptr, &size));
    EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
    ASSERT_GT(size, 1u);
    std::u16string name(size, u'#');
    DWORD tooSmall = size - 1;
    EXPECT_FALSE(GetComputerNameExW(ComputerNameDnsFullyQualified, name.data(), &tooSmall));
    EXPECT_EQ(tooSmall, size);
    DWORD filled = size;
    ASSERT_TRUE(GetComputerNameExW(ComputerNameDnsFullyQualified, name.data(), &filled));
    EXPECT_EQ(filled, size - 1);
    EXPECT_EQ(name[filled], 0);

    DWORD other = 64;
    char16_t buffer[64];
    EXPECT_FALSE(GetComputerNameExW(ComputerNameNetBIOS, buffer, &other));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    base::failNext("GetComputerNameExW", ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_FALSE(GetComputerNameExW(ComputerNameDnsFullyQualified, name.data(), &filled));
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}

}  // namespace
